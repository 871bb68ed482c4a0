// Shared by the file-dialog units of wavkit.
#pragma once

#include <platform/platform.h>

#include <string>

namespace filedlg {

// The current folder, the default start folder of the file dialogs.
std::string current_folder();
// Everything before the path's last separator, without it; false when the
// path has no separator.
bool folder_of(const std::string& path, std::string* folder);
// Moves a dialog so that it is centred over its parent's client area and
// raised by `raise` pixels, keeping its size.
void centre_over_parent(HWND dlg, int raise);

}  // namespace filedlg
