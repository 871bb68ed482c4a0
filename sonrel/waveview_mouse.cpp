// Marking with the left mouse button: press sets the mark start, dragging
// shows an inverted rubber band, release sets the mark. Marks are byte
// offsets of whole sample values (even for 16-bit data) within the data; in
// stereo they are not aligned to frames.
#include <sonrel/messages.h>

#include <algorithm>

#include "frame.h"
#include "waveview.h"

using namespace waveview;

namespace {

int clamp_x(int x, int w) {
    return std::clamp(x, 3, std::max(3, w - 3));
}

// Byte offset of the sample value under client x, within view start and the data.
DWORD byte_under(const Blocks& b, int x, int w) {
    const int bits = b.header->bitsPerSample;
    const long long unit = bits == 16 ? 2 : 1;
    const long long n = SampleValueCount(b.header);
    const long long spp = b.pos->zoom == 1 ? 1 : values_per_column(b.pos->zoom, n, w);
    const long long vs = std::max<long long>(0, b.pos->viewStart);
    long long pos = (vs + (x - 3) * spp) * unit;
    const long long end = static_cast<long long>(b.header->dataSize) / unit * unit;
    pos = std::clamp(pos, std::min(vs * unit, end), end);
    return static_cast<DWORD>(pos);
}

bool has_data(const Blocks& b) {
    return b.ok() && b.header->dataSize != 0;
}

void invert_band(HDC dc, int a, int b, int h) {
    if (a != b) PatBlt(dc, std::min(a, b), 4, std::abs(a - b), h - 8, DSTINVERT);
}

HWND position_bar(HWND doc) {
    return frame_window(frame_of(doc), UM_GETPOSBAR);
}

}  // namespace

namespace waveview {

void show_view_cursor(bool dragging) {
    HINSTANCE inst = g_shell.instance ? g_shell.instance : GetModuleHandle(nullptr);
    HCURSOR c = LoadCursor(inst, dragging ? "PREVIEWMOVE" : "PREVIEWCURSOR");
    if (!c) c = LoadCursor(nullptr, dragging ? IDC_SIZEWE : IDC_IBEAM);
    SetCursor(c);
}

LRESULT on_button_down(HWND doc, int x) {
    int w = 0, h = 0;
    client_size(doc, &w, &h);
    x = clamp_x(x, w);
    DWORD pos = 0;
    {
        TryGuard guard(doc);
        if (!guard.held) return 0;
        Blocks b(doc, false);
        if (!has_data(b)) return 0;
        pos = byte_under(b, x, w);
        b.pos->markStart = pos;
        b.pos->markLength = 0;
        b.pos->mouseMark = 0;
    }
    // Painted now, so the rubber band drawn next is not painted over later.
    InvalidateRect(doc, nullptr, FALSE);
    UpdateWindow(doc);
    g_waveView.anchorX = g_waveView.currentX = x;
    g_waveView.dragging = 1;
    SetCapture(doc);
    HWND bar = position_bar(doc);
    SendMessage(bar, UM_MOUSEPOS, 0, static_cast<LPARAM>(pos));
    SendMessage(bar, UM_MARKUPDATE, 0, 0);
    return 0;
}

LRESULT on_mouse_move(HWND doc, int x) {
    int w = 0, h = 0;
    client_size(doc, &w, &h);
    x = clamp_x(x, w);
    DWORD pos = 0;
    int edge = x;
    {
        TryGuard guard(doc);
        if (!guard.held) return 0;
        Blocks b(doc, false);
        if (!has_data(b)) return 0;
        pos = byte_under(b, x, w);
        const long long unit = b.header->bitsPerSample == 16 ? 2 : 1;
        const DWORD end = static_cast<DWORD>(b.header->dataSize / unit * unit);
        if (pos >= end) {
            const long long n = SampleValueCount(b.header);
            const long long spp = b.pos->zoom == 1 ? 1 : values_per_column(b.pos->zoom, n, w);
            const long long vs = std::max<long long>(0, b.pos->viewStart);
            edge = static_cast<int>((pos / unit - vs) / spp + 3);
        }
    }
    SendMessage(position_bar(doc), UM_MOUSEPOS, g_waveView.dragging, static_cast<LPARAM>(pos));
    if (!g_waveView.dragging) return 0;
    show_view_cursor(true);
    HDC dc = GetDC(doc);
    IntersectClipRect(dc, 3, 3, w - 3, h - 3);
    invert_band(dc, g_waveView.anchorX, g_waveView.currentX, h);
    g_waveView.currentX = edge;
    invert_band(dc, g_waveView.anchorX, g_waveView.currentX, h);
    ReleaseDC(doc, dc);
    return 0;
}

LRESULT on_button_up(HWND doc, int x) {
    if (!g_waveView.dragging) return 0;
    int w = 0, h = 0;
    client_size(doc, &w, &h);
    x = clamp_x(x, w);
    g_waveView.dragging = 0;
    ReleaseCapture();
    const bool click = g_waveView.anchorX == g_waveView.currentX;
    {
        TryGuard guard(doc);
        Blocks b(doc, false);
        if (guard.held && has_data(b)) {
            const DWORD o = byte_under(b, x, w);
            if (o > b.pos->markStart) {
                b.pos->markLength = o - b.pos->markStart;
            } else {
                b.pos->markLength = b.pos->markStart - o;
                b.pos->markStart = o;
            }
            b.pos->mouseMark = 0;
            if (click) b.pos->markLength = 0;
        }
    }
    if (click) {
        HDC dc = GetDC(doc);
        IntersectClipRect(dc, 3, 3, w - 3, h - 3);
        HPEN pen = CreatePen(PS_SOLID, 1, 0x000000);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, x, 3, nullptr);
        LineTo(dc, x, h - 3);
        SelectObject(dc, old);
        DeleteObject(pen);
        ReleaseDC(doc, dc);
    }
    g_waveView.anchorX = g_waveView.currentX = 0;
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    HWND frame = frame_of(doc);
    repaint(doc);
    repaint(frame_window(frame, UM_GETPREVIEW));
    repaint(frame_window(frame, UM_GETSTATUSBAR));
    SendMessage(position_bar(doc), UM_MARKUPDATE, 0, 0);
    show_view_cursor(false);
    return 0;
}

}  // namespace waveview
