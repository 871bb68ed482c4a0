// Painting into windows' backing images: WM_PAINT through BeginPaint/EndPaint
// with and without erasing, the painted area as a clip, GetDC from another
// thread, and contexts that outlive their window.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gdi_canvas.h"

using namespace gdi_test;

namespace {

enum class PaintMode { Line, FillRed, Nothing };

struct PaintLog {
    int paints = 0;
    BOOL erase = -1;
    RECT rc{};
    PaintMode mode = PaintMode::Line;
    LRESULT eraseAnswer = -1;  // -1: default processing of WM_ERASEBKGND
};
PaintLog g_paint;

LRESULT CALLBACK paint_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND && g_paint.eraseAnswer >= 0) return g_paint.eraseAnswer;
    if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    ++g_paint.paints;
    g_paint.erase = ps.fErase;
    g_paint.rc = ps.rcPaint;
    if (g_paint.mode == PaintMode::Line) {
        MoveToEx(dc, 0, 5, nullptr);
        LineTo(dc, 50, 5);
    } else if (g_paint.mode == PaintMode::FillRed) {
        RECT all;
        GetClientRect(hwnd, &all);
        HBRUSH red = CreateSolidBrush(kRed);
        FillRect(dc, &all, red);
        DeleteObject(red);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

HWND paint_window(int w, int h) {
    static bool registered = [] {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = paint_proc;
        wc.hInstance = GetModuleHandle(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "GdiPaintTest";
        return RegisterClassEx(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    g_paint = PaintLog{};
    HWND hwnd = CreateWindowEx(0, "GdiPaintTest", "paint", WS_POPUP | WS_VISIBLE, 0, 0, w, h,
                               nullptr, nullptr, GetModuleHandle(nullptr), nullptr);
    UpdateWindow(hwnd);
    return hwnd;
}

void fill_window(HWND hwnd, COLORREF c) {
    HDC dc = GetDC(hwnd);
    HBRUSH b = CreateSolidBrush(c);
    RECT all;
    GetClientRect(hwnd, &all);
    FillRect(dc, &all, b);
    DeleteObject(b);
    ReleaseDC(hwnd, dc);
}

TEST(GdiWindow, FirstPaintErasesWithTheClassBackground) {
    HWND hwnd = paint_window(120, 80);
    ASSERT_TRUE(hwnd);
    EXPECT_GE(g_paint.paints, 1);
    EXPECT_FALSE(g_paint.erase);  // DefWindowProc did the erasing
    int w = 0, h = 0;
    ASSERT_TRUE(PlatformReadWindowPixels(hwnd, nullptr, 0, &w, &h));
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(w, client.right);
    EXPECT_EQ(h, client.bottom);
    ASSERT_GT(w, 60);
    ASSERT_GT(h, 40);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 60, 40), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PlatformWindowPixel(hwnd, w - 1, h - 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PlatformWindowPixel(hwnd, 0, 5), kBlack);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 49, 5), kBlack);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 50, 5), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PlatformWindowPixel(hwnd, w, 0), 0xFFFFFFFFu);

    std::vector<DWORD> px(size_t(w) * h);
    ASSERT_TRUE(PlatformReadWindowPixels(hwnd, px.data(), w * h, &w, &h));
    EXPECT_EQ(px[size_t(5) * w + 10], 0x000000u);
    EXPECT_EQ(px[size_t(40) * w + 60], 0xC0C0C0u);
    DestroyWindow(hwnd);
}

TEST(GdiWindow, InvalidatedAreaIsErasedOnlyWhenAskedAndBoundsThePainting) {
    HWND hwnd = paint_window(100, 60);
    ASSERT_TRUE(hwnd);
    fill_window(hwnd, kGreen);
    RECT part{10, 0, 30, 20};
    InvalidateRect(hwnd, &part, TRUE);
    UpdateWindow(hwnd);
    EXPECT_EQ(g_paint.rc.left, 10);
    EXPECT_EQ(g_paint.rc.right, 30);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 15, 15), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PlatformWindowPixel(hwnd, 15, 5), kBlack);  // the line, inside the part
    EXPECT_EQ(PlatformWindowPixel(hwnd, 5, 5), kGreen);   // the line, outside it
    EXPECT_EQ(PlatformWindowPixel(hwnd, 35, 15), kGreen);

    fill_window(hwnd, kGreen);
    InvalidateRect(hwnd, &part, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 15, 15), kGreen);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 15, 5), kBlack);

    g_paint.mode = PaintMode::FillRed;
    RECT other{50, 30, 70, 50};
    InvalidateRect(hwnd, &other, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 50, 30), kRed);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 69, 49), kRed);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 70, 49), kGreen);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 49, 30), kGreen);
    DestroyWindow(hwnd);
}

