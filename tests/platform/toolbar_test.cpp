// The toolbar: buttons from a bitmap strip, their layout, clicks and what they
// tell the parent, check buttons and groups, buttons added and removed at the
// end (as extensions do), how buttons look, sizing to the parent, and the
// tooltips whose text the parent gives.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

constexpr int kStripId = 111;
constexpr int kImages = 5;
constexpr int kBmpW = 16, kBmpH = 15, kBtnW = 23, kBtnH = 22;
constexpr UINT kTipStringId = 9104;
// Image i is filled with kFill[i], except a light grey 2 x 2 top-left corner.
const DWORD kFill[kImages] = {0x0000FF, 0x00FF00, 0x0000A0, 0xFF0000, 0x00A0A0};

struct Command {
    int id, code;
    HWND from;
};
std::vector<Command> g_commands;
struct Asked {
    UINT_PTR id;
    HWND from;
};
std::vector<Asked> g_tips;

// The parent's answers to TTN_GETDISPINFO by button id.
LRESULT answer_tip(NMTTDISPINFO* di) {
    g_tips.push_back({di->hdr.idFrom, di->hdr.hwndFrom});
    switch (di->hdr.idFrom) {
        case 101:
            std::strcpy(di->szText, "New file");
            break;
        case 102:
            di->lpszText = const_cast<LPSTR>("Dock / Undock");
            break;
        case 104:
            di->hinst = GetModuleHandle(nullptr);
            di->lpszText = MAKEINTRESOURCE(kTipStringId);
            break;
        default:
            break;  // no text
    }
    return 0;
}

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        g_commands.push_back({LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)});
        return 0;
    }
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == TTN_GETDISPINFO)
        return answer_tip(reinterpret_cast<NMTTDISPINFO*>(lp));
    return DefWindowProc(hwnd, msg, wp, lp);
}

TBBUTTON button(int image, int id, BYTE state, BYTE style) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = id;
    b.fsState = state;
    b.fsStyle = style;
    return b;
}

const TBBUTTON kButtons[] = {
    button(0, 101, TBSTATE_ENABLED, BTNS_BUTTON),
    button(0, 0, 0, BTNS_SEP),
    button(1, 102, TBSTATE_ENABLED, BTNS_CHECK),
    button(2, 103, 0, BTNS_BUTTON),  // disabled
    button(3, 104, TBSTATE_ENABLED, BTNS_CHECKGROUP),
    button(4, 105, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECKGROUP),
    button(0, 106, TBSTATE_ENABLED | TBSTATE_HIDDEN, BTNS_BUTTON),
};
constexpr int kButtonCount = int(sizeof kButtons / sizeof kButtons[0]);

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_commands.clear();
        g_tips.clear();
        HINSTANCE inst = GetModuleHandle(nullptr);
        std::vector<DWORD> px(size_t(kImages) * kBmpW * kBmpH);
        for (int y = 0; y < kBmpH; ++y)
            for (int x = 0; x < kImages * kBmpW; ++x)
                px[size_t(y) * kImages * kBmpW + x] =
                    (x % kBmpW < 2 && y < 2) ? 0xC0C0C0 : kFill[x / kBmpW];
        PlatformAddBitmap(inst, MAKEINTRESOURCE(kStripId), kImages * kBmpW, kBmpH, px.data());
        PlatformAddString(inst, kTipStringId, "Volume &Change");
        parent = testing_support::make_parent_window("ToolbarParent", parent_proc, 400, 200);
        ASSERT_NE(parent, nullptr);
        bar = make(parent, TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, kButtons, kButtonCount, kBtnW, kBtnH);
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    static HWND make(HWND owner, DWORD style, const TBBUTTON* buttons, int n, int bw, int bh) {
        return CreateToolbarEx(owner, WS_CHILD | WS_VISIBLE | style, 1001, kImages,
                               GetModuleHandle(nullptr), kStripId, buttons, n, bw, bh, kBmpW, kBmpH,
                               sizeof(TBBUTTON));
    }
    RECT item(int index) {
        RECT rc{-1, -1, -1, -1};
        SendMessage(bar, TB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&rc));
        return rc;
    }
    void click(int index) {
        RECT rc = item(index);
        int x = (rc.left + rc.right) / 2, y = (rc.top + rc.bottom) / 2;
        PlatformSimulateMouse(bar, WM_LBUTTONDOWN, x, y, 0);
        PlatformSimulateMouse(bar, WM_LBUTTONUP, x, y, 0);
    }
    bool checked(int id) { return SendMessage(bar, TB_ISBUTTONCHECKED, WPARAM(id), 0) > 0; }
    std::string tip_at(int index) {
        RECT rc = item(index);
        char text[128] = "unchanged";
        if (!PlatformShowToolTip(bar, rc.left + 2, rc.top + 2, text, sizeof text)) return "";
        return text;
    }

    HWND parent = nullptr;
    HWND bar = nullptr;
};

