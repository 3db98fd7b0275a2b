// Window classes, the top-level window with its menu, "BUTTON" children and the
// dispatch of messages, over Qt 6 Widgets.
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/window/frame_widget.h"
#include "platform/linux/window/window_system.h"

namespace {

// What Windows 10 adds around the client area of a WS_OVERLAPPEDWINDOW at 96 dpi: the
// frame, the caption and a one-line menu.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 39;
constexpr int kMenuLineHeight = 20;

std::map<std::string, WNDCLASSEXA> window_classes;
std::vector<std::unique_ptr<HWND__>> windows;
// Icons live as long as the program, as resources do.
std::map<UINT, HICON__*>& icons = *new std::map<UINT, HICON__*>;

}  // namespace

void invalidate(HWND window, bool erase) {
    window->invalid = true;
    window->erase = window->erase || erase;
}

void follow_owner(HWND owner, bool hidden) {
    for (const auto& each : windows) {
        if (each->owner != owner || each->frame == nullptr) continue;
        if (hidden && each->frame->isVisible()) {
            each->hidden_with_owner = true;
            each->frame->hide();
        } else if (!hidden && each->hidden_with_owner) {
            each->hidden_with_owner = false;
            each->frame->show();
        }
    }
}

namespace {

// The smallest size the window procedure allows, asked as Windows asks it.
void take_minimum_size(HWND window, FrameWidget* frame) {
    MINMAXINFO limits = {};
    send_message(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    int extra_height = kFrameHeight + (frame->menu_bar != nullptr ? kMenuLineHeight : 0);
    if (limits.ptMinTrackSize.x > 0 && limits.ptMinTrackSize.y > 0)
        frame->setMinimumSize(
            std::max(0, static_cast<int>(limits.ptMinTrackSize.x) - kFrameWidth),
            std::max(0, static_cast<int>(limits.ptMinTrackSize.y) - extra_height) +
                frame->menu_height());
}

COLORREF brush_color(HBRUSH brush) {
    UINT_PTR value = reinterpret_cast<UINT_PTR>(brush);
    return value >= 1 && value <= 31 ? GetSysColor(static_cast<int>(value - 1))
                                     : GetSysColor(COLOR_WINDOW);
}

HWND new_window(WNDPROC procedure, HINSTANCE instance, UINT style, COLORREF background,
                HWND parent) {
    windows.push_back(std::make_unique<HWND__>());
    HWND window = windows.back().get();
    window->procedure = procedure;
    window->instance = instance;
    window->class_style = style;
    window->background = background;
    window->parent = parent;
    window->frame = nullptr;
    window->client = nullptr;
    window->invalid = false;
    window->erase = false;
    return window;
}

HWND create_button(LPCSTR text, DWORD style, int x, int y, int width, int height, HWND parent,
                   HMENU menu, HINSTANCE instance) {
    if (!is_window(parent) || parent->client == nullptr) return nullptr;
    HWND button = new_window(nullptr, instance, 0, GetSysColor(COLOR_WINDOW), parent);
    auto* widget = new QPushButton(text_from_cp932(text), parent->client);
    widget->setFont(system_font());
    widget->setGeometry(x, y, width, height);
    widget->setProperty(kControlIdProperty,
                        QVariant(static_cast<int>(reinterpret_cast<UINT_PTR>(menu))));
    widget->setCheckable((style & BS_PUSHLIKE) != 0);
    widget->show();
    forward_keys(widget, button);
    button->client = widget;
    button->caption = text != nullptr ? text : "";
    WPARAM command = MAKEWPARAM(reinterpret_cast<UINT_PTR>(menu), BN_CLICKED);
    QObject::connect(widget, &QPushButton::clicked, [parent, command, button] {
        PostMessageA(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(button));
    });
    return button;
}

void (*first_window_action)() = nullptr;

// An owned window is a Qt window of its owner's: above it, no taskbar entry of its own.
HWND create_top_level(const WNDCLASSEXA& window_class, LPCSTR title, int width, int height,
                      HINSTANCE instance, HWND owner) {
    if (void (*action)() = first_window_action) {
        first_window_action = nullptr;
        action();
    }
    HWND window = new_window(window_class.lpfnWndProc, instance, window_class.style,
                             brush_color(window_class.hbrBackground), nullptr);
    auto* frame = new FrameWidget(window);
    window->frame = frame;
    window->owner = owner;
    if (is_window(owner) && owner->frame != nullptr) frame->setParent(owner->frame, Qt::Window);
    frame->menu_bar = build_menu_bar(window, window_class.lpszMenuName, frame);
    frame->client = new ClientWidget(window, frame);
    window->client = frame->client;
    if (window_class.hIcon != nullptr) frame->setWindowIcon(window_class.hIcon->icon);
    window->caption = title != nullptr ? title : "";
    window->class_name = window_class.lpszClassName;
    forward_keys(frame, window);
    forward_keys(frame->client, window);
    frame->setWindowTitle(text_from_cp932(window->caption.c_str()));

    QSize client(
        std::max(0, width - kFrameWidth),
        std::max(0, height - kFrameHeight - (frame->menu_bar != nullptr ? kMenuLineHeight : 0)));
    window->backing = QImage(client, QImage::Format_RGB32);
    window->backing.fill(color_of(window->background));
    frame->client->setGeometry(0, frame->menu_height(), client.width(), client.height());
    frame->resize(client.width(), client.height() + frame->menu_height());
    invalidate(window, true);

    send_message(window, WM_CREATE, 0, 0);
    send_message(window, WM_SIZE, 0,
                 static_cast<LPARAM>(MAKEWPARAM(client.width(), client.height())));
    take_minimum_size(window, frame);
    return window;
}

}  // namespace

HWND new_control_window(HWND parent, HINSTANCE instance, QWidget* widget, LPCSTR text,
                        WNDPROC procedure) {
    HWND control = new_window(procedure, instance, 0, GetSysColor(COLOR_WINDOW), parent);
    control->client = widget;
    control->caption = text != nullptr ? text : "";
    // A control's keys are its window's; a dialog keeps its own.
    if (procedure == nullptr) forward_keys(widget, parent);
    return control;
}

void when_first_window_is_created(void (*action)()) {
    first_window_action = action;
}

bool is_window(HWND window) {
    return window != nullptr && std::any_of(windows.begin(), windows.end(),
                                            [window](const auto& w) { return w.get() == window; });
}

HWND find_top_level_window(LPCSTR class_name) {
    for (const auto& window : windows)
        if (window->frame != nullptr && (class_name == nullptr || window->class_name == class_name))
            return window.get();
    return nullptr;
}

QWidget* top_level_widget(HWND window) {
    while (is_window(window) && window->parent != nullptr)
        window = window->parent;
    return is_window(window) ? window->frame : nullptr;
}

LRESULT send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!is_window(window)) return 0;
    if (window->procedure == nullptr) return DefWindowProcA(window, message, wparam, lparam);
    return window->procedure(window, message, wparam, lparam);
}

