// Menu records: templates with nested popups, changing items by command and by
// position, default items, the system menu and stale handles.
#include <gtest/gtest.h>

#include <string>

#include "window_test_log.h"

namespace {

HINSTANCE test_instance() {
    return reinterpret_cast<HINSTANCE>(uintptr_t(0x6e75));
}

const PlatformMenuItem kTemplate[] = {
    {MF_POPUP, 0, "&File"},
    {0, 101, "&New\tCtrl + N"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_END, 999, "E&xit"},
    {MF_POPUP, 0, "&Edit"},
    {MF_GRAYED, 229, "&Undo not possible"},
    {MF_POPUP, 0, "&More"},
    {MF_CHECKED, 401, "&Deep"},
    {MF_END, 402, "D&eeper"},
    {MF_END, 305, "&Delete"},
    {MF_POPUP | MF_RIGHTJUSTIFY | MF_END, 0, "&Help"},
    {MF_END, 909, "&About"},
};

std::string text_of(HMENU menu, UINT item, UINT flags) {
    char buf[64] = "?";
    GetMenuString(menu, item, buf, sizeof(buf), flags);
    return buf;
}

class MenuItems : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformAddData(test_instance(), "MENU", "TESTMENU", kTemplate, sizeof(kTemplate));
        menu = LoadMenu(test_instance(), "TESTMENU");
        ASSERT_TRUE(menu);
        edit = GetSubMenu(menu, 1);
    }
    void TearDown() override { DestroyMenu(menu); }
    HMENU menu = nullptr, edit = nullptr;
};

TEST_F(MenuItems, TemplateNestsPopupsAndKeepsEveryFlag) {
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    HMENU file = GetSubMenu(menu, 0), help = GetSubMenu(menu, 2);
    ASSERT_TRUE(file && edit && help);
    EXPECT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuItemID(file, 0), 101u);
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(file, 2), 999u);
    EXPECT_EQ(text_of(file, 101, MF_BYCOMMAND), "&New\tCtrl + N");

    EXPECT_EQ(GetMenuItemCount(edit), 3);
    EXPECT_EQ(GetMenuState(edit, 229, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuItemID(edit, 1), UINT(-1));
    HMENU more = GetSubMenu(edit, 1);
    EXPECT_EQ(GetMenuItemCount(more), 2);
    EXPECT_EQ(GetMenuState(more, 0, MF_BYPOSITION), UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuItemID(edit, 2), 305u);

    // A popup reports its flags in the low byte and its item count above.
    EXPECT_EQ(GetMenuState(edit, 1, MF_BYPOSITION), UINT(MF_POPUP | (2 << 8)));
    EXPECT_EQ(GetMenuItemCount(help), 1);
    EXPECT_EQ(text_of(menu, 2, MF_BYPOSITION), "&Help");
}

TEST_F(MenuItems, AbsentTemplateGivesNull) {
    EXPECT_EQ(LoadMenu(test_instance(), "NOSUCHMENU"), nullptr);
}

TEST_F(MenuItems, CommandsAreFoundInNestedPopups) {
    EXPECT_EQ(CheckMenuItem(menu, 402, MF_BYCOMMAND | MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 402, MF_BYCOMMAND | MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 401, MF_BYCOMMAND | MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu, 401, MF_BYCOMMAND), 0u);
    EXPECT_EQ(CheckMenuItem(menu, 4242, MF_BYCOMMAND | MF_CHECKED), DWORD(-1));
    EXPECT_EQ(GetMenuState(menu, 4242, MF_BYCOMMAND), UINT(-1));
}

