// Image lists cut from bitmap strips with a mask colour: which pixels are
// transparent when an image is drawn onto a memory bitmap or a window, and
// what bad lists, indexes and resources give.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <vector>

#include "gdi_canvas.h"
#include "test_support.h"

namespace {

using gdi_test::Canvas;

constexpr int kCell = 4;  // pixels of one image, both ways
constexpr DWORD kMagenta = 0xFF00FF, kYellow = 0xFFFF00, kCyan = 0x00FFFF, kNavy = 0x000080;

// Three 4 x 4 images side by side: image i is filled with its colour except a
// magenta top-left quarter (2 x 2). Pixels are 0x00RRGGBB as registered.
std::vector<DWORD> strip_pixels() {
    const DWORD fill[3] = {kYellow, kCyan, kNavy};
    std::vector<DWORD> px(3 * kCell * kCell);
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < 3 * kCell; ++x)
            px[size_t(y) * 3 * kCell + x] = (x % kCell < 2 && y < 2) ? kMagenta : fill[x / kCell];
    return px;
}

COLORREF colorref(DWORD rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

class ImageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<DWORD> px = strip_pixels();
        PlatformAddBitmap(GetModuleHandle(nullptr), "IMAGELISTSTRIP", 3 * kCell, kCell, px.data());
    }
};

struct MaskCase {
    const char* name;
    COLORREF mask;
    bool corner_transparent;
};

class MaskedStrip : public ImageListTest, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(MaskedStrip, DrawsTheMaskColourTransparentOnlyWhenAsked) {
    const MaskCase& c = GetParam();
    HIMAGELIST list = ImageList_LoadImage(GetModuleHandle(nullptr), "IMAGELISTSTRIP", kCell, 4,
                                          c.mask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, kCell);
    EXPECT_EQ(cy, kCell);

    const COLORREF fills[3] = {colorref(kYellow), colorref(kCyan), colorref(kNavy)};
    for (int i = 0; i < 3; ++i) {
        Canvas canvas(10, 10, gdi_test::kGreen);
        ASSERT_TRUE(ImageList_Draw(list, i, canvas.dc, 3, 5, ILD_NORMAL));
        COLORREF corner = c.corner_transparent ? gdi_test::kGreen : colorref(kMagenta);
        EXPECT_EQ(canvas.at(3, 5), corner) << "image " << i;
        EXPECT_EQ(canvas.at(4, 6), corner) << "image " << i;
        EXPECT_EQ(canvas.at(5, 5), fills[i]) << "image " << i;
        EXPECT_EQ(canvas.at(6, 8), fills[i]) << "image " << i;
        EXPECT_EQ(canvas.at(2, 5), gdi_test::kGreen) << "nothing left of the image";
        EXPECT_EQ(canvas.at(7, 8), gdi_test::kGreen) << "nothing right of the image";
    }
    EXPECT_TRUE(ImageList_Destroy(list));
}

