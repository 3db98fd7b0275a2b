// The playback tables: every event of the merged stream with its time in milliseconds
// and its ready-to-send message.
//
// Threads: the main thread writes the Timeline (build_timeline, through merge_tracks)
// only while playback is stopped, so no timer runs. While playback runs, the timer
// thread reads it and writes only the `sent` flags; the main thread does not touch it.
// There is no lock: start_playback and stop_playback order the two.
#pragma once

#include <cstdint>

#include "instruments/channel_voices.h"
#include "smf/song_image.h"

constexpr std::int32_t kFirstEventTime = 5;  // ms: where the song starts on the clock
constexpr int kSysexSlots = 512;
constexpr int kSysexSlotBytes = 256;
constexpr int kSysexDataLimit = 253;  // bytes after F0 that fit in a slot

struct EventSlot {
    unsigned char status;  // 0: no short message
    unsigned char data1;
    unsigned char data2;
    unsigned char sent;  // timer thread, while playing; cleared by the build
};

struct SysexSlot {
    unsigned char bytes[kSysexDataLimit + 1];  // F0, then the bytes that follow it
    unsigned char length;                      // bytes to send, counted from F0
    unsigned char sent;                        // timer thread, while playing
};

// The file format and the clears fix these sizes: a slot is four bytes, a sysex slot
// 256, and clear_event_slots / clear_sysex_slots zero exactly one table each.
static_assert(sizeof(EventSlot) == 4, "an event slot is status, two data bytes and sent");
static_assert(sizeof(SysexSlot) == kSysexSlotBytes, "a sysex slot is 256 bytes");
static_assert(sizeof(EventSlot) * kTimelineEvents == kClearedSlotBytes, "the event slot table");
static_assert(sizeof(SysexSlot) * kSysexSlots == kClearedSlotBytes, "the sysex slot table");

struct Timeline {
    std::int32_t event_times[kTimelineEvents];
    EventSlot event_slots[kTimelineEvents];
    SysexSlot sysex_slots[kSysexSlots];
    std::int32_t event_count;  // entries the scheduler examines; set by the merger
};

// The instrument switch: every program change on `channel` becomes `program`.
struct VoiceOverride {
    std::int32_t enabled;
    std::int32_t channel;
    std::int32_t program;
};

constexpr std::uint32_t kMergedImageSize = 262144;

struct MergedImage {
    unsigned char bytes[kMergedImageSize];
};

inline ByteView view_of(const MergedImage& image) {
    return {image.bytes, kMergedImageSize};
}

extern Timeline song_timeline;

// Where the song ends as its tracks mark it, the latest End of Track: in ticks after the
// merged stream's last event (set by the merger before the build), and on the playback
// clock (set by the build). The merged stream itself holds no End of Track.
struct SongEnd {
    std::uint64_t tail_ticks;
    std::int32_t time;
};
extern SongEnd song_end;

// Empties the Timeline, as at the program's start; only while playback is stopped.
void reset_timeline();
// Events from to before up_to marked sent (their messages and sysex) or not: what a jump
// leaves to the chase, and what plays again after a loop's jump.
void mark_events_sent(int from, int up_to, bool sent);
// The events of a Timeline the scheduler examines.
int timeline_count(const Timeline& timeline = song_timeline);
void build_timeline(const MergedImage& merged, ChannelVoiceTable& voices, VoiceOverride override,
                    double speed_factor);
std::int32_t round_to_int(double x);
