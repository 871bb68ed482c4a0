// Input from the windowing system translated into messages: mouse, capture,
// wheel, focus, context menus, closing, sizes and the minimum track size.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include "window_test_log.h"

using wtest::log;

namespace {

class WindowInput : public ::testing::Test {
protected:
    void SetUp() override {
        top = wtest::top_window(400, 300);
        child = wtest::child_window(top, 20, 30, 200, 100, 3);
        PlatformProcessEvents();
        log().clear();
    }
    void TearDown() override {
        ReleaseCapture();
        PlatformSetKeyState(VK_CONTROL, FALSE);
        if (IsWindow(top)) DestroyWindow(top);
        PlatformProcessEvents();
    }
    HWND top = nullptr, child = nullptr;
};

TEST_F(WindowInput, MouseMessagesCarryClientCoordinatesAndButtonFlags) {
    PlatformSimulateMouse(child, WM_MOUSEMOVE, 15, 25, 0);
    PlatformSimulateMouse(child, WM_LBUTTONDOWN, 16, 26, 0);
    PlatformSimulateMouse(child, WM_MOUSEMOVE, 40, 50, MK_LBUTTON);
    PlatformSimulateMouse(child, WM_LBUTTONUP, 41, 51, 0);
    EXPECT_EQ(wtest::sequence(child, {WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_SETCURSOR, WM_MOUSEMOVE, WM_SETCURSOR, WM_LBUTTONDOWN,
                                 WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONUP}));
    auto down = wtest::of(WM_LBUTTONDOWN, child);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(down[0].lp), 16);
    EXPECT_EQ(GET_Y_LPARAM(down[0].lp), 26);
    EXPECT_EQ(down[0].wp & MK_LBUTTON, WPARAM(MK_LBUTTON));
    auto moves = wtest::of(WM_MOUSEMOVE, child);
    EXPECT_EQ(moves[1].wp & MK_LBUTTON, WPARAM(MK_LBUTTON));
    auto up = wtest::of(WM_LBUTTONUP, child);
    EXPECT_EQ(up[0].wp & MK_LBUTTON, 0u);
    auto cursor = wtest::of(WM_SETCURSOR, child);
    EXPECT_EQ(cursor[0].wp, WPARAM(child));
    EXPECT_EQ(LOWORD(cursor[0].lp), HTCLIENT);
    EXPECT_EQ(HIWORD(cursor[0].lp), WM_MOUSEMOVE);
    EXPECT_TRUE(wtest::of(WM_LBUTTONDOWN, top).empty()) << "the click belongs to the child";
}

LRESULT CALLBACK keeps_cursor_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETCURSOR) return TRUE;  // the parent decides: the cursor stays
    return wtest::record_proc(hwnd, msg, wp, lp);
}

// A class of its own whose windows show the given cursor.
std::string cursor_class(const char* name, WNDPROC proc, HCURSOR cursor) {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    RegisterClassEx(&wc);
    return name;
}

TEST_F(WindowInput, TheClassCursorShowsUnlessTheParentTakesTheRequest) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    std::string waiting = cursor_class("WTestWaitCursor", wtest::record_proc, wait);
    HWND busy = CreateWindowEx(0, waiting.c_str(), "", WS_CHILD | WS_VISIBLE, 250, 150, 60, 60, top,
                               nullptr, nullptr, nullptr);
    SetCursor(arrow);
    PlatformSimulateMouse(busy, WM_MOUSEMOVE, 5, 5, 0);
    EXPECT_EQ(GetCursor(), wait);
    PlatformSimulateMouse(child, WM_MOUSEMOVE, 5, 5, 0);
    EXPECT_EQ(GetCursor(), wait) << "a class without a cursor leaves the cursor alone";

    std::string keeping = cursor_class("WTestKeepCursor", keeps_cursor_proc, nullptr);
    HWND holder = CreateWindowEx(0, keeping.c_str(), "", WS_CHILD | WS_VISIBLE, 0, 150, 200, 100,
                                 top, nullptr, nullptr, nullptr);
    HWND inner = CreateWindowEx(0, waiting.c_str(), "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50,
                                holder, nullptr, nullptr, nullptr);
    SetCursor(arrow);
    log().clear();
    PlatformSimulateMouse(inner, WM_MOUSEMOVE, 5, 5, 0);
    EXPECT_EQ(GetCursor(), arrow) << "the parent answered the request first";
    EXPECT_EQ(wtest::of(WM_SETCURSOR, inner).size(), 1u);
    EXPECT_EQ(wtest::of(WM_MOUSEMOVE, inner).size(), 1u);
    SetCursor(arrow);
}

