#include "ui/main_window.h"

#include <cstring>

#include "instruments/channel_voices.h"
#include "platform/cp932.h"
#include "playback/scheduler.h"
#include "playback/speed.h"
#include "ui/channel_window.h"
#include "ui/effects_menu.h"
#include "ui/lyrics_window.h"
#include "ui/output_menu.h"
#include "ui/painting.h"
#include "ui/play_modes.h"
#include "ui/position_area.h"
#include "ui/recent_files.h"
#include "ui/resource_ids.h"
#include "ui/song_folder.h"
#include "ui/song_opening.h"
#include "ui/sound_font_menu.h"
#include "ui/transport.h"
#include "ui/version.h"
#include "ui/volume_menu.h"
#include "ui/window_state.h"

namespace {

constexpr char kUntitled[] = "(untitled)";
constexpr char kHelpNotShown[] =
    "ヘルプ %s%s を表示できません。\nこのページを開くプログラム（ウェブブラウザー）が見つかりません。";
// The version and copyright, then the licences: the program's own and that of the
// synthesizer it plays on.
constexpr char kVersionText[] = "Lumaroth ver." LUMAROTH_VERSION
                                "\n Copyright (C) 2026 Lumaroth developers\n"
                                " MIT License\n\n"
                                "音源: FluidSynth (GNU LGPL 2.1 以降)";
// The smallest client area that shows every control and text whole: the play state at
// (700, 430), ten Shift-JIS bytes of 8 px, and the buttons' bottom row ending at y 455,
// with a margin. Logical pixels: the same at any scale factor.
constexpr int kMinClientWidth = 784, kMinClientHeight = 459;
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

void on_create(HWND window) {
    create_buttons(window);
    create_position_area(window);
    DragAcceptFiles(window, TRUE);
    create_output_menu(window);
    setup_open_dialog(window);
    create_recent_files_menu(window);
    create_play_modes(window);
    create_channel_window(window);
    create_lyrics_window(window);
    update_title(window, file_title);
    set_channel(0);
    set_switch(0);
    set_program(0);
    set_step(0);
    rule_pen = CreatePen(PS_SOLID, 2, RGB(173, 216, 230));
    set_speed(kNormalSpeed);
    transport_new_song(window);
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

// The commands of a range of ids: channels, play modes, recent files, volumes, effects,
// outputs.
void on_numbered_command(HWND window, int id) {
    if (is_channel_command(id)) {
        toggle_mute_or_solo(id);
    } else if (is_play_mode_command(id)) {
        choose_play_mode(window, id);
    } else if (is_recent_file_command(id)) {
        open_recent_file(window, id);
    } else if (is_volume_command(id)) {
        choose_volume(window, id);
        refresh_position_area();
    } else if (is_effects_command(id)) {
        choose_effects(window, id);
    } else if (is_output_command(id)) {
        // The next Play uses the new output.
        if (playback_state() != PlayState::kStopped) transport_stop(window);
        choose_output(window, id);
    }
}

// The instrument switch's and the speed's buttons: each changes a setting and its text.
bool on_setting_button(HWND window, int id) {
    switch (id) {
        case kButtonSwitch:
            set_switch(voice_override.enabled ? 0 : 1);
            break;
        case kButtonChannel:
            set_channel(voice_override.channel >= 15 ? voice_override.channel - 15
                                                     : voice_override.channel + 1);
            break;
        case kButtonProgram:
            set_program(next_program());
            break;
        case kButtonStep:
            set_step(program_step ? 0 : 1);
            break;
        case kButtonFaster:
            set_speed(faster_speed(speed_factor));
            break;
        case kButtonSlower:
            set_speed(slower_speed(speed_factor));
            break;
        case kButtonNormalSpeed:
            set_speed(kNormalSpeed);
            break;
        default:
            return false;
    }
    refresh_window(window);
    return true;
}

void on_command(HWND window, int id) {
    if (on_setting_button(window, id)) return;
    switch (id) {
        case kButtonPlay:
            transport_play(window);
            break;
        case kCommandPause:
        case kCommandPlayOrPause:
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
        case kCommandChannels:
            toggle_channel_window();
            break;
        case kCommandLyrics:
            toggle_lyrics_window();
            break;
        case kCommandSoundFont:
            ask_for_sound_font(window);
            break;
        case kButtonStop:
            transport_stop(window);
            break;
        case kCommandOpen:
            ask_and_open_song(window);
            break;
        case kCommandNextSong:
        case kCommandPreviousSong:
            step_song_folder(window, id == kCommandNextSong ? 1 : -1,
                             playback_state() == PlayState::kPlaying);
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
            on_numbered_command(window, id);
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
            place_position_area(client_size.width);
            return 0;
        case WM_GETMINMAXINFO: {
            RECT smallest = {0, 0, kMinClientWidth, kMinClientHeight};
            AdjustWindowRect(&smallest, WS_OVERLAPPEDWINDOW, TRUE);
            auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
            limits->ptMinTrackSize = {smallest.right - smallest.left,
                                      smallest.bottom - smallest.top};
            return 0;
        }
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
            on_song_over(window, wparam);
            return 0;
        case kNextStartMessage:
            start_next_song(window);
            return 0;
        case WM_DROPFILES:
            on_dropped_files(window, reinterpret_cast<HDROP>(wparam));
            return 0;
        case WM_COPYDATA:
            return on_handed_song(window, reinterpret_cast<const COPYDATASTRUCT*>(lparam));
        case kOpenHandedSongMessage:
            on_open_handed_song(window);
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

void set_speed(double factor) {
    speed_factor = factor;
    wsprintfA(setting_texts.speed_text, "%d%%  ", speed_percent(speed_factor));
}
