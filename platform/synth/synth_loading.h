// The embedded synthesizer's loading as the window starts, and what tests and
// measurements look at of it.
#pragma once

// Starts loading the synthesizer and its SoundFont on a thread of its own, as the window
// starts; an open before it is done waits for the rest, calling while_waiting (which keeps
// the window painting) meanwhile. finish_loading_synth (sound_font.h) joins the thread.
void start_loading_synth(void (*while_waiting)());

// Voices sounding now; 0 before the synthesizer exists.
int synth_active_voice_count();
