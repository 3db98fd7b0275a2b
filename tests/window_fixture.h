// The main window on the test doubles: the recording MIDI output, the driven timer and
// scripted dialogs, headless (Qt's offscreen platform).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/test_platform.h"
#include "platform/testing/window_probe.h"
#include "platform/win32.h"
#include "tests/smf_bytes.h"

class MainWindowTest : public ::testing::Test {
  public:
    void SetUp() override;
    void TearDown() override;

    void command(int id);
    // Ends the program and starts it again, as a user would.
    void start_again();
    // The same, with a settings file holding these lines.
    void start_again_with_settings(const std::string& lines);
    // The bytes of the last text drawn at (x, y), or "<none>".
    std::string drawn_at(int x, int y) const;
    // Opens the file through the Open command, the dialog answering with path.
    void open_file(const std::string& path);

    HWND window = nullptr;
};

// The messages the keys, the controls and the timers posted, handled as the program's loop
// handles them.
void run_loop(HWND window);

// A song whose first twelve channels each select a program: every listing line is full.
Bytes twelve_instrument_song();
// The demo song that comes with the project.
std::string demo_song_path();
