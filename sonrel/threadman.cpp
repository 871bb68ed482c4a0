// The thread manager and the switch between it and the preview bar.
#include "bars.h"

LRESULT CALLBACK ThreadManProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK SwitchBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProc(hwnd, msg, wp, lp);
}
