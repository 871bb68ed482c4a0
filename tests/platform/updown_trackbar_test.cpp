// The up-down control beside its buddy edit (range, position, the buddy's
// number, arrow clicks and what they tell the parent) and the trackbar
// (range, position, key moves and their notifications).
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

struct Scroll {
    UINT msg;
    int code;
    int pos;
    HWND from;
};
std::vector<Scroll> g_scrolls;
std::vector<NMUPDOWN> g_deltas;
bool g_refuse_delta = false;

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HSCROLL || msg == WM_VSCROLL) {
        g_scrolls.push_back({msg, LOWORD(wp), short(HIWORD(wp)), reinterpret_cast<HWND>(lp)});
        return 0;
    }
    if (msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMUPDOWN*>(lp);
        if (nm->hdr.code != UDN_DELTAPOS) return 0;
        g_deltas.push_back(*nm);
        return g_refuse_delta ? 1 : 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

class CommonControls : public ::testing::Test {
protected:
    void SetUp() override {
        g_scrolls.clear();
        g_deltas.clear();
        g_refuse_delta = false;
        parent = testing_support::make_parent_window("UpDownParent", parent_proc, 400, 300);
        ASSERT_NE(parent, nullptr);
        edit = CreateWindowEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 20, 30, 80, 22, parent,
                              reinterpret_cast<HMENU>(101), nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    HWND updown(DWORD style, int upper, int lower, int pos) {
        return CreateUpDownControl(WS_CHILD | WS_VISIBLE | WS_BORDER | style, 0, 0, 0, 0, parent,
                                   114, nullptr, edit, upper, lower, pos);
    }
    std::string text(HWND h) {
        char buf[64];
        GetWindowText(h, buf, sizeof buf);
        return buf;
    }
    RECT rect_in_parent(HWND h) {
        RECT rc{};
        GetWindowRect(h, &rc);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    // A click on the upper (or lower) arrow.
    void click(HWND ud, bool up) {
        RECT rc{};
        GetClientRect(ud, &rc);
        int y = up ? rc.bottom / 4 : rc.bottom * 3 / 4;
        ASSERT_TRUE(PlatformSimulateMouse(ud, WM_LBUTTONDOWN, rc.right / 2, y, 0));
        PlatformSimulateMouse(ud, WM_LBUTTONUP, rc.right / 2, y, 0);
    }
    HWND parent = nullptr;
    HWND edit = nullptr;
};

TEST_F(CommonControls, UpDownWritesItsPositionIntoTheBuddyAndTakesItsRightEdge) {
    HWND ud = updown(UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 999, 1, 200);
    ASSERT_NE(ud, nullptr);
    char cls[32];
    GetClassName(ud, cls, sizeof cls);
    EXPECT_STREQ(cls, UPDOWN_CLASS);
    EXPECT_EQ(GetDlgCtrlID(ud), 114);
    EXPECT_EQ(text(edit), "200");
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(ud, UDM_GETBUDDY, 0, 0)), edit);
    RECT e = rect_in_parent(edit), u = rect_in_parent(ud);
    EXPECT_EQ(e.left, 20);
    EXPECT_EQ(u.right, 100) << "the pair keeps the buddy's old width";
    EXPECT_EQ(e.right, u.left);
    EXPECT_EQ(u.top, e.top);
    EXPECT_EQ(u.bottom, e.bottom);
    int lo = -1, hi = -1;
    SendMessage(ud, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 999);
    EXPECT_EQ(SendMessage(ud, UDM_GETRANGE, 0, 0), MAKELONG(999, 1));
}

TEST_F(CommonControls, UpDownPositionIsClampedAndReadBackFromTheBuddy) {
    HWND ud = updown(UDS_SETBUDDYINT, 99, 0, 10);
    EXPECT_EQ(SendMessage(ud, UDM_SETPOS32, 0, 150), 10) << "the old position";
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, 0), 99);
    EXPECT_EQ(text(edit), "99");
    SendMessage(ud, UDM_SETPOS, 0, MAKELONG(5, 0));
    EXPECT_EQ(text(edit), "5");

    BOOL error = TRUE;
    SetWindowText(edit, " 42");
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, LPARAM(&error)), 42);
    EXPECT_FALSE(error);
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS, 0, 0), MAKELONG(42, 0));

    SetWindowText(edit, "many");
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, LPARAM(&error)), 42) << "the last good position";
    EXPECT_TRUE(error);
    EXPECT_NE(HIWORD(SendMessage(ud, UDM_GETPOS, 0, 0)), 0);

    SetWindowText(edit, "12x");
    SendMessage(ud, UDM_GETPOS32, 0, LPARAM(&error));
    EXPECT_TRUE(error) << "a number followed by other text is no number";

    SetWindowText(edit, "99999999999999999999");
    SendMessage(ud, UDM_GETPOS32, 0, LPARAM(&error));
    EXPECT_TRUE(error);

    SetWindowText(edit, "500");
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, LPARAM(&error)), 99);
    EXPECT_TRUE(error);
}

