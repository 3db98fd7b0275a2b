// What a paint draws: every text at its place with its byte count, the rules, and the
// pixels of the whole client area.
#include <cstdlib>

#include "tests/window_fixture.h"
#include "ui/main_window.h"
#include "ui/window_state.h"

namespace {

constexpr COLORREF kRuleColour = 15128749;
// The listing's blank line: two full-width spaces.
const char kBlank[] = "　　";
const char* const kBlankListing[6] = {kBlank, kBlank, kBlank, kBlank, kBlank, kBlank};

struct Placed {
    int x;
    int y;
    std::string text;
};

class PaintingTest : public MainWindowTest {
  public:
    void expect_lines(const char* const* lines, int count, int y) const {
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(drawn_at(10, y + 20 * i), lines[i]) << "line " << i;
    }
    void expect_rules(int width) const {
        std::vector<std::pair<int, int>> rules;
        for (const DrawnLine& line : draw_log.lines) {
            EXPECT_EQ(line.color, kRuleColour);
            EXPECT_EQ(line.width, 2);
            EXPECT_EQ(line.from.y, line.to.y);
            EXPECT_EQ(line.from.x, 0);
            EXPECT_EQ(line.to.x, width);
            rules.emplace_back(line.from.y, line.to.x);
        }
        EXPECT_EQ(rules, (std::vector<std::pair<int, int>>{{150, width}, {310, width}}));
    }
};

}  // namespace

TEST_F(PaintingTest, TheStartStateShowsHowToOpenASongTheHeadingSettingsAndStopped) {
    draw_log.clear();
    refresh_window(window);
    EXPECT_EQ(drawn_at(10, 40), "曲を開くには: メニューの ファイル → 開く (Ctrl+O)、");
    EXPECT_EQ(drawn_at(10, 60),
              "または MIDI ファイル (.mid .midi .kar .rmi) をこのウィンドウにドロップします。");
    for (int y = 80; y <= 120; y += 20)
        EXPECT_EQ(drawn_at(10, y), "<none>")
            << "no file was opened, yet line " << y << " says something";
    EXPECT_EQ(drawn_at(10, 160), "演奏楽器一覧（最大12）");
    expect_lines(kBlankListing, 6, 180);
    std::vector<Placed> expected = {
        {10, 320, "楽器切替機能"}, {64, 346, "無効"},
        {204, 346, "1  "},         {304, 346, "1   生のグランドピアノ　　　　　　　　　　　  "},
        {304, 372, "1 "},          {10, 410, "演奏速度調整"},
        {120, 410, "0%  "},        {700, 430, "停止中"},
    };
    for (const Placed& place : expected)
        EXPECT_EQ(drawn_at(place.x, place.y), place.text) << place.x << "," << place.y;
    EXPECT_EQ(draw_log.texts.size(), 2u + 1u + 6u + 8u);
    expect_rules(804);
}

TEST_F(PaintingTest, AfterPlayTheListingShowsTheSongsInstrumentsOnAllSixLines) {
    open_file(write_temp_file("twelve.mid", twelve_instrument_song()));
    draw_log.clear();
    command(101);
    // Programs 1, 11, ... 111 on channels 1 to 12, each name padded to 40 bytes; channel
    // 10 shows the drum voice.
    EXPECT_EQ(drawn_at(10, 180),
              "■1  No.1  生のグランドピアノ　　　　　　　　　　　      "
              "■2  No.11  オルゴール（Music  Box）　　　　　　　　");
    EXPECT_EQ(drawn_at(10, 260),
              "■9  No.81  シンセ・ソロ音色１（矩形波）　　　　　　    　"
              "■10  No.91  ドラムス音色");
    for (int y = 200; y <= 280; y += 20)
        EXPECT_EQ(drawn_at(10, y).compare(0, 2, "■"), 0) << "line " << y << " holds no channels";
    EXPECT_EQ(drawn_at(10, 40), "フォーマット：0、 トラック数：1、 分解能：480 ");
    EXPECT_EQ(drawn_at(10, 60), "名前：Twelve");
    EXPECT_EQ(drawn_at(700, 430), "再生中");
}

