// The dialogs area: dialog windows from templates, modal and modeless
// dialogs, message boxes and the question hook, open and save file dialogs.
// Controls use the dialog font and units and the default button. Everything
// here runs on the user-interface thread (the public functions hand their work
// over).
#pragma once

#include <platform/platform.h>

#include <QFont>
#include <string>
#include <vector>

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
// Registers "#32770" and the control classes (controls area) once.
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
// Tab and Shift+Tab, and the arrow keys on a button, in a dialog whose focus
// is `focus` (a control, or a part of one): moves the focus as the dialog
// manager does. False for any other key, which the control keeps.
bool dialog_key(HWND dlg, HWND focus, int vk, bool shift);

// --- file dialogs (filedialog.cpp, filedialog_qt.cpp) ---
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // "*.wav", ...
};

// The state of one open or save file dialog while it is asked, shared by the
// common part and the Qt dialog.
struct FileDialogState {
    OPENFILENAME* ofn = nullptr;
    bool save = false;
    std::string folder;    // the folder shown
    std::string current;   // the path selected now (CDM_GETFILEPATH)
    HWND host = nullptr;   // stands for the file dialog: the panel's parent
    HWND panel = nullptr;  // the added template with the hook procedure, or null
    std::vector<FileFilter> filters;
};

// The filters of an lpstrFilter list ("description\0patterns\0...\0\0").
std::vector<FileFilter> parse_filters(LPCSTR list);
// Tells the hook procedure (through the panel) a CDN_ notification.
void notify_hook(FileDialogState& st, UINT code);
// Sets the selected path and tells the hook CDN_SELCHANGE.
void select_path(FileDialogState& st, const std::string& path);
// Shows the Qt file dialog; TRUE with *path and *filterIndex (1-based) on OK.
bool run_qt_file_dialog(FileDialogState& st, std::string* path, int* filterIndex);

// --- for the testing hooks (any thread) ---
// Installs the question hook (null removes it); gives the previous one.
PlatformQuestionHook set_question_hook(PlatformQuestionHook hook, void* ctx);
// Presses a button of the message box open now (an id, 0 for the default
// button, -1 for Escape); *shown (optional) receives what it shows. FALSE
// when no box is open or it has no such button.
bool answer_message_box(int id, PlatformQuestion* shown);
// Selects path in the file dialog asked with this record as a click on the
// file would; gives its added template panel, or null.
HWND select_in_file_dialog(const OPENFILENAME* ofn, LPCSTR path);

}  // namespace plat::dlg
