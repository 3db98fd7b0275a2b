#include "tests/window_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "playback/scheduler.h"
#include "ui/app.h"
#include "ui/main_window.h"
#include "ui/window_state.h"

void MainWindowTest::SetUp() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The settings file of this test run, empty at each start.
    setenv("XDG_CONFIG_HOME", (temp_dir() + "/config").c_str(), 1);
    unlink((temp_dir() + "/config/lumaroth/lumaroth.ini").c_str());
    recording_midi_out.reset();
    scripted_sound_font.reset();
    driven_timer.reset();
    scripted_dialogs.reset();
    draw_log.clear();
    draw_log.recording = true;
    reset_playback_session();
    reset_window_state();
    static char instance;
    window = create_main_window(reinterpret_cast<HINSTANCE>(&instance), SW_SHOWNORMAL);
    ASSERT_NE(window, nullptr);
}

void MainWindowTest::TearDown() {
    stop_playback();
    // Closing ends the program as on Windows: WM_DESTROY posts the quit message.
    bool destroyed = DestroyWindow(window) != FALSE;
    pump_messages();
    MSG msg;
    while (destroyed && GetMessageA(&msg, nullptr, 0, 0)) {
    }
}

void MainWindowTest::start_again() {
    DestroyWindow(window);
    pump_messages();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
    }
    reset_window_state();
    reset_playback_session();
    static char instance;
    window = create_main_window(reinterpret_cast<HINSTANCE>(&instance), SW_SHOWNORMAL);
}

void MainWindowTest::start_again_with_settings(const std::string& lines) {
    std::string folder = temp_dir() + "/config/lumaroth";
    std::system(("mkdir -p " + folder).c_str());
    std::FILE* settings = std::fopen((folder + "/lumaroth.ini").c_str(), "w");
    ASSERT_NE(settings, nullptr);
    std::fputs(lines.c_str(), settings);
    std::fclose(settings);
    start_again();
}

void MainWindowTest::command(int id) {
    MSG msg{window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, 0, {0, 0}};
    DispatchMessageA(&msg);
}

std::string MainWindowTest::drawn_at(int x, int y) const {
    for (auto text = draw_log.texts.rbegin(); text != draw_log.texts.rend(); ++text)
        if (text->window == window && text->x == x && text->y == y) return text->bytes;
    return "<none>";
}

void MainWindowTest::open_file(const std::string& path) {
    scripted_dialogs.open_answers.push_back(path);
    command(40001);
}

void run_loop(HWND window) {
    PostQuitMessage(0);
    run_message_loop(window, nullptr);
}

Bytes twelve_instrument_song() {
    Bytes events;
    for (int channel = 0; channel < 12; ++channel)
        events += Bytes{0x00, static_cast<unsigned char>(0xC0 + channel),
                        static_cast<unsigned char>(channel * 10)};
    events += hex("00 90 3C 40  83 60 80 3C 00");
    return song_of(0, 480,
                   {hex("00") + meta(0x03, "Twelve") + hex("00") + set_tempo(500000) + events});
}

std::string demo_song_path() {
    return std::string(LUMAROTH_SOURCE_DIR) + "/samples/lumaroth-demo.mid";
}
