#include "platform/synth_effects.h"

#include <atomic>

#include "platform/synth/synth_engine.h"

namespace {

// FluidSynth 2.4's defaults, set here so that Debian's 2.3 (a chorus at level 2.0, a
// smaller and louder reverb) sounds as the Windows build's 2.6 does.
constexpr double kReverbRoomSize = 0.5;
constexpr double kReverbDamp = 0.2;
constexpr double kReverbWidth = 0.8;
constexpr double kReverbLevel = 0.7;
constexpr int kChorusVoices = 3;
constexpr double kChorusLevel = 0.6;
constexpr double kChorusSpeed = 0.2;   // Hz
constexpr double kChorusDepth = 4.25;  // ms
constexpr int kAllGroups = -1;

std::atomic<SynthEffects> chosen{SynthEffects::kStandard};

}  // namespace

void apply_synth_effects(fluid_synth_t* synth) {
    SynthEffects effects = chosen;
    double share = effects == SynthEffects::kSubtle ? 0.5 : 1.0;
    fluid_synth_set_reverb_group_roomsize(synth, kAllGroups, kReverbRoomSize);
    fluid_synth_set_reverb_group_damp(synth, kAllGroups, kReverbDamp);
    fluid_synth_set_reverb_group_width(synth, kAllGroups, kReverbWidth);
    fluid_synth_set_reverb_group_level(synth, kAllGroups, kReverbLevel * share);
    fluid_synth_set_chorus_group_nr(synth, kAllGroups, kChorusVoices);
    fluid_synth_set_chorus_group_level(synth, kAllGroups, kChorusLevel * share);
    fluid_synth_set_chorus_group_speed(synth, kAllGroups, kChorusSpeed);
    fluid_synth_set_chorus_group_depth(synth, kAllGroups, kChorusDepth);
    fluid_synth_set_chorus_group_type(synth, kAllGroups, FLUID_CHORUS_MOD_SINE);
    fluid_synth_reverb_on(synth, kAllGroups, effects != SynthEffects::kOff);
    fluid_synth_chorus_on(synth, kAllGroups, effects != SynthEffects::kOff);
}

void set_synth_effects(SynthEffects effects) {
    chosen = effects;
    if (fluid_synth_t* synth = built_fluid_synth()) apply_synth_effects(synth);
}
