// The window's own path to the first note: the program's window (Qt, offscreen), the
// embedded FluidSynth rendering into a WAV file and the real timer, with the synthesizer
// loading on its thread as the window starts, as the program does. Prints how long the
// window's thread is held at start, at Open and at each Play and Stop, and Play -> first
// note (less the song's own time before that note) for the first Play and the ones
// after. Judges nothing.
//   build/bench/bench_window_play [SONG]   (default: the demo song)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/linux/synth.h"
#include "platform/linux/window/window_system.h"
#include "playback/timeline.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void command(HWND window, int id) {
    MSG msg{window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, 0, {0, 0}};
    DispatchMessageA(&msg);
}

int first_note() {
    for (int i = 0; i < kTimelineEvents; ++i) {
        const EventSlot& slot = song_timeline.event_slots[i];
        if ((slot.status & 0xF0) == 0x90 && slot.data2 != 0) return i;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LUMAROTH_MIDI_OUT", "wav:/tmp/lumaroth-bench-window.wav", 1);
    std::string song = argc > 1 ? argv[1] : LUMAROTH_SOURCE_DIR "/samples/lumaroth-demo.mid";

    Clock::time_point start = Clock::now();
    ensure_application();
    start_loading_synth(keep_painting);
    static char instance;
    HWND window = create_main_window(reinterpret_cast<HINSTANCE>(&instance), SW_SHOWNORMAL);
    std::printf("window thread held at start (application, window, first paint): %.1f ms\n",
                ms_since(start));
    Clock::time_point open = Clock::now();
    open_song_path(window, song.c_str());
    std::printf("window thread held at Open: %.1f ms\n", ms_since(open));
    finish_loading_synth();
    std::printf("synthesizer and SoundFont ready, on their thread: %.1f ms after start\n",
                ms_since(start));

    for (int play = 1; play <= 3; ++play) {
        Clock::time_point pressed = Clock::now();
        command(window, kButtonPlay);
        double held = ms_since(pressed);
        int first = first_note();
        while (first >= 0 && song_timeline.event_slots[first].sent == 0)
            std::this_thread::yield();
        double song_time = first >= 0 ? song_timeline.event_times[first] : 0.0;
        std::printf("Play %d: window thread held %.1f ms, Play -> first note %.1f ms\n", play, held,
                    ms_since(pressed) - song_time);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        Clock::time_point stopped = Clock::now();
        command(window, kButtonStop);
        std::printf("Stop %d: window thread held %.1f ms\n", play, ms_since(stopped));
    }
    DestroyWindow(window);
    finish_loading_synth();
    return 0;
}
