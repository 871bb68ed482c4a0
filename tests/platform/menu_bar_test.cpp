// Menu bars of top-level windows, popup menus and the MDI window menu: what
// the owner window is told when menus open, are hovered, chosen and closed.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <string>

#include "test_support.h"
#include "window_test_log.h"

using wtest::log;

namespace {

HMENU popup_of(std::initializer_list<std::pair<UINT, const char*>> items) {
    HMENU p = CreatePopupMenu();
    for (const auto& [id, text] : items) AppendMenu(p, id ? MF_STRING : MF_SEPARATOR, id, text);
    return p;
}

std::string bar_text(HWND hwnd) {
    char buf[256] = "";
    PlatformMenuBarText(hwnd, buf, sizeof(buf));
    return buf;
}

std::string item_text(HMENU menu, UINT pos) {
    char buf[128] = "";
    GetMenuString(menu, pos, buf, sizeof(buf), MF_BYPOSITION);
    return buf;
}

// The owner's handler of WM_INITMENU rewrites the undo item, as the frame does.
LRESULT CALLBACK undo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    log().push_back({hwnd, msg, wp, lp});
    if (msg == WM_INITMENU) {
        HMENU edit = GetSubMenu(reinterpret_cast<HMENU>(wp), 1);
        ModifyMenu(edit, 229, MF_BYCOMMAND | MF_STRING, 229, "&Undo: Reverse\tCtrl + Z");
        SetMenuDefaultItem(edit, 229, FALSE);
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

class MenuBar : public ::testing::Test {
protected:
    void SetUp() override {
        std::string cls = wtest::register_class("MenuBarOwner", undo_proc);
        hwnd = CreateWindowEx(0, cls.c_str(), "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500,
                              300, nullptr, nullptr, nullptr, nullptr);
        file = popup_of({{101, "&New\tCtrl + N"}, {0, nullptr}, {999, "E&xit"}});
        edit = popup_of({{229, "&Undo not possible\tCtrl + Z"}, {305, "&Delete\tDel"}});
        EnableMenuItem(edit, 229, MF_BYCOMMAND | MF_GRAYED);
        more = popup_of({{402, "D&eeper"}});
        AppendMenu(edit, MF_POPUP, UINT_PTR(more), "&More");
        help = popup_of({{909, "&About"}});
        bar = CreateMenu();
        AppendMenu(bar, MF_POPUP, UINT_PTR(file), "&File");
        AppendMenu(bar, MF_POPUP, UINT_PTR(edit), "&Edit");
        AppendMenu(bar, MF_POPUP | MF_RIGHTJUSTIFY, UINT_PTR(help), "&Help");
        PlatformProcessEvents();
        log().clear();
    }
    void TearDown() override {
        DestroyWindow(hwnd);
        DestroyMenu(bar);
        PlatformProcessEvents();
    }
    std::vector<UINT> menu_messages() {
        return wtest::sequence(hwnd, {WM_INITMENU, WM_INITMENUPOPUP, WM_MENUSELECT, WM_COMMAND});
    }
    HWND hwnd = nullptr;
    HMENU bar = nullptr, file = nullptr, edit = nullptr, more = nullptr, help = nullptr;
};

TEST_F(MenuBar, TakesTheTopOfTheWindowWithHelpAtTheRight) {
    RECT before, after;
    GetClientRect(hwnd, &before);
    ASSERT_TRUE(SetMenu(hwnd, bar));
    EXPECT_EQ(GetMenu(hwnd), bar);
    EXPECT_EQ(bar_text(hwnd), "&File\n&Edit\n>&Help\n");
    GetClientRect(hwnd, &after);
    EXPECT_EQ(after.right, before.right);
    EXPECT_LT(after.bottom, before.bottom);
    ASSERT_FALSE(wtest::of(WM_SIZE, hwnd).empty());
    EXPECT_EQ(HIWORD(wtest::of(WM_SIZE, hwnd).back().lp), after.bottom);

    ASSERT_TRUE(SetMenu(hwnd, nullptr));
    EXPECT_EQ(GetMenu(hwnd), nullptr);
    EXPECT_EQ(bar_text(hwnd), "");
    GetClientRect(hwnd, &after);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_FALSE(SetMenu(hwnd, reinterpret_cast<HMENU>(0x4321)));
}

TEST_F(MenuBar, ChoosingAnItemInitializesHoversClosesThenCommands) {
    ASSERT_TRUE(SetMenu(hwnd, bar));
    ASSERT_TRUE(PlatformSimulateMenuCommand(hwnd, 305));
    PlatformProcessEvents();
    EXPECT_EQ(menu_messages(), (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP, WM_MENUSELECT,
                                                  WM_MENUSELECT, WM_COMMAND}));
    auto init = wtest::of(WM_INITMENU, hwnd);
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0].wp, WPARAM(bar));
    auto popup = wtest::of(WM_INITMENUPOPUP, hwnd);
    EXPECT_EQ(popup[0].wp, WPARAM(edit));
    EXPECT_EQ(LOWORD(popup[0].lp), 1);
    auto select = wtest::of(WM_MENUSELECT, hwnd);
    EXPECT_EQ(LOWORD(select[0].wp), 305);
    EXPECT_EQ(HIWORD(select[0].wp), 0);
    EXPECT_EQ(select[0].lp, LPARAM(edit));
    EXPECT_EQ(HIWORD(select[1].wp), 0xFFFF);
    EXPECT_EQ(select[1].lp, 0);
    auto cmd = wtest::of(WM_COMMAND, hwnd);
    EXPECT_EQ(cmd[0].wp, MAKEWPARAM(305, 0));
    EXPECT_EQ(cmd[0].lp, 0);
}

