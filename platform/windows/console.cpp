// The terminal on Windows: a console. Arguments come in UTF-16 and reach the program as
// UTF-8, which the console shows as such; its escape sequences (the live line's) are on.
#include "platform/console.h"

#include <io.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/windows/program_text.h"

namespace {

// Lets Ctrl-C and the console's closing post their message; the Windows calls are
// reached from the handler's own thread.
HWND interrupt_target = nullptr;
UINT interrupt_message = 0;
HANDLE key_input = nullptr;
DWORD saved_input_mode = 0;

// The system ends the program once this returns from a closing console: the main thread
// has that long to finish its output first.
BOOL WINAPI on_console_event(DWORD event) {
    PostMessageA(interrupt_target, interrupt_message, event + 1, 0);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(4000);
    return TRUE;
}

void read_keys(HWND target, UINT message) {
    INPUT_RECORD record;
    DWORD count = 0;
    while (ReadConsoleInputW(key_input, &record, 1, &count) && count == 1) {
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
        WORD code = record.Event.KeyEvent.wVirtualKeyCode;
        WPARAM key = 0;
        if (code == VK_SPACE) key = kKeySpace;
        if (code == VK_LEFT) key = kKeyLeft;
        if (code == VK_RIGHT) key = kKeyRight;
        if (key != 0) PostMessageA(target, message, key, 0);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode))
        SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(utf8_from_wide(argv[i]));
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    return cli_main(argc, pointers.data());
}

// A message-only window of the main thread: the timer's and the readers' threads post to
// it, and the main thread's GetMessageA takes what they post.
HWND console_message_target() {
    static HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return window;
}

bool console_is_terminal() {
    return _isatty(_fileno(stdout)) != 0;
}

int console_columns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void post_console_interrupts(HWND target, UINT message) {
    interrupt_target = target;
    interrupt_message = message;
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

ConsoleKeys::ConsoleKeys(HWND target, UINT message) : raw_(false) {
    key_input = GetStdHandle(STD_INPUT_HANDLE);
    if (!GetConsoleMode(key_input, &saved_input_mode)) return;
    // Ctrl-C still interrupts.
    DWORD raw = saved_input_mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT);
    raw_ = SetConsoleMode(key_input, raw) != 0;
    // The reader waits until a key comes; it ends with the program.
    if (raw_) std::thread(read_keys, target, message).detach();
}

ConsoleKeys::~ConsoleKeys() {
    if (raw_) SetConsoleMode(key_input, saved_input_mode);
}
