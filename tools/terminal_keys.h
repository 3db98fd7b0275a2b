// The keys of play on a terminal: Space, Left and Right, read as they are pressed and
// posted to the terminal's message queue.
//
// Threads: a reader thread of its own blocks on standard input and shares nothing with
// the main thread but the message queue (PostMessageA is safe from any thread); the
// terminal's mode is set and restored by the main thread.
#pragma once

#include "platform/win32.h"

enum TerminalKey : WPARAM { kKeySpace = 1, kKeyLeft, kKeyRight };

// While it lives, standard input (when a terminal) gives keys without Enter or echo, each
// posted as message to window with the key as wParam; the terminal's mode comes back after.
class TerminalKeys {
  public:
    TerminalKeys(HWND window, UINT message);
    ~TerminalKeys();
    TerminalKeys(const TerminalKeys&) = delete;
    TerminalKeys& operator=(const TerminalKeys&) = delete;

  private:
    bool raw_;
};