// As on Windows, a hidden window gets no WM_PAINT: it is painted once shown.
HWND first_invalid_window() {
    for (const auto& window : windows)
        if (window->invalid && window->frame != nullptr && !window->frame->isHidden())
            return window.get();
    return nullptr;
}

ATOM RegisterClassExA(const WNDCLASSEXA* window_class) {
    if (window_class == nullptr || window_class->lpszClassName == nullptr ||
        window_class->lpfnWndProc == nullptr)
        return 0;
    ensure_application();
    window_classes[window_class->lpszClassName] = *window_class;
    return static_cast<ATOM>(window_classes.size() + 0xC000);
}

HWND CreateWindowExA(DWORD, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID) {
    if (class_name == nullptr) return nullptr;
    ensure_application();
    if (std::string(class_name) == "BUTTON" && (style & WS_CHILD))
        return create_button(window_name, style, x, y, width, height, parent, menu, instance);
    if (style & WS_CHILD)
        return create_control(class_name, window_name, style, x, y, width, height, parent, menu,
                              instance);
    auto found = window_classes.find(class_name);
    if (found == window_classes.end() || (style & WS_CHILD)) return nullptr;
    return create_top_level(found->second, window_name, width, height, instance, parent);
}

BOOL AdjustWindowRect(LPRECT rect, DWORD, BOOL menu) {
    if (rect == nullptr) return FALSE;
    rect->right += kFrameWidth;
    rect->bottom += kFrameHeight + (menu ? kMenuLineHeight : 0);
    return TRUE;
}

