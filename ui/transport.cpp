#include "ui/transport.h"

#include <cstring>

#include "playback/scheduler.h"
#include "playback/track_merger.h"
#include "ui/main_window.h"
#include "ui/window_state.h"

namespace {

constexpr char kPlayFailure[] = "再生を始められません。\n%s";
constexpr char kNoTimer[] = "タイマーを使えません。";

// Why Play could not start, in the output's own words where it has them.
void say_why_play_failed(HWND window) {
    char reason[MAXERRORLENGTH] = "";
    if (playback_clock.open_result == MMSYSERR_NOERROR) {
        std::memcpy(reason, kNoTimer, sizeof kNoTimer);
    } else {
        midiOutGetErrorTextA(playback_clock.open_result, reason, sizeof reason);
    }
    char text[1024];  // the most wsprintfA writes
    wsprintfA(text, kPlayFailure, reason);
    MessageBoxA(window, text, kProgramTitle, MB_ICONWARNING);
}

void play_from_the_start(HWND window) {
    if (!is_smf_header(view_of(song_image))) return;
    stop_playback();
    ChannelVoiceTable shown = channel_voices;
    merge_tracks(song_image, channel_voices, voice_override, speed_factor);
    play_state = 1;
    refresh_window(window);
    play_state = start_playback(window);
    if (play_state != 0) return;
    // Nothing plays: the window goes back to what it showed before Play, and says why.
    channel_voices = shown;
    refresh_window(window);
    say_why_play_failed(window);
}

}  // namespace

void transport_play(HWND window) {
    if (play_state == 2) {
        transport_pause_or_resume(window);
    } else {
        play_from_the_start(window);
    }
}

void transport_pause_or_resume(HWND window) {
    if (play_state == 1) {
        pause_playback();
        play_state = 2;
    } else if (play_state == 2) {
        play_state = resume_playback();
        if (play_state == 0) {
            refresh_window(window);
            say_why_play_failed(window);
            return;
        }
    } else {
        play_from_the_start(window);
        return;
    }
    refresh_window(window);
}

void transport_stop(HWND window) {
    stop_playback();
    play_state = 0;
    refresh_window(window);
}