TEST_F(ToolbarTest, ButtonsSitSideBySideSeparatorsAreNarrowAndHiddenButtonsTakeNoRoom) {
    EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), kButtonCount);
    struct Place {
        int index, left, right;
    };
    const Place places[] = {{0, 0, 23},  {1, 23, 31},  {2, 31, 54},
                            {3, 54, 77}, {4, 77, 100}, {5, 100, 123}};
    for (const Place& p : places) {
        RECT rc = item(p.index);
        EXPECT_EQ(rc.left, p.left) << "button " << p.index;
        EXPECT_EQ(rc.right, p.right) << "button " << p.index;
        EXPECT_EQ(rc.top, 0);
        EXPECT_EQ(rc.bottom, kBtnH);
    }
    RECT hidden{};
    EXPECT_FALSE(SendMessage(bar, TB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&hidden)));
    EXPECT_EQ(SendMessage(bar, TB_GETBUTTONSIZE, 0, 0), MAKELONG(kBtnW, kBtnH));
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 104, 0), 4);
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 999, 0), -1);
}

TEST_F(ToolbarTest, ClicksTellTheParentAndCheckButtonsToggleFirst) {
    struct Step {
        int index;              // the button clicked
        int command;            // the id the parent is told, 0 for none
        bool c102, c104, c105;  // check states afterwards
    };
    const Step steps[] = {
        {0, 101, false, false, true},  // plain button
        {2, 102, true, false, true},   // check button goes down
        {2, 102, false, false, true},  // and up again
        {1, 0, false, false, true},    // separator: nothing
        {3, 0, false, false, true},    // disabled: nothing
        {4, 104, false, true, false},  // group: takes the check from its neighbour
        {4, 104, false, true, false},  // a checked group button stays checked
        {5, 105, false, false, true},
    };
    for (const Step& s : steps) {
        g_commands.clear();
        click(s.index);
        if (s.command) {
            ASSERT_EQ(g_commands.size(), 1u) << "button " << s.index;
            EXPECT_EQ(g_commands[0].id, s.command);
            EXPECT_EQ(g_commands[0].code, BN_CLICKED);
            EXPECT_EQ(g_commands[0].from, bar);
        } else {
            EXPECT_TRUE(g_commands.empty()) << "button " << s.index;
        }
        EXPECT_EQ(checked(102), s.c102) << "after button " << s.index;
        EXPECT_EQ(checked(104), s.c104) << "after button " << s.index;
        EXPECT_EQ(checked(105), s.c105) << "after button " << s.index;
        EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONPRESSED, WPARAM(s.command ? s.command : 101), 0));
    }
}

TEST_F(ToolbarTest, AClickCountsOnlyWhenReleasedOverTheButtonPressed) {
    RECT a = item(0), b = item(2);
    PlatformSimulateMouse(bar, WM_LBUTTONDOWN, a.left + 5, 5, 0);
    EXPECT_TRUE(SendMessage(bar, TB_ISBUTTONPRESSED, 101, 0));
    PlatformSimulateMouse(bar, WM_MOUSEMOVE, b.left + 5, 5, MK_LBUTTON);
    EXPECT_FALSE(SendMessage(bar, TB_ISBUTTONPRESSED, 101, 0)) << "pops up while outside";
    PlatformSimulateMouse(bar, WM_LBUTTONUP, b.left + 5, 5, 0);
    EXPECT_TRUE(g_commands.empty());
    EXPECT_FALSE(checked(102));

    PlatformSimulateMouse(bar, WM_LBUTTONDOWN, a.left + 5, 5, 0);
    PlatformSimulateMouse(bar, WM_MOUSEMOVE, b.left + 5, 5, MK_LBUTTON);
    PlatformSimulateMouse(bar, WM_MOUSEMOVE, a.left + 6, 6, MK_LBUTTON);
    PlatformSimulateMouse(bar, WM_LBUTTONUP, a.left + 6, 6, 0);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].id, 101);
}

