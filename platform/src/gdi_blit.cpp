// Block transfers between contexts under ternary raster operations, the
// classic three-dimensional edges, and icons.
#include <algorithm>

#include "gdi_private.h"

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
    if (!cursor_image(icon, &img, &hx, &hy)) return FALSE;
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
