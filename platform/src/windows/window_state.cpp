// Coordinates and state of windows: client and window rectangles, point
// conversions, visibility, enabling, reparenting, the active window and the
// system metrics.
#include <QApplication>
#include <QWidget>

#include "windows_private.h"

namespace plat {

namespace {

HWND g_active_top = nullptr;

QPoint client_origin_on_screen(HWND hwnd) {
    if (hwnd == GetDesktopWindow()) return QPoint(0, 0);
    QWidget* c = client_widget_of(hwnd);
    return c ? c->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
}

}  // namespace

void note_activated(HWND top) {
    g_active_top = top;
}

}  // namespace plat

using namespace plat;

extern "C" {

BOOL GetClientRect(HWND hwnd, RECT* rc) {
    if (!rc) return FALSE;
    if (hwnd && hwnd == GetDesktopWindow()) {
        *rc = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return TRUE;
    }
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    *rc = RECT{0, 0, w->client_w, w->client_h};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rc) {
    if (!rc || !IsWindow(hwnd)) return FALSE;
    if (hwnd == GetDesktopWindow()) return GetClientRect(hwnd, rc);
    return BOOL(run_on_ui([=] {
        QRect r = window_rect_on_screen(hwnd);
        if (r.isNull()) return LRESULT(FALSE);
        *rc = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        return LRESULT(TRUE);
    }));
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
    if (!pt || !IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        QPoint o = client_origin_on_screen(hwnd);
        pt->x += o.x();
        pt->y += o.y();
        return LRESULT(TRUE);
    }));
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
    if (!pt || !IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        QPoint o = client_origin_on_screen(hwnd);
        pt->x -= o.x();
        pt->y -= o.y();
        return LRESULT(TRUE);
    }));
}

int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT n) {
    return int(run_on_ui([=] {
        QPoint a = from ? client_origin_on_screen(from) : QPoint(0, 0);
        QPoint b = to ? client_origin_on_screen(to) : QPoint(0, 0);
        int dx = a.x() - b.x(), dy = a.y() - b.y();
        for (UINT i = 0; pts && i < n; ++i) {
            pts[i].x += dx;
            pts[i].y += dy;
        }
        return LRESULT(MAKELONG(dx, dy));
    }));
}

BOOL IsWindowVisible(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    for (; w; w = w->kind == Kind::TopLevel ? nullptr : find_window(w->parent))
        if (!(w->style & WS_VISIBLE)) return FALSE;
    return TRUE;
}

BOOL IsIconic(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        bool was_disabled = !IsWindowEnabled(hwnd);
        set_style_bit(hwnd, WS_DISABLED, !enable);
        if (QWidget* f = frame_of(hwnd)) f->setEnabled(enable);
        if (was_disabled == bool(enable)) call_proc(hwnd, WM_ENABLE, WPARAM(enable ? 1 : 0), 0);
        return LRESULT(was_disabled ? TRUE : FALSE);
    }));
}

HWND SetParent(HWND hwnd, HWND newParent) {
    return reinterpret_cast<HWND>(run_on_ui([=] {
        HWND old;
        {
            std::lock_guard lock(table_mutex());
            Window* w = find_window(hwnd);
            Window* np = find_window(newParent);
            if (!w || !np || w->kind != Kind::Child || np->kind == Kind::MdiClient)
                return LRESULT(0);
            old = w->parent;
            if (Window* op = find_window(old)) {
                auto& kids = op->children;
                kids.erase(std::remove(kids.begin(), kids.end(), hwnd), kids.end());
            }
            np->children.push_back(hwnd);
            w->parent = newParent;
        }
        QWidget* f = frame_of(hwnd);
        bool visible = IsWindowVisible(hwnd);
        if (f) {
            QPoint pos = f->pos();
            f->setParent(client_widget_of(newParent));
            f->move(pos);
            f->setVisible(visible);
        }
        return reinterpret_cast<LRESULT>(old);
    }));
}

HWND GetDesktopWindow(void) {
    static HWND desktop = [] {
        std::lock_guard lock(table_mutex());
        Window* w = allocate_window();
        w->kind = Kind::Desktop;
        w->style = WS_VISIBLE;
        w->title = "";
        w->created = true;
        QRect s = screen_rect();
        w->client_w = s.width();
        w->client_h = s.height();
        return w->hwnd;
    }();
    return desktop;
}

BOOL SetForegroundWindow(HWND hwnd) {
    HWND top = top_level_of(hwnd);
    if (!top) return FALSE;
    run_on_ui([top] {
        if (QWidget* f = frame_of(top)) {
            raise_widget(f);
            f->activateWindow();
        }
        note_activated(top);
        return LRESULT(0);
    });
    return TRUE;
}

HWND GetForegroundWindow(void) {
    if (PlatformIsUiThread())
        if (QWidget* a = QApplication::activeWindow())
            if (HWND h = hwnd_of(a)) return top_level_of(h);
    return IsWindow(g_active_top) ? g_active_top : nullptr;
}

HWND GetActiveWindow(void) {
    return GetForegroundWindow();
}

BOOL BringWindowToTop(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXFULLSCREEN:
        case SM_CXMAXIMIZED:
            return screen_rect().width();
        case SM_CYSCREEN:
        case SM_CYFULLSCREEN:
        case SM_CYMAXIMIZED:
            return screen_rect().height();
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return 17;
        case SM_CYCAPTION:
            return 19;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
        case SM_CXFRAME:
        case SM_CYFRAME:
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYMENU:
            return 19;
        case SM_CXMINTRACK:
            return 112;
        case SM_CYMINTRACK:
            return 27;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        case SM_CXDRAG:
        case SM_CYDRAG:
            return 4;
        case SM_CMOUSEBUTTONS:
            return 3;
        default:
            return 0;
    }
}
}
