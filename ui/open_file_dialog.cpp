#include "ui/open_file_dialog.h"

#include <cstring>

namespace {

// Pairs of description and pattern, the list ended by an empty string.
const char kFilters[] =
    "Standard MIDI Files(*.MID)\0*.mid;*.midi;*.kar;*.rmi\0Text Files(*.TXT)\0*.txt\0All Files(*.*)\0*.*\0";

}  // namespace

void OpenFileDialog::setup(HWND owner) {
    std::memset(&request_, 0, sizeof request_);
    request_.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request_.hwndOwner = owner;
    request_.lpstrFilter = kFilters;
    request_.nMaxFile = MAX_PATH;
    request_.nMaxFileTitle = MAX_PATH;
    request_.lpstrDefExt = "TEXT";
}

BOOL OpenFileDialog::choose(HWND owner, char* path, char* title) {
    request_.hwndOwner = owner;
    request_.lpstrFile = path;
    request_.lpstrFileTitle = title;
    request_.Flags = OFN_HIDEREADONLY | OFN_CREATEPROMPT;
    return GetOpenFileNameA(&request_);
}