TEST_F(MenuBar, WhatTheInitHandlerChangesIsWhatTheUserCanChoose) {
    ASSERT_TRUE(SetMenu(hwnd, bar));
    // Grayed in the record until the owner's WM_INITMENU enables it.
    ASSERT_TRUE(PlatformSimulateMenuCommand(hwnd, 229));
    PlatformProcessEvents();
    ASSERT_EQ(wtest::of(WM_COMMAND, hwnd).size(), 1u);
    EXPECT_EQ(item_text(edit, 0), "&Undo: Reverse\tCtrl + Z");
    EXPECT_EQ(GetMenuDefaultItem(edit, FALSE, 0), 229u);
}

TEST_F(MenuBar, GrayedItemsAndUnknownIdsCannotBeChosen) {
    ASSERT_TRUE(SetMenu(hwnd, bar));
    EnableMenuItem(bar, 305, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_FALSE(PlatformSimulateMenuCommand(hwnd, 305));
    EXPECT_FALSE(PlatformSimulateMenuCommand(hwnd, 4242));
    PlatformProcessEvents();
    EXPECT_TRUE(wtest::of(WM_COMMAND, hwnd).empty());
}

TEST_F(MenuBar, NestedPopupsAreInitializedOnTheWayDown) {
    ASSERT_TRUE(SetMenu(hwnd, bar));
    ASSERT_TRUE(PlatformSimulateMenuCommand(hwnd, 402));
    PlatformProcessEvents();
    auto popups = wtest::of(WM_INITMENUPOPUP, hwnd);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[1].wp, WPARAM(more));
    EXPECT_EQ(LOWORD(popups[1].lp), 2);
    EXPECT_EQ(wtest::of(WM_COMMAND, hwnd).at(0).wp, MAKEWPARAM(402, 0));
}

TEST_F(MenuBar, ChangesToTheBarRecordAreShown) {
    ASSERT_TRUE(SetMenu(hwnd, bar));
    HMENU extra = popup_of({{1001, "Filter"}});
    AppendMenu(bar, MF_POPUP, UINT_PTR(extra), "E&xtensions");
    ModifyMenu(bar, 0, MF_BYPOSITION | MF_POPUP, UINT_PTR(file), "&Datei");
    PlatformProcessEvents();
    EXPECT_EQ(bar_text(hwnd), "&Datei\n&Edit\n>&Help\n>E&xtensions\n");
    ASSERT_TRUE(PlatformSimulateMenuCommand(hwnd, 1001));
    PlatformProcessEvents();
    EXPECT_EQ(wtest::of(WM_COMMAND, hwnd).at(0).wp, MAKEWPARAM(1001, 0));
}

TEST_F(MenuBar, PopupMenuIsAnsweredThroughTheHook) {
    testing_support::QuestionRecorder rec;
    rec.answers = {102, 102, 999};
    HMENU popup = popup_of({{101, "&New"}, {0, nullptr}, {102, "&Open..."}, {999, "E&xit"}});
    EnableMenuItem(popup, 999, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, 40, 40, 0, hwnd, nullptr),
              102);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "PopupMenu");
    EXPECT_EQ(rec.asked[0].text, "101\t&New\n102\t&Open...\n999\tE&xit");
    EXPECT_EQ(rec.asked[0].owner, hwnd);
    EXPECT_TRUE(wtest::of(WM_COMMAND, hwnd).empty());
    EXPECT_EQ(menu_messages(), (std::vector<UINT>{WM_INITMENUPOPUP, WM_MENUSELECT}));

    EXPECT_TRUE(TrackPopupMenu(popup, 0, 40, 40, 0, hwnd, nullptr));
    PlatformProcessEvents();
    ASSERT_EQ(wtest::of(WM_COMMAND, hwnd).size(), 1u);
    EXPECT_EQ(wtest::of(WM_COMMAND, hwnd)[0].wp, MAKEWPARAM(102, 0));
    // A grayed item cannot be chosen.
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 40, 40, 0, hwnd, nullptr), 0);
    DestroyMenu(popup);
}

