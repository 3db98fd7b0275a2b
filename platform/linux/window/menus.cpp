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

// The item with the command id in the menu or any of its sub-menus, or nullptr.
QAction* find_item(const QList<QAction*>& actions, UINT id) {
    for (QAction* action : actions) {
        if (action->menu() != nullptr) {
            if (QAction* found = find_item(action->menu()->actions(), id)) return found;
        } else if (!action->isSeparator() && action->data().toUInt() == id) {
            return action;
        }
    }
    return nullptr;
}

QList<QAction*> items_of(HMENU menu) {
    return menu->bar != nullptr ? menu->bar->actions() : menu->popup->actions();
}

}  // namespace

QMenuBar* build_menu_bar(HWND window, LPCSTR name, QWidget* frame) {
    const MenuResource* resource = find_menu(name);
    if (resource == nullptr) return nullptr;
    auto* bar = new QMenuBar(frame);
    bar->setFont(system_font());
    window->menu = new_menu(window, bar, nullptr);
    QMenu* popups[2] = {nullptr, nullptr};  // the bar's pop-up, and a sub-menu in it
    for (int i = 0; i < resource->count; ++i) {
        const MenuResourceItem& item = resource->items[i];
        QMenu* into = item.depth > 0 ? popups[item.depth - 1] : nullptr;
        if (item.depth == 0) {
            popups[0] = new QMenu(bar);
            place_popup(window, bar, popups[0], text_from_cp932(item.text));
        } else if (into == nullptr || item.depth > 2) {
            continue;
        } else if (item.text == nullptr) {
            into->addSeparator();
        } else if (item.depth == 1 && item.id == 0) {
            popups[1] = into->addMenu(text_from_cp932(item.text));
            popups[1]->setFont(system_font());
        } else {
            add_item(into, item.text, item.id);
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
// pop-up. In a pop-up, position (MF_BYPOSITION) is the item to go before, 0xFFFFFFFF last.
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR text) {
    if (!is_menu(menu)) return FALSE;
    QAction* before = nullptr;
    if (menu->popup != nullptr && position != 0xFFFFFFFFu) {
        QList<QAction*> placed = menu->popup->actions();
        if (!(flags & MF_BYPOSITION) || position >= static_cast<UINT>(placed.size())) return FALSE;
        before = placed[static_cast<int>(position)];
    }
    if ((flags & MF_POPUP) && menu->popup != nullptr) {
        auto* sub = reinterpret_cast<HMENU>(id);
        if (!is_menu(sub) || sub->popup == nullptr) return FALSE;
        sub->popup->setTitle(text_from_cp932(text));
        sub->popup->setFont(system_font());
        menu->popup->insertMenu(before, sub->popup);  // its items' triggers reach the pop-up's
        return TRUE;
    }
    if (flags & MF_SEPARATOR) {
        if (menu->popup == nullptr) return FALSE;
        menu->popup->insertSeparator(before);
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
    if (menu->popup == nullptr) return FALSE;
    QAction* item = add_item(menu->popup, text, static_cast<UINT>(id));
    menu->popup->insertAction(before, item);
    item->setEnabled((flags & MF_GRAYED) == 0);
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    return InsertMenuA(menu, 0xFFFFFFFFu, flags | MF_BYPOSITION, id, text);
}

int GetMenuItemCount(HMENU menu) {
    if (!is_menu(menu)) return -1;
    return static_cast<int>(items_of(menu).size());
}

// The item's previous state, or 0xFFFFFFFF when the menu has no such item.
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) {
    QAction* action = is_menu(menu) ? find_item(items_of(menu), id) : nullptr;
    if (action == nullptr) return 0xFFFFFFFFu;
    DWORD previous = action->isChecked() ? MF_CHECKED : MF_UNCHECKED;
    action->setCheckable(true);
    action->setChecked((check & MF_CHECKED) != 0);
    return previous;
}

// The item's previous state, or -1 when the menu has no such item.
BOOL EnableMenuItem(HMENU menu, UINT id, UINT enable) {
    QAction* action = is_menu(menu) ? find_item(items_of(menu), id) : nullptr;
    if (action == nullptr) return -1;
    BOOL previous = action->isEnabled() ? MF_ENABLED : MF_GRAYED;
    action->setEnabled((enable & MF_GRAYED) == 0);
    return previous;
}

bool menu_item_greyed(HWND window, UINT id) {
    QAction* action = window->menu != nullptr ? find_item(items_of(window->menu), id) : nullptr;
    return action != nullptr && !action->isEnabled();
}

BOOL DeleteMenu(HMENU menu, UINT id, UINT flags) {
    if (!is_menu(menu) || (flags & MF_BYPOSITION)) return FALSE;
    QAction* action = find_item(items_of(menu), id);
    if (action == nullptr) return FALSE;
    delete action;  // which takes it off every menu that shows it
    return TRUE;
}

// The pop-up at position, as a menu the program may fill; nullptr when that is an item.
HMENU GetSubMenu(HMENU menu, int position) {
    if (!is_menu(menu) || position < 0) return nullptr;
    QList<QAction*> placed = items_of(menu);
    if (position >= placed.size() || placed[position]->menu() == nullptr) return nullptr;
    QMenu* popup = placed[position]->menu();
    for (const auto& each : menus)
        if (each->popup == popup) return each.get();
    return new_menu(menu->window, nullptr, popup);
}

// Qt shows a changed menu bar by itself.
BOOL DrawMenuBar(HWND window) {
    return is_window(window) && window->menu != nullptr ? TRUE : FALSE;
}
