#include "platform/synth/synth_sink.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sound_font.h"
#include "platform/synth/event_queue.h"
#include "platform/synth/limiter.h"
#include "platform/synth/realtime.h"
#include "platform/synth/sample_clock.h"
#include "platform/synth/synth_engine.h"
#include "platform/synth/synth_system.h"
#include "platform/synth/wav_renderer.h"
#include "platform/wav_output.h"

namespace {

constexpr int kDrumBank = 128;
// The longest a close waits for the audio driver to play what was sent: a few callbacks.
constexpr int kDrainMs = 200;

// The volume the user chose, 0 to 1; the gain is kFullGain times it. The window's thread
// sets it at any time; the release's thread reads it.
std::atomic<float> volume{1.0f};

// What the next open renders into, when the program chose it: a WAV file's path, and
// whether offline. The opening thread only.
std::string wav_next;
bool offline_next = false;

float full_gain() {
    return kFullGain * volume;
}

// A closed output's audio driver plays the notes' release out (fading over kReleaseMs
// when it would last longer) on a thread of its own, so that neither Stop nor the next
// Play waits for it; the next open takes the still running driver back at once.
//
// Threads: the window's thread starts a release (at a close) and takes the driver back
// (at the next open), or the exit lets it end; the release's own thread runs between the
// two and owns the synthesizer's gain and the driver meanwhile. The lock and the
// condition only end the wait early.
class ReleasingDriver {
  public:
    void start(fluid_synth_t* synth, fluid_audio_driver_t* driver) {
        finish();
        static bool finished_at_exit = (std::atexit([] { releasing_driver().finish(); }), true);
        (void)finished_at_exit;
        synth_ = synth;
        driver_ = driver;
        cancelled_ = false;
        thread_ = std::thread(&ReleasingDriver::run, this);
    }
    // Ends the release now; the driver if it still runs, else nullptr.
    fluid_audio_driver_t* take_back() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            cancelled_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
        fluid_audio_driver_t* driver = driver_;
        driver_ = nullptr;
        return driver;
    }
    // Lets the release end and the driver go.
    void finish() {
        if (thread_.joinable()) thread_.join();
    }
    static ReleasingDriver& releasing_driver() {
        static ReleasingDriver releasing;
        return releasing;
    }

  private:
    void run() {
        std::unique_lock<std::mutex> guard(lock_);
        for (int waited = 0;
             waited < kReleaseMs && !cancelled_ && fluid_synth_get_active_voice_count(synth_) > 0;
             waited += 5) {
            fluid_synth_set_gain(synth_, full_gain() * (kReleaseMs - waited) / kReleaseMs);
            wake_.wait_for(guard, std::chrono::milliseconds(5), [this] { return cancelled_; });
        }
        fluid_synth_set_gain(synth_, full_gain());
        if (cancelled_) return;
        delete_fluid_audio_driver(driver_);
        driver_ = nullptr;
        // The queue's consumer now: a driver that stalled left messages behind.
        synth_event_queue().play_all(synth_);
        quiet_synth(synth_);
    }

    std::mutex lock_;
    std::condition_variable wake_;
    bool cancelled_ = false;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
    std::thread thread_;
};

// The audio driver's blocks on the playback clock. The driver renders each block some
// time before it is heard, by how full its buffer is; a block's time is taken from the
// fullest the buffer has been (a late callback makes it look emptier), let go by 100 ppm
// so that a sound card whose clock runs slower than the system's is followed.
class DriverClock {
  public:
    // Called at each callback, before its frames are rendered.
    void callback() {
        std::int64_t now = monotonic_ns();
        std::int64_t lead = sound_ns(frames_, kSampleRate) - now;
        lead_ns_ = started_ ? std::max(lead, lead_ns_ - (now - last_ns_) / 10000) : lead;
        started_ = true;
        last_ns_ = now;
    }
    // The next block's time, which it takes.
    std::int64_t next_block(int frames) {
        std::int64_t block_ns = sound_ns(frames_, kSampleRate) - lead_ns_;
        frames_ += frames;
        return block_ns;
    }

