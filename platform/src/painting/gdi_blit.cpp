// Block transfers between contexts under ternary raster operations, the
// classic three-dimensional edges, and icons.
#include <algorithm>
#include <cstring>
#include <vector>

#include "painting_private.h"
#include "resources/resources_private.h"
#include "windows/windows_private.h"

namespace gdi {

namespace {

bool uses_source(DWORD rop) {
    unsigned c = (rop >> 16) & 0xFFu;
    return ((c >> 2) & 0x33u) != (c & 0x33u);
}

// A copy of a source rectangle; valid is the part that lies on the source
// image, in the copy's coordinates.
bool grab(HDC src, const QRect& r, QImage* out, QRect* valid) {
    Target t;
    if (!open_target(src, &t)) return false;
    *out = t.image->copy(r);
    *valid = (r & t.image->rect()).translated(-r.topLeft());
    return !out->isNull();
}

// Mixes src (placed at 'at' on the target) into the target by rop.
void put(Target& t, const QPoint& at, const QImage& src, const QRect& valid, DWORD rop) {
    QRgb pat = 0xFF000000u;
    brush_colour(t.dc->st.brush, &pat);
    QRect r = valid.translated(at) & t.clip;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* d = t.row(y);
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(y - at.y()));
        int off = at.x();
        if (rop == SRCCOPY) {
            for (int x = r.left(); x <= r.right(); ++x) d[x] = s[x - off] | 0xFF000000u;
        } else {
            for (int x = r.left(); x <= r.right(); ++x)
                d[x] = rop3_apply(rop, pat, s[x - off], d[x]);
        }
    }
    t.mark(r);
}

// The source pixel mixed into the destination by the common raster
// operations, without walking the truth table.
void mix_row(DWORD rop, QRgb pat, const QRgb* s, QRgb* d, int n) {
    switch (rop) {
        case SRCAND:
            for (int i = 0; i < n; ++i) d[i] = (s[i] & d[i]) | 0xFF000000u;
            return;
        case SRCPAINT:
            for (int i = 0; i < n; ++i) d[i] = (s[i] | d[i]) | 0xFF000000u;
            return;
        case SRCINVERT:
            for (int i = 0; i < n; ++i) d[i] = (s[i] ^ d[i]) | 0xFF000000u;
            return;
        case NOTSRCCOPY:
            for (int i = 0; i < n; ++i) d[i] = ~s[i] | 0xFF000000u;
            return;
        default:
            for (int i = 0; i < n; ++i) d[i] = rop3_apply(rop, pat, s[i], d[i]);
    }
}

// Moves rows straight from the source image to the destination image. from is
// the source area of 'to' (the destination area, already clipped); both lie on
// their images. Within one image the rows go in the order that reads every
// source row before it is overwritten, and each row goes through a row buffer
// (a plain memmove for SRCCOPY), so overlapping areas copy as if at once.
void move_rows(Target& t, const QImage& src, const QPoint& from, const QRect& to, DWORD rop) {
    QRgb pat = 0xFF000000u;
    if (rop != SRCCOPY) brush_colour(t.dc->st.brush, &pat);
    const bool same = &src == t.image;
    const bool upward = same && to.top() > from.y();
    const int n = to.width();
    std::vector<QRgb> buffer;
    if (same && rop != SRCCOPY) buffer.resize(static_cast<size_t>(n));
    for (int i = 0; i < to.height(); ++i) {
        int row = upward ? to.height() - 1 - i : i;
        QRgb* d = t.row(to.top() + row) + to.left();
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(from.y() + row)) + from.x();
        if (rop == SRCCOPY) {
            std::memmove(d, s, static_cast<size_t>(n) * sizeof(QRgb));
            for (int x = 0; x < n; ++x) d[x] |= 0xFF000000u;
            continue;
        }
        if (same) {
            std::copy(s, s + n, buffer.begin());
            s = buffer.data();
        }
        mix_row(rop, pat, s, d, n);
    }
    t.mark(to);
}

// A source context whose image can be read while the destination is open:
// a memory context, or a context of the destination's own window (whose lock
// is recursive). Other window contexts go through a copy so that two windows'
// locks are never held at once.
bool direct_source(DC* dst, DC* src) {
    if (src->kind == DCKind::Memory) return true;
    bool windowed = src->kind == DCKind::Window || src->kind == DCKind::Paint;
    bool dstWindowed = dst->kind == DCKind::Window || dst->kind == DCKind::Paint;
    return windowed && dstWindowed && src->hwnd == dst->hwnd;
}

// BitBlt without an intermediate copy of the source; FALSE when the contexts
// are dead.
bool blit_direct(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    Target t;
    if (!open_target(dst, &t)) return false;
    Target s;
    if (!open_target(src, &s)) return false;
    QRect to = QRect(x, y, w, h) & t.clip;
    to &= s.image->rect().translated(x - sx, y - sy);
    if (to.isEmpty()) return true;
    move_rows(t, *s.image, to.topLeft() - QPoint(x - sx, y - sy), to, rop);
    return true;
}

struct EdgeColours {
    int topLeft, bottomRight;
};

