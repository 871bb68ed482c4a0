// "msctls_updown32": two arrow buttons that step a position within a range
// and, with UDS_SETBUDDYINT, keep the buddy window's text at that number. The
// control draws itself and takes its clicks as window messages, so it needs
// no widget of its own.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "controls_private.h"
#include "platform/commctrl.h"
#include "platform/gdi.h"

namespace plat::dlg {

namespace {

constexpr int kDefaultWidth = 16;  // pixels, when the caller gives no width

struct UpDown {
    int lower = 0;
    int upper = 100;
    int pos = 0;
    HWND buddy = nullptr;
};

std::map<HWND, UpDown> g_updowns;  // user-interface thread only

DWORD style_of(HWND hwnd) {
    return DWORD(GetWindowLong(hwnd, GWL_STYLE));
}

int clamp_to_range(const UpDown& u, int v) {
    return std::clamp(v, std::min(u.lower, u.upper), std::max(u.lower, u.upper));
}

void write_buddy(HWND hwnd, const UpDown& u) {
    if (!u.buddy || !(style_of(hwnd) & UDS_SETBUDDYINT)) return;
    char text[16];
    std::snprintf(text, sizeof text, "%d", u.pos);
    SetWindowText(u.buddy, text);
}

// Reads the buddy's number into the position; false when its text is no
// number or lies outside the range (then clamped).
bool read_buddy(HWND hwnd, UpDown& u) {
    if (!u.buddy || !(style_of(hwnd) & UDS_SETBUDDYINT)) return true;
    char text[32] = "";
    GetWindowText(u.buddy, text, sizeof text);
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    while (end && *end == ' ') ++end;
    if (end == text || (end && *end) || errno == ERANGE) return false;
    u.pos = clamp_to_range(u, int(std::clamp<long>(value, INT_MIN, INT_MAX)));
    return u.pos == value;
}

// The step an arrow makes: towards upper for +1, wrapping or stopping at the ends.
int stepped(HWND hwnd, const UpDown& u, int delta) {
    int dir = u.upper >= u.lower ? delta : -delta;
    int lo = std::min(u.lower, u.upper), hi = std::max(u.lower, u.upper);
    int next = u.pos + dir;
    if (next >= lo && next <= hi) return next;
    if (!(style_of(hwnd) & UDS_WRAP)) return u.pos;
    return next > hi ? lo : hi;
}

void arrow_clicked(HWND hwnd, int delta) {
    auto it = g_updowns.find(hwnd);
    if (it == g_updowns.end()) return;
    read_buddy(hwnd, it->second);
    NMUPDOWN nm{{hwnd, UINT_PTR(GetDlgCtrlID(hwnd)), UDN_DELTAPOS}, it->second.pos, delta};
    HWND parent = GetParent(hwnd);
    if (parent && SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)))
        return;
    it = g_updowns.find(hwnd);
    if (it == g_updowns.end()) return;
    int next = stepped(hwnd, it->second, delta);
    if (next == it->second.pos) return;
    it->second.pos = next;
    write_buddy(hwnd, it->second);
    if (parent)
        SendMessage(parent, (style_of(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                    MAKEWPARAM(SB_THUMBPOSITION, next), reinterpret_cast<LPARAM>(hwnd));
}

// Which arrow a client point falls on: +1 the up (left) half, -1 the other.
int arrow_at(HWND hwnd, LPARAM lp) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    bool horz = style_of(hwnd) & UDS_HORZ;
    bool first = horz ? GET_X_LPARAM(lp) < rc.right / 2 : GET_Y_LPARAM(lp) < rc.bottom / 2;
    return horz ? (first ? -1 : 1) : (first ? 1 : -1);
}

// One arrow button: a raised face with a small solid triangle, tip towards dir.
void paint_arrow(HDC dc, RECT rc, int dirX, int dirY, bool enabled) {
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(dc, pen);
    int cx = (rc.left + rc.right) / 2, cy = (rc.top + rc.bottom) / 2;
    int size = std::max(1, std::min(rc.right - rc.left, rc.bottom - rc.top) / 4);
    for (int i = 0; i < size; ++i) {
        int along = (dirX + dirY) > 0 ? size / 2 - i : i - size / 2;
        if (dirY) {
            MoveToEx(dc, cx - i, cy - dirY * along, nullptr);
            LineTo(dc, cx + i + 1, cy - dirY * along);
        } else {
            MoveToEx(dc, cx + dirX * along, cy - i, nullptr);
            LineTo(dc, cx + dirX * along, cy + i + 1);
        }
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc{};
    GetClientRect(hwnd, &rc);
    bool enabled = IsWindowEnabled(hwnd);
    if (style_of(hwnd) & UDS_HORZ) {
        int mid = rc.right / 2;
        paint_arrow(dc, RECT{0, 0, mid, rc.bottom}, -1, 0, enabled);
        paint_arrow(dc, RECT{mid, 0, rc.right, rc.bottom}, 1, 0, enabled);
    } else {
        int mid = rc.bottom / 2;
        paint_arrow(dc, RECT{0, 0, rc.right, mid}, 0, 1, enabled);
        paint_arrow(dc, RECT{0, mid, rc.right, rc.bottom}, 0, -1, enabled);
    }
    EndPaint(hwnd, &ps);
}

// Takes the buddy's right or left edge, as the alignment styles ask.
void align_to_buddy(HWND hwnd, HWND buddy) {
    DWORD style = style_of(hwnd);
    HWND parent = GetParent(hwnd);
    if (!buddy || !parent || !(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
    RECT own{}, rc{};
    GetWindowRect(hwnd, &own);
    GetWindowRect(buddy, &rc);
    POINT at{rc.left, rc.top};
    ScreenToClient(parent, &at);
    int width = own.right - own.left > 0 ? own.right - own.left : kDefaultWidth;
    int bw = std::max(0, int(rc.right - rc.left) - width), bh = rc.bottom - rc.top;
    if (style & UDS_ALIGNRIGHT) {
        MoveWindow(buddy, at.x, at.y, bw, bh, TRUE);
        MoveWindow(hwnd, at.x + bw, at.y, width, bh, TRUE);
    } else {
        MoveWindow(buddy, at.x + width, at.y, bw, bh, TRUE);
        MoveWindow(hwnd, at.x, at.y, width, bh, TRUE);
    }
}

LRESULT set_pos(HWND hwnd, UpDown& u, int pos) {
    int old = u.pos;
    u.pos = clamp_to_range(u, pos);
    write_buddy(hwnd, u);
    return old;
}

LRESULT handle(HWND hwnd, UpDown& u, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case UDM_SETRANGE:
            u.upper = short(LOWORD(lp));
            u.lower = short(HIWORD(lp));
            return 0;
        case UDM_GETRANGE:
            return MAKELONG(u.upper, u.lower);
        case UDM_SETRANGE32:
            u.lower = int(wp);
            u.upper = int(lp);
            return 0;
        case UDM_GETRANGE32:
            if (wp) *reinterpret_cast<int*>(wp) = u.lower;
            if (lp) *reinterpret_cast<int*>(lp) = u.upper;
            return 0;
        case UDM_SETPOS:
            return set_pos(hwnd, u, short(LOWORD(lp)));
        case UDM_SETPOS32:
            return set_pos(hwnd, u, int(lp));
        case UDM_GETPOS: {
            bool ok = read_buddy(hwnd, u);
            return MAKELONG(u.pos, ok ? 0 : 1);
        }
        case UDM_GETPOS32: {
            bool ok = read_buddy(hwnd, u);
            if (lp) *reinterpret_cast<BOOL*>(lp) = ok ? FALSE : TRUE;
            return u.pos;
        }
        case UDM_SETBUDDY: {
            HWND old = u.buddy;
            u.buddy = reinterpret_cast<HWND>(wp);
            align_to_buddy(hwnd, u.buddy);
            write_buddy(hwnd, u);
            return reinterpret_cast<LRESULT>(old);
        }
        case UDM_GETBUDDY:
            return reinterpret_cast<LRESULT>(u.buddy);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            arrow_clicked(hwnd, arrow_at(hwnd, lp));
            return 0;
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        default:
            return control_default(hwnd, msg, wp, lp);
    }
}

}  // namespace

LRESULT CALLBACK updown_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        g_updowns[hwnd] = UpDown{};
        return 0;
    }
    if (msg == WM_DESTROY) g_updowns.erase(hwnd);
    auto it = g_updowns.find(hwnd);
    if (it == g_updowns.end()) return control_default(hwnd, msg, wp, lp);
    return handle(hwnd, it->second, msg, wp, lp);
}

}  // namespace plat::dlg

PLATFORM_API HWND CreateUpDownControl(DWORD style, int x, int y, int cx, int cy, HWND parent,
                                      int id, HINSTANCE inst, HWND buddy, int upper, int lower,
                                      int pos) {
    HWND hwnd = CreateWindowEx(0, UPDOWN_CLASS, "", style | WS_CHILD, x, y, cx, cy, parent,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), inst, nullptr);
    if (!hwnd) return nullptr;
    SendMessage(hwnd, UDM_SETRANGE32, WPARAM(lower), LPARAM(upper));
    SendMessage(hwnd, UDM_SETPOS32, 0, LPARAM(pos));
    if (buddy) SendMessage(hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    return hwnd;
}
