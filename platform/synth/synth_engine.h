// The embedded synthesizer itself, shared by its sink and the functions tests and the
// program's start call (synth.h): FluidSynth with a General MIDI SoundFont, loaded once,
// on a thread of its own as the window starts, and kept for the whole run.
//
// Threads: the loader thread builds the Synth; everyone else reaches it through
// loaded_synth(), which waits for the loader. FluidSynth's own API is thread-safe
// (synth.threadsafe-api), so any thread may then call it.
#pragma once

#include <fluidsynth.h>

#include <string>

constexpr int kSampleRate = 44100;
constexpr int kBlockFrames = 64;  // FluidSynth's own block: events take effect between blocks
constexpr int kReleaseMs = 500;   // the longest a stop lets the notes' release sound
// At full volume, FluidSynth's own default: no General MIDI song of the corpus clips.
constexpr float kFullGain = 0.2f;

struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    // The loader thread writes these while no open waits for it (loaded_synth).
    int sound_font_id = FLUID_FAILED;
    int replaced_sound_font = FLUID_FAILED;  // to unload at the next open
    std::string error;                       // why nothing can sound: no SoundFont, say

    Synth();
    ~Synth();
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;
};

// The synthesizer, loaded now if no loader thread runs, else once the loader is done
// (a chosen SoundFont loaded too).
Synth& loaded_synth();
// The synthesizer once it is built, else nullptr: never waits for the loader.
fluid_synth_t* built_fluid_synth();
// Gives synth the reverb and chorus chosen last (platform/synth_effects.h): as it is built,
// at each open, and when they are chosen.
void apply_synth_effects(fluid_synth_t* synth);
// The last error FluidSynth reported, taken (the next call gives the one after).
std::string take_fluid_error();
// Ends every voice and resets the channels, rendering into nowhere until it is quiet.
void quiet_synth(fluid_synth_t* synth);
// Why the open output stopped writing; the renderer's thread tells it.
void set_output_failure(const std::string& reason);
