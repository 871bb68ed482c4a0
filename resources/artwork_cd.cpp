#include "artwork_cd.h"

#include "canvas.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using artwork::Canvas;

// Capital letters of 5 x 7 dots and digits of 3 x 5 dots, one row a string.
struct Glyph {
    char c;
    const char* rows[7];
};
const Glyph kLetters[] = {
    {'A', {".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"}},
    {'C', {".XXX.", "X...X", "X....", "X....", "X....", "X...X", ".XXX."}},
    {'D', {"XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."}},
    {'E', {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"}},
    {'I', {"XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "XXXXX"}},
    {'K', {"X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"}},
    {'L', {"X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"}},
    {'M', {"X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"}},
    {'N', {"X...X", "XX..X", "X.X.X", "X..XX", "X...X", "X...X", "X...X"}},
    {'O', {".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."}},
    {'P', {"XXXX.", "X...X", "X...X", "XXXX.", "X....", "X....", "X...."}},
    {'R', {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"}},
    {'S', {".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."}},
    {'T', {"XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."}},
    {'Y', {"X...X", "X...X", ".X.X.", "..X..", "..X..", "..X..", "..X.."}},
};
const char* const kSmallDigits[10][5] = {
    {"XXX", "X.X", "X.X", "X.X", "XXX"}, {".X.", "XX.", ".X.", ".X.", "XXX"},
    {"XXX", "..X", "XXX", "X..", "XXX"}, {"XXX", "..X", ".XX", "..X", "XXX"},
    {"X.X", "X.X", "XXX", "..X", "..X"}, {"XXX", "X..", "XXX", "..X", "XXX"},
    {"XXX", "X..", "XXX", "X.X", "XXX"}, {"XXX", "..X", ".X.", ".X.", ".X."},
    {"XXX", "X.X", "XXX", "X.X", "XXX"}, {"XXX", "X.X", "XXX", "..X", "XXX"},
};

// A line of capitals (and blanks) 6 pixels a character.
void write(Canvas& c, const char* text, int left, int top, DWORD colour) {
    for (; *text; ++text, left += 6)
        for (const Glyph& g : kLetters)
            if (g.c == *text)
                for (int y = 0; y < 7; ++y)
                    for (int x = 0; x < 5; ++x)
                        if (g.rows[y][x] == 'X') c.set(left + x, top + y, colour);
}

int text_width(const char* text) {
    return int(std::strlen(text)) * 6 - 1;
}

// A number in the small digits, each dot scale x scale pixels, centred on (cx, cy).
void number(Canvas& c, int n, int cx, int cy, int scale, DWORD colour) {
    char digits[8];
    int count = std::snprintf(digits, sizeof digits, "%d", n);
    int width = count * 4 * scale - scale;
    int left = cx - width / 2, top = cy - 5 * scale / 2;
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 3; ++x)
                if (kSmallDigits[digits[i] - '0'][y][x] == 'X')
                    c.box(left + (i * 4 + x) * scale, top + y * scale,
                          left + (i * 4 + x + 1) * scale, top + (y + 1) * scale, colour);
}

constexpr DWORD kPanel = 0x181C20;
constexpr DWORD kDisplay = 0x001A08;
constexpr DWORD kLabel = 0x9AA4B0;
constexpr DWORD kButton = 0x34383E;
constexpr DWORD kButtonLight = 0x6A7078;
constexpr DWORD kButtonDark = 0x0C0E10;

struct ButtonColours {
    DWORD body, light, dark, ink;
};
constexpr ButtonColours kBlue{0x1F4FBF, 0x7FA8FF, 0x0A2060, 0xFFFFFF};
constexpr ButtonColours kYellow{0xE8C020, 0xFFF2A0, 0x806000, 0x000000};

void track_button(HINSTANCE inst, int n, const ButtonColours& k, const char* colour) {
    Canvas c(20, 20, kPanel);
    c.box(1, 1, 19, 19, k.body);
    c.bevel(1, 1, 19, 19, k.light, k.dark);
    number(c, n, 10, 10, 2, k.ink);
    char name[24];
    std::snprintf(name, sizeof name, "CD%d%s", n, colour);
    c.add(inst, name);
}

void more_button(HINSTANCE inst, const ButtonColours& k, const char* name) {
    Canvas c(20, 20, kPanel);
    c.box(1, 1, 19, 19, k.body);
    c.bevel(1, 1, 19, 19, k.light, k.dark);
    for (int i = 0; i < 3; ++i) c.box(4 + i * 5, 9, 6 + i * 5, 11, k.ink);
    c.add(inst, name);
}

// The transport buttons: a raised grey face with a light symbol.
Canvas transport_face() {
    Canvas c(40, 23, kPanel);
    c.box(1, 1, 39, 22, kButton);
    c.bevel(1, 1, 39, 22, kButtonLight, kButtonDark);
    return c;
}

// A solid triangle pointing right (dir 1) or left (-1), its flat side at x.
void triangle(Canvas& c, int x, int cy, int size, int dir, DWORD colour) {
    for (int i = 0; i < size; ++i)
        c.box(x + dir * i, cy - (size - i) + 1, x + dir * i + 1, cy + (size - i), colour);
}

void transport(HINSTANCE inst) {
    const DWORD ink = 0xE0E4E8;
    Canvas back = transport_face();
    back.box(11, 6, 13, 17, ink);
    triangle(back, 21, 11, 6, -1, ink);
    triangle(back, 28, 11, 6, -1, ink);
    back.add(inst, "CDSEEKBACK");
    Canvas stop = transport_face();
    stop.box(15, 7, 25, 16, ink);
    stop.add(inst, "CDSTOP");
    Canvas play = transport_face();
    triangle(play, 16, 11, 7, 1, 0x60FF80);
    play.add(inst, "CDPLAY");
    Canvas next = transport_face();
    triangle(next, 12, 11, 6, 1, ink);
    triangle(next, 19, 11, 6, 1, ink);
    next.box(27, 6, 29, 17, ink);
    next.add(inst, "CDSEEKFORWARD");
}

// Seven-segment digits: segments a (top) b c (right) d (bottom) e f (left) g (middle).
void digits(HINSTANCE inst) {
    static const char* const kSegments[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                              "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
    const DWORD on = 0x40FF70, off = 0x0A3414;
    for (int d = 0; d < 10; ++d) {
        Canvas c(16, 24, kDisplay);
        auto seg = [&](char s, int l, int t, int r, int b) {
            c.box(l, t, r, b, std::strchr(kSegments[d], s) ? on : off);
        };
        seg('a', 4, 2, 12, 4);
        seg('g', 4, 11, 12, 13);
        seg('d', 4, 20, 12, 22);
        seg('f', 2, 4, 4, 11);
        seg('b', 12, 4, 14, 11);
        seg('e', 2, 13, 4, 20);
        seg('c', 12, 13, 14, 20);
        char name[8];
        std::snprintf(name, sizeof name, "DIG%d", d);
        c.add(inst, name);
    }
    Canvas colon(6, 24, kDisplay);
    colon.box(2, 7, 4, 9, on);
    colon.box(2, 15, 4, 17, on);
    colon.add(inst, "DIGD");
}

void background(HINSTANCE inst) {
    Canvas c(321, 126, kPanel);
    // Caption strip, the part the bar is dragged by, and the reinitialise knob.
    for (int x = 0; x < 321; ++x) {
        DWORD blue = 0x40 + DWORD(x * 0x50 / 321);
        c.box(x, 0, x + 1, 16, (blue / 4) << 16 | (blue / 2) << 8 | blue);
    }
    write(c, "CD PLAYER", 6, 5, 0xE8ECF0);
    c.box(292, 1, 320, 15, kButton);
    c.bevel(292, 1, 320, 15, kButtonLight, kButtonDark);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            int dx = x - 4, dy = y - 4, r2 = dx * dx + dy * dy;
            if (r2 >= 9 && r2 <= 17 && !(dx > 0 && dy < 0)) c.set(302 + x, 3 + y, 0xE0E4E8);
        }
    c.box(306, 3, 310, 4, 0xE0E4E8);
    c.box(309, 3, 310, 7, 0xE0E4E8);
    c.bevel(0, 16, 321, 126, 0x3A4048, 0x06080A);
    // The track field.
    c.box(8, 23, 113, 108, 0x0C0E12);
    c.bevel(8, 23, 113, 108, 0x06080A, 0x3A4048);
    // Record button.
    c.box(135, 25, 181, 41, kButton);
    c.bevel(135, 25, 181, 41, kButtonLight, kButtonDark);
    for (int y = -4; y <= 4; ++y)
        for (int x = -4; x <= 4; ++x)
            if (x * x + y * y <= 17) c.set(144 + x, 33 + y, 0xE02020);
    write(c, "REC", 152, 30, 0xE8ECF0);
    // The time and track displays, with the labels that open their menus.
    c.box(187, 27, 271, 58, kDisplay);
    c.bevel(186, 26, 272, 59, 0x06080A, 0x3A4048);
    c.box(273, 27, 309, 58, kDisplay);
    c.bevel(272, 26, 310, 59, 0x06080A, 0x3A4048);
    write(c, "TIME", 229 - text_width("TIME") / 2, 66, kLabel);
    write(c, "TRACK", 291 - text_width("TRACK") / 2, 66, kLabel);
    c.box(192, 76, 268, 77, 0x3A4048);
    c.box(274, 76, 308, 77, 0x3A4048);
    // Options button.
    c.box(20, 108, 101, 123, kButton);
    c.bevel(20, 108, 101, 123, kButtonLight, kButtonDark);
    write(c, "OPTIONS", 60 - text_width("OPTIONS") / 2, 112, 0xE8ECF0);
    // The position groove the marker runs along.
    c.box(150, 115, 306, 118, 0x050607);
    c.bevel(149, 114, 307, 119, 0x06080A, 0x3A4048);
    for (int x : {150, 228, 305}) c.box(x, 110, x + 1, 113, kLabel);
    c.add(inst, "CDBACK");
}

void marker(HINSTANCE inst) {
    Canvas c(6, 12, 0xF0C020);
    c.bevel(0, 0, 6, 12, 0xFFF4B0, 0x705000);
    c.add(inst, "CDPOS");
}

}  // namespace

void RegisterCdArtwork(HINSTANCE inst) {
    background(inst);
    for (int n = 1; n <= 18; ++n) {
        track_button(inst, n, kBlue, "BLUE");
        track_button(inst, n, kYellow, "YELLOW");
    }
    more_button(inst, kBlue, "CDMOREBLUE");
    more_button(inst, kYellow, "CDMOREYELLOW");
    transport(inst);
    digits(inst);
    marker(inst);
}
