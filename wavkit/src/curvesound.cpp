// The CurveSound editors' dialog: the pins, the drawing area and the mouse.
// A dragged pin is drawn inverted where it moves (twice restores the picture);
// the whole area is drawn again when the drag ends.
#include "curvesound.h"

#include <sonrel/dialogs.h>

#include <algorithm>
#include <cstdio>

#include "dialogs_private.h"
#include "document.h"
#include "entry.h"
#include "filedialogs.h"

namespace curve {

namespace {

using kern::CurvePin;
using kern::kCurveHeight;
using kern::kCurveWidth;

constexpr int kCountEdit = 113;
constexpr int kCountUpDown = 114;
constexpr int kReset = 114;  // the button shares the up-down's id; only the button sends WM_COMMAND
constexpr int kValue = 115;
constexpr int kHelp = 998;
constexpr int kPinRadius = 4;
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kPinFill = RGB(192, 192, 192);

// A dragged pin's client y snaps onto the area's top, the dotted lines, the
// middle line and the bottom when it comes within 2 pixels (inside the area).
struct Snap {
    int from, to, at;  // area pixels
};
constexpr Snap kSnaps[] = {
    {0, 2, 0}, {48, 52, 50}, {98, 102, 100}, {148, 152, 150}, {198, 200, 200},
};

RECT area_of(const Editor& e) {
    POINT o = e.kind->origin;
    return RECT{o.x, o.y, o.x + kCurveWidth, o.y + kCurveHeight};
}

void show_value(HWND dlg, int percent) {
    SetDlgItemInt(dlg, kValue, UINT(percent), TRUE);
}

void paint_area(HDC dc, const Editor& e) {
    RECT a = area_of(e);
    Down3Drectangle(dc, a.left - 1, a.top - 1, a.right + 1, a.bottom + 1);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, a.left, a.top, a.right, a.bottom);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, a.left, a.top, a.right, a.bottom);
    LineEx(dc, a.left, a.top + kCurveHeight / 2, a.right, a.top + kCurveHeight / 2, kGrey);
    HPEN dotted = CreatePen(PS_DOT, 1, kGrey);
    SelectObject(dc, dotted);
    for (int y : {kCurveHeight / 4, kCurveHeight * 3 / 4}) {
        MoveToEx(dc, a.left, a.top + y, nullptr);
        LineTo(dc, a.right, a.top + y);
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    POINT line[kMaxPins];
    for (int i = 0; i < e.count; ++i) line[i] = POINT{a.left + e.pins[i].x, a.top + e.pins[i].y};
    Polyline(dc, line, e.count);
    HBRUSH fill = CreateSolidBrush(kPinFill);
    SelectObject(dc, fill);
    for (int i = 0; i < e.count; ++i)
        Ellipse(dc, line[i].x - kPinRadius, line[i].y - kPinRadius, line[i].x + kPinRadius,
                line[i].y + kPinRadius);
    RestoreDC(dc, saved);
    DeleteObject(fill);
    DeleteObject(dotted);
}

// Draws a pin's circle inverted: once shows it, twice restores what was there.
void invert_pin(HWND dlg, const Editor& e, CurvePin p) {
    RECT a = area_of(e);
    HDC dc = GetDC(dlg);
    IntersectClipRect(dc, a.left, a.top, a.right, a.bottom);
    SetROP2(dc, R2_NOT);
    int x = a.left + p.x, y = a.top + p.y;
    Ellipse(dc, x - kPinRadius, y - kPinRadius, x + kPinRadius, y + kPinRadius);
    ReleaseDC(dlg, dc);
}

// The area with its sunken frame.
void repaint_area(HWND dlg, const Editor& e) {
    RECT a = area_of(e);
    a = RECT{a.left - 1, a.top - 1, a.right + 1, a.bottom + 1};
    InvalidateRect(dlg, &a, FALSE);
    UpdateWindow(dlg);
}

void press(HWND dlg, Editor& e, int mx, int my) {
    int x = mx - e.kind->origin.x, y = my - e.kind->origin.y;
    for (int i = 0; i < e.count; ++i) {
        const CurvePin& p = e.pins[i];
        if (p.x - kPinRadius < x && x < p.x + kPinRadius && p.y - kPinRadius < y &&
            y < p.y + kPinRadius) {
            e.dragged = i;
            e.dragging = true;
            SetCapture(dlg);
            show_value(dlg, kCurveHeight - p.y);
            return;
        }
    }
}

// The pin follows the mouse while it stays over the area; an inner pin moves
// sideways only between its neighbours, the first and last only up and down.
void drag(HWND dlg, Editor& e, int mx, int my) {
    POINT o = e.kind->origin;
    int y = my - o.y;
    for (const Snap& s : kSnaps)
        if (y >= s.from && y <= s.to) y = s.at;
    int x = mx - o.x;
    if (x <= 0 || x >= kCurveWidth || y < 0 || y > kCurveHeight) return;
    const int i = e.dragged;
    CurvePin& p = e.pins[i];
    invert_pin(dlg, e, p);
    if (i > 0 && i < e.count - 1 && e.pins[i - 1].x < x && x < e.pins[i + 1].x) p.x = x;
    p.y = y;
    invert_pin(dlg, e, p);
    show_value(dlg, kCurveHeight - p.y);
}

void end_drag(HWND dlg, Editor& e) {
    e.dragging = false;
    e.dragged = -1;
    if (GetCapture() == dlg) ReleaseCapture();
    repaint_area(dlg, e);
}

// Reset Pin Positions: the count typed in the edit, held within its range
// (text that is no number keeps the pins' count), shown back in the edit.
void reset_from_edit(HWND dlg, Editor& e) {
    BOOL ok = FALSE;
    UINT typed = GetDlgItemInt(dlg, kCountEdit, &ok, FALSE);
    int count = ok ? clamp_count(long(typed)) : e.count;
    SetDlgItemInt(dlg, kCountEdit, UINT(count), FALSE);
    reset_pins(e, count);
    repaint_area(dlg, e);
    show_value(dlg, kCurveHeight / 2);
    store_count(e);
}

void init(HWND dlg, Editor& e) {
    SetWindowLongPtr(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&e));
    filedlg::centre_over_parent(dlg, dlgs::kRaiseZoom);
    e.dragged = -1;
    e.dragging = false;
    int count = clamp_count(SettingWord(e.kind->count));
    dlgs::attach_updown(dlg, kCountEdit, kCountUpDown, kMinPins, kMaxPins, count);
    SetDlgItemInt(dlg, kCountEdit, UINT(count), FALSE);
    reset_pins(e, count);
    HWND doc = doc::active_document(e.frame);
    if (!doc) return;
    doc::Pin<PositionBlock> pos(doc, PROP_POSITION);
    bool marked = pos && pos->markLength != 0;
    if (!marked) EnableWindow(GetDlgItem(dlg, kMarkedArea), FALSE);
    CheckDlgButton(dlg, marked ? kMarkedArea : kWholeFile, BST_CHECKED);
}

