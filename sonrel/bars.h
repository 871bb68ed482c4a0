// The frame's bars: icon bar, function bar, select bar, status bar, position
// bar, preview bar, preview/threads switch and thread manager (the CD player
// is in cdplayer.h).
// Each is a window of its class that paints its class background and leaves
// every other message to the default handling, so a query sent to a bar
// gives 0.
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
