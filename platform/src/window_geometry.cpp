// Size, position, state and visibility of windows. Positions of child windows
// are in their parent's client coordinates, of top-level windows in screen
// coordinates; a top-level window's rectangle includes the frame that the
// window manager adds, when there is one.
#include <QApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollBar>
#include <set>

#include "window_widgets.h"

namespace plat {

namespace {

HWND g_active_top = nullptr;

struct Parts {
    Kind kind = Kind::TopLevel;
    QWidget *frame = nullptr, *body = nullptr, *client = nullptr;
    QMdiSubWindow* sub = nullptr;
    QScrollBar *hbar = nullptr, *vbar = nullptr;
    bool hshown = false, vshown = false;
    HWND parent = nullptr;
    DWORD style = 0;
};

bool parts_of(HWND hwnd, Parts* p) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return false;
    p->kind = w->kind;
    p->frame = w->frame;
    p->body = w->body;
    p->client = w->client;
    p->sub = w->sub;
    p->hbar = w->hscroll.bar;
    p->vbar = w->vscroll.bar;
    p->hshown = w->hscroll.shown;
    p->vshown = w->vscroll.shown;
    p->parent = w->parent;
    p->style = w->style;
    return true;
}

// Qt's window state of the widget that carries minimize and maximize.
Qt::WindowStates state_of(const Parts& p) {
    if (p.kind == Kind::TopLevel && p.frame) return p.frame->windowState();
    if (p.kind == Kind::MdiChild && p.sub) return p.sub->windowState();
    return Qt::WindowNoState;
}

QRect screen_rect() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

// The window rectangle in the coordinates its position is given in. A
// top-level window's rectangle is where its frame starts and the size of what
// the layer shows inside; the decorations of the window manager stay outside,
// so that a rectangle read back and given again changes nothing.
QRect window_rect_local(const Parts& p) {
    if (p.kind == Kind::TopLevel) return QRect(p.frame->pos(), p.frame->size());
    return p.frame->geometry();
}

void set_style_bit(HWND hwnd, DWORD bit, bool on) {
    std::lock_guard lock(table_mutex());
    if (Window* w = find_window(hwnd)) w->style = on ? (w->style | bit) : (w->style & ~bit);
}

void set_window_pos_ui(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);

// Raises a widget among its siblings; top-level windows only where the
// windowing system can (the offscreen one used by tests cannot).
void raise_widget(QWidget* w) {
    static const bool top_levels = QGuiApplication::platformName() != "offscreen";
    if (!w->isWindow() || top_levels) w->raise();
}

}  // namespace

QWidget* frame_of(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w ? w->frame.data() : nullptr;
}

QWidget* client_widget_of(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w ? w->client.data() : nullptr;
}

void relayout(HWND hwnd) {
    Parts p;
    if (!parts_of(hwnd, &p) || !p.body || !p.client) return;
    int cw, ch;
    if (p.kind == Kind::MdiClient) {
        cw = p.body->width();
        ch = p.body->height();
    } else {
        QSize s = p.body->size();
        int bh = p.hbar && p.hshown ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        int bw = p.vbar && p.vshown ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        cw = std::max(0, s.width() - bw);
        ch = std::max(0, s.height() - bh);
        p.client->setGeometry(0, 0, cw, ch);
        if (p.hbar) {
            p.hbar->setGeometry(0, ch, cw, bh);
            p.hbar->setVisible(p.hshown);
        }
        if (p.vbar) {
            p.vbar->setGeometry(cw, 0, bw, ch);
            p.vbar->setVisible(p.vshown);
        }
    }
    Window* w;
    bool created;
    {
        std::lock_guard lock(table_mutex());
        w = find_window(hwnd);
        if (!w) return;
        w->client_w = cw;
        w->client_h = ch;
        created = w->created;
    }
    if (p.kind != Kind::MdiClient) resize_image(w, cw, ch);
    if (created) send_size_if_changed(hwnd);
}

void send_size_if_changed(HWND hwnd) {
    Parts p;
    if (!parts_of(hwnd, &p) || !p.frame) return;
    Qt::WindowStates st = state_of(p);
    bool minimized = st & Qt::WindowMinimized, maximized = st & Qt::WindowMaximized;
    set_style_bit(hwnd, WS_MINIMIZE, minimized);
    set_style_bit(hwnd, WS_MAXIMIZE, maximized && !minimized);
    int kind = minimized ? SIZE_MINIMIZED : maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    int cw, ch;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || !w->created) return;
        cw = minimized ? 0 : w->client_w;
        ch = minimized ? 0 : w->client_h;
        if (kind == SIZE_RESTORED) {
            QRect r = window_rect_local(p);
            w->normal = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
            w->has_normal = true;
        }
        if (w->sent_kind == kind && w->sent_w == cw && w->sent_h == ch) return;
        w->sent_kind = kind;
        w->sent_w = cw;
        w->sent_h = ch;
    }
    call_proc(hwnd, WM_SIZE, WPARAM(kind), MAKELPARAM(cw, ch));
}

