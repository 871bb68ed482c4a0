// Painting of the preview bar: the frame of the graph and of the position
// track, the waveform of the whole document as one polyline per channel, and
// the mark outline drawn with the XOR pen.
//
// Every point is one sample value taken at its column (point sampling), so a
// paint reads at most G / step values per channel, whatever the file's length.
#include <kit/rvg32.h>
#include <sonrel/effects.h>
#include <sonrel/wavkit.h>

#include <algorithm>
#include <vector>

#include "previewbar.h"
#include "waveview.h"

using namespace previewbar;

namespace {

void background(HDC dc, int w, int h) {
    RECT rc{0, 0, w, h};
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    LineEx(dc, 0, 1, w, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    LineEx(dc, 0, h - 1, w, h - 1, GetSysColor(COLOR_BTNSHADOW));
}

// No document, or one still loading.
void empty_frame(HDC dc, int w, int h) {
    background(dc, w, h);
    Down3Drectangle(dc, 5, 5, w - 5, h - 5);
    FilledBox(dc, 6, 6, w - 6, h - 6, 0x000000);
}

void areas(HDC dc, int w, int h) {
    background(dc, w, h);
    Down3Drectangle(dc, 19, 5, w - 5, h - 13);
    Down3Drectangle(dc, 19, h - 11, w - 5, h - 5);
    FilledBox(dc, 20, 6, w - 6, h - 14, 0x000000);
    FilledBox(dc, 20, h - 10, w - 6, h - 6, 0x000000);
}

struct Channel {
    int parity;  // -1 every index, 0 even indices, 1 odd indices
    int centre;  // y of the zero line
    int lift;    // added to every y
    int height;  // band height given to PixelCalculate
    COLORREF colour;
};

// One polyline from (20, centre) through a point every step pixels; indices
// past the data end the line.
void polyline(HDC dc, const uint8_t* wave, const DocInfo& d, int w, const Channel& c) {
    const long long n = d.bits == 16 ? d.dataSize / 2 : d.dataSize;
    const long long perPixel = n / (w - 26);
    const float step = std::max(g_previewBar.step, 0.01f);
    std::vector<POINT> pts;
    pts.reserve(static_cast<size_t>((w - 26) / step) + 2);
    pts.push_back(POINT{20, c.centre});
    for (float x = 20.0f; x < static_cast<float>(w - 6); x += step) {
        long long i = static_cast<long long>(static_cast<double>(x - 20.0f) * perPixel);
        if (c.parity == 0 && (i & 1)) ++i;
        if (c.parity == 1 && !(i & 1)) ++i;
        if (i >= n) break;
        int p = PixelCalculate(waveview::sample_at(wave, d.bits, i), d.bits, c.height);
        pts.push_back(POINT{static_cast<int>(x), c.centre - p + c.lift});
    }
    if (pts.size() < 2) return;
    HPEN pen = CreatePen(PS_SOLID, 1, c.colour);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, pts.data(), static_cast<int>(pts.size()));
    SelectObject(dc, old);
    DeleteObject(pen);
}

void waveform(HDC dc, const uint8_t* wave, const DocInfo& d, int w, int h) {
    const int hh = h - 20;
    HINSTANCE inst = instance();
    if (d.channels == 2) {
        ShowResourceBitmap(dc, inst, "LEFTCHANNEL", 6, 7);
        ShowResourceBitmap(dc, inst, "RIGHTCHANNEL", 6, h - 55);
    } else {
        ShowResourceBitmap(dc, inst, "MONOCHANNEL", 6, h / 2 - 33);
    }
    IntersectClipRect(dc, 20, 6, w - 6, h - 14);
    if (d.channels == 2) {
        polyline(dc, wave, d, w, Channel{0, hh / 4, 3, hh / 2, PREVIEW_LEFT_COLOUR});
        polyline(dc, wave, d, w, Channel{1, 3 * hh / 4, 0, hh / 2, PREVIEW_RIGHT_COLOUR});
    } else {
        polyline(dc, wave, d, w, Channel{-1, hh / 2, 0, hh - 4, PREVIEW_LEFT_COLOUR});
    }
}

// The outline's columns for the document's mark; FALSE when none is shown.
BOOL outline_of(const DocInfo& d, int w, int* x1, int* x2) {
    const DWORD perPixel = bytes_per_pixel(d.dataSize, w);
    if (perPixel == 0) return FALSE;
    *x1 = x_of(d.markStart, perPixel);
    *x2 = x_of(d.markStart + d.markLength, perPixel);
    return TRUE;
}

void set_outline(BOOL shown, int x1, int x2) {
    g_previewBar.overlay = shown;
    g_previewBar.markStartX = shown ? x1 : 0;
    g_previewBar.markEndX = shown ? x2 : 0;
}

void draw_document(HWND doc, HDC dc, int w, int h) {
    areas(dc, w, h);
    g_previewBar.markerX = 0;
    set_outline(FALSE, 0, 0);
    waveview::Blocks b(doc, true);
    DocInfo d{};
    if (!read_doc(doc, &d) || !b.wave || bytes_per_pixel(d.dataSize, w) == 0) return;
    SetBkMode(dc, TRANSPARENT);
    waveform(dc, b.wave, d, w, h);
    int x1 = 0, x2 = 0;
    if (outline_of(d, w, &x1, &x2)) {
        xor_outline(dc, w, h, x1, x2);
        set_outline(TRUE, x1, x2);
    }
}

}  // namespace

