// The embedded synthesizer behind the MIDI output, as far as tests and measurements
// look at it.
#pragma once

// Voices sounding now; 0 before the synthesizer exists.
int synth_active_voice_count();