TEST_F(WindowInput, DoubleClicksNeedTheClassStyle) {
    std::string cls = wtest::register_class("WTestDblClk", wtest::record_proc, CS_DBLCLKS);
    HWND dbl = CreateWindowEx(0, cls.c_str(), "", WS_CHILD | WS_VISIBLE, 0, 150, 50, 50, top,
                              nullptr, nullptr, nullptr);
    PlatformSimulateMouse(dbl, WM_LBUTTONDBLCLK, 5, 5, 0);
    PlatformSimulateMouse(child, WM_LBUTTONDBLCLK, 5, 5, 0);
    EXPECT_EQ(wtest::of(WM_LBUTTONDBLCLK, dbl).size(), 1u);
    EXPECT_TRUE(wtest::of(WM_LBUTTONDBLCLK, child).empty());
    EXPECT_EQ(wtest::of(WM_LBUTTONDOWN, child).size(), 1u) << "a second press without the style";
}

TEST_F(WindowInput, CaptureSendsMouseMessagesToTheCapturingWindow) {
    HWND other = wtest::child_window(top, 250, 30, 100, 100);
    EXPECT_EQ(SetCapture(child), nullptr);
    EXPECT_EQ(GetCapture(), child);
    log().clear();
    PlatformSimulateMouse(other, WM_MOUSEMOVE, 10, 10, MK_LBUTTON);
    auto moves = wtest::of(WM_MOUSEMOVE, child);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lp), 240) << "250 + 10 - 20, in the child's coordinates";
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lp), 10);
    EXPECT_TRUE(wtest::of(WM_MOUSEMOVE, other).empty());
    EXPECT_TRUE(wtest::of(WM_SETCURSOR).empty()) << "no cursor requests while captured";
    EXPECT_EQ(SetCapture(other), child);
    auto changed = wtest::of(WM_CAPTURECHANGED, child);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].lp, LPARAM(other));
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(wtest::of(WM_CAPTURECHANGED, other).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    PlatformSimulateMouse(other, WM_MOUSEMOVE, 1, 1, 0);
    EXPECT_EQ(wtest::of(WM_MOUSEMOVE, other).size(), 1u);
}

TEST_F(WindowInput, WheelGivesOneHundredTwentyPerNotchAndPassesToTheParent) {
    PlatformSimulateWheel(child, 10, 10, 120, 0);
    PlatformSimulateWheel(child, 10, 10, -240, 0);
    PlatformSimulateWheel(child, 10, 10, 60, 0);
    PlatformSimulateWheel(child, 10, 10, 60, 0);
    auto wheel = wtest::of(WM_MOUSEWHEEL, child);
    ASSERT_EQ(wheel.size(), 3u) << "two half turns make one message";
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wp), 120);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[1].wp), -240);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[2].wp), 120);
    EXPECT_EQ(wtest::of(WM_MOUSEWHEEL, top).size(), 3u) << "default handling passes it up";
    POINT pt{10, 10};
    ClientToScreen(child, &pt);
    EXPECT_EQ(GET_X_LPARAM(wheel[0].lp), pt.x) << "screen coordinates";
    EXPECT_EQ(GET_Y_LPARAM(wheel[0].lp), pt.y);
    EXPECT_EQ(LOWORD(wheel[0].wp) & MK_CONTROL, 0);
    PlatformSetKeyState(VK_CONTROL, TRUE);
    PlatformSimulateWheel(child, 10, 10, -120, 0);
    EXPECT_EQ(LOWORD(wtest::of(WM_MOUSEWHEEL, child).back().wp) & MK_CONTROL, MK_CONTROL);
}