bool command(HWND dlg, Editor& e, int id, int code) {
    switch (id) {
        case IDOK:
            e.kind->apply(dlg, e);
            EndDialog(dlg, 1);
            return true;
        case IDCANCEL:
            EndDialog(dlg, 0);
            return true;
        case kReset:
            if (code == BN_CLICKED) reset_from_edit(dlg, e);
            return true;
        case kHelp:
            return true;
        default:
            return false;
    }
}

Editor* editor_of(HWND dlg) {
    return reinterpret_cast<Editor*>(GetWindowLongPtr(dlg, DWLP_USER));
}

bool handle(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        init(dlg, *reinterpret_cast<Editor*>(lp));
        return true;
    }
    Editor* e = editor_of(dlg);
    if (!e) return false;
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(dlg, &ps);
            paint_area(dc, *e);
            EndPaint(dlg, &ps);
            return true;
        }
        case WM_LBUTTONDOWN:
            press(dlg, *e, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return true;
        case WM_MOUSEMOVE:
            if (e->dragging) drag(dlg, *e, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return true;
        case WM_LBUTTONUP:
            if (e->dragging) end_drag(dlg, *e);
            return true;
        case WM_CAPTURECHANGED:
            // Capture taken away mid-drag: the drag ends where the pin stands.
            if (e->dragging && reinterpret_cast<HWND>(lp) != dlg) end_drag(dlg, *e);
            return false;
        case WM_COMMAND:
            return command(dlg, *e, LOWORD(wp), HIWORD(wp));
        default:
            return false;
    }
}

INT_PTR CALLBACK editor_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(FALSE, [&] { return handle(dlg, msg, wp, lp) ? TRUE : FALSE; });
}

BOOL run(HWND frame, const Kind& kind) {
    Editor e{&kind, frame, kMinPins, {}, -1, false};
    return dlgs::run(frame, kind.templateName, editor_proc, reinterpret_cast<LPARAM>(&e));
}

const Kind kVolume{"CSVOLUME", SET_CURVESOUND_VOLUMENUMBER, POINT{10, 10}, apply_volume};
const Kind kChannels{"CSFADECHANNELS", SET_CURVESOUND_FADECHANNELSNUMBER, POINT{30, 10},
                     apply_channels};

}  // namespace

int clamp_count(long n) {
    return int(std::clamp<long>(n, kMinPins, kMaxPins));
}

void store_count(const Editor& e) {
    char text[16];
    std::snprintf(text, sizeof text, "%u", unsigned(e.count));
    RegWriteString(e.kind->count.path, text);
}

void reset_pins(Editor& e, int count) {
    e.count = clamp_count(count);
    for (int k = 0; k < e.count; ++k)
        e.pins[k] = CurvePin{kCurveWidth / (e.count - 1) * k, kCurveHeight / 2};
    e.pins[e.count - 1].x = kCurveWidth;
}

}  // namespace curve

WAVKIT_API BOOL ShowCSVolume(HWND frame) {
    return entry::guarded(FALSE, [&] { return curve::run(frame, curve::kVolume); });
}

WAVKIT_API BOOL ShowCSFadeChannels(HWND frame) {
    return entry::guarded(FALSE, [&] { return curve::run(frame, curve::kChannels); });
}
