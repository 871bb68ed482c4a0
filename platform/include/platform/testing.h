// Hooks for tests only: they let a test reach what a person or the passing of
// time would otherwise bring about. The system's own code never includes this
// header. Callable from any thread (the work runs on the user-interface thread).
#pragma once

#include <platform/window.h>

// The end of the hover delay with the mouse at client point (x, y) of window:
// the tooltip control that has a tool there asks for its text (TTN_GETDISPINFO
// for a callback tool) and shows it. Copies the text shown (size bytes at
// most, always terminated); FALSE when no active tool covers the point or its
// text is empty.
PLATFORM_API BOOL PlatformShowToolTip(HWND window, int x, int y, LPSTR text, int size);

// The frame an animation control shows; -1 with no clip open or for a window
// that is no animation control.
PLATFORM_API int PlatformAnimateFrame(HWND anim);
// Advances a playing animation control by ticks frame periods at once, as its
// timer would; FALSE when it is not playing.
PLATFORM_API BOOL PlatformAnimateTick(HWND anim, int ticks);

// The colour (0x00BBGGRR) shown at client point (x, y) of a window with
// everything drawn on it, its control widgets included; CLR_INVALID for a
// dead handle or a point outside.
#define CLR_INVALID 0xFFFFFFFFu
PLATFORM_API COLORREF PlatformShownPixel(HWND hwnd, int x, int y);