TEST(GdiWindow, AProcedureThatDeclinesTheEraseIsToldToEraseItself) {
    HWND hwnd = paint_window(60, 40);
    ASSERT_TRUE(hwnd);
    fill_window(hwnd, kBlue);
    g_paint.mode = PaintMode::Nothing;
    g_paint.eraseAnswer = 0;
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    EXPECT_TRUE(g_paint.erase);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 30, 20), kBlue);

    g_paint.eraseAnswer = 1;  // "erased" without drawing anything
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    EXPECT_FALSE(g_paint.erase);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 30, 20), kBlue);
    DestroyWindow(hwnd);
}

TEST(GdiWindow, DrawingFromAnotherThreadLandsInTheBackingImage) {
    HWND hwnd = paint_window(200, 100);
    ASSERT_TRUE(hwnd);
    std::atomic<bool> done{false};
    std::atomic<int> drawn{0};
    std::thread painter([&] {
        HDC dc = GetDC(hwnd);
        if (dc) {
            HBRUSH blue = CreateSolidBrush(kBlue);
            RECT r{100, 20, 140, 60};
            if (FillRect(dc, &r, blue)) ++drawn;
            DeleteObject(blue);
            SetROP2(dc, R2_NOT);
            for (int i = 0; i < 200; ++i) {  // an even number of passes: no change
                MoveToEx(dc, 10, 80, nullptr);
                if (LineTo(dc, 90, 80)) ++drawn;
            }
            SetROP2(dc, R2_COPYPEN);
            MoveToEx(dc, 10, 90, nullptr);
            if (LineTo(dc, 90, 90)) ++drawn;
            ReleaseDC(hwnd, dc);
        }
        done = true;
    });
    while (!done) PlatformProcessEvents();
    painter.join();
    PlatformProcessEvents();
    EXPECT_EQ(drawn, 202);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 100, 20), kBlue);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 139, 59), kBlue);
    EXPECT_EQ(PlatformWindowPixel(hwnd, 140, 59), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PlatformWindowPixel(hwnd, 50, 80), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PlatformWindowPixel(hwnd, 50, 90), kBlack);
    DestroyWindow(hwnd);
}

TEST(GdiWindow, AContextOfADestroyedWindowDrawsNothingAndIsStillReleased) {
    HWND hwnd = paint_window(40, 40);
    ASSERT_TRUE(hwnd);
    HDC dc = GetDC(hwnd);
    ASSERT_TRUE(dc);
    DestroyWindow(hwnd);
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_FALSE(LineTo(dc, 5, 5));
    EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
    EXPECT_EQ(GetDC(hwnd), nullptr);
    EXPECT_FALSE(PlatformReadWindowPixels(hwnd, nullptr, 0, nullptr, nullptr));
}

TEST(GdiWindow, DrawingKeepsWithinAWindowThatShrank) {
    HWND hwnd = paint_window(300, 200);
    ASSERT_TRUE(hwnd);
    HDC dc = GetDC(hwnd);
    MoveWindow(hwnd, 0, 0, 150, 60, TRUE);
    PlatformProcessEvents();
    RECT all{0, 0, 300, 200};
    EXPECT_EQ(FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 1);
    int w = 0, h = 0;
    PlatformReadWindowPixels(hwnd, nullptr, 0, &w, &h);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(w, client.right);
    EXPECT_EQ(h, client.bottom);
    EXPECT_LE(w, 150);
    EXPECT_LE(h, 60);
    EXPECT_EQ(PlatformWindowPixel(hwnd, w - 1, h - 1), kBlack);
    ReleaseDC(hwnd, dc);
    DestroyWindow(hwnd);
}

}  // namespace
