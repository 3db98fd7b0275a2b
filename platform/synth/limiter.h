// What the embedded synthesizer renders, kept below full scale: a song loud enough to
// pass it at the chosen gain is turned down for as long as it is, and comes back over a
// third of a second, so that no sample clips, at any volume.
//
// Threads: one Limiter per rendering thread (the audio driver's, the WAV renderer's).
#pragma once

#include <fluidsynth.h>

#include <cstdint>

class Limiter {
  public:
    // frames of stereo sound from the synthesizer, effects mixed in, limited.
    void render(fluid_synth_t* synth, int frames, float* left, float* right);
    // The same as 16-bit interleaved frames.
    void render_s16(fluid_synth_t* synth, int frames, std::int16_t* interleaved);

  private:
    float gain_ = 1.0f;
};
