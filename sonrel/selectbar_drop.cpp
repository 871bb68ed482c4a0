// The drag of the clipboard from the select bar onto the preview bar or a
// document window, where the clipboard is pasted (mixed with Ctrl held), and
// the clipboard popup of a click on the field.
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <algorithm>

#include "frame.h"
#include "selectbar_private.h"

DWORD DocumentDropOffset(int x, int w, DWORD zoom, LONG viewStart, DWORD dataSize, WORD bits) {
    x = std::max(3, std::min(x, w - 3)) - 3;
    const long long values = bits == 16 ? dataSize / 2 : dataSize;
    const long long columns = std::max(1, w - 6);
    const long long step = zoom ? static_cast<long long>(zoom) : values / columns;
    long long start = step * x + viewStart;
    if (bits == 16) start *= 2;
    start = std::clamp<long long>(start, 0, dataSize);
    return static_cast<DWORD>(start) & ~3u;
}

DWORD PreviewDropOffset(int x, int w, DWORD dataSize) {
    x = std::max(20, std::min(x, w - 6));
    const long long columns = std::max(1, w - 26);
    const long long start = static_cast<long long>(dataSize) / columns * (x - 20);
    return static_cast<DWORD>(std::min<long long>(start, dataSize)) & ~3u;
}

namespace selectbar {

namespace {

// Where a drop at a screen point lands.
enum class Target { None, Preview, Document };

HWND document_at(HWND w) {
    for (; w; w = GetParent(w))
        if (GetWindowLongPtr(w, GWLP_USERDATA) == DOCUMENT_USERDATA) return w;
    return nullptr;
}

Target target_at(POINT screen, HWND* doc) {
    *doc = nullptr;
    HWND under = WindowFromPoint(screen);
    for (HWND w = under; w; w = GetParent(w))
        if (w == g_shell.preview) return Target::Preview;
    *doc = document_at(under);
    return *doc ? Target::Document : Target::None;
}

void show_cursor(const char* name) {
    HCURSOR c = LoadCursor(g_shell.instance, name);
    SetCursor(c ? c : LoadCursor(nullptr, IDC_ARROW));
}

// Sets the mark to an empty one at start (bytes) and tells the status bar.
void mark_at(HWND doc, DWORD start) {
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    auto* p = static_cast<PositionBlock*>(GlobalLock(h));
    if (!p) return;
    p->markStart = start;
    p->markLength = 0;
    p->mouseMark = 0;
    GlobalUnlock(h);
    SetProp(doc, PROP_POSITION, h);
    SendMessage(g_shell.statusBar, UM_BEFOREDROP, 0, 0);
}

struct Layout {
    DWORD dataSize = 0;
    WORD bits = 8;
    DWORD zoom = 0;
    LONG viewStart = 0;
};

bool read_layout(HWND doc, Layout* out) {
    HGLOBAL hh = GetProp(doc, PROP_HEADER), hp = GetProp(doc, PROP_POSITION);
    auto* header = static_cast<HeaderBlock*>(GlobalLock(hh));
    auto* pos = static_cast<PositionBlock*>(GlobalLock(hp));
    bool ok = header && pos;
    if (ok) *out = Layout{header->dataSize, header->bitsPerSample, pos->zoom, pos->viewStart};
    if (header) GlobalUnlock(hh);
    if (pos) GlobalUnlock(hp);
    return ok;
}

void drop_on_preview(HWND bar, POINT screen, BOOL ctrl) {
    HWND doc = ActiveDoc(bar);
    if (!doc || IsFileWorking(doc)) return;
    Layout l;
    if (read_layout(doc, &l) && l.dataSize) {
        POINT pt = screen;
        ScreenToClient(g_shell.preview, &pt);
        RECT rc{};
        GetClientRect(g_shell.preview, &rc);
        mark_at(doc, PreviewDropOffset(pt.x, rc.right, l.dataSize));
    }
    SendMessage(GetParent(bar), WM_COMMAND, ctrl ? IDM_MIX : IDM_PASTE, 0);
}

void drop_on_document(HWND bar, HWND doc, POINT screen, BOOL ctrl) {
    SendMessage(g_shell.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(doc), 0);
    Layout l;
    if (read_layout(doc, &l) && l.dataSize && !IsFileWorking(doc)) {
        POINT pt = screen;
        ScreenToClient(doc, &pt);
        RECT rc{};
        GetClientRect(doc, &rc);
        mark_at(doc, DocumentDropOffset(pt.x, rc.right, l.zoom, l.viewStart, l.dataSize, l.bits));
    }
    if (!IsFileWorking(doc))
        SendMessage(GetParent(bar), ctrl ? UM_STARTPASTEMIX : UM_STARTPASTE,
                    reinterpret_cast<WPARAM>(doc), 0);
}

void clipboard_popup(HWND bar, int R) {
    HMENU m = CreatePopupMenu();
    AppendMenu(m, MF_STRING, IDM_CLIPDELETE, "Delete...");
    AppendMenu(m, MF_STRING, IDM_CLIPINFO, "Information...");
    AppendMenu(m, MF_SEPARATOR, 0, nullptr);
    AppendMenu(m, MF_STRING, IDM_CLIPIMPORT, "Import From File...");
    AppendMenu(m, MF_STRING, IDM_CLIPEXPORT, "Export To File...");
    POINT pt{R - 320, 18};
    ClientToScreen(bar, &pt);
    TrackPopupMenu(m, TPM_LEFTALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, bar, nullptr);
    DestroyMenu(m);
}

}  // namespace

void StartDrag(HWND bar) {
    g_select.dragging = TRUE;
    SetCapture(bar);
    SetFocus(bar);
}

void EndDrag(HWND bar) {
    if (!g_select.dragging) return;
    g_select.dragging = FALSE;
    if (GetCapture() == bar) ReleaseCapture();
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void DragMoved(HWND, BOOL ctrl) {
    POINT pt{};
    GetCursorPos(&pt);
    HWND doc = nullptr;
    if (target_at(pt, &doc) == Target::None)
        show_cursor("NODROPCURSOR");
    else
        show_cursor(ctrl ? "DRAGCURSORMIX" : "DRAGCURSOR");
}

void Released(HWND bar, int x, int y, BOOL ctrl) {
    RECT rc{};
    GetClientRect(bar, &rc);
    if (y >= 0 && y < 20 && SelectFieldAt(x, rc.right) == FIELD_CLIPBOARD) {
        EndDrag(bar);
        clipboard_popup(bar, rc.right);
        return;
    }
    if (!g_select.dragging) return;
    EndDrag(bar);
    POINT screen{x, y};
    ClientToScreen(bar, &screen);
    HWND doc = nullptr;
    switch (target_at(screen, &doc)) {
        case Target::Preview:
            drop_on_preview(bar, screen, ctrl);
            break;
        case Target::Document:
            drop_on_document(bar, doc, screen, ctrl);
            break;
        case Target::None:
            break;
    }
}

void IdleCursor(HWND bar) {
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(bar, &pt);
    RECT rc{};
    GetClientRect(bar, &rc);
    bool over = SelectFieldAt(pt.x, rc.right) == FIELD_CLIPBOARD && ClipboardFileSize() > 10;
    if (over)
        show_cursor("DRAGFROMCURSOR");
    else
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

}  // namespace selectbar
