// Posted messages, the message loop, key messages through the loop, timers and
// the painting cycle.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <thread>

#include "window_test_log.h"

using wtest::log;

namespace {

class MessageQueue : public ::testing::Test {
protected:
    void SetUp() override {
        drain();
        log().clear();
        top = wtest::top_window();
        other = wtest::top_window();
        drain();
        log().clear();
    }
    void TearDown() override {
        DestroyWindow(top);
        DestroyWindow(other);
        PlatformSetKeyState(VK_SHIFT, FALSE);
        PlatformSetKeyState(VK_CONTROL, FALSE);
        drain();
    }
    // Delivers whatever is queued so one test does not see another's messages.
    static void drain() {
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    }
    // Runs the program's loop until the quit message.
    static int run_loop() {
        MSG m;
        while (GetMessage(&m, nullptr, 0, 0)) {
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
        return int(m.wParam);
    }
    HWND top = nullptr, other = nullptr;
};

TEST_F(MessageQueue, PostedMessagesArriveInTheOrderTheyWerePosted) {
    for (int i = 0; i < 40; ++i) PostMessage(i % 3 ? top : other, WM_USER + 1, WPARAM(i), 0);
    std::thread t([&] {
        for (int i = 40; i < 60; ++i) PostMessage(top, WM_USER + 1, WPARAM(i), 0);
    });
    t.join();
    PostQuitMessage(5);
    EXPECT_EQ(run_loop(), 5);
    auto got = wtest::of(WM_USER + 1);
    ASSERT_EQ(got.size(), 60u);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(got[i].wp, WPARAM(i));
        EXPECT_EQ(got[i].hwnd, i < 40 && i % 3 == 0 ? other : top);
    }
}

TEST_F(MessageQueue, PostingToADeadWindowFailsAndItsQueuedMessagesAreDropped) {
    HWND doomed = wtest::top_window();
    PostMessage(doomed, WM_USER + 2, 0, 0);
    DestroyWindow(doomed);
    EXPECT_FALSE(PostMessage(doomed, WM_USER + 2, 0, 0));
    PlatformProcessEvents();
    EXPECT_TRUE(wtest::of(WM_USER + 2).empty());
}

TEST_F(MessageQueue, PlatformProcessEventsDeliversPostedMessages) {
    PostMessage(top, WM_USER + 3, 1, 2);
    EXPECT_TRUE(wtest::of(WM_USER + 3).empty()) << "posting must not call the procedure";
    PlatformProcessEvents();
    ASSERT_EQ(wtest::of(WM_USER + 3).size(), 1u);
    EXPECT_EQ(wtest::of(WM_USER + 3)[0].lp, 2);
}

TEST_F(MessageQueue, ThreadMessagesAndPeekMessage) {
    PostThreadMessage(GetCurrentThreadId(), WM_USER + 4, 9, 0);
    PostMessage(top, WM_USER + 5, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 4));
    EXPECT_EQ(m.hwnd, nullptr);
    ASSERT_TRUE(PeekMessage(&m, top, 0, 0, PM_REMOVE)) << "filtered by window";
    EXPECT_EQ(m.message, UINT(WM_USER + 5));
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER + 4, WM_USER + 4, PM_REMOVE));
    EXPECT_EQ(m.wParam, WPARAM(9));
    EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
}

TEST_F(MessageQueue, KeyPressesComeBackThroughGetMessageWithVirtualKeys) {
    SetFocus(top);
    PlatformSimulateKey(top, 'A', TRUE, FALSE);
    PlatformSimulateKey(top, 'A', FALSE, FALSE);
    PlatformSimulateKey(top, VK_F5, TRUE, FALSE);
    PlatformSimulateKey(top, VK_DELETE, TRUE, TRUE);
    MSG m;
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.hwnd, top);
    EXPECT_EQ(m.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(m.wParam, WPARAM('A'));
    EXPECT_EQ(m.lParam & (1 << 30), 0) << "first press, not a repeat";
    TranslateMessage(&m);
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_CHAR));
    EXPECT_EQ(m.wParam, WPARAM('a'));
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_KEYUP));
    EXPECT_NE(DWORD(m.lParam) & 0x80000000u, 0u);
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(m.wParam, WPARAM(VK_F5));
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.wParam, WPARAM(VK_DELETE));
    EXPECT_NE(m.lParam & (1 << 30), 0) << "a held key repeats";
    DispatchMessage(&m);
    EXPECT_EQ(wtest::of(WM_KEYDOWN, top).size(), 1u);
}

TEST_F(MessageQueue, KeyStateFollowsKeysAndTheTestSetting) {
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
    PlatformSetKeyState(VK_CONTROL, TRUE);
    EXPECT_NE(GetKeyState(VK_CONTROL) & 0x8000, 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0) << "the high bit makes the value negative";
    PlatformSetKeyState(VK_CONTROL, FALSE);
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
    PlatformSimulateKey(top, VK_SHIFT, TRUE, FALSE);
    EXPECT_NE(GetKeyState(VK_SHIFT) & 0x8000, 0);
    PlatformSimulateKey(top, 'B', TRUE, FALSE);
    PlatformSimulateKey(top, VK_SHIFT, FALSE, FALSE);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
    MSG m;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
        if (m.wParam == 'B') break;
    }
    PlatformSetKeyState(VK_SHIFT, TRUE);
    TranslateMessage(&m);
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_CHAR));
    EXPECT_EQ(m.wParam, WPARAM('B'));
}

