#include "platform/synth/wav_renderer.h"

#include <vector>

#include "platform/synth/event_queue.h"
#include "platform/synth/realtime.h"
#include "platform/synth/sample_clock.h"

namespace {

constexpr std::size_t kTailSamples = kSampleRate / 1000 * kReleaseMs * 2;
// The least the file holds after the stop's messages when something sounded at the stop:
// the rendering thread may have ended before it played them, and the file would then end
// on what sounded before.
constexpr std::size_t kStopHeardSamples = kSampleRate / 1000 * 50 * 2;
// Offline, what is rendered is written a quarter of a second at a time.
constexpr std::size_t kOfflineWriteSamples = kSampleRate / 4 * 2;

// -90 dBFS of 16-bit full scale is about one step: a block within it is silence.
constexpr int kQuietSample = 1;

// Whether the file open last has gone quiet: no voice sounds and its last block, the
// reverb's tail included, is silence. Set by the rendering thread, read by any.
std::atomic<bool> output_quiet{false};

bool is_quiet(const std::int16_t* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (samples[i] > kQuietSample || samples[i] < -kQuietSample) return false;
    return true;
}

std::int64_t block_offset_ns(std::uint64_t blocks) {
    return sound_ns(blocks * kBlockFrames, kSampleRate);
}

}  // namespace

bool synth_output_quiet() {
    return output_quiet;
}

bool WavRenderer::start(fluid_synth_t* synth, const std::string& path, bool offline,
                        void (*on_failure)(const std::string&), std::string& error) {
    if (!writer_.open(path, kSampleRate, error)) return false;
    synth_ = synth;
    on_failure_ = on_failure;
    offline_ = offline;
    blocks_ = 0;
    stopping_ = false;
    output_quiet = false;
    if (offline) {
        // The sample clock starts where the real one is, on a whole millisecond.
        DWORD start_ms = timeGetTime();
        start_ns_ = static_cast<std::int64_t>(start_ms) * 1000000;
        start_sample_clock(start_ms, render_until, this);
    } else {
        start_ns_ = monotonic_ns();
        thread_ = std::thread(&WavRenderer::run, this);
    }
    return true;
}

void WavRenderer::stop() {
    if (offline_) {
        stop_sample_clock();
    } else {
        stopping_ = true;
        thread_.join();
    }
    if (!rendered_.empty() && writer_.error().empty())
        write(rendered_.data(), static_cast<int>(rendered_.size() / 2));
    rendered_.clear();
    bool sounding = fluid_synth_get_active_voice_count(synth_) > 0;
    synth_event_queue().play_all(synth_);
    std::vector<std::int16_t> tail;
    while (tail.size() < kTailSamples && ((sounding && tail.size() < kStopHeardSamples) ||
                                          fluid_synth_get_active_voice_count(synth_) > 0)) {
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

bool WavRenderer::render_block(std::int64_t block_ns) {
    std::int16_t block[kBlockFrames * 2];
    synth_event_queue().play_due(synth_, block_ns);
    limiter_.render_s16(synth_, kBlockFrames, block);
    ++blocks_;
    output_quiet =
        fluid_synth_get_active_voice_count(synth_) == 0 && is_quiet(block, kBlockFrames * 2);
    if (!offline_) return write(block, kBlockFrames);
    rendered_.insert(rendered_.end(), block, block + kBlockFrames * 2);
    if (rendered_.size() < kOfflineWriteSamples) return true;
    bool written = write(rendered_.data(), static_cast<int>(rendered_.size() / 2));
    rendered_.clear();
    return written;
}

void WavRenderer::run() {
    raise_thread_priority();
    while (!stopping_) {
        std::int64_t due = start_ns_ + block_offset_ns(blocks_);
        sleep_until_ns(due);
        if (!render_block(due)) return;
    }
}

// Every block that starts before until_ms, so that what is due then is already sent
// when its block comes.
bool WavRenderer::render_until(void* renderer, DWORD until_ms) {
    auto* self = static_cast<WavRenderer*>(renderer);
    // The clock's milliseconds wrap at 2^32 as timeGetTime's do: count from the start.
    std::int64_t span_ns =
        static_cast<std::int32_t>(until_ms - static_cast<DWORD>(self->start_ns_ / 1000000)) *
        std::int64_t{1000000};
    while (block_offset_ns(self->blocks_) < span_ns) {
        if (!self->writer_.error().empty() ||
            !self->render_block(self->start_ns_ + block_offset_ns(self->blocks_)))
            return false;
    }
    return true;
}
