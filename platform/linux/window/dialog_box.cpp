// DialogBoxParamA over a QDialog built from the program's dialog resources: "STATIC"
// texts, "EDIT" lines and "BUTTON"s at their dialog-unit places, the procedure hearing
// WM_INITDIALOG and each button's WM_COMMAND as on Windows; Enter is IDOK, Escape and
// the close box IDCANCEL.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>
#include <cstring>
#include <map>
#include <string>

#include "platform/cp932.h"
#include "platform/linux/window/window_system.h"

namespace {

constexpr int kPixelsPerUnit = 2;  // the 8 x 16 system font: 4 and 8 units to its cell

std::map<HWND, INT_PTR> dialog_results;

class DialogWidget : public QDialog {
  public:
    using QDialog::QDialog;
    HWND window = nullptr;
    // Escape and the close box: IDCANCEL to the procedure, which ends the dialog or not.
    void reject() override {
        send_message(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
};

const DialogResource* find_dialog(LPCSTR name) {
    UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));
    for (int i = 0; i < program_dialog_count; ++i)
        if (program_dialogs[i].id == id) return &program_dialogs[i];
    return nullptr;
}

QWidget* new_item_widget(const DialogResourceItem& item, HWND dialog, QWidget* parent) {
    std::string class_name = item.class_name;
    QString text = text_from_cp932(item.text);
    QWidget* widget = nullptr;
    if (class_name == "EDIT") {
        widget = new QLineEdit(text, parent);
    } else if (class_name == "BUTTON") {
        auto* button = new QPushButton(text, parent);
        button->setDefault(item.id == IDOK);
        button->setAutoDefault(false);
        WPARAM command = MAKEWPARAM(item.id, BN_CLICKED);
        QObject::connect(button, &QPushButton::clicked,
                         [dialog, command] { send_message(dialog, WM_COMMAND, command, 0); });
        widget = button;
    } else {
        widget = new QLabel(text, parent);
    }
    widget->setFont(system_font());
    widget->setGeometry(item.x * kPixelsPerUnit, item.y * kPixelsPerUnit,
                        item.width * kPixelsPerUnit, item.height * kPixelsPerUnit);
    widget->setProperty(kControlIdProperty, QVariant(item.id));
    return widget;
}

QWidget* item_widget(HWND dialog, int id) {
    if (!is_window(dialog) || dialog->client == nullptr) return nullptr;
    for (QWidget* widget : dialog->client->findChildren<QWidget*>())
        if (widget->property(kControlIdProperty).toInt() == id) return widget;
    return nullptr;
}

}  // namespace

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC procedure,
                        LPARAM init) {
    const DialogResource* resource = find_dialog(name);
    if (resource == nullptr || procedure == nullptr) return -1;
    ensure_application();
    auto* widget = new DialogWidget(top_level_widget(parent));
    widget->setWindowTitle(text_from_cp932(resource->title));
    widget->setFixedSize(resource->width * kPixelsPerUnit, resource->height * kPixelsPerUnit);
    HWND dialog = new_control_window(parent, instance, widget, resource->title, procedure);
    widget->window = dialog;
    for (int i = 0; i < resource->count; ++i)
        new_item_widget(resource->items[i], dialog, widget);
    dialog_results[dialog] = 0;
    send_message(dialog, WM_INITDIALOG, 0, init);
    {
        ModalScope modal;
        widget->exec();
    }
    INT_PTR result = dialog_results[dialog];
    dialog_results.erase(dialog);
    DestroyWindow(dialog);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    auto found = dialog_results.find(dialog);
    if (found == dialog_results.end()) return FALSE;
    found->second = result;
    static_cast<QDialog*>(dialog->client)->done(0);
    return TRUE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
    QWidget* widget = item_widget(dialog, id);
    if (widget == nullptr || text == nullptr || size <= 0) return 0;
    auto* edit = dynamic_cast<QLineEdit*>(widget);
    auto* label = dynamic_cast<QLabel*>(widget);
    QString shown = edit != nullptr ? edit->text() : label != nullptr ? label->text() : QString();
    std::string bytes;
    utf8_to_cp932(shown.toStdString(), bytes);
    copy_cp932_text(bytes, text, static_cast<std::size_t>(size));
    return static_cast<UINT>(std::strlen(text));
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    QWidget* widget = item_widget(dialog, id);
    QString shown = text_from_cp932(text);
    if (auto* edit = dynamic_cast<QLineEdit*>(widget)) {
        edit->setText(shown);
        edit->selectAll();
    } else if (auto* label = dynamic_cast<QLabel*>(widget)) {
        label->setText(shown);
    } else {
        return FALSE;
    }
    return TRUE;
}