void edge_ring(Target& t, const QRect& r, UINT flags, const EdgeColours& c) {
    if (r.isEmpty()) return;
    QRgb tl = to_qrgb(GetSysColor(c.topLeft)), br = to_qrgb(GetSysColor(c.bottomRight));
    if (flags & BF_LEFT) fill_rop2(t, QRect(r.left(), r.top(), 1, r.height()), tl, R2_COPYPEN);
    if (flags & BF_TOP) fill_rop2(t, QRect(r.left(), r.top(), r.width(), 1), tl, R2_COPYPEN);
    if (flags & BF_RIGHT) fill_rop2(t, QRect(r.right(), r.top(), 1, r.height()), br, R2_COPYPEN);
    if (flags & BF_BOTTOM) fill_rop2(t, QRect(r.left(), r.bottom(), r.width(), 1), br, R2_COPYPEN);
}

}  // namespace

}  // namespace gdi

using namespace gdi;

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    if (!uses_source(rop)) return PatBlt(dst, x, y, w, h, rop);
    if (w <= 0 || h <= 0) return dc_of(dst) && dc_of(src) ? TRUE : FALSE;
    DC* d = dc_of(dst);
    DC* s = dc_of(src);
    if (!d || !s) return FALSE;
    if (direct_source(d, s)) return blit_direct(dst, x, y, w, h, src, sx, sy, rop) ? TRUE : FALSE;
    QImage copy;
    QRect valid;
    if (!grab(src, QRect(sx, sy, w, h), &copy, &valid)) return FALSE;
    Target t;
    if (!open_target(dst, &t)) return FALSE;
    put(t, QPoint(x, y), copy, valid, rop);
    return TRUE;
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop) {
    if (!uses_source(rop)) return PatBlt(dst, x, y, w, h, rop);
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return dc_of(dst) && dc_of(src) ? TRUE : FALSE;
    QRect from = QRect(QPoint(std::min(sx, sx + sw), std::min(sy, sy + sh)),
                       QSize(std::abs(sw), std::abs(sh)));
    QImage copy;
    QRect valid;
    if (!grab(src, from, &copy, &valid)) return FALSE;
    QImage scaled =
        copy.scaled(std::abs(w), std::abs(h), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
    if (flipX || flipY) scaled = scaled.mirrored(flipX, flipY);
    Target t;
    if (!open_target(dst, &t)) return FALSE;
    QPoint at(std::min(x, x + w), std::min(y, y + h));
    put(t, at, scaled, scaled.rect(), rop);
    return TRUE;
}

BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags) {
    if (!rc) return FALSE;
    Target t;
    if (!open_target(hdc, &t)) return FALSE;
    QRect r = to_qrect(rc->left, rc->top, rc->right, rc->bottom);
    static const EdgeColours kRaisedOuter{COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    static const EdgeColours kRaisedInner{COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    static const EdgeColours kSunkenOuter{COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    static const EdgeColours kSunkenInner{COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    int inset = 0;
    if (edge & BDR_RAISEDOUTER)
        edge_ring(t, r, flags, kRaisedOuter);
    else if (edge & BDR_SUNKENOUTER)
        edge_ring(t, r, flags, kSunkenOuter);
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) inset = 1;
    QRect in = r.adjusted(inset, inset, -inset, -inset);
    if (edge & BDR_RAISEDINNER)
        edge_ring(t, in, flags, kRaisedInner);
    else if (edge & BDR_SUNKENINNER)
        edge_ring(t, in, flags, kSunkenInner);
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) inset += 1;
    QRect middle = r.adjusted((flags & BF_LEFT) ? inset : 0, (flags & BF_TOP) ? inset : 0,
                              (flags & BF_RIGHT) ? -inset : 0, (flags & BF_BOTTOM) ? -inset : 0);
    constexpr UINT kMiddle = 0x0800, kAdjust = 0x2000;
    if (flags & kMiddle) fill_rop2(t, middle, to_qrgb(GetSysColor(COLOR_BTNFACE)), R2_COPYPEN);
    if (flags & kAdjust) {
        rc->left = middle.left();
        rc->top = middle.top();
        rc->right = middle.left() + middle.width();
        rc->bottom = middle.top() + middle.height();
    }
    return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
    QImage img;
    int hx = 0, hy = 0;
    if (!res::cursor_image(icon, &img, &hx, &hy)) return FALSE;
    img = img.convertToFormat(QImage::Format_ARGB32);
    Target t;
    if (!open_target(hdc, &t)) return FALSE;
    QRect r = QRect(x, y, img.width(), img.height()) & t.clip;
    for (int py = r.top(); py <= r.bottom(); ++py) {
        QRgb* d = t.row(py);
        const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(py - y));
        for (int px = r.left(); px <= r.right(); ++px) {
            QRgb c = s[px - x];
            unsigned a = qAlpha(c);
            if (a == 0) continue;
            QRgb o = d[px];
            auto mix = [a](unsigned f, unsigned b) { return (f * a + b * (255 - a) + 127) / 255; };
            d[px] = qRgb(mix(qRed(c), qRed(o)), mix(qGreen(c), qGreen(o)), mix(qBlue(c), qBlue(o)));
        }
    }
    t.mark(r);
    return TRUE;
}
