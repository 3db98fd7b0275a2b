// The 128 General MIDI program names, in Japanese.
#pragma once

constexpr int kGmProgramCount = 128;
constexpr int kGmNameFieldSize = 44;

// Each name is padded to exactly 40 bytes with full-width spaces (and one ASCII space
// for the names of odd length), then zero bytes: the padding belongs to the name.
extern const char gm_program_names[kGmProgramCount][kGmNameFieldSize];
