// Menus: the resource's menu bar, and pop-ups the program builds while it runs. Each
// item posts WM_COMMAND with its id to the window whose menu bar holds it.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>
#include <memory>
#include <vector>

#include "platform/linux/window/window_system.h"

struct HMENU__ {
    HWND window;    // whose bar holds the menu; nullptr for a pop-up not yet placed
    QMenuBar* bar;  // the menu bar's; nullptr for a pop-up
    QMenu* popup;   // a pop-up's
};

namespace {

std::vector<std::unique_ptr<HMENU__>>& menus = *new std::vector<std::unique_ptr<HMENU__>>;

HMENU new_menu(HWND window, QMenuBar* bar, QMenu* popup) {
    menus.push_back(std::make_unique<HMENU__>(HMENU__{window, bar, popup}));
    return menus.back().get();
}

bool is_menu(HMENU menu) {
    for (const auto& each : menus)
        if (each.get() == menu) return true;
    return false;
}

// A pop-up's items post to the window once the pop-up is on its bar (before the menu of
// before, else last).
void place_popup(HWND window, QMenuBar* bar, QMenu* popup, const QString& title,
                 QAction* before = nullptr) {
    popup->setTitle(title);
    popup->setFont(system_font());
    if (before != nullptr) {
        bar->insertMenu(before, popup);
    } else {
        bar->addMenu(popup);
    }
    QObject::connect(popup, &QMenu::triggered, [window](QAction* action) {
        UINT id = action->data().toUInt();
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    });
}

QAction* add_item(QMenu* popup, LPCSTR text, UINT id) {
    QAction* action = popup->addAction(text_from_cp932(text));
    action->setData(QVariant(id));
    return action;
}

const MenuResource* find_menu(LPCSTR name) {
    UINT_PTR id = reinterpret_cast<UINT_PTR>(name);
    for (int i = 0; i < program_menu_count; ++i)
        if (program_menus[i].id == id) return &program_menus[i];
    return nullptr;
}

}  // namespace

QMenuBar* build_menu_bar(HWND window, LPCSTR name, QWidget* frame) {
    const MenuResource* resource = find_menu(name);
    if (resource == nullptr) return nullptr;
    auto* bar = new QMenuBar(frame);
    bar->setFont(system_font());
    window->menu = new_menu(window, bar, nullptr);
    QMenu* popup = nullptr;
    for (int i = 0; i < resource->count; ++i) {
        const MenuResourceItem& item = resource->items[i];
        if (item.depth == 0) {
            popup = new QMenu(bar);
            place_popup(window, bar, popup, text_from_cp932(item.text));
        } else if (popup != nullptr && item.text == nullptr) {
            popup->addSeparator();
        } else if (popup != nullptr) {
            add_item(popup, item.text, item.id);
        }
    }
    return bar;
}

HMENU GetMenu(HWND window) {
    return is_window(window) ? window->menu : nullptr;
}

HMENU CreatePopupMenu() {
    ensure_application();
    return new_menu(nullptr, nullptr, new QMenu);
}

// Pop-ups go on a menu bar, or into a pop-up as its sub-menu; items and separators into a
// pop-up.
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR text) {
    if (!is_menu(menu)) return FALSE;
    if ((flags & MF_POPUP) && menu->popup != nullptr) {
        auto* sub = reinterpret_cast<HMENU>(id);
        if (!is_menu(sub) || sub->popup == nullptr || position != 0xFFFFFFFFu) return FALSE;
        sub->popup->setTitle(text_from_cp932(text));
        sub->popup->setFont(system_font());
        menu->popup->addMenu(sub->popup);  // its items' triggers reach the pop-up's
        return TRUE;
    }
    if (flags & MF_SEPARATOR) {
        if (menu->popup == nullptr || position != 0xFFFFFFFFu) return FALSE;
        menu->popup->addSeparator();
        return TRUE;
    }
    if (flags & MF_POPUP) {
        auto* popup = reinterpret_cast<HMENU>(id);
        if (menu->bar == nullptr || !is_menu(popup) || popup->popup == nullptr) return FALSE;
        QList<QAction*> placed = menu->bar->actions();
        QAction* before = position < static_cast<UINT>(placed.size())
                              ? placed[static_cast<int>(position)]
                              : nullptr;
        popup->window = menu->window;
        popup->popup->setParent(menu->bar, popup->popup->windowFlags());
        place_popup(menu->window, menu->bar, popup->popup, text_from_cp932(text), before);
        return TRUE;
    }
    if (menu->popup == nullptr || position != 0xFFFFFFFFu) return FALSE;
    add_item(menu->popup, text, static_cast<UINT>(id));
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    return InsertMenuA(menu, 0xFFFFFFFFu, flags | MF_BYPOSITION, id, text);
}

int GetMenuItemCount(HMENU menu) {
    if (!is_menu(menu)) return -1;
    return static_cast<int>(
        (menu->bar != nullptr ? menu->bar->actions() : menu->popup->actions()).size());
}

// The item's previous state, or 0xFFFFFFFF when the menu has no such item.
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) {
    if (!is_menu(menu) || menu->popup == nullptr) return 0xFFFFFFFFu;
    for (QAction* action : menu->popup->actions()) {
        if (action->isSeparator() || action->data().toUInt() != id) continue;
        DWORD previous = action->isChecked() ? MF_CHECKED : MF_UNCHECKED;
        action->setCheckable(true);
        action->setChecked((check & MF_CHECKED) != 0);
        return previous;
    }
    return 0xFFFFFFFFu;
}

// Qt shows a changed menu bar by itself.
BOOL DrawMenuBar(HWND window) {
    return is_window(window) && window->menu != nullptr ? TRUE : FALSE;
}
