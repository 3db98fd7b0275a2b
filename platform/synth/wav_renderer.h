// The embedded synthesizer rendered into a WAV file (wav_output.h): in real time, or
// offline, as fast as the machine allows, driving the playback clock (sample_clock.h).
#pragma once

#include <fluidsynth.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/synth/limiter.h"
#include "platform/synth/synth_engine.h"
#include "platform/synth/wav_writer.h"
#include "platform/win32.h"

// 64-frame blocks, each at its own time on the playback clock, the messages due by then
// played before it (event_queue.h). In real time a thread of its own renders each block
// at that time; offline, the thread that drives the sample clock renders them.
class WavRenderer {
  public:
    // False (with the reason in error) when the file cannot be written. on_failure is
    // told, from the rendering thread, when a later write fails (a full disk).
    bool start(fluid_synth_t* synth, const std::string& path, bool offline,
               void (*on_failure)(const std::string&), std::string& error);
    // What was sent plays out; the file ends with what sounds on after the stop's
    // controller resets (the notes' release) until it has died away; a release longer
    // than kReleaseMs fades out over that time instead, so the file always ends in
    // silence, never in a click.
    void stop();

  private:
    bool write(const std::int16_t* frames, int frame_count);
    // The next block, which starts at block_ns on the playback clock.
    bool render_block(std::int64_t block_ns);
    void run();
    static bool render_until(void* renderer, DWORD until_ms);

    WavWriter writer_;
    Limiter limiter_;  // the rendering thread's, then stop's after it has ended
    fluid_synth_t* synth_ = nullptr;
    void (*on_failure_)(const std::string&) = nullptr;
    bool offline_ = false;
    std::int64_t start_ns_ = 0;           // the first block's time on the playback clock
    std::uint64_t blocks_ = 0;            // rendered so far
    std::vector<std::int16_t> rendered_;  // offline: not yet written
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};
