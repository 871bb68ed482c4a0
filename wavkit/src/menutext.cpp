// The menu hint on the status bar.
#include <kit/rvg32.h>
#include <sonrel/dialogs.h>
#include <sonrel/ids.h>

#include <cstdio>
#include <cstring>

#include "entry.h"

WAVKIT_API int ShowMenuText(HWND statusBar, UINT id) {
    return entry::guarded(0, [&] {
        char text[256] = {};
        auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(statusBar, GWLP_HINSTANCE));
        // The window menu's document entries, all but the last id of their range.
        if (id >= IDM_DOCUMENT_FIRST && id < IDM_DOCUMENT_LAST)
            std::snprintf(text, sizeof text, "Activate this window");
        else if (LoadString(inst, id, text, sizeof text) <= 0)
            std::snprintf(text, sizeof text, "%d - not yet implemented -", int(id));
        // A string holds the hint, a line break and the button's short name.
        if (char* cr = std::strchr(text, '\r')) *cr = 0;
        return ShowStatusHint(statusBar, text);
    });
}

WAVKIT_API int ShowStatusHint(HWND statusBar, const char* text) {
    HDC hdc = GetDC(statusBar);
    if (!hdc) return 0;
    RECT rc{};
    GetClientRect(statusBar, &rc);
    RECT box{2, 2, rc.right - 76, rc.bottom - 1};
    FillRect(hdc, &box, GetSysColorBrush(COLOR_BTNFACE));
    HFONT font = RVCreateFont(10, 400, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    Text(hdc, 3, 4, text);
    SelectObject(hdc, old);
    DeleteObject(font);
    return ReleaseDC(statusBar, hdc);
}
