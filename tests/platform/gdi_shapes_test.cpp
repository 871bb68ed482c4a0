// Rectangles, ellipses, fills and block transfers between memory contexts, at
// exact pixels: right and bottom edges are exclusive.
#include <gtest/gtest.h>

#include "gdi_canvas.h"

using namespace gdi_test;

namespace {

TEST(GdiShapes, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    Canvas c(12, 10, kWhite);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(c.dc, red);
    EXPECT_TRUE(Rectangle(c.dc, 2, 2, 8, 6));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            bool inside = x >= 2 && x < 8 && y >= 2 && y < 6;
            bool edge = inside && (x == 2 || x == 7 || y == 2 || y == 5);
            COLORREF want = edge ? kBlack : inside ? kRed : kWhite;
            ASSERT_EQ(c.at(x, y), want) << x << "," << y;
        }
    SelectObject(c.dc, old);
    DeleteObject(red);
}

TEST(GdiShapes, HollowRectangleUnderNotInvertsEachOutlinePixelOnce) {
    Canvas c(10, 10, kWhite);
    SelectObject(c.dc, GetStockObject(NULL_BRUSH));
    SetROP2(c.dc, R2_NOT);
    Rectangle(c.dc, 1, 1, 6, 5);
    EXPECT_EQ(c.where(kBlack).size(), 14u);  // 2 * 5 + 2 * 2, corners once
    EXPECT_EQ(c.at(1, 1), kBlack);
    EXPECT_EQ(c.at(5, 4), kBlack);
    EXPECT_EQ(c.at(3, 2), kWhite);
    Rectangle(c.dc, 1, 1, 6, 5);
    EXPECT_TRUE(c.where(kBlack).empty());
}

TEST(GdiShapes, RectangleWithoutPenFillsOneLessColumnAndRow) {
    Canvas c(10, 10, kWhite);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(c.dc, 2, 2, 6, 5);
    RECT box = ink_box(c, kBlack);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 5);
    EXPECT_EQ(box.bottom, 4);
}

