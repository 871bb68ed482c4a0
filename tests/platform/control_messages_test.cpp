// Controls made directly with CreateWindowEx: buttons and their check states
// and radio groups, edit fields, combo boxes with the CB_ messages, static
// pictures, and the notifications each sends to its parent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

struct Note {
    int id;
    int code;
    HWND from;
};
std::vector<Note> g_notes;

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        g_notes.push_back({LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)});
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_notes.clear();
        parent = testing_support::make_parent_window("ControlParent", parent_proc, 400, 300);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    HWND make(const char* cls, const char* text, int id, DWORD style, int y = 0, int h = 24) {
        return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 150, h, parent,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    }
    std::string text_of(HWND h) {
        char buf[256];
        GetWindowText(h, buf, sizeof buf);
        return buf;
    }
    HWND parent = nullptr;
};

TEST_F(ControlTest, PushButtonClickNotifiesParentUnlessDisabled) {
    HWND b = make("BUTTON", "&Play", 12, BS_PUSHBUTTON);
    ASSERT_NE(b, nullptr);
    SendMessage(b, BM_CLICK, 0, 0);
    ASSERT_EQ(g_notes.size(), 1u);
    EXPECT_EQ(g_notes[0].id, 12);
    EXPECT_EQ(g_notes[0].code, BN_CLICKED);
    EXPECT_EQ(g_notes[0].from, b);
    EnableWindow(b, FALSE);
    SendMessage(b, BM_CLICK, 0, 0);
    EXPECT_EQ(g_notes.size(), 1u);
    SetWindowText(b, "&Stop");
    EXPECT_EQ(text_of(b), "&Stop");
}

