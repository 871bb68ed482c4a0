// The menus area: the menu handle table and the items of each menu, the Qt
// menus that show them (menu bars and popups), the MDI window list, and
// accelerators. The window area shows a window's menu bar through it.
//
// Every menu record is guarded by menu_mutex(), so menus can be read and
// changed from any thread; the Qt menus that show them are built on the
// user-interface thread from a copy of the items taken under the lock.
#pragma once

#include <platform/platform.h>

#include <QString>
#include <mutex>
#include <string>
#include <vector>

class QAction;
class QMenu;

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

// --- menu bars (menu_bar.cpp) ---
// Builds (again) the menu bar of a top-level window from the menu its record
// holds (Window::id); hides it when there is none. User-interface thread.
void show_menu_bar(HWND hwnd);
// Places a top-level window's menu bar at the top of its frame, width wide,
// and gives its height (0 without a menu). User-interface thread.
int place_menu_bar(HWND hwnd, int width);
// For the testing hooks (any thread): chooses the item with command id in the
// window's menu bar as a user would, FALSE when the bar has no such enabled
// item; the texts of the bar's items as shown, each followed by '\n', those
// at the right edge starting with '>' (empty without a bar).
bool simulate_menu_command(HWND hwnd, UINT id);
std::string menu_bar_text(HWND hwnd);
// Opens the popup at position pos of the bar as the keyboard does and types
// keys into the open menu (a letter is a mnemonic, '\r' Return, '\x1b'
// Escape); false when the bar has no popup there. Any thread.
bool simulate_menu_keys(HWND hwnd, int pos, const std::string& keys);

// --- Qt menus (menu_qt.cpp), user-interface thread only ---
// A QMenu is filled from its record when it is about to show, after the owner
// window got WM_INITMENUPOPUP, so changes made by the owner's handler are what
// is shown. Hovering sends WM_MENUSELECT; choosing an item posts WM_COMMAND
// (when the menu is built to send commands).

// The item's text as Qt shows it: '&' mnemonics and "&&" are the same, the
// text after '\t' is shown as the shortcut text.
QString qt_menu_text(const std::string& text);

// Sets up an action for one item of `holder` at position pos: text, state,
// and the properties that WM_MENUSELECT and the tests read.
void describe_action(QAction* a, const MenuItem& it, HMENU holder, int pos);

// Makes qm show `menu` for owner: every time it is about to show it sends
// WM_INITMENUPOPUP (menu, MAKELPARAM(pos, FALSE)) unless initOnShow is false
// (the caller did), refreshes an MDI window list that lives in the menu, and
// refills itself from the record. Its submenus always send it.
void attach_popup(QMenu* qm, HMENU menu, int pos, HWND owner, bool sendCommands,
                  bool initOnShow = true);

// Sends WM_MENUSELECT for a hovered action: MAKEWPARAM(id, flags), or
// MAKEWPARAM(position, MF_POPUP) for a popup, lParam = the menu holding it.
void send_menu_select(HWND owner, QAction* a);

// An item of a menu built to send commands was chosen: WM_COMMAND
// MAKEWPARAM(id, 0) is posted to owner once its menu bar session has ended
// (after WM_MENUSELECT 0xFFFF), at once when there is none (menu_bar.cpp).
void menu_command_chosen(HWND owner, UINT id);

// The position of an action's item in its menu (-1 for none).
int action_position(const QAction* a);
// The command id of an action (0 for popups and separators).
UINT action_command(const QAction* a);
// The submenu QMenu of a popup action, or null.
QMenu* action_popup(const QAction* a);

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
