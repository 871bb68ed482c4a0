#include "frame.h"

#include <sonrel/dialogs.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <cstdio>

#include "closing.h"
#include "commands.h"
#include "extensions.h"

ShellState g_shell;

HWND ActiveDocument(void) {
    if (!g_shell.mdiClient) return nullptr;
    return reinterpret_cast<HWND>(SendMessage(g_shell.mdiClient, WM_MDIGETACTIVE, 0, 0));
}

HWND CreateFrame(void) {
    int show = SettingWord(SET_MAIN_SHOWSTATE);
    int x = SettingWord(SET_MAIN_X);
    int y = SettingWord(SET_MAIN_Y);
    int w = SettingWord(SET_MAIN_WIDTH);
    int h = SettingWord(SET_MAIN_HEIGHT);
    HWND frame = CreateWindowEx(0, FRAME_CLASS, FRAME_TITLE, WS_OVERLAPPEDWINDOW, x, y, w, h,
                                nullptr, nullptr, g_shell.instance, nullptr);
    if (!frame) return nullptr;
    ShowWindow(frame, show);
    UpdateWindow(frame);
    return frame;
}

namespace {

// The undo item of the document menu's Edit popup follows the active document.
void update_undo_item(HMENU menu) {
    HWND doc = ActiveDocument();
    if (!menu || menu != g_shell.documentMenu || !doc) return;
    HMENU edit = GetSubMenu(menu, 1);
    if (IsUndoPossible(doc)) {
        char text[128];
        const char* what = UndoDescription(doc);
        std::snprintf(text, sizeof text, "&Undo: %s\tCtrl + Z", what ? what : "");
        SetMenuDefaultItem(edit, IDM_UNDO, FALSE);
        ModifyMenu(menu, IDM_UNDO, MF_BYCOMMAND | MF_STRING | MF_ENABLED, IDM_UNDO, text);
    } else {
        SetMenuDefaultItem(edit, static_cast<UINT>(-1), FALSE);
        ModifyMenu(menu, IDM_UNDO, MF_BYCOMMAND | MF_STRING | MF_GRAYED, IDM_UNDO,
                   "&Undo not possible\tCtrl + Z");
    }
}

// The "&Window" popup of the document menu also lists the open documents, as
// the MDI client lists them in the window popup: a separator and "&1 title",
// "&2 title", ... with their ids (IDM_DOCUMENT_FIRST on), the active one
// checked. The list is made again each time the popup opens; choosing an
// entry goes to the default frame handling, which activates that document.
void list_documents(HMENU popup) {
    int n = GetMenuItemCount(popup);
    int restore = -1;
    for (int i = 0; i < n; ++i)
        if (GetMenuItemID(popup, i) == IDM_RESTORE) restore = i;
    if (restore < 0) return;
    for (int i = n - 1; i > restore; --i) DeleteMenu(popup, UINT(i), MF_BYPOSITION);
    bool first = true;
    for (int i = 0; i < GetMenuItemCount(g_shell.windowPopup); ++i) {
        UINT id = GetMenuItemID(g_shell.windowPopup, i);
        if (id < IDM_DOCUMENT_FIRST || id > IDM_DOCUMENT_LAST) continue;
        char text[300] = {};
        GetMenuString(g_shell.windowPopup, UINT(i), text, sizeof text, MF_BYPOSITION);
        UINT checked = GetMenuState(g_shell.windowPopup, UINT(i), MF_BYPOSITION) & MF_CHECKED;
        if (first) AppendMenu(popup, MF_SEPARATOR, 0, nullptr);
        first = false;
        AppendMenu(popup, MF_STRING | checked, id, text);
    }
}

// A highlighted popup title is answered here; a closed menu leaves the
// status bar to repaint its normal text. TRUE: no default handling.
// Menu help on the status bar; true when the message is fully handled.
bool on_menu_select(HWND frame, WPARAM wp, LPARAM lp) {
    WORD flags = HIWORD(wp), id = LOWORD(wp);
    if (flags == MF_POPUP) {
        HMENU first = GetSubMenu(GetMenu(frame), 0);
        ShowMenuText(g_shell.statusBar,
                     reinterpret_cast<HMENU>(lp) == first ? IDS_SYSTEMMENU_HELP : 0);
        return true;
    }
    if (flags == 0xFFFF || wp == 0xFFFF)
        InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    else if (id >= IDM_EXTENSION_HELP_FIRST && id <= IDM_EXTENSION_LAST)
        ShowExtensionStatusText(g_shell.statusBar, id);
    else
        ShowMenuText(g_shell.statusBar, id);
    return false;
}

LRESULT on_sys_command(HWND hwnd, WPARAM wp, LPARAM lp) {
    if ((wp & 0xFFF0) == SC_CLOSE) {
        if (!ConfirmClose(hwnd)) return 0;
        SavePlacement(hwnd, g_shell.funcBar);
    }
    return DefFrameProc(hwnd, g_shell.mdiClient, WM_SYSCOMMAND, wp, lp);
}

}  // namespace

LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            return FrameCreate(hwnd) ? 0 : -1;
        case WM_SIZE:
            if (wp != SIZE_MINIMIZED)
                LayoutFrame(LOWORD(lp), HIWORD(lp), SettingWord(SET_PREVIEWSIZE), FALSE);
            return 0;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = POINT{650, 380};
            return 0;
        case WM_SYSCOMMAND:
            return on_sys_command(hwnd, wp, lp);
        case WM_CLOSE:
            if (!CloseAllDocuments(hwnd)) return 0;
            break;
        case WM_DESTROY:
            FrameDestroyed(hwnd);
            return 0;
        case WM_ENDSESSION:
            if (wp) RememberLogonStart();
            return 0;
        case WM_COMMAND:
            return FrameCommand(hwnd, wp, lp);
        case WM_INITMENU:
            update_undo_item(reinterpret_cast<HMENU>(wp));
            return 0;
        case WM_INITMENUPOPUP:
            list_documents(reinterpret_cast<HMENU>(wp));
            break;
        case WM_MENUSELECT:
            if (on_menu_select(hwnd, wp, lp)) return 0;
            break;
        case UM_OPENCOMMANDLINE:
            OpenCommandLineFiles(hwnd);
            return 0;
        case UM_HANDOVER:
            FrameHandOver(hwnd, reinterpret_cast<const char*>(lp));
            return 0;
        default: {
            LRESULT result = 0;
            if (FrameMessage(hwnd, msg, wp, lp, &result)) return result;
        }
    }
    return DefFrameProc(hwnd, g_shell.mdiClient, msg, wp, lp);
}
