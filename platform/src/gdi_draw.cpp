// Lines, pixels, rectangles and ellipses drawn with the selected pen and brush
// under the binary raster operation, pixel by pixel, so that inverting and XOR
// drawing are exact and undo themselves when repeated.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "gdi_private.h"

namespace gdi {

namespace {

struct Pen {
    int style = PS_SOLID;
    int width = 1;
    QRgb color = 0xFF000000u;
};

Pen current_pen(const DC* dc) {
    Pen p;
    std::lock_guard<std::mutex> g(registry_mutex());
    if (Object* o = obj_locked(dc->st.pen); o && o->kind == ObjKind::Pen) {
        p.style = o->penStyle;
        p.width = o->penWidth;
        p.color = to_qrgb(o->color);
    }
    return p;
}

// On/off run lengths of the styled one-pixel pens; empty for solid.
std::vector<int> style_runs(int style) {
    switch (style) {
        case PS_DASH:
            return {6, 2};
        case PS_DOT:
            return {1, 1};
        case PS_DASHDOT:
            return {6, 2, 1, 2};
        case PS_DASHDOTDOT:
            return {6, 2, 1, 2, 1, 2};
        default:
            return {};
    }
}

// Walks the pixels of a line from (x0,y0) towards (x1,y1); the end point is
// visited only when last is set.
template <typename F>
void walk_line(int x0, int y0, int x1, int y1, bool last, F visit) {
    long long dx = std::llabs(static_cast<long long>(x1) - x0);
    long long dy = -std::llabs(static_cast<long long>(y1) - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long long err = dx + dy;
    int x = x0, y = y0;
    for (;;) {
        bool end = x == x1 && y == y1;
        if (end && !last) return;
        visit(x, y);
        if (end) return;
        long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// Coverage of one primitive, so that every pixel is mixed once even where
// strokes overlap. Values: 0 untouched, 1 pen, 2 gap (background), 3 brush.
struct Mask {
    QRect box;
    std::vector<uint8_t> v;
    explicit Mask(const QRect& b) : box(b), v(size_t(std::max(b.width(), 0)) * b.height()) {}
    uint8_t* at(int x, int y) {
        return box.contains(x, y) ? &v[size_t(y - box.top()) * box.width() + (x - box.left())]
                                  : nullptr;
    }
    void put(int x, int y, uint8_t m) {
        if (uint8_t* p = at(x, y); p && (*p == 0 || m < *p)) *p = m;
    }
};

void apply_mask(Target& t, const Mask& m, const QRgb colours[4], int rop2) {
    QRect r = m.box & t.clip;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* p = t.row(y);
        const uint8_t* mv = m.v.data() + size_t(y - m.box.top()) * m.box.width();
        for (int x = r.left(); x <= r.right(); ++x)
            if (uint8_t k = mv[x - m.box.left()]) p[x] = rop2_apply(rop2, colours[k], p[x]);
    }
    t.mark(r);
}

void plot(Target& t, int x, int y, QRgb c, int rop2) {
    if (!t.clip.contains(x, y)) return;
    QRgb* p = t.row(y) + x;
    *p = rop2_apply(rop2, c, *p);
}

// One-pixel pen: each segment leaves out its end point, and the style runs on
// across the segments of one call.
void thin_path(Target& t, const POINT* pts, int n, const Pen& pen, const DCState& st) {
    std::vector<int> runs = style_runs(pen.style);
    QRgb bk = to_qrgb(st.bkColor);
    size_t run = 0;
    int left = runs.empty() ? 0 : runs[0];
    QRect touched;
    for (int i = 0; i + 1 < n; ++i) {
        walk_line(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, false, [&](int x, int y) {
            bool on = run % 2 == 0;
            if (on) {
                plot(t, x, y, pen.color, st.rop2);
            } else if (st.bkMode == OPAQUE) {
                plot(t, x, y, bk, st.rop2);
            }
            if (!runs.empty() && --left == 0) {
                run = (run + 1) % runs.size();
                left = runs[run];
            }
        });
        touched |=
            QRect(QPoint(std::min(pts[i].x, pts[i + 1].x), std::min(pts[i].y, pts[i + 1].y)),
                  QPoint(std::max(pts[i].x, pts[i + 1].x), std::max(pts[i].y, pts[i + 1].y)));
    }
    t.mark(touched);
}

// Wide pen: a square of the pen's width stamped along the whole path.
void stamp_path(Mask& m, const POINT* pts, int n, int width) {
    int lo = -(width / 2), hi = lo + width - 1;
    auto stamp = [&](int x, int y) {
        for (int dy = lo; dy <= hi; ++dy)
            for (int dx = lo; dx <= hi; ++dx) m.put(x + dx, y + dy, 1);
    };
    if (n == 1) stamp(pts[0].x, pts[0].y);
    for (int i = 0; i + 1 < n; ++i)
        walk_line(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, true, stamp);
}

QRect path_box(const POINT* pts, int n, int grow) {
    int l = pts[0].x, r = pts[0].x, tp = pts[0].y, b = pts[0].y;
    for (int i = 1; i < n; ++i) {
        l = std::min<int>(l, pts[i].x);
        r = std::max<int>(r, pts[i].x);
        tp = std::min<int>(tp, pts[i].y);
        b = std::max<int>(b, pts[i].y);
    }
    return QRect(QPoint(l - grow, tp - grow), QPoint(r + grow, b + grow));
}

BOOL draw_path(HDC hdc, const POINT* pts, int n) {
    Target t;
    if (!open_target(hdc, &t)) return FALSE;
    Pen pen = current_pen(t.dc);
    if (pen.style == PS_NULL || n < 2) return TRUE;
    if (pen.width <= 1) {
        thin_path(t, pts, n, pen, t.dc->st);
        return TRUE;
    }
    Mask m(path_box(pts, n, pen.width) &
           t.clip.adjusted(-pen.width, -pen.width, pen.width, pen.width));
    stamp_path(m, pts, n, pen.width);
    const QRgb colours[4] = {0, pen.color, 0, 0};
    apply_mask(t, m, colours, t.dc->st.rop2);
    return TRUE;
}

// The outline band of a pen inside a rectangle, and the interior it leaves.
void rect_outline(Mask& m, const QRect& box, const Pen& pen, const DCState& st, QRect* inner) {
    int w = pen.width;
    *inner = box.adjusted(w, w, -w, -w);
    std::vector<int> runs = style_runs(w == 1 ? pen.style : PS_SOLID);
    if (runs.empty()) {
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (!inner->contains(x, y)) m.put(x, y, 1);
        return;
    }
    int l = box.left(), r = box.right(), tp = box.top(), b = box.bottom();
    const POINT pts[5] = {{l, tp}, {r, tp}, {r, b}, {l, b}, {l, tp}};
    size_t run = 0;
    int left = runs[0];
    for (int i = 0; i < 4; ++i)
        walk_line(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, false, [&](int x, int y) {
            if (run % 2 == 0)
                m.put(x, y, 1);
            else if (st.bkMode == OPAQUE)
                m.put(x, y, 2);
            if (--left == 0) {
                run = (run + 1) % runs.size();
                left = runs[run];
            }
        });
    if (box.width() == 1 || box.height() == 1) m.put(r, b, 1);
}

QRect normalised(int l, int t, int r, int b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    return to_qrect(l, t, r, b);
}

// Pixels of the ellipse inscribed in box: whether the pixel centre lies inside.
std::vector<uint8_t> ellipse_shape(const QRect& box) {
    std::vector<uint8_t> in(size_t(box.width()) * box.height());
    double a = box.width() / 2.0, b = box.height() / 2.0;
    for (int y = 0; y < box.height(); ++y) {
        double fy = (y + 0.5 - b) / b;
        for (int x = 0; x < box.width(); ++x) {
            double fx = (x + 0.5 - a) / a;
            in[size_t(y) * box.width() + x] = fx * fx + fy * fy <= 1.0;
        }
    }
    return in;
}

}  // namespace

}  // namespace gdi

using namespace gdi;

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
    DC* dc = dc_of(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->st.pos;
    dc->st.pos = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    DC* dc = dc_of(hdc);
    if (!dc) return FALSE;
    const POINT pts[2] = {dc->st.pos, POINT{x, y}};
    dc->st.pos = pts[1];
    return draw_path(hdc, pts, 2);
}

BOOL Polyline(HDC hdc, const POINT* pts, int n) {
    if (!pts || n < 2) return FALSE;
    return draw_path(hdc, pts, n);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Target t;
    if (!open_target(hdc, &t) || !t.clip.contains(x, y)) return 0xFFFFFFFFu;
    t.row(y)[x] = to_qrgb(color);
    t.mark(QRect(x, y, 1, 1));
    return color & 0x00FFFFFFu;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    Target t;
    if (!open_target(hdc, &t) || !t.clip.contains(x, y)) return 0xFFFFFFFFu;
    return to_colorref(t.row(y)[x]);
}

BOOL Rectangle(HDC hdc, int l, int t0, int r, int b) {
    Target t;
    if (!open_target(hdc, &t)) return FALSE;
    QRect box = normalised(l, t0, r, b);
    if (box.isEmpty()) return TRUE;
    Pen pen = current_pen(t.dc);
    const DCState& st = t.dc->st;
    QRgb brush = 0;
    bool filled = brush_colour(st.brush, &brush);
    if (pen.style == PS_NULL) {
        // Without a pen the filled area loses its last column and row.
        if (filled) fill_rop2(t, box.adjusted(0, 0, -1, -1), brush, st.rop2);
        return TRUE;
    }
    Mask m(box & t.clip);
    QRect inner;
    rect_outline(m, box, pen, st, &inner);
    const QRgb colours[4] = {0, pen.color, to_qrgb(st.bkColor), 0};
    apply_mask(t, m, colours, st.rop2);
    if (filled) fill_rop2(t, inner, brush, st.rop2);
    return TRUE;
}

BOOL Ellipse(HDC hdc, int l, int t0, int r, int b) {
    Target t;
    if (!open_target(hdc, &t)) return FALSE;
    QRect box = normalised(l, t0, r, b);
    if (box.isEmpty()) return TRUE;
    Pen pen = current_pen(t.dc);
    const DCState& st = t.dc->st;
    QRgb brush = 0;
    bool filled = brush_colour(st.brush, &brush);
    std::vector<uint8_t> in = ellipse_shape(box);
    int bw = box.width(), bh = box.height();
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < bw && y < bh && in[size_t(y) * bw + x];
    };
    // The pen's band: pixels within its width of the outside, by repeated erosion.
    std::vector<int> depth(in.size(), 0);
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x)
            if (inside(x, y) &&
                (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1)))
                depth[size_t(y) * bw + x] = 1;
    for (int d = 2; d <= pen.width; ++d)
        for (int y = 0; y < bh; ++y)
            for (int x = 0; x < bw; ++x) {
                size_t i = size_t(y) * bw + x;
                if (!in[i] || depth[i]) continue;
                auto near = [&](int nx, int ny) {
                    return nx >= 0 && ny >= 0 && nx < bw && ny < bh &&
                           depth[size_t(ny) * bw + nx] == d - 1;
                };
                if (near(x - 1, y) || near(x + 1, y) || near(x, y - 1) || near(x, y + 1))
                    depth[i] = d;
            }
    Mask m(box);
    bool pen_on = pen.style != PS_NULL;
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) {
            size_t i = size_t(y) * bw + x;
            if (!in[i]) continue;
            if (depth[i] && pen_on)
                m.put(box.left() + x, box.top() + y, 1);
            else if (filled)
                m.put(box.left() + x, box.top() + y, 3);
        }
    const QRgb colours[4] = {0, pen.color, 0, brush};
    apply_mask(t, m, colours, st.rop2);
    return TRUE;
}