TEST(GdiShapes, FillRectAndFrameRectStopBeforeRightAndBottom) {
    Canvas c(10, 10, kWhite);
    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT r{1, 2, 5, 7};
    EXPECT_EQ(FillRect(c.dc, &r, blue), 1);
    RECT box = ink_box(c, kBlue);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 5);
    EXPECT_EQ(box.bottom, 7);
    EXPECT_EQ(c.where(kBlue).size(), 20u);

    // FillRect ignores the raster operation; a class-style COLOR_x + 1 value works.
    SetROP2(c.dc, R2_NOT);
    RECT face{6, 0, 10, 3};
    FillRect(c.dc, &face, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    EXPECT_EQ(c.at(6, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.at(9, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.at(9, 3), kWhite);

    Canvas f(10, 10, kWhite);
    RECT fr{2, 2, 7, 6};
    FrameRect(f.dc, &fr, blue);
    EXPECT_EQ(f.where(kBlue).size(), 14u);
    EXPECT_EQ(f.at(4, 4), kWhite);
    EXPECT_EQ(f.at(6, 5), kBlue);
    DeleteObject(blue);
}

TEST(GdiShapes, PatBltDstInvertInvertsTheRectangleAndRestoresWhenRepeated) {
    Canvas c(12, 12, kWhite);
    c.checker(RGB(1, 2, 3), RGB(200, 100, 50));
    Canvas before(12, 12, kWhite);
    BitBlt(before.dc, 0, 0, 12, 12, c.dc, 0, 0, SRCCOPY);
    EXPECT_TRUE(PatBlt(c.dc, 3, 4, 5, 2, DSTINVERT));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            bool in = x >= 3 && x < 8 && y >= 4 && y < 6;
            ASSERT_EQ(c.at(x, y), in ? inverse(before.at(x, y)) : before.at(x, y)) << x << "," << y;
        }
    PatBlt(c.dc, 3, 4, 5, 2, DSTINVERT);
    RECT r{3, 4, 8, 6};
    InvertRect(c.dc, &r);
    InvertRect(c.dc, &r);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(c.at(x, y), before.at(x, y));
}

TEST(GdiShapes, PatBltPaintsWithTheBrushOrBlackOrWhite) {
    Canvas c(8, 8, kRed);
    HBRUSH green = CreateSolidBrush(kGreen);
    SelectObject(c.dc, green);
    PatBlt(c.dc, 0, 0, 2, 2, PATCOPY);
    PatBlt(c.dc, 2, 0, 2, 2, BLACKNESS);
    PatBlt(c.dc, 4, 0, 2, 2, WHITENESS);
    PatBlt(c.dc, 6, 0, 2, 2, PATINVERT);
    EXPECT_EQ(c.at(1, 1), kGreen);
    EXPECT_EQ(c.at(3, 1), kBlack);
    EXPECT_EQ(c.at(5, 1), kWhite);
    EXPECT_EQ(c.at(7, 1), kRed ^ kGreen);
    EXPECT_EQ(c.at(1, 2), kRed);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(green);
}

TEST(GdiShapes, EllipseStaysInsideItsBoxAndIsSymmetric) {
    Canvas c(24, 20, kWhite);
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(c.dc, red);
    EXPECT_TRUE(Ellipse(c.dc, 2, 3, 22, 17));
    RECT outline = ink_box(c, kBlack);
    EXPECT_EQ(outline.left, 2);
    EXPECT_EQ(outline.top, 3);
    EXPECT_EQ(outline.right, 22);
    EXPECT_EQ(outline.bottom, 17);
    EXPECT_EQ(c.at(12, 10), kRed);
    EXPECT_EQ(c.at(2, 3), kWhite);  // corners of the box stay outside
    EXPECT_EQ(c.at(21, 16), kWhite);
    for (int y = 3; y < 17; ++y)
        for (int x = 2; x < 22; ++x) {
            ASSERT_EQ(c.at(x, y), c.at(23 - x, y)) << x << "," << y;
            ASSERT_EQ(c.at(x, y), c.at(x, 19 - y)) << x << "," << y;
        }
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

TEST(GdiShapes, BitBltCopiesAndMixesBetweenMemoryContexts) {
    Canvas src(6, 6, kWhite);
    SetPixel(src.dc, 1, 1, kRed);
    SetPixel(src.dc, 4, 2, kBlue);
    Canvas dst(10, 10, kGreen);
    EXPECT_TRUE(BitBlt(dst.dc, 3, 2, 5, 3, src.dc, 1, 0, SRCCOPY));
    EXPECT_EQ(dst.at(3, 3), kRed);   // src (1,1)
    EXPECT_EQ(dst.at(6, 4), kBlue);  // src (4,2)
    EXPECT_EQ(dst.at(4, 2), kWhite);
    EXPECT_EQ(dst.at(8, 3), kGreen);  // right of the block
    EXPECT_EQ(dst.at(3, 5), kGreen);  // below the block
    EXPECT_EQ(dst.where(kWhite).size(), 13u);

    Canvas mix(4, 1, RGB(0x0F, 0xF0, 0x33));
    Canvas pat(4, 1, RGB(0x55, 0x55, 0xAA));
    BitBlt(mix.dc, 0, 0, 1, 1, pat.dc, 0, 0, SRCAND);
    BitBlt(mix.dc, 1, 0, 1, 1, pat.dc, 0, 0, SRCPAINT);
    BitBlt(mix.dc, 2, 0, 1, 1, pat.dc, 0, 0, SRCINVERT);
    BitBlt(mix.dc, 3, 0, 1, 1, pat.dc, 0, 0, NOTSRCCOPY);
    EXPECT_EQ(mix.at(0, 0), RGB(0x05, 0x50, 0x22));
    EXPECT_EQ(mix.at(1, 0), RGB(0x5F, 0xF5, 0xBB));
    EXPECT_EQ(mix.at(2, 0), RGB(0x5A, 0xA5, 0x99));
    EXPECT_EQ(mix.at(3, 0), RGB(0xAA, 0xAA, 0x55));
    BitBlt(mix.dc, 2, 0, 1, 1, pat.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(mix.at(2, 0), RGB(0x0F, 0xF0, 0x33));
}

TEST(GdiShapes, BitBltWithinOneContextAndFromOutsideTheSource) {
    Canvas c(8, 4, kWhite);
    SetPixel(c.dc, 0, 0, kRed);
    SetPixel(c.dc, 1, 0, kBlue);
    BitBlt(c.dc, 1, 0, 3, 1, c.dc, 0, 0, SRCCOPY);  // overlapping move
    EXPECT_EQ(c.at(1, 0), kRed);
    EXPECT_EQ(c.at(2, 0), kBlue);
    Canvas d(4, 4, kGreen);
    BitBlt(d.dc, 0, 0, 4, 4, c.dc, 6, 2, SRCCOPY);  // only 2x2 of the source exists
    EXPECT_EQ(d.at(1, 1), kWhite);
    EXPECT_EQ(d.at(2, 1), kGreen);
    EXPECT_EQ(d.at(1, 2), kGreen);
}

TEST(GdiShapes, StretchBltScalesByWholePixels) {
    Canvas src(2, 2, kWhite);
    SetPixel(src.dc, 0, 0, kRed);
    SetPixel(src.dc, 1, 1, kBlue);
    Canvas dst(6, 6, kGreen);
    EXPECT_TRUE(StretchBlt(dst.dc, 1, 1, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(dst.where(kRed), (std::set<std::pair<int, int>>{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
    EXPECT_EQ(dst.where(kBlue).size(), 4u);
    EXPECT_EQ(dst.at(4, 4), kBlue);
    EXPECT_EQ(dst.at(5, 5), kGreen);
}

TEST(GdiShapes, ClippingLimitsDrawingAndSaveDcRestoresIt) {
    Canvas c(10, 10, kWhite);
    int saved = SaveDC(c.dc);
    EXPECT_GT(saved, 0);
    EXPECT_EQ(IntersectClipRect(c.dc, 2, 2, 6, 6), SIMPLEREGION);
    EXPECT_EQ(IntersectClipRect(c.dc, 4, 0, 10, 10), SIMPLEREGION);  // now 4..6 x 2..6
    HBRUSH red = CreateSolidBrush(kRed);
    RECT all{0, 0, 10, 10};
    FillRect(c.dc, &all, red);
    RECT box = ink_box(c, kRed);
    EXPECT_EQ(box.left, 4);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 6);
    EXPECT_EQ(box.bottom, 6);
    EXPECT_EQ(IntersectClipRect(c.dc, 8, 8, 9, 9), NULLREGION);
    EXPECT_TRUE(RestoreDC(c.dc, saved));
    FillRect(c.dc, &all, red);
    EXPECT_EQ(c.where(kRed).size(), 100u);
    EXPECT_FALSE(RestoreDC(c.dc, -1));  // nothing left to restore
    DeleteObject(red);
}

TEST(GdiShapes, DrawEdgeUsesTheButtonColours) {
    Canvas c(10, 10, kGreen);
    RECT r{0, 0, 10, 10};
    EXPECT_TRUE(DrawEdge(c.dc, &r, EDGE_SUNKEN, BF_RECT));
    EXPECT_EQ(c.at(0, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(c.at(9, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.at(1, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(c.at(8, 5), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(c.at(5, 5), kGreen);
}

}  // namespace
