// The kit's drawing shortcuts land on the expected pixels of a memory bitmap.
#include <gtest/gtest.h>
#include <kit/rvg32.h>

namespace {

constexpr int kW = 40, kH = 30;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A memory device context on a white kW x kH bitmap.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, kW, kH);
    HGDIOBJ old = SelectObject(dc, bitmap);
    Canvas() { FilledBox(dc, 0, 0, kW, kH, kWhite); }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
    int count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) n += at(x, y) == c;
        }
        return n;
    }
};

TEST(KitDrawing, FilledBoxCoversLeftTopButNotRightBottom) {
    Canvas c;
    FilledBox(c.dc, 2, 3, 10, 8, kRed);
    EXPECT_EQ(c.at(2, 3), kRed);
    EXPECT_EQ(c.at(9, 7), kRed);
    EXPECT_EQ(c.at(10, 7), kWhite);
    EXPECT_EQ(c.at(9, 8), kWhite);
    EXPECT_EQ(c.at(1, 3), kWhite);
    EXPECT_EQ(c.count(kRed), 8 * 5);
}

TEST(KitDrawing, EmptyBoxOutlinesTheSamePixelsAsFilledBox) {
    Canvas c;
    EmptyBox(c.dc, 2, 3, 10, 8, kBlue);
    EXPECT_EQ(c.at(2, 3), kBlue);
    EXPECT_EQ(c.at(9, 3), kBlue);
    EXPECT_EQ(c.at(2, 7), kBlue);
    EXPECT_EQ(c.at(9, 7), kBlue);
    EXPECT_EQ(c.at(5, 5), kWhite);
    EXPECT_EQ(c.at(10, 3), kWhite);
    EXPECT_EQ(c.count(kBlue), 2 * 8 + 2 * 3);
}

TEST(KitDrawing, LineExDrawsOnePixelWideInItsColourAndLeavesThePenAlone) {
    Canvas c;
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ old = SelectObject(c.dc, pen);
    LineEx(c.dc, 0, 1, 20, 1, kBlue);
    EXPECT_EQ(c.at(0, 1), kBlue);
    EXPECT_EQ(c.at(19, 1), kBlue);
    EXPECT_EQ(c.at(20, 1), kWhite);
    EXPECT_EQ(c.at(5, 0), kWhite);
    EXPECT_EQ(c.at(5, 2), kWhite);
    // Line uses the pen that is selected, which LineEx gave back.
    Line(c.dc, 0, 10, 0, 15);
    EXPECT_EQ(c.at(0, 12), kRed);
    SelectObject(c.dc, old);
    DeleteObject(pen);
}

TEST(KitDrawing, SunkenBoxesUseShadowAboveAndHighlightBelow) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    Canvas c;
    Down3Dbox(c.dc, 5, 5, 25, 20);
    EXPECT_EQ(c.at(10, 5), shadow);
    EXPECT_EQ(c.at(5, 10), shadow);
    EXPECT_EQ(c.at(10, 19), light);
    EXPECT_EQ(c.at(24, 10), light);
    EXPECT_EQ(c.at(12, 12), face);
    EXPECT_EQ(c.at(25, 10), kWhite);

    Canvas frame;
    Down3Drectangle(frame.dc, 5, 5, 25, 20);
    EXPECT_EQ(frame.at(10, 5), shadow);
    EXPECT_EQ(frame.at(24, 10), light);
    EXPECT_EQ(frame.at(12, 12), kWhite) << "the frame leaves the inside alone";

    Canvas flat;
    Flat3Dbox(flat.dc, 5, 5, 25, 20);
    EXPECT_EQ(flat.at(10, 5), shadow);
    EXPECT_EQ(flat.at(10, 19), shadow);
    EXPECT_EQ(flat.at(12, 12), face);
}

TEST(KitDrawing, ShowBitmapCopiesTheBitmapAtItsOwnSize) {
    const DWORD pixels[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00000000, 0x00FFFFFF, 0x00808080};
    HBITMAP bmp = PlatformCreateBitmap(3, 2, pixels);
    ASSERT_NE(bmp, nullptr);
    Canvas c;
    ShowBitmap(c.dc, 7, 4, bmp);
    EXPECT_EQ(c.at(7, 4), RGB(255, 0, 0));
    EXPECT_EQ(c.at(8, 4), RGB(0, 255, 0));
    EXPECT_EQ(c.at(9, 4), RGB(0, 0, 255));
    EXPECT_EQ(c.at(7, 5), RGB(0, 0, 0));
    EXPECT_EQ(c.at(9, 5), RGB(128, 128, 128));
    EXPECT_EQ(c.at(10, 4), kWhite);
    EXPECT_EQ(c.at(7, 6), kWhite);
    DeleteObject(bmp);
}

TEST(KitDrawing, ShowResourceBitmapDrawsTheNamedBitmapOfItsModuleOnly) {
    HINSTANCE inst = GetModuleHandle(nullptr);
    const DWORD pixels[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00102030};
    PlatformAddBitmap(inst, "KITTESTBMP", 2, 2, pixels);
    Canvas c;
    ShowResourceBitmap(c.dc, inst, "KITTESTBMP", 30, 20);
    EXPECT_EQ(c.at(30, 20), RGB(0, 0, 255));
    EXPECT_EQ(c.at(31, 20), RGB(0, 255, 0));
    EXPECT_EQ(c.at(30, 21), RGB(255, 0, 0));
    EXPECT_EQ(c.at(31, 21), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(c.at(32, 20), kWhite);
    EXPECT_EQ(c.at(30, 22), kWhite);
    ShowResourceBitmap(c.dc, reinterpret_cast<HINSTANCE>(uintptr_t{0x7100}), "KITTESTBMP", 0, 0);
    ShowResourceBitmap(c.dc, inst, "NOSUCHBMP", 0, 0);
    EXPECT_EQ(c.count(kWhite), kW * kH - 4) << "an absent bitmap draws nothing";
}

TEST(KitDrawing, TextInTheKitFontsMarksTheCanvas) {
    for (HFONT font : {RVCreateFont(10, 400, 0, "MS Sans Serif"),
                       RVCreateFont(8, 700, 0, "MS Sans Serif"), RVGetStockObject(2)}) {
        ASSERT_NE(font, nullptr);
        Canvas c;
        HGDIOBJ old = SelectObject(c.dc, font);
        SetBkMode(c.dc, TRANSPARENT);
        SetTextColor(c.dc, RGB(0, 0, 0));
        Text(c.dc, 3, 4, "Wave");
        EXPECT_GT(c.count(RGB(0, 0, 0)), 10);
        EXPECT_EQ(c.at(39, 29), kWhite);
        SelectObject(c.dc, old);
        DeleteObject(font);
    }
    // The stock font survives being deleted.
    HFONT stock = RVGetStockObject(2);
    DeleteObject(stock);
    EXPECT_EQ(RVGetStockObject(2), stock);
    Canvas c;
    SelectObject(c.dc, stock);
    SetTextColor(c.dc, RGB(0, 0, 0));
    SetBkMode(c.dc, TRANSPARENT);
    ExtText(c.dc, 0, 0, kW, kH, "Mid", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_GT(c.count(RGB(0, 0, 0)), 5);
    EXPECT_EQ(c.at(0, 0), kWhite) << "centred text keeps off the corner";
}

}  // namespace
