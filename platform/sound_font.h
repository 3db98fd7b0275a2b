// The embedded synthesizer's SoundFont (platform/synth). Windows has no call for this:
// these are the platform's own.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// Whether the user may choose a SoundFont here.
bool sound_font_choosable();
// The kinds of file the synthesizer reads: SoundFont 2 on every system; then SoundFont 3
// where its FluidSynth has libsndfile (Linux), or DLS where it has its own DLS loader
// (Windows).
bool sound_font_reads_dls();
// The SoundFont in use or being loaded, as the program holds names; "" when none.
void current_sound_font(char* path, std::size_t size);
// Whether path (as the system names files) is the file of the SoundFont in use, or of the
// one the synthesizer would load first when none is yet: an output written there would
// destroy it. Links are followed.
bool is_sound_font_in_use(const char* path);
// Whether the SoundFont in use could not be read since the last call: its file was cut
// short since it loaded, and the notes whose samples it no longer holds were silent.
bool sound_font_unreadable();
// Loads the SoundFont at path on the synthesizer's loader thread, for the next Play, and
// then posts message to window: wParam 1 when it is the SoundFont now, 0 when it is none
// or cannot be read (the one before stays).
void choose_sound_font(const char* path, HWND window, UINT message);
// Waits until the SoundFont chosen last has loaded (or failed to): before the program exits.
void finish_loading_synth();
