// Windows, classes, messages, properties, MDI and scroll bars.
// One user-interface thread (the thread that called PlatformInit) owns every
// window. Handles carry a generation number: a handle of a destroyed window is
// refused by every function here (IsWindow gives FALSE, SendMessage gives 0).
#pragma once

#include <platform/consts.h>

#define PLATFORM_API extern "C" __attribute__((visibility("default")))

// Starts the layer on the calling thread, which becomes the user-interface
// thread (creates the Qt application when none exists). argc/argv may be null.
PLATFORM_API void PlatformInit(int* argc, char** argv);
// TRUE on the user-interface thread.
PLATFORM_API BOOL PlatformIsUiThread(void);

// Classes: registered per process under their name.
// Registers a class under its name (case-insensitive); 0 when the name is taken.
PLATFORM_API ATOM RegisterClassEx(const WNDCLASSEX* wc);
// FALSE while a window of the class exists.
PLATFORM_API BOOL UnregisterClass(LPCSTR className, HINSTANCE inst);
PLATFORM_API BOOL GetClassInfoEx(HINSTANCE inst, LPCSTR className, WNDCLASSEX* out);

// Creates a window of a registered class; sends WM_CREATE (a -1 result destroys
// it and gives null). Top-level windows are Qt top-level widgets; WS_CHILD
// windows live inside their parent.
PLATFORM_API HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                                 int y, int w, int h, HWND parent, HMENU menuOrId, HINSTANCE inst,
                                 LPVOID param);
// Destroys children first (each gets WM_DESTROY), then the window itself.
PLATFORM_API BOOL DestroyWindow(HWND hwnd);
// TRUE for a live handle; any thread.
PLATFORM_API BOOL IsWindow(HWND hwnd);
// WS_VISIBLE on the window and every parent up to its top-level window.
PLATFORM_API BOOL IsWindowVisible(HWND hwnd);
PLATFORM_API BOOL IsWindowEnabled(HWND hwnd);
// Sends WM_ENABLE on a change; gives TRUE when the window was disabled before.
PLATFORM_API BOOL EnableWindow(HWND hwnd, BOOL enable);
// Minimized / maximized state of a top-level window or an MDI document.
PLATFORM_API BOOL IsIconic(HWND hwnd);
PLATFORM_API BOOL IsZoomed(HWND hwnd);
// The parent of a child, the owner of a WS_POPUP window, else null.
PLATFORM_API HWND GetParent(HWND hwnd);
// Moves a plain child window to another parent; gives the old parent.
PLATFORM_API HWND SetParent(HWND hwnd, HWND newParent);
// The id a child was created with, and the first child of a parent with an id.
PLATFORM_API int GetDlgCtrlID(HWND hwnd);
PLATFORM_API HWND GetDlgItem(HWND parent, int id);
// GWLP_WNDPROC (subclassing), GWLP_USERDATA, GWLP_HINSTANCE, GWLP_ID,
// GWLP_HWNDPARENT, GWL_STYLE, GWL_EXSTYLE, or a byte offset into the class's
// extra window bytes. Setting gives the previous value; 0 for a dead handle.
PLATFORM_API LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
PLATFORM_API LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
PLATFORM_API LONG GetWindowLong(HWND hwnd, int index);
PLATFORM_API LONG SetWindowLong(HWND hwnd, int index, LONG value);
// Sends WM_SETTEXT; default handling stores the title and shows it as caption.
PLATFORM_API BOOL SetWindowText(HWND hwnd, LPCSTR text);
// Copies the title (cut to size - 1 bytes, always terminated); gives its length.
PLATFORM_API int GetWindowText(HWND hwnd, LPSTR buf, int size);
PLATFORM_API int GetWindowTextLength(HWND hwnd);
PLATFORM_API int GetClassName(HWND hwnd, LPSTR buf, int size);
// SW_ commands; gives TRUE when the window was visible before. Showing an MDI
// document activates it.
PLATFORM_API BOOL ShowWindow(HWND hwnd, int cmd);
// Sends WM_PAINT at once when the window has an invalid area.
PLATFORM_API BOOL UpdateWindow(HWND hwnd);
// Position in the parent's client coordinates (screen for top-level windows)
// and size; WM_SIZE and WM_MOVE follow a change. A top-level window's size is
// its size inside the window manager's decorations, and never below the
// minimum track size of its WM_GETMINMAXINFO.
PLATFORM_API BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
PLATFORM_API BOOL MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL repaint);
// A batch of SetWindowPos calls applied together by EndDeferWindowPos.
PLATFORM_API HDWP BeginDeferWindowPos(int n);
PLATFORM_API HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND after, int x, int y, int cx, int cy,
                                 UINT flags);
