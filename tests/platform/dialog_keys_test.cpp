// The keys that move the focus in a dialog: Tab and Shift+Tab through the
// tab stops in the template's order, the arrows within a group of buttons;
// hidden and disabled controls are passed over, edits keep their arrows.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

enum Ids : int {
    kFirst = 100,
    kLabel = 101,
    kCheck = 102,
    kSlider = 103,
    kHidden = 104,
    kSecond = 105,
    kHelp = 998
};

const DIALOGITEM kItems[] = {
    {"EDIT", "12", kFirst, 10, 10, 40, 12, WS_TABSTOP | WS_BORDER, 0},
    {"STATIC", "Label", kLabel, 60, 12, 30, 8, SS_LEFT, 0},
    {"BUTTON", "&Smooth", kCheck, 10, 30, 60, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {"msctls_trackbar32", "", kSlider, 10, 44, 80, 14, WS_TABSTOP, 0},
    {"EDIT", "", kHidden, 10, 62, 40, 12, WS_TABSTOP | WS_BORDER, 0},
    {"EDIT", "", kSecond, 60, 62, 40, 12, WS_TABSTOP | WS_BORDER, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&?", kHelp, 124, 42, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const DIALOGTEMPLATE kTemplate{
    "Keys", DS_MODALFRAME | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 180, 82, nullptr, 8,
    kItems, UINT(sizeof kItems / sizeof kItems[0])};

INT_PTR CALLBACK keys_proc(HWND dlg, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        EnableWindow(GetDlgItem(dlg, kSlider), FALSE);
        ShowWindow(GetDlgItem(dlg, kHidden), SW_HIDE);
        return TRUE;
    }
    return FALSE;
}

// Sends one key press to the focused control as typed, through the dialog's
// message handling; the id of the control that has the focus then.
int press_key(HWND dlg, int vk, bool shift = false) {
    if (shift) PlatformSetKeyState(VK_SHIFT, TRUE);
    EXPECT_TRUE(PlatformSimulateKey(GetFocus(), vk, TRUE, FALSE));
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
        if (!IsDialogMessage(dlg, &m)) {
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
    PlatformSimulateKey(GetFocus(), vk, FALSE, FALSE);
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    if (shift) PlatformSetKeyState(VK_SHIFT, FALSE);
    return GetDlgCtrlID(GetFocus());
}

class DialogKeys : public ::testing::Test {
protected:
    void SetUp() override {
        dlg = CreateDialogIndirectParam(nullptr, &kTemplate, nullptr, keys_proc, 0);
        ASSERT_TRUE(dlg);
        ShowWindow(dlg, SW_SHOW);
        SetFocus(GetDlgItem(dlg, kFirst));
        PlatformProcessEvents();
    }
    void TearDown() override { DestroyWindow(dlg); }
    HWND dlg = nullptr;
};

TEST_F(DialogKeys, TabGoesThroughTheTabStopsInTemplateOrderAndShiftTabBack) {
    const std::vector<int> forward = {kCheck, kSecond, IDOK, IDCANCEL, kHelp, kFirst};
    for (int expected : forward) EXPECT_EQ(press_key(dlg, VK_TAB), expected);
    const std::vector<int> back = {kHelp, IDCANCEL, IDOK, kSecond, kCheck, kFirst};
    for (int expected : back) EXPECT_EQ(press_key(dlg, VK_TAB, true), expected);

    // Once enabled and shown, the slider and the other edit take their turns.
    EnableWindow(GetDlgItem(dlg, kSlider), TRUE);
    ShowWindow(GetDlgItem(dlg, kHidden), SW_SHOW);
    const std::vector<int> all = {kCheck, kSlider, kHidden, kSecond};
    for (int expected : all) EXPECT_EQ(press_key(dlg, VK_TAB), expected);
}

TEST_F(DialogKeys, ArrowsMoveWithinTheGroupOfAButtonAndStayInAnEdit) {
    SetFocus(GetDlgItem(dlg, IDOK));
    EXPECT_EQ(press_key(dlg, VK_DOWN), IDCANCEL);
    EXPECT_EQ(press_key(dlg, VK_RIGHT), kHelp);
    EXPECT_EQ(press_key(dlg, VK_DOWN), IDOK) << "round within the group";
    EXPECT_EQ(press_key(dlg, VK_UP), kHelp);
    EXPECT_EQ(press_key(dlg, VK_LEFT), IDCANCEL);

    // The check box's group is the controls before OK: the label, the
    // disabled slider and the hidden edit are passed over.
    SetFocus(GetDlgItem(dlg, kCheck));
    EXPECT_EQ(press_key(dlg, VK_DOWN), kSecond);
    SetFocus(GetDlgItem(dlg, kCheck));
    EXPECT_EQ(press_key(dlg, VK_UP), kFirst);

    SetFocus(GetDlgItem(dlg, kFirst));
    EXPECT_EQ(press_key(dlg, VK_DOWN), kFirst) << "an edit keeps its arrow keys";
}

TEST_F(DialogKeys, TheNextItemFunctionsAnswerAsTheKeysMove) {
    HWND first = GetDlgItem(dlg, kFirst), help = GetDlgItem(dlg, kHelp);
    EXPECT_EQ(GetNextDlgTabItem(dlg, first, FALSE), GetDlgItem(dlg, kCheck));
    EXPECT_EQ(GetNextDlgTabItem(dlg, first, TRUE), help);
    EXPECT_EQ(GetNextDlgTabItem(dlg, nullptr, FALSE), first) << "from nothing: the first stop";
    EXPECT_EQ(GetNextDlgGroupItem(dlg, help, FALSE), GetDlgItem(dlg, IDOK));
    for (int id : {int(kFirst), int(kCheck), int(kSecond), IDOK, IDCANCEL, int(kHelp)})
        EnableWindow(GetDlgItem(dlg, id), id == kSecond);
    EXPECT_EQ(GetNextDlgTabItem(dlg, GetDlgItem(dlg, kSecond), FALSE), GetDlgItem(dlg, kSecond))
        << "the only stop left stays";
}

TEST_F(DialogKeys, AnEditReachedWithTabHasItsTextSelected) {
    SetDlgItemText(dlg, kSecond, "345");
    SetFocus(GetDlgItem(dlg, kCheck));
    ASSERT_EQ(press_key(dlg, VK_TAB), kSecond);
    DWORD start = 0, end = 0;
    SendDlgItemMessage(dlg, kSecond, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
}

}  // namespace
