// The mouse on the preview bar: a press outside the mark draws a new mark
// over the whole document; a press inside the mark drags a copy of it to the
// bar itself, to the active document's window or to the select bar's
// clipboard field.
//
// Marks set here are byte offsets and lengths in multiples of 4 within the
// data. The new mark is made from the unrounded byte offsets of press and
// release, so a drag from right to left gives the mark of the same span drawn
// from left to right.
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <algorithm>
#include <cstring>

#include "frame.h"
#include "previewbar.h"
#include "waveview.h"

using namespace previewbar;

namespace {

// Where a dragged mark would land.
enum class Drop { None, Bar, Document, ClipboardField, SelectBar };

void show_cursor(const char* name) {
    HCURSOR c = LoadCursor(instance(), name);
    if (!c) c = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(c);
}

// The graph column for a mouse x; right is set when x lay beyond the graph
// and so stands for the data size.
int graph_x(int x, int w, bool* right) {
    *right = x > w - 6;
    return *right ? w - 6 : std::max(x, 20);
}

DWORD byte_at(int x, int w, DWORD dataSize) {
    bool right = false;
    const int gx = graph_x(x, w, &right);
    if (right) return dataSize;
    return static_cast<DWORD>(dataSize / static_cast<DWORD>(w - 26) * (gx - 20));
}

bool inside_mark(int x) {
    const int lo = std::min(g_previewBar.markStartX, g_previewBar.markEndX);
    const int hi = std::max(g_previewBar.markStartX, g_previewBar.markEndX);
    return g_previewBar.overlay && x > lo && x < hi;
}

// The document can be marked: ready, with data. Holds the guard meanwhile.
bool usable(HWND doc, DocInfo* d) {
    return doc && !IsFileWorking(doc) && read_doc(doc, d) && d->dataSize != 0;
}

void xor_band(HWND bar, int w, int h, int x1, int x2) {
    HDC dc = GetDC(bar);
    if (!dc) return;
    xor_outline(dc, w, h, x1, x2);
    ReleaseDC(bar, dc);
}

HWND document_at(HWND w) {
    for (; w; w = GetParent(w)) {
        char cls[32] = {};
        GetClassName(w, cls, sizeof cls);
        if (std::strcmp(cls, "Child Window") == 0 &&
            GetWindowLongPtr(w, GWLP_USERDATA) == DOCUMENT_USERDATA)
            return w;
    }
    return nullptr;
}

Drop drop_at(HWND bar, POINT screen, HWND* doc) {
    HWND under = WindowFromPoint(screen);
    *doc = nullptr;
    if (!under) return Drop::None;
    if (under == bar) return Drop::Bar;
    if ((*doc = document_at(under))) return Drop::Document;
    HWND select = frame_window(UM_GETSELECTBAR);
    for (HWND w = under; w; w = GetParent(w)) {
        if (w != select) continue;
        RECT rc{};
        GetClientRect(g_previewBar.frame, &rc);
        POINT pt = screen;
        ScreenToClient(g_previewBar.frame, &pt);
        const bool field = pt.x > rc.right - 320 && pt.x < rc.right - 220;
        return field ? Drop::ClipboardField : Drop::SelectBar;
    }
    return Drop::None;
}

Drop drop_under_cursor(HWND bar, HWND* doc) {
    POINT pt{};
    GetCursorPos(&pt);
    return drop_at(bar, pt, doc);
}

void drag_cursor(Drop d, bool ctrl) {
    if (d == Drop::Bar || d == Drop::Document || d == Drop::ClipboardField)
        show_cursor(ctrl ? "DRAGCURSORMIX" : "DRAGCURSOR");
    else
        show_cursor("NODROPCURSOR");
}

void paste_at(HWND doc, DWORD target) {
    SetMouseWait(nullptr);
    CopyAndPaste(doc, target & ~3u);
    SetMouseActive();
    SendMessage(frame_window(UM_GETPOSBAR), UM_MARKUPDATE, 0, 0);
}

void drop_on_bar(HWND bar, HWND doc, int x) {
    int w = 0, h = 0;
    client_size(bar, &w, &h);
    DWORD target = 0;
    {
        waveview::TryGuard guard(doc);
        DocInfo d{};
        if (!guard.held || !usable(doc, &d)) return;
        target = byte_at(std::min(x, w - 6), w, d.dataSize);
    }
    paste_at(doc, target);
}

// x in the document window's client coordinates.
void drop_on_document(HWND doc, int x) {
    int w = 0, h = 0;
    waveview::client_size(doc, &w, &h);
    x = std::clamp(x, 3, std::max(3, w - 3)) - 3;
    DWORD target = 0;
    {
        waveview::TryGuard guard(doc);
        waveview::Blocks b(doc, false);
        if (!guard.held || !b.ok() || b.header->dataSize == 0 || IsFileWorking(doc)) return;
        const long long unit = b.header->bitsPerSample == 16 ? 2 : 1;
        const long long values = SampleValueCount(b.header);
        const long long perPixel = b.pos->zoom != 0 ? b.pos->zoom : values / std::max(1, w - 6);
        const long long start = std::max<long long>(0, b.pos->viewStart);
        long long t = (start + x * perPixel) * unit;
        t = std::clamp<long long>(t, std::min<long long>(start * unit, b.header->dataSize),
                                  b.header->dataSize);
        target = static_cast<DWORD>(t);
    }
    SendMessage(frame_window(UM_GETSTATUSBAR), UM_BEFOREDROP, 0, 0);
    paste_at(doc, target);
}

void activate(HWND doc) {
    SendMessage(frame_window(UM_GETMDICLIENT), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(doc), 0);
}

void drop(HWND bar, int x, int y) {
    g_previewBar.dragging = 0;
    ReleaseCapture();
    POINT screen{x, y};
    ClientToScreen(bar, &screen);
    HWND target = nullptr;
    const Drop d = drop_at(bar, screen, &target);
    HWND doc = active_document();
    if (d == Drop::ClipboardField) {
        SendMessage(g_previewBar.frame, WM_COMMAND, IDM_COPY, 0);
    } else if (d == Drop::Bar && doc) {
        drop_on_bar(bar, doc, x);
    } else if (d == Drop::Document && target == doc) {
        activate(doc);
        POINT pt = screen;
        ScreenToClient(doc, &pt);
        drop_on_document(doc, pt.x);
    } else if (d == Drop::Document) {
        activate(target);
        ShowWindow(target, SW_SHOW);
    }
    show_cursor("PREVIEWCURSOR");
}

}  // namespace

