// Text: where DrawText puts a centred single line and a wrapped paragraph,
// the text and background colours, and measuring.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gdi_canvas.h"

using namespace gdi_test;

namespace {

// The two formats the program draws its texts with (37 and 2064).
constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr UINT kWrapped = DT_WORDBREAK | DT_NOPREFIX;
static_assert(kCentred == 37 && kWrapped == 2064);

struct Font {
    HFONT font;
    explicit Font(int height) {
        font = CreateFont(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    }
    ~Font() { DeleteObject(font); }
};

TEST(GdiText, CentredSingleLineSitsInTheMiddleOfItsRectangle) {
    Font f(13);
    Canvas left(200, 60, kWhite), mid(200, 60, kWhite);
    for (Canvas* c : {&left, &mid}) {
        SelectObject(c->dc, f.font);
        SetBkMode(c->dc, TRANSPARENT);
    }
    RECT r1{10, 10, 190, 50}, r2 = r1;
    DrawText(left.dc, "Centred", -1, &r1, DT_SINGLELINE);
    EXPECT_GT(DrawText(mid.dc, "Centred", -1, &r2, kCentred), 0);
    RECT a = ink_box(left, kBlack), b = ink_box(mid, kBlack);
    ASSERT_LT(a.left, a.right);
    ASSERT_LT(b.left, b.right);
    // Same ink, moved by half the spare room each way.
    EXPECT_EQ(a.right - a.left, b.right - b.left);
    EXPECT_EQ(a.bottom - a.top, b.bottom - b.top);
    SIZE ext{};
    ASSERT_TRUE(GetTextExtentPoint32(mid.dc, "Centred", 7, &ext));
    EXPECT_LE(std::abs((b.left - a.left) - (180 - ext.cx) / 2), 1);
    EXPECT_LE(std::abs((b.top - a.top) - (40 - ext.cy) / 2), 1);
    EXPECT_GE(b.left, 10);
    EXPECT_LE(b.right, 190);
    EXPECT_GE(b.top, 10);
    EXPECT_LE(b.bottom, 50);
    // Margins left and right of the ink agree to within a pixel or two.
    EXPECT_LE(std::abs((b.left - 10) - (190 - b.right)), 3);
}

TEST(GdiText, WordBreakWrapsAParagraphInsideItsRectangle) {
    Font f(13);
    Canvas c(200, 200, kWhite);
    SelectObject(c.dc, f.font);
    const char* text = "The quick brown fox jumps over the lazy dog and runs far away";
    SIZE line{};
    GetTextExtentPoint32(c.dc, text, -1, &line);
    ASSERT_GT(line.cx, 150);

    RECT calc{20, 20, 100, 20};
    int h = DrawText(c.dc, text, -1, &calc, kWrapped | DT_CALCRECT);
    EXPECT_GE(h, 3 * line.cy);
    EXPECT_EQ(calc.bottom - calc.top, h);
    EXPECT_LE(calc.right, 100);
    EXPECT_TRUE(c.where(kBlack).empty());  // measuring draws nothing

    RECT r{20, 20, 100, 180};
    DrawText(c.dc, text, -1, &r, kWrapped);
    RECT ink = ink_box(c, kBlack);
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 100);
    EXPECT_GE(ink.top, 20);
    EXPECT_GE(ink.bottom - ink.top, 2 * line.cy);
    EXPECT_LE(ink.bottom, 20 + h);
    // Several separate lines of ink, with blank rows between them.
    int lines = 0;
    bool prev = false;
    for (int y = 20; y < 180; ++y) {
        bool any = false;
        for (int x = 20; x < 100 && !any; ++x) any = c.at(x, y) == kBlack;
        if (any && !prev) ++lines;
        prev = any;
    }
    EXPECT_GE(lines, 3);
}

TEST(GdiText, UnwrappedTextIsClippedToItsRectangle) {
    Font f(13);
    Canvas c(200, 40, kWhite);
    SelectObject(c.dc, f.font);
    RECT r{10, 5, 60, 35};
    DrawText(c.dc, "A line far longer than fifty pixels", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    RECT ink = ink_box(c, kBlack);
    EXPECT_GE(ink.left, 10);
    EXPECT_EQ(ink.right <= 60, true);
    EXPECT_GT(ink.right, 50);
}

TEST(GdiText, TextColourIsExactAndOpaqueModeFillsTheTextBox) {
    Font f(13);
    Canvas c(120, 30, kGreen);
    SelectObject(c.dc, f.font);
    SetTextColor(c.dc, kRed);
    SetBkColor(c.dc, kBlue);
    SetBkMode(c.dc, OPAQUE);
    EXPECT_TRUE(TextOut(c.dc, 5, 4, "Hello", 5));
    SIZE ext{};
    GetTextExtentPoint32(c.dc, "Hello", 5, &ext);
    EXPECT_FALSE(c.where(kRed).empty());
    RECT bk = ink_box(c, kBlue);
    EXPECT_EQ(bk.left, 5);
    EXPECT_EQ(bk.top, 4);
    EXPECT_EQ(bk.bottom, 4 + ext.cy);
    EXPECT_GE(bk.right, 5 + ext.cx - 1);
    // Inside the box every pixel is text or background; outside nothing changed.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            COLORREF p = c.at(x, y);
            bool in = x >= bk.left && x < bk.right && y >= bk.top && y < bk.bottom;
            if (in)
                ASSERT_TRUE(p == kRed || p == kBlue) << x << "," << y;
            else
                ASSERT_EQ(p, kGreen) << x << "," << y;
        }

    Canvas t(120, 30, kGreen);
    SelectObject(t.dc, f.font);
    SetBkMode(t.dc, TRANSPARENT);
    TextOut(t.dc, 5, 4, "Hello", 5);
    EXPECT_TRUE(t.where(kBlue).empty());
    EXPECT_FALSE(t.where(kBlack).empty());
}

TEST(GdiText, LargerFontsMeasureLarger) {
    Font small(10), big(24);
    HDC dc = CreateCompatibleDC(nullptr);
    SIZE a{}, b{};
    SelectObject(dc, small.font);
    GetTextExtentPoint32(dc, "Measure", 7, &a);
    SelectObject(dc, big.font);
    GetTextExtentPoint32(dc, "Measure", 7, &b);
    EXPECT_GT(b.cx, a.cx);
    EXPECT_GT(b.cy, a.cy);
    EXPECT_GE(b.cy, 24);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteDC(dc);
}

}  // namespace
