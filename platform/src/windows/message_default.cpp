// Default processing of messages, as window procedures expect it: closing
// (WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE, WM_CLOSE destroys), painting and
// erasing with the class background, the class cursor, and passing wheel,
// cursor and context-menu requests of child windows on to their parent.
#include <cstring>

#include "painting/painting_private.h"
#include "windows_private.h"

namespace plat {

namespace {

bool is_child(HWND hwnd, HWND* parent) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w || w->kind == Kind::TopLevel || w->kind == Kind::Desktop) return false;
    *parent = w->parent;
    return find_window(w->parent) != nullptr;
}

LRESULT sys_command(HWND hwnd, WPARAM wp) {
    switch (wp & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            return 0;
        default:
            return 0;
    }
}

// The standard cursor for a sizing border, or null.
LPCSTR sizing_cursor(int hit) {
    switch (hit) {
        case HTTOP:
        case HTBOTTOM:
            return MAKEINTRESOURCE(32645);
        case HTLEFT:
        case HTRIGHT:
            return IDC_SIZEWE;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            return MAKEINTRESOURCE(32642);
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            return MAKEINTRESOURCE(32643);
        default:
            return nullptr;
    }
}

LRESULT set_cursor(HWND hwnd, WPARAM wp, LPARAM lp) {
    HWND parent;
    if (is_child(hwnd, &parent) && SendMessage(parent, WM_SETCURSOR, wp, lp)) return TRUE;
    if (LPCSTR sizing = sizing_cursor(LOWORD(lp))) {
        SetCursor(LoadCursor(nullptr, sizing));
        return TRUE;
    }
    if (LOWORD(lp) != HTCLIENT) return FALSE;
    HCURSOR c = class_cursor(hwnd);
    if (!c) return FALSE;
    SetCursor(c);
    return TRUE;
}

LRESULT get_text(HWND hwnd, WPARAM wp, LPARAM lp) {
    return GetWindowText(hwnd, reinterpret_cast<LPSTR>(lp), int(wp));
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    HWND parent = nullptr;
    switch (msg) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            return sys_command(hwnd, wp);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: {
            HBRUSH brush = class_background(hwnd);
            RECT rc;
            if (!brush || !wp || !GetClientRect(hwnd, &rc)) return 0;
            fill_background(reinterpret_cast<HDC>(wp), rc, brush);
            return 1;
        }
        case WM_SETCURSOR:
            return set_cursor(hwnd, wp, lp);
        case WM_MOUSEWHEEL:
        case WM_CONTEXTMENU:
            if (is_child(hwnd, &parent)) return SendMessage(parent, msg, wp, lp);
            return 0;
        case WM_RBUTTONUP: {
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ClientToScreen(hwnd, &pt);
            SendMessage(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), MAKELPARAM(pt.x, pt.y));
            return 0;
        }
        case WM_SYSKEYDOWN:
            if (wp == VK_F4) {
                HWND top = top_level_of(hwnd);
                if (top) SendMessage(top, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_SETTEXT:
            set_title(hwnd, reinterpret_cast<LPCSTR>(lp));
            return TRUE;
        case WM_GETTEXT:
            return get_text(hwnd, wp, lp);
        case WM_GETTEXTLENGTH:
            return GetWindowTextLength(hwnd);
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_MOUSEACTIVATE:
            return 1;
        case WM_QUERYENDSESSION:
            return TRUE;
        default:
            return 0;
    }
}
}
