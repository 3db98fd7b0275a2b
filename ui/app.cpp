// The program's entry: the window class, the main window and the message loop.
#include "ui/app.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "ui/main_window.h"
#include "ui/resource_ids.h"
#include "ui/song_opening.h"

namespace {

constexpr int kWindowWidth = 820;
constexpr int kWindowHeight = 520;
constexpr char kInstanceName[] = "Lumaroth.OneWindow";
constexpr int kHandOverTries = 50;
constexpr DWORD kHandOverWait = 100;     // ms
constexpr UINT kHandOverTimeout = 5000;  // ms; the window answers at once, or is stuck

// The song named on the command line, without the quotes a shell or file manager puts
// around a name with blanks; empty when none was given. A name too long for the program
// comes out one byte longer than it holds, for the Open steps to refuse.
void command_line_song(const char* command_line, char* path) {
    std::size_t length = std::strlen(command_line);
    while (length > 0 && command_line[length - 1] == ' ')
        --length;
    while (length > 0 && *command_line == ' ') {
        ++command_line;
        --length;
    }
    if (length >= 2 && command_line[0] == '"' && command_line[length - 1] == '"') {
        ++command_line;
        length -= 2;
    }
    if (length > MAX_PATH) length = MAX_PATH;
    std::memcpy(path, command_line, length);
    path[length] = '\0';
}

// The song's name as the running window, in a folder of its own, must read it.
std::string absolute_name(const char* song) {
    DWORD size = GetFullPathNameA(song, 0, nullptr, nullptr);
    std::string name(size, '\0');
    DWORD length = size > 0 ? GetFullPathNameA(song, size, &name[0], nullptr) : 0;
    if (length == 0 || length >= size) return song;
    name.resize(length);
    return name;
}

enum class HandOver { kDone, kNoWindow, kNotTaken };

// A second start hands its song to the running window and brings that to the front.
HandOver hand_over_to_running_window(const char* song) {
    HWND running = nullptr;
    // The other start may still be creating its window.
    for (int tries = 0; running == nullptr && tries < kHandOverTries; ++tries) {
        running = FindWindowA(kWindowClass, nullptr);
        if (running == nullptr) Sleep(kHandOverWait);
    }
    if (running == nullptr) return HandOver::kNoWindow;
    if (song[0] != '\0') {
        std::string name = absolute_name(song);
        COPYDATASTRUCT data = {kHandedSong, static_cast<DWORD>(name.size() + 1), &name[0]};
        DWORD_PTR taken = 0;
        if (!SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                 SMTO_ABORTIFHUNG, kHandOverTimeout, &taken) ||
            !taken)
            return HandOver::kNotTaken;
    }
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    return HandOver::kDone;
}

}  // namespace

HWND create_main_window(HINSTANCE instance, int show) {
    // The seek bar is the common controls' trackbar.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = main_window_proc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW + 1));
    window_class.lpszMenuName = MAKEINTRESOURCEA(kMenuResource);
    window_class.lpszClassName = kWindowClass;
    window_class.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    RegisterClassExA(&window_class);

    HWND window =
        CreateWindowExA(0, kWindowClass, nullptr, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    return window;
}

int run_message_loop(HWND window, HINSTANCE instance) {
    HACCEL keys = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(kAcceleratorResource));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (TranslateAcceleratorA(window, keys, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
    char song[MAX_PATH + 1];
    command_line_song(command_line != nullptr ? command_line : "", song);
    // One Lumaroth at a time: the system drops the name with the process.
    CreateMutexA(nullptr, FALSE, kInstanceName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        switch (hand_over_to_running_window(song)) {
            case HandOver::kDone:
                return 0;
            case HandOver::kNotTaken:
                std::fputs(
                    "lumaroth: the running Lumaroth did not answer: the song was not opened\n",
                    stderr);
                return 1;
            case HandOver::kNoWindow:
                break;
        }
    }

    HWND window = create_main_window(instance, show);
    if (song[0] != '\0') open_song_path(window, song);
    return run_message_loop(window, instance);
}
