// Private window messages shared by the program, wavkit and extensions.
//
// Frame messages are answered by the frame window for any sender; a sender on
// another thread waits until the frame's thread has handled the message.
// Unless stated, wParam and lParam are 0 and the result is 0. The other groups
// are answered by the window named in their heading. Several windows reuse a
// number (WM_USER+146 is the frame's layout request and the icon bar's toolbar
// query): a name belongs to one receiver only.
#pragma once

#include <platform/consts.h>

// --- Frame ---
// Result: the active document window, or 0.
#define UM_GETACTIVEDOC (WM_USER + 113)
// Opens the file named in SET_NEWFILE_FILEOPEN as a recent-files command does.
#define UM_OPENPENDING (WM_USER + 115)
// Result: the document window that is playing, or 0.
#define UM_GETPLAYINGDOC (WM_USER + 119)
// Result: the open wave output handle, or 0.
#define UM_GETWAVEOUT (WM_USER + 121)
// Result: the status bar window.
#define UM_GETSTATUSBAR (WM_USER + 122)
// Result: the window popup menu.
#define UM_GETWINDOWPOPUP (WM_USER + 126)
// Result: the icon bar window.
#define UM_GETICONBAR (WM_USER + 127)
// Result: the MDI client window.
#define UM_GETMDICLIENT (WM_USER + 128)
// Result: the preview bar window.
#define UM_GETPREVIEW (WM_USER + 129)
// Result: the select bar window.
#define UM_GETSELECTBAR (WM_USER + 135)
// An operation starts: wParam the document window (may be 0), lParam its
// display-name string id. The frame counts one more running operation.
#define UM_THREADBEGIN (WM_USER + 140)
// An operation ends: wParam the ending thread's id. The frame counts one less
// and clears the thread's entry in the operation table.
#define UM_THREADEND (WM_USER + 141)
// Result: the extensions popup menu.
#define UM_GETEXTMENU (WM_USER + 142)
// Result: the number of running operations.
#define UM_GETTHREADCOUNT (WM_USER + 143)
// Starts a paste from the clipboard into the document in wParam.
#define UM_STARTPASTE (WM_USER + 144)
// Lays out the frame's children for the preview height in wParam (pixels).
#define UM_LAYOUT (WM_USER + 146)
// Result: the position bar window.
#define UM_GETPOSBAR (WM_USER + 148)
// Result: the start menu (the menu shown with no document).
#define UM_GETSTARTMENU (WM_USER + 151)
// Starts a mix from the clipboard into the document in wParam.
#define UM_STARTPASTEMIX (WM_USER + 160)
// Destroys the window in lParam.
#define UM_DESTROYWINDOW (WM_USER + 161)
// Result: the thread manager window.
#define UM_GETTHREADMAN (WM_USER + 164)

// --- Document window ---
// The data changed: the view sets its scroll range to the number of sample values.
#define UM_DOCCHANGED (WM_USER + 123)
// Result: the frame window.
#define UM_GETFRAME (WM_USER + 150)

// --- Preview bar ---
// Playback started or resumed: wParam mark start, lParam mark length (bytes,
// 0 for the whole file) of the playing document.
#define UM_PLAYSTARTED (WM_USER + 105)
// Playback stopped or paused.
#define UM_PLAYSTOPPED (WM_USER + 106)
// Read the drawing step setting again.
#define UM_READQUALITY (WM_USER + 120)
// Redraw the mark outline after the mark changed elsewhere.
#define UM_MARKCHANGED (WM_USER + 124)

// --- Position bar ---
// wParam the dragging flag, lParam the byte offset under the mouse.
#define UM_MOUSEPOS (WM_USER + 117)
// The mark or the document changed.
#define UM_MARKUPDATE (WM_USER + 147)
// The first document became active: enable the fields.
#define UM_DOCAVAILABLE (WM_USER + 148)
// No document is active any more: disable the fields.
#define UM_NODOCUMENT (WM_USER + 149)

// --- Status bar ---
// Sent by the preview bar before a drop into a document window.
#define UM_BEFOREDROP (WM_USER + 130)

// --- Select bar ---
// The zoom or the active document changed: repaint the zoom field.
#define UM_ZOOMCHANGED (WM_USER + 1)

// --- Icon bar ---
#define UM_SPINSTART (WM_USER + 137)
#define UM_SPINSTOP (WM_USER + 138)
// Result: the "Main Functions" band window.
#define UM_GETMAINBAR (WM_USER + 144)
// Result: the icon bar's toolbar.
#define UM_GETICONTOOLBAR (WM_USER + 146)

// --- Function bar ---
// Result: the function bar's toolbar.
#define UM_GETFUNCTOOLBAR (WM_USER + 148)

// --- Thread manager ---
// Rebuild the list of running operations.
#define UM_REFRESHLIST (WM_USER + 163)

// --- Progress window ---
// wParam the low and lParam the high end of the progress bar's range.
#define UM_PROGRESSRANGE (WM_USER + 1)
// wParam the progress bar's position.
#define UM_PROGRESSPOS (WM_USER + 2)
