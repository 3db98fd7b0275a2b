#include "platform/console.h"

#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

namespace {

termios saved_mode;

// Space, and the arrows as a terminal sends them: ESC [ C and ESC [ D (or ESC O C/D).
void read_keys(HWND target, UINT message) {
    int escape = 0;  // bytes of an arrow's sequence seen
    unsigned char byte = 0;
    while (read(STDIN_FILENO, &byte, 1) == 1) {
        WPARAM key = 0;
        if (escape == 2 && (byte == 'C' || byte == 'D')) key = byte == 'C' ? kKeyRight : kKeyLeft;
        if (escape == 0 && byte == ' ') key = kKeySpace;
        escape = byte == 0x1B ? 1 : escape == 1 && (byte == '[' || byte == 'O') ? 2 : 0;
        if (key != 0) PostMessageA(target, message, key, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit then fails a write, as a full disk does, instead of ending us.
    signal(SIGXFSZ, SIG_IGN);
    return cli_main(argc, argv);
}

// The message queue takes any handle: the terminal has no window.
HWND console_message_target() {
    return reinterpret_cast<HWND>(1);
}

bool console_is_terminal() {
    return isatty(STDOUT_FILENO) == 1;
}

int console_columns() {
    winsize size = {};
    return ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

// The signals are blocked on every thread (the ones started later inherit it) and a
// thread of their own waits for them.
void post_console_interrupts(HWND target, UINT message) {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals, target, message] {
        int signal = 0;
        while (sigwait(&signals, &signal) == 0)
            PostMessageA(target, message, static_cast<WPARAM>(signal), 0);
    }).detach();
}

ConsoleKeys::ConsoleKeys(HWND target, UINT message) : raw_(false) {
    // A background job must not take the terminal: setting its mode would stop it (SIGTTOU).
    if (isatty(STDIN_FILENO) != 1 || tcgetpgrp(STDIN_FILENO) != getpgrp() ||
        tcgetattr(STDIN_FILENO, &saved_mode) != 0)
        return;
    termios raw = saved_mode;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);  // Ctrl-C still interrupts
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    raw_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    // The reader blocks until a key comes; it ends with the program.
    if (raw_) std::thread(read_keys, target, message).detach();
}

ConsoleKeys::~ConsoleKeys() {
    if (!raw_) return;
    // Sent to the background meanwhile, the program still gives the terminal its mode back
    // rather than stopping on the way out.
    struct sigaction ignore = {};
    struct sigaction previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGTTOU, &ignore, &previous);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_mode);
    sigaction(SIGTTOU, &previous, nullptr);
}
