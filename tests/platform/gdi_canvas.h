// A memory device context over a fresh bitmap, for painting tests.
#pragma once

#include <platform/platform.h>

#include <algorithm>
#include <set>
#include <utility>

namespace gdi_test {

struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    int w, h;
    Canvas(int width, int height, COLORREF fill) : w(width), h(height) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        previous = SelectObject(dc, bitmap);
        HBRUSH b = CreateSolidBrush(fill);
        RECT all{0, 0, w, h};
        FillRect(dc, &all, b);
        DeleteObject(b);
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    // Every pixel of exactly this colour.
    std::set<std::pair<int, int>> where(COLORREF c) const {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (at(x, y) == c) s.insert({x, y});
        return s;
    }
    // Fills with a two-colour checker so that every pixel's inverse differs.
    void checker(COLORREF a, COLORREF b) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) SetPixel(dc, x, y, (x + y) % 2 ? a : b);
    }
};

// The bounding box of every pixel of a colour; empty (right <= left) when none.
inline RECT ink_box(const Canvas& c, COLORREF ink) {
    RECT r{c.w, c.h, 0, 0};
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (c.at(x, y) == ink) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

inline COLORREF inverse(COLORREF c) {
    return ~c & 0x00FFFFFFu;
}

}  // namespace gdi_test
