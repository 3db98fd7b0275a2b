// lumaroth-cli play and render: the song through the path the window uses.
#pragma once

#include "instruments/channel_voices.h"
#include "smf/song_image.h"
#include "tools/cli_options.h"

constexpr int kExitNoOutput = 3;
constexpr int kExitBySignal = 128;  // plus the signal's number, as a shell reports it

int play_song(const SongImage& song, ChannelVoiceTable& voices, const CliOptions& options);
// lumaroth-cli devices: each MIDI output, "index<TAB>name", one a line.
int list_devices();