TEST_F(WindowInput, RightButtonUpAsksForTheContextMenuInScreenCoordinates) {
    PlatformSimulateMouse(child, WM_RBUTTONDOWN, 12, 14, 0);
    PlatformSimulateMouse(child, WM_RBUTTONUP, 12, 14, 0);
    auto menu = wtest::of(WM_CONTEXTMENU, child);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].wp, WPARAM(child));
    POINT pt{12, 14};
    ClientToScreen(child, &pt);
    EXPECT_EQ(GET_X_LPARAM(menu[0].lp), pt.x);
    EXPECT_EQ(GET_Y_LPARAM(menu[0].lp), pt.y);
    EXPECT_EQ(wtest::of(WM_CONTEXTMENU, top).size(), 1u);
}

TEST_F(WindowInput, FocusMovesWithSetFocusAndTellsBothWindows) {
    HWND other = wtest::child_window(top, 250, 30, 100, 100);
    SetFocus(child);
    log().clear();
    EXPECT_EQ(SetFocus(other), child);
    EXPECT_EQ(GetFocus(), other);
    auto kill = wtest::of(WM_KILLFOCUS, child);
    auto set = wtest::of(WM_SETFOCUS, other);
    ASSERT_EQ(kill.size(), 1u);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(kill[0].wp, WPARAM(other));
    EXPECT_EQ(set[0].wp, WPARAM(child));
    DestroyWindow(other);
    EXPECT_EQ(GetFocus(), nullptr);
}

LRESULT CALLBACK keep_open_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    wtest::log().push_back({hwnd, msg, wp, lp});
    if (msg == WM_CLOSE) return 0;
    return DefWindowProc(hwnd, msg, wp, lp);
}

TEST_F(WindowInput, TheCloseButtonGoesThroughSysCommandAndClose) {
    PlatformSimulateClose(top);
    EXPECT_EQ(wtest::sequence(top, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(wtest::of(WM_SYSCOMMAND, top)[0].wp, WPARAM(SC_CLOSE));
    EXPECT_FALSE(IsWindow(top));

    std::string cls = wtest::register_class("WTestKeepOpen", keep_open_proc);
    HWND stays = CreateWindowEx(0, cls.c_str(), "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                100, nullptr, nullptr, nullptr, nullptr);
    PlatformSimulateClose(stays);
    EXPECT_TRUE(IsWindow(stays)) << "a procedure that refuses WM_CLOSE keeps its window";
    EXPECT_EQ(wtest::of(WM_CLOSE, stays).size(), 1u);
    DestroyWindow(stays);
}

LRESULT CALLBACK min_size_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETMINMAXINFO) {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        mmi->ptMinTrackSize = POINT{300, 200};
        return 0;
    }
    return wtest::record_proc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK track_size_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETMINMAXINFO) {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        mmi->ptMinTrackSize = POINT{320, 240};
        mmi->ptMaxTrackSize = POINT{640, 480};
        return 0;
    }
    return wtest::record_proc(hwnd, msg, wp, lp);
}

