// Lines drawn with the selected pen: exact pixels, the left-out end point,
// styled and wide pens, and the raster operations that invert and XOR.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <vector>

#include "gdi_canvas.h"

using namespace gdi_test;

namespace {

using Pixels = std::set<std::pair<int, int>>;

TEST(GdiLines, OnePixelLineLeavesOutItsEndPoint) {
    Canvas c(12, 12, kWhite);
    MoveToEx(c.dc, 1, 2, nullptr);
    EXPECT_TRUE(LineTo(c.dc, 6, 2));
    EXPECT_EQ(c.where(kBlack), (Pixels{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}));

    Canvas d(12, 12, kWhite);
    MoveToEx(d.dc, 0, 0, nullptr);
    LineTo(d.dc, 4, 4);
    EXPECT_EQ(d.where(kBlack), (Pixels{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));

    Canvas u(12, 12, kWhite);
    MoveToEx(u.dc, 3, 9, nullptr);
    LineTo(u.dc, 3, 5);
    EXPECT_EQ(u.where(kBlack), (Pixels{{3, 9}, {3, 8}, {3, 7}, {3, 6}}));
}

TEST(GdiLines, SteepLineHasOnePixelPerRowAndMovesTheCurrentPosition) {
    Canvas c(10, 10, kWhite);
    MoveToEx(c.dc, 2, 0, nullptr);
    LineTo(c.dc, 4, 8);
    Pixels p = c.where(kBlack);
    ASSERT_EQ(p.size(), 8u);
    std::set<int> rows;
    for (auto [x, y] : p) {
        rows.insert(y);
        EXPECT_GE(x, 2);
        EXPECT_LE(x, 4);
    }
    EXPECT_EQ(rows.size(), 8u);
    EXPECT_TRUE(p.count({2, 0}));

    POINT old;
    MoveToEx(c.dc, 0, 0, &old);
    EXPECT_EQ(old.x, 4);
    EXPECT_EQ(old.y, 8);
}

TEST(GdiLines, PolylineJoinsSegmentsWithoutTouchingAVertexTwice) {
    Canvas c(12, 12, kBlack);
    SetROP2(c.dc, R2_NOT);
    const POINT tri[] = {{1, 1}, {8, 1}, {8, 8}, {1, 1}};
    EXPECT_TRUE(Polyline(c.dc, tri, 4));
    Pixels inverted = c.where(kWhite);
    // 7 across, 7 down, 7 back along the diagonal: each pixel once.
    EXPECT_EQ(inverted.size(), 21u);
    EXPECT_TRUE(inverted.count({1, 1}));
    EXPECT_TRUE(inverted.count({8, 1}));
    EXPECT_TRUE(inverted.count({8, 8}));
    // Polyline neither uses nor moves the current position.
    POINT old;
    MoveToEx(c.dc, 0, 0, &old);
    EXPECT_EQ(old.x, 0);
    EXPECT_EQ(old.y, 0);
}

TEST(GdiLines, NotAndXorDrawingInvertExactlyAndUndoThemselvesWhenRepeated) {
    Canvas c(16, 16, kWhite);
    c.checker(RGB(10, 200, 30), RGB(250, 5, 128));
    Canvas before(16, 16, kWhite);
    BitBlt(before.dc, 0, 0, 16, 16, c.dc, 0, 0, SRCCOPY);

    SetROP2(c.dc, R2_NOT);
    MoveToEx(c.dc, 2, 5, nullptr);
    LineTo(c.dc, 12, 5);
    for (int x = 0; x < 16; ++x) {
        COLORREF want = x >= 2 && x < 12 ? inverse(before.at(x, 5)) : before.at(x, 5);
        EXPECT_EQ(c.at(x, 5), want) << "x=" << x;
    }
    MoveToEx(c.dc, 2, 5, nullptr);
    LineTo(c.dc, 12, 5);

    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(c.dc, red);
    SetROP2(c.dc, R2_XORPEN);
    MoveToEx(c.dc, 7, 0, nullptr);
    LineTo(c.dc, 7, 16);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(c.at(7, y), before.at(7, y) ^ RGB(255, 0, 0));
    MoveToEx(c.dc, 7, 0, nullptr);
    LineTo(c.dc, 7, 16);
    SelectObject(c.dc, old);
    DeleteObject(red);

    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(c.at(x, y), before.at(x, y)) << x << "," << y;
}

TEST(GdiLines, CopyPenIsTheDefaultAndRop2ReportsThePreviousMode) {
    Canvas c(4, 4, kWhite);
    EXPECT_EQ(GetROP2(c.dc), R2_COPYPEN);
    EXPECT_EQ(SetROP2(c.dc, R2_XORPEN), R2_COPYPEN);
    EXPECT_EQ(SetROP2(c.dc, R2_NOT), R2_XORPEN);
    EXPECT_EQ(GetROP2(c.dc), R2_NOT);
}

TEST(GdiLines, DottedPenAlternatesOnAndOffPixels) {
    Canvas c(16, 4, kWhite);
    HPEN dot = CreatePen(PS_DOT, 1, kBlue);
    HGDIOBJ old = SelectObject(c.dc, dot);
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 12, 1);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(c.at(x, 1), x < 12 && x % 2 == 0 ? kBlue : kWhite) << "x=" << x;

    // An opaque background fills the gaps with the background colour.
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, kGreen);
    MoveToEx(c.dc, 0, 2, nullptr);
    LineTo(c.dc, 12, 2);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(c.at(x, 2), x % 2 == 0 ? kBlue : kGreen) << "x=" << x;
    EXPECT_EQ(c.at(12, 2), kWhite);
    SelectObject(c.dc, old);
    DeleteObject(dot);
}

