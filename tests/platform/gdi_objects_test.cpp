// Drawing objects: selection, deletion (stock objects and objects still
// selected survive it), bitmaps and their sizes, the fixed system colours.
#include <gtest/gtest.h>

#include "gdi_canvas.h"

using namespace gdi_test;

namespace {

TEST(GdiObjects, SelectObjectGivesBackTheObjectItReplaces) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN a = CreatePen(PS_SOLID, 1, kRed);
    HPEN b = CreatePen(PS_SOLID, 1, kBlue);
    HGDIOBJ original = SelectObject(dc, a);
    EXPECT_EQ(original, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, b), a);
    EXPECT_EQ(SelectObject(dc, original), b);
    HBRUSH br = CreateSolidBrush(kGreen);
    EXPECT_EQ(SelectObject(dc, br), GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_TRUE(DeleteObject(br));
    EXPECT_EQ(SelectObject(dc, a), nullptr);  // a dead handle is refused
    EXPECT_FALSE(DeleteObject(a));
    DeleteDC(dc);
}

TEST(GdiObjects, StockObjectsAndSystemBrushesSurviveDeleteObject) {
    HGDIOBJ pen = GetStockObject(BLACK_PEN);
    HGDIOBJ brush = GetStockObject(LTGRAY_BRUSH);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetStockObject(BLACK_PEN), pen);
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnColor, kBlack);

    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
    Canvas c(4, 4, kWhite);
    RECT r{0, 0, 4, 4};
    FillRect(c.dc, &r, face);
    EXPECT_EQ(c.at(2, 2), RGB(192, 192, 192));
    FillRect(c.dc, &r, static_cast<HBRUSH>(brush));
    EXPECT_EQ(c.at(2, 2), RGB(192, 192, 192));
}

TEST(GdiObjects, APenDeletedWhileSelectedKeepsDrawingUntilDeselected) {
    Canvas c(8, 4, kWhite);
    HPEN red = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ old = SelectObject(c.dc, red);
    EXPECT_TRUE(DeleteObject(red));
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 4, 1);
    EXPECT_EQ(c.at(2, 1), kRed);
    EXPECT_EQ(SelectObject(c.dc, old), red);
    LOGPEN lp{};
    EXPECT_EQ(GetObject(red, sizeof lp, &lp), 0);  // gone now
}

TEST(GdiObjects, SystemColoursComeFromOneFixedTable) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_APPWORKSPACE), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), RGB(223, 223, 223));
}

TEST(GdiObjects, BitmapsReportTheirSizeAndKeepTheirPixels) {
    const DWORD px[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
    HBITMAP bm = PlatformCreateBitmap(3, 2, px);
    ASSERT_NE(bm, nullptr);
    BITMAP info{};
    EXPECT_EQ(GetObject(bm, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(GetObject(bm, 0, nullptr), static_cast<int>(sizeof(BITMAP)));

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    EXPECT_EQ(GetPixel(dc, 0, 0), kRed);
    EXPECT_EQ(GetPixel(dc, 2, 0), kBlue);
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(GetPixel(dc, 3, 0), 0xFFFFFFFFu);

    // A bitmap lives in one context at a time.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bm), nullptr);
    SelectObject(dc, old);
    EXPECT_NE(SelectObject(other, bm), nullptr);
    DeleteDC(other);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bm));
}

TEST(GdiObjects, AMemoryContextStartsWithAOnePixelBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(dc, 5, 7);
    HGDIOBJ first = SelectObject(dc, bm);
    BITMAP info{};
    ASSERT_EQ(GetObject(first, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(SelectObject(dc, first), bm);
    DeleteDC(dc);
    DeleteObject(bm);
}

TEST(GdiObjects, ANewCompatibleBitmapIsBlackEverywhere) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(dc, 37, 5);
    HGDIOBJ first = SelectObject(dc, bm);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x) ASSERT_EQ(GetPixel(dc, x, y), kBlack) << x << "," << y;
    Canvas c(37, 5, kWhite);
    BitBlt(c.dc, 0, 0, 37, 5, dc, 0, 0, SRCCOPY);
    EXPECT_EQ(c.where(kBlack).size(), 37u * 5u);
    SelectObject(dc, first);
    DeleteObject(bm);
    DeleteDC(dc);
}

TEST(GdiObjects, ContextStateSettersGiveThePreviousValues) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);
    EXPECT_EQ(SetBkColor(dc, kRed), kWhite);
    EXPECT_EQ(SetTextColor(dc, kBlue), kBlack);
    EXPECT_EQ(SetTextColor(dc, kGreen), kBlue);
    int level = SaveDC(dc);
    SetTextColor(dc, kRed);
    EXPECT_TRUE(RestoreDC(dc, level));
    EXPECT_EQ(SetTextColor(dc, kBlack), kGreen);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
}

}  // namespace
