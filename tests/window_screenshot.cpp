// Draws the window as the README shows it: the demo song loaded and playing (on the
// recording output), saved whole, menu and buttons included.
//   window_screenshot SONG OUT.png
#include <cstdio>
#include <cstdlib>

#include "platform/testing/window_probe.h"
#include "playback/scheduler.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/song_opening.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_screenshot SONG OUT.png\n");
        return 64;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static char instance;
    HWND window = create_main_window(reinterpret_cast<HINSTANCE>(&instance), SW_SHOWNORMAL);
    open_song_path(window, argv[1]);
    MSG play{window, WM_COMMAND, MAKEWPARAM(kButtonPlay, BN_CLICKED), 0, 0, {0, 0}};
    DispatchMessageA(&play);
    pump_messages();
    bool saved = save_window_image(window, argv[2], true);
    stop_playback();
    return saved ? 0 : 1;
}
