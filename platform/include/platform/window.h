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
PLATFORM_API ATOM RegisterClassEx(const WNDCLASSEX* wc);
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
PLATFORM_API BOOL IsWindow(HWND hwnd);
PLATFORM_API BOOL IsWindowVisible(HWND hwnd);
PLATFORM_API BOOL IsWindowEnabled(HWND hwnd);
PLATFORM_API BOOL EnableWindow(HWND hwnd, BOOL enable);
PLATFORM_API BOOL IsIconic(HWND hwnd);
PLATFORM_API BOOL IsZoomed(HWND hwnd);
PLATFORM_API HWND GetParent(HWND hwnd);
PLATFORM_API HWND SetParent(HWND hwnd, HWND newParent);
PLATFORM_API int GetDlgCtrlID(HWND hwnd);
PLATFORM_API HWND GetDlgItem(HWND parent, int id);
PLATFORM_API LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
PLATFORM_API LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
PLATFORM_API LONG GetWindowLong(HWND hwnd, int index);
PLATFORM_API LONG SetWindowLong(HWND hwnd, int index, LONG value);
PLATFORM_API BOOL SetWindowText(HWND hwnd, LPCSTR text);
PLATFORM_API int GetWindowText(HWND hwnd, LPSTR buf, int size);
PLATFORM_API int GetWindowTextLength(HWND hwnd);
PLATFORM_API int GetClassName(HWND hwnd, LPSTR buf, int size);
PLATFORM_API BOOL ShowWindow(HWND hwnd, int cmd);
PLATFORM_API BOOL UpdateWindow(HWND hwnd);
PLATFORM_API BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
PLATFORM_API BOOL MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL repaint);
PLATFORM_API HDWP BeginDeferWindowPos(int n);
PLATFORM_API HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND after, int x, int y, int cx, int cy,
                                 UINT flags);
PLATFORM_API BOOL EndDeferWindowPos(HDWP dwp);
PLATFORM_API BOOL GetClientRect(HWND hwnd, RECT* rc);
PLATFORM_API BOOL GetWindowRect(HWND hwnd, RECT* rc);  // screen coordinates
PLATFORM_API BOOL ClientToScreen(HWND hwnd, POINT* pt);
PLATFORM_API BOOL ScreenToClient(HWND hwnd, POINT* pt);
PLATFORM_API int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT n);
PLATFORM_API BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp);
PLATFORM_API BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp);
PLATFORM_API BOOL EnumChildWindows(HWND parent, WNDENUMPROC fn, LPARAM lp);
PLATFORM_API HWND FindWindow(LPCSTR className, LPCSTR title);  // within this process
PLATFORM_API HWND FindWindowEx(HWND parent, HWND after, LPCSTR className, LPCSTR title);
PLATFORM_API HWND GetDesktopWindow(void);
PLATFORM_API BOOL SetForegroundWindow(HWND hwnd);
PLATFORM_API HWND GetForegroundWindow(void);
PLATFORM_API HWND GetActiveWindow(void);
PLATFORM_API BOOL BringWindowToTop(HWND hwnd);
PLATFORM_API int GetSystemMetrics(int index);

// Procedures and messages.
PLATFORM_API LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
PLATFORM_API LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Direct call on the user-interface thread; from another thread the call is
// handed to the user-interface thread and the caller blocks until it has run.
// A destroyed or null handle gives 0.
PLATFORM_API LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Queued in order, delivered by the message loop. FALSE for a dead handle.
PLATFORM_API BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
PLATFORM_API BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wp, LPARAM lp);
PLATFORM_API void PostQuitMessage(int code);
// Waits for the next posted message or input message of this thread; FALSE on WM_QUIT.
PLATFORM_API BOOL GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max);
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
PLATFORM_API BOOL PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove);
PLATFORM_API BOOL TranslateMessage(const MSG* msg);
PLATFORM_API LRESULT DispatchMessage(const MSG* msg);
PLATFORM_API BOOL InSendMessage(void);
// Serves the calls that other threads handed to the user-interface thread.
// Called by every wait of the layer that runs on the user-interface thread.
PLATFORM_API void PlatformServeSentMessages(void);
// Runs pending events (posted messages, painting, input) once; for tests.
PLATFORM_API void PlatformProcessEvents(void);

// Input state.
PLATFORM_API HWND SetCapture(HWND hwnd);
PLATFORM_API BOOL ReleaseCapture(void);
PLATFORM_API HWND GetCapture(void);
PLATFORM_API HWND SetFocus(HWND hwnd);
PLATFORM_API HWND GetFocus(void);
PLATFORM_API SHORT GetKeyState(int vk);       // high bit set while the key is down
PLATFORM_API SHORT GetAsyncKeyState(int vk);
PLATFORM_API BOOL GetCursorPos(POINT* pt);    // screen coordinates
// Tests: set the state that GetKeyState reports for a key.
PLATFORM_API void PlatformSetKeyState(int vk, BOOL down);

// Timers: WM_TIMER posted to the window every elapse milliseconds.
PLATFORM_API UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC fn);
PLATFORM_API BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Properties: named values attached to a window, removed when it is destroyed
// (the values themselves are the caller's to free).
PLATFORM_API BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE value);
PLATFORM_API HANDLE GetProp(HWND hwnd, LPCSTR name);
PLATFORM_API HANDLE RemoveProp(HWND hwnd, LPCSTR name);

// MDI: the client class "MDICLIENT" (created with a CLIENTCREATESTRUCT),
// documents created through WM_MDICREATE.
PLATFORM_API LRESULT DefFrameProc(HWND frame, HWND client, UINT msg, WPARAM wp, LPARAM lp);
PLATFORM_API LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
PLATFORM_API HWND CreateMDIWindow(LPCSTR className, LPCSTR title, DWORD style, int x, int y, int w,
                                  int h, HWND client, HINSTANCE inst, LPARAM lp);
PLATFORM_API BOOL TranslateMDISysAccel(HWND client, MSG* msg);

// Scroll bars of a window (WS_HSCROLL / WS_VSCROLL): WM_HSCROLL reports use.
PLATFORM_API BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw);
PLATFORM_API BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max);
PLATFORM_API int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
PLATFORM_API int GetScrollPos(HWND hwnd, int bar);
PLATFORM_API BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
PLATFORM_API BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);

// Drawing invalidation (the painting itself is in gdi.h).
PLATFORM_API BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase);
PLATFORM_API BOOL ValidateRect(HWND hwnd, const RECT* rc);
PLATFORM_API BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL erase);
PLATFORM_API BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags);
#define RDW_INVALIDATE 0x0001
#define RDW_ERASE 0x0004
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
