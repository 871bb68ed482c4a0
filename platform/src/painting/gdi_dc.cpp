// Device contexts: window and paint contexts over a window's backing image,
// memory contexts over their selected bitmap; their drawing state, clipping,
// saving and restoring.
#include <algorithm>
#include <utility>

#include "painting_private.h"
#include "windows/windows_private.h"

namespace gdi {

namespace {

DC* new_dc(DCKind kind, HWND hwnd) {
    auto* dc = new DC;
    dc->kind = kind;
    dc->hwnd = hwnd;
    dc->st.pen = stock_object(BLACK_PEN);
    dc->st.brush = stock_object(WHITE_BRUSH);
    dc->st.font = stock_object(SYSTEM_FONT);
    return dc;
}

// Locks and returns the image a context draws on (null when there is none).
QImage* lock_image(DC* dc, std::unique_lock<std::recursive_mutex>* lock) {
    switch (dc->kind) {
        case DCKind::Window:
        case DCKind::Paint: {
            QImage* img = nullptr;
            std::recursive_mutex* m = nullptr;
            if (!plat::backing_image(dc->hwnd, &img, &m) || !img) return nullptr;
            if (m) *lock = std::unique_lock<std::recursive_mutex>(*m);
            if (img->depth() != 32) *img = img->convertToFormat(QImage::Format_RGB32);
            return img;
        }
        case DCKind::Memory: {
            Object* bm = obj_of(dc->st.bitmap);
            return bm ? &bm->image : nullptr;
        }
        case DCKind::Screen:
            if (dc->sink.isNull()) dc->sink = QImage(1, 1, QImage::Format_RGB32);
            return &dc->sink;
    }
    return nullptr;
}

int clip_kind(const DC* dc) {
    if (!dc->st.clipped) return SIMPLEREGION;
    const RECT& c = dc->st.clip;
    return c.right > c.left && c.bottom > c.top ? SIMPLEREGION : NULLREGION;
}

}  // namespace

Target::~Target() {
    if (lock.owns_lock()) lock.unlock();
    if (!dc || dirty.isEmpty()) return;
    if (dc->kind == DCKind::Window) {
        RECT rc{dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1};
        plat::schedule_show(dc->hwnd, &rc);
    } else if (dc->kind == DCKind::Paint) {
        dc->dirty |= dirty;
    }
}

bool open_target(HDC hdc, Target* t) {
    DC* dc = dc_of(hdc);
    if (!dc) return false;
    t->dc = dc;
    t->image = lock_image(dc, &t->lock);
    if (!t->image || t->image->isNull()) return false;
    t->clip = t->image->rect();
    if (dc->st.clipped) {
        const RECT& c = dc->st.clip;
        t->clip &= to_qrect(c.left, c.top, c.right, c.bottom);
    }
    if (dc->limited) t->clip &= dc->limit;
    return true;
}

void fill_rop2(Target& t, QRect r, QRgb c, int rop2) {
    r &= t.clip;
    if (r.isEmpty()) return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* p = t.row(y);
        if (rop2 == R2_COPYPEN) {
            std::fill(p + r.left(), p + r.right() + 1, c | 0xFF000000u);
        } else {
            for (int x = r.left(); x <= r.right(); ++x) p[x] = rop2_apply(rop2, c, p[x]);
        }
    }
    t.mark(r);
}

void fill_rop3(Target& t, QRect r, QRgb pat, DWORD rop) {
    r &= t.clip;
    if (r.isEmpty()) return;
    // With the pattern fixed and no source, each bit of the result depends on
    // the destination's bit alone: the bits set where it is 1, and where it is 0.
    const QRgb whereSet = rop3_apply(rop, pat, 0, 0xFFFFFFFFu);
    const QRgb whereClear = rop3_apply(rop, pat, 0, 0);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* p = t.row(y);
        for (int x = r.left(); x <= r.right(); ++x)
            p[x] = (whereSet & p[x]) | (whereClear & ~p[x]) | 0xFF000000u;
    }
    t.mark(r);
}

}  // namespace gdi

using namespace gdi;

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    if (!ps || !IsWindow(hwnd)) return nullptr;
    RECT rc{0, 0, 0, 0};
    bool erase = false;
    if (!plat::take_update(hwnd, &rc, &erase)) rc = RECT{0, 0, 0, 0};
    DC* dc = new_dc(DCKind::Paint, hwnd);
    dc->limited = true;
    dc->limit = to_qrect(rc.left, rc.top, rc.right, rc.bottom);
    HDC hdc = add_dc(dc);
    *ps = PAINTSTRUCT{};
    ps->hdc = hdc;
    ps->rcPaint = rc;
    // The window procedure erases (DefWindowProc: the class background); a
    // procedure that declines leaves the erasing to its WM_PAINT code.
    if (erase && rc.right > rc.left && rc.bottom > rc.top)
        ps->fErase =
            SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    DC* dc = dc_of(ps->hdc);
    if (!dc || dc->kind != DCKind::Paint) return FALSE;
    QRect dirty = dc->dirty;
    HWND target = dc->hwnd;
    remove_dc(ps->hdc);
    if (!dirty.isEmpty()) {
        RECT rc{dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1};
        plat::schedule_show(target, &rc);
    }
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (!hwnd) return add_dc(new_dc(DCKind::Screen, nullptr));
    if (!IsWindow(hwnd)) return nullptr;
    return add_dc(new_dc(DCKind::Window, hwnd));
}