INSTANTIATE_TEST_SUITE_P(Masks, MaskedStrip,
                         ::testing::Values(MaskCase{"given", RGB(255, 0, 255), true},
                                           MaskCase{"top_left_pixel", CLR_DEFAULT, true},
                                           MaskCase{"none", CLR_NONE, false},
                                           MaskCase{"colour_not_in_strip", RGB(1, 2, 3), false}),
                         [](const ::testing::TestParamInfo<MaskCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(ImageListTest, MaskedPixelsLeaveAWindowsBackingImageAsItWas) {
    HWND window = testing_support::make_parent_window("ImageListWindow", DefWindowProc, 200, 120);
    ASSERT_NE(window, nullptr);
    HIMAGELIST list = ImageList_LoadBitmap(GetModuleHandle(nullptr), "IMAGELISTSTRIP", kCell, 1,
                                           RGB(255, 0, 255));
    ASSERT_NE(list, nullptr);
    HDC dc = GetDC(window);
    RECT all{0, 0, 40, 40};
    HBRUSH red = CreateSolidBrush(gdi_test::kRed);
    FillRect(dc, &all, red);
    DeleteObject(red);
    EXPECT_TRUE(ImageList_Draw(list, 2, dc, 10, 20, ILD_TRANSPARENT));
    ReleaseDC(window, dc);
    EXPECT_EQ(PlatformWindowPixel(window, 11, 21), gdi_test::kRed);
    EXPECT_EQ(PlatformWindowPixel(window, 13, 20), colorref(kNavy));
    EXPECT_EQ(PlatformWindowPixel(window, 10, 23), colorref(kNavy));
    EXPECT_EQ(PlatformWindowPixel(window, 14, 20), gdi_test::kRed);
    ImageList_Destroy(list);
    DestroyWindow(window);
}

TEST_F(ImageListTest, AddMaskedAndMaskBitmapsMarkTransparentPixels) {
    std::vector<DWORD> px = strip_pixels();
    HBITMAP strip = PlatformCreateBitmap(3 * kCell, kCell, px.data());
    // A mask bitmap white only at the image's bottom-right pixel.
    std::vector<DWORD> mask_px(size_t(kCell) * kCell, 0x000000);
    mask_px.back() = 0xFFFFFF;
    HBITMAP mask = PlatformCreateBitmap(kCell, kCell, mask_px.data());

    HIMAGELIST list = ImageList_Create(kCell, kCell, ILC_MASK | ILC_COLOR24, 2, 2);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
    EXPECT_EQ(ImageList_Add(list, strip, mask), 3);
    EXPECT_EQ(ImageList_GetImageCount(list), 6);

    Canvas canvas(8, 8, gdi_test::kWhite);
    ImageList_Draw(list, 0, canvas.dc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(canvas.at(0, 0), gdi_test::kWhite) << "AddMasked: the mask colour is clear";
    ImageList_Draw(list, 3, canvas.dc, 4, 4, ILD_NORMAL);
    EXPECT_EQ(canvas.at(4, 4), colorref(kMagenta)) << "Add: only the mask's white is clear";
    EXPECT_EQ(canvas.at(7, 7), gdi_test::kWhite);
    EXPECT_EQ(canvas.at(6, 7), colorref(kYellow));

    // The mask itself: black where the image shows, white where it is clear.
    Canvas masks(4, 4, gdi_test::kRed);
    ImageList_Draw(list, 1, masks.dc, 0, 0, ILD_MASK);
    EXPECT_EQ(masks.at(0, 0), gdi_test::kWhite);
    EXPECT_EQ(masks.at(3, 3), gdi_test::kBlack);

    // An image list without ILC_MASK keeps every pixel.
    HIMAGELIST plain = ImageList_Create(kCell, kCell, ILC_COLOR24, 1, 1);
    EXPECT_EQ(ImageList_AddMasked(plain, strip, RGB(255, 0, 255)), 0);
    ImageList_Draw(plain, 0, canvas.dc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(canvas.at(0, 0), colorref(kMagenta));

    DeleteObject(strip);
    DeleteObject(mask);
    ImageList_Destroy(list);
    ImageList_Destroy(plain);
}

TEST_F(ImageListTest, BadListsIndexesAndResourcesAreRefused) {
    HINSTANCE inst = GetModuleHandle(nullptr);
    EXPECT_EQ(ImageList_LoadImage(inst, "NOSUCHSTRIP", kCell, 1, CLR_NONE, IMAGE_BITMAP, 0),
              nullptr);
    EXPECT_EQ(ImageList_LoadImage(inst, "IMAGELISTSTRIP", 0, 1, CLR_NONE, IMAGE_BITMAP, 0),
              nullptr);
    EXPECT_EQ(ImageList_LoadImage(inst, "IMAGELISTSTRIP", kCell, 1, CLR_NONE, IMAGE_ICON, 0),
              nullptr);

    HIMAGELIST list = ImageList_LoadBitmap(inst, "IMAGELISTSTRIP", kCell, 1, CLR_NONE);
    ASSERT_NE(list, nullptr);
    Canvas canvas(8, 8, gdi_test::kWhite);
    EXPECT_FALSE(ImageList_Draw(list, 3, canvas.dc, 0, 0, ILD_NORMAL));
    EXPECT_FALSE(ImageList_Draw(list, -1, canvas.dc, 0, 0, ILD_NORMAL));
    EXPECT_FALSE(ImageList_Draw(list, 0, nullptr, 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.at(0, 0), gdi_test::kWhite);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Draw(list, 0, canvas.dc, 0, 0, ILD_NORMAL));
    EXPECT_FALSE(ImageList_GetIconSize(list, nullptr, nullptr));
    EXPECT_EQ(ImageList_AddMasked(list, nullptr, 0), -1);
}

}  // namespace
