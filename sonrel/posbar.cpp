// The position bar window: a 3-D strip that holds the dialog "POSBAR" at
// (2, 2) and the kit's three multimedia buttons beside it, which show a red
// lamp and do nothing more.
#include <kit/rvg32.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/posbar.h>

#include "bars.h"
#include "posbar_dialog.h"

namespace {

constexpr const char* kDialogProp = "POSBAR.DIALOG";
constexpr const char* kLampProp = "POSBAR.LAMP";

// Pixels: the gap after the dialog, and each button's size.
constexpr int kButtonGap = 8;
constexpr int kButtonWidth = 20;
constexpr int kButtonHeight = 19;

HINSTANCE instance_of(HWND hwnd) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtr(hwnd, GWLP_HINSTANCE));
}

void make_buttons(HWND bar, int left) {
    HBITMAP lamp = LoadBitmap(instance_of(bar), POSBAR_MMBUTTON_BITMAP);
    SetProp(bar, kLampProp, lamp);
    RVMULTIMEDIABUTTON button{};
    SetButton(&button, RECT{left, 3, left + kButtonWidth, 3 + kButtonHeight}, 1, lamp, 1);
    CreateRVMULTIMEDIABUTTON(bar, POSBAR_MMBUTTON_FIRST, POSBAR_MMBUTTON_COUNT, &button, 1, 0);
}

void on_create(HWND bar) {
    HWND dlg = CreateDialogParam(instance_of(bar), POSBAR_TEMPLATE, bar, PosBarDialogProc, 0);
    int right = 2;
    if (dlg) {
        SetProp(bar, kDialogProp, dlg);
        RECT rc{};
        GetWindowRect(dlg, &rc);
        SetWindowPos(dlg, nullptr, 2, 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(dlg, SW_SHOW);
        right += rc.right - rc.left;
    }
    make_buttons(bar, right + kButtonGap);
}

void on_destroy(HWND bar) {
    RemoveProp(bar, kDialogProp);
    if (HANDLE lamp = RemoveProp(bar, kLampProp)) DeleteObject(lamp);
}

// Button face but for the last row, a light line along the top and a shadow
// line along the bottom row.
void paint(HWND bar) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    RECT rc{};
    GetClientRect(bar, &rc);
    FilledBox(dc, 0, 0, rc.right, rc.bottom - 1, GetSysColor(COLOR_BTNFACE));
    FilledBox(dc, 0, 0, rc.right, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    FilledBox(dc, 0, rc.bottom - 1, rc.right, rc.bottom, GetSysColor(COLOR_BTNSHADOW));
    EndPaint(bar, &ps);
}

bool for_dialog(UINT msg) {
    return msg == UM_MOUSEPOS || msg == UM_MARKUPDATE || msg == UM_DOCAVAILABLE ||
           msg == UM_NODOCUMENT;
}

}  // namespace

HWND PosBarDialog(HWND bar) {
    return bar ? static_cast<HWND>(GetProp(bar, kDialogProp)) : nullptr;
}

// What the bar is told goes on to the dialog by posting, so a sender in the
// middle of a drag goes on before the fields are rewritten.
LRESULT CALLBACK PosBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (for_dialog(msg)) {
        PostMessage(PosBarDialog(hwnd), msg, wp, lp);
        return 0;
    }
    switch (msg) {
        case WM_CREATE:
            on_create(hwnd);
            return 0;
        case WM_DESTROY:
            on_destroy(hwnd);
            return 0;
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) == IDM_MARKALL || LOWORD(wp) == IDM_DESTROYMARK)
                PostMessage(PosBarDialog(hwnd), WM_COMMAND, wp, lp);
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}
