#include "bars.h"

#include "threadman.h"

namespace {

// Paints the class background (through WM_ERASEBKGND) and nothing else.
LRESULT background_only(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProc(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK IconBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return background_only(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FuncBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return background_only(hwnd, msg, wp, lp);
}

// The background thread draws the thread count at the bar's right end from
// the bar's creation to its destruction.
LRESULT CALLBACK SelectBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            StartThreadCount(hwnd);
            return 0;
        case WM_DESTROY:
            StopThreadCount();
            return 0;
        case WM_PAINT: {
            LRESULT r = background_only(hwnd, msg, wp, lp);
            ThreadCountRepainted();
            return r;
        }
        default:
            return background_only(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK StatusBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return background_only(hwnd, msg, wp, lp);
}