namespace previewbar {

void xor_outline(HDC dc, int w, int h, int x1, int x2) {
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 20, 6, w - 6, h - 14);
    SetROP2(dc, R2_XORPEN);
    HPEN pen = CreatePen(PS_SOLID, 1, PREVIEW_MARK_COLOUR);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    if (x1 == x2) {
        MoveToEx(dc, x1, 6, nullptr);
        LineTo(dc, x1, h - 14);
    } else {
        Rectangle(dc, std::min(x1, x2), 6, std::max(x1, x2), h - 14);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    RestoreDC(dc, saved);
}

void redraw_outline(HWND bar, HWND doc) {
    int w = 0, h = 0;
    client_size(bar, &w, &h);
    DocInfo d{};
    int x1 = 0, x2 = 0;
    BOOL shown = FALSE;
    if (doc && !IsFileWorking(doc)) {
        waveview::TryGuard guard(doc);
        if (!guard.held) {
            InvalidateRect(bar, nullptr, FALSE);
            return;
        }
        shown = read_doc(doc, &d) && outline_of(d, w, &x1, &x2);
    }
    HDC dc = GetDC(bar);
    if (!dc) return;
    if (g_previewBar.overlay) xor_outline(dc, w, h, g_previewBar.markStartX, g_previewBar.markEndX);
    if (shown) xor_outline(dc, w, h, x1, x2);
    set_outline(shown, x1, x2);
    ReleaseDC(bar, dc);
}

LRESULT on_paint(HWND bar) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    int w = 0, h = 0;
    client_size(bar, &w, &h);
    HWND doc = active_document();
    if (!doc || IsFileWorking(doc)) {
        empty_frame(dc, w, h);
        set_outline(FALSE, 0, 0);
        g_previewBar.markerX = 0;
        EndPaint(bar, &ps);
        return 0;
    }
    waveview::TryGuard guard(doc);
    if (!guard.held) {
        EndPaint(bar, &ps);
        return 1;
    }
    const BOOL wasRunning = g_previewBar.running;
    if (wasRunning) SuspendThread(g_previewBar.thread);
    int saved = SaveDC(dc);
    bool fault = false;
    try {
        draw_document(doc, dc, w, h);
    } catch (...) {
        fault = true;
    }
    RestoreDC(dc, saved);
    EndPaint(bar, &ps);
    if (wasRunning) ResumeThread(g_previewBar.thread);
    if (fault) ExceptionBox(bar, "Preview WM_PAINT");
    return 0;
}

}  // namespace previewbar
