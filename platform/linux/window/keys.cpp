// The keyboard: keys pressed on the program's windows become WM_KEYDOWN and WM_CHAR in
// the message queue, and the accelerator table turns them into commands.
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

#include "platform/linux/window/window_system.h"

namespace {

// X11's and Wayland's key codes of the digit row, 1 to 9 then 0 (evdev's, plus 8).
constexpr quint32 kFirstDigitScanCode = 10;

WPARAM virtual_key(int key, quint32 scan_code) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<WPARAM>(key);  // Windows' codes are the same characters
    // With Shift a digit key types a sign ('!', '"'...), which depends on the layout;
    // Windows names the key itself.
    if (scan_code >= kFirstDigitScanCode && scan_code < kFirstDigitScanCode + 10)
        return scan_code == kFirstDigitScanCode + 9 ? '0' : '1' + (scan_code - kFirstDigitScanCode);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    if (key == Qt::Key_Space) return VK_SPACE;
    if (key == Qt::Key_Escape) return VK_ESCAPE;
    if (key == Qt::Key_Left) return VK_LEFT;
    if (key == Qt::Key_Right) return VK_RIGHT;
    if (key == Qt::Key_Home) return VK_HOME;
    if (key == Qt::Key_PageUp) return VK_PRIOR;
    if (key == Qt::Key_PageDown) return VK_NEXT;
    if (key == Qt::Key_Up) return VK_UP;
    if (key == Qt::Key_Down) return VK_DOWN;
    return 0;
}

bool matches(const ACCEL& key, WPARAM code, BYTE held) {
    return (key.fVirt & FVIRTKEY) != 0 && key.key == code &&
           (key.fVirt & (FSHIFT | FCONTROL | FALT)) == held;
}

BYTE held_keys(LPARAM bits) {
    return ((bits & kKeyControlBit) ? FCONTROL : 0) | ((bits & kKeyShiftBit) ? FSHIFT : 0);
}

// Whether the key is a command of the program's: Windows then types no character for it,
// its accelerator having taken the key before TranslateMessage would make one.
bool is_command_key(WPARAM code, LPARAM held) {
    for (int t = 0; t < program_accelerator_count; ++t)
        for (int i = 0; i < program_accelerators[t].count; ++i)
            if (matches(program_accelerators[t].entries[i], code, held_keys(held))) return true;
    return false;
}

// Takes the keys from Qt, so that a focused button does not also click on Space: on
// Windows the accelerator takes the key before the button sees it.
class KeyForwarder : public QObject {
  public:
    KeyForwarder(HWND window, QObject* parent) : QObject(parent), window_(window) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return false;
        WPARAM code = virtual_key(key->key(), key->nativeScanCode());
        QString text = key->text();
        if (code == 0 && text.isEmpty()) return false;  // Shift alone, say
        LPARAM held = ((key->modifiers() & Qt::ControlModifier) ? kKeyControlBit : 0) |
                      ((key->modifiers() & Qt::ShiftModifier) ? kKeyShiftBit : 0);
        if (code != 0) PostMessageA(window_, WM_KEYDOWN, code, held | 1);
        if (text.size() == 1 && !(code != 0 && is_command_key(code, held)))
            PostMessageA(window_, WM_CHAR, text[0].unicode(), held | 1);
        return true;
    }

  private:
    HWND window_;
};

}  // namespace

void forward_keys(QWidget* widget, HWND window) {
    widget->installEventFilter(new KeyForwarder(window, widget));
}

HACCEL LoadAcceleratorsA(HINSTANCE, LPCSTR name) {
    UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));
    for (int i = 0; i < program_accelerator_count; ++i)
        if (program_accelerators[i].id == id)
            return reinterpret_cast<HACCEL>(
                const_cast<AcceleratorResource*>(&program_accelerators[i]));
    return nullptr;
}

int TranslateAcceleratorA(HWND window, HACCEL table, LPMSG msg) {
    if (!is_window(window) || table == nullptr || msg == nullptr) return 0;
    if (msg->message != WM_KEYDOWN && msg->message != WM_CHAR) return 0;
    const auto* keys = reinterpret_cast<const AcceleratorResource*>(table);
    BYTE held = held_keys(msg->lParam);
    for (int i = 0; i < keys->count; ++i) {
        const ACCEL& key = keys->entries[i];
        bool virtual_key = (key.fVirt & FVIRTKEY) != 0;
        bool hit = virtual_key ? msg->message == WM_KEYDOWN && matches(key, msg->wParam, held)
                               : msg->message == WM_CHAR && key.key == msg->wParam;
        if (!hit) continue;
        if (!menu_item_greyed(window, key.cmd))
            send_message(window, WM_COMMAND, MAKEWPARAM(key.cmd, 1), 0);
        return 1;
    }
    return 0;
}