  private:
    std::uint64_t frames_ = 0;  // rendered since the driver started
    std::int64_t lead_ns_ = 0;
    std::int64_t last_ns_ = 0;
    bool started_ = false;
};

// What one audio driver renders with. Each driver starts with its own: a clock left by
// an earlier driver would count the frames of that one and put every block late by as
// long as the output sat idle between them.
//
// Threads: the driver's audio thread only, from its start to its deletion; start_audio
// makes it anew before a new driver starts, when no driver runs.
struct DriverState {
    fluid_synth_t* synth = nullptr;
    DriverClock clock;
    Limiter limiter;
};
DriverState driver_state;

// The desktop's audio takes what the limiter leaves; the driver's thread renders, a
// 64-frame block at a time, each after the messages due by then.
int render_for_driver(void* data, int frames, int, float*[], int outputs, float* out[]) {
    if (outputs < 2) return FLUID_FAILED;
    auto& state = *static_cast<DriverState*>(data);
    state.clock.callback();
    for (int done = 0; done < frames; done += kBlockFrames) {
        int block = std::min(kBlockFrames, frames - done);
        synth_event_queue().play_due(state.synth, state.clock.next_block(block));
        state.limiter.render(state.synth, block, out[0] + done, out[1] + done);
    }
    return FLUID_OK;
}

fluid_audio_driver_t* start_audio(Synth& synth, std::string& error) {
    if (fluid_audio_driver_t* driver = ReleasingDriver::releasing_driver().take_back())
        return driver;
    std::string reasons;
    for (const std::string& driver_name : audio_driver_names()) {
        fluid_settings_setstr(synth.settings, "audio.driver", driver_name.c_str());
        take_fluid_error();
        driver_state = DriverState();
        driver_state.synth = synth.synth;
        if (fluid_audio_driver_t* driver =
                new_fluid_audio_driver2(synth.settings, render_for_driver, &driver_state))
            return driver;
        std::string reason = take_fluid_error();
        reasons += std::string(reasons.empty() ? "" : "; ") + driver_name + ": " +
                   (reason.empty() ? "unavailable" : reason);
    }
    error = "no audio output (" + reasons + ")";
    return nullptr;
}

class SynthSink : public MidiSink {
  public:
    explicit SynthSink(Synth& synth) : synth_(synth), pinned_font_(synth.sound_font_id) {}
    ~SynthSink() override {
        // What was sent plays out before the release: in the renderer's last blocks, or at
        // the driver's next block (its thread is the queue's one consumer).
        if (renderer_ != nullptr) renderer_->stop();
        if (driver_ != nullptr) synth_event_queue().play_pushed_now(kDrainMs);
        for (auto [bank, program] : pinned_)
            fluid_synth_unpin_preset(synth_.synth, pinned_font_, bank, program);
        if (driver_ != nullptr) {
            ReleasingDriver::releasing_driver().start(synth_.synth, driver_);
        } else {
            quiet_synth(synth_.synth);
        }
    }

    MMRESULT attach(std::string& error) {
        std::string spec =
            !wav_next.empty() ? "wav:" + wav_next : environment_value("LUMAROTH_MIDI_OUT");
        wav_next.clear();
        if (spec.empty() || spec == "synth") {
            driver_ = start_audio(synth_, error);
            return driver_ != nullptr ? MMSYSERR_NOERROR : MIDIERR_NODEVICE;
        }
        if (spec.compare(0, 4, "wav:") == 0 && spec.size() > 4) {
            if (is_sound_font_in_use(spec.c_str() + 4)) {
                error = "the WAV output " + spec.substr(4) + " is the SoundFont in use";
                return MIDIERR_NODEVICE;
            }
            renderer_ = std::make_unique<WavRenderer>();
            bool offline = offline_next;
            offline_next = false;
            if (renderer_->start(synth_.synth, spec.substr(4), offline, set_output_failure, error))
                return MMSYSERR_NOERROR;
            renderer_.reset();
            return MIDIERR_NODEVICE;
        }
        error = "unknown LUMAROTH_MIDI_OUT '" + spec + "' (use synth or wav:PATH)";
        return MMSYSERR_BADDEVICEID;
    }

