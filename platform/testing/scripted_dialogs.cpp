#include "platform/testing/scripted_dialogs.h"

#include <cstring>

ScriptedDialogs scripted_dialogs;

namespace {

std::string dialog_edit_text;
int dialog_edit_line = -1;
bool dialog_ended = false;
INT_PTR dialog_result = 0;

// The resource's edit line: the one control a scripted user types in.
int edit_line_of(UINT dialog_id) {
    for (int i = 0; i < program_dialog_count; ++i) {
        if (program_dialogs[i].id != dialog_id) continue;
        for (int j = 0; j < program_dialogs[i].count; ++j)
            if (std::strcmp(program_dialogs[i].items[j].class_name, "EDIT") == 0)
                return program_dialogs[i].items[j].id;
    }
    return -1;
}

}  // namespace

void ScriptedDialogs::reset() {
    *this = ScriptedDialogs();
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    scripted_dialogs.message_boxes.push_back(MessageBoxCall{
        owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type});
    ScriptedDialogs& dialogs = scripted_dialogs;
    if (++dialogs.open_message_boxes > dialogs.most_open_message_boxes)
        dialogs.most_open_message_boxes = dialogs.open_message_boxes;
    if (dialogs.while_message_box_shows) dialogs.while_message_box_shows();
    --dialogs.open_message_boxes;
    if (!scripted_dialogs.message_box_answers.empty()) {
        int answer = scripted_dialogs.message_box_answers.front();
        scripted_dialogs.message_box_answers.pop_front();
        return answer;
    }
    return (type & 0xFu) == MB_YESNO ? IDNO : IDOK;
}

// As the real dialog: a path longer than the buffer fails, its cut name left behind.
BOOL GetOpenFileNameA(LPOPENFILENAMEA request) {
    scripted_dialogs.last_error = 0;
    scripted_dialogs.open_files.push_back(OpenFileCall{*request, request->lpstrFile});
    if (scripted_dialogs.open_answers.empty()) return FALSE;
    std::string path = scripted_dialogs.open_answers.front();
    scripted_dialogs.open_answers.pop_front();
    if (path.empty()) return FALSE;
    if (path.size() >= request->nMaxFile) {
        std::memcpy(request->lpstrFile, path.data(), request->nMaxFile - 1);
        request->lpstrFile[request->nMaxFile - 1] = '\0';
        scripted_dialogs.last_error = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::memcpy(request->lpstrFile, path.c_str(), path.size() + 1);
    std::size_t slash = path.rfind('/');
    std::string title = slash == std::string::npos ? path : path.substr(slash + 1);
    if (request->lpstrFileTitle != nullptr && title.size() < request->nMaxFileTitle)
        std::memcpy(request->lpstrFileTitle, title.c_str(), title.size() + 1);
    request->nFilterIndex = scripted_dialogs.filter_index_answer;
    return TRUE;
}

DWORD CommDlgExtendedError() {
    return scripted_dialogs.last_error;
}

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR directory, int) {
    scripted_dialogs.shell_calls.push_back(ShellCall{operation != nullptr ? operation : "",
                                                     file != nullptr ? file : "",
                                                     directory != nullptr ? directory : ""});
    return reinterpret_cast<HINSTANCE>(scripted_dialogs.shell_result);
}

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR name, HWND, DLGPROC procedure, LPARAM init) {
    UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));
    HWND dialog = reinterpret_cast<HWND>(&dialog_edit_text);  // a handle of its own
    dialog_edit_text.clear();
    dialog_edit_line = edit_line_of(id);
    dialog_ended = false;
    dialog_result = 0;
    procedure(dialog, WM_INITDIALOG, 0, init);
    scripted_dialogs.dialog_boxes.push_back(DialogBoxCall{id, dialog_edit_text});
    while (!dialog_ended && !scripted_dialogs.dialog_answers.empty()) {
        dialog_edit_text = scripted_dialogs.dialog_answers.front();
        scripted_dialogs.dialog_answers.pop_front();
        procedure(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    if (!dialog_ended) procedure(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return dialog_result;
}

BOOL EndDialog(HWND, INT_PTR result) {
    dialog_ended = true;
    dialog_result = result;
    return TRUE;
}

UINT GetDlgItemTextA(HWND, int id, LPSTR text, int size) {
    if (id != dialog_edit_line || size <= 0) return 0;
    std::size_t length = dialog_edit_text.size() < static_cast<std::size_t>(size)
                             ? dialog_edit_text.size()
                             : static_cast<std::size_t>(size) - 1;
    std::memcpy(text, dialog_edit_text.data(), length);
    text[length] = '\0';
    return static_cast<UINT>(length);
}

BOOL SetDlgItemTextA(HWND, int id, LPCSTR text) {
    if (id != dialog_edit_line) return FALSE;
    dialog_edit_text = text != nullptr ? text : "";
    return TRUE;
}
