#include "tools/cli_play.h"

#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/console.h"
#include "platform/cp932.h"
#include "platform/sound_font.h"
#include "platform/synth/system_file.h"
#include "platform/synth_effects.h"
#include "platform/wav_output.h"
#include "platform/win32.h"
#include "playback/channel_mute.h"
#include "playback/loop_points.h"
#include "playback/position.h"
#include "playback/scheduler.h"
#include "playback/track_merger.h"
#include "playback/volume.h"
#include "tools/terminal_text.h"

namespace {

constexpr UINT kInterruptMessage = WM_USER + 3;
constexpr UINT kProgressMessage = WM_USER + 4;
constexpr UINT kKeyMessage = WM_USER + 5;
constexpr UINT kSoundFontMessage = WM_USER + 6;
constexpr UINT kRestartMessage = WM_USER + 7;
constexpr int kBarWidth = 24;
constexpr auto kShowPeriod = std::chrono::milliseconds(250);  // between two live lines
constexpr std::uint32_t kJump = 5000;                         // ms a key's jump moves
// The ticker's period: the live line's, or finer when playing stops at --end or a render
// at the end of the sound.
constexpr auto kProgressPeriod = kShowPeriod;
constexpr auto kEndCheckPeriod = std::chrono::milliseconds(2);
// A render ends once the sound has, at most this long after the last message: the
// player's end of song waits longer, for a device that may still sound.
constexpr std::int32_t kRenderTail = 3000;

// Posts a progress message every period on a thread of its own, until it goes.
class Ticker {
  public:
    explicit Ticker(std::chrono::milliseconds period)
        : thread_([this, period] {
              std::unique_lock<std::mutex> guard(lock_);
              while (!done_) {
                  PostMessageA(console_message_target(), kProgressMessage, 0, 0);
                  wake_.wait_for(guard, period, [this] { return done_; });
              }
          }) {}
    // Ends at once, not after its period.
    ~Ticker() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

  private:
    std::mutex lock_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

// A start at or past the song's end would play nothing: it is said, with the length.
bool start_within_song(const CliOptions& options) {
    std::uint32_t length = song_length_ms();
    if (options.start_ms == 0 || options.start_ms < length) return true;
    char start[kSongTimeText], song[kSongTimeText];
    format_song_time(options.start_ms, start);
    format_song_time(length, song);
    std::fprintf(stderr, "lumaroth-cli: --start %s is not within the song, which lasts %s\n", start,
                 song);
    return false;
}

// How long a render of the song would last: to --end, or through its loop's passes and
// fade, then the tail.
std::uint64_t render_length_ms(const CliOptions& options) {
    std::uint64_t end = options.end_given ? options.end_ms : song_end_ms();
    LoopPoints loop = find_loop_points();
    if (!options.end_given && loop.start_index >= 0) {
        std::uint64_t pass = loop.end_ms - loop.start_ms;
        end += pass * static_cast<std::uint64_t>(options.loops - 1);
        if (!loop.way_out) end += options.fade_ms;
    }
    return end - options.start_ms + kRenderTail;
}

// A render that a WAV file cannot hold is refused before it starts.
bool fits_a_wav_file(const CliOptions& options) {
    std::uint64_t length = render_length_ms(options);
    if (options.command != "render" || length <= longest_wav_ms()) return true;
    char lasts[kSongTimeText], longest[kSongTimeText];
    format_song_time(length > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(length),
                     lasts);
    format_song_time(longest_wav_ms(), longest);
    std::fprintf(stderr,
                 "lumaroth-cli: the render would last %s; a WAV file holds at most %s of sound: "
                 "give an --end\n",
                 lasts, longest);
    return false;
}

// A render is over once the song has passed its end and the synthesizer has gone quiet.
bool render_is_over(const CliOptions& options) {
    return options.command == "render" && playback_position_ms() >= song_end_ms() &&
           synth_output_quiet();
}

std::string minutes_seconds(std::int64_t ms) {
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>(ms / 1000 % 60));
    return text;
}

std::string channel_programs(const ChannelVoiceTable& voices) {
    std::string text;
    for (int c = 0; c < 16; ++c) {
        const ChannelVoice& voice = voices.voices[c];
        if (voice.name == nullptr) continue;
        text += " " + std::to_string(c + 1) + ":" + std::to_string(voice.program + 1);
    }
    return text;
}

void show_progress(std::int64_t total, const std::string& programs) {
    std::int64_t elapsed = playback_position_ms();
    if (elapsed > total) elapsed = total;
    int filled = total > 0 ? static_cast<int>(elapsed * kBarWidth / total) : kBarWidth;
    std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
    std::string line =
        minutes_seconds(elapsed) + " / " + minutes_seconds(total) + " [" + bar + "]" + programs;
    // One column short of the terminal's width: a full line would wrap and scroll.
    int columns = console_columns();
    if (columns > 1 && line.size() >= static_cast<std::size_t>(columns))
        line.resize(static_cast<std::size_t>(columns - 1));
    std::printf("\r%s\033[K", line.c_str());
    std::fflush(stdout);
}

// A device's name in UTF-8.
std::string device_name(UINT device) {
    MIDIOUTCAPSA caps = {};
    if (midiOutGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return "";
    return text_for_display(caps.szPname, std::strlen(caps.szPname));
}

// --device: an index as `devices` lists it, else a name; false when none is that.
bool find_device(const std::string& wanted, UINT& device) {
    UINT count = midiOutGetNumDevs();
    char* end = nullptr;
    unsigned long index = std::strtoul(wanted.c_str(), &end, 10);
    if (*end == '\0' && index < count && std::isdigit(static_cast<unsigned char>(wanted[0]))) {
        device = static_cast<UINT>(index);
        return true;
    }
    for (device = 0; device < count; ++device)
        if (device_name(device) == wanted) return true;
    return false;
}

// Space pauses and resumes, the arrows jump; false when playback could not go on.
bool take_key(WPARAM key) {
    std::uint32_t at = playback_position_ms();
    if (key == kKeySpace && playback_state() == PlayState::kPlaying) {
        pause_playback();
        return true;
    }
    if (key == kKeySpace) return resume_playback() == 1;
    return jump_playback(key == kKeyLeft ? (at > kJump ? at - kJump : 0) : at + kJump) == 1;
}

// --soundfont: loaded before the output opens; false (said) when it cannot be.
bool use_sound_font(const std::string& path) {
    choose_sound_font(file_name_for_program(path).c_str(), console_message_target(),
                      kSoundFontMessage);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) && msg.message != kSoundFontMessage) {
    }
    finish_loading_synth();
    if (msg.message == kSoundFontMessage && msg.wParam == 1) return true;
    std::fprintf(stderr,
                 "lumaroth-cli: cannot load the SoundFont %s: not a readable SoundFont file\n",
                 terminal_text(path).c_str());
    return false;
}

