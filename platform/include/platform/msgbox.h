// Message boxes and the question hook. Every blocking question the layer asks
// (message boxes, modal dialogs, file dialogs, popup menus) goes through one
// hook that tests install (<platform/testing.h>) to record the question and
// give the answer, so nothing in a test waits for a person.
#pragma once

#include <platform/window.h>

// What was asked: kind ("MessageBox", "Dialog", "OpenFile", ...), text and
// caption, the style flags (buttons and icon for a message box), the owner.
struct PlatformQuestion {
    const char* kind;
    const char* text;
    const char* caption;
    UINT style;
    HWND owner;
    void* data;  // kind-specific record, null for a message box
};
// Returns the answer (IDOK, IDYES, ... for a message box).
typedef INT_PTR (*PlatformQuestionHook)(const PlatformQuestion* q, void* ctx);
// Asks through the hook; FALSE when no hook is installed (*answer unchanged).
PLATFORM_API BOOL PlatformAskHook(const PlatformQuestion* q, INT_PTR* answer);

// Modal message box over the owner; text may hold '\r' or '\n' line breaks.
PLATFORM_API int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
PLATFORM_API BOOL MessageBeep(UINT type);