int ReleaseDC(HWND hwnd, HDC hdc) {
    DC* dc = dc_of(hdc);
    if (!dc || (dc->kind != DCKind::Window && dc->kind != DCKind::Screen)) return 0;
    remove_dc(hdc);
    return 1;
}

HDC CreateCompatibleDC(HDC hdc) {
    DC* dc = new_dc(DCKind::Memory, nullptr);
    HBITMAP own = PlatformCreateBitmap(1, 1, nullptr);
    dc->defaultBitmap = own;
    dc->st.bitmap = own;
    HDC h = add_dc(dc);
    std::lock_guard<std::mutex> g(registry_mutex());
    if (Object* o = obj_locked(own)) o->selectedIn = h;
    return h;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int w, int h) {
    if (w < 0 || h < 0) return nullptr;
    return PlatformCreateBitmap(std::max(w, 1), std::max(h, 1), nullptr);
}

BOOL DeleteDC(HDC hdc) {
    DC* dc = dc_of(hdc);
    if (!dc) return FALSE;
    if (dc->kind == DCKind::Paint) return FALSE;
    remove_dc(hdc);
    return TRUE;
}

int SaveDC(HDC hdc) {
    std::lock_guard<std::mutex> g(registry_mutex());
    DC* dc = dc_locked(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->st);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int saved) {
    std::lock_guard<std::mutex> g(registry_mutex());
    DC* dc = dc_locked(hdc);
    if (!dc) return FALSE;
    int level = saved > 0 ? saved : static_cast<int>(dc->saved.size()) + saved + 1;
    if (saved == 0 || level < 1 || level > static_cast<int>(dc->saved.size())) return FALSE;
    DCState old = dc->st;
    DCState back = dc->saved[level - 1];
    if (back.bitmap != old.bitmap) {
        Object* bm = obj_locked(back.bitmap);
        if (bm && bm->selectedIn && bm->selectedIn != hdc) return FALSE;
        if (Object* cur = obj_locked(old.bitmap)) cur->selectedIn = nullptr;
        if (bm) bm->selectedIn = hdc;
    }
    std::vector<DCState> dropped(dc->saved.begin() + (level - 1), dc->saved.end());
    dc->st = back;
    dc->saved.resize(level - 1);
    for (const DCState& s : dropped)
        for (HGDIOBJ h : {s.pen, s.brush, s.font, s.bitmap}) release_locked(h);
    for (HGDIOBJ h : {old.pen, old.brush, old.font, old.bitmap}) release_locked(h);
    return TRUE;
}

int SetROP2(HDC hdc, int rop) {
    DC* dc = dc_of(hdc);
    if (!dc || rop < R2_BLACK || rop > R2_WHITE) return 0;
    return std::exchange(dc->st.rop2, rop);
}

int GetROP2(HDC hdc) {
    DC* dc = dc_of(hdc);
    return dc ? dc->st.rop2 : 0;
}

int SetBkMode(HDC hdc, int mode) {
    DC* dc = dc_of(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->st.bkMode, mode);
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    DC* dc = dc_of(hdc);
    if (!dc) return 0xFFFFFFFFu;  // CLR_INVALID
    return std::exchange(dc->st.bkColor, color & 0x00FFFFFFu);
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    DC* dc = dc_of(hdc);
    if (!dc) return 0xFFFFFFFFu;
    return std::exchange(dc->st.textColor, color & 0x00FFFFFFu);
}

int IntersectClipRect(HDC hdc, int l, int t, int r, int b) {
    DC* dc = dc_of(hdc);
    if (!dc) return ERROR_REGION;
    RECT n{l, t, r, b};
    if (dc->st.clipped) {
        const RECT& c = dc->st.clip;
        n = RECT{std::max(c.left, n.left), std::max(c.top, n.top), std::min(c.right, n.right),
                 std::min(c.bottom, n.bottom)};
    }
    if (n.right < n.left) n.right = n.left;
    if (n.bottom < n.top) n.bottom = n.top;
    dc->st.clipped = true;
    dc->st.clip = n;
    return clip_kind(dc);
}

int SelectClipRgn(HDC hdc, HRGN rgn) {
    DC* dc = dc_of(hdc);
    if (!dc || rgn) return ERROR_REGION;
    dc->st.clipped = false;
    return SIMPLEREGION;
}

namespace plat {

void fill_background(HDC hdc, const RECT& rc, HBRUSH classBrush) {
    QRgb c;
    if (!classBrush || !brush_colour(classBrush, &c)) return;
    Target t;
    if (!open_target(hdc, &t)) return;
    fill_rop2(t, to_qrect(rc.left, rc.top, rc.right, rc.bottom), c, R2_COPYPEN);
}

}  // namespace plat
