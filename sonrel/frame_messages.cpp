// The frame messages: how operations, bars and extensions find the frame's
// windows and report their start and end. Answered at once, without
// allocation.
#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include <cstdio>

#include "commands.h"
#include "file_commands.h"
#include "frame.h"
#include "operations.h"
#include "playback.h"

namespace {

LRESULT window_result(HWND w) {
    return reinterpret_cast<LRESULT>(w);
}
LRESULT menu_result(HMENU m) {
    return reinterpret_cast<LRESULT>(m);
}

void layout_request(HWND frame, WPARAM previewHeight) {
    RECT rc{};
    GetClientRect(frame, &rc);
    int p = static_cast<int>(previewHeight);
    LayoutFrame(rc.right, rc.bottom, p, TRUE);
    char text[16];
    std::snprintf(text, sizeof text, "%d", p);
    RegWriteString(SET_PREVIEWSIZE.path, text);
}

}  // namespace

BOOL FrameMessage(HWND frame, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    *result = 0;
    switch (msg) {
        case UM_GETACTIVEDOC:
            *result = window_result(ActiveDocument());
            return TRUE;
        case UM_GETSTATUSBAR:
            *result = window_result(g_shell.statusBar);
            return TRUE;
        case UM_GETWINDOWPOPUP:
            *result = menu_result(g_shell.windowPopup);
            return TRUE;
        case UM_GETICONBAR:
            *result = window_result(g_shell.iconBar);
            return TRUE;
        case UM_GETMDICLIENT:
            *result = window_result(g_shell.mdiClient);
            return TRUE;
        case UM_GETPREVIEW:
            *result = window_result(g_shell.preview);
            return TRUE;
        case UM_GETSELECTBAR:
            *result = window_result(g_shell.selectBar);
            return TRUE;
        case UM_GETEXTMENU:
            *result = menu_result(g_shell.extensionsPopup);
            return TRUE;
        case UM_GETTHREADCOUNT:
            *result = g_operations.running;
            return TRUE;
        case UM_GETPOSBAR:
            *result = window_result(g_shell.posBar);
            return TRUE;
        case UM_GETSTARTMENU:
            *result = menu_result(g_shell.startMenu);
            return TRUE;
        case UM_GETTHREADMAN:
            *result = window_result(g_shell.threadMan);
            return TRUE;
        case UM_GETPLAYINGDOC:
            *result = window_result(g_playback.document);
            return TRUE;
        case UM_GETWAVEOUT:
            *result = reinterpret_cast<LRESULT>(g_playback.output);
            return TRUE;
        case UM_STARTPASTE:
        case UM_STARTPASTEMIX:
            StartPaste(reinterpret_cast<HWND>(wp), msg == UM_STARTPASTEMIX);
            return TRUE;
        case UM_OPENPENDING:
            OpenPending(frame);
            return TRUE;
        case UM_THREADBEGIN:
            OperationBegun();
            return TRUE;
        case UM_THREADEND:
            OperationEnded(static_cast<DWORD>(wp));
            return TRUE;
        case UM_LAYOUT:
            layout_request(frame, wp);
            return TRUE;
        case UM_DESTROYWINDOW:
            DestroyWindow(reinterpret_cast<HWND>(lp));
            return TRUE;
    }
    return FALSE;
}
