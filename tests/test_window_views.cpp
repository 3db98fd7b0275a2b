// The channel and lyrics windows through the program's own message loop: 表示 and the
// keys, the rows as the song plays, mute and solo from both windows, the meters falling
// back, the words as they are sung, and the windows' places kept.
#include <QtCore/qnamespace.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/cp932.h"
#include "platform/testing/window_probe.h"
#include "playback/channel_mute.h"
#include "tests/window_fixture.h"
#include "ui/app.h"

namespace {

constexpr int kChannels = 40030, kLyrics = 40031, kPlay = 101, kSoloFirst = 40060;
constexpr UINT_PTR kViewTimer = 1;
constexpr int kMeterLeft = 628;
constexpr int kMuteFirst = 40040;

// The view's timer once, as the window system would fire it, and the paint that follows
// once the queue is empty.
void timer_fires(HWND main_window, HWND view) {
    PostMessageA(view, WM_TIMER, kViewTimer, 0);
    run_loop(main_window);
    UpdateWindow(view);
}

std::string drawn_in(HWND view, int x, int y) {
    for (auto text = draw_log.texts.rbegin(); text != draw_log.texts.rend(); ++text)
        if (text->window == view && text->x == x && text->y == y) return text->bytes;
    return "<none>";
}

// Where the last meter (a green line) of a row reaches.
int meter_reach(HWND view, int row) {
    int y = 28 + row * 22 + 2 + 8;
    for (auto line = draw_log.lines.rbegin(); line != draw_log.lines.rend(); ++line)
        if (line->window == view && line->from.y == y && line->color == RGB(0, 160, 0))
            return line->to.x;
    return -1;
}

}  // namespace

TEST_F(MainWindowTest, TheChannelWindowFollowsTheSongAndMutesAndSolosFromBothWindows) {
    HWND view = FindWindowA("LumarothChannels", nullptr);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(IsWindowVisible(view));
    press_key(window, 0, Qt::Key_F2, "", false);
    run_loop(window);
    ASSERT_TRUE(IsWindowVisible(view));

    open_file(std::string(write_temp_file("twelve.mid", twelve_instrument_song())));
    command(kPlay);
    driven_timer.tick_at(driven_timer.now + 20);
    timer_fires(window, view);
    EXPECT_EQ(drawn_in(view, 90, 52).rfind(" 11 オルゴール（Music", 0), 0u)
        << "channel 2's program 11 (General MIDI's music box), under its name";
    EXPECT_EQ(drawn_in(view, 586, 52), "  C") << "pan in the middle";
    EXPECT_EQ(drawn_in(view, 90, 30 + 12 * 22).rfind("  - 未使用", 0), 0u) << "channel 13";
    EXPECT_GT(meter_reach(view, 0), kMeterLeft) << "the note's meter";
    for (int i = 0; i < 30; ++i)
        timer_fires(window, view);
    EXPECT_EQ(meter_reach(view, 0), kMeterLeft) << "fallen back to nothing";

    press_key(window, 0, Qt::Key_1, "1", false);
    press_key(window, 0, Qt::Key_2, "\"", false, true);  // Shift: solo
    draw_log.clear();
    run_loop(window);
    EXPECT_TRUE(channel_muted(0));
    EXPECT_TRUE(channel_soloed(1));
    EXPECT_TRUE(button_pressed(view, kMuteFirst) && button_pressed(view, kSoloFirst + 1));
    EXPECT_FALSE(button_pressed(view, kMuteFirst + 1));
    UpdateWindow(window);
    std::vector<int> struck;  // the main window's listing marks the silent channels
    for (const DrawnLine& line : draw_log.lines)
        if (line.window == window && line.color == RGB(128, 128, 128))
            struck.push_back(line.from.y);
    EXPECT_EQ(struck, (std::vector<int>{188, 208, 208, 228, 228, 248, 248, 268, 268, 288, 288}))
        << "channel 1 muted, and all but channel 2 silenced by its solo: each entry struck";
    ASSERT_TRUE(click_button(view, kSoloFirst + 1));
    run_loop(window);
    EXPECT_FALSE(channel_soloed(1)) << "its row's button";
    EXPECT_FALSE(button_pressed(view, kSoloFirst + 1));
    open_file(std::string(write_temp_file("again.mid", twelve_instrument_song())));
    EXPECT_FALSE(channel_muted(0)) << "another song clears mute and solo";
}

TEST_F(MainWindowTest, TheLyricsWindowMarksTheSyllablesAsTheyComeAndKeepsItsPlace) {
    HWND view = FindWindowA("LumarothLyrics", nullptr);
    ASSERT_NE(view, nullptr);
    command(kLyrics);
    run_loop(window);
    timer_fires(window, view);
    EXPECT_EQ(drawn_in(view, 12, 48), "この曲には歌詞がありません。");

    // あい on one line, at 5 and 105 ms.
    Bytes words = ms_song(hex("00") + meta(0x05, "\x82\xA0") + hex("64") + meta(0x05, "\x82\xA2") +
                          hex("64 90 3C 40"));
    open_file(write_temp_file("words.mid", words));
    command(kPlay);
    driven_timer.tick_at(driven_timer.now + 50);
    timer_fires(window, view);
    EXPECT_EQ(drawn_in(view, 12, 48), "\x82\xA0") << "the syllable sung, marked";
    EXPECT_EQ(drawn_in(view, 28, 48), "\x82\xA2") << "the one to come";

    // UTF-8 words: き as Shift-JIS, the note sign (no Shift-JIS form) as the program's escape.
    open_file(
        write_temp_file("utf8.mid", ms_song(hex("00") + meta(0x05, "\xE3\x81\x8D") + hex("00") +
                                            meta(0x05, "\xF0\x9F\x8E\xB5") + hex("64 90 3C 40"))));
    command(kPlay);
    driven_timer.tick_at(driven_timer.now + 50);
    timer_fires(window, view);
    std::string expected = "\x82\xAB";
    append_name_escape(expected, 0x1F3B5);
    EXPECT_EQ(drawn_in(view, 12, 48), expected);

    MoveWindow(view, 40, 50, 500, 200, TRUE);
    command(kLyrics);  // hidden: its place is kept
    start_again();
    view = FindWindowA("LumarothLyrics", nullptr);
    RECT place = {};
    GetWindowRect(view, &place);
    EXPECT_EQ(place.left, 40);
    EXPECT_EQ(place.top, 50);
    EXPECT_EQ(place.right - place.left, 500);
    EXPECT_EQ(place.bottom - place.top, 200);
}

TEST_F(MainWindowTest, AHugeRememberedSideWindowIsKeptToTheScreensWorkArea) {
    start_again_with_settings(
        "[ChannelWindow]\nLeft=-32767\nTop=32767\nWidth=32767\nHeight=32767\n");
    RECT place;
    ASSERT_TRUE(GetWindowRect(FindWindowA("LumarothChannels", nullptr), &place));
    MONITORINFO screen = {};
    screen.cbSize = sizeof screen;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &screen));
    const RECT& area = screen.rcWork;
    EXPECT_LE(place.right - place.left, area.right - area.left);
    EXPECT_LE(place.bottom - place.top, area.bottom - area.top);
    EXPECT_GE(place.left, area.left);
    EXPECT_LE(place.bottom, area.bottom);
}
