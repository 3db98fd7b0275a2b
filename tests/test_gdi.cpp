// TextOutA on the Shift-JIS grid and LineTo, drawn on a real backing image.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/testing/window_probe.h"
#include "platform/win32.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr DWORD kRedPixel = 0xFF0000u, kWhitePixel = 0xFFFFFFu;

LRESULT CALLBACK plain_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window, message, wparam, lparam);
}

class Gdi : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        WNDCLASSEXA window_class = {};
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = plain_proc;
        window_class.hbrBackground =
            reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW + 1));
        window_class.lpszClassName = "GdiTest";
        RegisterClassExA(&window_class);
        window = CreateWindowExA(0, "GdiTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 216, 139, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        dc = BeginPaint(window, &paint);
    }
    void TearDown() override { DestroyWindow(window); }

    // Which pixels of the cell row [x, x + width) at y are red (background), white
    // (untouched) or something else (a glyph).
    std::string row_kinds(int x, int y, int width) {
        int w, h;
        std::vector<DWORD> pixels = client_pixels(window, w, h);
        std::string kinds;
        for (int i = x; i < x + width; ++i) {
            DWORD pixel = pixels[static_cast<std::size_t>(y * w + i)];
            kinds += pixel == kRedPixel ? 'r' : pixel == kWhitePixel ? 'w' : 'g';
        }
        return kinds;
    }

    HWND window = nullptr;
    PAINTSTRUCT paint;
    HDC dc = nullptr;
};

}  // namespace

TEST_F(Gdi, TextCellsAre8PixelsASingleByteAnd16ADoubleByteCharacter) {
    SetBkColor(dc, kRed);
    // "A", hiragana A, half-width katakana A, then a lead byte with no second byte.
    ASSERT_TRUE(TextOutA(dc, 10, 20, "A\x82\xA0\xB1\x82", 5));
    EndPaint(window, &paint);
    for (int y = 20; y < 36; ++y) {
        std::string row = row_kinds(8, y, 44);
        EXPECT_EQ(row.substr(0, 2), "ww") << "nothing left of the text, row " << y;
        EXPECT_EQ(row.substr(2 + 32, 8), "rrrrrrrr")
            << "a lone lead byte is an empty cell, row " << y;
        EXPECT_EQ(row.substr(42), "ww") << "the text is 40 pixels wide, row " << y;
        EXPECT_EQ(row.find('w', 2), 42u) << "every cell is opaque, row " << y;
    }
    EXPECT_EQ(row_kinds(10, 19, 40), std::string(40, 'w'));
    EXPECT_EQ(row_kinds(10, 36, 40), std::string(40, 'w'));
    std::string glyphs;
    for (int y = 20; y < 36; ++y)
        glyphs += row_kinds(10, y, 32);
    for (int cell : {0, 8, 24}) {
        bool drawn = false;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < (cell == 8 ? 16 : 8); ++x)
                drawn |= glyphs[static_cast<std::size_t>(y * 32 + cell + x)] == 'g';
        EXPECT_TRUE(drawn) << "a glyph in the cell at " << cell;
    }
}

TEST_F(Gdi, AWidePenLineLeavesOutItsEndPixel) {
    HPEN pen = CreatePen(PS_SOLID, 2, kRed);
    SelectObject(dc, pen);
    MoveToEx(dc, 5, 50, nullptr);
    LineTo(dc, 25, 50);
    EndPaint(window, &paint);
    EXPECT_EQ(row_kinds(4, 49, 22), "w" + std::string(20, 'r') + "w");
    EXPECT_EQ(row_kinds(4, 50, 22), "w" + std::string(20, 'r') + "w");
    EXPECT_EQ(row_kinds(4, 51, 22), std::string(22, 'w'));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen)) << "a pen is deleted once";
}

TEST_F(Gdi, WhatIsDrawnIsKeptOnlyWhileATestRecords) {
    ASSERT_FALSE(draw_log.recording) << "as the program runs";
    for (int i = 0; i < 1000; ++i) {
        TextOutA(dc, 0, i % 100, "text", 4);
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, 10, 0);
    }
    EndPaint(window, &paint);
    dc = BeginPaint(window, &paint);
    EXPECT_TRUE(draw_log.texts.empty());
    EXPECT_TRUE(draw_log.lines.empty());
    EXPECT_EQ(draw_log.paints, 0);

    draw_log.recording = true;
    TextOutA(dc, 3, 4, "text", 4);
    LineTo(dc, 20, 0);
    draw_log.recording = false;
    ASSERT_EQ(draw_log.texts.size(), 1u);
    EXPECT_EQ(draw_log.texts[0].y, 4);
    EXPECT_EQ(draw_log.lines.size(), 1u);
    draw_log.clear();
    EndPaint(window, &paint);
}
