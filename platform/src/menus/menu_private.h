// Records of the menu area: the menu handle table and the items of each menu,
// shared by the menu_*, accel and MDI units.
//
// Every menu record is guarded by menu_mutex(), so menus can be read and
// changed from any thread; the Qt menus that show them are built on the
// user-interface thread from a copy of the items taken under the lock.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "internal.h"

class QWidget;

namespace plat {

// Item flags kept in the record: MF_GRAYED, MF_DISABLED, MF_CHECKED,
// MF_SEPARATOR, MF_POPUP, MF_RIGHTJUSTIFY, MF_DEFAULT, MF_MENUBREAK,
// MF_MENUBARBREAK, and the layer's own mark below.
constexpr UINT kItemFlagMask = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP |
                               MF_RIGHTJUSTIFY | MF_DEFAULT | MF_MENUBREAK | MF_MENUBARBREAK;
// Marks the items that the MDI client added to its window menu.
constexpr UINT kItemMdiList = 0x80000000u;

struct MenuItem {
    UINT flags = 0;
    UINT id = 0;  // command id; 0 for separators and popups
    std::string text;
    HMENU sub = nullptr;  // the submenu of a popup item
};

struct Menu {
    uint32_t generation = 0;
    bool alive = false;
    bool popup = false;  // made by CreatePopupMenu (else a menu bar)
    std::vector<MenuItem> items;
};

std::recursive_mutex& menu_mutex();
// The live record of a handle, or null. Caller holds menu_mutex().
Menu* find_menu(HMENU menu);
// A fresh record; caller holds menu_mutex().
HMENU new_menu(bool popup);
// Position of an item by command (searching popups too, *owner receives the
// menu that holds it) or by position; -1 when absent. Caller holds the lock.
int locate_item(HMENU menu, UINT item, UINT flags, HMENU* owner);
// Tells the menu bars that show a menu (or one of its popups) that it
// changed, so they are rebuilt soon. Any thread.
void menu_changed(HMENU menu);
// Whether `inner` is `outer` or one of its popups, at any depth.
bool menu_contains(HMENU outer, HMENU inner);

// --- MDI window menu (menu_mdi.cpp) ---
// Lists the documents of an MDI client at the end of its window menu (a
// separator and "&1 title", ... from the first child id, the active one
// checked) and numbers the documents' ids to match.
void mdi_refresh_window_menu(HWND client);
// Takes the list out of a window menu that a client no longer uses.
void mdi_strip_window_menu(HMENU menu);
// Refreshes the list of every MDI client whose window menu is `menu`.
void mdi_refresh_menu_lists(HMENU menu);

}  // namespace plat
