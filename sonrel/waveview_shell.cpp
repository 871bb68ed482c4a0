// The document window and the shell: activation (menus and bars follow the
// active document) and release (operations ended, playback stopped, blocks
// freed) when the window is destroyed.
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include "frame.h"
#include "operations.h"
#include "playback.h"
#include "waveview.h"

using namespace waveview;

namespace {

HWND mdi_client_of(HWND doc) {
    return GetParent(doc);
}

void set_frame_menu(HWND doc, HMENU menu) {
    HWND frame = frame_of(doc);
    HMENU popup = reinterpret_cast<HMENU>(SendMessage(frame, UM_GETWINDOWPOPUP, 0, 0));
    if (menu) {
        SendMessage(mdi_client_of(doc), WM_MDISETMENU, reinterpret_cast<WPARAM>(menu),
                    reinterpret_cast<LPARAM>(popup));
    }
    DrawMenuBar(frame);
}

// Playback of this document stops before its blocks go.
void stop_playback(HWND doc) {
    HWND frame = frame_of(doc);
    if (reinterpret_cast<HWND>(SendMessage(frame, UM_GETPLAYINGDOC, 0, 0)) != doc) return;
    SendMessage(frame_window(frame, UM_GETPREVIEW), UM_PLAYSTOPPED, 0, 0);
    PlaybackDocumentClosing(doc);
}

void free_blocks(HWND doc) {
    HWND strip = static_cast<HWND>(RemoveProp(doc, PROP_SCROLLHWND));
    if (strip && IsWindow(strip)) DestroyWindow(strip);
    ReleaseDocumentBlocks(doc);
}

}  // namespace

namespace waveview {

void on_activate(HWND doc, HWND losing, HWND gaining) {
    HWND frame = frame_of(doc);
    HWND selectBar = frame_window(frame, UM_GETSELECTBAR);
    HWND posBar = frame_window(frame, UM_GETPOSBAR);
    if (gaining == doc) {
        SendMessage(selectBar, UM_ZOOMCHANGED, 0, 0);
        SendMessage(posBar, UM_MARKUPDATE, 0, 0);
        if (!losing) {
            set_frame_menu(doc, g_shell.documentMenu);
            SendMessage(posBar, UM_DOCAVAILABLE, 0, 0);
        }
        return;
    }
    if (losing != doc) return;
    SendMessage(selectBar, UM_ZOOMCHANGED, 0, 0);
    repaint(frame_window(frame, UM_GETSTATUSBAR));
    repaint(frame_window(frame, UM_GETPREVIEW));
    if (!gaining) {
        set_frame_menu(doc, reinterpret_cast<HMENU>(SendMessage(frame, UM_GETSTARTMENU, 0, 0)));
        SendMessage(posBar, UM_NODOCUMENT, 0, 0);
    }
}

void terminate_document_operations(HWND doc) {
    for (OperationEntry& e : g_operations.table) {
        if (e.document != doc || !e.thread) continue;
        TerminateThread(e.thread, 0);
        CloseHandle(e.thread);
        e = OperationEntry{};
        --g_operations.running;
        if (g_operations.running <= 0) {
            g_operations.running = 0;
            repaint(frame_window(frame_of(doc), UM_GETSELECTBAR));
        }
    }
}

void release_document(HWND doc) {
    try {
        terminate_document_operations(doc);
        stop_playback(doc);
        free_blocks(doc);
    } catch (...) {
        ExceptionBox(doc, "Free memory");
    }
}

}  // namespace waveview