namespace previewbar {

LRESULT on_button_down(HWND bar, int x, int) {
    HWND doc = active_document();
    int w = 0, h = 0;
    client_size(bar, &w, &h);
    if (!doc || w - 26 <= 0) return 0;
    bool right = false;
    const int gx = graph_x(x, w, &right);
    {
        waveview::TryGuard guard(doc);
        DocInfo d{};
        if (!guard.held || !usable(doc, &d)) return 0;
        if (inside_mark(x)) {
            g_previewBar.dragging = 1;
            SetCapture(bar);
            SetFocus(bar);
            show_cursor("DRAGCURSOR");
            return 0;
        }
        waveview::Blocks b(doc, false);
        g_previewBar.pressByte = byte_at(x, w, d.dataSize);
        b.pos->markStart = g_previewBar.pressByte & ~3u;
        b.pos->markLength = 0;
        b.pos->mouseMark = 0;
    }
    if (g_previewBar.overlay) xor_band(bar, w, h, g_previewBar.markStartX, g_previewBar.markEndX);
    g_previewBar.markStartX = g_previewBar.markEndX = gx;
    xor_band(bar, w, h, gx, gx);
    g_previewBar.overlay = TRUE;
    g_previewBar.newMark = 1;
    SetCapture(bar);
    show_cursor("PREVIEWMOVE");
    return 0;
}

LRESULT on_mouse_move(HWND bar, int x, int y) {
    HWND doc = active_document();
    int w = 0, h = 0;
    client_size(bar, &w, &h);
    if (!doc || w - 26 <= 0) return 0;
    if (g_previewBar.dragging) {
        POINT pt{x, y};
        ClientToScreen(bar, &pt);
        HWND target = nullptr;
        drag_cursor(drop_at(bar, pt, &target), GetKeyState(VK_CONTROL) < 0);
        return 0;
    }
    DWORD pos = 0;
    {
        waveview::TryGuard guard(doc);
        DocInfo d{};
        if (!guard.held || !usable(doc, &d)) return 0;
        pos = static_cast<DWORD>(d.dataSize / static_cast<DWORD>(w - 26) *
                                 (std::clamp(x, 20, w - 6) - 20));
    }
    if (!inside_mark(x)) SendMessage(frame_window(UM_GETPOSBAR), UM_MOUSEPOS, 0, pos);
    if (!g_previewBar.newMark) return 0;
    bool right = false;
    const int gx = graph_x(x, w, &right);
    xor_band(bar, w, h, g_previewBar.markStartX, g_previewBar.markEndX);
    g_previewBar.markEndX = gx;
    xor_band(bar, w, h, g_previewBar.markStartX, g_previewBar.markEndX);
    show_cursor("PREVIEWMOVE");
    return 0;
}

LRESULT on_button_up(HWND bar, int x, int y) {
    if (g_previewBar.dragging) {
        drop(bar, x, y);
        return 0;
    }
    if (!g_previewBar.newMark) return 0;
    g_previewBar.newMark = 0;
    ReleaseCapture();
    HWND doc = active_document();
    int w = 0, h = 0;
    client_size(bar, &w, &h);
    {
        waveview::TryGuard guard(doc);
        DocInfo d{};
        if (guard.held && usable(doc, &d)) {
            const DWORD end = byte_at(x, w, d.dataSize);
            const DWORD lo = std::min(g_previewBar.pressByte, end);
            const DWORD hi = std::max(g_previewBar.pressByte, end);
            waveview::Blocks b(doc, false);
            b.pos->markStart = lo & ~3u;
            b.pos->markLength = (hi - (lo & ~3u)) & ~3u;
            b.pos->mouseMark = 0;
        }
    }
    redraw_outline(bar, doc);
    SendMessage(frame_window(UM_GETPOSBAR), UM_MARKUPDATE, 0, 0);
    if (doc) InvalidateRect(doc, nullptr, FALSE);
    show_cursor("PREVIEWCURSOR");
    return 0;
}

void set_bar_cursor(HWND bar) {
    if (g_previewBar.newMark) return show_cursor("PREVIEWMOVE");
    if (g_previewBar.dragging) return show_cursor("DRAGCURSOR");
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(bar, &pt);
    show_cursor(inside_mark(pt.x) ? "DRAGFROMCURSOR" : "PREVIEWCURSOR");
}

void on_drag_key(HWND bar, WPARAM vk, bool down) {
    if (!g_previewBar.dragging) return;
    HWND doc = nullptr;
    const Drop d = drop_under_cursor(bar, &doc);
    if (down) {
        if (vk == VK_CONTROL && (d == Drop::Bar || d == Drop::Document))
            show_cursor("DRAGCURSORMIX");
        return;
    }
    const bool valid =
        d == Drop::Bar || d == Drop::Document || d == Drop::ClipboardField || d == Drop::SelectBar;
    show_cursor(valid ? "DRAGCURSOR" : "NODROPCURSOR");
}

}  // namespace previewbar