TEST_F(ControlTest, AutoCheckBoxTogglesAndPlainCheckBoxLeavesStateToTheProgram) {
    HWND autoBox = make("BUTTON", "auto", 1, BS_AUTOCHECKBOX);
    HWND plainBox = make("BUTTON", "plain", 2, BS_CHECKBOX, 30);
    SendMessage(autoBox, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(autoBox, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessage(autoBox, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(autoBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SendMessage(plainBox, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(plainBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_EQ(g_notes.size(), 3u);
    EXPECT_EQ(g_notes[2].id, 2);
    CheckDlgButton(parent, 2, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(parent, 2), UINT(BST_CHECKED));
    EXPECT_EQ(g_notes.size(), 3u) << "setting the check notifies nobody";
}

TEST_F(ControlTest, ThreeStateAutoCheckBoxCyclesThroughIndeterminate) {
    HWND box = make("BUTTON", "three", 1, BS_AUTO3STATE);
    std::vector<LRESULT> states;
    for (int i = 0; i < 3; ++i) {
        SendMessage(box, BM_CLICK, 0, 0);
        states.push_back(SendMessage(box, BM_GETCHECK, 0, 0));
    }
    EXPECT_EQ(states, (std::vector<LRESULT>{BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}));
}

TEST_F(ControlTest, AutoRadioButtonUnchecksOnlyItsOwnGroup) {
    HWND a1 = make("BUTTON", "a1", 21, BS_AUTORADIOBUTTON | WS_GROUP, 0);
    HWND a2 = make("BUTTON", "a2", 22, BS_AUTORADIOBUTTON, 30);
    HWND a3 = make("BUTTON", "a3", 23, BS_AUTORADIOBUTTON, 60);
    HWND b1 = make("BUTTON", "b1", 31, BS_AUTORADIOBUTTON | WS_GROUP, 90);
    HWND b2 = make("BUTTON", "b2", 32, BS_AUTORADIOBUTTON, 120);
    SendMessage(a1, BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(b1, BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(a3, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(a1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(a2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(a3, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(b1, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group";
    EXPECT_EQ(SendMessage(b2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_EQ(g_notes.size(), 1u);
    EXPECT_EQ(g_notes[0].id, 23);

    CheckRadioButton(parent, 31, 32, 32);
    EXPECT_EQ(IsDlgButtonChecked(parent, 31), UINT(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(parent, 32), UINT(BST_CHECKED));
}

TEST_F(ControlTest, PlainRadioButtonClickOnlyNotifies) {
    HWND r = make("BUTTON", "r", 5, BS_RADIOBUTTON | WS_GROUP);
    SendMessage(r, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(r, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(g_notes.size(), 1u);
}

TEST_F(ControlTest, EditTextFollowsSetTextAndNotifiesChange) {
    HWND e = make("EDIT", "first", 40, ES_AUTOHSCROLL | WS_BORDER);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(text_of(e), "first");
    EXPECT_EQ(GetWindowTextLength(e), 5);
    SetDlgItemText(parent, 40, "second");
    EXPECT_EQ(text_of(e), "second");
    ASSERT_FALSE(g_notes.empty());
    EXPECT_EQ(g_notes.back().id, 40);
    EXPECT_EQ(g_notes.back().code, EN_CHANGE);
    char buf[4];
    EXPECT_EQ(SendMessage(e, WM_GETTEXT, sizeof buf, LPARAM(buf)), 3);
    EXPECT_STREQ(buf, "sec") << "a short buffer gets what fits";

    SendMessage(e, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(GetWindowLong(e, GWL_STYLE) & ES_READONLY);
    SendMessage(e, EM_SETREADONLY, FALSE, 0);
    EXPECT_FALSE(GetWindowLong(e, GWL_STYLE) & ES_READONLY);
    SendMessage(e, EM_LIMITTEXT, 9, 0);
    EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT, 0, 0), 9);
}

TEST_F(ControlTest, EditSelectionCoversTheRequestedRange) {
    HWND e = make("EDIT", "abcdef", 41, 0);
    SendMessage(e, EM_SETSEL, 1, 4);
    DWORD start = 0, end = 0;
    SendMessage(e, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 4u);
    SendMessage(e, EM_SETSEL, 0, -1);
    SendMessage(e, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(end, 6u);
}

TEST_F(ControlTest, DialogItemNumbersParseLikeThePlatform) {
    make("EDIT", "", 50, 0);
    struct Case {
        const char* text;
        BOOL isSigned;
        BOOL ok;
        UINT value;
    } cases[] = {
        {"  48000", FALSE, TRUE, 48000},
        {"44100 Hz", FALSE, TRUE, 44100},
        {"", FALSE, FALSE, 0},
        {"abc", FALSE, FALSE, 0},
        {"-5", FALSE, FALSE, 0},
        {"-5", TRUE, TRUE, UINT(-5)},
        {"4294967295", FALSE, TRUE, 4294967295u},
        {"4294967296", FALSE, FALSE, 0},
        {"2147483648", TRUE, FALSE, 0},
    };
    for (const Case& c : cases) {
        SetDlgItemText(parent, 50, c.text);
        BOOL ok = !c.ok;
        UINT v = GetDlgItemInt(parent, 50, &ok, c.isSigned);
        EXPECT_EQ(ok, c.ok) << '"' << c.text << '"';
        EXPECT_EQ(v, c.value) << '"' << c.text << '"';
    }
    SetDlgItemInt(parent, 50, UINT(-12), TRUE);
    EXPECT_EQ(text_of(GetDlgItem(parent, 50)), "-12");
    SetDlgItemInt(parent, 50, 176400, FALSE);
    EXPECT_EQ(text_of(GetDlgItem(parent, 50)), "176400");
    BOOL ok = TRUE;
    EXPECT_EQ(GetDlgItemInt(parent, 999, &ok, FALSE), 0u);
    EXPECT_FALSE(ok) << "a missing item";
}

TEST_F(ControlTest, DropDownListStartsWithoutSelectionAndChangesSilently) {
    HWND c = make("COMBOBOX", "", 60, CBS_DROPDOWNLIST, 0, 120);
    ASSERT_NE(c, nullptr);
    RECT rc;
    GetClientRect(c, &rc);
    EXPECT_LT(rc.bottom, 120) << "one line high; the list drops down";
    EXPECT_EQ(SendMessage(c, CB_ADDSTRING, 0, LPARAM("Standard - 8")), 0);
    EXPECT_EQ(SendMessage(c, CB_ADDSTRING, 0, LPARAM("HiFi - 16")), 1);
    EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(text_of(c), "");
    EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(text_of(c), "HiFi - 16");
    EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_TRUE(g_notes.empty()) << "messages notify nobody";

    EXPECT_EQ(SendMessage(c, CB_GETLBTEXTLEN, 0, 0), 12);
    char buf[32];
    EXPECT_EQ(SendMessage(c, CB_GETLBTEXT, 1, LPARAM(buf)), 9);
    EXPECT_STREQ(buf, "HiFi - 16");
    EXPECT_EQ(SendMessage(c, CB_GETLBTEXT, 2, LPARAM(buf)), CB_ERR);

    SendMessage(c, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(ControlTest, ComboScrollStyleGivesTheWindowNoScrollBar) {
    HWND c = make("COMBOBOX", "", 64, CBS_DROPDOWNLIST | WS_VSCROLL, 0, 120);
    RECT rc;
    GetClientRect(c, &rc);
    EXPECT_EQ(rc.right, 150) << "the list scrolls, not the window";
}

TEST_F(ControlTest, ComboSearchesAreCaseBlindAndWrapAfterTheStart) {
    HWND c = make("COMBOBOX", "", 61, CBS_DROPDOWNLIST, 0, 120);
    for (const char* s : {"MONO", "STEREO", "mono"}) SendMessage(c, CB_ADDSTRING, 0, LPARAM(s));
    EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("mono")), 0);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, 0, LPARAM("mono")), 2) << "search starts after 0";
    EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, 2, LPARAM("MONO")), 0) << "and wraps";
    EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("STER")), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_FINDSTRING, WPARAM(-1), LPARAM("ster")), 1);
    EXPECT_EQ(SendMessage(c, CB_SELECTSTRING, WPARAM(-1), LPARAM("st")), 1);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessage(c, CB_SELECTSTRING, WPARAM(-1), LPARAM("x")), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1) << "a failed search keeps the selection";
}

TEST_F(ControlTest, ComboItemDataAndSortedInsertion) {
    HWND c = make("COMBOBOX", "", 62, CBS_DROPDOWNLIST | CBS_SORT, 0, 120);
    EXPECT_EQ(SendMessage(c, CB_ADDSTRING, 0, LPARAM("b")), 0);
    EXPECT_EQ(SendMessage(c, CB_ADDSTRING, 0, LPARAM("c")), 1);
    EXPECT_EQ(SendMessage(c, CB_ADDSTRING, 0, LPARAM("A")), 0);
    SendMessage(c, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(text_of(c), "c");
    EXPECT_EQ(SendMessage(c, CB_SETITEMDATA, 1, LPARAM(-77)), CB_OKAY);
    EXPECT_EQ(SendMessage(c, CB_GETITEMDATA, 1, 0), LRESULT(-77));
    EXPECT_EQ(SendMessage(c, CB_SETITEMDATA, 5, 1), CB_ERR);
    EXPECT_EQ(SendMessage(c, CB_INSERTSTRING, 0, LPARAM("z")), 0) << "insertion ignores sorting";
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3) << "the selected item moved down";
    EXPECT_EQ(SendMessage(c, CB_DELETESTRING, 0, 0), 3);
}

TEST_F(ControlTest, EditableComboTextIsTheWindowText) {
    HWND c = make("COMBOBOX", "", 63, CBS_DROPDOWN, 0, 120);
    for (const char* s : {"8000", "11025", "22050"}) SendMessage(c, CB_ADDSTRING, 0, LPARAM(s));
    EXPECT_EQ(text_of(c), "") << "adding items leaves the edit text";
    SetWindowText(c, "22050");
    EXPECT_EQ(text_of(c), "22050");
    BOOL ok = FALSE;
    EXPECT_EQ(GetDlgItemInt(parent, 63, &ok, FALSE), 22050u);
    EXPECT_TRUE(ok);
    SetWindowText(c, "12345");
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR) << "typed text selects no item";
    SendMessage(c, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(text_of(c), "11025");
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(g_notes.empty());
}

TEST_F(ControlTest, StaticPictureGivesBackThePreviousImage) {
    HWND s = make("STATIC", "", 70, SS_BITMAP, 0, 40);
    DWORD px[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    HBITMAP one = PlatformCreateBitmap(2, 2, px);
    HBITMAP two = PlatformCreateBitmap(2, 2, px);
    EXPECT_EQ(SendMessage(s, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(one)), 0);
    EXPECT_EQ(SendMessage(s, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(two)), LRESULT(one));
    EXPECT_EQ(SendMessage(s, STM_GETIMAGE, IMAGE_BITMAP, 0), LRESULT(two));
    DestroyWindow(s);
    DeleteObject(one);
    DeleteObject(two);
}

TEST_F(ControlTest, ControlsBelongToTheirParentAndDieWithIt) {
    HWND b = make("BUTTON", "x", 80, BS_GROUPBOX, 0, 100);
    HWND s = make("STATIC", "y", 81, SS_ETCHEDFRAME, 0, 100);
    EXPECT_EQ(GetParent(b), parent);
    EXPECT_EQ(GetDlgItem(parent, 81), s);
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_FALSE(IsWindow(s));
    parent = nullptr;
}

}  // namespace
