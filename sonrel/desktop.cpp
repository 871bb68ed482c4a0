// The virtual desktop: the MDI client's background. There is no desktop
// wallpaper on Linux to shine through, so "ShineThrough" paints the client's
// plain background instead.
#include <sonrel/settings.h>

#include "bars.h"
#include "frame.h"

namespace {

constexpr COLORREF kDeskColour = RGB(0, 153, 204);
constexpr COLORREF kReleaseColour = RGB(255, 209, 53);

WNDPROC g_clientProc = nullptr;
HBITMAP g_back = nullptr;
HBITMAP g_mark = nullptr;

void paint(HWND client) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(client, &ps);
    RECT rc{};
    GetClientRect(client, &rc);
    const int r = rc.right, b = rc.bottom;
    if (SettingBool(SET_BOOLEAN_SHINETHROUGH)) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_APPWORKSPACE));
    } else {
        FilledBox(dc, 0, 0, r - 400, b, kDeskColour);
        FilledBox(dc, r - 400, 240, r, b, kDeskColour);
        if (!g_back) g_back = LoadBitmap(g_shell.instance, "COLOREDBACK");
        if (!g_mark) g_mark = LoadBitmap(g_shell.instance, "COLOREDSNR2003");
        ShowBitmap(dc, r - 400, 0, g_back);
        ShowBitmap(dc, 0, b - 100, g_mark);
    }
    HFONT font = RVGetStockObject(2);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kReleaseColour);
    Text(dc, r - 140, b - 16, "Sonrel2003 Release 4.1");
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(client, &ps);
}

void context_menu(HWND client) {
    HMENU menu = LoadMenu(g_shell.instance, "VDESKTOP");
    if (!menu) return;
    POINT pt{};
    GetCursorPos(&pt);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0,
                   GetParent(client), nullptr);
    DestroyMenu(menu);
}

}  // namespace

LRESULT CALLBACK VirtualDesktopProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_RBUTTONUP:
            context_menu(hwnd);
            return 0;
        case WM_COMMAND:
            PostMessage(GetParent(hwnd), WM_COMMAND, wp, lp);
            return 0;
        case WM_DESTROY:
            if (g_back) DeleteObject(g_back);
            if (g_mark) DeleteObject(g_mark);
            g_back = g_mark = nullptr;
            break;
    }
    return CallWindowProc(g_clientProc, hwnd, msg, wp, lp);
}

void AttachVirtualDesktop(HWND client) {
    auto old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(VirtualDesktopProc)));
    if (old != VirtualDesktopProc) g_clientProc = old;
    InvalidateRect(client, nullptr, TRUE);
}
