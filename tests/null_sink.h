// The desktop's audio path as a test hears it: a PulseAudio server of the test's own with
// a null sink, started as an unprivileged process (as nobody when the test runs as root),
// and a recording of the sink's monitor. The server goes with the object.
#pragma once

#include <sys/types.h>
#include <string>

class NullSink {
  public:
    NullSink();
    ~NullSink();
    NullSink(const NullSink&) = delete;
    NullSink& operator=(const NullSink&) = delete;

    // Whether the server answers; PULSE_SERVER then names it for this process.
    bool running() const { return running_; }
    std::string why_not() const { return why_not_; }
    // Records the monitor into a 16-bit stereo WAV file until stop_recording.
    bool start_recording(const std::string& wav_path);
    void stop_recording();

  private:
    std::string folder_;
    pid_t server_ = -1;
    pid_t recorder_ = -1;
    bool running_ = false;
    std::string why_not_;
};
