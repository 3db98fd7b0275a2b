// Draws the window as the README shows it: the demo song loaded and playing (on the
// recording output and the driven timer), saved whole, menu and buttons included; and,
// given a second picture, the screen four seconds in with the channel and lyrics windows
// open beside it.
//   window_screenshot SONG OUT.png [SCREEN.png]
#include <cstdio>
#include <cstdlib>

#include "platform/testing/test_platform.h"
#include "platform/testing/window_probe.h"
#include "playback/scheduler.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/position_area.h"
#include "ui/resource_ids.h"
#include "ui/song_opening.h"

namespace {

void send_command(HWND window, int id) {
    MSG command{window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, 0, {0, 0}};
    DispatchMessageA(&command);
    pump_messages();
}

bool save_screen_with_views(HWND window, const char* png_path) {
    // The views change only at the update sent below, not with the real clock's timers.
    for (const char* view : {"LumarothChannels", "LumarothLyrics"})
        KillTimer(FindWindowA(view, nullptr), 1);
    KillTimer(window, kPositionTimer);
    MoveWindow(window, 0, 0, 820, 520, TRUE);
    for (DWORD ms = 6; ms <= 4000; ms += 6)
        driven_timer.tick_at(ms);
    send_command(window, kCommandChannels);
    send_command(window, kCommandLyrics);
    for (const char* view : {"LumarothChannels", "LumarothLyrics"}) {
        MSG update{FindWindowA(view, nullptr), WM_TIMER, 1, 0, 0, {0, 0}};
        DispatchMessageA(&update);
    }
    PostMessageA(window, WM_TIMER, kPositionTimer, 0);
    pump_messages();
    return save_screen_image(png_path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: window_screenshot SONG OUT.png [SCREEN.png]\n");
        return 64;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static char instance;
    HWND window = create_main_window(reinterpret_cast<HINSTANCE>(&instance), SW_SHOWNORMAL);
    open_song_path(window, argv[1]);
    send_command(window, kButtonPlay);
    bool saved = save_window_image(window, argv[2], true);
    if (argc == 4) saved = save_screen_with_views(window, argv[3]) && saved;
    stop_playback();
    return saved ? 0 : 1;
}
