// The frame's bars: icon bar, function bar, select bar, status bar, position
// bar, preview bar, preview/threads switch and thread manager (the CD player
// is in cdplayer.h), each the window procedure of its class, and the virtual
// desktop behind the documents.
#pragma once

#include <platform/platform.h>

LRESULT CALLBACK IconBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK FuncBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK SelectBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK StatusBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK PosBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK PreviewBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK SwitchBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ThreadManProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// The icon bar's toolbar (what UM_GETICONTOOLBAR gives), or null.
HWND IconBarToolbar(HWND iconBar);

// The MDI client's background: attaching keeps the client's own procedure
// for every message the desktop does not take (paint, right button,
// commands, which go on to the frame).
LRESULT CALLBACK VirtualDesktopProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void AttachVirtualDesktop(HWND client);