// Offline, a tick renders whenever no message waits, and counts as the ticker's message:
// each tick's messages (the song's end) are taken before the next renders, so a render
// ends at the same tick every time.
bool next_message(bool offline, MSG& msg) {
    if (!offline) return GetMessageA(&msg, nullptr, 0, 0) != FALSE;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return true;
    if (!render_next_tick()) return false;
    msg = MSG{console_message_target(), kProgressMessage, 0, 0, 0, {0, 0}};
    return true;
}

// The output and device the options name, checked before anything opens: 0, or the exit
// code of a usage error (said).
int check_output_choice(const CliOptions& options) {
    if (!options.output.empty()) {
        if (is_same_file(options.file, options.output)) {
            std::fprintf(stderr, "lumaroth-cli: %s is the song itself: choose another output\n",
                         terminal_text(options.output).c_str());
            return kExitUsage;
        }
        if (options.sound_font.empty() ? is_sound_font_in_use(options.output.c_str())
                                       : is_same_file(options.sound_font, options.output)) {
            std::fprintf(stderr,
                         "lumaroth-cli: %s is the SoundFont in use: choose another output\n",
                         terminal_text(options.output).c_str());
            return kExitUsage;
        }
        render_next_output_into(options.output);
    }
    // The embedded synthesizer, as the window plays on when nothing is chosen; Windows'
    // mapper is Windows' own synthesizer.
    midi_output_device = 0;
    if (!options.device.empty()) {
        if (!find_device(options.device, midi_output_device)) {
            std::fprintf(stderr, "lumaroth-cli: no MIDI output %s (see lumaroth-cli devices)\n",
                         terminal_text(options.device).c_str());
            return kExitUsage;
        }
        // Only the embedded synthesizer, device 0, renders into a file.
        if (!options.output.empty() && midi_output_device != 0) {
            std::fprintf(stderr, "lumaroth-cli: %s cannot render: only device 0 (%s) can\n",
                         terminal_text(options.device).c_str(), device_name(0).c_str());
            return kExitUsage;
        }
    }
    return 0;
}

