#include "ui/painting.h"

#include "ui/window_state.h"

namespace {

constexpr int kTextX = 10;
constexpr int kSongInfoY = 40;
constexpr int kLineSpacing = 20;
constexpr int kUpperRuleY = 150;
constexpr int kInstrumentHeadingY = 160;
constexpr int kInstrumentLinesY = 180;
constexpr int kLowerRuleY = 310;

// By play_state: stopped, playing, paused.
const char* const kPlayStateTexts[] = {"停止中", "再生中", "一時停止中"};

struct SettingText {
    int x;
    int y;
    const char* text;
    int bytes;
};

// Each count is at most the length of its text, so no terminator is ever drawn.
void paint_settings(HDC dc) {
    const SettingText settings[] = {
        {10, 320, "楽器切替機能", 12},
        {64, 346, setting_texts.switch_text, 4},
        {204, 346, setting_texts.channel_text, 3},
        {304, 346, setting_texts.program_text, 46},
        {304, 372, setting_texts.step_text, 2},
        {10, 410, "演奏速度調整", 12},
        {120, 410, setting_texts.speed_text, 4},
        {700, 430, kPlayStateTexts[play_state], lstrlenA(kPlayStateTexts[play_state])},
    };
    for (const SettingText& setting : settings)
        TextOutA(dc, setting.x, setting.y, setting.text, setting.bytes);
}

}  // namespace

void paint_window(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Before any file was read there is nothing to describe, not even "not an SMF".
    if (song_loaded) paint_song_info(dc, scan_song_info(view_of(song_image), speed_factor));
    SelectObject(dc, rule_pen);
    paint_rule(dc, 0, kUpperRuleY, client_size.width);
    paint_instrument_list(dc, is_smf_header(view_of(song_image))
                                  ? format_instrument_listing(channel_voices)
                                  : empty_instrument_listing());
    paint_rule(dc, 0, kLowerRuleY, client_size.width);
    paint_settings(dc);
    EndPaint(window, &paint);
}

void paint_song_info(HDC dc, SongInfo info) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    for (int i = 0; i < 5; ++i)
        TextOutA(dc, kTextX, kSongInfoY + kLineSpacing * i, info.lines[i], lstrlenA(info.lines[i]));
}

void paint_instrument_list(HDC dc, InstrumentListing listing) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    TextOutA(dc, kTextX, kInstrumentHeadingY, "演奏楽器一覧（最大12）", 22);
    for (int i = 0; i < kListedLines; ++i)
        TextOutA(dc, kTextX, kInstrumentLinesY + kLineSpacing * i, listing.lines[i],
                 lstrlenA(listing.lines[i]));
}

void paint_rule(HDC dc, int start_x, int y, int client_width) {
    MoveToEx(dc, start_x, y, nullptr);
    LineTo(dc, client_width, y);
}