TEST_F(PaintingTest, OpeningAnSmfShowsItsInstrumentsAtOnceAndANonSmfOnlyTheHeading) {
    open_file(write_temp_file("twelve.mid", twelve_instrument_song()));
    EXPECT_EQ(drawn_at(10, 180).rfind("■1  No.1  生", 0), 0u) << "before Play";
    open_file(write_temp_file("notes.txt", hex("41 42 43")));
    expect_lines(kBlankListing, 6, 180);
    EXPECT_EQ(drawn_at(10, 40), "このファイルは、Standard MIDI File　ではありません。 ");
}

TEST_F(PaintingTest, SpeedChangesTheTempoLineAtTheNextPaint) {
    open_file(demo_song_path());
    EXPECT_EQ(drawn_at(10, 80), "１分間の四分音符数=100.00  　　調(Key)=G Major　　  拍子＝3/4");
    command(107);  // 2 % faster
    EXPECT_EQ(drawn_at(10, 80), "１分間の四分音符数=102.04  　　調(Key)=G Major　　  拍子＝3/4");
}

TEST_F(PaintingTest, FixedCountsCutTheLongNumbersBlanks) {
    for (int press = 0; press < 9; ++press)
        command(104);
    EXPECT_EQ(drawn_at(204, 346), "10 ");
    command(106);
    for (int press = 0; press < 13; ++press)
        command(105);  // step 8 from 1: 105 shown
    EXPECT_EQ(drawn_at(304, 346), "105   シタール（北インドの撥弦楽器）　　　　　");
    EXPECT_EQ(drawn_at(304, 346).size(), 46u);
    for (int press = 0; press < 10; ++press)
        command(108);
    EXPECT_EQ(drawn_at(120, 410), "-20%");
}

TEST_F(PaintingTest, RulesFollowTheClientWidthAfterAResize) {
    draw_log.clear();
    resize_client_area(window, 1000, 500);
    pump_messages();
    EXPECT_EQ(client_size.width, 1000);
    EXPECT_EQ(client_size.height, 500);
    ASSERT_GE(draw_log.paints, 1) << "a resize repaints the whole client area";
    expect_rules(1000);
    int width, height;
    std::vector<DWORD> pixels = client_pixels(window, width, height);
    ASSERT_EQ(width, 1000);
    EXPECT_EQ(pixels[150 * 1000 + 999], 0xADD8E6u);
    EXPECT_EQ(pixels[149 * 1000 + 0], 0xADD8E6u);
    EXPECT_EQ(pixels[151 * 1000 + 300], 0xFFFFFFu);
}

// The reference was made by this program and checked by eye; LUMAROTH_UPDATE_REFERENCE=1
// writes it anew.
TEST_F(PaintingTest, TheClientAreaAfterPlayMatchesTheReferenceImage) {
    open_file(write_temp_file("twelve.mid", twelve_instrument_song()));
    command(105);
    command(104);
    command(107);
    command(101);
    std::string reference = std::string(LUMAROTH_SOURCE_DIR) + "/tests/data/window_after_play.png";
    if (std::getenv("LUMAROTH_UPDATE_REFERENCE") != nullptr) {
        ASSERT_TRUE(save_window_image(window, reference.c_str(), false));
    }
    int width, height, reference_width, reference_height;
    std::vector<DWORD> pixels = client_pixels(window, width, height);
    std::vector<DWORD> expected = png_pixels(reference.c_str(), reference_width, reference_height);
    ASSERT_EQ(reference_width, 804);
    ASSERT_EQ(reference_height, 461);
    ASSERT_EQ(width, reference_width);
    ASSERT_EQ(height, reference_height);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        differing += pixels[i] != expected[i];
    EXPECT_EQ(differing, 0u);
}