// What the options set for the playing: volume, loop passes and fade, mute and solo, and
// how long a silence ends the song.
void apply_play_settings(const CliOptions& options) {
    output_volume = options.volume;
    set_synth_effects(options.effects);
    loop_count = options.loops;
    for (int c = 0; c < 16; ++c) {
        set_channel_muted(c, (options.muted >> c & 1) != 0);
        set_channel_soloed(c, (options.soloed >> c & 1) != 0);
    }
    loop_fade_ms = options.fade_ms;
    if (options.repeat) song_end_idle = kRepeatTail;
    if (options.command == "render") song_end_idle = kRenderTail;
}

// What the output said of the playing, once it stopped: the exit code, or kExitNoOutput
// when the output failed (said).
int exit_code_after_playing(int exit_code) {
    if (sound_font_unreadable())
        std::fputs(
            "lumaroth-cli: the SoundFont can no longer be read: the notes it could not "
            "give were silent\n",
            stderr);
    std::string failure = synth_output_failure();
    if (failure.empty()) return exit_code;
    std::fprintf(stderr, "lumaroth: MIDI output: %s\n", terminal_text(failure).c_str());
    return kExitNoOutput;
}

}  // namespace

int list_devices() {
    UINT count = midiOutGetNumDevs();
    for (UINT device = 0; device < count; ++device)
        std::printf("%u\t%s\n", device, terminal_text(device_name(device)).c_str());
    return 0;
}

namespace {

// Plays on until the song, the render or the user ends it: the exit code.
int play_until_over(const SongImage& song, ChannelVoiceTable& voices, const CliOptions& options,
                    bool offline) {
    // The ticker also lets the loop see an output that stopped writing.
    bool terminal = console_is_terminal();
    std::optional<ConsoleKeys> keys;
    if (!offline) keys.emplace(console_message_target(), kKeyMessage);
    auto ticker = std::make_unique<Ticker>(
        options.end_ms != 0 || options.command == "render" ? kEndCheckPeriod : kProgressPeriod);
    std::int64_t total = song_length_ms();
    std::string programs = channel_programs(voices);
    int exit_code = 0;
    auto shown = std::chrono::steady_clock::now() - kShowPeriod;
    MSG msg;
    while (next_message(offline, msg)) {
        if (msg.message == kProgressMessage &&
            ((options.end_ms != 0 && playing_time_ms() >= options.end_ms) ||
             render_is_over(options)))
            break;
        if (msg.message == kProgressMessage && terminal &&
            std::chrono::steady_clock::now() - shown >= kShowPeriod) {
            show_progress(total, programs);
            shown = std::chrono::steady_clock::now();
        }
        if (msg.message == kProgressMessage && !synth_output_failure().empty()) break;
        if (msg.message == kKeyMessage && !take_key(msg.wParam)) {
            exit_code = kExitNoOutput;
            break;
        }
        if (msg.message == kInterruptMessage)
            exit_code = kExitBySignal + static_cast<int>(msg.wParam);
        if (msg.message == kEndOfSongMessage && msg.wParam == kOutputLost) {
            std::fprintf(stderr, "%slumaroth-cli: the MIDI output stopped taking messages\n",
                         terminal ? "\n" : "");
            exit_code = kExitNoOutput;
        }
        // --repeat: once the song is over it stops, and starts again once the stop's late
        // end messages have gone by.
        if (options.repeat && msg.message == kEndOfSongMessage && msg.wParam == 0) {
            if (playback_open()) PostMessageA(console_message_target(), kRestartMessage, 0, 0);
            stop_playback();
            continue;
        }
        if (msg.message == kRestartMessage) {
            merge_tracks(song, voices, options.override, options.speed_factor);
            if (start_playback(console_message_target())) continue;
            exit_code = kExitNoOutput;
            break;
        }
        if (msg.message == kEndOfSongMessage || msg.message == kInterruptMessage) break;
    }
    // The line ends where playing ended: a render too quick for the next line shows done.
    if (terminal) show_progress(total, programs);
    stop_playback();
    ticker.reset();
    if (terminal) std::printf("\n");
    return exit_code;
}

}  // namespace

int play_song(const SongImage& song, ChannelVoiceTable& voices, const CliOptions& options) {
    if (int refused = check_output_choice(options)) return refused;
    if (!options.sound_font.empty() && !use_sound_font(options.sound_font)) return kExitNoOutput;
    post_console_interrupts(console_message_target(), kInterruptMessage);
    apply_play_settings(options);
    merge_tracks(song, voices, options.override, options.speed_factor);
    if (!start_within_song(options) || !fits_a_wav_file(options)) return kExitUsage;
    bool offline = options.command == "render" && !options.realtime;
    if (offline) render_next_output_offline();
    if (!start_playback_at(console_message_target(), options.start_ms)) return kExitNoOutput;
    return exit_code_after_playing(play_until_over(song, voices, options, offline));
}