TEST_F(MenuItems, EnableAndCheckByPositionTouchOnlyThatMenu) {
    EXPECT_EQ(EnableMenuItem(edit, 0, MF_BYPOSITION | MF_ENABLED), BOOL(MF_GRAYED));
    EXPECT_EQ(GetMenuState(edit, 0, MF_BYPOSITION), 0u);
    EXPECT_EQ(EnableMenuItem(edit, 2, MF_BYPOSITION | MF_GRAYED), BOOL(MF_ENABLED));
    EXPECT_EQ(GetMenuState(menu, 305, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(edit, 7, MF_BYPOSITION | MF_GRAYED), -1);
    CheckMenuItem(edit, 2, MF_BYPOSITION | MF_CHECKED);
    EXPECT_EQ(GetMenuState(edit, 305, MF_BYCOMMAND), UINT(MF_GRAYED | MF_CHECKED));
}

TEST_F(MenuItems, ModifyReplacesTextAndStateButKeepsTheDefaultMark) {
    ASSERT_TRUE(SetMenuDefaultItem(edit, 229, FALSE));
    ASSERT_TRUE(ModifyMenu(menu, 229, MF_BYCOMMAND | MF_STRING, 229, "&Undo: Reverse\tCtrl + Z"));
    EXPECT_EQ(text_of(edit, 0, MF_BYPOSITION), "&Undo: Reverse\tCtrl + Z");
    EXPECT_EQ(GetMenuState(edit, 229, MF_BYCOMMAND), UINT(MF_DEFAULT));
    EXPECT_EQ(GetMenuDefaultItem(edit, FALSE, 0), 229u);
    EXPECT_EQ(GetMenuDefaultItem(edit, TRUE, 0), 0u);

    ASSERT_TRUE(ModifyMenu(edit, 0, MF_BYPOSITION | MF_GRAYED, 230, "&Undo not possible"));
    EXPECT_EQ(GetMenuItemID(edit, 0), 230u);
    // A grayed default item is not reported unless asked for.
    EXPECT_EQ(GetMenuDefaultItem(edit, FALSE, 0), UINT(-1));
    EXPECT_EQ(GetMenuDefaultItem(edit, FALSE, 1), 230u);

    ASSERT_TRUE(SetMenuDefaultItem(edit, UINT(-1), FALSE));
    EXPECT_EQ(GetMenuDefaultItem(edit, FALSE, 1), UINT(-1));
    EXPECT_FALSE(SetMenuDefaultItem(edit, 4242, FALSE));
    EXPECT_FALSE(ModifyMenu(menu, 4242, MF_BYCOMMAND, 1, "x"));
}

TEST_F(MenuItems, DefaultItemByPositionMovesTheMark) {
    ASSERT_TRUE(SetMenuDefaultItem(edit, 0, TRUE));
    ASSERT_TRUE(SetMenuDefaultItem(edit, 2, TRUE));
    EXPECT_EQ(GetMenuDefaultItem(edit, TRUE, 1), 2u);
    EXPECT_EQ(GetMenuState(edit, 0, MF_BYPOSITION) & MF_DEFAULT, 0u);
}

TEST_F(MenuItems, InsertDeleteAndRemove) {
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_TRUE(InsertMenu(menu, 999, MF_BYCOMMAND | MF_STRING, 104, "Save &as..."));
    EXPECT_EQ(GetMenuItemID(file, 2), 104u);
    EXPECT_EQ(GetMenuItemID(file, 3), 999u);
    ASSERT_TRUE(InsertMenu(file, 0, MF_BYPOSITION | MF_STRING, 100, "first"));
    ASSERT_TRUE(InsertMenu(file, 0xFFFFFFFF, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
    EXPECT_EQ(GetMenuItemCount(file), 6);
    EXPECT_EQ(GetMenuItemID(file, 0), 100u);
    EXPECT_EQ(GetMenuState(file, 5, MF_BYPOSITION), UINT(MF_SEPARATOR));

    ASSERT_TRUE(DeleteMenu(menu, 104, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuState(menu, 104, MF_BYCOMMAND), UINT(-1));
    EXPECT_FALSE(DeleteMenu(menu, 104, MF_BYCOMMAND));

    // Removing keeps the popup alive; deleting destroys it.
    HMENU more = GetSubMenu(edit, 1);
    ASSERT_TRUE(RemoveMenu(edit, 1, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(more));
    EXPECT_EQ(GetMenuItemCount(edit), 2);
    ASSERT_TRUE(AppendMenu(edit, MF_POPUP, UINT_PTR(more), "&More"));
    ASSERT_TRUE(DeleteMenu(edit, 2, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(more));
}

TEST(Menus, BuiltByHandAndDestroyedWithTheirPopups) {
    HMENU bar = CreateMenu(), popup = CreatePopupMenu();
    ASSERT_TRUE(bar && popup);
    EXPECT_EQ(GetMenuItemCount(popup), 0);
    EXPECT_TRUE(AppendMenu(popup, MF_STRING | MF_CHECKED, 754, "Thread Manager"));
    EXPECT_TRUE(AppendMenu(bar, MF_POPUP, UINT_PTR(popup), "&Window"));
    EXPECT_FALSE(AppendMenu(bar, MF_POPUP, UINT_PTR(0x1234), "bad popup"));
    EXPECT_EQ(GetSubMenu(bar, 0), popup);
    EXPECT_EQ(GetSubMenu(bar, 1), nullptr);
    char small[4];
    EXPECT_EQ(GetMenuString(bar, 754, small, sizeof(small), MF_BYCOMMAND), 3);
    EXPECT_STREQ(small, "Thr");
    EXPECT_EQ(GetMenuString(bar, 754, nullptr, 0, MF_BYCOMMAND), 14);
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_FALSE(IsMenu(popup));
    EXPECT_FALSE(DestroyMenu(bar));
    EXPECT_EQ(GetMenuItemCount(bar), -1);
    // A new menu in the freed place does not answer to the old handle.
    HMENU again = CreatePopupMenu();
    EXPECT_NE(again, popup);
    EXPECT_FALSE(IsMenu(popup));
    DestroyMenu(again);
}

TEST(Menus, SystemMenuHasTheStandardItemsAndCanBeChanged) {
    HWND w = wtest::top_window();
    ASSERT_TRUE(w);
    HMENU sys = GetSystemMenu(w, FALSE);
    ASSERT_TRUE(sys);
    ASSERT_EQ(GetMenuItemCount(sys), 7);
    const UINT ids[] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(GetMenuItemID(sys, i), ids[i]) << i;
    EXPECT_EQ(GetMenuState(sys, 5, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_TRUE(DeleteMenu(sys, SC_SIZE, MF_BYCOMMAND));
    EXPECT_EQ(GetSystemMenu(w, FALSE), sys);
    EXPECT_EQ(GetMenuItemCount(sys), 6);
    EXPECT_EQ(GetSystemMenu(w, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(sys));
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(w, FALSE)), 7);
    DestroyWindow(w);
}

}  // namespace
