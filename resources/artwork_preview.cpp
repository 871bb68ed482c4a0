#include "artwork_preview.h"

#include "canvas.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Pixels are 0x00RRGGBB (bitmaps) or 0xAARRGGBB (cursors).
using artwork::Canvas;

DWORD rgb_of(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Capital letters of 5 x 7 dots, one row a string.
const char* const kL[7] = {"X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"};
const char* const kR[7] = {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"};
const char* const kM[7] = {"X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"};

void letter(Canvas& c, const char* const rows[7], int left, int top, DWORD colour) {
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            if (rows[y][x] == 'X') c.set(left + x, top + y, colour);
}

// A small loudspeaker 7 pixels wide, 8 high.
void speaker(Canvas& c, int left, int top, DWORD colour) {
    c.box(left, top + 2, left + 3, top + 6, colour);
    for (int i = 0; i < 4; ++i)
        c.box(left + 3 + i, top + 2 - i / 2, left + 4 + i, top + 6 + i / 2, colour);
}

// Channel label: the speaker above the channel's letter, on the button face.
void label(HINSTANCE inst, LPCSTR name, const char* const rows[7], DWORD colour) {
    Canvas c(12, 40, rgb_of(GetSysColor(COLOR_BTNFACE)));
    speaker(c, 2, 6, 0x404040);
    letter(c, rows, 3, 20, colour);
    PlatformAddBitmap(inst, name, c.w, c.h, c.px.data());
}

// The 27 x 4 play position marker: a bright strip whose tip, 4 pixels from
// its left edge, marks the played frame.
void markers(HINSTANCE inst) {
    Canvas deep(27, 4, 0x000000);
    for (int x = 0; x < 27; ++x) {
        const int fade = 255 - x * 6;
        deep.box(x, 1, x + 1, 3, DWORD(fade) << 8);
    }
    deep.box(4, 0, 5, 4, 0xFFFFFF);
    PlatformAddBitmap(inst, "POSITION24", deep.w, deep.h, deep.px.data());
    Canvas flat(27, 4, 0x000000);
    flat.box(0, 1, 27, 3, 0x00FF00);
    flat.box(4, 0, 5, 4, 0xFFFFFF);
    PlatformAddBitmap(inst, "POSITION", flat.w, flat.h, flat.px.data());
}

// Nine frames of a small level meter whose bars rise and fall.
void playing_frames(HINSTANCE inst) {
    static const int kPhase[4] = {0, 3, 6, 2};
    for (int f = 1; f <= 9; ++f) {
        Canvas c(16, 14, rgb_of(GetSysColor(COLOR_BTNFACE)));
        for (int b = 0; b < 4; ++b) {
            const int level = 3 + std::abs(((f + kPhase[b]) % 9) - 4) * 2;
            c.box(1 + b * 4, 13 - level, 4 + b * 4, 13, 0x00A000);
            c.box(1 + b * 4, 13 - level, 4 + b * 4, 14 - level, 0x00FF00);
        }
        char name[16];
        std::snprintf(name, sizeof name, "playing%d", f);
        PlatformAddBitmap(inst, name, c.w, c.h, c.px.data());
    }
}

constexpr DWORD kClear = 0x00000000;
constexpr DWORD kInk = 0xFF000000;
constexpr DWORD kPaper = 0xFFFFFFFF;

// A black shape with a white outline, so the cursor shows on any colour.
void outlined(Canvas& c) {
    Canvas copy = c;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            if (copy.px[size_t(y) * c.w + x] != kInk) continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= c.w || ny >= c.h) continue;
                    if (copy.px[size_t(ny) * c.w + nx] == kClear) c.set(nx, ny, kPaper);
                }
        }
}

void arrow(Canvas& c) {
    for (int y = 0; y < 12; ++y) c.box(1, 1 + y, 2 + y / 2, 2 + y, kInk);
    c.box(3, 11, 5, 17, kInk);
}

void cursor(HINSTANCE inst, LPCSTR name, Canvas& c, int hotX, int hotY) {
    outlined(c);
    PlatformAddCursor(inst, name, c.w, c.h, c.px.data(), hotX, hotY);
}

void cursors(HINSTANCE inst) {
    Canvas beam(32, 32, kClear);
    beam.box(15, 4, 16, 28, kInk);
    beam.box(12, 4, 19, 5, kInk);
    beam.box(12, 27, 19, 28, kInk);
    cursor(inst, "PREVIEWCURSOR", beam, 15, 16);

    Canvas move(32, 32, kClear);
    move.box(6, 15, 26, 17, kInk);
    for (int i = 0; i < 5; ++i) {
        move.box(6 + i, 15 - i, 7 + i, 17 + i, kInk);
        move.box(25 - i, 15 - i, 26 - i, 17 + i, kInk);
    }
    cursor(inst, "PREVIEWMOVE", move, 16, 16);

    Canvas from(32, 32, kClear);
    arrow(from);
    from.box(12, 14, 22, 20, kInk);
    cursor(inst, "DRAGFROMCURSOR", from, 1, 1);

    Canvas drag(32, 32, kClear);
    arrow(drag);
    drag.box(12, 18, 24, 19, kInk);
    drag.box(12, 26, 24, 27, kInk);
    drag.box(12, 18, 13, 27, kInk);
    drag.box(23, 18, 24, 27, kInk);
    cursor(inst, "DRAGCURSOR", drag, 1, 1);

    Canvas mix(32, 32, kClear);
    arrow(mix);
    mix.box(12, 18, 24, 19, kInk);
    mix.box(12, 26, 24, 27, kInk);
    mix.box(12, 18, 13, 27, kInk);
    mix.box(23, 18, 24, 27, kInk);
    mix.box(26, 20, 27, 27, kInk);
    mix.box(23, 23, 30, 24, kInk);
    cursor(inst, "DRAGCURSORMIX", mix, 1, 1);

    Canvas no(32, 32, kClear);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int dx = x - 16, dy = y - 16, r2 = dx * dx + dy * dy;
            if (r2 <= 100 && r2 >= 56) no.set(x, y, kInk);
            if (r2 <= 64 && std::abs(dx + dy) <= 1) no.set(x, y, kInk);
        }
    cursor(inst, "NODROPCURSOR", no, 16, 16);
}

}  // namespace

void RegisterPreviewArtwork(HINSTANCE inst) {
    label(inst, "LEFTCHANNEL", kL, 0x0000FF);
    label(inst, "RIGHTCHANNEL", kR, 0xFF0000);
    label(inst, "MONOCHANNEL", kM, 0x0000FF);
    markers(inst);
    playing_frames(inst);
    cursors(inst);
}