int FillRect(HDC hdc, const RECT* rc, HBRUSH brush) {
    QRgb c;
    if (!rc || !brush_colour(brush, &c)) return 0;
    Target t;
    if (!open_target(hdc, &t)) return 0;
    fill_rop2(t, to_qrect(rc->left, rc->top, rc->right, rc->bottom), c, R2_COPYPEN);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rc, HBRUSH brush) {
    QRgb c;
    if (!rc || !brush_colour(brush, &c)) return 0;
    Target t;
    if (!open_target(hdc, &t)) return 0;
    QRect r = to_qrect(rc->left, rc->top, rc->right, rc->bottom);
    if (r.isEmpty()) return 1;
    fill_rop2(t, QRect(r.left(), r.top(), r.width(), 1), c, R2_COPYPEN);
    fill_rop2(t, QRect(r.left(), r.bottom(), r.width(), 1), c, R2_COPYPEN);
    fill_rop2(t, QRect(r.left(), r.top(), 1, r.height()), c, R2_COPYPEN);
    fill_rop2(t, QRect(r.right(), r.top(), 1, r.height()), c, R2_COPYPEN);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rc) {
    if (!rc) return FALSE;
    Target t;
    if (!open_target(hdc, &t)) return FALSE;
    fill_rop3(t, to_qrect(rc->left, rc->top, rc->right, rc->bottom), 0, DSTINVERT);
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    Target t;
    if (!open_target(hdc, &t)) return FALSE;
    QRgb pat = 0xFF000000u;
    brush_colour(t.dc->st.brush, &pat);
    fill_rop3(t, normalised(x, y, x + w, y + h), pat, rop);
    return TRUE;
}
