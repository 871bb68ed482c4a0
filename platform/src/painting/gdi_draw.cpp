// Lines, pixels, rectangles and ellipses drawn with the selected pen and brush
// under the binary raster operation, pixel by pixel, so that inverting and XOR
// drawing are exact and undo themselves when repeated.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

#include "painting_private.h"

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

// The position of a style pattern, carried from pixel to pixel and from one
// segment to the next.
struct Dash {
    std::vector<int> runs;
    int period = 0;
    size_t run = 0;
    int left = 0;
    explicit Dash(int style) : runs(style_runs(style)) {
        for (int r : runs) period += r;
        left = runs.empty() ? 0 : runs[0];
    }
    bool on() const { return run % 2 == 0; }
    void step() {
        if (--left == 0) {
            run = (run + 1) % runs.size();
            left = runs[run];
        }
    }
    void skip(long long pixels) {
        if (runs.empty() || pixels <= 0) return;
        for (long long k = pixels % period; k > 0; --k) step();
    }
};

// A line as the walk above visits it: every step moves one pixel along the
// major axis; the minor axis has moved floor((2 * minor * k + major) / (2 *
// major)) pixels after k steps, the same pixels the error-term walk picks.
struct Segment {
    int mj0, mn0;     // start on the major and the minor axis
    int smj, smn;     // directions, +1 or -1
    long long major;  // extents, major >= minor
    long long minor;
    bool xMajor;
};

Segment segment(POINT a, POINT b) {
    long long dx = std::llabs(static_cast<long long>(b.x) - a.x);
    long long dy = std::llabs(static_cast<long long>(b.y) - a.y);
    int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    if (dx >= dy) return Segment{a.x, a.y, sx, sy, dx, dy, true};
    return Segment{a.y, a.x, sy, sx, dy, dx, false};
}

long long minor_moves(const Segment& s, long long k) {
    if (s.major == 0) return 0;
    if (s.major < (1LL << 30) && k < (1LL << 31))
        return (2 * s.minor * k + s.major) / (2 * s.major);
    __int128 num = static_cast<__int128>(2) * s.minor * k + s.major;
    return static_cast<long long>(num / (static_cast<__int128>(2) * s.major));
}

// The steps k in [lo, hi] (lo <= hi) whose offset from start along an axis in
// direction dir stays within [a, b]; empty (lo > hi) when none.
void axis_range(int start, int dir, int a, int b, long long* lo, long long* hi) {
    long long from =
        dir > 0 ? static_cast<long long>(a) - start : static_cast<long long>(start) - b;
    long long to = dir > 0 ? static_cast<long long>(b) - start : static_cast<long long>(start) - a;
    *lo = std::max(*lo, from);
    *hi = std::min(*hi, to);
}