PLATFORM_API BOOL EndDeferWindowPos(HDWP dwp);
// (0, 0, width, height) of the client area, scroll bars excluded; any thread.
PLATFORM_API BOOL GetClientRect(HWND hwnd, RECT* rc);
PLATFORM_API BOOL GetWindowRect(HWND hwnd, RECT* rc);  // screen coordinates
// Conversions between client and screen coordinates; a null window is the screen.
PLATFORM_API BOOL ClientToScreen(HWND hwnd, POINT* pt);
PLATFORM_API BOOL ScreenToClient(HWND hwnd, POINT* pt);
PLATFORM_API int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT n);
// showCmd and the rectangle the window has when neither minimized nor maximized.
PLATFORM_API BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp);
PLATFORM_API BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp);
// Every descendant, depth first in creation order, until fn gives FALSE; a null
// parent enumerates the top-level windows.
PLATFORM_API BOOL EnumChildWindows(HWND parent, WNDENUMPROC fn, LPARAM lp);
// The first top-level window (creation order) whose class and title match; null
// arguments match anything. Within this process only.
PLATFORM_API HWND FindWindow(LPCSTR className, LPCSTR title);
// The same among the children of parent, starting after the window after.
PLATFORM_API HWND FindWindowEx(HWND parent, HWND after, LPCSTR className, LPCSTR title);
// A window that stands for the screen: its client rectangle is the screen.
PLATFORM_API HWND GetDesktopWindow(void);
// Activates the top-level window of hwnd; the foreground and active window is
// the top-level window activated last (by the program or the user).
PLATFORM_API BOOL SetForegroundWindow(HWND hwnd);
PLATFORM_API HWND GetForegroundWindow(void);
PLATFORM_API HWND GetActiveWindow(void);
PLATFORM_API BOOL BringWindowToTop(HWND hwnd);
// Screen size from the primary screen; the other metrics are fixed values.
PLATFORM_API int GetSystemMetrics(int index);
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CYMENU 15
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXMINTRACK 34
#define SM_CYMINTRACK 35
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37
#define SM_CMOUSEBUTTONS 43
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CXMAXIMIZED 61
#define SM_CYMAXIMIZED 62
#define SM_CXDRAG 68
#define SM_CYDRAG 69

// WM_NCHITTEST answers. A child window that answers a border code for a point
// is sized by dragging there (see DefWindowProc for the cursor).
#define HTNOWHERE 0
#define HTCAPTION 2
#define HTLEFT 10
#define HTRIGHT 11
#define HTTOP 12
#define HTTOPLEFT 13
#define HTTOPRIGHT 14
#define HTBOTTOM 15
#define HTBOTTOMLEFT 16
#define HTBOTTOMRIGHT 17

// Procedures and messages.
// Default processing: WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE, WM_CLOSE destroys,
// WM_PAINT validates through BeginPaint/EndPaint, WM_ERASEBKGND fills with the
// class background, WM_SETCURSOR sets the class cursor (asking the parent
// first; over a sizing border the sizing cursor), WM_RBUTTONUP sends WM_CONTEXTMENU, and children
// pass WM_MOUSEWHEEL and WM_CONTEXTMENU on to their parent.
PLATFORM_API LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Calls a procedure kept from subclassing.
PLATFORM_API LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Direct call on the user-interface thread; from another thread the call is
// handed to the user-interface thread and the caller blocks until it has run.
// A destroyed or null handle gives 0.
PLATFORM_API LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Queued in order, delivered by the message loop. FALSE for a dead handle.
PLATFORM_API BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// A message without window for a thread's own GetMessage loop.
PLATFORM_API BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wp, LPARAM lp);
// Makes the calling thread's GetMessage give FALSE (wParam = code) once its
// queue is empty.
PLATFORM_API void PostQuitMessage(int code);
// Waits for the next posted message (key presses among them) of this thread,
// serving sent messages and Qt events meanwhile; with nothing posted, a window
// with an invalid area gives WM_PAINT. FALSE on WM_QUIT.
PLATFORM_API BOOL GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max);
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
// As GetMessage without waiting; FALSE when nothing is there. WM_PAINT stays
// until the window is painted.
PLATFORM_API BOOL PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove);
// Posts WM_CHAR (next in the queue) for a WM_KEYDOWN of a character key.
PLATFORM_API BOOL TranslateMessage(const MSG* msg);
// Calls the window procedure (or the timer procedure of a WM_TIMER).
PLATFORM_API LRESULT DispatchMessage(const MSG* msg);
// TRUE while the user-interface thread runs a message sent by another thread.
PLATFORM_API BOOL InSendMessage(void);
// Serves the calls that other threads handed to the user-interface thread.
// Called by every wait of the layer that runs on the user-interface thread.
PLATFORM_API void PlatformServeSentMessages(void);

