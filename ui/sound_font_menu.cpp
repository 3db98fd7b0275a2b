#include "ui/sound_font_menu.h"

#include <cstring>

#include "platform/sound_font.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/settings.h"
#include "ui/window_state.h"

namespace {

constexpr char kItemText[] = "音色ファイル(SoundFont)(&F)…";
constexpr char kSection[] = "Output";
constexpr char kKey[] = "SoundFont";
constexpr char kFilters[] = "SoundFont (*.sf2;*.sf3)\0*.sf2;*.sf3\0All Files(*.*)\0*.*\0";
constexpr char kDlsFilters[] = "SoundFont, DLS (*.sf2;*.dls)\0*.sf2;*.dls\0All Files(*.*)\0*.*\0";
constexpr char kNotLoaded[] =
    "音色ファイル %s を読み込めません。\nSoundFont（.sf2、.sf3）ではないか、読めないファイルです。"
    "それまでの音色ファイルを使います。";
constexpr char kDlsNotLoaded[] =
    "音色ファイル %s を読み込めません。\nSoundFont（.sf2）か DLS（.dls）ではないか、読めないファイルです。"
    "それまでの音色ファイルを使います。";

char loading[kPathSize];  // the file the loader works on, for its answer

void load(HWND window, const char* path) {
    std::size_t length = std::strlen(path);
    if (length >= sizeof loading) return;
    std::memcpy(loading, path, length + 1);
    choose_sound_font(loading, window, kSoundFontLoadedMessage);
}

}  // namespace

void add_sound_font_item(HWND window, HMENU output_menu) {
    if (!sound_font_choosable()) return;
    AppendMenuA(output_menu, MF_STRING, kCommandSoundFont, kItemText);
    char remembered[kPathSize];
    read_setting(kSection, kKey, "", remembered, sizeof remembered);
    if (remembered[0] != '\0') load(window, remembered);
}

void ask_for_sound_font(HWND window) {
    char path[kPathSize];
    char title[kPathSize];
    current_sound_font(path, sizeof path);
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = window;
    request.lpstrFilter = sound_font_reads_dls() ? kDlsFilters : kFilters;
    request.lpstrTitle = "音色ファイル(SoundFont)を開く";
    request.lpstrFile = path;
    request.nMaxFile = sizeof path;
    request.lpstrFileTitle = title;
    request.nMaxFileTitle = sizeof title;
    request.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (GetOpenFileNameA(&request)) load(window, path);
}

void on_sound_font_loaded(HWND window, WPARAM loaded) {
    if (loaded) {
        save_setting(window, kSection, kKey, loading);
        return;
    }
    char text[1024];  // the most wsprintfA writes
    wsprintfA(text, sound_font_reads_dls() ? kDlsNotLoaded : kNotLoaded, loading);
    MessageBoxA(window, text, kProgramTitle, MB_ICONWARNING);
}