void send_move_if_changed(HWND hwnd) {
    Parts p;
    if (!parts_of(hwnd, &p) || !p.client) return;
    QPoint origin;
    QWidget* pc = p.parent ? client_widget_of(p.parent) : nullptr;
    origin = p.client->mapToGlobal(QPoint(0, 0));
    if (p.kind != Kind::TopLevel && pc) origin = pc->mapFromGlobal(origin);
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || !w->created) return;
        if (!(state_of(p) & (Qt::WindowMinimized | Qt::WindowMaximized))) {
            QRect r = window_rect_local(p);
            w->normal = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
            w->has_normal = true;
        }
        if (w->sent_x == origin.x() && w->sent_y == origin.y()) return;
        w->sent_x = origin.x();
        w->sent_y = origin.y();
    }
    call_proc(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x(), origin.y()));
}

void apply_min_max(HWND hwnd) {
    Parts p;
    if (!parts_of(hwnd, &p) || p.kind != Kind::TopLevel || !p.frame) return;
    QRect s = screen_rect();
    MINMAXINFO mmi{};
    mmi.ptMaxSize = POINT{s.width(), s.height()};
    mmi.ptMaxPosition = POINT{0, 0};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    call_proc(hwnd, WM_GETMINMAXINFO, 0, LPARAM(&mmi));
    if (!IsWindow(hwnd)) return;
    p.frame->setMinimumSize(std::max(0, int(mmi.ptMinTrackSize.x)),
                            std::max(0, int(mmi.ptMinTrackSize.y)));
    p.frame->setMaximumSize(std::min(QWIDGETSIZE_MAX, int(mmi.ptMaxTrackSize.x)),
                            std::min(QWIDGETSIZE_MAX, int(mmi.ptMaxTrackSize.y)));
    std::lock_guard lock(table_mutex());
    if (Window* w = find_window(hwnd)) w->min_track = mmi.ptMinTrackSize;
}

HWND top_level_of(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    while (w && w->kind != Kind::TopLevel) w = find_window(w->parent);
    return w ? w->hwnd : nullptr;
}

void note_activated(HWND top) {
    g_active_top = top;
}

namespace {

BOOL show_window_ui(HWND hwnd, int cmd) {
    Parts p;
    if (!parts_of(hwnd, &p) || !p.frame) return FALSE;
    bool was_visible = p.style & WS_VISIBLE;
    bool show = cmd != SW_HIDE;
    if (show != was_visible) call_proc(hwnd, WM_SHOWWINDOW, WPARAM(show), 0);
    set_style_bit(hwnd, WS_VISIBLE, show);
    bool stateful = p.kind == Kind::TopLevel || p.kind == Kind::MdiChild;
    switch (cmd) {
        case SW_HIDE:
            p.frame->hide();
            break;
        case SW_SHOWMAXIMIZED:
            stateful ? p.frame->showMaximized() : p.frame->show();
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            stateful ? p.frame->showMinimized() : p.frame->show();
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
        case SW_SHOWDEFAULT:
            stateful ? p.frame->showNormal() : p.frame->show();
            break;
        default:
            p.frame->show();
            break;
    }
    if (!IsWindow(hwnd)) return was_visible;
    bool activate = show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE &&
                    cmd != SW_SHOWMINNOACTIVE && cmd != SW_MINIMIZE;
    if (activate && p.kind == Kind::TopLevel) {
        raise_widget(p.frame);
        p.frame->activateWindow();
        g_active_top = hwnd;
    }
    if (activate && p.kind == Kind::MdiChild) mdi_activate(p.parent, hwnd);
    relayout(hwnd);
    send_size_if_changed(hwnd);
    send_move_if_changed(hwnd);
    return was_visible;
}

void set_window_pos_ui(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    Parts p;
    if (!parts_of(hwnd, &p) || !p.frame) return;
    bool move = !(flags & SWP_NOMOVE), size = !(flags & SWP_NOSIZE);
    if (p.kind == Kind::TopLevel) {
        if (size) {
            apply_min_max(hwnd);
            QSize lo = p.frame->minimumSize();
            cx = std::max(cx, lo.width());
            cy = std::max(cy, lo.height());
        }
        if (move) p.frame->move(x, y);
        if (size) p.frame->resize(cx, cy);
    } else {
        if (move && size)
            p.frame->setGeometry(x, y, std::max(0, cx), std::max(0, cy));
        else if (move)
            p.frame->move(x, y);
        else if (size)
            p.frame->resize(std::max(0, cx), std::max(0, cy));
    }
    if (!(flags & SWP_NOZORDER)) {
        if (after == HWND_TOP || after == HWND_TOPMOST)
            raise_widget(p.frame);
        else if (after == HWND_BOTTOM)
            p.frame->lower();
        else if (QWidget* other = frame_of(after))
            if (other->parentWidget() == p.frame->parentWidget()) p.frame->stackUnder(other);
    }
    if (flags & SWP_SHOWWINDOW) show_window_ui(hwnd, SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW) show_window_ui(hwnd, SW_HIDE);
    relayout(hwnd);
    send_move_if_changed(hwnd);
}

struct DeferBatch {
    struct Entry {
        HWND hwnd, after;
        int x, y, cx, cy;
        UINT flags;
    };
    std::vector<Entry> entries;
};
std::mutex g_defer_mutex;
std::set<DeferBatch*> g_batches;

DeferBatch* batch_of(HDWP h) {
    std::lock_guard lock(g_defer_mutex);
    auto* b = static_cast<DeferBatch*>(h);
    return g_batches.count(b) ? b : nullptr;
}

QPoint client_origin_on_screen(HWND hwnd) {
    if (hwnd == GetDesktopWindow()) return QPoint(0, 0);
    QWidget* c = client_widget_of(hwnd);
    return c ? c->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

BOOL ShowWindow(HWND hwnd, int cmd) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] { return LRESULT(show_window_ui(hwnd, cmd)); }));
}

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    if (!IsWindow(hwnd)) return FALSE;
    run_on_ui([=] {
        set_window_pos_ui(hwnd, after, x, y, cx, cy, flags);
        return LRESULT(0);
    });
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

