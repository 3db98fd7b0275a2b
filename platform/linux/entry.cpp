// main on Linux: hands the command line to WinMain as Windows would.
#include <string>

#include "platform/cp932.h"
#include "platform/linux/window_system.h"

namespace {

HINSTANCE__* program_instance() {
    static char instance;
    return reinterpret_cast<HINSTANCE__*>(&instance);
}

}  // namespace

int main(int argc, char** argv) {
    ensure_application();
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        std::string argument = file_name_for_program(argv[i]);
        if (!command_line.empty()) command_line += ' ';
        command_line += argument.find(' ') != std::string::npos ? '"' + argument + '"' : argument;
    }
    return WinMain(program_instance(), nullptr, command_line.data(), SW_SHOWDEFAULT);
}