int g_timer_proc_calls = 0;
void CALLBACK count_timer(HWND, UINT msg, UINT_PTR id, DWORD) {
    if (msg == WM_TIMER && id == 8) ++g_timer_proc_calls;
}

TEST_F(MessageQueue, TimersPostWmTimerUntilKilled) {
    EXPECT_EQ(SetTimer(top, 7, 10, nullptr), UINT_PTR(7));
    MSG m;
    int timers = 0;
    while (timers < 3 && GetMessage(&m, nullptr, 0, 0)) {
        if (m.message == WM_TIMER && m.hwnd == top) {
            EXPECT_EQ(m.wParam, WPARAM(7));
            ++timers;
        }
        DispatchMessage(&m);
    }
    EXPECT_EQ(wtest::of(WM_TIMER, top).size(), 3u);
    EXPECT_TRUE(KillTimer(top, 7));
    EXPECT_FALSE(KillTimer(top, 7));

    g_timer_proc_calls = 0;
    SetTimer(top, 8, 10, count_timer);
    while (g_timer_proc_calls < 2 && GetMessage(&m, nullptr, 0, 0)) DispatchMessage(&m);
    EXPECT_EQ(g_timer_proc_calls, 2);
    EXPECT_EQ(wtest::of(WM_TIMER, top).size(), 3u) << "a timer procedure replaces the window's";
    KillTimer(top, 8);
}

TEST_F(MessageQueue, InvalidAreaAccumulatesAndUpdateWindowPaintsOnce) {
    UpdateWindow(top);
    log().clear();
    RECT a{10, 10, 20, 20}, b{50, 5, 60, 15}, u;
    InvalidateRect(top, &a, FALSE);
    InvalidateRect(top, &b, TRUE);
    ASSERT_TRUE(GetUpdateRect(top, &u, FALSE));
    EXPECT_EQ(u.left, 10);
    EXPECT_EQ(u.top, 5);
    EXPECT_EQ(u.right, 60);
    EXPECT_EQ(u.bottom, 20);
    EXPECT_TRUE(wtest::of(WM_PAINT).empty()) << "invalidating does not paint at once";
    UpdateWindow(top);
    EXPECT_EQ(wtest::of(WM_PAINT, top).size(), 1u);
    EXPECT_FALSE(GetUpdateRect(top, &u, FALSE)) << "default painting validates";
    UpdateWindow(top);
    EXPECT_EQ(wtest::of(WM_PAINT, top).size(), 1u) << "a valid window is not painted";
}

TEST_F(MessageQueue, PendingPaintsComeFromTheLoopAfterPostedMessages) {
    UpdateWindow(top);
    UpdateWindow(other);
    log().clear();
    InvalidateRect(other, nullptr, TRUE);
    PostMessage(top, WM_USER + 6, 0, 0);
    MSG m;
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_USER + 6));
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_PAINT));
    EXPECT_EQ(m.hwnd, other);
    DispatchMessage(&m);
    EXPECT_EQ(wtest::of(WM_PAINT, other).size(), 1u);
    InvalidateRect(top, nullptr, FALSE);
    PlatformProcessEvents();
    EXPECT_EQ(wtest::of(WM_PAINT, top).size(), 1u);
}

TEST_F(MessageQueue, DefaultPaintingErasesWithTheClassBackground) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    std::string cls = wtest::register_class("WTestRedBackground", wtest::record_proc, 0, red);
    HWND w = CreateWindowEx(0, cls.c_str(), "", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 80, 60, nullptr,
                            nullptr, nullptr, nullptr);
    UpdateWindow(w);
    EXPECT_EQ(PlatformWindowPixel(w, 5, 5), RGB(255, 0, 0));
    HDC dc = GetDC(w);
    RECT all{0, 0, 80, 60};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(w, dc);
    EXPECT_EQ(PlatformWindowPixel(w, 5, 5), RGB(0, 0, 0));
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    EXPECT_EQ(PlatformWindowPixel(w, 5, 5), RGB(0, 0, 0)) << "no erase asked";
    InvalidateRect(w, nullptr, TRUE);
    UpdateWindow(w);
    EXPECT_EQ(PlatformWindowPixel(w, 5, 5), RGB(255, 0, 0));
    DestroyWindow(w);
    DeleteObject(red);
}

TEST_F(MessageQueue, GrowingAWindowKeepsItsPictureAndFillsTheNewArea) {
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    std::string cls = wtest::register_class("WTestGreenBackground", wtest::record_proc, 0, green);
    HWND w = CreateWindowEx(0, cls.c_str(), "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 30, top, nullptr,
                            nullptr, nullptr);
    UpdateWindow(w);
    HDC dc = GetDC(w);
    SetPixel(dc, 3, 3, RGB(0, 0, 255));
    ReleaseDC(w, dc);
    log().clear();
    MoveWindow(w, 0, 0, 60, 50, TRUE);
    EXPECT_EQ(PlatformWindowPixel(w, 3, 3), RGB(0, 0, 255)) << "old content kept";
    EXPECT_EQ(PlatformWindowPixel(w, 55, 45), RGB(0, 255, 0)) << "new area erased";
    RECT u;
    ASSERT_TRUE(GetUpdateRect(w, &u, FALSE));
    EXPECT_EQ(u.right, 60);
    EXPECT_EQ(u.bottom, 50);
    auto sizes = wtest::of(WM_SIZE, w);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].lp, MAKELPARAM(60, 50));
    DestroyWindow(w);
    DeleteObject(green);
}

}  // namespace
