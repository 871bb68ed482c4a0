// The preview bar: the whole active document at the bottom of the frame.
#include "bars.h"

LRESULT CALLBACK PreviewBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProc(hwnd, msg, wp, lp);
}
