// What the Linux window layer's files share: the records behind HWND, HDC and pens, the
// one QApplication, and the conversion of the program's Shift-JIS texts for Qt.
#pragma once

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QString>
#include <string>

#include "platform/win32.h"

class QWidget;

// The property of a "BUTTON"'s widget that holds its control id.
constexpr char kControlIdProperty[] = "control_id";

struct HWND__ {
    WNDPROC procedure;  // nullptr for a "BUTTON"
    HINSTANCE instance;
    UINT class_style;
    COLORREF background;  // the class brush's colour
    HWND parent;
    QWidget* frame;   // a top-level window's outer widget; nullptr for a child
    QWidget* client;  // the client area (a child: the control itself)
    QImage backing;   // what the client area shows
    bool invalid;
    bool erase;
    std::string caption;     // Shift-JIS, as SetWindowTextA got it
    std::string class_name;  // a top-level window's
    HMENU menu;              // a top-level window's menu bar, or nullptr
    HWND owner;              // a top-level window's owner, destroyed with it, or nullptr
    bool hidden_with_owner;  // out of sight while its owner is minimised
};

struct HICON__ {
    QIcon icon;
};

struct HDC__ {
    HWND window;
    QPainter painter;
    COLORREF background;
    HPEN pen;
    POINT position;
};

struct HGDIOBJ__ {
    int style;
    int width;
    COLORREF color;
};

// windows.cpp: the record of a child control or dialog whose widget the caller made.
HWND new_control_window(HWND parent, HINSTANCE instance, QWidget* widget, LPCSTR text,
                        WNDPROC procedure = nullptr);
// controls.cpp: a child of the trackbar's or the "STATIC" class, or nullptr for another;
// and the end of a window's timers, as it goes.
HWND create_control(LPCSTR class_name, LPCSTR text, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance);
void kill_window_timers(HWND window);

// Creates the QApplication on first use, so that tests and the program alike get one.
void ensure_application();
// Lets Qt repaint what is shown, without user input or our own messages: for a wait on
// the window's thread.
void keep_painting();
// qt_text.cpp: the program's texts, colours and font for Qt.
QString text_from_cp932(const char* bytes, std::size_t size);
QString text_from_cp932(const char* text);
QColor color_of(COLORREF color);
// The Japanese system font of the 8/16-pixel grid.
const QFont& system_font();

bool is_window(HWND window);
// The first top-level window of this class (any class for nullptr), or nullptr.
HWND find_top_level_window(LPCSTR class_name);
// menus.cpp: the menu resource of this name as the window's menu bar; nullptr when there
// is none.
class QMenuBar;
QMenuBar* build_menu_bar(HWND window, LPCSTR name, QWidget* frame);
// Whether the window's menu bar holds this command greyed.
bool menu_item_greyed(HWND window, UINT id);
// keys.cpp: the keys pressed on widget go to window as WM_KEYDOWN and WM_CHAR.
void forward_keys(QWidget* widget, HWND window);
// drops.cpp: files dropped on a window that accepts them.
class QMimeData;
bool holds_local_files(const QMimeData* data);
void post_dropped_files(HWND window, const QMimeData* data);
QWidget* top_level_widget(HWND window);
// The window procedure's answer, called at once as SendMessage would.
LRESULT send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// A window that awaits WM_PAINT, or nullptr.
HWND first_invalid_window();

// instances.cpp: the user whose starts the one-window socket serves and whose socket a
// start trusts (the real user; a test may name another), and a connection to the socket
// of this name as a second start makes it, or -1.
extern unsigned int instance_user;
int connect_to_instance(LPCSTR name);

// Runs action once, as the process's first top-level window is created: what only a
// start that shows a window of its own needs (the synthesizer's loading).
void when_first_window_is_created(void (*action)());

// Dispatches what was posted, WM_QUIT left in the queue.
void dispatch_posted_messages();

// While a dialog's own loop runs, posted messages are still dispatched.
class ModalScope {
  public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};
