// The controls area: the control classes ("BUTTON", "STATIC", "EDIT",
// "COMBOBOX", "SysListView32", "msctls_updown32", "msctls_trackbar32"), each a
// window procedure over a Qt widget that fills the control's client area. The
// dialogs area registers the classes. Everything here runs on the
// user-interface thread.
#pragma once

#include <platform/platform.h>

#include <QString>

class QWidget;

namespace plat::dlg {

// Window procedures of the control classes.
LRESULT CALLBACK button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK static_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK combo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK listview_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK updown_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK trackbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK progress_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// --- what every control shares (control_common.cpp) ---
// Places a control's Qt widget over the window's whole client area, gives it
// the dialog font and watches it for Escape and Enter.
void adopt_widget(HWND hwnd, QWidget* widget);
// The Qt widget of a control, or null.
QWidget* control_widget(HWND hwnd);
// TRUE while widget is still the live control of hwnd (signal handlers check
// it: a control being destroyed sends nothing more).
bool is_live_control(HWND hwnd, const QWidget* widget);
// Forgets a control being destroyed.
void forget_control(HWND hwnd);
// Default handling of the control procedures: WM_SIZE resizes the widget,
// WM_DESTROY forgets it, the rest goes to DefWindowProc.
LRESULT control_default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Notifies the control's parent: WM_COMMAND MAKEWPARAM(id, code), lParam = control.
void notify_parent(HWND hwnd, int code);
// A control's text for Qt, and back: '&' marks a mnemonic for buttons.
QString from_text(LPCSTR text);
// Stores the window text without going through WM_SETTEXT.
void store_text(HWND hwnd, const QString& text);

}  // namespace plat::dlg
