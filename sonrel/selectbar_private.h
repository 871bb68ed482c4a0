// What the select bar's units share: its state, the active document and the
// zoom stored in a document's POSITION block.
#pragma once

#include <platform/platform.h>

#include "selectbar.h"

namespace selectbar {

struct SelectState {
    BOOL dragging;        // the mouse is captured after a press on the clipboard field
    SelectField pressed;  // the field drawn sunken while its menu is open
    HWND tooltip;
};
extern SelectState g_select;

// The frame's active document (UM_GETACTIVEDOC to the bar's parent), or null.
HWND ActiveDoc(HWND bar);
// The document's zoom; FALSE when it has no POSITION block.
BOOL ReadZoom(HWND doc, DWORD* zoom);
// Stores the zoom in the document's POSITION block, then repaints the
// document and the zoom field.
void StoreZoom(HWND bar, HWND doc, DWORD zoom);

void Paint(HWND bar);

// The clipboard drag: started by a press on the clipboard field, ended by the
// release (a drop) or the loss of the capture.
void StartDrag(HWND bar);
void DragMoved(HWND bar, BOOL ctrl);
void EndDrag(HWND bar);
// The release at client (x, y): the clipboard popup over the field's top, else
// the drop of a drag onto the preview bar or a document window.
void Released(HWND bar, int x, int y, BOOL ctrl);
// WM_SETCURSOR while no drag runs: the drag-from cursor over a clipboard that
// can be dragged, else the arrow.
void IdleCursor(HWND bar);

}  // namespace selectbar
