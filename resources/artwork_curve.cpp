#include "artwork_curve.h"

#include <vector>

namespace {

constexpr int kW = CURVE_PICTURE_WIDTH;
constexpr int kH = CURVE_PICTURE_HEIGHT;

// Pixels are 0x00RRGGBB, rows top to bottom.
struct Canvas {
    std::vector<DWORD> px;
    explicit Canvas(DWORD fill) : px(size_t(kW) * kH, fill) {}
    void set(int x, int y, DWORD c) {
        if (x >= 0 && y >= 0 && x < kW && y < kH) px[size_t(y) * kW + x] = c;
    }
    void box(int l, int t, int r, int b, DWORD c) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) set(x, y, c);
    }
};

DWORD rgb_of(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Capital letters of 5 x 7 dots, one row a string.
const char* const kLetterL[7] = {"X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"};
const char* const kLetterR[7] = {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"};

// A loudspeaker 6 pixels wide and 9 high at (left, top), with two arcs of
// sound to its right.
void speaker(Canvas& c, int left, int top, DWORD body, DWORD sound) {
    c.box(left, top + 3, left + 3, top + 6, body);
    for (int i = 0; i < 3; ++i) c.box(left + 3 + i, top + 2 - i, left + 4 + i, top + 7 + i, body);
    for (int y = top + 3; y < top + 6; ++y) c.set(left + 8, y, sound);
    c.set(left + 7, top + 2, sound);
    c.set(left + 7, top + 6, sound);
    for (int y = top + 2; y < top + 7; ++y) c.set(left + 10, y, sound);
    c.set(left + 9, top + 1, sound);
    c.set(left + 9, top + 7, sound);
}

void picture(HINSTANCE inst, LPCSTR name, const char* const letter[7], DWORD colour) {
    Canvas c(rgb_of(GetSysColor(COLOR_BTNFACE)));
    speaker(c, 2, 2, 0x404040, colour);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            if (letter[y][x] == 'X') c.box(5 + x, 14 + y, 6 + x, 15 + y, colour);
    PlatformAddBitmap(inst, name, kW, kH, c.px.data());
}

}  // namespace

void RegisterCurveArtwork(HINSTANCE inst) {
    picture(inst, "CSRIGHT", kLetterR, 0xC00000);
    picture(inst, "CSLEFT", kLetterL, 0x0000C0);
}
