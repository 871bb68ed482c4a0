// Test hooks on the common controls: a tooltip shown at once, an animation's
// frame and timer, and a pixel as shown with the control widgets on top.
#include <platform/testing.h>

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <string>

#include "controls/common_controls.h"
#include "painting/painting_private.h"
#include "windows/windows_private.h"

extern "C" {

BOOL PlatformShowToolTip(HWND window, int x, int y, LPSTR text, int size) {
    std::string shown;
    plat::run_on_ui([&] {
        shown = plat::dlg::show_tip_at(window, POINT{x, y});
        return LRESULT(0);
    });
    if (text && size > 0) {
        size_t n = std::min(shown.size(), size_t(size - 1));
        std::memcpy(text, shown.data(), n);
        text[n] = '\0';
    }
    return shown.empty() ? FALSE : TRUE;
}

int PlatformAnimateFrame(HWND anim) {
    return int(plat::run_on_ui([=] { return LRESULT(plat::dlg::animation_frame(anim)); }));
}

BOOL PlatformAnimateTick(HWND anim, int ticks) {
    return BOOL(plat::run_on_ui([=] {
        if (!SendMessage(anim, ACM_ISPLAYING, 0, 0)) return LRESULT(FALSE);
        for (int i = 0; i < ticks; ++i) SendMessage(anim, WM_TIMER, 1, 0);
        return LRESULT(TRUE);
    }));
}

COLORREF PlatformShownPixel(HWND hwnd, int x, int y) {
    return COLORREF(plat::run_on_ui([=] {
        QWidget* c = IsWindow(hwnd) ? plat::client_widget_of(hwnd) : nullptr;
        if (!c || x < 0 || y < 0 || x >= c->width() || y >= c->height())
            return LRESULT(CLR_INVALID);
        QImage shot = c->grab(QRect(x, y, 1, 1)).toImage();
        if (shot.isNull()) return LRESULT(CLR_INVALID);
        return LRESULT(gdi::to_colorref(shot.pixel(0, 0)));
    }));
}

}  // extern "C"
