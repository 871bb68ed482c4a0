// Qt menus that show menu records (user-interface thread only). A QMenu is
// filled from its record when it is about to show, after the owner window got
// WM_INITMENUPOPUP, so changes made by the owner's handler are what is shown.
// Hovering sends WM_MENUSELECT; choosing an item posts WM_COMMAND (when the
// menu is built to send commands).
#pragma once

#include <QString>
#include <string>

#include "menu_private.h"

class QAction;
class QMenu;

namespace plat {

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

}  // namespace plat
