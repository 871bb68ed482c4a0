// The window under a screen point.
#include <QApplication>
#include <QWidget>

#include "windows_private.h"

using namespace plat;

HWND WindowFromPoint(POINT pt) {
    return reinterpret_cast<HWND>(run_on_ui([pt] {
        QWidget* w = QApplication::widgetAt(pt.x, pt.y);
        // Inner widgets of a window (its client area, scroll bars) have no handle of their own.
        while (w && !hwnd_of(w)) w = w->parentWidget();
        return reinterpret_cast<LRESULT>(w ? hwnd_of(w) : nullptr);
    }));
}
