// Message dispatch of the preview bar, its sizing and menu, and the helpers
// the other preview units share.
#include "previewbar.h"

#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include <algorithm>
#include <cstdio>

#include "bars.h"
#include "frame.h"
#include "waveview.h"

PreviewBarState g_previewBar;

namespace previewbar {

HINSTANCE instance() {
    return g_shell.instance ? g_shell.instance : GetModuleHandle(nullptr);
}

void client_size(HWND bar, int* w, int* h) {
    RECT rc{};
    GetClientRect(bar, &rc);
    *w = rc.right;
    *h = rc.bottom;
}

HWND frame_window(UINT request) {
    return reinterpret_cast<HWND>(SendMessage(g_previewBar.frame, request, 0, 0));
}

HWND active_document() {
    return frame_window(UM_GETACTIVEDOC);
}

BOOL read_doc(HWND doc, DocInfo* info) {
    waveview::Blocks b(doc, false);
    if (!b.ok()) return FALSE;
    info->dataSize = b.header->dataSize;
    info->bits = b.header->bitsPerSample;
    info->channels = b.header->channels;
    info->markStart = std::min<DWORD>(b.pos->markStart, info->dataSize);
    info->markLength = std::min<DWORD>(b.pos->markLength, info->dataSize - info->markStart);
    return TRUE;
}

DWORD bytes_per_pixel(DWORD dataSize, int w) {
    const int g = w - 26;
    if (g <= 0 || dataSize <= static_cast<DWORD>(g)) return 0;
    return dataSize / static_cast<DWORD>(g);
}

int x_of(DWORD offset, DWORD perPixel) {
    return static_cast<int>(offset / perPixel) + 20;
}

}  // namespace previewbar

using namespace previewbar;

namespace {

constexpr UINT_PTR kRepaintTimer = 1;

void read_step() {
    g_previewBar.step = static_cast<float>(SettingWord(SET_PREVIEW_QUALITY)) * 0.001f;
}

void load_bitmaps() {
    g_previewBar.marker = LoadBitmap(instance(), "POSITION24");
    for (int i = 0; i < 9; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "playing%d", i + 1);
        g_previewBar.playing[i] = LoadBitmap(instance(), name);
    }
}

void free_bitmaps() {
    if (g_previewBar.marker) DeleteObject(g_previewBar.marker);
    g_previewBar.marker = nullptr;
    for (HBITMAP& b : g_previewBar.playing) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
}

LRESULT on_create(HWND bar) {
    g_previewBar.bar = bar;
    g_previewBar.frame = GetParent(bar);
    g_previewBar.markStartX = g_previewBar.markEndX = 0;
    g_previewBar.overlay = FALSE;
    g_previewBar.newMark = g_previewBar.dragging = 0;
    g_previewBar.markerX = 0;
    g_previewBar.playOffset = g_previewBar.playLength = 0;
    g_previewBar.animation = 0;
    read_step();
    load_bitmaps();
    start_position_thread();
    return 0;
}

void on_destroy(HWND bar) {
    KillTimer(bar, kRepaintTimer);
    end_position_thread();
    free_bitmaps();
    if (g_previewBar.bar == bar) g_previewBar.bar = nullptr;
}

void min_max(MINMAXINFO* mmi) {
    RECT fr{};
    GetWindowRect(g_previewBar.frame, &fr);
    mmi->ptMinTrackSize = POINT{fr.right, 50};
    mmi->ptMaxTrackSize = POINT{fr.right, (fr.bottom - fr.top) / 3};
}

LRESULT hit_test(HWND bar, WPARAM wp, LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ScreenToClient(bar, &pt);
    if (pt.y <= 5) return HTTOP;
    return DefWindowProc(bar, WM_NCHITTEST, wp, lp);
}

void context_menu(HWND bar) {
    HMENU menu = LoadMenu(instance(), "PREVIEWMENU");
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) {
        SetMenuDefaultItem(popup, IDM_PLAY, FALSE);
        POINT pt{};
        GetCursorPos(&pt);
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, bar, nullptr);
    }
    DestroyMenu(menu);
}

}  // namespace

LRESULT CALLBACK PreviewBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            return on_create(hwnd);
        case WM_DESTROY:
            on_destroy(hwnd);
            return 0;
        case WM_SIZE:
            SendMessage(g_previewBar.frame, UM_LAYOUT, HIWORD(lp), 0);
            return 0;
        case WM_PAINT:
            if (on_paint(hwnd) == 1) SetTimer(hwnd, kRepaintTimer, 40, nullptr);
            return 0;
        case WM_TIMER:
            if (wp != kRepaintTimer) break;
            KillTimer(hwnd, wp);
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR:
            set_bar_cursor(hwnd);
            return TRUE;
        case WM_GETMINMAXINFO:
            min_max(reinterpret_cast<MINMAXINFO*>(lp));
            return 0;
        case WM_NCHITTEST:
            return hit_test(hwnd, wp, lp);
        case WM_CONTEXTMENU:
            context_menu(hwnd);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) >= 1 && LOWORD(wp) <= 998)
                SendMessage(g_previewBar.frame, WM_COMMAND, wp, lp);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            on_drag_key(hwnd, wp, msg == WM_KEYDOWN);
            return 0;
        case WM_LBUTTONDOWN:
            return on_button_down(hwnd, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        case WM_MOUSEMOVE:
            return on_mouse_move(hwnd, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        case WM_LBUTTONUP:
            return on_button_up(hwnd, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        case UM_PLAYSTARTED:
            g_previewBar.playOffset = static_cast<DWORD>(wp);
            g_previewBar.playLength = static_cast<DWORD>(lp);
            resume_position_thread();
            return 0;
        case UM_PLAYSTOPPED:
            suspend_position_thread();
            return 0;
        case UM_READQUALITY:
            read_step();
            return 0;
        case UM_MARKCHANGED:
            redraw_outline(hwnd, active_document());
            return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}
