// MessageBoxA, GetOpenFileNameA and ShellExecuteA: Qt's own message box and file
// dialog, and the desktop's opener.
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QStringList>
#include <QTreeView>
#include <QUrl>
#include <cstring>
#include <string>

#include "platform/cp932.h"
#include "platform/linux/window/window_system.h"

namespace {

DWORD last_dialog_error = 0;

// Windows matches "*.mid" against "SONG.MID" too.
QString case_blind_pattern(const QString& pattern) {
    QString blind;
    for (QChar c : pattern) {
        if (c.isLetter())
            blind += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            blind += c;
    }
    return blind;
}

// The Windows filter pairs, a description and its patterns, shown by their description.
QStringList name_filters(LPCSTR filter) {
    QStringList filters;
    while (filter != nullptr && *filter != '\0') {
        const char* patterns = filter + std::strlen(filter) + 1;
        if (*patterns == '\0') break;
        QStringList blind;
        for (const QString& pattern :
             text_from_cp932(patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            blind += case_blind_pattern(pattern.trimmed());
        filters += text_from_cp932(filter) + QStringLiteral(u" (") + blind.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
        filter = patterns + std::strlen(patterns) + 1;
    }
    return filters;
}

// Which filter is in force: the dialog names it without its patterns.
int filter_index(const QStringList& filters, const QString& selected) {
    for (int i = 0; i < filters.size(); ++i)
        if (filters[i] == selected || filters[i].startsWith(selected + QStringLiteral(u" (")))
            return i;
    return 0;
}

std::string program_name(const QString& path) {
    return file_name_for_program(QFile::encodeName(path).toStdString());
}

QString local_name(const char* program_name) {
    return QFile::decodeName(QByteArray::fromStdString(file_system_name(program_name)));
}

bool confirm_create(HWND owner, const QString& path) {
    std::string name = program_name(QFileInfo(path).fileName());
    std::string text = name + "\nこのファイルは存在しません。\nファイルを作成しますか?";
    return MessageBoxA(owner, text.c_str(), "開く", MB_YESNO | MB_ICONWARNING) == IDYES;
}

// Writes the chosen name into the request's buffers; false when the path does not fit,
// as Windows fails with a buffer too small.
// The detail view's size, type and date columns as wide as their headings and contents
// in the program's font; the name takes the rest.
void show_columns_whole(QFileDialog& dialog) {
    dialog.resize(760, 460);
    auto* details = dialog.findChild<QTreeView*>();
    if (details == nullptr) return;
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

bool report_choice(LPOPENFILENAMEA request, const QString& path) {
    std::string full = program_name(path);
    if (full.size() >= request->nMaxFile) {
        std::memcpy(request->lpstrFile, full.data(), request->nMaxFile - 1);
        request->lpstrFile[request->nMaxFile - 1] = '\0';
        last_dialog_error = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::memcpy(request->lpstrFile, full.c_str(), full.size() + 1);
    std::size_t name_at = full.rfind('/') == std::string::npos ? 0 : full.rfind('/') + 1;
    std::string title = full.substr(name_at);
    if (request->lpstrFileTitle != nullptr && request->nMaxFileTitle > 0) {
        std::size_t copied =
            title.size() < request->nMaxFileTitle ? title.size() : request->nMaxFileTitle - 1;
        std::memcpy(request->lpstrFileTitle, title.data(), copied);
        request->lpstrFileTitle[copied] = '\0';
    }
    std::size_t dot = title.rfind('.');
    request->nFileOffset = static_cast<WORD>(name_at);
    request->nFileExtension = static_cast<WORD>(dot == std::string::npos ? 0 : name_at + dot + 1);
    return true;
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    ensure_application();
    QMessageBox box(top_level_widget(owner));
    box.setWindowTitle(text_from_cp932(caption != nullptr ? caption : "エラー"));
    box.setText(text_from_cp932(text));
    box.setFont(system_font());
    if (type & MB_ICONWARNING) box.setIcon(QMessageBox::Warning);
    bool yes_no = (type & 0xFu) == MB_YESNO;
    box.setStandardButtons(yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    ModalScope modal;
    int answer = box.exec();
    if (yes_no) return answer == QMessageBox::Yes ? IDYES : IDNO;
    return IDOK;
}

DWORD CommDlgExtendedError() {
    return last_dialog_error;
}

BOOL GetOpenFileNameA(LPOPENFILENAMEA request) {
    last_dialog_error = 0;
    if (request == nullptr || request->lpstrFile == nullptr || request->nMaxFile == 0) return FALSE;
    ensure_application();
    QFileDialog dialog(top_level_widget(request->hwndOwner),
                       request->lpstrTitle != nullptr ? text_from_cp932(request->lpstrTitle)
                                                      : QStringLiteral(u"開く"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist may be typed: OFN_CREATEPROMPT asks about it below; with
    // OFN_FILEMUSTEXIST the dialog takes only a file that is there.
    dialog.setFileMode((request->Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
    QStringList filters = name_filters(request->lpstrFilter);
    dialog.setNameFilters(filters);
    DWORD index = request->nFilterIndex > 0 ? request->nFilterIndex - 1 : 0;
    if (index < static_cast<DWORD>(filters.size()))
        dialog.selectNameFilter(filters[static_cast<int>(index)]);
    if (request->lpstrInitialDir != nullptr)
        dialog.setDirectory(local_name(request->lpstrInitialDir));
    show_columns_whole(dialog);
    request->lpstrFile[request->nMaxFile - 1] = '\0';
    QString initial = local_name(request->lpstrFile);
    if (!initial.isEmpty()) dialog.selectFile(initial);

    ModalScope modal;
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        QString path = dialog.selectedFiles().first();
        request->nFilterIndex =
            static_cast<DWORD>(filter_index(filters, dialog.selectedNameFilter()) + 1);
        if (QFileInfo(path).isDir()) continue;
        if (!QFileInfo::exists(path) && (request->Flags & OFN_CREATEPROMPT) &&
            !confirm_create(request->hwndOwner, path))
            continue;
        return report_choice(request, path) ? TRUE : FALSE;
    }
    return FALSE;
}

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR, LPCSTR directory, int) {
    constexpr UINT_PTR kFileNotFound = 2;
    constexpr UINT_PTR kNoAssociation = 31;
    constexpr UINT_PTR kStarted = 42;
    if (file == nullptr || (operation != nullptr && std::strcmp(operation, "open") != 0))
        return reinterpret_cast<HINSTANCE>(kNoAssociation);
    std::string path = file;
    if (path.empty() || (path[0] != '/' && directory != nullptr && directory[0] != '\0')) {
        std::string folder = directory != nullptr ? directory : "";
        if (!folder.empty() && folder.back() != '/') folder += '/';
        path = folder + path;
    }
    QString local = local_name(path.c_str());
    if (!QFileInfo::exists(local)) return reinterpret_cast<HINSTANCE>(kFileNotFound);
    ensure_application();
    bool opened =
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(local).absoluteFilePath()));
    return reinterpret_cast<HINSTANCE>(opened ? kStarted : kNoAssociation);
}
