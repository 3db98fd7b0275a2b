// The terminal a command-line program runs in, as each system has it: its entry, its
// width, its keys and its interrupts.
//
// Threads: the main thread calls these. The interrupts and the keys reach it as messages
// posted from threads of their own, which share nothing else with it.
#pragma once

#include <string>

#include "platform/win32.h"

// The program's entry, called by the platform's main with the arguments in UTF-8.
int cli_main(int argc, char** argv);

// A handle any thread may post to: GetMessageA on the main thread takes the message. The
// main thread asks for it first.
HWND console_message_target();
// Whether standard output is a terminal (not a file or a pipe).
bool console_is_terminal();
// The terminal's width in characters; 0 when it has none.
int console_columns();
// From now on Ctrl-C, a request to end and a closing terminal each post message to
// target instead of ending the program, so that it can finish its output first.
void post_console_interrupts(HWND target, UINT message);

enum ConsoleKey : WPARAM { kKeySpace = 1, kKeyLeft, kKeyRight };

// While it lives, standard input (when a terminal) gives keys without Enter or echo, each
// posted as message to target with the key as wParam; the terminal's mode comes back after.
class ConsoleKeys {
  public:
    ConsoleKeys(HWND target, UINT message);
    ~ConsoleKeys();
    ConsoleKeys(const ConsoleKeys&) = delete;
    ConsoleKeys& operator=(const ConsoleKeys&) = delete;

  private:
    bool raw_;
};
