#include "artwork_threads.h"

#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 20;
constexpr int kHeight = 90;
constexpr int kHalf = 50;

// Pixels are 0x00RRGGBB, rows top to bottom.
struct Canvas {
    std::vector<DWORD> px = std::vector<DWORD>(size_t(kWidth) * kHeight, 0);
    void set(int x, int y, DWORD c) {
        if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) px[size_t(y) * kWidth + x] = c;
    }
    void box(int l, int t, int r, int b, DWORD c) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) set(x, y, c);
    }
};

DWORD rgb_of(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// One half as a button: raised (light top-left edge) when it is the shown
// view, sunken and plain otherwise.
void half(Canvas& c, int top, int height, bool raised) {
    DWORD face = rgb_of(GetSysColor(COLOR_BTNFACE));
    DWORD light = rgb_of(GetSysColor(COLOR_BTNHIGHLIGHT));
    DWORD dark = rgb_of(GetSysColor(COLOR_BTNSHADOW));
    c.box(0, top, kWidth, top + height, raised ? face : 0xB0B0B0);
    DWORD tl = raised ? light : dark, br = raised ? dark : light;
    c.box(1, top + 1, kWidth - 1, top + 2, tl);
    c.box(1, top + 1, 2, top + height - 1, tl);
    c.box(1, top + height - 2, kWidth - 1, top + height - 1, br);
    c.box(kWidth - 2, top + 1, kWidth - 1, top + height - 1, br);
}

// A few cycles of a sine wave standing upright in the upper half.
void wave_symbol(Canvas& c, DWORD colour) {
    for (int y = 6; y < kHalf - 6; ++y) {
        int x = kWidth / 2 + int(std::lround(5 * std::sin((y - 6) * 0.45)));
        c.box(x, y, x + 2, y + 1, colour);
    }
}

// Four list rows, a bullet and a line each, in the lower half.
void list_symbol(Canvas& c, DWORD colour) {
    for (int row = 0; row < 4; ++row) {
        int y = kHalf + 7 + row * 7;
        c.box(4, y, 7, y + 3, 0x008000);
        c.box(9, y + 1, kWidth - 4, y + 2, colour);
    }
}

void picture(HINSTANCE inst, LPCSTR name, bool threadsShown) {
    Canvas c;
    half(c, 0, kHalf, !threadsShown);
    half(c, kHalf, kHeight - kHalf, threadsShown);
    wave_symbol(c, threadsShown ? 0x606060 : 0x0000C0);
    list_symbol(c, threadsShown ? 0x000000 : 0x606060);
    PlatformAddBitmap(inst, name, kWidth, kHeight, c.px.data());
}

// The list items' icon: two threads, wavy lines, side by side.
void thread_icon(HINSTANCE inst) {
    std::vector<DWORD> px(16 * 16, rgb_of(GetSysColor(COLOR_WINDOW)));
    for (int y = 1; y < 15; ++y) {
        int dx = int(std::lround(1.5 * std::sin(y * 0.8)));
        px[size_t(y) * 16 + size_t(5 + dx)] = 0x0000C0;
        px[size_t(y) * 16 + size_t(10 - dx)] = 0x008000;
    }
    PlatformAddBitmap(inst, "THREADS", 16, 16, px.data());
}

}  // namespace

void RegisterThreadArtwork(HINSTANCE inst) {
    picture(inst, "SWITCHPREVIEW", false);
    picture(inst, "SWITCHTHREADS", true);
    thread_icon(inst);
}
