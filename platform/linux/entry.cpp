// main on Linux: hands the command line to WinMain as Windows would.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/command_line.h"
#include "platform/cp932.h"
#include "platform/linux/synth.h"
#include "platform/linux/window/window_system.h"

namespace {

HINSTANCE__* program_instance() {
    static char instance;
    return reinterpret_cast<HINSTANCE__*>(&instance);
}

// Qt aborts the process when its platform finds no display; say so instead.
bool has_display() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!has_display()) {
        std::fputs("lumaroth: cannot open a display: set DISPLAY or run from a desktop session\n",
                   stderr);
        return 1;
    }
    ensure_application();
    // The synthesizer loads while the window comes up, so that the first Play finds it.
    start_loading_synth(keep_painting);
    std::string command_line;
    for (int i = 1; i < argc; ++i)
        append_argument(command_line, file_name_for_program(argv[i]));
    int exit_code = WinMain(program_instance(), nullptr, command_line.data(), SW_SHOWDEFAULT);
    finish_loading_synth();
    return exit_code;
}
