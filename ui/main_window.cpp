#include "ui/main_window.h"

#include <cstring>

#include "instruments/channel_voices.h"
#include "platform/cp932.h"
#include "playback/scheduler.h"
#include "playback/speed.h"
#include "ui/open_file_dialog.h"
#include "ui/output_menu.h"
#include "ui/painting.h"
#include "ui/position_area.h"
#include "ui/resource_ids.h"
#include "ui/sound_font_menu.h"
#include "ui/transport.h"
#include "ui/version.h"
#include "ui/volume_menu.h"
#include "ui/window_state.h"

namespace {

constexpr char kUntitled[] = "(untitled)";
constexpr char kLoadWarning[] = "ファイルを読み込めません %s!";
constexpr char kHelpNotShown[] =
    "ヘルプ %s%s を表示できません。\nこのページを開くプログラム（ウェブブラウザー）が見つかりません。";
constexpr char kVersionText[] =
    "Lumaroth ver." LUMAROTH_VERSION "\n Copyright (C) 2026 Lumaroth developers";
// The window's own message, numbered after the scheduler's kEndOfSongMessage.
constexpr UINT kOpenHandedSongMessage = WM_USER + 3;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 25;

struct ButtonSpec {
    int id;
    const char* text;
    int x;
    int y;
};

const ButtonSpec kButtons[] = {
    {kButtonPlay, "再生", 1, 1},           {kButtonStop, "停止", 51, 1},
    {kButtonSwitch, "切替", 10, 340},      {kButtonChannel, "経路", 151, 340},
    {kButtonProgram, "音替", 251, 340},    {kButtonStep, "加値", 251, 370},
    {kButtonFaster, "加速", 10, 430},      {kButtonSlower, "減速", 110, 430},
    {kButtonNormalSpeed, "中央", 60, 430},
};

OpenFileDialog& open_file_dialog() {
    static OpenFileDialog dialog;
    return dialog;
}

void create_buttons(HWND window) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    for (const ButtonSpec& button : kButtons)
        CreateWindowExA(0, "BUTTON", button.text, WS_CHILD | WS_VISIBLE, button.x, button.y,
                        kButtonWidth, kButtonHeight, window,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(button.id)), instance,
                        nullptr);
}

// Each setting changes together with the text that shows it.
void set_switch(int enabled) {
    voice_override.enabled = enabled;
    wsprintfA(setting_texts.switch_text, enabled ? "有効" : "無効");
}

void set_channel(int channel) {
    voice_override.channel = channel;
    wsprintfA(setting_texts.channel_text, "%d  ", channel + 1);
}

// The name depends on the program alone; the channel only builds the message.
void set_program(int program) {
    voice_override.program = program;
    ChannelVoice voice =
        channel_voice_from_message(static_cast<unsigned char>(0xC0 + voice_override.channel),
                                   static_cast<unsigned char>(program));
    wsprintfA(setting_texts.program_text, "%d   %s  ", program + 1, voice.name);
}

void set_step(int step_flag) {
    program_step = step_flag;
    wsprintfA(setting_texts.step_text, step_flag ? "8 " : "1 ");
}

void set_speed(double factor) {
    speed_factor = factor;
    wsprintfA(setting_texts.speed_text, "%d%%  ", speed_percent(speed_factor));
}

void on_create(HWND window) {
    create_buttons(window);
    create_position_area(window);
    DragAcceptFiles(window, TRUE);
    create_output_menu(window);
    open_file_dialog().setup(window);
    update_title(window, file_title);
    set_channel(0);
    set_switch(0);
    set_program(0);
    set_step(0);
    rule_pen = CreatePen(PS_SOLID, 2, RGB(173, 216, 230));
    set_speed(kNormalSpeed);
}

void end_program() {
    DeleteObject(rule_pen);
    stop_playback();
    PostQuitMessage(0);
}

// A wrap always lands on program 0.
int next_program() {
    int step = program_step ? 8 : 1;
    int program = voice_override.program;
    return program >= 127 || program + step > 127 ? 0 : program + step;
}

