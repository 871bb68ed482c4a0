// The editor's frame: the shell state, the frame window and its creation.
//
// The shell state is one record per process, written only on the
// user-interface thread. The other shell modules of the program (bars, views,
// thread manager, CD player) read it directly; other callers reach the same
// windows through the frame messages.
#pragma once

#include <platform/platform.h>

#include <string>
#include <vector>

#define FRAME_CLASS "Sonrel2003"
#define FRAME_TITLE "Sonrel 2003"
// The frame's private message that carries a command line handed over by a
// later copy of the program (lParam: the text, valid during the call).
#define UM_HANDOVER (WM_USER + 180)
// Posted by the frame's creation to itself: the files named on the command
// line are read once the frame shows.
#define UM_OPENCOMMANDLINE (WM_USER + 181)
// The MDI client's id (its document windows are numbered from IDM_DOCUMENT_FIRST).
#define MDICLIENT_ID 3244

struct ShellState {
    HINSTANCE instance;  // the program's module: every resource is found through it
    HWND frame;
    HWND mdiClient;
    HWND iconBar;
    HWND selectBar;
    HWND statusBar;
    HWND preview;
    HWND switchBar;
    HWND posBar;
    HWND threadMan;
    HWND cdPlayer;
    HWND funcBar;
    HWND loader;          // the RevaZUD loader while it is open
    HWND startAssistant;  // the tips dialog while it is open
    HWND splash;          // the splash while it is shown
    HMENU startMenu;      // "STARTMENU": shown while no document is open
    HMENU documentMenu;   // "MENU_1": shown while a document is open
    HMENU windowPopup;    // the MDI window menu
    HMENU extensionsPopup;
    HACCEL accelerators;  // "ACCS"
    int newDocumentCounter;
    // Each file named on the command line, whole: a path too long for a
    // document is refused when opened.
    std::vector<std::string> pendingPaths;
    BOOL pendingOpen;
    int pendingCdTrack;
    BOOL pendingCd;
    DWORD outputDevice;  // wave output device number; (DWORD)-1 is the default device
    BOOL threadManShown;
    BOOL cdPlayerShown;
    BOOL extensionIconsShown;
};

extern ShellState g_shell;

// The frame's window procedure (class "Sonrel2003").
LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Creates the frame from the placement settings (the children are made by its
// WM_CREATE) and shows it with the stored show command. Classes must be
// registered. Gives the frame, or null.
HWND CreateFrame(void);

// WM_CREATE of the frame: menus, the MDI client, the bars, then the CD track
// named on the command line; its files are read after the frame shows
// (UM_OPENCOMMANDLINE). FALSE refuses the creation.
BOOL FrameCreate(HWND frame);

// Lays the children out for the frame's client size w x h and preview height
// p (pixels), as after a resize. With layoutRequest (the preview bar's
// UM_LAYOUT) the MDI client goes to (50, 46) and the preview bar and the
// status bar are left where they are.
void LayoutFrame(int w, int h, int p, BOOL layoutRequest);

// The active document window (the MDI client's active child), or null.
HWND ActiveDocument(void);

// Starts the program: the single running copy, the layer, the resources, the
// classes, the splash, the frame and its message loop. The command line is
// the arguments after the program's name joined by blanks, or, for several
// files, their paths one per line. Gives the process exit code.
int SonrelMain(int argc, char** argv);
// The same after the layer is started, with the command line as one text
// (several paths one per line).
int RunSonrel(const char* commandLine);
