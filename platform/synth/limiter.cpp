#include "platform/synth/limiter.h"

#include <cmath>

namespace {

constexpr float kCeiling = 0.98f;   // just below full scale, whatever rounding does
constexpr float kRelease = 0.005f;  // of the way back to full gain per 64-frame block
constexpr int kMostFrames = 4096;   // a block at a time

// Rounded half away from zero, without a call into libm for each sample.
std::int16_t to_s16(float sample) {
    float scaled = sample * 32767.0f;
    if (!(scaled > -32768.0f)) return -32768;  // NaN too
    if (scaled >= 32767.0f) return 32767;
    return static_cast<std::int16_t>(scaled + (scaled >= 0.0f ? 0.5f : -0.5f));
}

float larger(float a, float b) {
    return a > b ? a : b;
}

}  // namespace

void Limiter::render(fluid_synth_t* synth, int frames, float* left, float* right) {
    // The reverb and chorus come mixed in.
    fluid_synth_write_float(synth, frames, left, 0, 1, right, 0, 1);
    float peak = 0.0f;
    for (int i = 0; i < frames; ++i)
        peak = larger(peak, larger(std::fabs(left[i]), std::fabs(right[i])));
    // Back up slowly, but never so far that this block would pass the ceiling.
    float blocks = static_cast<float>(frames) / 64.0f;
    gain_ += (1.0f - gain_) * std::fmin(1.0f, kRelease * blocks);
    if (peak * gain_ > kCeiling) gain_ = kCeiling / peak;
    if (gain_ >= 1.0f) return;
    for (int i = 0; i < frames; ++i) {
        left[i] *= gain_;
        right[i] *= gain_;
    }
}

void Limiter::render_s16(fluid_synth_t* synth, int frames, std::int16_t* interleaved) {
    float left[kMostFrames];
    float right[kMostFrames];
    for (int done = 0; done < frames; done += kMostFrames) {
        int block = frames - done < kMostFrames ? frames - done : kMostFrames;
        render(synth, block, left, right);
        for (int i = 0; i < block; ++i) {
            interleaved[2 * (done + i)] = to_s16(left[i]);
            interleaved[2 * (done + i) + 1] = to_s16(right[i]);
        }
    }
}
