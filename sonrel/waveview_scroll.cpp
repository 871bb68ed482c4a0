// Scrolling with the scroll bar and the wheel, and zoom with Ctrl and the
// wheel. View start is a sample-value index held within 0 .. number of values;
// the steps scale with the block align (bytes per frame) and the client width.
#include <sonrel/messages.h>

#include <algorithm>

#include "waveview.h"

using namespace waveview;

namespace {

// Stores the view start, moves the bar to it and repaints the drawing area.
void set_view_start(HWND doc, PositionBlock* pos, long long vs, long long n, int w, int h) {
    vs = std::clamp(vs, 0LL, n);
    pos->viewStart = static_cast<LONG>(vs);
    SetScrollPos(doc, SB_HORZ, static_cast<int>(vs), TRUE);
    RECT area{3, 3, w - 3, h - 3};
    InvalidateRect(doc, &area, FALSE);
}

// The new view start for a scroll bar request; false when the request moves nothing.
bool scrolled(HWND doc, int code, int thumb, const Blocks& b, int w, long long* vs) {
    const long long ba = b.header->blockAlign;
    const long long n = SampleValueCount(b.header);
    if (b.pos->zoom == 1) {
        switch (code) {
            case SB_LINELEFT:
                *vs -= ba * (w / 4);
                return true;
            case SB_LINERIGHT:
                *vs += ba * (w / 4);
                return true;
            case SB_PAGELEFT:
                *vs -= 3 * ba * w;
                return true;
            case SB_PAGERIGHT:
                *vs += 3 * ba * w;
                return true;
            case SB_ENDSCROLL:
                *vs = GetScrollPos(doc, SB_HORZ);
                return true;
        }
        return false;
    }
    const long long u = values_per_column(b.pos->zoom, n, w);
    switch (code) {
        case SB_LINELEFT:
            *vs -= u * ba * (w / 8);
            return true;
        case SB_LINERIGHT:
            *vs += u * ba * (w / 8);
            return true;
        case SB_PAGELEFT:
            *vs -= u * ba * (w / 2);
            return true;
        case SB_PAGERIGHT:
            *vs += u * ba * (w / 2);
            return true;
        case SB_THUMBPOSITION:
            *vs = thumb;
            return true;
    }
    return false;
}

// The thumb position of a drag: the message's high word holds only its low
// 16 bits, the bar keeps all of them. A request not from a drag of the bar
// (its track differs in the low bits) keeps the message's value.
int thumb_of(HWND doc, WPARAM wp) {
    const int code = LOWORD(wp);
    if (code != SB_THUMBPOSITION && code != SB_THUMBTRACK) return HIWORD(wp);
    SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    if (GetScrollInfo(doc, SB_HORZ, &si) && (si.nTrackPos & 0xFFFF) == HIWORD(wp))
        return si.nTrackPos;
    return HIWORD(wp);
}

}  // namespace

namespace waveview {

LRESULT on_hscroll(HWND doc, WPARAM wp) {
    int w = 0, h = 0;
    client_size(doc, &w, &h);
    TryGuard guard(doc);
    if (!guard.held) return 0;
    Blocks b(doc, false);
    if (!b.ok()) return 0;
    long long vs = b.pos->viewStart;
    if (scrolled(doc, LOWORD(wp), thumb_of(doc, wp), b, w, &vs))
        set_view_start(doc, b.pos, vs, SampleValueCount(b.header), w, h);
    return 0;
}

LRESULT on_wheel(HWND doc, int delta, bool ctrl) {
    int w = 0, h = 0;
    client_size(doc, &w, &h);
    const long long t = delta / WHEEL_DELTA;
    TryGuard guard(doc);
    if (!guard.held) return 0;
    Blocks b(doc, false);
    if (!b.ok()) return 0;
    if (ctrl) {
        if (t == 0) return 0;
        // Zoom 0 ("Whole File") is the lowest: lowering it further keeps it.
        if (t < 0) ++b.pos->zoom;
        if (t > 0 && b.pos->zoom > 0) --b.pos->zoom;
        RECT area{3, 3, w - 3, h - 3};
        InvalidateRect(doc, &area, FALSE);
        SendMessage(frame_window(frame_of(doc), UM_GETSELECTBAR), UM_ZOOMCHANGED, 0, 0);
        return 0;
    }
    const long long ba = b.header->blockAlign;
    const long long n = SampleValueCount(b.header);
    long long vs = b.pos->viewStart;
    if (b.pos->zoom == 1)
        vs -= ba * (t * w / 4);
    else
        vs -= values_per_column(b.pos->zoom, n, w) * t * ba * (w / 8);
    set_view_start(doc, b.pos, vs, n, w, h);
    return 0;
}

// 0 when done; 1 when an operation held the guard and the range must be set later.
LRESULT update_scroll_range(HWND doc) {
    TryGuard guard(doc);
    if (!guard.held) return 1;
    Blocks b(doc, false);
    const long long n = b.header ? SampleValueCount(b.header) : 0;
    if (n == 0) {
        EnableScrollBar(doc, SB_HORZ, ESB_DISABLE_BOTH);
        return 0;
    }
    EnableScrollBar(doc, SB_HORZ, ESB_ENABLE_BOTH);
    SetScrollRange(doc, SB_HORZ, 0, static_cast<int>(std::min<long long>(n, 0x7FFFFFFF)), TRUE);
    return 0;
}

}  // namespace waveview
