#include "ui/lyrics_window.h"

#include <cstdint>
#include <string>

#include "platform/cp932.h"
#include "playback/lyrics.h"
#include "playback/scheduler.h"
#include "playback/song_texts.h"
#include "ui/side_window.h"
#include "ui/window_state.h"

namespace {

constexpr char kClassName[] = "LumarothLyrics";
constexpr char kSection[] = "LyricsWindow";
constexpr char kNoWords[] = "この曲には歌詞がありません。";
constexpr UINT_PTR kFollowTimer = 1;
constexpr UINT kFollowPeriod = 40;  // ms
constexpr int kLeft = 12, kTitleTop = 8, kLineTop = 48, kNextTop = 80;
constexpr int kCellWidth = 8;  // a half-width cell; a Shift-JIS double-byte character is two
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSungColor = RGB(173, 216, 230);

HWND lyrics_window;
SongLyrics lyrics;
std::uint32_t lyrics_builds = ~0u;  // the Timeline build the words were read from
int shown_line = -2, shown_sung = -1;

std::uint32_t utf8_code_point(const unsigned char* p, std::size_t length) {
    if (length == 1) return p[0];
    std::uint32_t code = p[0] & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k)
        code = code << 6 | (p[k] & 0x3F);
    return code;
}

// A syllable as the program holds text: Shift-JIS words as they are; UTF-8 ones as
// Shift-JIS where it holds the character, else as the escape of platform/cp932.h, which
// TextOutA draws as the character on every system.
std::string syllable_text(const char* bytes, std::uint32_t length, bool utf8) {
    if (!utf8) return std::string(bytes, length);
    std::string text, cp932;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (std::uint32_t i = 0; i < length;) {
        std::size_t n = p[i] < 0x80 ? 1 : p[i] < 0xE0 ? 2 : p[i] < 0xF0 ? 3 : 4;
        if (n > length - i) n = length - i;
        if (utf8_to_cp932(std::string(bytes + i, n), cp932) &&
            !is_user_defined_lead_byte(static_cast<unsigned char>(cp932[0])))
            text += cp932;
        else
            append_name_escape(text, utf8_code_point(p + i, n));
        i += static_cast<std::uint32_t>(n);
    }
    return text;
}

int cells_of(const std::string& text) {
    int cells = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t escaped;
        std::size_t length = read_name_escape(text.data() + i, text.size() - i, escaped)
                                 ? kEscapeBytes
                                 : cp932_char_length(text.data() + i, text.size() - i);
        cells += length == 1 ? 1 : 2;
        i += length;
    }
    return cells;
}

// The syllables from..to of a line as the program's text.
std::string words_of(const LyricLine& line, int from, int to) {
    std::string text;
    for (int s = line.first + from; s < line.first + to; ++s)
        text += syllable_text(song_texts.bytes + lyrics.syllables[s].offset,
                              lyrics.syllables[s].length, lyrics.utf8);
    return text;
}

void text_at(HDC dc, int x, int y, const std::string& text) {
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// The line a stopped song or one before its first words shows: the first to be sung.
int first_sung_line() {
    for (int l = 0; l < lyrics.line_count; ++l)
        if (!lyrics.lines[l].title && lyrics.lines[l].count > 0) return l;
    return -1;
}

void paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetBkColor(dc, kWhite);
    if (lyrics.syllable_count == 0) {
        text_at(dc, kLeft, kLineTop, kNoWords);
    } else {
        for (int l = 0; l < lyrics.line_count; ++l)
            if (lyrics.lines[l].title) {
                text_at(dc, kLeft, kTitleTop, words_of(lyrics.lines[l], 0, lyrics.lines[l].count));
                break;
            }
        int line = shown_line >= 0 ? shown_line : first_sung_line();
        if (line >= 0) {
            const LyricLine& current = lyrics.lines[line];
            std::string sung = words_of(current, 0, shown_sung > 0 ? shown_sung : 0);
            SetBkColor(dc, kSungColor);
            text_at(dc, kLeft, kLineTop, sung);
            SetBkColor(dc, kWhite);
            text_at(dc, kLeft + cells_of(sung) * kCellWidth, kLineTop,
                    words_of(current, shown_sung > 0 ? shown_sung : 0, current.count));
            int next = line + 1;
            while (next < lyrics.line_count && lyrics.lines[next].title)
                ++next;
            if (next < lyrics.line_count)
                text_at(dc, kLeft, kNextTop,
                        words_of(lyrics.lines[next], 0, lyrics.lines[next].count));
        }
    }
    EndPaint(window, &paint);
}

void follow() {
    bool read_again = song_texts.builds != lyrics_builds;
    if (read_again) {
        read_song_lyrics(lyrics);
        lyrics_builds = song_texts.builds;
    }
    int sung = 0;
    int line = playback_open() ? lyric_line_at(lyrics, playback_position_ms(), sung) : -1;
    if (!read_again && line == shown_line && sung == shown_sung) return;
    shown_line = line;
    shown_sung = sung;
    InvalidateRect(lyrics_window, nullptr, TRUE);
}

LRESULT CALLBACK lyrics_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            SetTimer(window, kFollowTimer, kFollowPeriod, nullptr);
            return 0;
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_TIMER:
            if (IsWindowVisible(window)) follow();
            return 0;
        case WM_CLOSE:
            hide_side_window(window, kSection);
            return 0;
        case WM_DESTROY:
            KillTimer(window, kFollowTimer);
            lyrics_window = nullptr;
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

SideWindowSpec side_spec() {
    return {kClassName, "歌詞", lyrics_window_proc, kSection, 660, 160, true};
}

}  // namespace

void create_lyrics_window(HWND owner) {
    lyrics_window = create_side_window(owner, side_spec());
}

void toggle_lyrics_window() {
    if (lyrics_window == nullptr) return;
    toggle_side_window(lyrics_window, side_spec());
    follow();
}
