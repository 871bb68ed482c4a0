// The state of one open or save file dialog while it is asked, shared by the
// common part (filedialog.cpp) and the Qt dialog (filedialog_qt.cpp).
#pragma once

#include <string>
#include <vector>

#include "dialog_private.h"

namespace plat::dlg {

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // "*.wav", ...
};

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

}  // namespace plat::dlg
