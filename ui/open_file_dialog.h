// The file-open request: one OPENFILENAMEA that lives for the whole run, so the filter
// last in use carries over to the next Open.
#pragma once

#include "platform/win32.h"

class OpenFileDialog {
  public:
    void setup(HWND owner);
    // Runs the dialog; nonzero when the user confirmed a file.
    BOOL choose(HWND owner, char* path, char* title);

  private:
    OPENFILENAMEA request_;
};
