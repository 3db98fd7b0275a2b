// SoundFont files read as they were when loaded. FluidSynth reads a SoundFont's samples
// only when a preset first needs them, opening the file again each time: a file deleted,
// replaced (renamed over, as a package upgrade does) or truncated since would give it
// another file's data or none, and it would play samples it never read. Its files are
// read here instead, through a handle held from loading (a deleted or replaced file plays
// on unchanged), the structure read at loading kept (every later open finds it as it
// was), and sample data that can no longer be read given as silence, and said.
//
// Threads: FluidSynth calls the file functions from the loader thread, the window's (a
// Play's presets) and the audio thread (a program change); one lock orders them.
#pragma once

#include <fluidsynth.h>

// Makes the synthesizer read its SoundFonts so; before its first load.
void hold_sound_font_files(fluid_settings_t* settings, fluid_synth_t* synth);
// The calling thread's next open of a SoundFont's file is a new load of it: it is held
// anew, as the file is now.
void load_sound_font_anew();
// Whether sample data could not be read since the last call.
bool take_unreadable_sound_font();
