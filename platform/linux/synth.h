// The embedded synthesizer behind the MIDI output, as far as tests and measurements
// look at it.
#pragma once

#include <string>

// Starts loading the synthesizer and its SoundFont on a thread of its own, as the window
// starts; an open before it is done waits for the rest, calling while_waiting (which keeps
// the window painting) meanwhile. finish_loading_synth joins the thread before exit.
void start_loading_synth(void (*while_waiting)());
void finish_loading_synth();

// Voices sounding now; 0 before the synthesizer exists.
int synth_active_voice_count();

// Whether the WAV output opened last has gone quiet: no voice sounds, and the sound it
// rendered last, the effects' tail included, is below -90 dBFS.
bool synth_output_quiet();

// Why the output opened last stopped writing (a full disk, say); empty while all went well.
std::string synth_output_failure();