// Input state.
// Mouse messages go to the capturing window (in its client coordinates) until
// released; the window losing capture gets WM_CAPTURECHANGED.
PLATFORM_API HWND SetCapture(HWND hwnd);
PLATFORM_API BOOL ReleaseCapture(void);
PLATFORM_API HWND GetCapture(void);
// Sends WM_KILLFOCUS to the old and WM_SETFOCUS to the new focus window; gives the old.
PLATFORM_API HWND SetFocus(HWND hwnd);
PLATFORM_API HWND GetFocus(void);
PLATFORM_API SHORT GetKeyState(int vk);       // high bit set while the key is down
PLATFORM_API SHORT GetAsyncKeyState(int vk);  // 0x8000 while the key is down
PLATFORM_API BOOL GetCursorPos(POINT* pt);    // screen coordinates
// The deepest visible window at a screen point, or null; any thread.
PLATFORM_API HWND WindowFromPoint(POINT pt);

// Timers: WM_TIMER posted to the window every elapse milliseconds (at least
// 10), at most one waiting per timer; with fn, DispatchMessage calls fn instead.
// A null window gets a new timer id. Timers end with their window.
PLATFORM_API UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC fn);
PLATFORM_API BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Properties: named values attached to a window, removed when it is destroyed
// (the values themselves are the caller's to free).
// Names are case-insensitive. Any thread.
PLATFORM_API BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE value);
PLATFORM_API HANDLE GetProp(HWND hwnd, LPCSTR name);
PLATFORM_API HANDLE RemoveProp(HWND hwnd, LPCSTR name);

// MDI: the client class "MDICLIENT" (created with a CLIENTCREATESTRUCT),
// documents created through WM_MDICREATE. The client answers WM_MDICREATE,
// WM_MDIDESTROY, WM_MDIACTIVATE, WM_MDIGETACTIVE (lParam: BOOL* maximized),
// WM_MDINEXT, WM_MDIMAXIMIZE, WM_MDIRESTORE, WM_MDICASCADE, WM_MDITILE,
// WM_MDIICONARRANGE, WM_MDISETMENU (gives the previous frame menu) and
// WM_MDIREFRESHMENU. Activation sends WM_MDIACTIVATE to the document losing it,
// then to the one gaining it (wParam = losing, lParam = gaining; null for none);
// a click in a document activates it, and destroying the active document
// activates the one active before it.
// WM_SIZE fills the frame's client area with the MDI client; WM_COMMAND with a
// document's id activates it; the rest goes to DefWindowProc.
PLATFORM_API LRESULT DefFrameProc(HWND frame, HWND client, UINT msg, WPARAM wp, LPARAM lp);
// WM_CLOSE asks the client to destroy the document (WM_MDIDESTROY).
PLATFORM_API LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Sends WM_MDICREATE to the client; documents are numbered from its first id.
PLATFORM_API HWND CreateMDIWindow(LPCSTR className, LPCSTR title, DWORD style, int x, int y, int w,
                                  int h, HWND client, HINSTANCE inst, LPARAM lp);
// Ctrl+F4 closes and Ctrl+F6 moves to the next document; TRUE when used.
PLATFORM_API BOOL TranslateMDISysAccel(HWND client, MSG* msg);

// Scroll bars of a window (WS_HSCROLL / WS_VSCROLL), outside its client area:
// WM_HSCROLL / WM_VSCROLL report use (LOWORD the SB_ code, HIWORD the thumb
// position for SB_THUMBTRACK and SB_THUMBPOSITION, lParam 0). The bar moves
// only by SetScrollPos. The range starts as 0..100; an empty range hides the
// bar. Positions are clamped to the range.
PLATFORM_API BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
PLATFORM_API BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
PLATFORM_API int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
PLATFORM_API int GetScrollPos(HWND hwnd, int bar);
// The fields fMask asks for: SIF_RANGE, SIF_POS, SIF_PAGE (always 0: the bars
// keep no page size) and SIF_TRACKPOS, the full 32-bit thumb position while the
// thumb is dragged (during its SB_THUMBTRACK and SB_THUMBPOSITION), otherwise
// the position. FALSE for a dead handle, another bar or a null record.
PLATFORM_API BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
// ESB_ENABLE_BOTH enables, anything else disables the bar.
PLATFORM_API BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
PLATFORM_API BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);

// Drawing invalidation (the painting itself is in gdi.h). The invalid area is
// the bounding rectangle of everything invalidated, with an erase flag when
// any part asked for it; BeginPaint takes it. Any thread; WM_PAINT follows from
// the message loop or UpdateWindow. A null window invalidates every window.
PLATFORM_API BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase);
// Validates all (null rc) or when rc covers the invalid area.
PLATFORM_API BOOL ValidateRect(HWND hwnd, const RECT* rc);
PLATFORM_API BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL erase);
// RDW_INVALIDATE (with RDW_ERASE), RDW_ALLCHILDREN, RDW_UPDATENOW; rgn is ignored.
PLATFORM_API BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags);
#define RDW_INVALIDATE 0x0001
#define RDW_ERASE 0x0004
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
