// The library's user-feedback services: the error and exception boxes, the
// busy cursor, and the early end of an operation thread.
#include <sonrel/messages.h>

#include <atomic>
#include <cstdio>

#include "document.h"
#include "entry.h"

namespace {

// The cursor that was current when SetMouseWait last ran; one for all callers.
std::atomic<HCURSOR> g_remembered_cursor{nullptr};
// The animated busy cursor once it could be loaded; until then every call tries.
std::atomic<HCURSOR> g_file_cursor{nullptr};

HCURSOR busy_cursor() {
    HCURSOR c = g_file_cursor.load();
    if (!c) {
        c = LoadCursorFromFile("wait.ani");
        HCURSOR none = nullptr;
        if (c && !g_file_cursor.compare_exchange_strong(none, c)) {
            DestroyCursor(c);
            c = none;
        }
    }
    return c ? c : LoadCursor(nullptr, IDC_WAIT);
}

}  // namespace

WAVKIT_API int ErrorBox(HWND owner, LPCSTR text) {
    return entry::guarded(
        0, [&] { return MessageBox(owner, text ? text : "", "Warning...", MB_OK | MB_ICONHAND); });
}

WAVKIT_API int ExceptionBox(HWND owner, LPCSTR place) {
    return entry::guarded(0, [&] {
        char text[256];
        std::snprintf(text, sizeof text,
                      "A handled exception occured in function %s.\nSave your work and restart "
                      "Sonrel as soon as possible.",
                      place ? place : "");
        return MessageBox(owner, text, "Sonrel2003 Exception Handling...",
                          MB_OK | MB_ICONINFORMATION);
    });
}

WAVKIT_API HCURSOR SetMouseWait(HWND) {
    return entry::guarded(nullptr, [&] {
        HCURSOR before = SetCursor(busy_cursor());
        g_remembered_cursor.store(before);
        return before;
    });
}

WAVKIT_API HCURSOR SetMouseActive(void) {
    return entry::guarded(nullptr, [&] { return SetCursor(g_remembered_cursor.load()); });
}

WAVKIT_API void BreakThread(HWND frame) {
    entry::guarded(
        [&] { SendMessage(frame, UM_THREADEND, static_cast<WPARAM>(GetCurrentThreadId()), 0); });
    ExitThread(0);
}
