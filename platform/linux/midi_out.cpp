// The MIDI outputs on Linux. Device 0, which the mapper opens too: an embedded FluidSynth
// with a General MIDI SoundFont, heard through the desktop's audio or rendered in real
// time into a WAV file, as the environment variable LUMAROTH_MIDI_OUT says ("synth", the
// default, or "wav:PATH"). Devices 1 and up: the ALSA sequencer's ports.
#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <fluidsynth.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/cp932.h"
#include "platform/linux/midi_errors.h"
#include "platform/linux/seq_out.h"
#include "platform/linux/synth.h"
#include "platform/linux/wav_renderer.h"
#include "platform/win32.h"

namespace {

constexpr int kSettleBlocks = 16;
constexpr double kGain = 0.5;  // FluidSynth's 0.2 leaves General MIDI songs faint
constexpr const char* kSoundFontFolder = "/usr/share/sounds/sf2/";
constexpr const char* kSoundFonts[] = {"default-GM.sf2", "FluidR3_GM.sf2", "TimGM6mb.sf2"};

std::mutex fluid_error_lock;
std::string last_fluid_error;

void keep_fluid_error(int, const char* message, void*) {
    std::lock_guard<std::mutex> guard(fluid_error_lock);
    last_fluid_error = message != nullptr ? message : "";
}

void ignore_fluid_message(int, const char*, void*) {}

// ALSA writes its own complaints to stderr; the driver's failure says enough.
void ignore_alsa_message(const char*, int, const char*, int, const char*, ...) {}

// FluidSynth hands a file its SoundFont loader refuses to libinstpatch, which complains
// through GLib; our one line says why the load failed.
void ignore_glib_message(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// The SoundFont's id, or FLUID_FAILED.
int load_sound_font(fluid_synth_t* synth, const std::string& path) {
    GLogFunc previous = g_log_set_default_handler(ignore_glib_message, nullptr);
    int id = fluid_synth_sfload(synth, path.c_str(), 1);
    g_log_set_default_handler(previous, nullptr);
    return id;
}

std::string take_fluid_error() {
    std::lock_guard<std::mutex> guard(fluid_error_lock);
    std::string error = last_fluid_error;
    last_fluid_error.clear();
    return error;
}

// Only a regular file is read as a SoundFont: a FIFO would wait for a writer, and what
// is not a RIFF "sfbk" file goes on to loaders that complain on stderr.
bool is_regular_file(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool is_sound_font(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    char head[12] = {};
    struct stat info;
    bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    bool read_head = regular && read(fd, head, sizeof head) == static_cast<ssize_t>(sizeof head);
    close(fd);
    return read_head && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

std::string find_sound_font() {
    const char* chosen = std::getenv("LUMAROTH_SOUNDFONT");
    if (chosen != nullptr && *chosen != '\0') return chosen;
    for (const char* name : kSoundFonts) {
        std::string path = std::string(kSoundFontFolder) + name;
        if (is_regular_file(path)) return path;
    }
    return "";
}

// The synthesizer and its SoundFont load once and live for the whole run.
// Samples load on demand (only the presets a song selects reach memory); a preset is
// kept loaded while a channel selects it, so the patches a song asks to have cached
// are selected on channels of their own past the 16 the song plays on: melodic program
// p on kHolderChannel + p, drum kit k on kHolderChannel + 128 + k.
constexpr int kHolderChannel = 16;
constexpr int kSynthChannels = kHolderChannel + 256;
constexpr int kDrumBank = 128;

struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    int sound_font_id = FLUID_FAILED;
    std::string error;

    Synth() {
        fluid_set_log_function(FLUID_PANIC, keep_fluid_error, nullptr);
        fluid_set_log_function(FLUID_ERR, keep_fluid_error, nullptr);
        for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, ignore_fluid_message, nullptr);
        snd_lib_error_set_handler(ignore_alsa_message);
        settings = new_fluid_settings();
        fluid_settings_setint(settings, "synth.device-id", 16);
        fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
        fluid_settings_setint(settings, "audio.period-size", kBlockFrames);
        fluid_settings_setnum(settings, "synth.gain", kGain);
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(settings, "synth.midi-channels", kSynthChannels);
        synth = new_fluid_synth(settings);
        std::string sound_font = find_sound_font();
        if (sound_font.empty()) {
            error =
                "no General MIDI SoundFont: set LUMAROTH_SOUNDFONT or install fluid-soundfont-gm";
        } else if (!is_sound_font(sound_font) ||
                   (sound_font_id = load_sound_font(synth, sound_font)) == FLUID_FAILED) {
            error = "cannot load the SoundFont " + sound_font + ": not a readable SoundFont file";
        }
    }
    ~Synth() {
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
    }
};

std::atomic<Synth*> loaded_synth{nullptr};

Synth& the_synth() {
    static Synth synth;
    loaded_synth = &synth;
    return synth;
}

// The program loads the synthesizer on a thread of its own as its window starts; an
// open before that is done waits for the rest, running while_loading meanwhile.
std::thread synth_loader;
std::atomic<bool> synth_loaded{false};
void (*while_loading)() = nullptr;

void wait_for_synth_loader() {
    if (!synth_loader.joinable()) return;
    while (!synth_loaded) {
        if (while_loading != nullptr) while_loading();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Controllers reset after "all sound off" put a held voice back into its release, which
// rings on for a second: silence it after the reset. The synthesizer ends voices as it
// renders, so blocks rendered into nowhere settle it.
void quiet_synth(fluid_synth_t* synth) {
    fluid_synth_system_reset(synth);
    fluid_synth_all_sounds_off(synth, -1);
    std::int16_t settle[kBlockFrames * 2];
    for (int block = 0; block < kSettleBlocks && fluid_synth_get_active_voice_count(synth) > 0;
         ++block)
        fluid_synth_write_s16(synth, kBlockFrames, settle, 0, 2, settle, 1, 2);
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
            fluid_synth_set_gain(synth_,
                                 static_cast<float>(kGain * (kReleaseMs - waited) / kReleaseMs));
            wake_.wait_for(guard, std::chrono::milliseconds(5), [this] { return cancelled_; });
        }
        fluid_synth_set_gain(synth_, static_cast<float>(kGain));
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

std::mutex failure_lock;
std::string output_failure;

void set_output_failure(const std::string& reason) {
    std::lock_guard<std::mutex> guard(failure_lock);
    output_failure = reason;
}

struct OpenOutput {
    fluid_audio_driver_t* driver = nullptr;
    std::unique_ptr<WavRenderer> renderer;
    std::unique_ptr<SeqOutput> port;  // a sequencer port's output instead of the synth
};

constexpr char kSynthName[] = "FluidSynth";

// The sequencer's ports as midiOutGetNumDevs last counted them: device i + 1 is port i.
std::mutex device_lock;
std::vector<SeqPort> listed_ports;
bool ports_listed = false;

std::vector<SeqPort> seq_ports(bool list_again) {
    std::lock_guard<std::mutex> guard(device_lock);
    if (list_again || !ports_listed) listed_ports = list_seq_ports();
    ports_listed = true;
    return listed_ports;
}

MMRESULT open_seq_port(const SeqPort& target, OpenOutput& output) {
    auto port = std::make_unique<SeqOutput>();
    std::string error;
    if (!port->open(target, error)) {
        std::fprintf(stderr, "lumaroth: MIDI output %s: %s\n", target.name.c_str(), error.c_str());
        remember_open_failure(target.name + ": " + error);
        return MIDIERR_NODEVICE;
    }
    output.port = std::move(port);
    return MMSYSERR_NOERROR;
}

std::mutex output_lock;
OpenOutput* open_output = nullptr;

fluid_audio_driver_t* start_audio(Synth& synth, std::string& error) {
    if (fluid_audio_driver_t* driver = ReleasingDriver::releasing_driver().take_back())
        return driver;
    std::string reasons;
    for (const char* driver_name : {"pulseaudio", "alsa"}) {
        fluid_settings_setstr(synth.settings, "audio.driver", driver_name);
        take_fluid_error();
        if (fluid_audio_driver_t* driver = new_fluid_audio_driver(synth.settings, synth.synth))
            return driver;
        std::string reason = take_fluid_error();
        reasons += std::string(reasons.empty() ? "" : "; ") + driver_name + ": " +
                   (reason.empty() ? "unavailable" : reason);
    }
    error = "no audio output (" + reasons + ")";
    return nullptr;
}

MMRESULT attach_output(Synth& synth, OpenOutput& output, std::string& error) {
    const char* choice = std::getenv("LUMAROTH_MIDI_OUT");
    std::string spec = choice != nullptr ? choice : "";
    if (spec.empty() || spec == "synth") {
        output.driver = start_audio(synth, error);
        return output.driver != nullptr ? MMSYSERR_NOERROR : MIDIERR_NODEVICE;
    }
    if (spec.compare(0, 4, "wav:") == 0 && spec.size() > 4) {
        output.renderer = std::make_unique<WavRenderer>();
        if (output.renderer->start(synth.synth, spec.substr(4), set_output_failure, error))
            return MMSYSERR_NOERROR;
        output.renderer.reset();
        return MIDIERR_NODEVICE;
    }
    error = "unknown LUMAROTH_MIDI_OUT '" + spec + "' (use synth or wav:PATH)";
    return MMSYSERR_BADDEVICEID;
}

OpenOutput* output_of(HMIDIOUT handle) {
    return reinterpret_cast<OpenOutput*>(handle);
}

}  // namespace

std::string synth_output_failure() {
    std::lock_guard<std::mutex> guard(failure_lock);
    return output_failure;
}

int synth_active_voice_count() {
    std::lock_guard<std::mutex> guard(output_lock);
    Synth* synth = loaded_synth;
    return synth != nullptr ? fluid_synth_get_active_voice_count(synth->synth) : 0;
}

void start_loading_synth(void (*while_waiting)()) {
    while_loading = while_waiting;
    synth_loader = std::thread([] {
        the_synth();
        synth_loaded = true;
    });
}

void finish_loading_synth() {
    if (synth_loader.joinable()) synth_loader.join();
}

UINT midiOutGetNumDevs() {
    return static_cast<UINT>(1 + seq_ports(true).size());
}

MMRESULT midiOutGetDevCapsA(UINT_PTR device, LPMIDIOUTCAPSA caps, UINT size) {
    std::vector<SeqPort> ports = seq_ports(false);
    if (device > ports.size()) return MMSYSERR_BADDEVICEID;
    if (caps == nullptr || size < sizeof *caps) return MMSYSERR_INVALPARAM;
    std::memset(caps, 0, sizeof *caps);
    caps->wTechnology = device == 0 ? MOD_SWSYNTH : MOD_MIDIPORT;
    caps->wChannelMask = 0xFFFF;
    // The name as the program holds texts, cut at a character to what MIDIOUTCAPSA holds.
    copy_cp932_text(file_name_for_program(device == 0 ? kSynthName : ports[device - 1].name),
                    caps->szPname, sizeof caps->szPname);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutOpen(LPHMIDIOUT handle, UINT device, DWORD_PTR, DWORD_PTR, DWORD) {
    std::lock_guard<std::mutex> guard(output_lock);
    remember_open_failure("");
    std::vector<SeqPort> ports = seq_ports(false);
    if (device != MIDI_MAPPER && device > ports.size()) return MMSYSERR_BADDEVICEID;
    if (open_output != nullptr) return MIDIERR_NODEVICE;
    if (device != MIDI_MAPPER && device > 0) {
        auto output = std::make_unique<OpenOutput>();
        MMRESULT result = open_seq_port(ports[device - 1], *output);
        if (result != MMSYSERR_NOERROR) return result;
        open_output = output.release();
        *handle = reinterpret_cast<HMIDIOUT>(open_output);
        return MMSYSERR_NOERROR;
    }
    wait_for_synth_loader();
    Synth& synth = the_synth();
    std::string error = synth.error;
    MMRESULT result = MIDIERR_INVALIDSETUP;
    auto output = std::make_unique<OpenOutput>();
    set_output_failure("");
    if (error.empty()) {
        fluid_synth_system_reset(synth.synth);
        result = attach_output(synth, *output, error);
    }
    if (result != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "lumaroth: MIDI output: %s\n", error.c_str());
        remember_open_failure(error);
        return result;
    }
    // The handle owns the output until midiOutClose.
    open_output = output.release();
    *handle = reinterpret_cast<HMIDIOUT>(open_output);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message) {
    if (handle == nullptr) return MMSYSERR_INVALHANDLE;
    if (SeqOutput* port = output_of(handle)->port.get()) return port->send_short(message);
    fluid_synth_t* synth = the_synth().synth;
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

MMRESULT midiOutPrepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    if (handle == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || size < sizeof(MIDIHDR) || header->lpData == nullptr)
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

// FluidSynth takes a system-exclusive message without its F0 and F7; with them it
// ignores the message.
MMRESULT midiOutLongMsg(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    if (handle == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
    if ((header->dwFlags & MHDR_PREPARED) == 0) return MIDIERR_UNPREPARED;
    if (SeqOutput* port = output_of(handle)->port.get())
        return port->send_sysex(reinterpret_cast<const unsigned char*>(header->lpData),
                                header->dwBufferLength);
    const char* data = header->lpData;
    int length = static_cast<int>(header->dwBufferLength);
    if (length > 0 && static_cast<unsigned char>(data[0]) == 0xF0) {
        ++data;
        --length;
    }
    if (length > 0 && static_cast<unsigned char>(data[length - 1]) == 0xF7) --length;
    if (length > 0)
        fluid_synth_sysex(the_synth().synth, data, length, nullptr, nullptr, nullptr, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) {
    if (handle == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

// Selecting a preset loads its samples; the system reset at open and close lets them go.
MMRESULT midiOutCachePatches(HMIDIOUT handle, UINT bank, LPWORD patches, UINT) {
    if (handle == nullptr) return MMSYSERR_INVALHANDLE;
    if (output_of(handle)->port != nullptr) return MMSYSERR_NOTSUPPORTED;
    if (patches == nullptr) return MMSYSERR_INVALPARAM;
    Synth& synth = the_synth();
    for (int program = 0; program < 128; ++program) {
        if (patches[program] != 0)
            fluid_synth_program_select(synth.synth, kHolderChannel + program, synth.sound_font_id,
                                       static_cast<int>(bank), program);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutCacheDrumPatches(HMIDIOUT handle, UINT patch, LPWORD keys, UINT) {
    if (handle == nullptr) return MMSYSERR_INVALHANDLE;
    if (output_of(handle)->port != nullptr) return MMSYSERR_NOTSUPPORTED;
    if (keys == nullptr || patch > 127) return MMSYSERR_INVALPARAM;
    Synth& synth = the_synth();
    int kit = static_cast<int>(patch);
    fluid_synth_program_select(synth.synth, kHolderChannel + 128 + kit, synth.sound_font_id,
                               kDrumBank, kit);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutClose(HMIDIOUT handle) {
    std::lock_guard<std::mutex> guard(output_lock);
    OpenOutput* output = output_of(handle);
    if (output == nullptr || output != open_output) return MMSYSERR_INVALHANDLE;
    if (output->driver != nullptr) {
        ReleasingDriver::releasing_driver().start(the_synth().synth, output->driver);
    } else if (output->port == nullptr) {
        if (output->renderer != nullptr) output->renderer->stop();
        quiet_synth(the_synth().synth);
    }
    delete output;  // what midiOutOpen handed out with the handle
    open_output = nullptr;
    return MMSYSERR_NOERROR;
}
