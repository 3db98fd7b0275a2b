#include "ui/painting.h"

#include <cstring>

#include "platform/cp932.h"
#include "playback/channel_mute.h"
#include "playback/session.h"
#include "ui/window_state.h"

namespace {

constexpr int kTextX = 10;
constexpr int kSongInfoY = 40;
constexpr int kLineSpacing = 20;
constexpr int kUpperRuleY = 150;
constexpr int kInstrumentHeadingY = 160;
constexpr int kInstrumentLinesY = 180;
constexpr int kLowerRuleY = 310;

// Where the song's information will be, until a song is open: how to open one.
const char* const kFirstHint[] = {
    "曲を開くには: メニューの ファイル → 開く (Ctrl+O)、",
    "または MIDI ファイル (.mid .midi .kar .rmi) をこのウィンドウにドロップします。",
};

// While the output opens the song shows as playing.
const char* play_state_text() {
    if (playback_state() == PlayState::kStopped) return "停止中";
    if (playback_state() == PlayState::kPaused) return "一時停止中";
    return "再生中";
}

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
        {700, 430, play_state_text(), lstrlenA(play_state_text())},
    };
    for (const SettingText& setting : settings)
        TextOutA(dc, setting.x, setting.y, setting.text, setting.bytes);
}

// The byte offsets where a listing line's two entries begin (each at its "■"), -1 when
// the line has fewer.
void entry_starts(const char* line, int starts[2]) {
    starts[0] = starts[1] = -1;
    int found = 0;
    for (int i = 0; line[i] != '\0' && found < 2; ++i) {
        if (std::strncmp(line + i, "■", 2) == 0) starts[found++] = i;
        if (is_cp932_lead_byte(static_cast<unsigned char>(line[i])) && line[i + 1] != '\0') ++i;
    }
}

// A muted or silenced channel's entry struck through, in grey.
void mark_silent_channels(HDC dc, const InstrumentListing& listing) {
    static HPEN strike_pen = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    HGDIOBJ before = SelectObject(dc, strike_pen);
    for (int k = 0; k < kListedLines; ++k) {
        int starts[2];
        entry_starts(listing.lines[k], starts);
        int length = lstrlenA(listing.lines[k]);
        for (int j = 0; j < 2 && starts[j] >= 0; ++j) {
            int channel = 2 * k + j;
            if (channel_voices.voices[channel].name == nullptr || channel_sounds(channel)) continue;
            int end = j == 0 && starts[1] >= 0 ? starts[1] : length;
            while (end > starts[j] && listing.lines[k][end - 1] == ' ')
                --end;
            int y = kInstrumentLinesY + kLineSpacing * k + 8;
            MoveToEx(dc, kTextX + 8 * starts[j], y, nullptr);
            LineTo(dc, kTextX + 8 * end, y);
        }
    }
    SelectObject(dc, before);
}

}  // namespace

void paint_window(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Before any file was read there is nothing to describe, not even "not an SMF".
    if (song_loaded) {
        paint_song_info(dc, scan_song_info(view_of(song_image), speed_factor));
    } else {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        for (int i = 0; i < 2; ++i)
            TextOutA(dc, kTextX, kSongInfoY + kLineSpacing * i, kFirstHint[i],
                     lstrlenA(kFirstHint[i]));
    }
    SelectObject(dc, rule_pen);
    paint_rule(dc, 0, kUpperRuleY, client_size.width);
    if (is_smf_header(view_of(song_image))) {
        InstrumentListing listing = format_instrument_listing(channel_voices);
        paint_instrument_list(dc, listing);
        mark_silent_channels(dc, listing);
    } else {
        paint_instrument_list(dc, empty_instrument_listing());
    }
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
