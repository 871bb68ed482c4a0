// The rebar with a toolbar band, as the main bar uses it: the band's child
// placed inside the band, the bar's height from its rows, grips and band
// colours, and the toolbar's commands and tooltip questions reaching the
// rebar's parent.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <cstring>
#include <vector>

#include "test_support.h"

namespace {

constexpr int kImageW = 16, kImageH = 15;
constexpr COLORREF kBandColour = RGB(0, 128, 0);

struct Seen {
    std::vector<int> commands;
    std::vector<UINT_PTR> tips;
};
Seen g_seen;

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        g_seen.commands.push_back(LOWORD(wp));
        return 0;
    }
    if (msg == WM_NOTIFY) {
        auto* di = reinterpret_cast<NMTTDISPINFO*>(lp);
        if (di->hdr.code != TTN_GETDISPINFO) return 0;
        g_seen.tips.push_back(di->hdr.idFrom);
        std::strcpy(di->szText, "Play");
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

class RebarTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = Seen{};
        std::vector<DWORD> px(size_t(3) * kImageW * kImageH, 0x0000FF);
        PlatformAddBitmap(GetModuleHandle(nullptr), "REBARSTRIP", 3 * kImageW, kImageH, px.data());
        parent = testing_support::make_parent_window("RebarParent", parent_proc, 500, 200);
        ShowWindow(parent, SW_SHOW);
        rebar = CreateWindowEx(WS_EX_TOOLWINDOW, REBARCLASSNAME, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_BORDER | RBS_BANDBORDERS | RBS_TOOLTIPS |
                                   CCS_NODIVIDER | CCS_NOPARENTALIGN,
                               0, 0, 400, 30, parent, reinterpret_cast<HMENU>(intptr_t(1002)),
                               nullptr, nullptr);
        ASSERT_NE(rebar, nullptr);
        toolbar = CreateWindowEx(0, TOOLBARCLASSNAME, nullptr,
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                     CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                 0, 0, 0, 0, rebar, reinterpret_cast<HMENU>(intptr_t(5005)),
                                 nullptr, nullptr);
        ASSERT_NE(toolbar, nullptr);
        SendMessage(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessage(toolbar, TB_SETEXTENDEDSTYLE, 0,
                    TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_DRAWDDARROWS);
        images = ImageList_LoadImage(GetModuleHandle(nullptr), "REBARSTRIP", kImageW, 30,
                                     RGB(192, 192, 192), IMAGE_BITMAP, 0);
        SendMessage(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
        TBBUTTON buttons[3] = {};
        for (int i = 0; i < 3; ++i) {
            buttons[i].iBitmap = i;
            buttons[i].idCommand = 501 + i;
            buttons[i].fsState = TBSTATE_ENABLED;
            buttons[i].fsStyle = BTNS_AUTOSIZE;
        }
        SendMessage(toolbar, TB_ADDBUTTONS, 3, reinterpret_cast<LPARAM>(buttons));
        REBARBANDINFO band = band_info(toolbar, 200, 30, RBBS_CHILDEDGE | RBBS_NOVERT);
        band.fMask |= RBBIM_COLORS | RBBIM_ID;
        band.clrFore = GetSysColor(COLOR_BTNTEXT);
        band.clrBack = kBandColour;
        band.wID = 1001;
        ASSERT_TRUE(SendMessage(rebar, RB_INSERTBAND, WPARAM(-1), reinterpret_cast<LPARAM>(&band)));
    }
    void TearDown() override {
        DestroyWindow(parent);
        ImageList_Destroy(images);
    }
    static REBARBANDINFO band_info(HWND child, UINT cx, UINT cy, UINT style) {
        REBARBANDINFO b{};
        b.cbSize = sizeof b;
        b.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
        b.fStyle = style;
        b.hwndChild = child;
        b.cxMinChild = cx;
        b.cyMinChild = cy;
        return b;
    }
    RECT in_rebar(HWND child) {
        RECT rc{};
        GetWindowRect(child, &rc);
        MapWindowPoints(nullptr, rebar, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    HWND parent = nullptr, rebar = nullptr, toolbar = nullptr;
    HIMAGELIST images = nullptr;
};

TEST_F(RebarTest, AOneBandBarHoldsItsChildBetweenEdgesAndFitsItsHeight) {
    EXPECT_EQ(SendMessage(rebar, RB_GETBANDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessage(rebar, RB_IDTOINDEX, 1001, 0), 0);
    EXPECT_EQ(SendMessage(rebar, RB_GETBARHEIGHT, 0, 0), 30 + 4);
    EXPECT_EQ(SendMessage(rebar, RB_GETROWCOUNT, 0, 0), 1);
    RECT client{};
    GetClientRect(rebar, &client);
    EXPECT_EQ(client.bottom, 34) << "the rebar takes the height of its rows";
    EXPECT_EQ(GetParent(toolbar), rebar);
    RECT rc = in_rebar(toolbar);
    EXPECT_EQ(rc.top, 2);
    EXPECT_EQ(rc.bottom, 32);
    EXPECT_EQ(rc.right, client.right) << "the only band takes the whole row";
    EXPECT_EQ(SendMessage(toolbar, TB_GETBUTTONSIZE, 0, 0), MAKELONG(kImageW + 7, kImageH + 7));

    REBARBANDINFO got{};
    got.cbSize = sizeof got;
    got.fMask = RBBIM_CHILDSIZE | RBBIM_ID | RBBIM_CHILD | RBBIM_COLORS;
    ASSERT_TRUE(SendMessage(rebar, RB_GETBANDINFO, 0, reinterpret_cast<LPARAM>(&got)));
    EXPECT_EQ(got.cxMinChild, 200u);
    EXPECT_EQ(got.wID, 1001u);
    EXPECT_EQ(got.hwndChild, toolbar);
    EXPECT_EQ(got.clrBack, kBandColour);
}

TEST_F(RebarTest, ToolbarCommandsAndTooltipQuestionsReachTheRebarsParent) {
    RECT b{};
    SendMessage(toolbar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&b));
    PlatformSimulateMouse(toolbar, WM_LBUTTONDOWN, b.left + 3, b.top + 3, 0);
    PlatformSimulateMouse(toolbar, WM_LBUTTONUP, b.left + 3, b.top + 3, 0);
    ASSERT_EQ(g_seen.commands.size(), 1u);
    EXPECT_EQ(g_seen.commands[0], 502);

    char text[32] = "";
    ASSERT_TRUE(PlatformShowToolTip(toolbar, b.left + 3, b.top + 3, text, sizeof text));
    EXPECT_STREQ(text, "Play");
    ASSERT_EQ(g_seen.tips.size(), 1u);
    EXPECT_EQ(g_seen.tips[0], 502u);
}

TEST_F(RebarTest, MoreBandsGetGripsShareRowsOrBreakIntoNewOnes) {
    HWND other =
        CreateWindowEx(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    REBARBANDINFO band = band_info(other, 50, 20, 0);
    ASSERT_TRUE(SendMessage(rebar, RB_INSERTBAND, WPARAM(-1), reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(GetParent(other), rebar);
    EXPECT_TRUE(IsWindowVisible(other));
    EXPECT_EQ(SendMessage(rebar, RB_GETROWCOUNT, 0, 0), 1);
    RECT first{}, second{};
    SendMessage(rebar, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessage(rebar, RB_GETRECT, 1, reinterpret_cast<LPARAM>(&second));
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(second.left, first.right);
    RECT client{};
    GetClientRect(rebar, &client);
    EXPECT_EQ(second.right, client.right);
    RECT child = in_rebar(toolbar);
    EXPECT_GT(child.left, 5) << "the toolbar moves right of its band's grip";

    UpdateWindow(rebar);
    EXPECT_EQ(PlatformWindowPixel(rebar, 2, 10), GetSysColor(COLOR_BTNHIGHLIGHT)) << "grip";
    EXPECT_EQ(PlatformWindowPixel(rebar, 4, 10), GetSysColor(COLOR_BTNSHADOW)) << "grip";
    EXPECT_EQ(PlatformWindowPixel(rebar, 7, 10), kBandColour);

    // A band that breaks starts a second row below the first.
    band.fMask = RBBIM_STYLE;
    band.fStyle = RBBS_BREAK;
    ASSERT_TRUE(SendMessage(rebar, RB_SETBANDINFO, 1, reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(SendMessage(rebar, RB_GETROWCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessage(rebar, RB_GETROWHEIGHT, 1, 0), 20);
    EXPECT_EQ(SendMessage(rebar, RB_GETBARHEIGHT, 0, 0), 34 + 2 + 20);
    RECT below = in_rebar(other);
    EXPECT_EQ(below.top, 36);

    ASSERT_TRUE(SendMessage(rebar, RB_DELETEBAND, 1, 0));
    EXPECT_FALSE(IsWindowVisible(other)) << "a removed band's child is hidden";
    EXPECT_EQ(SendMessage(rebar, RB_GETBARHEIGHT, 0, 0), 34);
    EXPECT_FALSE(SendMessage(rebar, RB_DELETEBAND, 1, 0));
}

}  // namespace
