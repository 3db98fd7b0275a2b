// Where the windows go and what their size allows: the side windows beside the main one on
// small and large screens and out of sight while it is minimised, the main window's
// smallest size and its seek bar, which stretches and jumps to the point clicked.
#include <QtCore/qnamespace.h>

#include <algorithm>

#include "playback/position.h"
#include "tests/window_fixture.h"
#include "ui/side_window.h"
#include "ui/transport.h"
#include "ui/window_state.h"

namespace {

constexpr int kChannels = 40030, kLyrics = 40031, kPositionBar = 202;

bool same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(SidePlace, BesideOrBelowTheMainWindowAtTheScreensRightEdgeCoveringItLeastWhereNeeded) {
    // 1280x900 with a 30 px panel, the main window (820x520) against the right edge.
    RECT large = {0, 0, 1280, 870}, main_large = {460, 100, 1280, 620};
    EXPECT_TRUE(same(first_side_place(large, main_large, 660, 160, true), {460, 620, 1120, 780}))
        << "the words fit below";
    EXPECT_TRUE(same(first_side_place(large, main_large, 700, 425, false), {0, 100, 700, 525}))
        << "no room right; on the left it covers least";
    // 1024x768, the main window at the top right.
    RECT small = {0, 0, 1024, 768}, main_small = {204, 0, 1024, 520};
    EXPECT_TRUE(same(first_side_place(small, main_small, 660, 160, true), {204, 520, 864, 680}));
    EXPECT_TRUE(same(first_side_place(small, main_small, 700, 425, false), {204, 343, 904, 768}))
        << "the channels at the bottom edge cover least";
    EXPECT_TRUE(
        same(first_side_place(small, {0, 0, 300, 200}, 700, 425, false), {300, 0, 1000, 425}))
        << "right of a small main window, where there is room";
}

TEST_F(MainWindowTest, TheSideWindowsGoWithTheMainWindowWhenItIsMinimisedAndComeBack) {
    HWND channels = FindWindowA("LumarothChannels", nullptr);
    HWND lyrics = FindWindowA("LumarothLyrics", nullptr);
    command(kChannels);
    ASSERT_TRUE(IsWindowVisible(channels));
    EXPECT_EQ(GetWindow(channels, GW_OWNER), window);
    ShowWindow(window, SW_MINIMIZE);
    pump_messages();
    EXPECT_FALSE(IsWindowVisible(channels));
    ShowWindow(window, SW_RESTORE);
    pump_messages();
    EXPECT_TRUE(IsWindowVisible(channels)) << "back as it was";
    EXPECT_FALSE(IsWindowVisible(lyrics)) << "it was not shown before";
    command(kLyrics);
    RECT main_place, channel_place, lyrics_place;
    GetWindowRect(window, &main_place);
    GetWindowRect(channels, &channel_place);
    GetWindowRect(lyrics, &lyrics_place);
    MONITORINFO screen = {};
    screen.cbSize = sizeof screen;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &screen));
    for (const RECT& place : {channel_place, lyrics_place}) {
        EXPECT_GE(place.left, screen.rcWork.left);
        EXPECT_GE(place.top, screen.rcWork.top);
        EXPECT_LE(place.right, screen.rcWork.right);
        EXPECT_LE(place.bottom, screen.rcWork.bottom);
    }
}

TEST_F(MainWindowTest, AtItsSmallestSizeEveryControlIsWholeAndWiderTheSeekBarStretches) {
    open_file(demo_song_path());
    resize_client_area(window, 300, 200);
    run_loop(window);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_GE(client.right, 780) << "the play state's text at x 700 is 80 px wide";
    EXPECT_GE(client.bottom, 455) << "the lowest buttons end at y 455";
    auto widest = [this] {
        int width = 0;
        for (const RECT& place : control_places(window)) {
            EXPECT_GE(place.left, 0);
            EXPECT_LE(place.right, client_size.width);
            EXPECT_LE(place.bottom, client_size.height);
            width = std::max<int>(width, place.right - place.left);
        }
        return width;
    };
    int narrow = widest();
    resize_client_area(window, 1400, 700);
    run_loop(window);
    EXPECT_EQ(widest(), narrow + 1400 - client.right) << "the bar takes all the new width";
}

TEST_F(MainWindowTest, AClickOnTheSeekBarsGrooveJumpsToThatPointOfTheSong) {
    open_file(demo_song_path());
    std::uint32_t length = song_length_ms();
    ASSERT_TRUE(click_trackbar(window, kPositionBar, 0.75));
    run_loop(window);
    EXPECT_NEAR(transport_position_ms(), 0.75 * length, 0.03 * length);
}

TEST_F(MainWindowTest, ASideWindowLeftOnAScreenThatIsGoneComesBackWithItsSize) {
    start_again_with_settings("[LyricsWindow]\nLeft=5000\nTop=-3000\nWidth=400\nHeight=150\n");
    command(kLyrics);
    RECT place;
    ASSERT_TRUE(GetWindowRect(FindWindowA("LumarothLyrics", nullptr), &place));
    MONITORINFO screen = {};
    screen.cbSize = sizeof screen;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&place, MONITOR_DEFAULTTONULL), &screen))
        << "on a screen again";
    EXPECT_EQ(place.right, screen.rcWork.right);
    EXPECT_EQ(place.top, screen.rcWork.top);
    EXPECT_EQ(place.right - place.left, 400);
    EXPECT_EQ(place.bottom - place.top, 150);
}
