#include "tools/cli_play.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/win32.h"
#include "playback/scheduler.h"
#include "playback/track_merger.h"

namespace {

// The terminal has no window: the messages go to this handle through the same queue.
HWND const kTerminal = reinterpret_cast<HWND>(1);
constexpr UINT kInterruptMessage = WM_USER + 3;
constexpr UINT kProgressMessage = WM_USER + 4;
constexpr int kBarWidth = 24;
constexpr auto kProgressPeriod = std::chrono::milliseconds(250);

// Ctrl-C reaches us as a message: the stop then runs on the main thread, like the
// window's stop button.
void forward_interrupts() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int signal = 0;
        while (sigwait(&signals, &signal) == 0)
            PostMessageA(kTerminal, kInterruptMessage, 0, 0);
    }).detach();
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
    std::int64_t elapsed = static_cast<std::uint32_t>(timeGetTime() - playback_clock.start_time);
    if (elapsed > total) elapsed = total;
    int filled = total > 0 ? static_cast<int>(elapsed * kBarWidth / total) : kBarWidth;
    std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
    std::printf("\r%s / %s [%s]%s\033[K", minutes_seconds(elapsed).c_str(),
                minutes_seconds(total).c_str(), bar.c_str(), programs.c_str());
    std::fflush(stdout);
}

}  // namespace

int play_song(const SongImage& song, ChannelVoiceTable& voices, const CliOptions& options) {
    if (!options.output.empty()) setenv("LUMAROTH_MIDI_OUT", ("wav:" + options.output).c_str(), 1);
    forward_interrupts();
    merge_tracks(song, voices, options.override, options.speed_factor);
    if (!start_playback(kTerminal)) return kExitNoOutput;

    bool terminal = isatty(STDOUT_FILENO) == 1;
    std::atomic<bool> playing{true};
    std::thread ticker;
    if (terminal) {
        ticker = std::thread([&playing] {
            while (playing) {
                PostMessageA(kTerminal, kProgressMessage, 0, 0);
                std::this_thread::sleep_for(kProgressPeriod);
            }
        });
    }
    std::int64_t total = song_timeline.event_times[kTimelineEvents - 1];
    std::string programs = channel_programs(voices);
    int exit_code = 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message == kProgressMessage) show_progress(total, programs);
        if (msg.message == kEndOfSongMessage || msg.message == kInterruptMessage) {
            exit_code = msg.message == kInterruptMessage ? kExitInterrupted : 0;
            break;
        }
    }
    stop_playback();
    playing = false;
    if (ticker.joinable()) ticker.join();
    if (terminal) std::printf("\n");
    return exit_code;
}
