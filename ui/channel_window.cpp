#include "ui/channel_window.h"

#include "instruments/channel_voices.h"
#include "playback/channel_mute.h"
#include "playback/channel_record.h"
#include "ui/resource_ids.h"
#include "ui/side_window.h"

namespace {

constexpr char kClassName[] = "LumarothChannels";
constexpr char kSection[] = "ChannelWindow";
constexpr UINT_PTR kMeterTimer = 1;
constexpr UINT kMeterPeriod = 33;  // ms: 30 updates a second
constexpr int kMeterFall = 6;      // of 127, each update
constexpr int kChannels = 16;
constexpr int kHeaderTop = 6, kRowTop = 28, kRowHeight = 22;
// The columns, spaced so that each heading stands apart from the next.
constexpr int kBankLeft = 450, kVolumeLeft = 514, kExpressionLeft = 550, kPanLeft = 586;
constexpr int kMeterLeft = 628, kMeterThickness = 12;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSilentColor = RGB(192, 192, 192);
constexpr COLORREF kSoloColor = RGB(255, 230, 120);
constexpr COLORREF kMeterColor = RGB(0, 160, 0);

// What a row shows; a paint comes only when one of them changes.
struct RowState {
    int program, bank_msb, bank_lsb, volume, expression, pan, level;
    bool used, sounds, muted, soloed;
    bool operator!=(const RowState& o) const {
        return program != o.program || bank_msb != o.bank_msb || bank_lsb != o.bank_lsb ||
               volume != o.volume || expression != o.expression || pan != o.pan ||
               level != o.level || used != o.used || sounds != o.sounds || muted != o.muted ||
               soloed != o.soloed;
    }
};

HWND channel_window;
HWND mute_buttons[kChannels], solo_buttons[kChannels];
RowState rows[kChannels];
std::uint32_t seen_notes[kChannels];
HPEN meter_pen, blank_pen;

RowState read_row(int c, int level) {
    const ChannelRecord& r = channel_records[c];
    auto load = [](const std::atomic<std::uint8_t>& field) {
        return static_cast<int>(field.load(std::memory_order_relaxed));
    };
    return {load(r.program),
            load(r.bank_msb),
            load(r.bank_lsb),
            load(r.volume),
            load(r.expression),
            load(r.pan),
            level,
            channel_in_use(c),
            channel_sounds(c),
            channel_muted(c),
            channel_soloed(c)};
}

// 消 and 独 look pressed while on.
void show_pressed(HWND button, bool on) {
    SendMessageA(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Pan as people read it: L64 to L1, C, R1 to R63.
void format_pan(int pan, char* out) {
    if (pan == 64) {
        wsprintfA(out, "  C");
    } else {
        wsprintfA(out, pan < 64 ? "L%2d" : "R%2d", pan < 64 ? 64 - pan : pan - 64);
    }
}

// The meters rise to each new note's velocity and fall back in between.
void update_rows() {
    bool changed = false;
    for (int c = 0; c < kChannels; ++c) {
        std::uint32_t notes = channel_records[c].notes.load(std::memory_order_relaxed);
        int level = rows[c].level > kMeterFall ? rows[c].level - kMeterFall : 0;
        if (notes != seen_notes[c])
            level = channel_records[c].velocity.load(std::memory_order_relaxed);
        seen_notes[c] = notes;
        RowState now = read_row(c, level);
        changed = changed || now != rows[c];
        show_pressed(mute_buttons[c], now.muted);
        show_pressed(solo_buttons[c], now.soloed);
        rows[c] = now;
    }
    if (changed) InvalidateRect(channel_window, nullptr, FALSE);
}

void text_at(HDC dc, int x, int y, const char* text) {
    TextOutA(dc, x, y, text, lstrlenA(text));
}

void paint_meter(HDC dc, int y, int level) {
    int middle = y + 8, reach = kMeterLeft + level / 2;
    SelectObject(dc, meter_pen);
    MoveToEx(dc, kMeterLeft, middle, nullptr);
    LineTo(dc, reach, middle);
    SelectObject(dc, blank_pen);
    MoveToEx(dc, reach, middle, nullptr);
    LineTo(dc, kMeterLeft + 64, middle);
}

void paint_values(HDC dc, int y, const RowState& row) {
    char text[16];
    wsprintfA(text, "%3d:%-3d", row.bank_msb, row.bank_lsb);
    text_at(dc, kBankLeft, y, text);
    wsprintfA(text, "%3d", row.volume);
    text_at(dc, kVolumeLeft, y, text);
    wsprintfA(text, "%3d", row.expression);
    text_at(dc, kExpressionLeft, y, text);
    format_pan(row.pan, text);
    text_at(dc, kPanLeft, y, text);
}

void paint_row(HDC dc, int c) {
    const RowState& row = rows[c];
    int y = kRowTop + c * kRowHeight + 2;
    char text[80];
    wsprintfA(text, "%2d", c + 1);
    SetBkColor(dc, row.soloed ? kSoloColor : row.sounds ? kWhite : kSilentColor);
    text_at(dc, 8, y, text);
    SetBkColor(dc, kWhite);
    if (!row.used) {
        // Nothing of the song on it: no instrument and no values.
        wsprintfA(text, "%-67s", "  - 未使用");
        text_at(dc, 90, y, text);
    } else if (c == kDrumChannel) {
        wsprintfA(text, "%3d %-40s", row.program + 1, kDrumVoice);
        text_at(dc, 90, y, text);
        paint_values(dc, y, row);
    } else {
        ChannelVoice voice = channel_voice_from_message(static_cast<unsigned char>(0xC0 + c),
                                                        static_cast<unsigned char>(row.program));
        wsprintfA(text, "%3d %-40s", row.program + 1, voice.name);
        text_at(dc, 90, y, text);
        paint_values(dc, y, row);
    }
    paint_meter(dc, y, row.level);
}

void paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetBkColor(dc, kWhite);
    text_at(dc, 8, kHeaderTop, "ch");
    text_at(dc, 32, kHeaderTop, "消");
    text_at(dc, 58, kHeaderTop, "独");
    text_at(dc, 90, kHeaderTop, "音色");
    text_at(dc, kBankLeft, kHeaderTop, "バンク");
    text_at(dc, kVolumeLeft - 4, kHeaderTop, "音量");
    text_at(dc, kExpressionLeft - 4, kHeaderTop, "表情");
    text_at(dc, kPanLeft - 4, kHeaderTop, "定位");
    text_at(dc, kMeterLeft, kHeaderTop, "レベル");
    for (int c = 0; c < kChannels; ++c)
        paint_row(dc, c);
    EndPaint(window, &paint);
}

void create_rows(HWND window) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    for (int c = 0; c < kChannels; ++c) {
        int y = kRowTop + c * kRowHeight;
        mute_buttons[c] = CreateWindowExA(
            0, "BUTTON", "消", WS_CHILD | WS_VISIBLE | BS_CHECKBOX | BS_PUSHLIKE, 32, y, 24, 20,
            window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kCommandMute + c)), instance,
            nullptr);
        solo_buttons[c] = CreateWindowExA(
            0, "BUTTON", "独", WS_CHILD | WS_VISIBLE | BS_CHECKBOX | BS_PUSHLIKE, 58, y, 24, 20,
            window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kCommandSolo + c)), instance,
            nullptr);
    }
    meter_pen = CreatePen(PS_SOLID, kMeterThickness, kMeterColor);
    blank_pen = CreatePen(PS_SOLID, kMeterThickness, kWhite);
    SetTimer(window, kMeterTimer, kMeterPeriod, nullptr);
}

