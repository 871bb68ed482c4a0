// Colours of static and edit controls asked from their parent, as the
// platform's controls do before they paint: the answer is a brush for the
// background, and the text colour set in the device context handed over.
#include <QPalette>
#include <QWidget>

#include "controls/common_controls.h"
#include "dialog_private.h"
#include "gdi_private.h"
#include "platform/testing.h"
#include "window_private.h"

namespace plat::dlg {

void apply_control_colours(HWND hwnd) {
    QWidget* w = control_widget(hwnd);
    HWND parent = GetParent(hwnd);
    if (!w || !parent) return;
    char cls[16] = "";
    GetClassName(hwnd, cls, sizeof cls);
    DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
    bool writable = same_name(cls, "EDIT") && IsWindowEnabled(hwnd) && !(style & ES_READONLY);
    HDC dc = GetDC(hwnd);
    COLORREF default_text = 0;
    {
        std::lock_guard lock(gdi::registry_mutex());
        if (gdi::DC* d = gdi::dc_locked(dc)) default_text = d->st.textColor;
    }
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessage(parent, writable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                    reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    COLORREF text = default_text;
    {
        std::lock_guard lock(gdi::registry_mutex());
        if (gdi::DC* d = gdi::dc_locked(dc)) text = d->st.textColor;
    }
    ReleaseDC(hwnd, dc);
    if (!is_live_control(hwnd, w)) return;
    QPalette pal;  // the default look, unless the parent answered
    QRgb back = 0;
    bool filled = brush && gdi::brush_colour(brush, &back);
    if (filled) {
        pal.setColor(QPalette::Window, QColor::fromRgb(back));
        pal.setColor(QPalette::Base, QColor::fromRgb(back));
    }
    if (filled && text != default_text) {
        QColor ink = QColor::fromRgb(gdi::to_qrgb(text));
        pal.setColor(QPalette::WindowText, ink);
        pal.setColor(QPalette::Text, ink);
    }
    w->setPalette(pal);
    w->setAutoFillBackground(filled);
}

}  // namespace plat::dlg

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
