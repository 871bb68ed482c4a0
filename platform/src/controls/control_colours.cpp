// Colours of static and edit controls asked from their parent, as the
// platform's controls do before they paint: the answer is a brush for the
// background, and the text colour set in the device context handed over.
#include <QPalette>
#include <QWidget>

#include "controls/common_controls.h"
#include "controls/controls_private.h"
#include "dialogs/dialogs_private.h"
#include "input/input_private.h"
#include "painting/painting_private.h"
#include "resources/resources_private.h"
#include "windows/windows_private.h"

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