LRESULT CALLBACK channel_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            create_rows(window);
            return 0;
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_TIMER:
            if (IsWindowVisible(window)) update_rows();
            return 0;
        case WM_COMMAND:
            if (is_channel_command(LOWORD(wparam))) toggle_mute_or_solo(LOWORD(wparam));
            return 0;
        case WM_CLOSE:
            hide_side_window(window, kSection);
            return 0;
        case WM_DESTROY:
            KillTimer(window, kMeterTimer);
            DeleteObject(meter_pen);
            DeleteObject(blank_pen);
            channel_window = nullptr;
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

SideWindowSpec side_spec() {
    return {kClassName, "チャンネル", channel_window_proc, kSection, 720, 425, false};
}

}  // namespace

void create_channel_window(HWND owner) {
    for (int c = 0; c < kChannels; ++c)
        rows[c] = read_row(c, 0);
    channel_window = create_side_window(owner, side_spec());
}

void toggle_channel_window() {
    if (channel_window != nullptr) toggle_side_window(channel_window, side_spec());
}

bool is_channel_command(int id) {
    return (id >= kCommandMute && id < kCommandMute + kChannels) ||
           (id >= kCommandSolo && id < kCommandSolo + kChannels);
}

void toggle_mute_or_solo(int id) {
    if (id >= kCommandSolo) {
        set_channel_soloed(id - kCommandSolo, !channel_soloed(id - kCommandSolo));
    } else {
        set_channel_muted(id - kCommandMute, !channel_muted(id - kCommandMute));
    }
    if (channel_window == nullptr) return;
    update_rows();
    // The main window's instrument list marks the channels that are silent.
    InvalidateRect(GetWindow(channel_window, GW_OWNER), nullptr, TRUE);
}
