// The window's own path to the first note: the program's window (Qt, offscreen), the
// embedded FluidSynth rendering into a WAV file and the real timer, with the synthesizer
// loading on its thread as the window starts, as the program does. Prints how long the
// window's thread is held at start, at Open and at each Play and Stop, and Play -> first
// note (less the song's own time before that note) for the first Play and the ones
// after, and from a jump and a resume that land on a note to that note, each until the
// synthesizer sounds it; and with 繰り返し 1曲 the gap from the song's last message to its
// first note again. Judges nothing.
//   build/bench/bench_window_play [SONG]   (default: the demo song)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/linux/window/window_system.h"
#include "platform/sound_font.h"
#include "platform/synth/synth_loading.h"
#include "playback/position.h"
#include "playback/timeline.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/song_opening.h"
#include "ui/transport.h"
#include "ui/window_state.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void command(HWND window, int id) {
    MSG msg{window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, 0, {0, 0}};
    DispatchMessageA(&msg);
}

// The first note-on at or after song_ms.
int first_note(std::uint32_t song_ms = 0) {
    for (int i = first_event_at(song_ms); i < kTimelineEvents; ++i) {
        const EventSlot& slot = song_timeline.event_slots[i];
        if ((slot.status & 0xF0) == 0x90 && slot.data2 != 0) return i;
    }
    return -1;
}

// Waits until the synthesizer sounds a note after a silence (a jump's, a pause's).
void wait_for_sound_after_silence() {
    for (Clock::time_point start = Clock::now();
         synth_active_voice_count() > 0 && ms_since(start) < 200;)
        std::this_thread::yield();
    while (synth_active_voice_count() == 0)
        std::this_thread::yield();
}

// How long a jump (while playing) and a resume take to their first note when it is due at
// once: both land on a note of the song, about seconds into it.
void jump_and_resume_to_a_note(HWND window, std::uint32_t seconds) {
    int note = first_note(seconds * 1000);
    if (note < 0) return;
    auto at = static_cast<std::uint32_t>(song_timeline.event_times[note]);
    Clock::time_point pressed = Clock::now();
    transport_seek(window, at);
    double held = ms_since(pressed);
    wait_for_sound_after_silence();
    std::printf("Jump: window thread held %.1f ms, jump -> first note %.1f ms\n", held,
                ms_since(pressed));
    command(window, kCommandPause);
    note = first_note(at + 2000);
    if (note < 0) return;
    transport_seek(window, static_cast<std::uint32_t>(song_timeline.event_times[note]));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    pressed = Clock::now();
    command(window, kCommandPause);
    held = ms_since(pressed);
    wait_for_sound_after_silence();
    std::printf("Resume: window thread held %.1f ms, resume -> first note %.1f ms\n", held,
                ms_since(pressed));
}

// With repeat: from the song's last message (1 s after a jump near its end) to its first
// note again, through the window's own message loop.
void gap_between_repeats(HWND window) {
    int first = first_note();
    int last = timeline_count() - 1;
    while (last > 0 && song_timeline.event_slots[last].status == 0)
        --last;
    if (first < 0 || last <= first) return;
    command(window, kCommandRepeat + 1);  // 1曲
    command(window, kButtonPlay);
    std::uint32_t length = song_length_ms();
    transport_seek(window, length > 1000 ? length - 1000 : 0);
    while (song_timeline.event_slots[last].sent == 0)
        std::this_thread::yield();
    Clock::time_point ended = Clock::now();
    while (ms_since(ended) < 10000 && (song_timeline.event_slots[last].sent != 0 ||
                                       song_timeline.event_slots[first].sent == 0)) {
        PostQuitMessage(0);
        run_message_loop(window, nullptr);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::printf("Repeat: the song's last message -> its first note again %.1f ms\n",
                ms_since(ended) - song_timeline.event_times[first]);
    command(window, kCommandRepeat);
    command(window, kButtonStop);
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
        if (first >= 0) wait_for_sound_after_silence();
        double song_time = first >= 0 ? song_timeline.event_times[first] : 0.0;
        std::printf("Play %d: window thread held %.1f ms, Play -> first note %.1f ms\n", play, held,
                    ms_since(pressed) - song_time);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (play == 3) {
            // Far enough in for a resume 2 s further on to land on a note.
            jump_and_resume_to_a_note(window, song_length_ms() / 1000 > 30 ? 10 : 3);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        Clock::time_point stopped = Clock::now();
        command(window, kButtonStop);
        std::printf("Stop %d: window thread held %.1f ms\n", play, ms_since(stopped));
    }
    gap_between_repeats(window);
    DestroyWindow(window);
    finish_loading_synth();
    return 0;
}