// The Edit popup as the frame keeps it: "&Undo..." and "C&ut" share the
// letter U; while undo is possible the frame enables the undo item and makes
// it the popup's default item, else it grays it.
bool g_undo_possible = true;
LRESULT CALLBACK edit_owner_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    log().push_back({hwnd, msg, wp, lp});
    if (msg == WM_INITMENU) {
        HMENU edit = GetSubMenu(reinterpret_cast<HMENU>(wp), 0);
        if (g_undo_possible) {
            ModifyMenu(edit, 229, MF_BYCOMMAND | MF_STRING, 229, "&Undo: Reverse\tCtrl + Z");
            SetMenuDefaultItem(edit, 229, FALSE);
        } else {
            ModifyMenu(edit, 229, MF_BYCOMMAND | MF_STRING | MF_GRAYED, 229,
                       "&Undo not possible\tCtrl + Z");
            SetMenuDefaultItem(edit, UINT(-1), FALSE);
        }
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

TEST(MenuKeys, AMnemonicChoosesItsItemAndTheDefaultItemWinsASharedLetter) {
    struct Case {
        bool undoPossible;
        const char* keys;
        UINT chosen;  // 0: nothing is chosen
        const char* why;
    };
    const Case cases[] = {
        {true, "u", 229, "the default item takes the letter it shares with C&ut"},
        {true, "d", 305, "a letter of one item chooses it"},
        {true, "\r", 229, "Return chooses the highlighted first item"},
        {true, "x", 0, "a letter of no item chooses nothing"},
        {false, "u", 0, "with undo grayed the shared letter only moves the highlight"},
        {true, "m", 0, "a letter that two items share without a default one only moves"},
    };
    std::string cls = wtest::register_class("MenuKeysOwner", edit_owner_proc);
    for (const Case& c : cases) {
        g_undo_possible = c.undoPossible;
        HWND hwnd = CreateWindowEx(0, cls.c_str(), "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   500, 300, nullptr, nullptr, nullptr, nullptr);
        HMENU edit = popup_of({{229, "&Undo not possible\tCtrl + Z"},
                               {0, nullptr},
                               {301, "C&ut\tCtrl + X"},
                               {304, "&Mix"},
                               {306, "&Mute"},
                               {305, "&Delete\tDel"}});
        EnableMenuItem(edit, 229, MF_BYCOMMAND | MF_GRAYED);
        HMENU bar = CreateMenu();
        AppendMenu(bar, MF_POPUP, UINT_PTR(edit), "&Edit");
        ASSERT_TRUE(SetMenu(hwnd, bar));
        PlatformProcessEvents();
        log().clear();
        EXPECT_TRUE(PlatformSimulateMenuKeys(hwnd, 0, c.keys)) << c.why;
        for (int i = 0; i < 5; ++i) PlatformProcessEvents();
        auto commands = wtest::of(WM_COMMAND, hwnd);
        if (c.chosen) {
            ASSERT_EQ(commands.size(), 1u) << c.why;
            EXPECT_EQ(commands[0].wp, MAKEWPARAM(c.chosen, 0)) << c.why;
        } else {
            EXPECT_TRUE(commands.empty()) << c.why;
        }
        EXPECT_FALSE(PlatformSimulateMenuKeys(hwnd, 3, "u")) << "no popup at that position";
        DestroyWindow(hwnd);
        PlatformProcessEvents();
    }
}

LRESULT CALLBACK frame_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    log().push_back({hwnd, msg, wp, lp});
    return DefFrameProc(hwnd, FindWindowEx(hwnd, nullptr, "MDICLIENT", nullptr), msg, wp, lp);
}

class WindowMenu : public ::testing::Test {
protected:
    void SetUp() override {
        std::string fcls = wtest::register_class("MenuTestFrame", frame_proc);
        doc_class = wtest::register_class("MenuTestDoc", wtest::record_mdi_child_proc);
        frame = CreateWindowEx(0, fcls.c_str(), "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               800, 600, nullptr, nullptr, nullptr, nullptr);
        window_menu = popup_of({{754, "Thread Manager"}, {766, "Compact Disc Player"}});
        CLIENTCREATESTRUCT ccs{window_menu, 800};
        client = CreateWindowEx(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE, 0, 0, 700, 500, frame,
                                reinterpret_cast<HMENU>(3244), nullptr, &ccs);
        frame_menu = CreateMenu();
        AppendMenu(frame_menu, MF_POPUP, UINT_PTR(window_menu), "&Window");
        PlatformProcessEvents();
    }
    void TearDown() override {
        DestroyWindow(frame);
        DestroyMenu(frame_menu);
        PlatformProcessEvents();
    }
    HWND doc(const char* title) {
        MDICREATESTRUCT mcs{doc_class.c_str(), title, nullptr, 0, 0, 200, 150, 0, 0};
        return reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, LPARAM(&mcs)));
    }
    HWND active() { return reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, 0)); }
    std::string doc_lines() {
        std::string out;
        for (int i = 0; i < GetMenuItemCount(window_menu); ++i) {
            UINT id = GetMenuItemID(window_menu, i);
            if (id < 800) continue;
            bool checked = GetMenuState(window_menu, UINT(i), MF_BYPOSITION) & MF_CHECKED;
            out +=
                std::to_string(id) + (checked ? "*" : " ") + item_text(window_menu, UINT(i)) + "\n";
        }
        return out;
    }
    std::string doc_class;
    HWND frame = nullptr, client = nullptr;
    HMENU window_menu = nullptr, frame_menu = nullptr;
};

