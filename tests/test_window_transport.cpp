// Pause and resume in the window, through the program's own message loop: Space, the
// 再生 menu and the buttons, with the driven timer and the recording output.
#include <QtCore/qnamespace.h>

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
    EXPECT_EQ(menu[1].text, "一時停止(&A)");
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
    EXPECT_EQ(play_state, 2);
    command(kPlay);  // 再生 resumes a paused song, it does not start again
    EXPECT_EQ(play_state, 1);
    EXPECT_EQ(recording_midi_out.count(MidiCall::Open), 1);
    command(kPause);
    command(kStop);
    EXPECT_EQ(drawn_at(700, 430), "停止中");
    EXPECT_EQ(recording_midi_out.open_outputs, 0);
}
