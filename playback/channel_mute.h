// Mute and solo: a muted channel's notes are not sent, and while any channel is soloed
// only the soloed ones sound. Controllers and program changes always go out, so that a
// channel unmuted plays in its right sound.
//
// Threads: the main thread sets them; the tick reads them (atomics) before each note-on.
#pragma once

void set_channel_muted(int channel, bool muted);
void set_channel_soloed(int channel, bool soloed);
bool channel_muted(int channel);
bool channel_soloed(int channel);
// Every channel sounds again, as when another song opens.
void clear_mute_and_solo();
// Whether the channel's notes are sent.
bool channel_sounds(int channel);
