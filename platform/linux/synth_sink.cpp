#include "platform/linux/synth_sink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/limiter.h"
#include "platform/linux/synth_engine.h"
#include "platform/linux/wav_renderer.h"

namespace {

constexpr int kDrumBank = 128;

// The volume the user chose, 0 to 1; the gain is kFullGain times it.
std::atomic<float> volume{1.0f};

float full_gain() {
    return kFullGain * volume;
}

// A closed output's audio driver plays the notes' release out (fading over kReleaseMs
// when it would last longer) on a thread of its own, so that neither Stop nor the next
// Play waits for it; the next open takes the still running driver back at once.
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
        quiet_synth(synth_);
    }

    std::mutex lock_;
    std::condition_variable wake_;
    bool cancelled_ = false;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
    std::thread thread_;
};

// The desktop's audio takes what the limiter leaves; the driver's thread renders.
int render_for_driver(void* synth, int frames, int, float*[], int outputs, float* out[]) {
    static Limiter limiter;
    if (outputs < 2) return FLUID_FAILED;
    limiter.render(static_cast<fluid_synth_t*>(synth), frames, out[0], out[1]);
    return FLUID_OK;
}

fluid_audio_driver_t* start_audio(Synth& synth, std::string& error) {
    if (fluid_audio_driver_t* driver = ReleasingDriver::releasing_driver().take_back())
        return driver;
    std::string reasons;
    for (const char* driver_name : {"pulseaudio", "alsa"}) {
        fluid_settings_setstr(synth.settings, "audio.driver", driver_name);
        take_fluid_error();
        if (fluid_audio_driver_t* driver =
                new_fluid_audio_driver2(synth.settings, render_for_driver, synth.synth))
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
    explicit SynthSink(Synth& synth) : synth_(synth) {}
    ~SynthSink() override {
        for (auto [bank, program] : pinned_)
            fluid_synth_unpin_preset(synth_.synth, synth_.sound_font_id, bank, program);
        if (driver_ != nullptr) {
            ReleasingDriver::releasing_driver().start(synth_.synth, driver_);
        } else {
            if (renderer_ != nullptr) renderer_->stop();
            quiet_synth(synth_.synth);
        }
    }

    MMRESULT attach(std::string& error) {
        const char* choice = std::getenv("LUMAROTH_MIDI_OUT");
        std::string spec = choice != nullptr ? choice : "";
        if (spec.empty() || spec == "synth") {
            driver_ = start_audio(synth_, error);
            return driver_ != nullptr ? MMSYSERR_NOERROR : MIDIERR_NODEVICE;
        }
        if (spec.compare(0, 4, "wav:") == 0 && spec.size() > 4) {
            renderer_ = std::make_unique<WavRenderer>();
            if (renderer_->start(synth_.synth, spec.substr(4), set_output_failure, error))
                return MMSYSERR_NOERROR;
            renderer_.reset();
            return MIDIERR_NODEVICE;
        }
        error = "unknown LUMAROTH_MIDI_OUT '" + spec + "' (use synth or wav:PATH)";
        return MMSYSERR_BADDEVICEID;
    }

    MMRESULT send_short(DWORD message) override {
        fluid_synth_t* synth = synth_.synth;
        int status = message & 0xFF;
        int channel = status & 0x0F;
        int data1 = (message >> 8) & 0x7F;
        int data2 = (message >> 16) & 0x7F;
        switch (status & 0xF0) {
            case 0x80:
                fluid_synth_noteoff(synth, channel, data1);
                break;
            case 0x90:
                if (data2 == 0) {
                    fluid_synth_noteoff(synth, channel, data1);
                } else {
                    fluid_synth_noteon(synth, channel, data1, data2);
                }
                break;
            case 0xA0:
                fluid_synth_key_pressure(synth, channel, data1, data2);
                break;
            case 0xB0:
                fluid_synth_cc(synth, channel, data1, data2);
                break;
            case 0xC0:
                fluid_synth_program_change(synth, channel, data1);
                break;
            case 0xD0:
                fluid_synth_channel_pressure(synth, channel, data1);
                break;
            case 0xE0:
                fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7);
                break;
            default:
                return MMSYSERR_INVALPARAM;
        }
        return MMSYSERR_NOERROR;
    }

    // FluidSynth takes a system-exclusive message without its F0 and F7; with them it
    // ignores the message.
    MMRESULT send_long(const unsigned char* bytes, std::size_t size) override {
        const char* data = reinterpret_cast<const char*>(bytes);
        int length = static_cast<int>(size);
        if (length > 0 && bytes[0] == 0xF0) {
            ++data;
            --length;
        }
        if (length > 0 && static_cast<unsigned char>(data[length - 1]) == 0xF7) --length;
        if (length > 0) fluid_synth_sysex(synth_.synth, data, length, nullptr, nullptr, nullptr, 0);
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
    void pin(int bank, int program) {
        if (fluid_synth_pin_preset(synth_.synth, synth_.sound_font_id, bank, program) == FLUID_OK)
            pinned_.emplace_back(bank, program);
    }

    Synth& synth_;
    fluid_audio_driver_t* driver_ = nullptr;
    std::unique_ptr<WavRenderer> renderer_;
    std::vector<std::pair<int, int>> pinned_;  // bank, program
};

}  // namespace

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
    fluid_synth_set_gain(synth.synth, full_gain());
    auto sink = std::make_unique<SynthSink>(synth);
    result = sink->attach(error);
    if (result != MMSYSERR_NOERROR) return nullptr;
    return sink;
}
