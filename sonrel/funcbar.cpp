// The function bar ("FuncBar"): a wrapping toolbar of the effect commands at
// the frame's left edge; the extensions' buttons follow them.
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include "bars.h"
#include "extensions.h"
#include "frame.h"

namespace {

constexpr int kToolbarId = 1001;
constexpr int kImageSize = 17;

// clang-format off
const TBBUTTON kFuncButtons[] = {
    {0,  IDM_EXTENSIONBUTTONS, TBSTATE_ENABLED, BTNS_CHECK,  {}, 0, 0},
    {1,  IDM_DOCK,             TBSTATE_ENABLED, BTNS_CHECK,  {}, 0, 0},
    {2,  IDM_FADEIN,           TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {3,  IDM_FADEOUT,          TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {4,  IDM_VOLUME,           TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {5,  IDM_SOFTEN,           TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {6,  IDM_FADELEFTTORIGHT,  TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {7,  IDM_FADERIGHTTOLEFT,  TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {8,  IDM_MAXVOLUME,        TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {9,  IDM_VELOCITY,         TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {10, IDM_CSVOLUME,         TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {11, IDM_CSFADECHANNELS,   TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {12, IDM_SILENCE,          TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {13, IDM_REVERSE,          TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {14, IDM_ZEROIZE,          TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    {15, IDM_SEPARATECHANNELS, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
};
// clang-format on

HINSTANCE module_of(HWND w) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtr(w, GWLP_HINSTANCE));
}

void make_toolbar(HWND bar) {
    const int n = int(sizeof kFuncButtons / sizeof kFuncButtons[0]);
    HWND tb = CreateToolbarEx(
        bar, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | TBSTYLE_WRAPABLE, kToolbarId,
        n, module_of(bar), 111, kFuncButtons, n, kImageSize, kImageSize, kImageSize, kImageSize,
        sizeof(TBBUTTON));
    if (tb && SettingDWord(SET_FUNCBAR_DOCKED) == 1)
        SendMessage(tb, TB_CHECKBUTTON, IDM_DOCK, TRUE);
}

// A button's tooltip: string id + 10000; an extension's button shows the
// text its extension gives.
void button_tip(HWND bar, NMTTDISPINFO* info) {
    UINT id = UINT(info->hdr.idFrom);
    if (id >= IDM_EXTENSION_FIRST && id <= 9999) {
        info->hinst = nullptr;
        info->lpszText = const_cast<char*>(ExtensionTooltipText(id));
        return;
    }
    info->hinst = module_of(bar);
    info->lpszText = MAKEINTRESOURCE(IDS_TOOLTIP_BASE + id);
}

void context_menu(HWND bar) {
    HMENU menu = LoadMenu(module_of(bar), "FUNCBARCONTEXTMENU");
    if (!menu) return;
    POINT pt{};
    GetCursorPos(&pt);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, bar,
                   nullptr);
    DestroyMenu(menu);
}

}  // namespace

LRESULT CALLBACK FuncBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            make_toolbar(hwnd);
            return 0;
        case UM_GETFUNCTOOLBAR:
            return reinterpret_cast<LRESULT>(GetDlgItem(hwnd, kToolbarId));
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (hdr->code == TTN_GETDISPINFO) button_tip(hwnd, reinterpret_cast<NMTTDISPINFO*>(lp));
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wp) >= 101 && LOWORD(wp) <= 1999)
                return SendMessage(GetParent(hwnd), WM_COMMAND, wp, lp);
            return 0;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_CLOSE) {
                ShowWindow(hwnd, SW_HIDE);
                return 0;
            }
            break;
        case WM_RBUTTONUP:
            context_menu(hwnd);
            return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}
