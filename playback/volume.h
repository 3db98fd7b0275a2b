// The volume the user chose, 0 to 100 %, on the output that plays: through the output's
// own volume where it has one (MIDICAPS_VOLUME: the embedded synthesizer's gain, a
// device's mixer), else as the universal Master Volume message, which General MIDI
// devices take.
#pragma once

#include "platform/win32.h"

constexpr int kFullVolume = 100;
constexpr int kVolumeStep = 10;

// Main thread only.
extern int output_volume;

// Whether the device has a volume of its own (else the Master Volume message serves).
bool output_has_own_volume(UINT device);
// The open output's level, percent of full, the way the device takes it. Any thread that
// may send to the output.
void set_output_level(HMIDIOUT output, bool own_volume, int percent);
// Sets the volume of the open output of that device. At an open a device without a
// volume of its own gets no message at full volume: its own is full.
void apply_output_volume(HMIDIOUT output, UINT device, bool at_open);
