// The splash and the start assistant: two modeless dialogs beside the frame.
#include <kit/rvg32.h>
#include <sonrel/ids.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <cstdio>

#include "dialogs_start.h"
#include "startup.h"

namespace {

INT_PTR CALLBACK splash_proc(HWND dlg, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG: {
            int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 200;
            int y = GetSystemMetrics(SM_CYSCREEN) / 2 - 120;
            SetWindowPos(dlg, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
            PlaySound(SettingText(SET_STARTUP_SOUND), nullptr,
                      SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
            SetTimer(dlg, 1, 2200, nullptr);
            return TRUE;
        }
        case WM_TIMER:
            KillTimer(dlg, 1);
            DestroyWindow(dlg);
            return TRUE;
        case WM_DESTROY:
            if (g_shell.splash == dlg) g_shell.splash = nullptr;
            if (!SettingBool(SET_BOOLEAN_STARTASSISTANT) && g_shell.frame)
                CreateStartAssistant(g_shell.frame);
            return TRUE;
    }
    return FALSE;
}

// The one open start assistant's state.
struct Assistant {
    int tip;  // from 1: string IDS_TIP_BASE + tip
    bool openAfterClose;
    bool dontShowAgain;  // the check box, followed as it is clicked
    HBITMAP picture;
};
Assistant g_assistant;

bool tip_exists(int tip) {
    char text[8];
    return LoadString(g_shell.instance, IDS_TIP_BASE + tip, text, sizeof text) > 0;
}

void paint_assistant(HWND dlg) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(dlg, &ps);
    if (g_assistant.picture) ShowBitmap(hdc, 1, 1, g_assistant.picture);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    HFONT bold = RVCreateFont(8, 700, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(hdc, bold);
    Text(hdc, 80, 15, "Did you know...");
    SelectObject(hdc, RVGetStockObject(2));
    char text[1024] = {};
    LoadString(g_shell.instance, IDS_TIP_BASE + g_assistant.tip, text, sizeof text);
    ExtText(hdc, 100, 42, 290, 150, text, 2064);
    SelectObject(hdc, old);
    DeleteObject(bold);
    EndPaint(dlg, &ps);
    InvalidateRect(GetDlgItem(dlg, ASSISTANT_EXIT), nullptr, TRUE);
}

void assistant_destroyed(HWND dlg) {
    if (g_assistant.picture) DeleteObject(g_assistant.picture);
    g_assistant.picture = nullptr;
    char text[16];
    std::snprintf(text, sizeof text, "%d", g_assistant.tip);
    RegWriteString(SET_STARTUP_STARTTIP.path, text);
    RegWriteString(SET_BOOLEAN_STARTASSISTANT.path, g_assistant.dontShowAgain ? "1" : "0");
    HWND owner = GetParent(dlg);
    if (g_shell.startAssistant == dlg) g_shell.startAssistant = nullptr;
    if (g_assistant.openAfterClose) SendMessage(owner, WM_COMMAND, IDM_OPEN, 0);
}

void assistant_command(HWND dlg, WORD id) {
    HWND owner = GetParent(dlg);
    switch (id) {
        case ASSISTANT_NEW:
            SendMessage(owner, WM_COMMAND, IDM_NEW, 0);
            DestroyWindow(dlg);
            break;
        case IDOK:
        case IDCANCEL:
            DestroyWindow(dlg);
            break;
        case ASSISTANT_OPEN:
            g_assistant.openAfterClose = true;
            DestroyWindow(dlg);
            break;
        case ASSISTANT_WELCOME:
            ErrorBox(dlg, "Sorry, but this has not yet been implemented.");
            break;
        case ASSISTANT_NEXTTIP:
            if (++g_assistant.tip > 10) g_assistant.tip = 1;
            InvalidateRect(dlg, nullptr, TRUE);
            break;
        case ASSISTANT_DONTSHOW:
            g_assistant.dontShowAgain = IsDlgButtonChecked(dlg, ASSISTANT_DONTSHOW) == BST_CHECKED;
            break;
        case ASSISTANT_EXIT:
            PostMessage(owner, WM_COMMAND, IDM_EXIT, 0);
            break;
    }
}

INT_PTR CALLBACK assistant_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG: {
            g_assistant.tip = SettingWord(SET_STARTUP_STARTTIP) + 1;
            if (!tip_exists(g_assistant.tip)) g_assistant.tip = 1;
            g_assistant.openAfterClose = false;
            g_assistant.dontShowAgain = false;
            int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 200;
            int y = GetSystemMetrics(SM_CYSCREEN) / 2 - 140;
            SetWindowPos(dlg, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
            g_assistant.picture = LoadBitmap(g_shell.instance, "STARTASS");
            return TRUE;
        }
        case WM_PAINT:
            paint_assistant(dlg);
            return TRUE;
        case WM_COMMAND:
            assistant_command(dlg, LOWORD(wp));
            return TRUE;
        case WM_DESTROY:
            assistant_destroyed(dlg);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

HWND CreateSplash(HINSTANCE inst) {
    return CreateDialogParam(inst, "START", nullptr, splash_proc, 0);
}

HWND CreateStartAssistant(HWND owner) {
    if (g_shell.startAssistant && IsWindow(g_shell.startAssistant)) {
        SetForegroundWindow(g_shell.startAssistant);
        return g_shell.startAssistant;
    }
    g_shell.startAssistant =
        CreateDialogParam(g_shell.instance, "STARTASSISTANT", owner, assistant_proc, 0);
    if (g_shell.startAssistant) ShowWindow(g_shell.startAssistant, SW_SHOW);
    return g_shell.startAssistant;
}