TEST(GdiLines, WidePenCoversItsWidthAcrossTheLine) {
    Canvas c(20, 12, kWhite);
    HPEN wide = CreatePen(PS_SOLID, 3, kRed);
    HGDIOBJ old = SelectObject(c.dc, wide);
    MoveToEx(c.dc, 4, 6, nullptr);
    LineTo(c.dc, 14, 6);
    RECT box = ink_box(c, kRed);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.bottom, 8);
    EXPECT_LE(box.left, 4);
    EXPECT_GE(box.right, 14);
    for (int x = 4; x < 14; ++x)
        for (int y = 5; y < 8; ++y) EXPECT_EQ(c.at(x, y), kRed);

    // Under XOR a wide stroke still changes each pixel once.
    SetROP2(c.dc, R2_XORPEN);
    MoveToEx(c.dc, 4, 6, nullptr);
    LineTo(c.dc, 14, 6);
    EXPECT_TRUE(c.where(kRed).empty());
    SelectObject(c.dc, old);
    DeleteObject(wide);
}

TEST(GdiLines, NullPenDrawsNothingAndPixelsOutsideTheBitmapAreRefused) {
    Canvas c(8, 8, kWhite);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 7, 7);
    EXPECT_TRUE(c.where(kBlack).empty());
    EXPECT_EQ(SetPixel(c.dc, 3, 4, kRed), kRed);
    EXPECT_EQ(c.at(3, 4), kRed);
    EXPECT_EQ(SetPixel(c.dc, 8, 0, kRed), 0xFFFFFFFFu);
    EXPECT_EQ(GetPixel(c.dc, -1, 0), 0xFFFFFFFFu);
    // A line running far outside draws only its visible part.
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    MoveToEx(c.dc, -50, 2, nullptr);
    LineTo(c.dc, 50, 2);
    EXPECT_EQ(c.where(kBlack).size(), 8u);
}

// The pixels of a one-pixel line by the plain error-term walk, end point left
// out, that fall inside [l, r) x [t, b).
Pixels walk(int x0, int y0, int x1, int y1, int l = INT_MIN, int t = INT_MIN, int r = INT_MAX,
            int b = INT_MAX) {
    Pixels p;
    long long dx = std::llabs(1LL * x1 - x0), dy = -std::llabs(1LL * y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long long err = dx + dy;
    for (int x = x0, y = y0; x != x1 || y != y1;) {
        if (x >= l && x < r && y >= t && y < b) p.insert({x, y});
        long long e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
    return p;
}

TEST(GdiLines, EveryDirectionAndSlopeGivesThePixelsOfTheErrorTermWalk) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(0, 47);
    for (int i = 0; i < 300; ++i) {
        int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        Canvas c(48, 48, kWhite);
        MoveToEx(c.dc, x0, y0, nullptr);
        LineTo(c.dc, x1, y1);
        ASSERT_EQ(c.where(kBlack), walk(x0, y0, x1, y1))
            << "(" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
    }
}

TEST(GdiLines, LongLineIsClippedAtBothEndsToExactlyItsVisiblePixels) {
    const POINT ends[][2] = {{{-100000, -49990}, {100000, 50013}},
                             {{31, -70001}, {-5, 90000}},
                             {{200000, 29}, {-300000, 3}},
                             {{-8, 12}, {60, 12}},
                             {{17, 500}, {17, -500}}};
    for (const auto& e : ends) {
        Canvas c(40, 30, kWhite);
        IntersectClipRect(c.dc, 5, 4, 33, 27);
        MoveToEx(c.dc, e[0].x, e[0].y, nullptr);
        LineTo(c.dc, e[1].x, e[1].y);
        Pixels want = walk(e[0].x, e[0].y, e[1].x, e[1].y, 5, 4, 33, 27);
        EXPECT_FALSE(want.empty());
        EXPECT_EQ(c.where(kBlack), want) << e[0].x << "," << e[0].y;
    }
}

TEST(GdiLines, LinesEntirelyOutsideTheClipOrTheBitmapDrawNothing) {
    Canvas c(20, 20, kWhite);
    IntersectClipRect(c.dc, 5, 5, 15, 15);
    const POINT outside[][2] = {{{0, 0}, {19, 4}},   {{-30, 2}, {60, 4}}, {{4, -10}, {4, 40}},
                                {{0, 12}, {12, 40}}, {{16, 0}, {40, 24}}, {{-5, -5}, {-50, -9}},
                                {{0, 9}, {9, 0}}};
    for (const auto& e : outside) {
        MoveToEx(c.dc, e[0].x, e[0].y, nullptr);
        LineTo(c.dc, e[1].x, e[1].y);
    }
    EXPECT_TRUE(c.where(kBlack).empty());
}

TEST(GdiLines, XorOfAHorizontalRunTwiceRestoresTheImage) {
    Canvas c(24, 6, kWhite);
    c.checker(RGB(10, 200, 30), RGB(250, 5, 128));
    Canvas before(24, 6, kWhite);
    BitBlt(before.dc, 0, 0, 24, 6, c.dc, 0, 0, SRCCOPY);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x12, 0x34, 0x56));
    HGDIOBJ old = SelectObject(c.dc, pen);
    SetROP2(c.dc, R2_XORPEN);
    MoveToEx(c.dc, 22, 3, nullptr);
    LineTo(c.dc, -4, 3);
    for (int x = 0; x < 24; ++x)
        EXPECT_EQ(c.at(x, 3), x <= 22 ? before.at(x, 3) ^ RGB(0x12, 0x34, 0x56) : before.at(x, 3));
    MoveToEx(c.dc, 22, 3, nullptr);
    LineTo(c.dc, -4, 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 24; ++x) ASSERT_EQ(c.at(x, y), before.at(x, y)) << x << "," << y;
    SelectObject(c.dc, old);
    DeleteObject(pen);
}

