// Placing the frame's children for a client size and a preview height.
#include "frame.h"

namespace {

struct Batch {
    HDWP dwp;
    void place(HWND w, int x, int y, int cx, int cy, UINT flags = 0) {
        if (w && dwp) dwp = DeferWindowPos(dwp, w, nullptr, x, y, cx, cy, flags | SWP_NOZORDER);
    }
};

}  // namespace

void LayoutFrame(int w, int h, int p, BOOL layoutRequest) {
    Batch b{BeginDeferWindowPos(10)};
    int mdiHeight = h - p - 93;
    if (layoutRequest) {
        b.place(g_shell.mdiClient, 50, 46, w - 50, mdiHeight);
    } else {
        b.place(g_shell.mdiClient, 0, 0, w - 50, mdiHeight, SWP_NOMOVE);
        b.place(g_shell.preview, 0, h - p - 22, w - 20, p);
        b.place(g_shell.statusBar, 0, h - 22, w, 22);
    }
    b.place(g_shell.iconBar, 0, 0, w, 32, SWP_NOMOVE);
    b.place(g_shell.selectBar, 0, 29, w, 18);
    b.place(g_shell.switchBar, w - 20, h - p - 22, 20, p);
    b.place(g_shell.threadMan, 0, h - p - 20, w - 20, p - 13);
    b.place(g_shell.posBar, 0, h - p - 46, w, 25);
    b.place(g_shell.funcBar, 0, 46, 50, mdiHeight);
    if (b.dwp) EndDeferWindowPos(b.dwp);
    if (g_shell.cdPlayer)
        SetWindowPos(g_shell.cdPlayer, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}
