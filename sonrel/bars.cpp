#include "bars.h"

namespace {

// Paints the class background (through WM_ERASEBKGND) and nothing else.
LRESULT background_only(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProc(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK CdPlayerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return background_only(hwnd, msg, wp, lp);
}
