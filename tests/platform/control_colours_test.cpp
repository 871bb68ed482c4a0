// Static and edit controls ask their parent for their colours before they
// paint (WM_CTLCOLORSTATIC, or WM_CTLCOLOREDIT for an edit that can be typed
// in) and show the brush and text colour the parent gives. Disabled buttons
// show their text in the grey text colour.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <algorithm>
#include <map>
#include <vector>

#include "test_support.h"

namespace {

enum Id { kPlain = 1, kWhite, kEdit, kReadOnly, kDisabled };

std::map<int, UINT> g_asked;  // control id -> the last message it sent
HBRUSH g_white = nullptr;

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT) {
        int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
        g_asked[id] = msg;
        EXPECT_NE(wp, 0u) << "a device context comes with the question";
        if (id == kWhite || id == kDisabled) {
            SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 0, 0));
            return reinterpret_cast<LRESULT>(g_white);
        }
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

class ControlColours : public ::testing::Test {
protected:
    void SetUp() override {
        g_asked.clear();
        g_white = GetSysColorBrush(COLOR_HIGHLIGHTTEXT);
        parent = testing_support::make_parent_window("ColourParent", parent_proc, 400, 200);
        ShowWindow(parent, SW_SHOW);
        add("STATIC", "plain", kPlain, SS_LEFT, 10);
        add("STATIC", "WWWWWWWW", kWhite, SS_LEFT, 40);
        add("EDIT", "typed", kEdit, WS_BORDER, 70);
        add("EDIT", "00", kReadOnly, WS_BORDER | ES_READONLY, 100);
        add("EDIT", "000", kDisabled, WS_BORDER | WS_DISABLED, 130);
        for (int id = kPlain; id <= kDisabled; ++id) UpdateWindow(GetDlgItem(parent, id));
    }
    void TearDown() override { DestroyWindow(parent); }
    void add(const char* cls, const char* text, int id, DWORD style, int y) {
        CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 120, 24, parent,
                       reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
    }
    HWND parent = nullptr;
};

TEST_F(ControlColours, EachControlAsksWithTheMessageForItsKind) {
    const std::map<int, UINT> expected{{kPlain, WM_CTLCOLORSTATIC},
                                       {kWhite, WM_CTLCOLORSTATIC},
                                       {kEdit, WM_CTLCOLOREDIT},
                                       {kReadOnly, WM_CTLCOLORSTATIC},
                                       {kDisabled, WM_CTLCOLORSTATIC}};
    EXPECT_EQ(g_asked, expected);

    // Enabling, disabling and the read-only state change the question.
    g_asked.clear();
    EnableWindow(GetDlgItem(parent, kEdit), FALSE);
    SendDlgItemMessage(parent, kReadOnly, EM_SETREADONLY, FALSE, 0);
    for (int id : {kEdit, kReadOnly}) UpdateWindow(GetDlgItem(parent, id));
    EXPECT_EQ(g_asked,
              (std::map<int, UINT>{{kEdit, WM_CTLCOLORSTATIC}, {kReadOnly, WM_CTLCOLOREDIT}}));
}

TEST_F(ControlColours, TheParentsBrushAndTextColourAreShown) {
    HWND white = GetDlgItem(parent, kWhite), plain = GetDlgItem(parent, kPlain);
    EXPECT_EQ(PlatformShownPixel(white, 118, 22), RGB(255, 255, 255));
    EXPECT_NE(PlatformShownPixel(plain, 118, 22), RGB(255, 255, 255));
    bool red_text = false;
    for (int y = 0; y < 24 && !red_text; ++y)
        for (int x = 0; x < 120 && !red_text; ++x) {
            COLORREF c = PlatformShownPixel(white, x, y);
            red_text = GetRValue(c) > 200 && GetGValue(c) < 100 && GetBValue(c) < 100;
        }
    EXPECT_TRUE(red_text) << "the text colour set in the context";
    EXPECT_EQ(PlatformShownPixel(GetDlgItem(parent, kDisabled), 100, 12), RGB(255, 255, 255))
        << "a disabled edit on the parent's brush";
    EXPECT_EQ(PlatformShownPixel(white, 500, 5), CLR_INVALID);
}

}  // namespace

TEST(ButtonColours, DisabledButtonTextShowsInTheGreyTextColourOnTheButtonFace) {
    HWND parent = testing_support::make_parent_window("DisabledButtons", DefWindowProc, 300, 120);
    ShowWindow(parent, SW_SHOW);
    const DWORD kinds[] = {BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON};
    COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    int greyLevel = GetRValue(grey) + GetGValue(grey) + GetBValue(grey);
    for (DWORD kind : kinds) {
        // The text only: the box or circle lies left of x = 20.
        HWND b = CreateWindowEx(0, "BUTTON", "WWWWWW", WS_CHILD | WS_VISIBLE | kind, 10, 10, 160,
                                20, parent, nullptr, nullptr, nullptr);
        EnableWindow(b, FALSE);
        UpdateWindow(b);
        int least = 3 * 255;
        for (int y = 0; y < 20; ++y)
            for (int x = 24; x < 160; ++x) {
                COLORREF c = PlatformShownPixel(b, x, y);
                least = std::min(least, int(GetRValue(c) + GetGValue(c) + GetBValue(c)));
            }
        EXPECT_LE(least, greyLevel + 30)
            << "style " << kind << ": the text is as dark as grey text";
        DestroyWindow(b);
    }
    DestroyWindow(parent);
}
