// WM_CREATE of the frame: its menus, the MDI client and the bars at their
// first places, then what the command line asked for.
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include "bars.h"
#include "commands.h"
#include "extensions.h"
#include "frame.h"

namespace {

HWND make_child(HWND frame, const char* cls, const char* title, DWORD style, int x, int y, int w,
                int h, int id) {
    return CreateWindowEx(0, cls, title, WS_CHILD | WS_CLIPSIBLINGS | style, x, y, w, h, frame,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_shell.instance,
                          nullptr);
}

// Created hidden, then shown.
HWND make_shown(HWND frame, const char* cls, const char* title, int x, int y, int w, int h,
                int id) {
    HWND made = make_child(frame, cls, title, 0, x, y, w, h, id);
    ShowWindow(made, SW_SHOW);
    return made;
}

void make_menus() {
    g_shell.startMenu = LoadMenu(g_shell.instance, "STARTMENU");
    g_shell.documentMenu = LoadMenu(g_shell.instance, "MENU_1");
    g_shell.windowPopup = CreatePopupMenu();
    AppendMenu(g_shell.windowPopup, MF_STRING | MF_UNCHECKED, IDM_THREADMANAGER, "Thread Manager");
    AppendMenu(g_shell.windowPopup, MF_STRING | MF_CHECKED, IDM_CDPLAYER, "Compact Disc Player");
    AppendMenu(g_shell.windowPopup, MF_STRING | MF_UNCHECKED, IDM_LOADER, "RevaZud Loader");
}

void make_mdi_client(HWND frame, int w, int h) {
    CLIENTCREATESTRUCT ccs{g_shell.windowPopup, IDM_DOCUMENT_FIRST};
    g_shell.mdiClient = CreateWindowEx(
        WS_EX_CLIENTEDGE, "MDICLIENT", "WAVEDESK - MDI",
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL, 50, 47,
        w - 50, h - 172, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(MDICLIENT_ID)),
        g_shell.instance, &ccs);
    ShowWindow(g_shell.mdiClient, SW_SHOW);
    if (SettingDWord(SET_VIRTUALDESKTOP_VISIBLE) == 1) AttachVirtualDesktop(g_shell.mdiClient);
    SendMessage(g_shell.mdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(g_shell.startMenu),
                reinterpret_cast<LPARAM>(g_shell.windowPopup));
    DrawMenuBar(frame);
}

void make_bars(HWND frame, int w, int h, BOOL cdVisible) {
    g_shell.iconBar = make_shown(frame, "IconBar", "Icons", 0, 0, w, 32, 101);
    g_shell.selectBar = make_shown(frame, "SELECTBAR", "", 0, 27, w, 18, 101);
    g_shell.statusBar = make_shown(frame, "StatusBar", nullptr, 0, h - 22, w, 22, 101);
    int p = SettingWord(SET_PREVIEWSIZE);
    g_shell.preview = make_shown(frame, "Preview", nullptr, 0, h - p - 22, w, p, 101);
    g_shell.switchBar = make_child(frame, "Switch", nullptr, WS_VISIBLE, 0, h - p - 22, 20, p, 108);
    g_shell.posBar = make_shown(frame, "PosBar", nullptr, 0, h - 125, w, 25, 102);
    SendMessage(g_shell.posBar, UM_NODOCUMENT, 0, 0);
    g_shell.threadMan = make_child(frame, "ThreadMan", "", WS_VISIBLE, w - 115, 80, 112, 72, 103);
    ShowWindow(g_shell.threadMan, SW_HIDE);
    g_shell.threadManShown = FALSE;
    g_shell.cdPlayer = make_child(frame, "CDPlayer", "CD", 0, 300, 100, 321, 126, 108);
    g_shell.cdPlayerShown = cdVisible;
    if (cdVisible)
        ShowWindow(g_shell.cdPlayer, SW_SHOW);
    else
        CheckMenuItem(g_shell.windowPopup, IDM_CDPLAYER, MF_BYCOMMAND | MF_UNCHECKED);
    SendMessage(IconBarToolbar(g_shell.iconBar), TB_CHECKBUTTON, IDM_CDPLAYER, cdVisible);
    g_shell.funcBar = make_child(frame, "FuncBar", "", WS_VISIBLE, 0, 46, 50, h - p - 93, 103);
}

// The "E&xtensions" popup ends the document menu's "F&ilters" popup when at
// least one extension loaded; the buttons follow the stored choice.
void add_extensions(HWND frame) {
    g_shell.extensionsPopup = CreatePopupMenu();
    if (LoadExtensions(g_shell.extensionsPopup) > 0) {
        HMENU filters = GetSubMenu(g_shell.documentMenu, 3);
        AppendMenu(filters, MF_SEPARATOR, 0, nullptr);
        AppendMenu(filters, MF_POPUP, reinterpret_cast<UINT_PTR>(g_shell.extensionsPopup),
                   "E&xtensions");
        DrawMenuBar(frame);
    }
    g_shell.extensionIconsShown = SettingBool(SET_BOOLEAN_SHOWEXTENSIONS);
    if (g_shell.extensionIconsShown)
        ShowExtensionButtons(TRUE);
    else
        CheckExtensionsButton(FALSE);
}

}  // namespace

BOOL FrameCreate(HWND frame) {
    g_shell.frame = frame;
    g_shell.outputDevice = SettingDWord(SET_WAVEOUTID);
    make_menus();
    BOOL cdVisible = SettingBool(SET_BOOLEAN_CDPLAYERVISIBLE);
    RECT rc{};
    GetClientRect(frame, &rc);
    make_mdi_client(frame, rc.right, rc.bottom);
    make_bars(frame, rc.right, rc.bottom, cdVisible);
    add_extensions(frame);
    if (g_shell.pendingCd) {
        SendMessage(frame, WM_COMMAND, IDM_CDTRACK, g_shell.pendingCdTrack);
        g_shell.pendingCd = FALSE;
    }
    if (g_shell.pendingOpen) PostMessage(frame, UM_OPENCOMMANDLINE, 0, 0);
    return TRUE;
}
