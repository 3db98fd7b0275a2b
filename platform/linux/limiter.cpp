#include "platform/linux/limiter.h"

#include <cmath>
#include <cstring>

namespace {

constexpr float kCeiling = 0.98f;   // just below full scale, whatever rounding does
constexpr float kRelease = 0.005f;  // of the way back to full gain per 64-frame block
constexpr int kMostFrames = 4096;   // a block at a time

std::int16_t to_s16(float sample) {
    long value = std::lround(sample * 32767.0f);
    return static_cast<std::int16_t>(value > 32767 ? 32767 : value < -32768 ? -32768 : value);
}

}  // namespace

void Limiter::render(fluid_synth_t* synth, int frames, float* left, float* right) {
    std::memset(left, 0, sizeof(float) * static_cast<std::size_t>(frames));
    std::memset(right, 0, sizeof(float) * static_cast<std::size_t>(frames));
    float* dry[2] = {left, right};
    float* effects[4] = {left, right, left, right};  // reverb and chorus into the mix
    fluid_synth_process(synth, frames, 4, effects, 2, dry);
    float peak = 0.0f;
    for (int i = 0; i < frames; ++i)
        peak = std::fmax(peak, std::fmax(std::fabs(left[i]), std::fabs(right[i])));
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
