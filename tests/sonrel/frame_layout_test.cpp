// The frame's placement, its children and their layout.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>

#include <string>

#include "operations.h"
#include "shell_fixture.h"

using namespace shelltest;

namespace {

std::string class_of(HWND w) {
    char name[64] = {};
    GetClassName(w, name, sizeof name);
    return name;
}

void expect_rect(HWND w, int x, int y, int cx, int cy, const char* what) {
    RECT r = child_rect(w);
    EXPECT_EQ(r.left, x) << what;
    EXPECT_EQ(r.top, y) << what;
    EXPECT_EQ(r.right - r.left, cx) << what;
    EXPECT_EQ(r.bottom - r.top, cy) << what;
}

}  // namespace

TEST(FrameLayout, WithoutSettingsTheFrameStartsAtTheOriginWithTheDefaultSizeAndPreview) {
    Shell s;
    ASSERT_TRUE(s.frame);
    RECT r{};
    GetWindowRect(s.frame, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom - r.top, 480);
    // 640 is asked for; the minimum track width of 650 wins.
    EXPECT_EQ(r.right - r.left, 650);
    EXPECT_FALSE(IsZoomed(s.frame));
    EXPECT_FALSE(IsIconic(s.frame));
    RECT c{};
    GetClientRect(s.frame, &c);
    expect_rect(g_shell.preview, 0, c.bottom - 100 - 22, c.right - 20, 100, "preview height 100");
}