TEST_F(WindowInput, TheUserResizesATopLevelWindowOnlyWithinItsTrackSizes) {
    std::string cls = wtest::register_class("WTestTrackSize", track_size_proc);
    HWND w = CreateWindowEx(0, cls.c_str(), "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                            nullptr, nullptr, nullptr, nullptr);
    PlatformProcessEvents();
    RECT rc;
    ASSERT_TRUE(PlatformSimulateResize(w, 100, 900));
    PlatformProcessEvents();
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.right - rc.left, 320);
    EXPECT_EQ(rc.bottom - rc.top, 480);
    ASSERT_FALSE(wtest::of(WM_SIZE, w).empty());
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(wtest::of(WM_SIZE, w).back().lp, MAKELPARAM(client.right, client.bottom));
    PlatformSimulateResize(w, 500, 350);
    PlatformProcessEvents();
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.right - rc.left, 500) << "inside the limits the size is taken as dragged";
    EXPECT_EQ(rc.bottom - rc.top, 350);
    EXPECT_FALSE(PlatformSimulateResize(child, 10, 10)) << "children have no window frame";
    DestroyWindow(w);
}

TEST_F(WindowInput, MinimumTrackSizeHoldsForTopLevelWindows) {
    std::string cls = wtest::register_class("WTestMinSize", min_size_proc);
    HWND w = CreateWindowEx(0, cls.c_str(), "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                            nullptr, nullptr, nullptr, nullptr);
    MoveWindow(w, 0, 0, 100, 80, TRUE);
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_GE(rc.right - rc.left, 300);
    EXPECT_GE(rc.bottom - rc.top, 200);
    MoveWindow(w, 0, 0, 350, 250, TRUE);
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.right - rc.left, 350);
    DestroyWindow(w);
}

TEST_F(WindowInput, SizeMessagesFollowResizingAndMaximizing) {
    MoveWindow(child, 0, 0, 120, 90, TRUE);
    auto sizes = wtest::of(WM_SIZE, child);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].wp, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(sizes[0].lp, MAKELPARAM(120, 90));
    MoveWindow(child, 5, 5, 120, 90, TRUE);
    EXPECT_EQ(wtest::of(WM_SIZE, child).size(), 1u) << "a move alone sends no WM_SIZE";
    EXPECT_EQ(wtest::of(WM_MOVE, child).size(), 2u);
    RECT restored;
    GetWindowRect(top, &restored);
    ShowWindow(top, SW_SHOWMAXIMIZED);
    PlatformProcessEvents();
    EXPECT_TRUE(IsZoomed(top));
    ASSERT_FALSE(wtest::of(WM_SIZE, top).empty());
    EXPECT_EQ(wtest::of(WM_SIZE, top).back().wp, WPARAM(SIZE_MAXIMIZED));
    WINDOWPLACEMENT wp{};
    ASSERT_TRUE(GetWindowPlacement(top, &wp));
    EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMAXIMIZED));
    EXPECT_EQ(wp.rcNormalPosition.left, restored.left);
    EXPECT_EQ(wp.rcNormalPosition.right, restored.right);
    EXPECT_EQ(wp.rcNormalPosition.bottom, restored.bottom);
    ShowWindow(top, SW_RESTORE);
    PlatformProcessEvents();
    EXPECT_FALSE(IsZoomed(top));
    EXPECT_EQ(wtest::of(WM_SIZE, top).back().wp, WPARAM(SIZE_RESTORED));
}

TEST_F(WindowInput, VisibilityAndPositionsOfChildren) {
    EXPECT_TRUE(IsWindowVisible(child));
    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child)) << "a hidden parent hides its children";
    ShowWindow(top, SW_SHOW);
    EXPECT_FALSE(ShowWindow(child, SW_HIDE) == FALSE) << "the child was visible";
    EXPECT_FALSE(IsWindowVisible(child));
    POINT pt{0, 0};
    MapWindowPoints(child, top, &pt, 1);
    EXPECT_EQ(pt.x, 20);
    EXPECT_EQ(pt.y, 30);
    RECT c, t;
    GetWindowRect(child, &c);
    GetWindowRect(top, &t);
    EXPECT_EQ(c.right - c.left, 200);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(c.left - origin.x, 20);
    ScreenToClient(top, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_FALSE(EnableWindow(child, FALSE)) << "was enabled";
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_TRUE(EnableWindow(child, TRUE));
}

