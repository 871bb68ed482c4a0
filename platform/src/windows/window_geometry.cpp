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

#include "menus/menus_private.h"
#include "windows_private.h"

namespace plat {

namespace {

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

// The window rectangle in the coordinates its position is given in. A
// top-level window's rectangle is where its frame starts and the size of what
// the layer shows inside; the decorations of the window manager stay outside,
// so that a rectangle read back and given again changes nothing.
QRect window_rect_local(const Parts& p) {
    if (p.kind == Kind::TopLevel) return QRect(p.frame->pos(), p.frame->size());
    return p.frame->geometry();
}

void set_window_pos_ui(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);

}  // namespace

QRect screen_rect() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

void set_style_bit(HWND hwnd, DWORD bit, bool on) {
    std::lock_guard lock(table_mutex());
    if (Window* w = find_window(hwnd)) w->style = on ? (w->style | bit) : (w->style & ~bit);
}

// Raises a widget among its siblings; top-level windows only where the
// windowing system can (the offscreen one used by tests cannot).
void raise_widget(QWidget* w) {
    static const bool top_levels = QGuiApplication::platformName() != "offscreen";
    if (!w->isWindow() || top_levels) w->raise();
}

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
        // A top-level window's menu bar takes the top of its frame.
        int top = p.kind == Kind::TopLevel ? place_menu_bar(hwnd, s.width()) : 0;
        int bh = p.hbar && p.hshown ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        int bw = p.vbar && p.vshown ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        cw = std::max(0, s.width() - bw);
        ch = std::max(0, s.height() - top - bh);
        p.client->setGeometry(0, top, cw, ch);
        if (p.hbar) {
            p.hbar->setGeometry(0, top + ch, cw, bh);
            p.hbar->setVisible(p.hshown);
        }
        if (p.vbar) {
            p.vbar->setGeometry(cw, top, bw, ch);
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
    resize_image(w, cw, ch);
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

QRect window_rect_on_screen(HWND hwnd) {
    Parts p;
    if (!parts_of(hwnd, &p) || !p.frame) return QRect();
    if (p.kind == Kind::TopLevel) return window_rect_local(p);
    return QRect(p.frame->mapToGlobal(QPoint(0, 0)), p.frame->size());
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
        note_activated(hwnd);
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
}