TEST_F(ToolbarTest, StatesChangeByMessageAndUnknownIdsAreRefused) {
    EXPECT_TRUE(SendMessage(bar, TB_CHECKBUTTON, 102, MAKELONG(TRUE, 0)));
    EXPECT_TRUE(checked(102));
    EXPECT_TRUE(SendMessage(bar, TB_CHECKBUTTON, 104, MAKELONG(TRUE, 0)));
    EXPECT_FALSE(checked(105)) << "checking a group button unchecks the group";
    EXPECT_TRUE(SendMessage(bar, TB_ENABLEBUTTON, 103, MAKELONG(TRUE, 0)));
    EXPECT_GT(SendMessage(bar, TB_ISBUTTONENABLED, 103, 0), 0);
    click(3);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].id, 103);
    EXPECT_TRUE(SendMessage(bar, TB_ENABLEBUTTON, 101, MAKELONG(FALSE, 0)));
    g_commands.clear();
    click(0);
    EXPECT_TRUE(g_commands.empty());
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, 102, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);

    EXPECT_FALSE(SendMessage(bar, TB_CHECKBUTTON, 999, MAKELONG(TRUE, 0)));
    EXPECT_EQ(SendMessage(bar, TB_ISBUTTONCHECKED, 999, 0), -1);
    EXPECT_EQ(SendMessage(bar, TB_GETSTATE, 999, 0), -1);

    EXPECT_TRUE(SendMessage(bar, TB_HIDEBUTTON, 106, MAKELONG(FALSE, 0)));
    RECT shown = item(6);
    EXPECT_EQ(shown.left, 123) << "a button shown again takes its place at the end";
}

TEST_F(ToolbarTest, ButtonsAddedAtTheEndWithTheirOwnBitmapsCanBeRemovedAgain) {
    std::vector<DWORD> red(size_t(kBmpW) * kBmpH, 0xFF0000);
    HBITMAP image = PlatformCreateBitmap(kBmpW, kBmpH, red.data());
    for (int round = 0; round < 2; ++round) {
        // Two buttons, each with its bitmap added as one image given by handle.
        TBBUTTON added[2];
        for (int k = 0; k < 2; ++k) {
            TBADDBITMAP ab{nullptr, reinterpret_cast<UINT_PTR>(image)};
            LRESULT index = SendMessage(bar, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&ab));
            EXPECT_EQ(index, kImages + round * 2 + k) << "images are added again each round";
            added[k] = button(int(index), 1001 + k, TBSTATE_ENABLED, BTNS_BUTTON);
        }
        ASSERT_TRUE(SendMessage(bar, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(added)));
        int count = int(SendMessage(bar, TB_BUTTONCOUNT, 0, 0));
        ASSERT_EQ(count, kButtonCount + 2);
        TBBUTTON got{};
        ASSERT_TRUE(SendMessage(bar, TB_GETBUTTON, count - 1, reinterpret_cast<LPARAM>(&got)));
        EXPECT_EQ(got.idCommand, 1002);
        g_commands.clear();
        click(count - 2);
        ASSERT_EQ(g_commands.size(), 1u);
        EXPECT_EQ(g_commands[0].id, 1001);

        // The image drawn on the new button is the bitmap's.
        UpdateWindow(bar);
        RECT rc = item(count - 1);
        EXPECT_EQ(PlatformWindowPixel(bar, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2),
                  RGB(255, 0, 0));

        // Removing the last two leaves the toolbar's own buttons.
        for (int k = 0; k < 2; ++k) {
            int c = int(SendMessage(bar, TB_BUTTONCOUNT, 0, 0));
            EXPECT_TRUE(SendMessage(bar, TB_DELETEBUTTON, WPARAM(c - 2 + k), 0));
        }
        EXPECT_EQ(SendMessage(bar, TB_BUTTONCOUNT, 0, 0), kButtonCount);
        EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 1001, 0), -1);
    }
    EXPECT_FALSE(SendMessage(bar, TB_DELETEBUTTON, 99, 0));
    DeleteObject(image);
}

