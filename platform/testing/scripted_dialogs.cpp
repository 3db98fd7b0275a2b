#include "platform/testing/scripted_dialogs.h"

#include <cstring>

ScriptedDialogs scripted_dialogs;

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
