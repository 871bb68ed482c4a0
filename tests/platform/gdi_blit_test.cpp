// Block transfers: moves within one image in every direction, cutting by the
// destination's edges and clip rectangle and by the source's edges, mixing
// operations inside one image, and copies between contexts of one window.
#include <gtest/gtest.h>

#include <vector>

#include "gdi_canvas.h"

using namespace gdi_test;

namespace {

// A distinct colour for every pixel position.
COLORREF tag(int x, int y) {
    return RGB(x * 7 + 1, y * 11 + 2, (x + y) * 3 + 5);
}

void paint_tags(Canvas& c) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) SetPixel(c.dc, x, y, tag(x, y));
}

// After moving the w x h block at (sx, sy) to (dx, dy) inside a tagged
// canvas: the block carries the source's original pixels and the rest is
// untouched.
void expect_moved(const Canvas& c, int dx, int dy, int w, int h, int sx, int sy) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
            COLORREF want = inside ? tag(x - dx + sx, y - dy + sy) : tag(x, y);
            ASSERT_EQ(c.at(x, y), want) << "at " << x << "," << y;
        }
}

TEST(GdiBlit, OverlappingMovesWithinOneImageCopyAsIfAtOnce) {
    struct Move {
        int dx, dy, sx, sy;
    };
    const Move moves[] = {
        {2, 3, 1, 1},  // down and right
        {1, 1, 2, 3},  // up and left
        {3, 1, 1, 2},  // up and right
        {1, 2, 3, 1},  // down and left
        {1, 3, 1, 2},  // straight down by one row
        {1, 1, 1, 2},  // straight up by one row
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(testing::Message() << "to " << m.dx << "," << m.dy);
        Canvas c(10, 9, kWhite);
        paint_tags(c);
        EXPECT_TRUE(BitBlt(c.dc, m.dx, m.dy, 6, 5, c.dc, m.sx, m.sy, SRCCOPY));
        expect_moved(c, m.dx, m.dy, 6, 5, m.sx, m.sy);
    }
}

TEST(GdiBlit, MixingWithinOneImageReadsTheSourceBeforeItChanges) {
    Canvas c(6, 6, kWhite);
    paint_tags(c);
    std::vector<COLORREF> before;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) before.push_back(c.at(x, y));
    EXPECT_TRUE(BitBlt(c.dc, 1, 1, 4, 4, c.dc, 0, 0, SRCINVERT));
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x)
            ASSERT_EQ(c.at(x, y), before[y * 6 + x] ^ before[(y - 1) * 6 + (x - 1)])
                << "at " << x << "," << y;
    EXPECT_EQ(c.at(0, 0), before[0]);
    EXPECT_EQ(c.at(5, 5), before[35]);
}

TEST(GdiBlit, TheDestinationsEdgesAndClipCutTheBlock) {
    Canvas src(8, 8, kWhite);
    paint_tags(src);
    Canvas dst(6, 6, kGreen);
    // Starts left of and above the destination: only its lower right part lands.
    EXPECT_TRUE(BitBlt(dst.dc, -2, -3, 5, 5, src.dc, 1, 1, SRCCOPY));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            COLORREF want = x < 3 && y < 2 ? tag(x + 3, y + 4) : kGreen;
            ASSERT_EQ(dst.at(x, y), want) << "at " << x << "," << y;
        }

    Canvas far(6, 6, kGreen);
    EXPECT_TRUE(BitBlt(far.dc, 4, 5, 8, 8, src.dc, 0, 0, SRCCOPY));  // past right and bottom
    EXPECT_EQ(far.where(kGreen).size(), 34u);
    EXPECT_EQ(far.at(5, 5), tag(1, 0));

    Canvas clipped(6, 6, kGreen);
    int saved = SaveDC(clipped.dc);
    IntersectClipRect(clipped.dc, 2, 1, 4, 3);
    EXPECT_TRUE(BitBlt(clipped.dc, 0, 0, 6, 6, src.dc, 0, 0, SRCCOPY));
    RestoreDC(clipped.dc, saved);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            bool in = x >= 2 && x < 4 && y >= 1 && y < 3;
            ASSERT_EQ(clipped.at(x, y), in ? tag(x, y) : kGreen) << "at " << x << "," << y;
        }
}

TEST(GdiBlit, OnlyTheSourcesExistingPixelsAreCopied) {
    Canvas src(4, 4, kWhite);
    paint_tags(src);
    Canvas dst(6, 6, kGreen);
    // The source area starts above and left of the source image.
    EXPECT_TRUE(BitBlt(dst.dc, 1, 1, 4, 4, src.dc, -2, -1, SRCCOPY));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            bool in = x >= 3 && x < 5 && y >= 2 && y < 5;
            ASSERT_EQ(dst.at(x, y), in ? tag(x - 3, y - 2) : kGreen) << "at " << x << "," << y;
        }
    Canvas none(3, 3, kGreen);
    EXPECT_TRUE(BitBlt(none.dc, 0, 0, 3, 3, src.dc, 10, 10, SRCCOPY));
    EXPECT_EQ(none.where(kGreen).size(), 9u);
}

TEST(GdiBlit, DeadContextsAreRefused) {
    Canvas c(4, 4, kWhite);
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_FALSE(BitBlt(c.dc, 0, 0, 2, 2, gone, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(gone, 0, 0, 2, 2, c.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(c.where(kWhite).size(), 16u);
}

}  // namespace
