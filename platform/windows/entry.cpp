// The program's entry on Windows: the command line read in UTF-16, so that a song whose
// name the system's code page cannot hold still reaches WinMain, as the program holds
// names. Built with -municode, the C runtime calls this.

#include <string>

#include "platform/command_line.h"
#include "platform/windows/program_text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string command_line;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        append_argument(command_line, program_from_wide(arguments[i], wcslen(arguments[i])));
    }
    LocalFree(arguments);
    return WinMain(instance, nullptr, command_line.data(), show);
}
