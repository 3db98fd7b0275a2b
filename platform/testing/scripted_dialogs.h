// What window tests link instead of the real dialogs: MessageBoxA, GetOpenFileNameA,
// DialogBoxParamA and ShellExecuteA answer from a script and record how they were called.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

struct MessageBoxCall {
    HWND owner;
    std::string text;  // Shift-JIS
    std::string caption;
    UINT type;
};

struct OpenFileCall {
    OPENFILENAMEA request;     // as the program passed it
    std::string initial_file;  // what lpstrFile held
};

struct ShellCall {
    std::string operation;
    std::string file;
    std::string directory;
};

// A dialog box from the resources, and the text its edit line held when it showed.
struct DialogBoxCall {
    UINT id;
    std::string initial_text;  // Shift-JIS
};

struct ScriptedDialogs {
    std::vector<DialogBoxCall> dialog_boxes;
    // What the user types in a dialog box's edit line before OK, try by try; when none
    // is left the dialog is cancelled.
    std::deque<std::string> dialog_answers;
    std::vector<MessageBoxCall> message_boxes;
    std::vector<OpenFileCall> open_files;
    std::vector<ShellCall> shell_calls;
    std::deque<int> message_box_answers;  // when empty: IDOK, or IDNO for MB_YESNO
    // Each Open's answer: a path the user confirms, or an empty string for Cancel;
    // when none is left the dialog is cancelled.
    std::deque<std::string> open_answers;
    DWORD filter_index_answer = 1;
    UINT_PTR shell_result = 42;
    DWORD last_error = 0;  // CommDlgExtendedError's answer
    // What happens while a message box shows, as its own loop would let it happen.
    std::function<void()> while_message_box_shows;
    int open_message_boxes = 0;
    int most_open_message_boxes = 0;  // boxes shown one inside another at the most

    void reset();
};
extern ScriptedDialogs scripted_dialogs;
