// The drawing surface of the program's artwork: a picture of 0x00RRGGBB
// pixels (0xAARRGGBB for cursors), rows top to bottom, drawn in code and
// registered as a bitmap.
#pragma once

#include <platform/platform.h>
#include <platform/resource.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace artwork {

struct Canvas {
    int w, h;
    std::vector<DWORD> px;
    Canvas(int width, int height, DWORD fill)
        : w(width), h(height), px(size_t(width) * height, fill) {}
    void set(int x, int y, DWORD c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + x] = c;
    }
    void box(int l, int t, int r, int b, DWORD c) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) set(x, y, c);
    }
    void frame(int l, int t, int r, int b, DWORD c) {
        box(l, t, r, t + 1, c);
        box(l, b - 1, r, b, c);
        box(l, t, l + 1, b, c);
        box(r - 1, t, r, b, c);
    }
    void line(int x0, int y0, int x1, int y1, DWORD c) {
        int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
        for (;;) {
            set(x0, y0, c);
            if (x0 == x1 && y0 == y1) return;
            int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }
    void disc(double cx, double cy, double r, DWORD c) {
        for (int y = int(cy - r - 1); y <= int(cy + r + 1); ++y)
            for (int x = int(cx - r - 1); x <= int(cx + r + 1); ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) set(x, y, c);
    }
    void ring(double cx, double cy, double r, DWORD c) {
        for (int y = int(cy - r - 1); y <= int(cy + r + 1); ++y)
            for (int x = int(cx - r - 1); x <= int(cx + r + 1); ++x) {
                double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
                if (std::fabs(d - r) < 0.6) set(x, y, c);
            }
    }
    // A raised (or sunken) edge one pixel wide around [l, r) x [t, b).
    void bevel(int l, int t, int r, int b, DWORD light, DWORD dark) {
        box(l, t, r, t + 1, light);
        box(l, t, l + 1, b, light);
        box(l, b - 1, r, b, dark);
        box(r - 1, t, r, b, dark);
    }
    // Registers the picture as the bitmap `name` of inst.
    void add(HINSTANCE inst, const char* name) const {
        PlatformAddBitmap(inst, name, w, h, px.data());
    }
    // Copies another canvas with its top-left corner at (x, y).
    void paste(const Canvas& o, int x, int y) {
        for (int j = 0; j < o.h; ++j)
            for (int i = 0; i < o.w; ++i) set(x + i, y + j, o.px[size_t(j) * o.w + i]);
    }
};

}  // namespace artwork
