// Files dropped on a window that accepts them: WM_DROPFILES with the names as the
// program holds names.
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/linux/window/window_system.h"

struct HDROP__ {
    std::vector<std::string> names;
};

bool holds_local_files(const QMimeData* data) {
    if (data == nullptr) return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return true;
    return false;
}

void post_dropped_files(HWND window, const QMimeData* data) {
    if (!holds_local_files(data)) return;
    auto* drop = new HDROP__;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            drop->names.push_back(
                file_name_for_program(QFile::encodeName(url.toLocalFile()).toStdString()));
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

void DragAcceptFiles(HWND window, BOOL accept) {
    if (is_window(window) && window->frame != nullptr)
        window->frame->setAcceptDrops(accept != FALSE);
}

// As on Windows: the count for index 0xFFFFFFFF, a name's length without a buffer, else
// the name cut at a character to the buffer and the bytes copied.
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size) {
    if (drop == nullptr) return 0;
    if (index == 0xFFFFFFFFu) return static_cast<UINT>(drop->names.size());
    if (index >= drop->names.size()) return 0;
    const std::string& name = drop->names[index];
    if (file == nullptr) return static_cast<UINT>(name.size());
    if (size == 0) return 0;
    copy_cp932_text(name, file, size);
    return static_cast<UINT>(std::strlen(file));
}

void DragFinish(HDROP drop) {
    delete drop;
}
