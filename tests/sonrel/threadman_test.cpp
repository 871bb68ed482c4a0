// The thread manager's list of running operations, its context menu and
// lifecycle, the switch between it and the preview bar, and the select bar's
// thread count drawn by the background thread.
#include "threadman.h"

#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <atomic>
#include <string>
#include <vector>

#include "operations.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;

namespace {

HWND list() {
    return GetDlgItem(g_shell.threadMan, THREADMAN_LIST_ID);
}

std::string item_text(int item, int sub) {
    char buf[300] = "unset";
    LVITEM it{};
    it.iSubItem = sub;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessage(list(), LVM_GETITEMTEXT, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    return buf;
}

LRESULT item_count() {
    return SendMessage(list(), LVM_GETITEMCOUNT, 0, 0);
}

std::string path_of(HWND doc) {
    auto* info = static_cast<const InfoBlock*>(GlobalLock(GetProp(doc, PROP_INFO)));
    std::string path = info ? info->path : "";
    GlobalUnlock(GetProp(doc, PROP_INFO));
    return path;
}

bool item_754_checked() {
    return (GetMenuState(g_shell.windowPopup, IDM_THREADMANAGER, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::string item_754_text() {
    char buf[64] = "";
    GetMenuString(g_shell.windowPopup, IDM_THREADMANAGER, buf, sizeof buf, MF_BYCOMMAND);
    return buf;
}

std::atomic<bool> g_release{false};

DWORD wait_for_release(LPVOID) {
    while (!g_release) Sleep(5);
    return 0;
}

// The pixels of the count box at the select bar's right end.
std::vector<DWORD> count_box() {
    std::vector<DWORD> all(4000 * 40);
    int w = 0, h = 0;
    PlatformReadWindowPixels(g_shell.selectBar, all.data(), int(all.size()), &w, &h);
    std::vector<DWORD> box;
    for (int y = 2; y < h - 1; ++y)
        for (int x = w - 99; x < w - 16; ++x) box.push_back(all[size_t(y) * w + x]);
    return box;
}

// Text on the box: more than one colour in it.
bool has_text(const std::vector<DWORD>& box) {
    for (DWORD p : box)
        if (p != box.front()) return true;
    return false;
}

}  // namespace

TEST(ThreadManager, HasTheThreeColumnsAndFitsItsWindow) {
    Shell s;
    ASSERT_TRUE(list());
    const char* names[] = {"Filter", "State", "Filename"};
    const int widths[] = {180, 80, 345};
    for (int c = 0; c < 3; ++c) {
        char buf[32] = "";
        LVCOLUMN col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = buf;
        col.cchTextMax = sizeof buf;
        ASSERT_TRUE(SendMessage(list(), LVM_GETCOLUMN, c, reinterpret_cast<LPARAM>(&col)));
        EXPECT_STREQ(buf, names[c]);
        EXPECT_EQ(col.cx, widths[c]);
        EXPECT_EQ(col.fmt, LVCFMT_LEFT);
    }
    HIMAGELIST images =
        reinterpret_cast<HIMAGELIST>(SendMessage(list(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 1);

    MoveWindow(g_shell.threadMan, 0, 300, 400, 120, TRUE);
    RECT r = child_rect(list());
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right - r.left, 390);
    EXPECT_EQ(r.bottom - r.top, 110);
}

TEST(ThreadManager, ListsTwoRunningEffectsWithNameStateAndFileThenNone) {
    Shell s;
    HWND first = open_document(s.frame, write_wave("tm_a.wav", {1, 2, 3, 4, 5, 6}));
    HWND second = open_document(s.frame, write_wave("tm_b.wav", {100, -200, 300, -400}));
    ASSERT_TRUE(first && second);
    // Holding both documents' guards keeps both effects running.
    ASSERT_TRUE(DocumentLockEnter(first));
    ASSERT_TRUE(DocumentLockEnter(second));
    SendMessage(g_shell.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
    SendMessage(s.frame, WM_COMMAND, IDM_REVERSE, 0);
    SendMessage(g_shell.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(second), 0);
    SendMessage(s.frame, WM_COMMAND, IDM_MAXVOLUME, 0);
    ASSERT_EQ(live_operations(), 2);

    SendMessage(g_shell.threadMan, UM_REFRESHLIST, 0, 0);
    ASSERT_EQ(item_count(), 2);
    EXPECT_EQ(item_text(0, 0), "Reverse - Filter");
    EXPECT_EQ(item_text(0, 1), "Running");
    EXPECT_EQ(item_text(0, 2), path_of(first));
    EXPECT_NE(item_text(0, 2).find("tm_a.wav"), std::string::npos);
    EXPECT_EQ(item_text(1, 0), "Peak Volume - Filter");
    EXPECT_EQ(item_text(1, 2), path_of(second));

    DocumentLockLeave(first);
    DocumentLockLeave(second);
    ASSERT_TRUE(serve_until([] { return live_operations() == 0 && g_operations.running == 0; }));
    // The background thread rebuilds the list too; ask once more to be sure.
    SendMessage(g_shell.threadMan, UM_REFRESHLIST, 0, 0);
    EXPECT_EQ(item_count(), 0);
}

TEST(ThreadManager, AnOperationWithoutADisplayNameIsListedWithoutOne) {
    Shell s;
    g_release = false;
    ASSERT_TRUE(StartOperation(wait_for_release, nullptr, IDS_NAME_ZEROIZE, nullptr));
    SendMessage(g_shell.threadMan, UM_REFRESHLIST, 0, 0);
    ASSERT_EQ(item_count(), 1);
    EXPECT_EQ(item_text(0, 0), "");
    EXPECT_EQ(item_text(0, 1), "Running");
    EXPECT_EQ(item_text(0, 2), "");
    g_release = true;
    SendMessage(s.frame, UM_THREADEND, g_operations.table[0].threadId, 0);
}

TEST(ThreadManager, ContextMenuOffersListMenuAndPassesTheChoiceToTheFrame) {
    Shell s;
    testing_support::QuestionRecorder q;
    std::string items;
    q.on_ask = [&](const PlatformQuestion* pq) -> INT_PTR {
        if (std::string(pq->kind) != "PopupMenu") return 0;
        items = pq->text;
        return IDM_THREADMANAGER;
    };
    ASSERT_FALSE(g_shell.threadManShown);
    SendMessage(g_shell.threadMan, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()),
                MAKELPARAM(10, 10));
    EXPECT_NE(items.find(std::to_string(IDM_THREADMANAGER) + "\t&Hide ThreadManager"),
              std::string::npos)
        << items;
    EXPECT_NE(items.find("503\tP&ause Thread"), std::string::npos);
    EXPECT_NE(items.find("502\t&Stop Thread"), std::string::npos);
    EXPECT_NE(items.find("104\tSave &as..."), std::string::npos);
    ASSERT_TRUE(serve_until([] { return g_shell.threadManShown != FALSE; }));
    EXPECT_TRUE(IsWindowVisible(g_shell.threadMan));
    EXPECT_TRUE(item_754_checked());
}

TEST(ThreadManager, DestructionUnchecksItsMenuItem) {
    Shell s;
    SendMessage(s.frame, WM_COMMAND, IDM_THREADMANAGER, 0);
    ASSERT_TRUE(item_754_checked());
    DestroyWindow(g_shell.threadMan);
    EXPECT_FALSE(item_754_checked());
    EXPECT_EQ(item_754_text(), "Thread Manager");
    EXPECT_FALSE(g_shell.threadManShown);
}

TEST(Switch, ClicksBelowTheUpperPartShowTheThreadsAndAboveThePreview) {
    Shell s;
    HWND sw = g_shell.switchBar;
    RECT rc{};
    GetClientRect(sw, &rc);
    ASSERT_GT(rc.bottom, 60);
    UpdateWindow(sw);
    COLORREF upperIdle = PlatformWindowPixel(sw, 3, 15);
    EXPECT_EQ(PlatformWindowPixel(sw, 5, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(PlatformWindowPixel(sw, 5, rc.bottom - 1), GetSysColor(COLOR_BTNSHADOW));

    SendMessage(sw, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, SWITCH_PREVIEW_PART + 1));
    EXPECT_TRUE(g_shell.threadManShown);
    EXPECT_TRUE(IsWindowVisible(g_shell.threadMan));
    EXPECT_TRUE(item_754_checked());
    UpdateWindow(sw);
    EXPECT_NE(PlatformWindowPixel(sw, 3, 15), upperIdle) << "the picture changed";

    SendMessage(sw, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, SWITCH_PREVIEW_PART));
    EXPECT_FALSE(g_shell.threadManShown);
    EXPECT_FALSE(IsWindowVisible(g_shell.threadMan));
    EXPECT_FALSE(item_754_checked());
    EXPECT_EQ(item_754_text(), "Thread Manager");
    UpdateWindow(sw);
    EXPECT_EQ(PlatformWindowPixel(sw, 3, 15), upperIdle);

    // The menu command and the switch keep one state.
    SendMessage(s.frame, WM_COMMAND, IDM_THREADMANAGER, 0);
    EXPECT_TRUE(g_shell.threadManShown);
    SendMessage(sw, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10));
    EXPECT_FALSE(g_shell.threadManShown);
    EXPECT_FALSE(item_754_checked());
}

TEST(ThreadCount, TheSelectBarShowsIdleThenBusyThenIdleAgain) {
    Shell s;
    ASSERT_TRUE(serve_until([] { return has_text(count_box()); }));
    std::vector<DWORD> idle = count_box();

    SendMessage(s.frame, UM_THREADBEGIN, 0, IDS_NAME_VOLUME);
    ASSERT_TRUE(serve_until([&] { return count_box() != idle; }));
    std::vector<DWORD> one = count_box();
    EXPECT_TRUE(has_text(one));
    SendMessage(s.frame, UM_THREADBEGIN, 0, IDS_NAME_VOLUME);
    SendMessage(s.frame, UM_THREADBEGIN, 0, IDS_NAME_VOLUME);
    ASSERT_TRUE(serve_until([&] {
        std::vector<DWORD> now = count_box();
        return now != idle && now != one;
    }));

    for (int i = 0; i < 3; ++i) SendMessage(s.frame, UM_THREADEND, 9999, 0);
    EXPECT_TRUE(serve_until([&] { return count_box() == idle; }))
        << "the idle text comes back at once, not at the next minute";
}

TEST(ThreadCount, TheBackgroundThreadEndsWithTheSelectBar) {
    {
        Shell s;
        EXPECT_EQ(ThreadCountThreads(), 1);
        DestroyWindow(g_shell.selectBar);
        EXPECT_EQ(ThreadCountThreads(), 0);
    }
    Shell again;
    EXPECT_EQ(ThreadCountThreads(), 1) << "a new select bar starts it again";
}
