// Invalidation, WM_PAINT dispatch and the backing image of every window.
// The invalid area of a window is kept as its bounding rectangle with an erase
// flag; BeginPaint takes it through take_update. Drawing threads reach the
// image through backing_image and ask the widget to show it with schedule_show.
#include <QMdiArea>
#include <QPainter>
#include <QWidget>

#include "painting/painting_private.h"
#include "windows_private.h"

namespace plat {

namespace {

bool empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT unite(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT clip_to_client(const Window* w, const RECT* rc) {
    RECT all{0, 0, w->client_w, w->client_h};
    if (!rc) return all;
    return RECT{std::max(rc->left, LONG(0)), std::max(rc->top, LONG(0)),
                std::min(rc->right, all.right), std::min(rc->bottom, all.bottom)};
}

// Fills part of a window's image with its class background through the
// painting area, as an erase would.
void fill_with_background(HWND hwnd, const RECT& rc) {
    HBRUSH brush = class_background(hwnd);
    if (!brush || empty(rc)) return;
    HDC hdc = GetDC(hwnd);
    if (!hdc) return;
    fill_background(hdc, rc, brush);
    ReleaseDC(hwnd, hdc);
}

}  // namespace

void invalidate(HWND hwnd, const RECT* rc, bool erase) {
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || w->kind == Kind::Desktop) return;
        RECT r = clip_to_client(w, rc);
        if (empty(r)) return;
        w->invalid = w->has_invalid ? unite(w->invalid, r) : r;
        w->has_invalid = true;
        w->erase = w->erase || erase;
    }
    wake_ui();
}

void resize_image(Window* w, int cw, int ch) {
    HWND hwnd = w->hwnd;
    int old_w, old_h;
    UINT cls_style = w->cls ? w->cls->style : 0;
    {
        std::lock_guard lock(w->image_lock);
        old_w = w->image.width();
        old_h = w->image.height();
        int nw = std::max(1, cw), nh = std::max(1, ch);
        if (nw == old_w && nh == old_h) return;
        QImage next(nw, nh, QImage::Format_RGB32);
        next.fill(Qt::white);
        QPainter p(&next);
        p.drawImage(0, 0, w->image);
        p.end();
        w->image = std::move(next);
    }
    // A 1x1 image stands for an empty client area: all of the new one is new.
    if (old_w <= 1 && old_h <= 1) old_w = old_h = 0;
    RECT right{old_w, 0, cw, ch}, bottom{0, old_h, std::min(old_w, cw), ch};
    fill_with_background(hwnd, right);
    fill_with_background(hwnd, bottom);
    bool redraw_all =
        ((cls_style & CS_HREDRAW) && cw != old_w) || ((cls_style & CS_VREDRAW) && ch != old_h);
    if (redraw_all) {
        invalidate(hwnd, nullptr, true);
    } else {
        invalidate(hwnd, &right, true);
        invalidate(hwnd, &bottom, true);
    }
}

HWND next_window_to_paint() {
    std::lock_guard lock(table_mutex());
    for (Window* w : live_windows())
        if (w->has_invalid && w->created) return w->hwnd;
    return nullptr;
}

void paint_window(HWND hwnd) {
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || !w->has_invalid) return;
        w->paint_taken = false;
    }
    call_proc(hwnd, WM_PAINT, 0, 0);
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    // A procedure that never called BeginPaint would be asked again forever.
    if (w && !w->paint_taken) w->has_invalid = w->erase = false;
}

void paint_all() {
    std::vector<HWND> todo;
    {
        std::lock_guard lock(table_mutex());
        for (Window* w : live_windows())
            if (w->has_invalid && w->created) todo.push_back(w->hwnd);
    }
    for (HWND h : todo) paint_window(h);
}

namespace {

// The MDI client shows its image as the area's background, under the documents.
void show_as_background(HWND hwnd) {
    QMdiArea* area = nullptr;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || !w->area) return;
        area = w->area;
    }
    QImage* image = nullptr;
    std::recursive_mutex* lock = nullptr;
    if (!backing_image(hwnd, &image, &lock)) return;
    QImage copy;
    {
        std::lock_guard guard(*lock);
        copy = image->copy();
    }
    area->setBackground(QBrush(copy));
}

}  // namespace

void flush_shown() {
    std::vector<std::pair<HWND, RECT>> todo;
    std::vector<HWND> areas;
    {
        std::lock_guard lock(table_mutex());
        for (Window* w : live_windows()) {
            if (!w->has_shown_dirty) continue;
            if (w->kind == Kind::MdiClient && w->area)
                areas.push_back(w->hwnd);
            else
                todo.emplace_back(w->hwnd, w->shown_dirty);
            w->has_shown_dirty = false;
        }
    }
    for (HWND a : areas) show_as_background(a);
    for (auto& [hwnd, r] : todo) {
        QWidget* c = client_widget_of(hwnd);
        if (c) c->update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
}

bool backing_image(HWND hwnd, QImage** image, std::recursive_mutex** lock) {
    std::lock_guard guard(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return false;
    if (image) *image = &w->image;
    if (lock) *lock = &w->image_lock;
    return true;
}

void schedule_show(HWND hwnd, const RECT* rc) {
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w) return;
        RECT r = clip_to_client(w, rc);
        if (empty(r)) return;
        w->shown_dirty = w->has_shown_dirty ? unite(w->shown_dirty, r) : r;
        w->has_shown_dirty = true;
    }
    wake_ui();
}

bool take_update(HWND hwnd, RECT* rc, bool* erase) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return false;
    if (rc) *rc = w->has_invalid ? w->invalid : RECT{0, 0, 0, 0};
    if (erase) *erase = w->has_invalid && w->erase;
    w->has_invalid = w->erase = false;
    w->paint_taken = true;
    return true;
}

}  // namespace plat

using namespace plat;

extern "C" {

BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase) {
    if (!hwnd) {
        std::vector<HWND> all;
        {
            std::lock_guard lock(table_mutex());
            for (Window* w : live_windows()) all.push_back(w->hwnd);
        }
        for (HWND h : all) invalidate(h, nullptr, erase);
        return TRUE;
    }
    if (!IsWindow(hwnd)) return FALSE;
    invalidate(hwnd, rc, erase);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rc) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    // The invalid area is one rectangle: it goes when the given one covers it.
    const RECT& inv = w->invalid;
    if (!rc || (rc->left <= inv.left && rc->top <= inv.top && rc->right >= inv.right &&
                rc->bottom >= inv.bottom))
        w->has_invalid = w->erase = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL erase) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    if (rc) *rc = w->has_invalid ? w->invalid : RECT{0, 0, 0, 0};
    return w->has_invalid ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    run_on_ui([hwnd] {
        paint_window(hwnd);
        flush_shown();
        return LRESULT(0);
    });
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags) {
    if (!IsWindow(hwnd)) return FALSE;
    if (flags & RDW_INVALIDATE) invalidate(hwnd, rc, flags & RDW_ERASE);
    if (flags & RDW_ALLCHILDREN) {
        std::vector<HWND> kids;
        {
            std::lock_guard lock(table_mutex());
            if (Window* w = find_window(hwnd)) kids = w->children;
        }
        for (HWND k : kids) RedrawWindow(k, nullptr, nullptr, flags);
    }
    if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
    return TRUE;
}
}
