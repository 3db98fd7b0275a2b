// main on Linux: hands the command line to WinMain as Windows would.
#include <QtGlobal>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/command_line.h"
#include "platform/cp932.h"
#include "platform/linux/window/window_system.h"
#include "platform/sound_font.h"
#include "platform/synth/synth_loading.h"
#include "platform/wav_output.h"

namespace {

constexpr char kNoDisplay[] =
    "lumaroth: cannot open a display: set DISPLAY or run from a desktop session\n";

HINSTANCE__* program_instance() {
    static char instance;
    return reinterpret_cast<HINSTANCE__*>(&instance);
}

bool has_display() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

// What Qt says while it connects to the display: held back, for when it fails it says it
// in several lines and aborts, where one line of ours says enough.
QtMessageHandler qt_handler = nullptr;
std::vector<std::pair<QtMsgType, QString>> held_messages;

void hold_or_say_no_display(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) {
        held_messages.emplace_back(type, text);
        return;
    }
    std::fputs(kNoDisplay, stderr);
    std::_Exit(1);
}

void start_application() {
    qt_handler = qInstallMessageHandler(hold_or_say_no_display);
    ensure_application();
    qInstallMessageHandler(qt_handler);
    for (const auto& [type, text] : held_messages)
        qt_handler(type, QMessageLogContext(), text);
    held_messages.clear();
}

void start_loading_synth_for_window() {
    // The synthesizer loads while the window comes up, so that the first Play finds it.
    start_loading_synth(keep_painting);
}

}  // namespace

int main(int argc, char** argv) {
    if (!has_display()) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    // A file-size limit fails the write that crosses it, which is then said.
    std::signal(SIGXFSZ, SIG_IGN);
    start_application();
    // A start that only hands its song to the running window never loads it.
    when_first_window_is_created(start_loading_synth_for_window);
    std::string command_line;
    for (int i = 1; i < argc; ++i)
        append_argument(command_line, file_name_for_program(argv[i]));
    int exit_code = WinMain(program_instance(), nullptr, command_line.data(), SW_SHOWDEFAULT);
    finish_loading_synth();
    // A WAV file that could not be written (a full disk, a size limit) stopped the sound.
    std::string failure = synth_output_failure();
    if (!failure.empty()) std::fprintf(stderr, "lumaroth: MIDI output: %s\n", failure.c_str());
    return exit_code;
}