TEST_F(WindowInput, APlacementReadBackAndGivenAgainChangesNothing) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = RECT{50, 60, 350, 260};
    ASSERT_TRUE(SetWindowPlacement(top, &wp));
    RECT rc;
    GetWindowRect(top, &rc);
    EXPECT_EQ(rc.left, 50);
    EXPECT_EQ(rc.top, 60);
    EXPECT_EQ(rc.right, 350);
    EXPECT_EQ(rc.bottom, 260);
    WINDOWPLACEMENT back{};
    ASSERT_TRUE(GetWindowPlacement(top, &back));
    EXPECT_EQ(back.showCmd, UINT(SW_SHOWNORMAL));
    EXPECT_EQ(back.rcNormalPosition.left, 50);
    EXPECT_EQ(back.rcNormalPosition.bottom, 260);
    ASSERT_TRUE(SetWindowPlacement(top, &back));
    GetWindowRect(top, &rc);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
}

TEST_F(WindowInput, DeferredPositionsApplyTogether) {
    HWND other = wtest::child_window(top, 250, 30, 100, 100);
    HDWP batch = BeginDeferWindowPos(2);
    batch = DeferWindowPos(batch, child, nullptr, 1, 2, 30, 40, SWP_NOZORDER);
    batch = DeferWindowPos(batch, other, nullptr, 0, 0, 70, 80, SWP_NOZORDER | SWP_NOMOVE);
    RECT rc;
    GetClientRect(child, &rc);
    EXPECT_EQ(rc.right, 200) << "nothing moves before the batch ends";
    ASSERT_TRUE(EndDeferWindowPos(batch));
    GetClientRect(child, &rc);
    EXPECT_EQ(rc.right, 30);
    EXPECT_EQ(rc.bottom, 40);
    GetClientRect(other, &rc);
    EXPECT_EQ(rc.right, 70);
    POINT pt{0, 0};
    MapWindowPoints(other, top, &pt, 1);
    EXPECT_EQ(pt.x, 250);
    EXPECT_FALSE(EndDeferWindowPos(batch)) << "a batch ends once";
}

}  // namespace

namespace {

// A bar sized by its top edge: the top five rows are its sizing border, and
// it may be 50 to 160 pixels high.
LRESULT CALLBACK top_sized_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCHITTEST) {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ScreenToClient(hwnd, &pt);
        if (pt.y <= 5) return HTTOP;
    }
    if (msg == WM_GETMINMAXINFO) {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        mmi->ptMinTrackSize = POINT{100, 50};
        mmi->ptMaxTrackSize = POINT{400, 160};
        return 0;
    }
    return wtest::record_proc(hwnd, msg, wp, lp);
}

