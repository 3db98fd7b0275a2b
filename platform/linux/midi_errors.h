// Why the MIDI output could not be opened, kept for midiOutGetErrorTextA: the user is
// told the layer's own reason (no SoundFont, no audio device and the driver's words).
// Threads: midiOutOpen writes the reason and midiOutGetErrorTextA reads it, each under
// the one lock of midi_errors.cpp, from whichever thread calls them (the window's
// thread in the program); the timer thread never touches it.
#pragma once

#include <string>

// The reason of the failed open under way, in UTF-8; an empty one forgets the last.
void remember_open_failure(const std::string& reason);