TEST_F(ToolbarTest, InsertingAButtonMovesTheOthersAlong) {
    TBBUTTON first = button(2, 100, TBSTATE_ENABLED, BTNS_BUTTON);
    ASSERT_TRUE(SendMessage(bar, TB_INSERTBUTTON, 0, reinterpret_cast<LPARAM>(&first)));
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 100, 0), 0);
    EXPECT_EQ(SendMessage(bar, TB_COMMANDTOINDEX, 101, 0), 1);
    EXPECT_EQ(item(1).left, kBtnW);
    click(0);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].id, 100);
}

TEST_F(ToolbarTest, ButtonsShowTheirImagesWithTheGreyOfTheStripTransparent) {
    UpdateWindow(bar);
    auto centre = [&](int index) {
        RECT rc = item(index);
        return PlatformWindowPixel(bar, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    };
    EXPECT_EQ(centre(0), RGB(0, 0, 255));
    EXPECT_EQ(centre(2), RGB(0, 255, 0));
    EXPECT_EQ(centre(3), GetSysColor(COLOR_BTNSHADOW)) << "a disabled button's image is greyed";
    // The checked button sits one pixel lower and right, on a dithered face
    // that shows through its image's transparent corner.
    RECT rc = item(5);
    int x = rc.left + (kBtnW - kBmpW) / 2 + 1, y = rc.top + (kBtnH - kBmpH) / 2 + 1;
    COLORREF a = PlatformWindowPixel(bar, x, y), b = PlatformWindowPixel(bar, x + 1, y);
    EXPECT_NE(a, b);
    EXPECT_TRUE(a == GetSysColor(COLOR_BTNHIGHLIGHT) || b == GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(PlatformWindowPixel(bar, x + 3, y + 3), RGB(0, 160, 160));
    // A flat toolbar's separator is an etched line.
    RECT sep = item(1);
    int mid = (sep.left + sep.right) / 2;
    EXPECT_EQ(PlatformWindowPixel(bar, mid - 1, kBtnH / 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(PlatformWindowPixel(bar, mid, kBtnH / 2), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(ToolbarTest, TooltipTextsComeFromTheParentInEachOfItsForms) {
    HWND tips = reinterpret_cast<HWND>(SendMessage(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    struct Case {
        int index;
        const char* text;  // "" for no tip
    };
    const Case cases[] = {
        {0, "New file"},       // copied into szText
        {2, "Dock / Undock"},  // lpszText pointing at the parent's text
        {4, "Volume Change"},  // a string id, its mnemonic mark dropped
        {5, ""},               // the parent gave nothing
        {1, ""},               // separators have no tip
    };
    for (const Case& c : cases) {
        g_tips.clear();
        EXPECT_EQ(tip_at(c.index), c.text) << "button " << c.index;
        if (c.index == 1) {
            EXPECT_TRUE(g_tips.empty());
            continue;
        }
        ASSERT_EQ(g_tips.size(), 1u) << "button " << c.index;
        EXPECT_EQ(g_tips[0].id, UINT_PTR(kButtons[c.index].idCommand));
        EXPECT_EQ(g_tips[0].from, tips);
    }
    // The tips follow the buttons when they move.
    SendMessage(bar, TB_DELETEBUTTON, 0, 0);
    EXPECT_EQ(tip_at(1), "Dock / Undock");
}

TEST_F(ToolbarTest, AutosizeFitsTheParentsWidthAndWrapsIntoRows) {
    SendMessage(bar, TB_AUTOSIZE, 0, 0);
    RECT rc{}, pr{};
    GetClientRect(bar, &rc);
    GetClientRect(parent, &pr);
    EXPECT_EQ(rc.right, pr.right);
    EXPECT_EQ(rc.bottom, kBtnH);
    EXPECT_EQ(SendMessage(bar, TB_GETROWS, 0, 0), 1);

    // A bar a little wider than one button: a wrapping toolbar puts one button in each row.
    HWND narrow = CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 50, 20, 300, parent,
                                 nullptr, nullptr, nullptr);
    const TBBUTTON column[] = {
        button(0, 201, TBSTATE_ENABLED, BTNS_CHECK), button(1, 202, TBSTATE_ENABLED, BTNS_BUTTON),
        button(2, 203, TBSTATE_ENABLED, BTNS_BUTTON), button(3, 204, TBSTATE_ENABLED, BTNS_BUTTON)};
    HWND side = make(narrow, TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | TBSTYLE_WRAPABLE, column, 4, 17, 17);
    ASSERT_NE(side, nullptr);
    EXPECT_EQ(SendMessage(side, TB_GETROWS, 0, 0), 4);
    GetClientRect(side, &rc);
    EXPECT_EQ(rc.right, 20);
    EXPECT_EQ(rc.bottom, 4 * 17);
    RECT last{};
    SendMessage(side, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(last.left, 0);
    EXPECT_EQ(last.top, 3 * 17);
}

// A tooltip control of a window's own, as a bar that shows a fixed text over
// one of its fields.
class TooltipTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = testing_support::make_parent_window("TooltipOwner", DefWindowProc, 300, 100);
        tips = CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                              window, nullptr, nullptr, nullptr);
        ASSERT_NE(tips, nullptr);
        TOOLINFO ti = tool(1, RECT{0, 0, 80, 20}, "Load a &recent file\tR");
        ASSERT_TRUE(SendMessage(tips, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
    }
    void TearDown() override { DestroyWindow(window); }
    TOOLINFO tool(UINT_PTR id, RECT rc, const char* text) {
        TOOLINFO ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = window;
        ti.uId = id;
        ti.rect = rc;
        ti.lpszText = const_cast<LPSTR>(text);
        return ti;
    }
    std::string tip(HWND w, int x, int y) {
        char text[64] = "";
        return PlatformShowToolTip(w, x, y, text, sizeof text) ? text : "";
    }
    HWND window = nullptr;
    HWND tips = nullptr;
};

TEST_F(TooltipTest, ATipShowsOnlyInsideItsToolsRectangle) {
    struct Point {
        int x, y;
        const char* text;
    };
    const Point points[] = {{0, 0, "Load a recent file"},
                            {79, 19, "Load a recent file"},
                            {80, 10, ""},
                            {40, 20, ""},
                            {200, 50, ""}};
    for (const Point& p : points) EXPECT_EQ(tip(window, p.x, p.y), p.text) << p.x << "," << p.y;
    EXPECT_EQ(SendMessage(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(TooltipTest, ToolsChangeTextPlaceAndCanBeSwitchedOff) {
    TOOLINFO ti = tool(1, RECT{100, 0, 200, 20}, "Threads");
    SendMessage(tips, TTM_NEWTOOLRECT, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessage(tips, TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(tip(window, 10, 10), "");
    EXPECT_EQ(tip(window, 150, 10), "Threads");
    char buf[32] = "";
    ti.lpszText = buf;
    SendMessage(tips, TTM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(buf, "Threads");

    // A whole child window as one tool.
    HWND child = CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 40, 50, 30, window,
                                nullptr, nullptr, nullptr);
    TOOLINFO whole = tool(reinterpret_cast<UINT_PTR>(child), RECT{}, "Zoom");
    whole.uFlags = TTF_IDISHWND;
    ASSERT_TRUE(SendMessage(tips, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&whole)));
    EXPECT_EQ(tip(child, 49, 29), "Zoom");

    SendMessage(tips, TTM_ACTIVATE, FALSE, 0);
    EXPECT_EQ(tip(window, 150, 10), "");
    SendMessage(tips, TTM_ACTIVATE, TRUE, 0);
    EXPECT_EQ(tip(window, 150, 10), "Threads");
    SendMessage(tips, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(tip(window, 150, 10), "");
    EXPECT_EQ(SendMessage(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
    DestroyWindow(tips);
    EXPECT_EQ(tip(child, 20, 20), "") << "the tools go with their tooltip control";
}

}  // namespace
