// What the embedded synthesizer takes from the system it runs on, beside its files
// (system_file.h): each system's own synth_system.cpp gives it (platform/linux,
// platform/windows). Texts are UTF-8 on both systems.
//
// Threads: any thread may call these.
#pragma once

#include <fluidsynth.h>

#include <string>
#include <vector>

// FluidSynth's audio drivers for the desktop's sound, tried in turn.
std::vector<std::string> audio_driver_names();
// The SoundFonts the synthesizer loads when the user has chosen none, in the order tried,
// and what a user who has none of them is told to do.
std::vector<std::string> system_sound_fonts();
extern const char kNoSoundFontAdvice[];
// Whether a file's first 12 bytes start a kind of SoundFont this system's FluidSynth
// reads: only those go to it, for its other loaders complain on the console.
bool is_sound_font_head(const char* head);
// An environment variable's value; "" when it is not set.
std::string environment_value(const char* name);
// Silences what the libraries under FluidSynth write to the console: the synthesizer's
// own reasons reach the user. Before the synthesizer starts.
void quiet_library_messages();
// fluid_synth_sfload, quietly: the SoundFont's id, or FLUID_FAILED.
int load_sound_font_quietly(fluid_synth_t* synth, const std::string& path);
