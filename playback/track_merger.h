// Merges the tracks of the loaded song into one time-ordered stream and hands it to
// the timeline builder.
#pragma once

#include <cstdint>
#include <memory>

#include "instruments/channel_voices.h"
#include "playback/timeline.h"
#include "smf/song_image.h"

constexpr int kMergedTrackLimit = 32;
// Read in all, end of track included. No song of kSongImageSize can reach it: an event
// takes two bytes at the least, a delta and a running-status data byte.
constexpr int kCountedEventLimit = 32768;
constexpr std::uint32_t kDoneTrack = 0x0FFFFFFF;
constexpr std::uint32_t kMergedStreamStart = kHeaderChunkBytes + 8;  // after "MTrk" and length

// The track each event of the last merged stream came from, by its index in the stream
// (and so on the Timeline). Main thread.
extern unsigned char merged_event_tracks[kTimelineEvents];

void merge_tracks(const SongImage& song, ChannelVoiceTable& voices, VoiceOverride override,
                  double speed_factor);
void count_track_events(const SongImage& song, int event_counts[kMergedTrackLimit],
                        double speed_factor);
std::uint32_t array_minimum(const std::uint32_t* values, int n);

// The merged image alone, for callers that look at the stream itself: sets the
// Timeline's event_count and returns the image, or nullptr when memory runs out.
// stream_end receives the offset just past the last event.
std::unique_ptr<MergedImage> merge_song(const SongImage& song, double speed_factor,
                                        std::uint32_t& stream_end);
