// The position bar (class "PosBar") and its dialog "POSBAR".
//
// The bar keeps nothing of its own: it posts the view's messages (the time
// under the mouse, mark updates, documents coming and going) and the frame's
// "Mark All" and "Destroy Mark" on to its dialog, which reads and writes the
// active document's HEADER and POSITION blocks when it handles them. Times are
// shown as minutes, seconds and milliseconds; typed or spun values become the
// mark in bytes, cut down to whole frames and held within the data.
// User-interface thread only.
#pragma once

#include <platform/platform.h>

// The bar's dialog, or null for a window that is no position bar.
HWND PosBarDialog(HWND bar);

// Procedure of the dialog "POSBAR"; its parent is the bar, whose parent is
// the frame that names the active document (UM_GETACTIVEDOC) and the preview
// bar (UM_GETPREVIEW).
INT_PTR CALLBACK PosBarDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
