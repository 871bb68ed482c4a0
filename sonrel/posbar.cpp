// The position bar. For now it carries out the frame's "Mark all" and
// "Destroy mark" on the active document; the time fields come later.
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include "bars.h"
#include "frame.h"

namespace {

// Marks all of the active document's data, or nothing; an empty document or
// none at all is left alone.
void set_mark(bool all) {
    HWND doc = ActiveDocument();
    if (!doc || IsFileWorking(doc)) return;
    {
        DocumentLock guard(doc);
        HGLOBAL hh = GetProp(doc, PROP_HEADER), hp = GetProp(doc, PROP_POSITION);
        auto* header = static_cast<HeaderBlock*>(GlobalLock(hh));
        auto* position = static_cast<PositionBlock*>(GlobalLock(hp));
        bool data = header && position && header->dataSize > 0;
        if (data) {
            position->markStart = 0;
            position->markLength = all ? header->dataSize : 0;
        }
        if (position) GlobalUnlock(hp);
        if (header) GlobalUnlock(hh);
        if (!data) return;
    }
    SendMessage(g_shell.preview, UM_MARKCHANGED, 0, 0);
    InvalidateRect(doc, nullptr, FALSE);
}

}  // namespace

LRESULT CALLBACK PosBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && (LOWORD(wp) == IDM_MARKALL || LOWORD(wp) == IDM_DESTROYMARK)) {
        set_mark(LOWORD(wp) == IDM_MARKALL);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}
