// The embedded synthesizer rendered in real time into a WAV file: the output
// LUMAROTH_MIDI_OUT=wav:PATH names.
#pragma once

#include <fluidsynth.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/linux/limiter.h"
#include "platform/linux/synth_engine.h"
#include "platform/linux/wav_writer.h"

// 64-frame blocks at absolute times on a thread of its own, so that what the timer sends
// lands in the file at the time it was sent.
class WavRenderer {
  public:
    // False (with the reason in error) when the file cannot be written. on_failure is
    // told, from the rendering thread, when a later write fails (a full disk).
    bool start(fluid_synth_t* synth, const std::string& path,
               void (*on_failure)(const std::string&), std::string& error);
    // The file ends with what sounds on after the stop's controller resets (the notes'
    // release) until it has died away; a release longer than kReleaseMs fades out over
    // that time instead, so the file always ends in silence, never in a click.
    void stop();

  private:
    bool write(const std::int16_t* frames, int frame_count);
    void run();

    WavWriter writer_;
    Limiter limiter_;  // the rendering thread's, then stop's after it has ended
    fluid_synth_t* synth_ = nullptr;
    void (*on_failure_)(const std::string&) = nullptr;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};
