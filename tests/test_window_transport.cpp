// Pause and resume in the window, through the program's own message loop: Space, the
// 再生 menu and the buttons, with the driven timer and the recording output.
#include <QtCore/qnamespace.h>

#include <algorithm>
#include <set>
#include <vector>

#include "playback/scheduler.h"
#include "tests/window_fixture.h"
#include "ui/app.h"
#include "ui/window_state.h"

namespace {

constexpr int kPlay = 101, kStop = 102, kPause = 40005;
constexpr int kPlayMenu = 1;  // after ファイル

void press_space(HWND window) {
    press_key(window, 0, Qt::Key_Space, " ", false);
    run_loop(window);
}

}  // namespace

TEST_F(MainWindowTest, SpacePausesAndResumesAndThePlayMenuAndButtonsFollowTheState) {
    std::vector<MenuEntry> menu = menu_entries(window, kPlayMenu);
    ASSERT_EQ(menu.size(), 18u) << "three commands, the jumps, the songs and two sub-menus";
    EXPECT_EQ(menu[1].text, "一時停止(&A)\tSpace");
    open_file(demo_song_path());

    press_space(window);  // stopped: Space plays
    EXPECT_EQ(drawn_at(700, 430), "再生中");
    driven_timer.tick_at(driven_timer.now + 2000);
    std::vector<DWORD> played = recording_midi_out.short_messages();
    std::set<DWORD> channels;
    for (DWORD message : played)
        channels.insert(message & 0x0F);

    press_space(window);
    EXPECT_EQ(drawn_at(700, 430), "一時停止中");
    EXPECT_EQ(recording_midi_out.count(MidiCall::Close), 0) << "the channels keep their state";
    std::size_t silenced = recording_midi_out.short_messages().size();
    EXPECT_EQ(silenced, played.size() + 2 * channels.size())
        << "sound and notes off on every channel the song has played";
    driven_timer.tick_at(driven_timer.now + 30000);
    EXPECT_EQ(recording_midi_out.short_messages().size(), silenced) << "nothing while paused";

    press_space(window);
    EXPECT_EQ(drawn_at(700, 430), "再生中");
    driven_timer.tick_at(driven_timer.now + 2000);
    EXPECT_GT(recording_midi_out.short_messages().size(), silenced) << "the song goes on";

    command(kPause);  // the menu's 一時停止
    EXPECT_EQ(playback_state(), PlayState::kPaused);
    command(kPlay);  // 再生 resumes a paused song, it does not start again
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 1);
    command(kPause);
    command(kStop);
    EXPECT_EQ(drawn_at(700, 430), "停止中");
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
}

namespace {

// Notes 60, 61, ... a second apart from 5 ms on, program 5 from the start, 7 from 6 s.
Bytes second_notes_song() {
    Bytes events = hex("00 C0 05");
    for (int i = 0; i < 10; ++i) {
        Bytes before = i == 0 ? hex("00") : i == 6 ? hex("87 04 C0 07 00") : hex("87 04");
        events += before + hex("90") + Bytes{static_cast<unsigned char>(60 + i), 0x40} +
                  hex("64 80") + Bytes{static_cast<unsigned char>(60 + i), 0x00};
    }
    return ms_song(events);
}

}  // namespace

TEST_F(MainWindowTest, AJumpWhileStoppedPlacesTheStartAndPlayChasesFromThere) {
    std::vector<MenuEntry> menu = menu_entries(window, kPlayMenu);
    EXPECT_FALSE(menu[4].enabled) << "先頭へ needs a song";
    open_file(write_temp_file("seconds.mid", second_notes_song()));
    menu = menu_entries(window, kPlayMenu);
    EXPECT_TRUE(menu[4].enabled);
    EXPECT_FALSE(menu[1].enabled) << "一時停止 while stopped";

    press_key(window, 0, Qt::Key_Right, "", false);
    run_loop(window);
    EXPECT_EQ(playback_state(), PlayState::kStopped);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 0);
    command(kPlay);
    EXPECT_TRUE(menu_entries(window, kPlayMenu)[1].enabled);
    std::vector<DWORD> chased = recording_midi_out.short_messages();
    EXPECT_NE(std::find(chased.begin(), chased.end(), 0x05C0u), chased.end()) << "program 5";
    EXPECT_EQ(std::find(chased.begin(), chased.end(), 0x07C0u), chased.end());
    driven_timer.tick_at(driven_timer.now + 1500);
    std::vector<DWORD> played = recording_midi_out.short_messages();
    std::vector<DWORD> notes;
    for (DWORD m : played)
        if ((m & 0xF0) == 0x90 && (m >> 16) != 0) notes.push_back(m >> 8 & 0x7F);
    EXPECT_EQ(notes, (std::vector<DWORD>{65, 66})) << "from the note at 5 s on";

    command(kStop);
    press_key(window, 0, Qt::Key_Right, "", false);
    run_loop(window);
    command(kStop);
    command(kPlay);
    driven_timer.tick_at(driven_timer.now + 500);
    notes.clear();
    for (DWORD m : recording_midi_out.short_messages())
        if ((m & 0xF0) == 0x90 && (m >> 16) != 0) notes.push_back(m >> 8 & 0x7F);
    EXPECT_EQ(notes.back(), 60u) << "停止 put the start back";
}
