// Message dispatch of the document window, and the blocks and geometry the
// other view units share.
#include "waveview.h"

#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include "closing.h"
#include "frame.h"
#include "playback.h"

WaveViewState g_waveView = {0.2f, 0, 0, 0};

namespace waveview {

Blocks::Blocks(HWND doc, bool withWave) {
    headerBlock = static_cast<HGLOBAL>(GetProp(doc, PROP_HEADER));
    positionBlock = static_cast<HGLOBAL>(GetProp(doc, PROP_POSITION));
    if (headerBlock && GlobalSize(headerBlock) >= sizeof(HeaderBlock))
        header = static_cast<HeaderBlock*>(GlobalLock(headerBlock));
    if (positionBlock && GlobalSize(positionBlock) >= sizeof(PositionBlock))
        pos = static_cast<PositionBlock*>(GlobalLock(positionBlock));
    if (withWave && header) {
        waveBlock = static_cast<HGLOBAL>(GetProp(doc, PROP_WAVE));
        if (waveBlock && GlobalSize(waveBlock) >= header->dataSize)
            wave = static_cast<const uint8_t*>(GlobalLock(waveBlock));
    }
}

Blocks::~Blocks() {
    if (wave) GlobalUnlock(waveBlock);
    if (pos) GlobalUnlock(positionBlock);
    if (header) GlobalUnlock(headerBlock);
}

long long Blocks::values() const {
    if (!header || !wave) return 0;
    return SampleValueCount(header);
}

TryGuard::TryGuard(HWND w) : doc(w), held(DocumentLockTry(w)) {}

TryGuard::~TryGuard() {
    if (held) DocumentLockLeave(doc);
}

void client_size(HWND hwnd, int* w, int* h) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    *w = rc.right - rc.left;
    *h = rc.bottom - rc.top;
}

long long values_per_column(DWORD zoom, long long values, int width) {
    long long spp = zoom;
    if (zoom == 0) spp = width > 6 ? values / (width - 6) : values;
    return spp < 1 ? 1 : spp;
}

int sample_at(const uint8_t* wave, int bits, long long index) {
    if (bits == 16) {
        const uint8_t* p = wave + 2 * index;
        return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    }
    return wave[index];
}

HWND frame_of(HWND doc) {
    return GetParent(GetParent(doc));
}

HWND frame_window(HWND frame, UINT request) {
    return reinterpret_cast<HWND>(SendMessage(frame, request, 0, 0));
}

void repaint(HWND w) {
    if (w) InvalidateRect(w, nullptr, FALSE);
}

}  // namespace waveview

using namespace waveview;

namespace {

// A moment after a paint found the guard taken, the view tries again.
constexpr UINT_PTR kRepaintTimer = 1;
constexpr UINT_PTR kRangeTimer = 2;

void move_scroll_window(HWND doc, int w, int h) {
    HWND strip = static_cast<HWND>(GetProp(doc, PROP_SCROLLHWND));
    if (strip) MoveWindow(strip, 0, h - 22, w, 22, TRUE);
}

void show_context_menu(HWND doc) {
    bool hasData = false;
    {
        TryGuard guard(doc);
        Blocks b(doc, false);
        hasData = b.header && b.header->dataSize != 0;
    }
    HINSTANCE inst = g_shell.instance ? g_shell.instance : GetModuleHandle(nullptr);
    HMENU menu = LoadMenu(inst, hasData ? "WAVEFILEMENU" : "EMPTYWAVEFILEMENU");
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) {
        SetMenuDefaultItem(popup, hasData ? IDM_PLAY : IDM_RECORD, FALSE);
        POINT pt{};
        GetCursorPos(&pt);
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, doc, nullptr);
    }
    DestroyMenu(menu);
}

LRESULT on_destroy(HWND doc, WPARAM wp, LPARAM lp) {
    KillTimer(doc, kRepaintTimer);
    KillTimer(doc, kRangeTimer);
    release_document(doc);
    free_back_buffer(doc);
    return DefMDIChildProc(doc, WM_DESTROY, wp, lp);
}

}  // namespace

LRESULT CALLBACK WaveWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            g_waveView.lineStep = static_cast<float>(SettingWord(SET_WINDOWQUALITY)) * 0.001f;
            g_waveView.dragging = 0;
            break;
        case WM_DESTROY:
            return on_destroy(hwnd, wp, lp);
        case WM_SIZE:
            move_scroll_window(hwnd, LOWORD(lp), HIWORD(lp));
            break;
        case WM_PAINT:
            if (on_paint(hwnd) == 1) SetTimer(hwnd, kRepaintTimer, 40, nullptr);
            return 0;
        case WM_TIMER:
            if (wp != kRepaintTimer && wp != kRangeTimer) break;
            KillTimer(hwnd, wp);
            if (wp == kRepaintTimer)
                InvalidateRect(hwnd, nullptr, FALSE);
            else
                PostMessage(hwnd, UM_DOCCHANGED, 0, 0);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CLOSE:
            if (!CloseDocumentPrompt(hwnd)) return 0;
            break;
        case WM_SETCURSOR:
            if (LOWORD(lp) != HTCLIENT) break;
            show_view_cursor(g_waveView.dragging != 0);
            return TRUE;
        case WM_CONTEXTMENU:
            show_context_menu(hwnd);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) >= 100 && LOWORD(wp) <= 998)
                SendMessage(frame_of(hwnd), WM_COMMAND, wp, 0);
            return 0;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_CLOSE && IsFileWorking(hwnd)) return 0;
            break;
        case WM_HSCROLL:
            return on_hscroll(hwnd, wp);
        case WM_LBUTTONDOWN:
            return on_button_down(hwnd, GET_X_LPARAM(lp));
        case WM_MOUSEMOVE:
            return on_mouse_move(hwnd, GET_X_LPARAM(lp));
        case WM_LBUTTONUP:
            return on_button_up(hwnd, GET_X_LPARAM(lp));
        case WM_MOUSEWHEEL:
            return on_wheel(hwnd, GET_WHEEL_DELTA_WPARAM(wp),
                            (LOWORD(wp) & MK_CONTROL) || (GetKeyState(VK_CONTROL) & 0x8000));
        case WM_MDIACTIVATE:
            on_activate(hwnd, reinterpret_cast<HWND>(wp), reinterpret_cast<HWND>(lp));
            break;
        case UM_DOCCHANGED:
            if (update_scroll_range(hwnd) == 1) SetTimer(hwnd, kRangeTimer, 40, nullptr);
            break;
        case UM_GETFRAME:
            return reinterpret_cast<LRESULT>(frame_of(hwnd));
        case MM_WOM_DONE:
            PlaybackFinished(reinterpret_cast<HWAVEOUT>(wp));
            return 0;
    }
    return DefMDIChildProc(hwnd, msg, wp, lp);
}
