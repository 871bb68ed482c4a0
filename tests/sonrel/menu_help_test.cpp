// Menu help on the status bar: the hint of the selected item, the window
// entries' common hint, the system menu's text, and clearing when the menu closes.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>

#include <vector>

#include "shell_fixture.h"

using namespace shelltest;

namespace {

std::vector<COLORREF> after_select(HWND frame, WORD id, WORD flags, LPARAM menu = 0) {
    SendMessage(frame, WM_MENUSELECT, MAKEWPARAM(id, flags), menu);
    return hint_pixels();
}

}  // namespace

TEST(MenuHelp, TheSelectedItemsHintIsDrawnOnTheStatusBar) {
    Shell s;
    std::vector<COLORREF> blank = hint_pixels();
    std::vector<COLORREF> newFile = after_select(s.frame, 101, 0);
    EXPECT_NE(newFile, blank) << "a hint was drawn";
    EXPECT_NE(after_select(s.frame, 102, 0), newFile) << "another item, another hint";
    EXPECT_EQ(after_select(s.frame, 101, 0), newFile) << "the same item, the same hint";

    std::vector<COLORREF> window = after_select(s.frame, 800, 0);
    EXPECT_EQ(after_select(s.frame, 898, 0), window)
        << "every window entry: \"Activate this window\"";
    EXPECT_NE(window, newFile);
    EXPECT_NE(after_select(s.frame, 4242, 0), after_select(s.frame, 4243, 0))
        << "an item without a string shows its number";
}

TEST(MenuHelp, PopupsShowTheSystemMenusTextOnlyForTheFirstOne) {
    Shell s;
    HMENU bar = GetMenu(s.frame);
    ASSERT_TRUE(bar);
    std::vector<COLORREF> first =
        after_select(s.frame, 0, MF_POPUP, reinterpret_cast<LPARAM>(GetSubMenu(bar, 0)));
    std::vector<COLORREF> other =
        after_select(s.frame, 1, MF_POPUP, reinterpret_cast<LPARAM>(GetSubMenu(bar, 1)));
    EXPECT_NE(first, other);
    EXPECT_EQ(after_select(s.frame, IDS_SYSTEMMENU_HELP, 0), first) << "the system menu's help";
}