    bool schedules() const override { return true; }

    MMRESULT send_short(DWORD message, DueTime due) override {
        int kind = message & 0xF0;
        if (kind < 0x80 || kind == 0xF0) return MMSYSERR_INVALPARAM;
        return synth_event_queue().push_short(message, due) ? MMSYSERR_NOERROR : MIDIERR_NOTREADY;
    }

    // FluidSynth takes a system-exclusive message without its F0 and F7; with them it
    // ignores the message.
    MMRESULT send_long(const unsigned char* bytes, std::size_t size, DueTime due) override {
        const char* data = reinterpret_cast<const char*>(bytes);
        if (size > 0 && bytes[0] == 0xF0) {
            ++data;
            --size;
        }
        if (size > 0 && static_cast<unsigned char>(data[size - 1]) == 0xF7) --size;
        if (size > 0 && !synth_event_queue().push_sysex(data, size, due)) return MIDIERR_NOTREADY;
        return MMSYSERR_NOERROR;
    }

    // A pinned preset keeps its samples loaded, selected or not, until it is unpinned.
    MMRESULT cache_patches(UINT bank, const WORD* patches) override {
        for (int program = 0; program < 128; ++program)
            if (patches[program] != 0) pin(static_cast<int>(bank), program);
        return MMSYSERR_NOERROR;
    }
    MMRESULT cache_drum_patches(UINT kit, const WORD*) override {
        pin(kDrumBank, static_cast<int>(kit));
        return MMSYSERR_NOERROR;
    }

    MMRESULT set_volume(DWORD level) override {
        // The louder side, as a synthesizer without a balance would take it.
        DWORD left = level & 0xFFFF;
        DWORD right = level >> 16;
        volume = static_cast<float>(left > right ? left : right) / 0xFFFF;
        fluid_synth_set_gain(synth_.synth, full_gain());
        return MMSYSERR_NOERROR;
    }

  private:
    // Under the font of the open: one chosen while playing leaves these to it.
    void pin(int bank, int program) {
        if (fluid_synth_pin_preset(synth_.synth, pinned_font_, bank, program) == FLUID_OK)
            pinned_.emplace_back(bank, program);
    }

    Synth& synth_;
    fluid_audio_driver_t* driver_ = nullptr;
    std::unique_ptr<WavRenderer> renderer_;
    int pinned_font_;
    std::vector<std::pair<int, int>> pinned_;  // bank, program
};

}  // namespace

void render_next_output_into(const std::string& path) {
    wav_next = path;
}

void render_next_output_offline() {
    offline_next = true;
}

std::unique_ptr<MidiSink> open_synth_sink(MMRESULT& result, std::string& error) {
    Synth& synth = loaded_synth();
    error = synth.error;
    result = MIDIERR_INVALIDSETUP;
    if (!error.empty()) return nullptr;
    set_output_failure("");
    // A SoundFont chosen since the last Play takes over now.
    if (synth.replaced_sound_font != FLUID_FAILED) {
        fluid_synth_sfunload(synth.synth, synth.replaced_sound_font, 0);
        synth.replaced_sound_font = FLUID_FAILED;
    }
    fluid_synth_system_reset(synth.synth);
    apply_synth_effects(synth.synth);
    fluid_synth_set_gain(synth.synth, full_gain());
    auto sink = std::make_unique<SynthSink>(synth);
    result = sink->attach(error);
    if (result != MMSYSERR_NOERROR) return nullptr;
    return sink;
}
