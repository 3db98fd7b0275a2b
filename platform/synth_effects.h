// The embedded synthesizer's reverb and chorus (platform/synth). Windows has no call for
// this: these are the platform's own.
//
// Threads: the window's thread (or the terminal tool's) sets them; the synthesizer takes
// them at once through FluidSynth's thread-safe API.
#pragma once

#include <cstring>

// Standard: FluidSynth 2.4's reverb and chorus; subtle: both at half their level; off:
// neither.
enum class SynthEffects { kStandard, kSubtle, kOff };

// Their names in settings files and on command lines.
constexpr const char* kSynthEffectsNames[] = {"standard", "subtle", "off"};

inline const char* synth_effects_name(SynthEffects effects) {
    return kSynthEffectsNames[static_cast<int>(effects)];
}

// False when name is none of them.
inline bool synth_effects_named(const char* name, SynthEffects& effects) {
    for (int i = 0; i < 3; ++i)
        if (std::strcmp(name, kSynthEffectsNames[i]) == 0) {
            effects = static_cast<SynthEffects>(i);
            return true;
        }
    return false;
}

// Applied at once when the synthesizer runs, else as it starts.
void set_synth_effects(SynthEffects effects);
