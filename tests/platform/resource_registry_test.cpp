// The resource registry: strings, bitmaps and data found by module instance,
// module instances themselves, standard and registered cursors and icons.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <cstring>
#include <thread>
#include <vector>

#include "gdi_canvas.h"
#include "test_support.h"

using namespace gdi_test;

namespace {

HINSTANCE other_instance() {
    return reinterpret_cast<HINSTANCE>(uintptr_t{0x7000});
}

TEST(ResourceStrings, RegisteredStringsLoadAndAbsentOnesGiveZero) {
    HINSTANCE inst = GetModuleHandle(nullptr);
    PlatformAddString(inst, 61001, "Change Volume");
    char buf[64];
    EXPECT_EQ(LoadString(inst, 61001, buf, sizeof buf), 13);
    EXPECT_STREQ(buf, "Change Volume");
    EXPECT_EQ(LoadString(nullptr, 61001, buf, sizeof buf), 13);  // null: the program

    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(LoadString(inst, 61002, buf, sizeof buf), 0);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(LoadString(other_instance(), 61001, buf, sizeof buf), 0);

    char small[5];
    EXPECT_EQ(LoadString(inst, 61001, small, sizeof small), 4);
    EXPECT_STREQ(small, "Chan");

    const char* direct = nullptr;
    EXPECT_EQ(LoadString(inst, 61001, reinterpret_cast<LPSTR>(&direct), 0), 13);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(std::strncmp(direct, "Change Volume", 13), 0);
}

TEST(ResourceStrings, InstancesKeepTheirOwnTables) {
    PlatformAddString(other_instance(), 61010, "other");
    PlatformAddString(GetModuleHandle(nullptr), 61010, "program");
    char buf[16];
    LoadString(other_instance(), 61010, buf, sizeof buf);
    EXPECT_STREQ(buf, "other");
    LoadString(GetModuleHandle(nullptr), 61010, buf, sizeof buf);
    EXPECT_STREQ(buf, "program");
}

TEST(ResourceBitmaps, LoadBitmapGivesANewBitmapOfTheRegisteredSize) {
    HINSTANCE inst = GetModuleHandle(nullptr);
    std::vector<DWORD> px(7 * 3, 0x00FF00);
    px[0] = 0xFF0000;
    px[7 * 3 - 1] = 0x0000FF;
    PlatformAddBitmap(inst, "TESTBAR", 7, 3, px.data());
    PlatformAddBitmap(inst, MAKEINTRESOURCE(120), 2, 9, px.data());

    HBITMAP a = LoadBitmap(inst, "TestBar");  // names compare without case
    ASSERT_NE(a, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObject(a, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 7);
    EXPECT_EQ(bm.bmHeight, 3);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, a);
    EXPECT_EQ(GetPixel(dc, 0, 0), kRed);
    EXPECT_EQ(GetPixel(dc, 6, 2), kBlue);
    EXPECT_EQ(GetPixel(dc, 3, 1), kGreen);
    SetPixel(dc, 3, 1, kBlack);  // a change to one copy leaves the registry alone
    SelectObject(dc, old);

    HBITMAP b = LoadBitmap(inst, "TESTBAR");
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    old = SelectObject(dc, b);
    EXPECT_EQ(GetPixel(dc, 3, 1), kGreen);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(a);
    DeleteObject(b);

    HBITMAP n = LoadBitmap(inst, MAKEINTRESOURCE(120));
    ASSERT_NE(n, nullptr);
    ASSERT_EQ(GetObject(n, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_EQ(bm.bmHeight, 9);
    DeleteObject(n);
    HBITMAP alias = LoadBitmap(inst, "#120");
    EXPECT_NE(alias, nullptr);
    DeleteObject(alias);

    EXPECT_EQ(LoadBitmap(inst, "NOSUCHBITMAP"), nullptr);
    EXPECT_EQ(LoadBitmap(other_instance(), "TESTBAR"), nullptr);
}

TEST(ResourceData, FindDataGivesTheRegisteredBytes) {
    static const unsigned char wave[] = {'R', 'I', 'F', 'F', 4, 0, 0, 0};
    HINSTANCE inst = GetModuleHandle(nullptr);
    PlatformAddData(inst, "WAVE", "signal", wave, sizeof wave);
    DWORD size = 0;
    EXPECT_EQ(PlatformFindData(inst, "wave", "SIGNAL", &size), wave);
    EXPECT_EQ(size, sizeof wave);
    EXPECT_EQ(PlatformFindData(inst, "WAVE", "other", &size), nullptr);
    EXPECT_EQ(PlatformFindData(inst, "AVI", "signal", &size), nullptr);
    EXPECT_EQ(PlatformFindData(other_instance(), "WAVE", "signal", &size), nullptr);
}

void program_function() {}

TEST(ResourceModules, EachLoadedObjectHasItsOwnStableInstance) {
    HINSTANCE program = GetModuleHandle(nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(GetModuleHandle(nullptr), program);
    EXPECT_EQ(PlatformModuleOfAddress(reinterpret_cast<const void*>(&program_function)), program);

    void* lib = dlopen("libsonrel-platform.so", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(lib, nullptr);
    void* inLib = dlsym(lib, "GetSysColor");
    ASSERT_NE(inLib, nullptr);
    HINSTANCE layer = PlatformModuleOfAddress(inLib);
    EXPECT_NE(layer, nullptr);
    EXPECT_NE(layer, program);
    EXPECT_EQ(PlatformModuleOfAddress(dlsym(lib, "LoadString")), layer);
    EXPECT_EQ(GetModuleHandle("libsonrel-platform.so"), layer);
    EXPECT_EQ(GetModuleHandle("sonrel-platform"), layer);
    EXPECT_EQ(GetModuleHandle("no-such-library"), nullptr);
    dlclose(lib);
}

TEST(ResourceCursors, StandardCursorsAreSharedHandles) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(wait, nullptr);
    EXPECT_NE(arrow, wait);
    EXPECT_EQ(LoadCursor(nullptr, IDC_WAIT), wait);
    EXPECT_NE(LoadCursor(nullptr, IDC_SIZEWE), nullptr);
    EXPECT_EQ(LoadCursor(nullptr, "NOSUCHCURSOR"), nullptr);
    EXPECT_TRUE(DestroyCursor(wait));
    EXPECT_EQ(LoadCursor(nullptr, IDC_WAIT), wait);
}

TEST(ResourceCursors, SetCursorGivesThePreviousOneBack) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    HCURSOR start = SetCursor(arrow);
    HCURSOR before = SetCursor(wait);
    EXPECT_EQ(before, arrow);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(before), wait);
    EXPECT_EQ(GetCursor(), arrow);
    PlatformProcessEvents();
    // From another thread the current cursor changes at once as well.
    HCURSOR seen = nullptr;
    std::thread t([&] { seen = SetCursor(wait); });
    t.join();
    EXPECT_EQ(seen, arrow);
    EXPECT_EQ(GetCursor(), wait);
    SetCursor(start ? start : arrow);
    PlatformProcessEvents();
}

TEST(ResourceCursors, RegisteredCursorsAndIconsDrawTheirImage) {
    HINSTANCE inst = GetModuleHandle(nullptr);
    std::vector<DWORD> px(8 * 8, 0x00000000);                // transparent
    for (int i = 0; i < 8; ++i) px[i * 8 + i] = 0xFF0000FF;  // an opaque blue diagonal
    PlatformAddCursor(inst, "DIAGCURSOR", 8, 8, px.data(), 0, 0);
    HCURSOR c = LoadCursor(inst, "DIAGCURSOR");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(LoadCursor(inst, "diagcursor"), c);
    EXPECT_EQ(LoadCursor(other_instance(), "DIAGCURSOR"), nullptr);

    Canvas canvas(12, 12, kWhite);
    EXPECT_TRUE(DrawIcon(canvas.dc, 2, 3, c));
    EXPECT_EQ(canvas.where(kBlue).size(), 8u);
    EXPECT_EQ(canvas.at(2, 3), kBlue);
    EXPECT_EQ(canvas.at(9, 10), kBlue);
    EXPECT_EQ(canvas.at(3, 3), kWhite);

    HICON app = LoadIcon(nullptr, IDI_APPLICATION);
    ASSERT_NE(app, nullptr);
    Canvas big(40, 40, kGreen);
    EXPECT_TRUE(DrawIcon(big.dc, 0, 0, app));
    EXPECT_LT(big.where(kGreen).size(), 40u * 40u);
}

// A 16x16 cursor file: one opaque red pixel row, hot spot (3, 5).
std::vector<unsigned char> cursor_file() {
    std::vector<unsigned char> f;
    auto u16 = [&](unsigned v) {
        f.push_back(v & 0xFF);
        f.push_back((v >> 8) & 0xFF);
    };
    auto u32 = [&](unsigned v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    const unsigned image = 40 + 16 * 16 * 4 + 16 * 4;
    u16(0), u16(2), u16(1);  // cursor file, one image
    f.push_back(16), f.push_back(16), f.push_back(0), f.push_back(0);
    u16(3), u16(5), u32(image), u32(22);         // hot spot, size, offset
    u32(40), u32(16), u32(32), u16(1), u16(32);  // bitmap header: height doubled
    u32(0), u32(0), u32(0), u32(0), u32(0), u32(0);
    for (int y = 15; y >= 0; --y)  // rows bottom up, BGRA
        for (int x = 0; x < 16; ++x) u32(y == 0 ? 0xFFFF0000u : 0u);
    for (int i = 0; i < 16 * 4; ++i) f.push_back(0);  // AND mask
    return f;
}

TEST(ResourceCursors, CursorFilesLoadAndMissingOnesGiveNull) {
    EXPECT_EQ(LoadCursorFromFile("no-such-dir/wait.ani"), nullptr);
    std::string path = testing_support::fresh_dir("cursor") + "/red.cur";
    testing_support::write_file(path, cursor_file());
    HCURSOR c = LoadCursorFromFile(path.c_str());
    ASSERT_NE(c, nullptr);
    Canvas canvas(20, 20, kWhite);
    EXPECT_TRUE(DrawIcon(canvas.dc, 0, 0, c));
    EXPECT_EQ(canvas.where(kRed).size(), 16u);
    EXPECT_EQ(canvas.at(0, 0), kRed);
    EXPECT_EQ(canvas.at(0, 1), kWhite);
    EXPECT_TRUE(DestroyCursor(c));
    EXPECT_FALSE(DestroyCursor(c));
}

}  // namespace
