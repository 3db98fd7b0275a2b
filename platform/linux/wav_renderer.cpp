#include "platform/linux/wav_renderer.h"

#include <time.h>

#include <vector>

#include "platform/linux/thread_priority.h"

namespace {

constexpr std::size_t kTailSamples = kSampleRate / 1000 * kReleaseMs * 2;

timespec after(timespec start, std::uint64_t ns) {
    start.tv_sec += static_cast<time_t>(ns / 1000000000ull);
    start.tv_nsec += static_cast<long>(ns % 1000000000ull);
    if (start.tv_nsec >= 1000000000L) {
        start.tv_sec += 1;
        start.tv_nsec -= 1000000000L;
    }
    return start;
}

}  // namespace

bool WavRenderer::start(fluid_synth_t* synth, const std::string& path,
                        void (*on_failure)(const std::string&), std::string& error) {
    if (!writer_.open(path, kSampleRate, error)) return false;
    synth_ = synth;
    on_failure_ = on_failure;
    stopping_ = false;
    thread_ = std::thread(&WavRenderer::run, this);
    return true;
}

void WavRenderer::stop() {
    stopping_ = true;
    thread_.join();
    std::vector<std::int16_t> tail;
    while (tail.size() < kTailSamples && fluid_synth_get_active_voice_count(synth_) > 0) {
        tail.resize(tail.size() + kBlockFrames * 2);
        std::int16_t* block = tail.data() + tail.size() - kBlockFrames * 2;
        limiter_.render_s16(synth_, kBlockFrames, block);
    }
    if (fluid_synth_get_active_voice_count(synth_) > 0) {
        for (std::size_t i = 0; i < tail.size(); ++i)
            tail[i] = static_cast<std::int16_t>(tail[i] * static_cast<double>(tail.size() - 1 - i) /
                                                static_cast<double>(tail.size()));
    }
    if (!tail.empty() && writer_.error().empty())
        write(tail.data(), static_cast<int>(tail.size() / 2));
    if (!writer_.close()) on_failure_(writer_.error());
}

bool WavRenderer::write(const std::int16_t* frames, int frame_count) {
    if (writer_.write(frames, frame_count)) return true;
    on_failure_(writer_.error());
    return false;
}

void WavRenderer::run() {
    raise_thread_priority();
    std::int16_t block[kBlockFrames * 2];
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (std::uint64_t blocks = 0; !stopping_; ++blocks) {
        timespec due = after(start, blocks * kBlockFrames * 1000000000ull / kSampleRate);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) != 0) {
        }
        limiter_.render_s16(synth_, kBlockFrames, block);
        if (!write(block, kBlockFrames)) return;
    }
}
