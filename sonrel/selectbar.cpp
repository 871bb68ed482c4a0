// The select bar's procedure: its clicks, menus, zoom and lifecycle.
#include <sonrel/blocks.h>
#include <sonrel/dialogs.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>

#include "bars.h"
#include "frame.h"
#include "recent.h"
#include "selectbar_private.h"
#include "threadman.h"

namespace selectbar {

SelectState g_select;

HWND ActiveDoc(HWND bar) {
    return reinterpret_cast<HWND>(SendMessage(GetParent(bar), UM_GETACTIVEDOC, 0, 0));
}

BOOL ReadZoom(HWND doc, DWORD* zoom) {
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    auto* p = static_cast<PositionBlock*>(GlobalLock(h));
    if (!p) return FALSE;
    *zoom = p->zoom;
    GlobalUnlock(h);
    return TRUE;
}

void StoreZoom(HWND bar, HWND doc, DWORD zoom) {
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    auto* p = static_cast<PositionBlock*>(GlobalLock(h));
    if (!p) return;
    p->zoom = zoom;
    GlobalUnlock(h);
    SetProp(doc, PROP_POSITION, h);
    InvalidateRect(doc, nullptr, TRUE);
    SendMessage(bar, UM_ZOOMCHANGED, 0, 0);
}

}  // namespace selectbar

using namespace selectbar;

BOOL ZoomOfCommand(WORD id, DWORD* zoom) {
    static const struct {
        WORD id;
        DWORD zoom;
    } kZooms[] = {
        {IDM_ZOOM_ORIGINAL, 1}, {IDM_ZOOM_50, 50},       {IDM_ZOOM_100, 100},
        {IDM_ZOOM_500, 500},    {IDM_ZOOM_1000, 1000},   {IDM_ZOOM_1500, 1500},
        {IDM_ZOOM_2000, 2000},  {IDM_ZOOM_WHOLEFILE, 0},
    };
    for (const auto& z : kZooms)
        if (z.id == id) {
            *zoom = z.zoom;
            return TRUE;
        }
    return FALSE;
}

namespace {

int bar_width(HWND bar) {
    RECT rc{};
    GetClientRect(bar, &rc);
    return rc.right;
}

// Shows a popup at (x, 18) of the bar with the field drawn pressed meanwhile;
// the chosen command comes back to the bar as WM_COMMAND.
void popup_at(HWND bar, HMENU menu, SelectField field, int x) {
    if (!menu) return;
    g_select.pressed = field;
    InvalidateRect(bar, nullptr, TRUE);
    UpdateWindow(bar);
    POINT pt{x, 18};
    ClientToScreen(bar, &pt);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, bar, nullptr);
    g_select.pressed = FIELD_NONE;
    InvalidateRect(bar, nullptr, TRUE);
}

HMENU zoom_menu() {
    HMENU m = CreatePopupMenu();
    AppendMenu(m, MF_STRING, IDM_ZOOM_ORIGINAL, "Original Size");
    AppendMenu(m, MF_STRING, IDM_ZOOM_USER, "User Defined...");
    AppendMenu(m, MF_SEPARATOR, 0, nullptr);
    AppendMenu(m, MF_STRING, IDM_ZOOM_50, "  50  x");
    AppendMenu(m, MF_STRING, IDM_ZOOM_100, "  100 x");
    AppendMenu(m, MF_STRING, IDM_ZOOM_500, "  500 x");
    AppendMenu(m, MF_STRING, IDM_ZOOM_1000, "1.000 x");
    AppendMenu(m, MF_STRING, IDM_ZOOM_1500, "1.500 x");
    AppendMenu(m, MF_STRING, IDM_ZOOM_2000, "2.000 x");
    AppendMenu(m, MF_SEPARATOR, 0, nullptr);
    AppendMenu(m, MF_STRING, IDM_ZOOM_WHOLEFILE, "Whole File");
    return m;
}

void own_popup(HWND bar, HMENU menu, SelectField field, int x) {
    popup_at(bar, menu, field, x);
    DestroyMenu(menu);
}

void show_information(HWND bar, HWND doc) {
    if (!ShowHeader(GetParent(bar))) return;
    InvalidateRect(g_shell.preview, nullptr, TRUE);
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    InvalidateRect(doc, nullptr, TRUE);
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
}

void step_zoom(HWND bar, HWND doc, int step) {
    DWORD zoom = 0;
    if (!ReadZoom(doc, &zoom)) return;
    if (step > 0)
        zoom += DWORD(step);
    else if (step == -1 && zoom > 1)
        zoom -= 1;
    else if (step < -1)
        zoom = zoom < 11 ? 1 : zoom - DWORD(-step);
    StoreZoom(bar, doc, zoom);
}

