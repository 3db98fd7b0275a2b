#include "ui/song_folder.h"

#include <algorithm>
#include <cstring>

#include "ui/main_window.h"
#include "ui/song_opening.h"
#include "ui/transport.h"
#include "ui/window_state.h"

namespace {

constexpr char kNoSong[] = "%s に再生できる曲がありません。";
const char* const kSongEndings[] = {".mid", ".midi", ".kar", ".rmi"};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The order, names equal but for case by their bytes, so that it is total.
bool comes_before(const std::string& a, const std::string& b) {
    int order = compare_song_names(a.c_str(), b.c_str());
    return order != 0 ? order < 0 : a < b;
}

}  // namespace

bool is_song_file_name(const char* name) {
    std::size_t length = std::strlen(name);
    for (const char* ending : kSongEndings) {
        std::size_t n = std::strlen(ending);
        if (length <= n) continue;
        bool same = true;
        for (std::size_t i = 0; i < n && same; ++i)
            same = lower(name[length - n + i]) == ending[i];
        if (same) return true;
    }
    return false;
}

int compare_song_names(const char* a, const char* b) {
    while (*a != '\0' && *b != '\0') {
        if (is_digit(*a) && is_digit(*b)) {
            // Numbers by value: without their leading zeros, the longer is larger.
            while (*a == '0' && is_digit(a[1]))
                ++a;
            while (*b == '0' && is_digit(b[1]))
                ++b;
            std::size_t da = 0, db = 0;
            while (is_digit(a[da]))
                ++da;
            while (is_digit(b[db]))
                ++db;
            if (da != db) return da < db ? -1 : 1;
            if (int order = std::strncmp(a, b, da)) return order;
            a += da;
            b += db;
            continue;
        }
        auto ca = static_cast<unsigned char>(lower(*a));
        auto cb = static_cast<unsigned char>(lower(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        ++a;
        ++b;
    }
    if (*a != *b) return *a == '\0' ? -1 : 1;
    return 0;
}

std::vector<std::string> folder_songs(const char* folder) {
    std::vector<std::string> songs;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((std::string(folder) + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return songs;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            is_song_file_name(found.cFileName))
            songs.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(songs.begin(), songs.end(), comes_before);
    return songs;
}

bool step_song_folder(HWND window, int step, bool play) {
    if (file_path[0] == '\0') return false;
    std::string folder(file_path, static_cast<std::size_t>(name_part(file_path) - file_path));
    std::string current = name_part(file_path);
    std::vector<std::string> songs = folder_songs(folder.c_str());
    auto n = static_cast<int>(songs.size());
    // Where the current song stands in the order, found or not (it may be gone).
    int at = 0;
    while (at < n && comes_before(songs[at], current))
        ++at;
    bool listed = at < n && songs[at] == current;
    int first = step > 0 ? (listed ? at + 1 : at) : at - 1;
    for (int tried = 0; tried < n; ++tried) {
        int i = ((first + step * tried) % n + n) % n;
        if (!open_song_quietly(window, (folder + songs[i]).c_str())) continue;
        if (play) transport_play(window);
        return true;
    }
    show_load_warning(window, kNoSong, folder.c_str());
    return false;
}
