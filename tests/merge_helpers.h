// Merging a song built in a test and looking at the stream it gives.
#pragma once

#include "playback/track_merger.h"
#include "tests/smf_bytes.h"

// The merged stream (from offset 22 to its last event) of the song.
Bytes merged_stream(const Bytes& song);
// The whole merged image.
Bytes merged_image(const Bytes& song);
// Merges and builds the Timeline of the song into song_timeline.
void play_song(const Bytes& song, VoiceOverride override = {0, 0, 0}, double factor = 1.0);

extern ChannelVoiceTable test_voices;
