#include "ui/transport.h"

#include <cstring>

#include "platform/sound_font.h"
#include "playback/channel_record.h"
#include "playback/position.h"
#include "playback/scheduler.h"
#include "playback/song_start.h"
#include "playback/track_merger.h"
#include "ui/main_window.h"
#include "ui/output_menu.h"
#include "ui/position_area.h"
#include "ui/resource_ids.h"
#include "ui/window_state.h"

namespace {

constexpr char kPlayFailure[] = "再生を始められません。\n%s";
constexpr char kNoTimer[] = "タイマーを使えません。";
constexpr char kSoundFontUnreadable[] =
    "音色ファイル(SoundFont)を読めなくなりました。読めない音は鳴りませんでした。";
constexpr std::uint32_t kStep = 5000;  // ms, the jump of Left and Right

// The settings the Timeline that plays was built with.
double built_speed = 0.0;
VoiceOverride built_override = {};
// Where 再生 starts a stopped song, on the built Timeline's clock: the start, or where a
// jump while stopped placed it.
std::uint32_t start_point = 0;

bool stopped() {
    return playback_state() == PlayState::kStopped;
}

// Why Play could not start, in the output's own words where it has them.
void say_why_play_failed(HWND window) {
    char reason[MAXERRORLENGTH] = "";
    if (playback_session.open_result == MMSYSERR_NOERROR) {
        std::memcpy(reason, kNoTimer, sizeof kNoTimer);
    } else {
        midiOutGetErrorTextA(playback_session.open_result, reason, sizeof reason);
    }
    char text[1024];  // the most wsprintfA writes
    wsprintfA(text, kPlayFailure, reason);
    MessageBoxA(window, text, kProgramTitle, MB_ICONWARNING);
}

// What the commands can do now: a jump needs a song, a pause something playing.
void enable_commands(HWND window) {
    HMENU menu = GetMenu(window);
    UINT jumps = is_smf_header(view_of(song_image)) ? MF_ENABLED : MF_GRAYED;
    for (int id : {kCommandToStart, kCommandBack, kCommandForward, kCommandGoTo})
        EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | jumps);
    EnableMenuItem(menu, kCommandPause, MF_BYCOMMAND | (stopped() ? MF_GRAYED : MF_ENABLED));
}

void show_play_state(HWND window) {
    enable_commands(window);
    refresh_window(window);
    update_position_area(window);
}

void build_timeline_now() {
    merge_tracks(song_image, channel_voices, voice_override, speed_factor);
    built_speed = speed_factor;
    built_override = voice_override;
}

// The speed or the instrument switch changed since the Timeline was built.
bool settings_changed() {
    return built_speed != speed_factor || built_override.enabled != voice_override.enabled ||
           (voice_override.enabled != 0 && (built_override.channel != voice_override.channel ||
                                            built_override.program != voice_override.program));
}

// While paused: the Timeline built again with the settings, and song_ms (on the old
// Timeline's clock) the same place in the song on the new one.
std::uint32_t rebuild_at(HWND window, std::uint32_t song_ms) {
    SongPlace place = song_place_at(song_ms, built_speed);
    build_timeline_now();
    refresh_window(window);
    return song_time_of(place, speed_factor);
}

void resume_or_say_why(HWND window) {
    if (resume_playback() != 0) return;
    show_play_state(window);
    say_why_play_failed(window);
}

// From the start point, the same place of the song with the settings as they are now.
void play_from_start_point(HWND window) {
    if (!is_smf_header(view_of(song_image))) return;
    stop_playback();
    say_if_remembered_output_is_gone(window);
    ChannelVoiceTable shown = channel_voices;
    SongPlace place = song_place_at(start_point, built_speed);
    build_timeline_now();
    std::uint32_t at = start_point == 0 ? 0 : song_time_of(place, speed_factor);
    start_point = at;
    refresh_window(window);
    if (start_playback_at(window, at) != 0) {
        show_play_state(window);
        return;
    }
    // Nothing plays: the window goes back to what it showed before Play, and says why.
    channel_voices = shown;
    refresh_window(window);
    say_why_play_failed(window);
}

}  // namespace

void transport_play(HWND window) {
    if (playback_state() == PlayState::kPaused) {
        transport_pause_or_resume(window);
    } else {
        play_from_start_point(window);
    }
}

void transport_pause_or_resume(HWND window) {
    if (playback_state() == PlayState::kPlaying) {
        pause_playback();
    } else if (playback_state() == PlayState::kPaused) {
        if (settings_changed()) jump_playback(rebuild_at(window, playback_position_ms()));
        resume_or_say_why(window);
        if (stopped()) return;
    } else {
        play_from_start_point(window);
        return;
    }
    show_play_state(window);
}

void transport_stop(HWND window) {
    stop_playback();
    start_point = 0;
    show_play_state(window);
    if (sound_font_unreadable())
        MessageBoxA(window, kSoundFontUnreadable, kProgramTitle, MB_ICONWARNING);
}

void transport_seek(HWND window, std::uint32_t song_ms) {
    if (!is_smf_header(view_of(song_image))) return;
    song_ms = within_song(song_ms, song_length_ms());
    if (stopped()) {
        start_point = song_ms;
        refresh_position_area();
        return;
    }
    // The Timeline is built again only while no tick runs.
    bool playing = playback_state() == PlayState::kPlaying;
    if (playing && settings_changed()) pause_playback();
    if (settings_changed()) song_ms = rebuild_at(window, song_ms);
    int jumped = jump_playback(song_ms);
    if (jumped != 0 && playing && playback_state() == PlayState::kPaused) {
        resume_or_say_why(window);
    } else if (jumped == 0) {
        show_play_state(window);
        say_why_play_failed(window);
    }
    if (!stopped()) refresh_position_area();
}

void transport_step(HWND window, int command) {
    std::uint32_t at = transport_position_ms();
    if (command == kCommandToStart) at = 0;
    if (command == kCommandBack) at = at > kStep ? at - kStep : 0;
    if (command == kCommandForward) at += kStep;
    transport_seek(window, at);
}

std::uint32_t transport_position_ms() {
    return stopped() ? start_point : playback_position_ms();
}

void transport_new_song(HWND window) {
    start_point = 0;
    if (is_smf_header(view_of(song_image))) {
        build_timeline_now();
        record_song_start(song_timeline);
    } else {
        reset_channel_records();
    }
    show_play_state(window);
}