// A top-level window's place and size as Windows counts them: the frame's outer edges.
BOOL GetWindowRect(HWND window, LPRECT rect) {
    if (!is_window(window) || window->frame == nullptr || rect == nullptr) return FALSE;
    auto* frame = static_cast<FrameWidget*>(window->frame);
    int extra_height = kFrameHeight + (frame->menu_bar != nullptr ? kMenuLineHeight : 0);
    int client_height = frame->height() - frame->menu_height();
    *rect = RECT{frame->x(), frame->y(), frame->x() + frame->width() + kFrameWidth,
                 frame->y() + client_height + extra_height};
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    if (!is_window(window)) return FALSE;
    if (window->frame == nullptr) {  // a child, in its parent's client area
        if (window->client == nullptr) return FALSE;
        window->client->setGeometry(x, y, width, height);
        return TRUE;
    }
    auto* frame = static_cast<FrameWidget*>(window->frame);
    int extra_height = kFrameHeight + (frame->menu_bar != nullptr ? kMenuLineHeight : 0);
    frame->move(x, y);
    frame->resize(std::max(0, width - kFrameWidth),
                  std::max(0, height - extra_height) + frame->menu_height());
    return TRUE;
}

BOOL ShowWindow(HWND window, int show) {
    QWidget* widget = !is_window(window)         ? nullptr
                      : window->frame != nullptr ? window->frame
                                                 : window->client;
    if (widget == nullptr) return FALSE;
    bool was_visible = widget->isVisible();
    if (show == SW_MINIMIZE && window->frame != nullptr) {
        widget->showMinimized();
    } else if (show == SW_RESTORE && window->frame != nullptr) {
        widget->showNormal();
    } else {
        widget->setVisible(show != SW_HIDE);
    }
    return was_visible ? TRUE : FALSE;
}

HWND GetWindow(HWND window, UINT relation) {
    return is_window(window) && relation == GW_OWNER && is_window(window->owner) ? window->owner
                                                                                 : nullptr;
}

BOOL IsWindowVisible(HWND window) {
    QWidget* widget = !is_window(window)         ? nullptr
                      : window->frame != nullptr ? window->frame
                                                 : window->client;
    return widget != nullptr && widget->isVisible() ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    if (!is_window(window)) return FALSE;
    if (window->invalid) send_message(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) return 0;
    return send_message(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        DestroyWindow(window);
    } else if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
    }
    return 0;
}

BOOL DestroyWindow(HWND window) {
    if (!is_window(window)) return FALSE;
    // The windows it owns go first, as on Windows.
    std::vector<HWND> owned;
    for (const auto& each : windows)
        if (each->owner == window) owned.push_back(each.get());
    for (HWND each : owned)
        DestroyWindow(each);
    send_message(window, WM_DESTROY, 0, 0);
    if (!is_window(window)) return TRUE;
    kill_window_timers(window);
    // Qt deletes the children's widgets with their parent's.
    QWidget* widget = window->frame != nullptr ? window->frame : window->client;
    if (widget != nullptr) {
        widget->hide();
        widget->deleteLater();
    }
    windows.erase(std::remove_if(
                      windows.begin(), windows.end(),
                      [window](const auto& w) { return w.get() == window || w->parent == window; }),
                  windows.end());
    return TRUE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (!is_window(window)) return FALSE;
    window->caption = text != nullptr ? text : "";
    QString shown = text_from_cp932(window->caption.c_str());
    if (window->frame != nullptr)
        window->frame->setWindowTitle(shown);
    else if (auto* button = dynamic_cast<QPushButton*>(window->client))
        button->setText(shown);
    else if (auto* label = dynamic_cast<QLabel*>(window->client))
        label->setText(shown);
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    if (!is_window(window) || rect == nullptr) return FALSE;
    *rect = RECT{0, 0, window->backing.width(), window->backing.height()};
    return TRUE;
}

// The whole client area is painted anew on every paint, so any rectangle invalidates all.
BOOL InvalidateRect(HWND window, const RECT*, BOOL erase) {
    if (!is_window(window)) return FALSE;
    invalidate(window, erase != FALSE);
    return TRUE;
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
    UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));
    auto found = icons.find(id);
    if (found != icons.end()) return found->second;
    for (int i = 0; i < program_icon_count; ++i) {
        if (program_icons[i].id != id) continue;
        ensure_application();
        QPixmap image;
        image.loadFromData(program_icons[i].png, program_icons[i].size, "PNG");
        HICON icon = new HICON__{QIcon(image)};
        icons[id] = icon;
        return icon;
    }
    return nullptr;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
    static HICON__ arrow;  // the widgets keep Qt's own arrow cursor
    return &arrow;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    if (!is_window(window) || index != GWLP_HINSTANCE) return 0;
    return reinterpret_cast<LONG_PTR>(window->instance);
}