// Every pixel of a canvas, row by row.
std::vector<COLORREF> pixels(const Canvas& c, int l, int t, int r, int b) {
    std::vector<COLORREF> v;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) v.push_back(c.at(x, y));
    return v;
}

void paint_background(Canvas& c, int ox, int oy) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            SetPixel(c.dc, x, y, RGB((x + ox) * 5, (y + oy) * 7, (x + ox + y + oy) * 3));
}

// A path drawn whole on a large canvas and the same path drawn on a small
// canvas that sees only a window of it (by the bitmap's bounds and by a clip
// rectangle) must agree pixel for pixel in that window, whatever the pen's
// style, width and raster operation: clipping never shifts a pixel or the
// phase of a dash pattern.
TEST(GdiLines, ClippedPathsMatchTheUnclippedDrawingInsideTheWindow) {
    std::mt19937 rng(11);
    const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
    const int rops[] = {R2_COPYPEN, R2_XORPEN, R2_NOT};
    constexpr int kBig = 72, kOff = 20, kSmall = 32;
    std::uniform_int_distribution<int> coord(0, kBig - 1), pick(0, 99);
    for (int i = 0; i < 120; ++i) {
        int style = styles[pick(rng) % 5], rop = rops[pick(rng) % 3];
        int width = pick(rng) % 4 == 0 ? 1 + pick(rng) % 4 : 1;
        bool opaque = pick(rng) % 2;
        int n = 2 + pick(rng) % 5;
        std::vector<POINT> big, small;
        for (int k = 0; k < n; ++k) {
            big.push_back(POINT{coord(rng), coord(rng)});
            small.push_back(POINT{big.back().x - kOff, big.back().y - kOff});
        }
        int cl = pick(rng) % 12, ct = pick(rng) % 12;
        int cr = kSmall - pick(rng) % 12, cb = kSmall - pick(rng) % 12;

        Canvas a(kBig, kBig, kWhite), b(kSmall, kSmall, kWhite);
        paint_background(a, 0, 0);
        paint_background(b, kOff, kOff);
        for (Canvas* c : {&a, &b}) {
            HPEN pen = CreatePen(style, width, RGB(200, 30, 90));
            DeleteObject(SelectObject(c->dc, pen));
            SetROP2(c->dc, rop);
            SetBkMode(c->dc, opaque ? OPAQUE : TRANSPARENT);
            SetBkColor(c->dc, RGB(0, 90, 250));
        }
        IntersectClipRect(b.dc, cl, ct, cr, cb);
        Polyline(a.dc, big.data(), n);
        Polyline(b.dc, small.data(), n);
        SelectClipRgn(b.dc, nullptr);
        std::vector<COLORREF> want = pixels(a, kOff + cl, kOff + ct, kOff + cr, kOff + cb);
        ASSERT_EQ(pixels(b, cl, ct, cr, cb), want)
            << "case " << i << " style " << style << " width " << width << " rop " << rop;
        Canvas fresh(kSmall, kSmall, kWhite);
        paint_background(fresh, kOff, kOff);
        for (int y = 0; y < kSmall; ++y)
            for (int x = 0; x < kSmall; ++x)
                if (x < cl || x >= cr || y < ct || y >= cb)
                    ASSERT_EQ(b.at(x, y), fresh.at(x, y)) << "outside the clip " << x << "," << y;
    }
}

}  // namespace
