// Records shared by the dialog, control and file-dialog units. Everything here
// runs on the user-interface thread (the public functions hand their work over).
#pragma once

#include <QFont>
#include <QString>
#include <string>

#include "internal.h"

class QWidget;

namespace plat::dlg {

// Dialog units to pixels for the 8-point dialog font.
constexpr int kBaseX = 6;
constexpr int kBaseY = 13;
inline int du_x(int x) {
    return x * kBaseX / 4;
}
inline int du_y(int y) {
    return y * kBaseY / 8;
}

// The font every dialog and control shows its texts in.
QFont dialog_font();

// --- dialogs (dialog.cpp, dialog_template.cpp) ---
// Registers "#32770" and the control classes once.
void register_classes();
// Makes a dialog from a template: hidden, controls made, WM_INITDIALOG sent
// with param. A DS_CONTROL or WS_CHILD template makes a child of owner. Null
// when the window could not be made or the procedure destroyed it.
HWND create_from_template(HINSTANCE inst, const DIALOGTEMPLATE* tmpl, HWND owner, DLGPROC proc,
                          LPARAM param);
// The template registered under a name for an instance (the program's as a
// fallback), or null.
const DIALOGTEMPLATE* find_template(HINSTANCE inst, LPCSTR name);
// TRUE when the window is a dialog made by this layer.
bool is_dialog(HWND hwnd);
// The default push button's id: DM_GETDEFID's answer, else the first
// BS_DEFPUSHBUTTON child, else IDOK.
int default_id(HWND dlg);
// Sends WM_COMMAND for a button id as a click on it would (lParam the button).
void press(HWND dlg, int id);

// --- controls (control_*.cpp) ---
// Window procedures of the control classes.
LRESULT CALLBACK button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK static_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK combo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK listview_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK updown_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK trackbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK progress_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
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

// --- file dialogs (filedialog*.cpp) ---
struct FileDialogState;

}  // namespace plat::dlg
