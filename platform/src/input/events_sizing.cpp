// Sizing and moving child windows by their borders and captions. A child
// whose procedure answers WM_NCHITTEST with a border code (HTTOP, HTLEFT, ...)
// or HTCAPTION for a point gets no client mouse message there: the cursor
// request carries the code, and dragging with the left button moves that
// border, within the window's WM_GETMINMAXINFO track sizes, or for HTCAPTION
// the whole window. Top-level windows are sized and moved by the window
// manager instead.
#include <QWidget>

#include "input_private.h"
#include "windows/windows_private.h"

namespace plat {

namespace {

struct Sizing {
    HWND hwnd = nullptr;
    int hit = 0;
    QPoint start;  // screen point of the press
    QRect rect;    // window rectangle in parent client coordinates at the press
};
Sizing g_sizing;

bool is_border(LRESULT hit) {
    return hit == HTCAPTION || (hit >= HTLEFT && hit <= HTBOTTOMRIGHT);
}

bool moves_left(int hit) {
    return hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
}
bool moves_right(int hit) {
    return hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
}
bool moves_top(int hit) {
    return hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
}
bool moves_bottom(int hit) {
    return hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
}

bool sizable_child(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w && w->kind == Kind::Child;
}

void track_limits(HWND hwnd, QSize* lo, QSize* hi) {
    MINMAXINFO mmi{};
    mmi.ptMaxTrackSize = POINT{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    SendMessage(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    *lo = QSize(std::max(0, int(mmi.ptMinTrackSize.x)), std::max(0, int(mmi.ptMinTrackSize.y)));
    *hi = QSize(std::max(lo->width(), int(mmi.ptMaxTrackSize.x)),
                std::max(lo->height(), int(mmi.ptMaxTrackSize.y)));
}

// Moves the dragged borders by the distance from the press, keeping the
// opposite borders where they were.
void follow(const QPoint& global) {
    HWND hwnd = g_sizing.hwnd;
    QPoint d = global - g_sizing.start;
    if (g_sizing.hit == HTCAPTION) {
        QPoint at = g_sizing.rect.topLeft() + d;
        SetWindowPos(hwnd, nullptr, at.x(), at.y(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    QSize lo, hi;
    track_limits(hwnd, &lo, &hi);
    QRect r = g_sizing.rect;
    int left = r.left(), top = r.top(), right = r.left() + r.width(), bottom = r.top() + r.height();
    int hit = g_sizing.hit;
    int w = r.width(), h = r.height();
    if (moves_left(hit)) w = r.width() - d.x();
    if (moves_right(hit)) w = r.width() + d.x();
    if (moves_top(hit)) h = r.height() - d.y();
    if (moves_bottom(hit)) h = r.height() + d.y();
    w = std::clamp(w, lo.width(), hi.width());
    h = std::clamp(h, lo.height(), hi.height());
    int x = moves_left(hit) ? right - w : left;
    int y = moves_top(hit) ? bottom - h : top;
    SetWindowPos(hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool handle_border_mouse(HWND target, UINT msg, const QPoint& global) {
    if (g_sizing.hwnd) {
        if (!IsWindow(g_sizing.hwnd)) {
            g_sizing = Sizing{};
            return false;
        }
        if (msg == WM_MOUSEMOVE) follow(global);
        if (msg == WM_LBUTTONUP) g_sizing = Sizing{};
        return true;
    }
    if (capture_window() || !sizable_child(target)) return false;
    LRESULT hit = SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y()));
    if (!is_border(hit)) return false;
    SendMessage(target, WM_SETCURSOR, WPARAM(target), MAKELPARAM(hit, msg));
    if (msg == WM_LBUTTONDOWN) {
        QWidget* f = frame_of(target);
        if (!f) return true;
        g_sizing = Sizing{target, int(hit), global, f->geometry()};
    }
    return true;
}

}  // namespace plat
