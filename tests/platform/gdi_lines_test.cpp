// Lines drawn with the selected pen: exact pixels, the left-out end point,
// styled and wide pens, and the raster operations that invert and XOR.
#include <gtest/gtest.h>

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

}  // namespace