TEST(FrameLayout, StoredPlacementIsWhereTheFrameStarts) {
    Shell s(Settings{{"Sonrel\\Settings\\Main\\X", "30"},
                     {"Sonrel\\Settings\\Main\\Y", "40"},
                     {"Sonrel\\Settings\\Main\\Width", "700"},
                     {"Sonrel\\Settings\\Main\\Height", "500"}});
    ASSERT_TRUE(s.frame);
    RECT r{};
    GetWindowRect(s.frame, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_EQ(r.bottom - r.top, 500);
}

TEST(FrameLayout, TheChildrenAreOfTheirClassesWithTheirIds) {
    Shell s;
    struct {
        HWND w;
        const char* cls;
        int id;
        bool visible;
    } rows[] = {
        {g_shell.mdiClient, "MDICLIENT", 3244, true}, {g_shell.iconBar, "IconBar", 101, true},
        {g_shell.selectBar, "SELECTBAR", 101, true},  {g_shell.statusBar, "StatusBar", 101, true},
        {g_shell.preview, "Preview", 101, true},      {g_shell.switchBar, "Switch", 108, true},
        {g_shell.posBar, "PosBar", 102, true},        {g_shell.threadMan, "ThreadMan", 103, false},
        {g_shell.cdPlayer, "CDPlayer", 108, false},   {g_shell.funcBar, "FuncBar", 103, true},
    };
    for (const auto& r : rows) {
        ASSERT_TRUE(IsWindow(r.w)) << r.cls;
        EXPECT_EQ(class_of(r.w), r.cls);
        EXPECT_EQ(GetParent(r.w), s.frame) << r.cls;
        EXPECT_EQ(GetDlgCtrlID(r.w), r.id) << r.cls;
        EXPECT_EQ(IsWindowVisible(r.w) != 0, r.visible) << r.cls;
    }
    EXPECT_FALSE(g_shell.threadManShown);
    EXPECT_EQ(GetMenu(s.frame), g_shell.startMenu) << "no document: the start menu";
}

TEST(FrameLayout, ResizingLaysTheChildrenOutForTheNewClientSize) {
    Shell s;
    write_setting("Sonrel\\Settings\\PreviewSize", "120");
    SetWindowPos(s.frame, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT c{};
    GetClientRect(s.frame, &c);
    int w = c.right, h = c.bottom, p = 120;
    RECT mdiBefore = child_rect(g_shell.mdiClient);
    expect_rect(g_shell.mdiClient, mdiBefore.left, mdiBefore.top, w - 50, h - p - 93, "MDI client");
    EXPECT_EQ(mdiBefore.left, 50) << "the MDI client keeps its place";
    expect_rect(g_shell.iconBar, 0, 0, w, 32, "icon bar");
    expect_rect(g_shell.selectBar, 0, 29, w, 18, "select bar");
    expect_rect(g_shell.preview, 0, h - p - 22, w - 20, p, "preview bar");
    expect_rect(g_shell.switchBar, w - 20, h - p - 22, 20, p, "switch");
    expect_rect(g_shell.threadMan, 0, h - p - 20, w - 20, p - 13, "thread manager");
    expect_rect(g_shell.posBar, 0, h - p - 46, w, 25, "position bar");
    expect_rect(g_shell.statusBar, 0, h - 22, w, 22, "status bar");
    expect_rect(g_shell.funcBar, 0, 46, 50, h - p - 93, "function bar");
}

TEST(FrameLayout, TheFrameCannotBeMadeSmallerThanItsMinimum) {
    Shell s;
    SetWindowPos(s.frame, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    RECT r{};
    GetWindowRect(s.frame, &r);
    EXPECT_EQ(r.right - r.left, 650);
    EXPECT_EQ(r.bottom - r.top, 380);
    MINMAXINFO mmi{};
    SendMessage(s.frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 650);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 380);
}

TEST(FrameLayout, TheLayoutRequestStoresThePreviewHeightAndKeepsPreviewAndStatusBar) {
    Shell s;
    SetWindowPos(s.frame, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    RECT preview = child_rect(g_shell.preview), status = child_rect(g_shell.statusBar);
    SendMessage(s.frame, UM_LAYOUT, 150, 0);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\PreviewSize", 0), 150);
    RECT c{};
    GetClientRect(s.frame, &c);
    int w = c.right, h = c.bottom, p = 150;
    expect_rect(g_shell.mdiClient, 50, 46, w - 50, h - p - 93, "MDI client");
    expect_rect(g_shell.posBar, 0, h - p - 46, w, 25, "position bar");
    expect_rect(g_shell.switchBar, w - 20, h - p - 22, 20, p, "switch");
    expect_rect(g_shell.threadMan, 0, h - p - 20, w - 20, p - 13, "thread manager");
    expect_rect(g_shell.funcBar, 0, 46, 50, h - p - 93, "function bar");
    RECT previewAfter = child_rect(g_shell.preview), statusAfter = child_rect(g_shell.statusBar);
    EXPECT_EQ(previewAfter.top, preview.top);
    EXPECT_EQ(previewAfter.bottom, preview.bottom);
    EXPECT_EQ(statusAfter.top, status.top);
}

TEST(FrameLayout, FrameMessagesNameTheFramesWindowsAndMenus) {
    Shell s;
    auto ask = [&](UINT msg) { return SendMessage(s.frame, msg, 0, 0); };
    EXPECT_EQ(ask(UM_GETSTATUSBAR), reinterpret_cast<LRESULT>(g_shell.statusBar));
    EXPECT_EQ(ask(UM_GETICONBAR), reinterpret_cast<LRESULT>(g_shell.iconBar));
    EXPECT_EQ(ask(UM_GETMDICLIENT), reinterpret_cast<LRESULT>(g_shell.mdiClient));
    EXPECT_EQ(ask(UM_GETPREVIEW), reinterpret_cast<LRESULT>(g_shell.preview));
    EXPECT_EQ(ask(UM_GETSELECTBAR), reinterpret_cast<LRESULT>(g_shell.selectBar));
    EXPECT_EQ(ask(UM_GETPOSBAR), reinterpret_cast<LRESULT>(g_shell.posBar));
    EXPECT_EQ(ask(UM_GETTHREADMAN), reinterpret_cast<LRESULT>(g_shell.threadMan));
    EXPECT_EQ(ask(UM_GETWINDOWPOPUP), reinterpret_cast<LRESULT>(g_shell.windowPopup));
    EXPECT_EQ(ask(UM_GETSTARTMENU), reinterpret_cast<LRESULT>(g_shell.startMenu));
    EXPECT_EQ(ask(UM_GETEXTMENU), reinterpret_cast<LRESULT>(g_shell.extensionsPopup));
    EXPECT_EQ(ask(UM_GETACTIVEDOC), 0);
    EXPECT_TRUE(IsMenu(g_shell.windowPopup));
    char text[64];
    GetMenuString(g_shell.windowPopup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Thread Manager");
    EXPECT_EQ(GetMenuState(g_shell.windowPopup, IDM_CDPLAYER, MF_BYCOMMAND) & MF_CHECKED, 0u)
        << "the CD player is hidden without the setting";
}