void pressed(HWND bar, int x) {
    const int R = bar_width(bar);
    HWND frame = GetParent(bar);
    switch (SelectFieldAt(x, R)) {
        case FIELD_RECENT:
            own_popup(bar, BuildRecentMenu(), FIELD_RECENT, 0);
            return;
        case FIELD_EXTENSIONS:
            popup_at(bar, reinterpret_cast<HMENU>(SendMessage(frame, UM_GETEXTMENU, 0, 0)),
                     FIELD_EXTENSIONS, 80);
            return;
        case FIELD_WINDOWS:
            popup_at(bar, reinterpret_cast<HMENU>(SendMessage(frame, UM_GETWINDOWPOPUP, 0, 0)),
                     FIELD_WINDOWS, 170);
            return;
        default:
            break;
    }
    HWND doc = ActiveDoc(bar);
    if (!doc) return;
    switch (SelectFieldAt(x, R)) {
        case FIELD_ZOOMIN:
            step_zoom(bar, doc, 1);
            return;
        case FIELD_ZOOMOUT:
            step_zoom(bar, doc, -1);
            return;
        case FIELD_ZOOM:
            own_popup(bar, zoom_menu(), FIELD_ZOOM, R - 184);
            return;
        case FIELD_INFO:
            show_information(bar, doc);
            return;
        case FIELD_CLIPBOARD:
            if (ClipboardFileSize() > 10) StartDrag(bar);
            return;
        default:
            return;
    }
}

void double_clicked(HWND bar, int x) {
    HWND doc = ActiveDoc(bar);
    if (!doc) return;
    SelectField f = SelectFieldAt(x, bar_width(bar));
    if (f == FIELD_ZOOMIN) step_zoom(bar, doc, 10);
    if (f == FIELD_ZOOMOUT) step_zoom(bar, doc, -10);
}

void zoom_command(HWND bar, WORD id) {
    HWND doc = ActiveDoc(bar);
    if (!doc) return;
    DWORD zoom = 0;
    if (ZoomOfCommand(id, &zoom)) {
        StoreZoom(bar, doc, zoom);
    } else if (id == IDM_ZOOM_USER && ShowZoomBy(GetParent(bar))) {
        InvalidateRect(doc, nullptr, TRUE);
        SendMessage(bar, UM_ZOOMCHANGED, 0, 0);
    }
}

void context_menu(HWND bar) {
    HMENU menu = LoadMenu(g_shell.instance, "ROLLDOWNCONTEXTMENU");
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    SetMenuDefaultItem(popup, IDM_OPTIONS, FALSE);
    POINT pt{};
    GetCursorPos(&pt);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, bar, nullptr);
    DestroyMenu(menu);
}

void make_tooltip(HWND bar) {
    RECT rc{};
    GetClientRect(bar, &rc);
    g_select.tooltip = CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0,
                                      0, bar, nullptr, g_shell.instance, nullptr);
    TOOLINFO ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = bar;
    ti.uId = 1;
    ti.rect = RECT{0, 0, 80, rc.bottom > 0 ? rc.bottom : 18};
    ti.lpszText = const_cast<LPSTR>("Eine der zuletzt benutzten Dateien laden");
    SendMessage(g_select.tooltip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace

LRESULT CALLBACK SelectBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            StartThreadCount(hwnd);
            g_select = SelectState{};
            make_tooltip(hwnd);
            return 0;
        case WM_DESTROY:
            StopThreadCount();
            g_select = SelectState{};
            return 0;
        case WM_PAINT:
            Paint(hwnd);
            ThreadCountRepainted();
            return 0;
        case UM_ZOOMCHANGED: {
            RECT rc{};
            GetClientRect(hwnd, &rc);
            RECT zoom{rc.right - 184, 0, rc.right - 116, rc.bottom};
            InvalidateRect(hwnd, &zoom, TRUE);
            return 0;
        }
        case WM_LBUTTONDOWN:
            pressed(hwnd, GET_X_LPARAM(lp));
            return 0;
        case WM_LBUTTONDBLCLK:
            double_clicked(hwnd, GET_X_LPARAM(lp));
            return 0;
        case WM_MOUSEMOVE:
            if (g_select.dragging) DragMoved(hwnd, (wp & MK_CONTROL) != 0);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (g_select.dragging && wp == VK_CONTROL) DragMoved(hwnd, msg == WM_KEYDOWN);
            return 0;
        case WM_LBUTTONUP:
            Released(hwnd, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), (wp & MK_CONTROL) != 0);
            return 0;
        case WM_CAPTURECHANGED:
            if (g_select.dragging && reinterpret_cast<HWND>(lp) != hwnd) EndDrag(hwnd);
            return 0;
        case WM_SETCURSOR:
            if (g_select.dragging) return TRUE;
            IdleCursor(hwnd);
            return TRUE;
        case WM_RBUTTONUP:
            context_menu(hwnd);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) >= IDM_SELECTBAR_FIRST)
                zoom_command(hwnd, LOWORD(wp));
            else
                SendMessage(GetParent(hwnd), WM_COMMAND, wp, lp);
            return 0;
        case WM_MENUSELECT:
            return SendMessage(GetParent(hwnd), WM_MENUSELECT, wp, lp);
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}
