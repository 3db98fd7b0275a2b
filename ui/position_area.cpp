#include "ui/position_area.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "playback/position.h"
#include "playback/scheduler.h"
#include "playback/volume.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/transport.h"
#include "ui/window_state.h"

namespace {

// Right of 停止 and above the song's information, in the layout's free space.
constexpr int kTextX = 110, kTextY = 5, kTextWidth = 112, kTextHeight = 17;
constexpr int kBarX = 226, kBarY = 1, kBarWidth = 360, kBarHeight = 25;
constexpr int kVolumeX = 594, kVolumeWidth = 88;
// The bar takes what the window gains or loses beyond its first width, the volume beside it.
constexpr int kFirstClientWidth = 804;
constexpr int kBarRightMargin = kFirstClientWidth - kBarX - kBarWidth;
constexpr int kVolumeGap = kVolumeX - kBarX - kBarWidth;
constexpr UINT kRefreshPeriod = 250;   // ms
constexpr LPARAM kBarLineStep = 5000;  // ms, the bar's own keys
constexpr LPARAM kBarPageStep = 10000;
constexpr char kBadTime[] = "時間は 分:秒 で入力してください（例 1:30）。";

HWND position_text = nullptr;
HWND position_bar = nullptr;
HWND volume_text = nullptr;
bool dragging = false;  // the user holds the bar's thumb: the timer leaves it alone
char shown_text[2 * kSongTimeText + 4];
int shown_volume = -1;
std::uint32_t bar_length = 0;
std::uint32_t asked_time = 0;

HWND create_child(HWND window, LPCSTR class_name, DWORD style, int x, int y, int width, int height,
                  int id) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    return CreateWindowExA(0, class_name, "", WS_CHILD | style, x, y, width, height, window,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
}

void show_time(std::uint32_t position, std::uint32_t length) {
    char elapsed[kSongTimeText];
    char total[kSongTimeText];
    format_song_time(position, elapsed);
    format_song_time(length, total);
    char text[sizeof shown_text];
    wsprintfA(text, "%s / %s", elapsed, total);
    // Set only when it changed: a text set anew is drawn anew, and would flicker.
    if (std::strcmp(text, shown_text) == 0) return;
    std::memcpy(shown_text, text, sizeof text);
    SetWindowTextA(position_text, text);
}

void show_volume() {
    if (output_volume == shown_volume) return;
    shown_volume = output_volume;
    char text[16];
    wsprintfA(text, "音量 %d%%", output_volume);
    SetWindowTextA(volume_text, text);
}

INT_PTR CALLBACK go_to_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        char now[kSongTimeText];
        format_song_time(transport_position_ms(), now);
        SetDlgItemTextA(dialog, kGoToTime, now);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, 0);
    } else if (LOWORD(wparam) == IDOK) {
        char typed[64] = "";
        GetDlgItemTextA(dialog, kGoToTime, typed, sizeof typed);
        if (parse_song_time(typed, asked_time)) {
            EndDialog(dialog, 1);
        } else {
            MessageBoxA(dialog, kBadTime, kProgramTitle, MB_ICONWARNING);
        }
    }
    return TRUE;
}

}  // namespace

void create_position_area(HWND window) {
    position_text =
        create_child(window, "STATIC", 0, kTextX, kTextY, kTextWidth, kTextHeight, kPositionText);
    position_bar = create_child(window, TRACKBAR_CLASSA, TBS_NOTICKS, kBarX, kBarY, kBarWidth,
                                kBarHeight, kPositionBar);
    volume_text =
        create_child(window, "STATIC", 0, kVolumeX, kTextY, kVolumeWidth, kTextHeight, kVolumeText);
    SendMessageA(position_bar, TBM_SETLINESIZE, 0, kBarLineStep);
    SendMessageA(position_bar, TBM_SETPAGESIZE, 0, kBarPageStep);
    shown_text[0] = '\0';
    shown_volume = -1;
    bar_length = 0;
    dragging = false;
}

void place_position_area(int client_width) {
    int bar_width = std::max(kBarWidth / 2, client_width - kBarX - kBarRightMargin);
    MoveWindow(position_bar, kBarX, kBarY, bar_width, kBarHeight, TRUE);
    MoveWindow(volume_text, kBarX + bar_width + kVolumeGap, kTextY, kVolumeWidth, kTextHeight,
               TRUE);
}

void update_position_area(HWND window) {
    bool song = is_smf_header(view_of(song_image));
    int shown = song ? SW_SHOW : SW_HIDE;
    ShowWindow(position_text, shown);
    ShowWindow(position_bar, shown);
    ShowWindow(volume_text, shown);
    dragging = false;
    if (playback_state() == PlayState::kStopped) {
        KillTimer(window, kPositionTimer);
    } else {
        SetTimer(window, kPositionTimer, kRefreshPeriod, nullptr);
    }
    refresh_position_area();
}

void refresh_position_area() {
    if (!is_smf_header(view_of(song_image))) return;
    show_volume();
    std::uint32_t length = song_length_ms();
    std::uint32_t position = within_song(transport_position_ms(), length);
    if (length != bar_length) {
        bar_length = length;
        SendMessageA(position_bar, TBM_SETRANGEMAX, TRUE, static_cast<LPARAM>(length));
    }
    if (dragging) return;
    show_time(position, length);
    SendMessageA(position_bar, TBM_SETPOS, TRUE, static_cast<LPARAM>(position));
}

void on_position_bar(HWND window, WPARAM wparam) {
    std::uint32_t at = static_cast<std::uint32_t>(SendMessageA(position_bar, TBM_GETPOS, 0, 0));
    if (LOWORD(wparam) == TB_THUMBTRACK) {
        dragging = true;
        show_time(at, bar_length);
    } else if (LOWORD(wparam) == TB_ENDTRACK) {
        dragging = false;
        transport_seek(window, at);
    }
}

LRESULT position_area_background(HDC dc) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void ask_position(HWND window) {
    if (!is_smf_header(view_of(song_image))) return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(kGoToDialog), window, go_to_procedure, 0) == 1)
        transport_seek(window, asked_time);
}
