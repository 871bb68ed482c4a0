// The animation control ("SysAnimate32"): plays a clip, a row of frames.
//
// Clips are resources of our own: a bitmap strip of equal frames side by side
// (frame width = strip width / frames, frame height = strip height) plus a
// record that names the strip and gives the frame count and period:
//   static const ANIMATECLIP spin{"SPINFRAMES", 12, 80};
//   PlatformAddBitmap(inst, "SPINFRAMES", 12 * 30, 30, pixels);
//   PlatformAddData(inst, RT_ANIMATECLIP, "SNRSPIN", &spin, sizeof spin);
// The layer keeps the record's pointer (and the strip's name), so both live as
// long as the program. The colour of the first frame's top-left pixel is the
// clip's background: with ACS_TRANSPARENT those pixels show what the parent's
// answer to WM_CTLCOLORSTATIC (wParam a device context, lParam the control)
// paints, and the rest of the control too (the button face for a zero answer).
//
// ACM_OPEN finds the clip by name (a string or MAKEINTRESOURCE id) under the
// instance in wParam, else the control's instance, else the program's; it
// shows frame 0, sizes the control to one frame unless ACS_CENTER (which
// centres the frame instead), and with ACS_AUTOPLAY plays the clip endlessly.
// A null name closes the clip (the control goes blank). ACM_PLAY plays frames
// from .. to (to 0xFFFF: the last frame), one per period, repeat times (-1:
// without end; 0 counts as 1), then rests on frame to; from == to only shows
// that frame. ACM_STOP stops and shows frame 0, the clip's resting picture.
// Starting and ending a play tell the parent WM_COMMAND MAKEWPARAM(id,
// ACN_START / ACN_STOP), lParam the control. Frames advance on a timer of the
// control's own (WM_TIMER), so they follow the message loop.
#pragma once

#include <platform/window.h>

#define ANIMATE_CLASS "SysAnimate32"

// The resource type of clip records.
#define RT_ANIMATECLIP "AVI"

struct ANIMATECLIP {
    LPCSTR strip;     // name of the bitmap resource that holds the frames, side by side
    UINT frames;      // at least 1
    UINT msPerFrame;  // the period of one frame (at least 10 is honoured)
};

#define ACS_CENTER 0x0001
#define ACS_TRANSPARENT 0x0002
#define ACS_AUTOPLAY 0x0004
#define ACS_TIMER 0x0008

#define ACM_OPEN (WM_USER + 100)  // wParam instance (0: the control's), lParam name; TRUE or FALSE
#define ACM_PLAY (WM_USER + 101)  // wParam repeat, lParam MAKELONG(from, to); TRUE or FALSE
#define ACM_STOP (WM_USER + 102)
#define ACM_ISPLAYING (WM_USER + 104)

#define ACN_START 1
#define ACN_STOP 2

#define Animate_Create(parent, id, style, inst)                              \
    CreateWindowEx(0, ANIMATE_CLASS, nullptr, (style), 0, 0, 0, 0, (parent), \
                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), (inst), nullptr)
#define Animate_Open(hwnd, name) \
    (BOOL) SendMessage((hwnd), ACM_OPEN, 0, reinterpret_cast<LPARAM>((LPCSTR)(name)))
#define Animate_OpenEx(hwnd, inst, name)                                 \
    (BOOL) SendMessage((hwnd), ACM_OPEN, reinterpret_cast<WPARAM>(inst), \
                       reinterpret_cast<LPARAM>((LPCSTR)(name)))
#define Animate_Play(hwnd, from, to, repeat) \
    (BOOL) SendMessage((hwnd), ACM_PLAY, (WPARAM)(UINT)(repeat), MAKELPARAM((from), (to)))
#define Animate_Stop(hwnd) (BOOL) SendMessage((hwnd), ACM_STOP, 0, 0)
#define Animate_IsPlaying(hwnd) (BOOL) SendMessage((hwnd), ACM_ISPLAYING, 0, 0)
#define Animate_Close(hwnd) Animate_Open((hwnd), nullptr)
#define Animate_Seek(hwnd, frame) Animate_Play((hwnd), (frame), (frame), 1)
