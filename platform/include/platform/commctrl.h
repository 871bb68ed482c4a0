// Common controls: asking for them, the up-down control ("msctls_updown32"),
// the trackbar ("msctls_trackbar32") and the progress bar ("msctls_progress32").
// The other common controls have their own headers: bars.h (toolbar, rebar,
// tooltips), animate.h, listview.h, imagelist.h, propsheet.h.
//
// Every control class is registered when the layer is loaded; the two calls
// below only confirm it, so code written for the platform runs unchanged.
//
// An up-down control is a pair of arrows beside a buddy window (usually an
// edit). Its position lies in a range; the up arrow moves it one step towards
// the range's upper end (either end may be the larger). With UDS_SETBUDDYINT
// every change of the position writes it into the buddy as a decimal number,
// and UDM_GETPOS / UDM_GETPOS32 first read the buddy's number back (clamped to
// the range; text that is no number leaves the position and reports an error).
// A click notifies the parent with WM_NOTIFY UDN_DELTAPOS (a nonzero answer
// refuses the step), then WM_VSCROLL (WM_HSCROLL for UDS_HORZ) with
// SB_THUMBPOSITION and the new position, lParam the control.
//
// A trackbar is a slider over an integer range (default 0..100). Moving it by
// mouse or keys sends the parent WM_HSCROLL (WM_VSCROLL for TBS_VERT) with a
// TB_* code in the low word and, for TB_THUMBTRACK / TB_THUMBPOSITION, the
// position in the high word; lParam is the control. Setting the position or
// range by message notifies nothing.
#pragma once

#include <platform/window.h>

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_BAR_CLASSES 0x00000004
#define ICC_TAB_CLASSES 0x00000008
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_PROGRESS_CLASS 0x00000020
#define ICC_ANIMATE_CLASS 0x00000080
#define ICC_WIN95_CLASSES 0x000000FF
#define ICC_COOL_CLASSES 0x00000400

PLATFORM_API void InitCommonControls(void);
// FALSE for a null record or a dwSize below its size.
PLATFORM_API BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc);

// --- Up-down ------------------------------------------------------------------

#define UPDOWN_CLASS "msctls_updown32"

#define UDS_WRAP 0x0001
#define UDS_SETBUDDYINT 0x0002
#define UDS_ALIGNRIGHT 0x0004
#define UDS_ALIGNLEFT 0x0008
#define UDS_AUTOBUDDY 0x0010
#define UDS_ARROWKEYS 0x0020
#define UDS_HORZ 0x0040
#define UDS_NOTHOUSANDS 0x0080
#define UDS_HOTTRACK 0x0100

#define UD_MAXVAL 0x7fff
#define UD_MINVAL (-UD_MAXVAL)

#define UDM_SETRANGE (WM_USER + 101)    // lParam MAKELONG(upper, lower)
#define UDM_GETRANGE (WM_USER + 102)    // gives MAKELONG(upper, lower)
#define UDM_SETPOS (WM_USER + 103)      // lParam MAKELONG(pos, 0); gives the old position
#define UDM_GETPOS (WM_USER + 104)      // gives MAKELONG(pos, error): error nonzero for no number
#define UDM_SETBUDDY (WM_USER + 105)    // wParam the buddy; gives the old one
#define UDM_GETBUDDY (WM_USER + 106)    // gives the buddy
#define UDM_SETRANGE32 (WM_USER + 111)  // wParam lower, lParam upper
#define UDM_GETRANGE32 (WM_USER + 112)  // wParam int* lower, lParam int* upper
#define UDM_SETPOS32 (WM_USER + 113)    // lParam pos; gives the old position
#define UDM_GETPOS32 (WM_USER + 114)    // lParam BOOL* error (may be null); gives pos

#define UDN_FIRST (0U - 721U)
#define UDN_DELTAPOS (UDN_FIRST - 1U)

struct NMUPDOWN {
    NMHDR hdr;
    int iPos;    // the position before the step
    int iDelta;  // +1 for the up arrow, -1 for the down arrow
};

// Makes an up-down control, child of parent with the given id, sets its range
// and position, and attaches it to buddy. With UDS_ALIGNRIGHT (UDS_ALIGNLEFT)
// it takes the buddy's right (left) edge: the buddy gets narrower by the
// control's width (cx, or 16 pixels when cx is 0) and the control takes the
// buddy's height. Null when the window could not be made.
PLATFORM_API HWND CreateUpDownControl(DWORD style, int x, int y, int cx, int cy, HWND parent,
                                      int id, HINSTANCE inst, HWND buddy, int upper, int lower,
                                      int pos);

// --- Trackbar -----------------------------------------------------------------

#define TRACKBAR_CLASS "msctls_trackbar32"

#define TBS_AUTOTICKS 0x0001
#define TBS_HORZ 0x0000
#define TBS_VERT 0x0002
#define TBS_BOTTOM 0x0000
#define TBS_TOP 0x0004
#define TBS_RIGHT 0x0000
#define TBS_LEFT 0x0004
#define TBS_BOTH 0x0008
#define TBS_NOTICKS 0x0010
#define TBS_ENABLESELRANGE 0x0020
#define TBS_FIXEDLENGTH 0x0040
#define TBS_NOTHUMB 0x0080

#define TBM_GETPOS (WM_USER)
#define TBM_GETRANGEMIN (WM_USER + 1)
#define TBM_GETRANGEMAX (WM_USER + 2)
#define TBM_SETPOS (WM_USER + 5)       // wParam redraw, lParam pos (clamped to the range)
#define TBM_SETRANGE (WM_USER + 6)     // wParam redraw, lParam MAKELONG(min, max)
#define TBM_SETRANGEMIN (WM_USER + 7)  // wParam redraw, lParam min
#define TBM_SETRANGEMAX (WM_USER + 8)  // wParam redraw, lParam max
#define TBM_SETTICFREQ (WM_USER + 20)
#define TBM_SETPAGESIZE (WM_USER + 21)  // lParam the page step; gives the old one
#define TBM_GETPAGESIZE (WM_USER + 22)
#define TBM_SETLINESIZE (WM_USER + 23)  // lParam the line step; gives the old one
#define TBM_GETLINESIZE (WM_USER + 24)

#define TB_LINEUP 0
#define TB_LINEDOWN 1
#define TB_PAGEUP 2
#define TB_PAGEDOWN 3
#define TB_THUMBPOSITION 4
#define TB_THUMBTRACK 5
#define TB_TOP 6
#define TB_BOTTOM 7
#define TB_ENDTRACK 8

// --- Progress bar -------------------------------------------------------------
// "msctls_progress32": a bar that fills from its range's low end to its
// position. The range starts as 0..100 and the position at its low end.
// Positions are held within the range; a new range pulls the position into it.
// The step is kept for the caller. Nothing is reported to the parent.

#define PROGRESS_CLASS "msctls_progress32"

#define PBS_SMOOTH 0x01
#define PBS_VERTICAL 0x04

// Old values come back as MAKELPARAM(low, high) for a range, else as given.
#define PBM_SETRANGE (WM_USER + 1)  // lParam MAKELPARAM(low, high), 16 bits each
#define PBM_SETPOS (WM_USER + 2)    // wParam the position; gives the old one
#define PBM_SETSTEP (WM_USER + 4)   // wParam the step; gives the old one
// wParam TRUE gives the low end, FALSE the high one; lParam a PBRANGE* to fill, or null.
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)

struct PBRANGE {
    int iLow;
    int iHigh;
};
