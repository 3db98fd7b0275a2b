// Answers the real Qt dialogs in tests, as a user would: it waits for the next modal
// dialog, notes what it shows, and presses a button or types a file name.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum class DialogAction { Accept, Cancel, Yes, No };

struct DialogAnswer {
    DialogAction action;
    std::string file_name;           // a file dialog or a dialog box: typed before Accept (UTF-8)
    int filter_index = -1;           // a file dialog: the filter chosen, from 0
    std::function<void()> on_shown;  // run once when the dialog is up
    std::function<bool()> ready;     // the answer waits until this holds
};

struct SeenDialog {
    std::string kind;  // "message", "file" or "dialog" (a dialog box with an edit line)
    std::string title;
    std::string text;                  // a message box's text, a dialog box's edit line
    std::vector<std::string> buttons;  // a message box's buttons, as they read
    std::vector<std::string> filters;  // a file dialog's filters
    int filter_index = -1;             // the filter in force when it opened
};

// Queues the answer to the next modal dialog to appear.
void answer_next_dialog(DialogAnswer answer);
const std::vector<SeenDialog>& seen_dialogs();
void forget_seen_dialogs();