TEST_F(WindowMenu, ListsTheDocumentsFromTheFirstIdAndSetsTheFrameMenu) {
    HWND one = doc("one.wav");
    HWND two = doc("two words.wav");
    ASSERT_TRUE(one && two);
    SendMessage(client, WM_MDISETMENU, WPARAM(frame_menu), LPARAM(window_menu));
    EXPECT_EQ(GetMenu(frame), frame_menu);
    EXPECT_EQ(bar_text(frame), "&Window\n");
    ASSERT_EQ(GetMenuItemCount(window_menu), 5);
    EXPECT_EQ(GetMenuState(window_menu, 2, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_EQ(doc_lines(), "800 &1 one.wav\n801*&2 two words.wav\n");

    SendMessage(frame, WM_COMMAND, 800, 0);
    EXPECT_EQ(active(), one);
    EXPECT_EQ(doc_lines(), "800*&1 one.wav\n801 &2 two words.wav\n");

    // Closing a document renumbers the rest.
    SendMessage(client, WM_MDIDESTROY, WPARAM(one), 0);
    EXPECT_EQ(doc_lines(), "800*&1 two words.wav\n");
    EXPECT_EQ(GetDlgCtrlID(two), 800);
    HWND three = doc("three.wav");
    EXPECT_EQ(GetDlgCtrlID(three), 801);
    EXPECT_EQ(doc_lines(), "800 &1 two words.wav\n801*&2 three.wav\n");

    // Chosen from the bar as a user would.
    ASSERT_TRUE(PlatformSimulateMenuCommand(frame, 800));
    PlatformProcessEvents();
    EXPECT_EQ(active(), two);
}

TEST_F(WindowMenu, RetitledDocumentsShowTheirNewTitle) {
    SendMessage(client, WM_MDISETMENU, WPARAM(frame_menu), LPARAM(window_menu));
    HWND one = doc("old.wav");
    HWND two = doc("two.wav");
    SetWindowText(one, "new.wav");
    ASSERT_TRUE(PlatformSimulateMenuCommand(frame, 800));
    EXPECT_EQ(doc_lines(), "800 &1 new.wav\n801*&2 two.wav\n");
    SetWindowText(two, "renamed.wav");
    EXPECT_EQ(doc_lines(), "800 &1 new.wav\n801*&2 renamed.wav\n");
    PlatformProcessEvents();
    EXPECT_EQ(active(), one);
}

TEST_F(WindowMenu, FrameMenuGoesWithTheFrame) {
    SendMessage(client, WM_MDISETMENU, WPARAM(frame_menu), LPARAM(window_menu));
    DestroyWindow(frame);
    EXPECT_FALSE(IsMenu(frame_menu));
    EXPECT_FALSE(IsMenu(window_menu));
}

TEST_F(WindowMenu, AnotherWindowMenuTakesTheList) {
    doc("one.wav");
    SendMessage(client, WM_MDISETMENU, WPARAM(frame_menu), LPARAM(window_menu));
    HMENU other = popup_of({{701, "C&ascade"}});
    HMENU old = reinterpret_cast<HMENU>(
        SendMessage(client, WM_MDISETMENU, WPARAM(frame_menu), LPARAM(other)));
    EXPECT_EQ(old, frame_menu);
    EXPECT_EQ(GetMenuItemCount(window_menu), 2);
    EXPECT_EQ(GetMenuItemCount(other), 3);
    EXPECT_EQ(GetMenuItemID(other, 2), 800u);
    DestroyMenu(other);
}

}  // namespace
