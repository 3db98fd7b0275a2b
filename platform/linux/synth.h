// The embedded synthesizer behind the MIDI output, as far as tests and measurements
// look at it.
#pragma once

#include <string>

// Voices sounding now; 0 before the synthesizer exists.
int synth_active_voice_count();

// Why the output opened last stopped writing (a full disk, say); empty while all went well.
std::string synth_output_failure();