// The file-name part of a path, as the open dialog reports it: after the last
// separator, a '\' or '/' that is not the second byte of a Shift-JIS character.
const char* name_part(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (is_cp932_lead_byte(byte)) {
            if (p[1] == '\0') break;
            ++p;
        } else if (byte == '\\' || byte == '/') {
            name = p + 1;
        }
    }
    return name;
}

void copy_text(char* out, std::size_t size, const char* text) {
    std::size_t length = std::strlen(text);
    if (length >= size) length = size - 1;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

// The song a second start of the program hands over opens once the sender has been
// answered: Open may ask or warn, and the sender must not wait for the user. One that
// comes while an Open is under way (its box showing, say) waits for it, and a newer one
// takes the place of one that waits: never a box inside a box.
char handed_song[kPathSize + 1];
std::size_t handed_length = 0;
bool handed_song_waits = false;
bool opening = false;

// Open's steps; path is the user's choice and length the full length of its name (which
// may have come cut to a buffer), or path is nullptr to ask through the dialog.
void open_song(HWND window, const char* path, std::size_t length) {
    opening = true;
    transport_stop(window);
    BOOL chosen;
    // A name longer than the program holds is refused, never opened cut: the cut name
    // may be another file.
    bool too_long;
    if (path == nullptr) {
        chosen = open_file_dialog().choose(window, file_path, file_title);
        too_long = !chosen && CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
    } else {
        copy_text(file_path, sizeof file_path, path);
        copy_text(file_title, sizeof file_title, name_part(file_path));
        chosen = TRUE;
        too_long = length >= sizeof file_path;
    }
    if (too_long || (chosen && !load_song_file(file_path, song_image))) {
        show_load_warning(window, kLoadWarning, file_path);
        file_path[0] = '\0';
        file_title[0] = '\0';
    } else if (chosen) {
        song_loaded = 1;
    }
    update_title(window, file_title);
    reset_channel_voice_table(channel_voices);
    set_speed(kNormalSpeed);
    refresh_window(window);
    opening = false;
    if (handed_song_waits) PostMessageA(window, kOpenHandedSongMessage, 0, 0);
}

// A dropped file opens as if chosen in the dialog; of several, the first.
void open_dropped_file(HWND window, HDROP drop) {
    UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    char path[kPathSize];
    DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (length > 0) open_song(window, path, length);
}

LRESULT take_handed_song(HWND window, const COPYDATASTRUCT* data) {
    if (data == nullptr || data->dwData != kHandedSong || data->cbData == 0) return FALSE;
    const char* name = static_cast<const char*>(data->lpData);
    handed_length = 0;
    while (handed_length < data->cbData && name[handed_length] != '\0')
        ++handed_length;
    std::size_t kept = handed_length < sizeof handed_song ? handed_length : sizeof handed_song - 1;
    std::memcpy(handed_song, name, kept);
    handed_song[kept] = '\0';
    if (!handed_song_waits) PostMessageA(window, kOpenHandedSongMessage, 0, 0);
    handed_song_waits = true;
    return TRUE;
}

void open_handed_song(HWND window) {
    if (opening || !handed_song_waits) return;  // the Open under way posts it again
    handed_song_waits = false;
    char song[sizeof handed_song];
    std::memcpy(song, handed_song, sizeof song);
    open_song(window, song, handed_length);
}

void on_command(HWND window, int id) {
    switch (id) {
        case kButtonPlay:
            transport_play(window);
            break;
        case kCommandPause:
            transport_pause_or_resume(window);
            break;
        case kCommandBack:
        case kCommandForward:
        case kCommandToStart:
            transport_step(window, id);
            break;
        case kCommandGoTo:
            ask_position(window);
            break;
        case kCommandSoundFont:
            ask_for_sound_font(window);
            break;
        case kButtonStop:
            transport_stop(window);
            break;
        case kButtonSwitch:
            set_switch(voice_override.enabled ? 0 : 1);
            refresh_window(window);
            break;
        case kButtonChannel:
            set_channel(voice_override.channel >= 15 ? voice_override.channel - 15
                                                     : voice_override.channel + 1);
            refresh_window(window);
            break;
        case kButtonProgram:
            set_program(next_program());
            refresh_window(window);
            break;
        case kButtonStep:
            set_step(program_step ? 0 : 1);
            refresh_window(window);
            break;
        case kButtonFaster:
            set_speed(faster_speed(speed_factor));
            refresh_window(window);
            break;
        case kButtonSlower:
            set_speed(slower_speed(speed_factor));
            refresh_window(window);
            break;
        case kButtonNormalSpeed:
            set_speed(kNormalSpeed);
            refresh_window(window);
            break;
        case kCommandOpen:
            open_song(window, nullptr, 0);
            break;
        case kCommandExit:
            end_program();
            break;
        case kCommandVersion:
            MessageBoxA(window, kVersionText, "バージョン情報", MB_OK);
            break;
        case kCommandHelp:
            open_help(window);
            break;
        default:
            if (is_volume_command(id)) {
                choose_volume(window, id);
                refresh_position_area();
            } else if (is_output_command(id)) {
                // The next Play uses the new output.
                if (play_state) transport_stop(window);
                choose_output(window, id);
            }
            break;
    }
}

}  // namespace

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            on_create(window);
            return 0;
        case WM_DESTROY:
            end_program();
            return 0;
        case WM_SIZE:
            client_size.width = LOWORD(lparam);
            client_size.height = HIWORD(lparam);
            return 0;
        case WM_PAINT:
            paint_window(window);
            return 0;
        case WM_COMMAND:
            on_command(window, LOWORD(wparam));
            return 0;
        case WM_TIMER:
            if (wparam == kPositionTimer) refresh_position_area();
            return 0;
        case WM_CTLCOLORSTATIC:
            return position_area_background(reinterpret_cast<HDC>(wparam));
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lparam) != nullptr) on_position_bar(window, wparam);
            return 0;
        case kEndOfSongMessage:
            transport_stop(window);
            return 0;
        case WM_DROPFILES:
            open_dropped_file(window, reinterpret_cast<HDROP>(wparam));
            return 0;
        case WM_COPYDATA:
            return take_handed_song(window, reinterpret_cast<const COPYDATASTRUCT*>(lparam));
        case kOpenHandedSongMessage:
            open_handed_song(window);
            return 0;
        case kSoundFontLoadedMessage:
            on_sound_font_loaded(window, wparam);
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