// The first step in [lo, hi + 1] whose minor move is at least m (moves only grow).
long long first_step(const Segment& s, long long lo, long long hi, long long m) {
    ++hi;
    while (lo < hi) {
        long long mid = lo + (hi - lo) / 2;
        if (minor_moves(s, mid) >= m)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// The steps of the first `pixels` whose pixel lies inside the clip.
bool visible_steps(const Segment& s, long long pixels, const QRect& clip, long long* first,
                   long long* last) {
    long long lo = 0, hi = pixels - 1;
    if (hi < lo) return false;
    long long mjEnd = s.mj0 + s.smj * s.major, mnEnd = s.mn0 + s.smn * s.minor;
    int mjA = s.xMajor ? clip.left() : clip.top(), mjB = s.xMajor ? clip.right() : clip.bottom();
    int mnA = s.xMajor ? clip.top() : clip.left(), mnB = s.xMajor ? clip.bottom() : clip.right();
    if (std::min<long long>(s.mj0, mjEnd) >= mjA && std::max<long long>(s.mj0, mjEnd) <= mjB &&
        std::min<long long>(s.mn0, mnEnd) >= mnA && std::max<long long>(s.mn0, mnEnd) <= mnB) {
        *first = lo;
        *last = hi;
        return true;
    }
    axis_range(s.mj0, s.smj, mjA, mjB, &lo, &hi);
    if (lo > hi) return false;
    long long mLo = 0, mHi = std::numeric_limits<long long>::max();
    axis_range(s.mn0, s.smn, mnA, mnB, &mLo, &mHi);
    if (mLo > mHi) return false;
    *first = first_step(s, lo, hi, mLo);
    *last = first_step(s, lo, hi, mHi + 1) - 1;
    return *first <= *last;
}

// Calls put on each pixel of steps first..last, moving by pointer steps.
template <typename Put>
void run_steps(const Segment& s, long long first, long long last, QRgb* base, ptrdiff_t stride,
               Put put) {
    long long moved = minor_moves(s, first);
    long long mj = s.mj0 + s.smj * first, mn = s.mn0 + s.smn * moved;
    long long x = s.xMajor ? mj : mn, y = s.xMajor ? mn : mj;
    QRgb* p = base + y * stride + x;
    ptrdiff_t dMajor = s.xMajor ? s.smj : s.smj * stride;
    ptrdiff_t dMinor = s.xMajor ? s.smn * stride : s.smn;
    const long long inc = 2 * s.minor, wrap = 2 * s.major;
    long long r = static_cast<long long>(static_cast<__int128>(2) * s.minor * first + s.major -
                                         static_cast<__int128>(wrap) * moved);
    for (long long k = first;; ++k) {
        put(p);
        if (k == last) return;
        p += dMajor;
        r += inc;
        if (r >= wrap) {
            r -= wrap;
            p += dMinor;
        }
    }
}

struct Canvas32 {
    QRgb* base;
    ptrdiff_t stride;  // in pixels
};

Canvas32 canvas(Target& t) {
    return Canvas32{reinterpret_cast<QRgb*>(t.image->bits()), t.image->bytesPerLine() / 4};
}

// One solid segment; a copying pen fills horizontal runs whole.
void solid_segment(Canvas32 c, const Segment& s, long long first, long long last, QRgb colour,
                   int rop2) {
    if (rop2 == R2_COPYPEN) {
        QRgb v = rop2_apply(R2_COPYPEN, colour, 0);
        if (s.xMajor && s.minor == 0) {
            long long x = s.mj0 + s.smj * (s.smj > 0 ? first : last);
            std::fill_n(c.base + s.mn0 * c.stride + x, last - first + 1, v);
            return;
        }
        run_steps(s, first, last, c.base, c.stride, [v](QRgb* p) { *p = v; });
        return;
    }
    run_steps(s, first, last, c.base, c.stride,
              [rop2, colour](QRgb* p) { *p = rop2_apply(rop2, colour, *p); });
}

// One-pixel pen: each segment leaves out its end point, and the style runs on
// across the segments of one call.
void thin_path(Target& t, const POINT* pts, int n, const Pen& pen, const DCState& st) {
    Dash dash(pen.style);
    const bool gaps = st.bkMode == OPAQUE;
    const QRgb bk = to_qrgb(st.bkColor);
    const int rop2 = st.rop2;
    Canvas32 c = t.clip.isEmpty() ? Canvas32{nullptr, 0} : canvas(t);
    int l = pts[0].x, r = pts[0].x, tp = pts[0].y, b = pts[0].y;
    for (int i = 0; i + 1 < n; ++i) {
        l = std::min<int>(l, pts[i + 1].x);
        r = std::max<int>(r, pts[i + 1].x);
        tp = std::min<int>(tp, pts[i + 1].y);
        b = std::max<int>(b, pts[i + 1].y);
        Segment s = segment(pts[i], pts[i + 1]);
        long long first = 0, last = -1;
        bool seen = c.base && visible_steps(s, s.major, t.clip, &first, &last);
        if (dash.runs.empty()) {
            if (seen) solid_segment(c, s, first, last, pen.color, rop2);
            continue;
        }
        if (!seen) {
            dash.skip(s.major);
            continue;
        }
        dash.skip(first);
        run_steps(s, first, last, c.base, c.stride, [&](QRgb* p) {
            if (dash.on())
                *p = rop2_apply(rop2, pen.color, *p);
            else if (gaps)
                *p = rop2_apply(rop2, bk, *p);
            dash.step();
        });
        dash.skip(s.major - 1 - last);
    }
    t.mark(QRect(QPoint(l, tp), QPoint(r, b)));
}

// Coverage of one primitive, so that every pixel is mixed once even where
// strokes overlap. Values: 0 untouched, 1 pen, 2 gap (background), 3 brush.
struct Mask {
    QRect box;
    int left, top, width, height;
    std::vector<uint8_t> v;
    explicit Mask(const QRect& b)
        : box(b),
          left(b.left()),
          top(b.top()),
          width(std::max(b.width(), 0)),
          height(std::max(b.height(), 0)),
          v(size_t(width) * height) {}
    void put(int x, int y, uint8_t m) {
        unsigned cx = unsigned(x - left), cy = unsigned(y - top);
        if (cx >= unsigned(width) || cy >= unsigned(height)) return;
        uint8_t& p = v[size_t(cy) * width + cx];
        if (p == 0 || m < p) p = m;
    }
    // Marks the pen over [x0, x1] x [y0, y1], cut to the box; the pen wins
    // over every other value.
    void pen_square(int x0, int y0, int x1, int y1) {
        x0 = std::max(x0, left);
        y0 = std::max(y0, top);
        x1 = std::min(x1, left + width - 1);
        y1 = std::min(y1, top + height - 1);
        if (x0 > x1) return;
        for (int y = y0; y <= y1; ++y) {
            uint8_t* row = v.data() + size_t(y - top) * width;
            std::fill(row + (x0 - left), row + (x1 - left) + 1, uint8_t(1));
        }
    }
};

void apply_mask(Target& t, const Mask& m, const QRgb colours[4], int rop2) {
    QRect r = m.box & t.clip;
    if (r.isEmpty()) return;
    Canvas32 c = canvas(t);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* p = c.base + y * c.stride;
        const uint8_t* mv = m.v.data() + size_t(y - m.top) * m.width - m.left;
        for (int x = r.left(); x <= r.right(); ++x)
            if (uint8_t k = mv[x]) p[x] = rop2_apply(rop2, colours[k], p[x]);
    }
    t.mark(r);
}

// Wide pen: a square of the pen's width stamped along the whole path.
void stamp_path(Mask& m, const POINT* pts, int n, int width) {
    int lo = -(width / 2), hi = lo + width - 1;
    auto stamp = [&](int x, int y) { m.pen_square(x + lo, y + lo, x + hi, y + hi); };
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
