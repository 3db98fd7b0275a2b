#include "ui/play_modes.h"

#include <cstring>

#include "playback/loop_points.h"
#include "playback/scheduler.h"
#include "ui/resource_ids.h"
#include "ui/settings.h"
#include "ui/song_folder.h"
#include "ui/transport.h"
#include "ui/window_state.h"

int repeat_mode = kRepeatNone;

namespace {

constexpr char kSection[] = "Play";
const char* const kRepeatNames[] = {"none", "song", "folder"};
// ループ回数 as the settings file spells it, by passes (0: for ever).
const char* const kLoopNames[] = {"forever", "1", "2", "3"};
constexpr int kLoopChoices = 4;

HMENU menu_bar;

void show_play_modes() {
    for (int mode = kRepeatNone; mode <= kRepeatFolder; ++mode)
        CheckMenuItem(menu_bar, static_cast<UINT>(kCommandRepeat + mode),
                      MF_BYCOMMAND | (mode == repeat_mode ? MF_CHECKED : MF_UNCHECKED));
    for (int passes = 0; passes < kLoopChoices; ++passes)
        CheckMenuItem(menu_bar, static_cast<UINT>(kCommandLoops + passes),
                      MF_BYCOMMAND | (passes == loop_count ? MF_CHECKED : MF_UNCHECKED));
    // With another start to follow, the song is over once its last notes have died away.
    song_end_idle = repeat_mode == kRepeatNone ? kEndOfSongIdle : kRepeatTail;
}

// The index of the remembered name among names, or fallback.
int remembered(const char* key, const char* const* names, int count, int fallback) {
    char value[16];
    read_setting(kSection, key, "", value, sizeof value);
    for (int i = 0; i < count; ++i)
        if (std::strcmp(value, names[i]) == 0) return i;
    return fallback;
}

}  // namespace

void create_play_modes(HWND window) {
    menu_bar = GetMenu(window);
    repeat_mode = remembered("Repeat", kRepeatNames, 3, kRepeatNone);
    loop_count = remembered("Loops", kLoopNames, kLoopChoices, kDefaultLoopCount);
    show_play_modes();
}

bool is_play_mode_command(int id) {
    return (id >= kCommandRepeat && id <= kCommandRepeat + kRepeatFolder) ||
           (id >= kCommandLoops && id < kCommandLoops + kLoopChoices);
}

void choose_play_mode(HWND window, int id) {
    if (id >= kCommandRepeat && id <= kCommandRepeat + kRepeatFolder) {
        repeat_mode = id - kCommandRepeat;
        save_setting(window, kSection, "Repeat", kRepeatNames[repeat_mode]);
    } else {
        loop_count = id - kCommandLoops;  // from the next start
        save_setting(window, kSection, "Loops", kLoopNames[loop_count]);
    }
    show_play_modes();
}

void on_song_over(HWND window, WPARAM why) {
    bool again =
        why != kOutputLost && playback_state() == PlayState::kPlaying && repeat_mode != kRepeatNone;
    transport_stop(window);
    // The tick may have posted more end messages before the stop: they come before this.
    if (again) PostMessageA(window, kNextStartMessage, 0, 0);
}

void start_next_song(HWND window) {
    if (playback_state() != PlayState::kStopped)
        return;  // the user has started something meanwhile
    if (repeat_mode == kRepeatFolder) {
        step_song_folder(window, 1, true);
    } else if (repeat_mode == kRepeatSong) {
        transport_play(window);
    }
}