void update_title(HWND window, const char* title) {
    char caption[sizeof kProgramTitle + 3 + kPathSize];
    wsprintfA(caption, "%s - %s", kProgramTitle, title[0] != '\0' ? title : kUntitled);
    SetWindowTextA(window, caption);
}

void show_load_warning(HWND window, const char* format, const char* path) {
    char text[1024];  // the most wsprintfA writes
    wsprintfA(text, format, path[0] != '\0' ? path : kUntitled);
    MessageBoxA(window, text, kProgramTitle, MB_ICONWARNING);
}

void refresh_window(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    InvalidateRect(window, &client, TRUE);
    UpdateWindow(window);
}

void program_folder(char* folder, std::size_t size) {
    DWORD length = GetModuleFileNameA(nullptr, folder, static_cast<DWORD>(size));
    if (length >= size) length = static_cast<DWORD>(size - 1);
    folder[length] = '\0';
    *const_cast<char*>(name_part(folder)) = '\0';
}

int open_help(HWND window) {
    char folder[256];
    program_folder(folder, sizeof folder);
    HINSTANCE result = ShellExecuteA(window, "open", kHelpFile, nullptr, folder, SW_SHOWNORMAL);
    UINT_PTR code = reinterpret_cast<UINT_PTR>(result);
    if (code > 32) return 1;
    if (code == SE_ERR_FNF || code == SE_ERR_PNF) {
        MessageBoxA(window, "ヘルプが見つかりません。", "ERROR", MB_OK);
        return 0;
    }
    // The page is there, but nothing on this system shows it: say where it is.
    char text[1024];  // the most wsprintfA writes
    wsprintfA(text, kHelpNotShown, folder, kHelpFile);
    MessageBoxA(window, text, "ERROR", MB_OK);
    return 0;
}

void open_song_path(HWND window, const char* path) {
    open_song(window, path, std::strlen(path));
}
