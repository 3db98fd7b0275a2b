#include "ui/recent_files.h"

#include <cstring>

#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/settings.h"
#include "ui/song_opening.h"
#include "ui/window_state.h"

namespace {

constexpr char kMenuText[] = "最近使ったファイル(&R)";
constexpr char kNoneText[] = "（なし）";
constexpr char kSection[] = "Recent";
constexpr char kGone[] = "%s が見つかりません。最近使ったファイルから外します。";

HMENU recent_menu;
char recent[kRecentFiles][kPathSize];
int recent_count;

// The menu's text for song i: "&1 name", the name's own '&' doubled.
void item_text(int i, char* out, std::size_t size) {
    std::size_t at = static_cast<std::size_t>(wsprintfA(out, "&%d ", i + 1));
    for (const char* p = name_part(recent[i]); *p != '\0' && at + 2 < size; ++p) {
        if (*p == '&') out[at++] = '&';
        out[at++] = *p;
    }
    out[at] = '\0';
}

void show_recent_files() {
    for (int i = 0; i <= kRecentFiles; ++i)
        DeleteMenu(recent_menu, static_cast<UINT>(kCommandRecent + i), MF_BYCOMMAND);
    if (recent_count == 0)
        AppendMenuA(recent_menu, MF_STRING | MF_GRAYED, kCommandRecent + kRecentFiles, kNoneText);
    for (int i = 0; i < recent_count; ++i) {
        char text[kPathSize * 2 + 4];
        item_text(i, text, sizeof text);
        AppendMenuA(recent_menu, MF_STRING, static_cast<UINT_PTR>(kCommandRecent + i), text);
    }
}

// Quoted, so that the settings file keeps blanks at either end of a name.
void save_recent_files(HWND window) {
    for (int i = 0; i < kRecentFiles; ++i) {
        char key[4];
        wsprintfA(key, "%d", i + 1);
        char value[kPathSize + 3];
        if (i < recent_count) wsprintfA(value, "\"%s\"", recent[i]);
        save_setting(window, kSection, key, i < recent_count ? value : nullptr);
    }
}

void drop_recent_file(int i) {
    std::memmove(recent[i], recent[i + 1], sizeof recent[0] * (recent_count - i - 1));
    --recent_count;
}

}  // namespace

void create_recent_files_menu(HWND window) {
    recent_count = 0;
    for (int i = 0; i < kRecentFiles; ++i) {
        char key[4];
        wsprintfA(key, "%d", i + 1);
        read_setting(kSection, key, "", recent[recent_count], kPathSize);
        if (recent[recent_count][0] != '\0') ++recent_count;
    }
    recent_menu = CreatePopupMenu();
    InsertMenuA(GetSubMenu(GetMenu(window), 0), 1, MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(recent_menu), kMenuText);
    show_recent_files();
}

void remember_recent_file(HWND window, const char* path) {
    // A name the settings file cannot hold on one line is not remembered.
    if (std::strpbrk(path, "\r\n") != nullptr || std::strlen(path) >= kPathSize) return;
    for (int i = 0; i < recent_count; ++i)
        if (std::strcmp(recent[i], path) == 0) drop_recent_file(i--);
    if (recent_count == kRecentFiles) --recent_count;
    std::memmove(recent[1], recent[0], sizeof recent[0] * recent_count);
    std::memcpy(recent[0], path, std::strlen(path) + 1);
    ++recent_count;
    show_recent_files();
    save_recent_files(window);
}

bool is_recent_file_command(int id) {
    return id >= kCommandRecent && id < kCommandRecent + kRecentFiles;
}

void open_recent_file(HWND window, int id) {
    int i = id - kCommandRecent;
    if (i >= recent_count) return;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(recent[i], &found);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        char path[kPathSize];
        std::memcpy(path, recent[i], sizeof path);
        open_song_path(window, path);
        return;
    }
    show_load_warning(window, kGone, recent[i]);
    drop_recent_file(i);
    show_recent_files();
    save_recent_files(window);
}