TEST_F(CommonControls, UpDownWithoutBuddyIntLeavesTheBuddyText) {
    SetWindowText(edit, "text");
    HWND ud = updown(0, 10, 0, 3);
    SendMessage(ud, UDM_SETPOS32, 0, 7);
    EXPECT_EQ(text(edit), "text");
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, 0), 7);
}

TEST_F(CommonControls, ArrowClicksStepWithinTheRangeAndTellTheParent) {
    HWND ud = updown(UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 3, 0, 2);
    click(ud, true);
    EXPECT_EQ(text(edit), "3");
    ASSERT_EQ(g_deltas.size(), 1u);
    EXPECT_EQ(g_deltas[0].iPos, 2);
    EXPECT_EQ(g_deltas[0].iDelta, 1);
    EXPECT_EQ(g_deltas[0].hdr.hwndFrom, ud);
    ASSERT_EQ(g_scrolls.size(), 1u);
    EXPECT_EQ(g_scrolls[0].msg, UINT(WM_VSCROLL));
    EXPECT_EQ(g_scrolls[0].code, SB_THUMBPOSITION);
    EXPECT_EQ(g_scrolls[0].pos, 3);
    EXPECT_EQ(g_scrolls[0].from, ud);

    click(ud, true);
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS32, 0, 0), 3) << "stops at the upper end";
    EXPECT_EQ(g_scrolls.size(), 1u);

    SetWindowText(edit, "1");
    click(ud, false);
    EXPECT_EQ(text(edit), "0") << "steps from the number typed into the buddy";
}

TEST_F(CommonControls, WrapStyleAndReversedRangeAndRefusedSteps) {
    HWND ud = updown(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_WRAP, 3, 0, 3);
    click(ud, true);
    EXPECT_EQ(text(edit), "0");
    click(ud, false);
    EXPECT_EQ(text(edit), "3");
    DestroyWindow(ud);

    HWND rev = updown(UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 10, 5);
    click(rev, true);
    EXPECT_EQ(text(edit), "4") << "up moves towards the upper end, here the smaller one";

    g_refuse_delta = true;
    click(rev, true);
    EXPECT_EQ(text(edit), "4");
}

TEST_F(CommonControls, TrackbarRangeAndPositionBySetMessagesNotifyNothing) {
    HWND tb = CreateWindowEx(0, TRACKBAR_CLASS, "", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, 10, 80,
                             200, 30, parent, reinterpret_cast<HMENU>(201), nullptr, nullptr);
    ASSERT_NE(tb, nullptr);
    EXPECT_EQ(SendMessage(tb, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessage(tb, TBM_GETRANGEMAX, 0, 0), 100);
    SendMessage(tb, TBM_SETRANGE, TRUE, MAKELONG(1, 8));
    SendMessage(tb, TBM_SETPOS, TRUE, 3);
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 3);
    SendMessage(tb, TBM_SETPOS, TRUE, 12);
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 8);
    SendMessage(tb, TBM_SETRANGEMAX, TRUE, 5);
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 5);
    SendMessage(tb, TBM_SETRANGEMIN, TRUE, 2);
    EXPECT_EQ(SendMessage(tb, TBM_GETRANGEMIN, 0, 0), 2);
    EXPECT_TRUE(g_scrolls.empty());
}

TEST_F(CommonControls, TrackbarKeysMoveItAndReportToTheParentUnlessDisabled) {
    HWND tb = CreateWindowEx(0, TRACKBAR_CLASS, "", WS_CHILD | WS_VISIBLE, 10, 80, 200, 30, parent,
                             reinterpret_cast<HMENU>(201), nullptr, nullptr);
    SendMessage(tb, TBM_SETRANGE, TRUE, MAKELONG(1, 8));
    SendMessage(tb, TBM_SETPOS, TRUE, 4);
    SendMessage(tb, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 5);
    ASSERT_EQ(g_scrolls.size(), 2u);
    EXPECT_EQ(g_scrolls[0].msg, UINT(WM_HSCROLL));
    EXPECT_EQ(g_scrolls[0].code, TB_LINEDOWN);
    EXPECT_EQ(g_scrolls[0].from, tb);
    EXPECT_EQ(g_scrolls[1].code, TB_ENDTRACK);

    SendMessage(tb, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 8);
    SendMessage(tb, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 7);
    EXPECT_EQ(g_scrolls[g_scrolls.size() - 2].code, TB_LINEUP);

    EnableWindow(tb, FALSE);
    EXPECT_FALSE(IsWindowEnabled(tb));
    size_t before = g_scrolls.size();
    SendMessage(tb, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 7);
    EXPECT_EQ(g_scrolls.size(), before);
    SendMessage(tb, TBM_SETPOS, TRUE, 2);
    EXPECT_EQ(SendMessage(tb, TBM_GETPOS, 0, 0), 2) << "a disabled trackbar still takes messages";
}

}  // namespace
