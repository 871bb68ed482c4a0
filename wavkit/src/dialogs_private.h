// Shared by the dialog units of wavkit.
#pragma once

#include <platform/platform.h>

namespace dlgs {

// Pixels a dialog sits above the centre of its owner's client area.
constexpr int kRaise = 30;
constexpr int kRaiseZoom = 25;  // zoom, the progress window and the CurveSound editors

// Runs the modal dialog of template name for the frame: the template comes
// from the frame's module instance. Gives 1 when the dialog ended with 1,
// else 0 (also for a missing template).
BOOL run(HWND frame, const char* name, DLGPROC proc, LPARAM param);
// Writes value as "%d" text to a setting.
void store(const char* path, int value);
// Attaches an up-down control (bordered, right of its buddy, setting the
// buddy's number) to the edit buddyId, with a range and position.
HWND attach_updown(HWND dlg, int buddyId, int id, int lower, int upper, int pos);
// The active document of the frame a dialog keeps in its user data (DWLP_USER),
// or null.
HWND active_document(HWND dlg);

}  // namespace dlgs
