// Hooks that exist only for tests, benchmarks and fuzz targets: synthetic
// input, one pass of pending events, menu choices, answers to the questions
// the layer asks, a window's pixels, failing allocations, the sound playing.
// Production code never includes this header.
#pragma once

#include <platform/dialog.h>
#include <platform/msgbox.h>
#include <platform/window.h>

// --- Events and input ---------------------------------------------------------

// Runs pending events (posted messages, painting, input) once; user-interface
// thread only.
PLATFORM_API void PlatformProcessEvents(void);
// Sets the state that GetKeyState reports for a key.
PLATFORM_API void PlatformSetKeyState(int vk, BOOL down);
// Synthetic input sent through Qt to a window, translated like real input.
// Mouse: msg is WM_MOUSEMOVE or a WM_xBUTTONDOWN/UP/DBLCLK message at client
// (x, y); keys are the MK_ flags held (the button itself is implied).
PLATFORM_API BOOL PlatformSimulateMouse(HWND hwnd, UINT msg, int x, int y, UINT keys);
// A wheel turn of delta (120 per notch, positive away from the user).
PLATFORM_API BOOL PlatformSimulateWheel(HWND hwnd, int x, int y, int delta, UINT keys);
// A key press or release of a virtual key on the window that has the focus.
PLATFORM_API BOOL PlatformSimulateKey(HWND hwnd, int vk, BOOL down, BOOL autoRepeat);
// The close button of a top-level window or of an MDI document.
PLATFORM_API BOOL PlatformSimulateClose(HWND hwnd);
// The user dragging a top-level window's frame to a size of w x h pixels; the
// window manager holds it within the size limits the layer gave it.
PLATFORM_API BOOL PlatformSimulateResize(HWND hwnd, int w, int h);
// Use of a window's scroll bar (SB_HORZ/SB_VERT): an SB_LINE/PAGE/LEFT/RIGHT
// click, or a thumb drag to pos for SB_THUMBTRACK / SB_THUMBPOSITION.
PLATFORM_API BOOL PlatformSimulateScroll(HWND hwnd, int bar, int code, int pos);

// --- Menus --------------------------------------------------------------------

// Chooses the item with command id in the window's menu bar as a user would:
// the menus down to it open (WM_INITMENU, WM_INITMENUPOPUP), it is hovered
// (WM_MENUSELECT) and clicked, and the menus close (WM_MENUSELECT with flags
// 0xFFFF). WM_COMMAND MAKEWPARAM(id, 0) is posted to the window, as for a
// click. FALSE when the bar has no such item or it is grayed.
PLATFORM_API BOOL PlatformSimulateMenuCommand(HWND hwnd, UINT id);
// The texts of the menu bar's items as shown, each followed by '\n'; items
// shown at the right edge start with '>'. Gives the length (0: no bar).
PLATFORM_API int PlatformMenuBarText(HWND hwnd, LPSTR buf, int size);

// --- Questions ----------------------------------------------------------------

// Installs the question hook (null removes it); returns the previous one. With
// a hook installed every question the layer asks (message boxes, modal
// dialogs, file dialogs, popup menus) goes to it on the asking thread.
PLATFORM_API PlatformQuestionHook PlatformSetQuestionHook(PlatformQuestionHook hook, void* ctx);
// Answers the message box that is open on the user-interface thread (callable
// from any thread) as if a button were pressed: id IDOK, IDYES, ..., 0 for the
// default button (Enter), -1 for Escape. *shown (optional) receives what the
// box shows (texts valid until the next call). FALSE when no box is open or it
// has no such button.
PLATFORM_API BOOL PlatformAnswerMessageBox(int id, PlatformQuestion* shown);
// For question hooks: selects path in the file dialog now asked about with
// this record, as a click on the file would (lpstrFile takes the path, the
// hook procedure gets CDN_SELCHANGE). Gives the added template panel, or null
// (also when no dialog with this record is being asked).
PLATFORM_API HWND PlatformFileDialogSelect(const OPENFILENAME* ofn, LPCSTR path);

// --- Window pixels ------------------------------------------------------------

// A copy of a window's backing image as 0x00RRGGBB pixels (w*h values, at most
// maxPixels); FALSE for a dead handle. *w/*h receive the size.
PLATFORM_API BOOL PlatformReadWindowPixels(HWND hwnd, DWORD* out, int maxPixels, int* w, int* h);
// The pixel (0x00BBGGRR, as GetPixel) of a window's backing image; 0xFFFFFFFF
// outside it or for a dead handle.
PLATFORM_API COLORREF PlatformWindowPixel(HWND hwnd, int x, int y);

// --- Memory and sound ---------------------------------------------------------

// The next n allocations or reallocations of movable memory fail (0 turns it off).
PLATFORM_API void PlatformFailNextAllocations(int n);
// A process-wide limit on one movable block's size in bytes (0: none).
PLATFORM_API void PlatformSetAllocationLimit(ULONGLONG bytes);
// TRUE while a sound started by PlaySound is still playing.
PLATFORM_API BOOL PlatformIsSoundPlaying(void);

// --- Tooltips, animation and shown pixels ------------------------------------

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

// --- CD device ----------------------------------------------------------------

// The CD device's first drive: device (a drive's device node, or any disc
// image libcdio opens) instead of the drive libcdio finds; "" for no drive at
// all; null to find the drive again.
PLATFORM_API void PlatformTestSetCdDrive(LPCSTR device);

// --- Format chooser -----------------------------------------------------------

// The format chooser (acmFormatChoose): the combo box that lists the formats
// (CB_GETLBTEXT gives each entry's text, CB_SETCURSEL picks one before the
// hook answers IDOK) and the static that names the format tag.
#define PLATFORM_IDC_FORMATCHOOSE_TAG 1000
#define PLATFORM_IDC_FORMATCHOOSE_LIST 1001

// --- Menu keys ----------------------------------------------------------------

// Opens the popup at position pos of the window's menu bar as the keyboard
// does (WM_INITMENU, WM_INITMENUPOPUP; its first item that can be chosen is
// highlighted), then types the characters of keys into the open menu: a
// letter is a mnemonic key, '\r' is Return, '\x1b' is Escape. Menus still
// open afterwards are closed. A chosen item posts WM_COMMAND as a click does.
// FALSE when the bar has no popup at pos.
PLATFORM_API BOOL PlatformSimulateMenuKeys(HWND hwnd, int pos, LPCSTR keys);
