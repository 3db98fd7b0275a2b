#include "ui/song_opening.h"

#include <cstring>

#include "platform/cp932.h"
#include "playback/channel_mute.h"
#include "playback/speed.h"
#include "ui/main_window.h"
#include "ui/open_file_dialog.h"
#include "ui/recent_files.h"
#include "ui/transport.h"
#include "ui/window_state.h"

namespace {

constexpr char kLoadWarning[] = "ファイルを読み込めません %s!";

OpenFileDialog& open_file_dialog() {
    static OpenFileDialog dialog;
    return dialog;
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

// What every Open ends with: every channel sounding, the caption, the instruments and the
// speed as for a new song, and the song built at that speed, ready at its start (its
// instruments, channels and words shown).
void finish_open(HWND window) {
    clear_mute_and_solo();
    update_title(window, file_title);
    reset_channel_voice_table(channel_voices);
    set_speed(kNormalSpeed);
    transport_new_song(window);
    refresh_window(window);
}

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
        remember_recent_file(window, file_path);
    }
    finish_open(window);
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

}  // namespace

// The file-name part of a path, as the open dialog reports it: after the last separator
// that is not the second byte of a Shift-JIS character.
const char* name_part(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (is_cp932_lead_byte(byte)) {
            if (p[1] == '\0') break;
            ++p;
        } else if (is_path_separator(*p)) {
            name = p + 1;
        }
    }
    return name;
}

void setup_open_dialog(HWND window) {
    open_file_dialog().setup(window);
}

void ask_and_open_song(HWND window) {
    open_song(window, nullptr, 0);
}

void open_song_path(HWND window, const char* path) {
    open_song(window, path, std::strlen(path));
}

bool open_song_quietly(HWND window, const char* path) {
    static SongImage candidate;
    if (std::strlen(path) >= sizeof file_path || !load_song_file(path, candidate) ||
        !is_smf_header(view_of(candidate)))
        return false;
    transport_stop(window);
    song_image = candidate;
    copy_text(file_path, sizeof file_path, path);
    copy_text(file_title, sizeof file_title, name_part(file_path));
    song_loaded = 1;
    remember_recent_file(window, file_path);
    finish_open(window);
    return true;
}

LRESULT on_handed_song(HWND window, const COPYDATASTRUCT* data) {
    return take_handed_song(window, data);
}

void on_dropped_files(HWND window, HDROP drop) {
    open_dropped_file(window, drop);
}

void on_open_handed_song(HWND window) {
    open_handed_song(window);
}