HDWP BeginDeferWindowPos(int n) {
    auto* b = new DeferBatch;
    b->entries.reserve(size_t(std::max(0, n)));
    std::lock_guard lock(g_defer_mutex);
    g_batches.insert(b);
    return b;
}

HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    DeferBatch* b = batch_of(dwp);
    if (!b || !IsWindow(hwnd)) return nullptr;
    b->entries.push_back(DeferBatch::Entry{hwnd, after, x, y, cx, cy, flags});
    return b;
}

BOOL EndDeferWindowPos(HDWP dwp) {
    DeferBatch* b = batch_of(dwp);
    if (!b) return FALSE;
    {
        std::lock_guard lock(g_defer_mutex);
        g_batches.erase(b);
    }
    for (const auto& e : b->entries) SetWindowPos(e.hwnd, e.after, e.x, e.y, e.cx, e.cy, e.flags);
    delete b;
    return TRUE;
}

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
        Parts p;
        if (!parts_of(hwnd, &p) || !p.frame) return LRESULT(FALSE);
        QRect r = p.kind == Kind::TopLevel
                      ? window_rect_local(p)
                      : QRect(p.frame->mapToGlobal(QPoint(0, 0)), p.frame->size());
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

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp) {
    if (!wp || !IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        Parts p;
        if (!parts_of(hwnd, &p) || !p.frame) return LRESULT(FALSE);
        Qt::WindowStates st = state_of(p);
        wp->length = sizeof(WINDOWPLACEMENT);
        wp->flags = 0;
        wp->showCmd = (st & Qt::WindowMinimized)   ? SW_SHOWMINIMIZED
                      : (st & Qt::WindowMaximized) ? SW_SHOWMAXIMIZED
                                                   : SW_SHOWNORMAL;
        wp->ptMinPosition = POINT{-1, -1};
        wp->ptMaxPosition = POINT{-1, -1};
        QRect r = window_rect_local(p);
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        wp->rcNormalPosition =
            w->has_normal ? w->normal
                          : RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        return LRESULT(TRUE);
    }));
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp) {
    if (!wp || !IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        Parts p;
        if (!parts_of(hwnd, &p) || !p.frame) return LRESULT(FALSE);
        if (state_of(p) & (Qt::WindowMinimized | Qt::WindowMaximized)) {
            bool visible = p.frame->isVisible();
            p.frame->setWindowState(Qt::WindowNoState);
            if (!visible) p.frame->hide();
        }
        const RECT& r = wp->rcNormalPosition;
        set_window_pos_ui(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          SWP_NOZORDER | SWP_NOACTIVATE);
        show_window_ui(hwnd, int(wp->showCmd));
        return LRESULT(TRUE);
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
        g_active_top = top;
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
