// The position area and the jumps, through the program's own message loop: the time and
// the bar, Left, Right and Home, dragging the bar, 移動… and a jump after a speed change.
#include <QtCore/qnamespace.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "playback/scheduler.h"
#include "tests/window_fixture.h"
#include "ui/app.h"
#include "ui/window_state.h"

namespace {

constexpr int kPositionText = 201, kPositionBar = 202, kSlower = 108;
constexpr UINT_PTR kPositionTimer = 1;

void press(HWND window, int qt_key, bool control = false) {
    press_key(window, 0, qt_key, "", control);
    run_loop(window);
}

// The position area as the window timer leaves it.
std::string shown_time(HWND window) {
    PostMessageA(window, WM_TIMER, kPositionTimer, 0);
    run_loop(window);
    return control_text(window, kPositionText);
}

// A note a half second from 5 ms on: key 60 + k at 5 + 500k ms (120 beats a minute).
std::string twenty_notes_song() {
    Bytes events;
    for (int k = 0; k < 20; ++k) {
        auto key = static_cast<unsigned char>(60 + k);
        events += Bytes{0x00, 0x90, key, 0x40, 0x60, 0x80, key, 0x00};
    }
    return write_temp_file("twenty.mid", song_of(0, 96, {events}));
}

std::string m_ss(double ms) {
    int seconds = static_cast<int>(ms / 1000);
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

// The channels of the messages, or of only those that reset every controller.
std::set<DWORD> channels_of(const std::vector<DWORD>& sent, bool only_resets) {
    std::set<DWORD> channels;
    for (DWORD m : sent)
        if (!only_resets || ((m & 0xF0) == 0xB0 && (m >> 8 & 0xFF) == 121))
            channels.insert(m & 0x0F);
    return channels;
}

std::vector<DWORD> notes_on(const std::vector<DWORD>& sent) {
    std::vector<DWORD> notes;
    for (DWORD m : sent)
        if ((m & 0xF0) == 0x90) notes.push_back(m >> 8 & 0x7F);
    return notes;
}

}  // namespace

TEST_F(MainWindowTest, ThePositionShowsWithASongAndTheKeysJumpIntoTheSong) {
    EXPECT_FALSE(control_visible(window, kPositionText)) << "no song yet";
    open_file(demo_song_path());
    EXPECT_EQ(shown_time(window), "0:00 / 0:28");
    press(window, Qt::Key_Space);
    EXPECT_TRUE(control_visible(window, kPositionText));
    EXPECT_TRUE(control_visible(window, kPositionBar));
    driven_timer.tick_at(driven_timer.now + 2000);
    EXPECT_EQ(shown_time(window), "0:02 / 0:28");

    std::set<DWORD> played = channels_of(recording_midi_out.short_messages(), false);
    recording_midi_out.records.clear();
    press(window, Qt::Key_Right);
    EXPECT_EQ(shown_time(window), "0:07 / 0:28");
    std::vector<DWORD> sent = recording_midi_out.short_messages();
    EXPECT_EQ(channels_of(sent, true), played) << "every channel the song has played is reset";
    EXPECT_NE(std::find(sent.begin(), sent.end(), 0x49C0u), sent.end()) << "flute on channel 1";
    EXPECT_EQ(playback_state(), PlayState::kPlaying) << "it plays on";

    press(window, Qt::Key_Space);
    press(window, Qt::Key_Left);
    press(window, Qt::Key_Left);
    EXPECT_EQ(shown_time(window), "0:00 / 0:28");
    EXPECT_EQ(playback_state(), PlayState::kPaused) << "a jump while paused stays paused";
    drag_trackbar(window, kPositionBar, 20000);
    run_loop(window);
    EXPECT_EQ(shown_time(window), "0:20 / 0:28");
    press(window, Qt::Key_Home);
    EXPECT_EQ(shown_time(window), "0:00 / 0:28");

    command(102);  // 停止
    EXPECT_EQ(shown_time(window), "0:00 / 0:28");
}

TEST_F(MainWindowTest, GoToAsksForATimeAndSaysWhenItIsNoTime) {
    open_file(demo_song_path());
    press(window, Qt::Key_Space);
    driven_timer.tick_at(driven_timer.now + 3500);
    scripted_dialogs.dialog_answers = {"1 minute", "0:15"};
    press(window, Qt::Key_G, true);
    ASSERT_EQ(scripted_dialogs.dialog_boxes.size(), 1u);
    EXPECT_EQ(scripted_dialogs.dialog_boxes[0].initial_text, "0:03") << "where the song is";
    ASSERT_EQ(scripted_dialogs.message_boxes.size(), 1u) << "one box for the text that is no time";
    EXPECT_EQ(shown_time(window), "0:15 / 0:28");
}

TEST_F(MainWindowTest, AResumeAfterASpeedChangeGoesOnAtTheSameNote) {
    open_file(twenty_notes_song());
    press(window, Qt::Key_Space);
    driven_timer.tick_at(driven_timer.now + 5200);  // note 10 sounds, note 11 comes at 5505
    press(window, Qt::Key_Space);
    for (int i = 0; i < 10; ++i)
        command(kSlower);
    double factor = speed_factor;
    ASSERT_GT(factor, 1.2);
    recording_midi_out.records.clear();
    DWORD resumed = driven_timer.now;
    press(window, Qt::Key_Space);
    EXPECT_EQ(playback_state(), PlayState::kPlaying);
    driven_timer.tick_at(resumed + static_cast<DWORD>(305 * factor) - 20);
    EXPECT_EQ(notes_on(recording_midi_out.short_messages()), std::vector<DWORD>{})
        << "nothing restarted, nothing early";
    driven_timer.tick_at(resumed + static_cast<DWORD>(305 * factor) + 20);
    EXPECT_EQ(notes_on(recording_midi_out.short_messages()), std::vector<DWORD>{71});
    // The clock shows the song's place at the new speed: 5 ms, then 500 ms a note.
    EXPECT_EQ(shown_time(window), m_ss(25 + 5500 * factor) + " / " + m_ss(5 + 10000 * factor));
}