TEST_F(WindowInput, AChildIsSizedByTheBorderItsHitTestNames) {
    std::string cls = wtest::register_class("WTestTopSized", top_sized_proc);
    HWND bar = CreateWindowEx(0, cls.c_str(), "", WS_CHILD | WS_VISIBLE, 0, 200, 400, 100, top,
                              nullptr, nullptr, nullptr);
    log().clear();
    PlatformSimulateMouse(bar, WM_MOUSEMOVE, 10, 3, 0);
    EXPECT_TRUE(wtest::of(WM_MOUSEMOVE, bar).empty()) << "the border is not client area";
    auto cursor = wtest::of(WM_SETCURSOR, bar);
    ASSERT_EQ(cursor.size(), 1u);
    EXPECT_EQ(LOWORD(cursor[0].lp), HTTOP);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, MAKEINTRESOURCE(32645))) << "the sizing cursor";

    PlatformSimulateMouse(bar, WM_LBUTTONDOWN, 10, 3, 0);
    PlatformSimulateMouse(bar, WM_MOUSEMOVE, 10, 3 - 30, MK_LBUTTON);
    POINT pt{0, 0};
    MapWindowPoints(bar, top, &pt, 1);
    RECT rc;
    GetClientRect(bar, &rc);
    EXPECT_EQ(pt.y, 170) << "the top edge follows the mouse";
    EXPECT_EQ(rc.bottom, 130) << "the bottom edge stays";
    EXPECT_EQ(wtest::of(WM_SIZE, bar).back().lp, MAKELPARAM(400, 130));

    PlatformSimulateMouse(bar, WM_MOUSEMOVE, 10, 3 - 200, MK_LBUTTON);
    GetClientRect(bar, &rc);
    EXPECT_EQ(rc.bottom, 160) << "held at the maximum track height";
    pt = POINT{0, 0};
    MapWindowPoints(bar, top, &pt, 1);
    EXPECT_EQ(pt.y, 140);
    PlatformSimulateMouse(bar, WM_LBUTTONUP, 10, 3, 0);
    EXPECT_TRUE(wtest::of(WM_LBUTTONDOWN, bar).empty());
    EXPECT_TRUE(wtest::of(WM_LBUTTONUP, bar).empty());

    log().clear();
    PlatformSimulateMouse(bar, WM_MOUSEMOVE, 10, 40, 0);
    EXPECT_EQ(wtest::of(WM_MOUSEMOVE, bar).size(), 1u) << "inside, the client gets the mouse";
    GetClientRect(bar, &rc);
    EXPECT_EQ(rc.bottom, 160) << "sizing ended with the release";
}

// A bar moved by its caption: the top ten rows left of x 150.
LRESULT CALLBACK caption_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCHITTEST) {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ScreenToClient(hwnd, &pt);
        if (pt.y <= 10 && pt.x < 150) return HTCAPTION;
    }
    return wtest::record_proc(hwnd, msg, wp, lp);
}

TEST_F(WindowInput, AChildIsMovedWholeByTheCaptionItsHitTestNames) {
    std::string cls = wtest::register_class("WTestCaptioned", caption_proc);
    HWND bar = CreateWindowEx(0, cls.c_str(), "", WS_CHILD | WS_VISIBLE, 40, 60, 200, 80, top,
                              nullptr, nullptr, nullptr);
    log().clear();
    PlatformSimulateMouse(bar, WM_LBUTTONDOWN, 20, 5, 0);
    // Client points of the bar where it is then: it follows the mouse, so the
    // press point stays under it.
    PlatformSimulateMouse(bar, WM_MOUSEMOVE, 20 + 35, 5 + 12, MK_LBUTTON);
    PlatformSimulateMouse(bar, WM_MOUSEMOVE, 20 + 15, 5 + 18, MK_LBUTTON);
    PlatformSimulateMouse(bar, WM_LBUTTONUP, 20, 5, 0);
    POINT pt{0, 0};
    MapWindowPoints(bar, top, &pt, 1);
    RECT rc;
    GetClientRect(bar, &rc);
    EXPECT_EQ(pt.x, 90);
    EXPECT_EQ(pt.y, 90);
    EXPECT_EQ(rc.right, 200) << "the size is kept";
    EXPECT_EQ(rc.bottom, 80);
    EXPECT_TRUE(wtest::of(WM_LBUTTONDOWN, bar).empty()) << "the caption is not client area";

    log().clear();
    PlatformSimulateMouse(bar, WM_LBUTTONDOWN, 160, 5, 0);
    PlatformSimulateMouse(bar, WM_LBUTTONUP, 160, 5, 0);
    EXPECT_EQ(wtest::of(WM_LBUTTONDOWN, bar).size(), 1u) << "right of the caption is client area";
    pt = POINT{0, 0};
    MapWindowPoints(bar, top, &pt, 1);
    EXPECT_EQ(pt.x, 90) << "a click there moves nothing";
}

}  // namespace
