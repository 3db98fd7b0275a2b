// The program's entry on Windows: the command line read in UTF-16, so that a song whose
// name the system's code page cannot hold still reaches WinMain, as the program holds
// names. Built with -municode, the C runtime calls this.

#include <string>

#include "platform/command_line.h"
#include "platform/sound_font.h"
#include "platform/synth/synth_loading.h"
#include "platform/windows/program_text.h"

namespace {

// A Play that waits for the synthesizer still lets the window paint.
void paint_while_loading() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageW(&message);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string command_line;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        append_argument(command_line, program_from_wide(arguments[i], wcslen(arguments[i])));
    }
    LocalFree(arguments);
    // The synthesizer loads while the window comes up, so that the first Play finds it.
    start_loading_synth(paint_while_loading);
    int exit_code = WinMain(instance, nullptr, command_line.data(), show);
    finish_loading_synth();
    return exit_code;
}
