// The icon bar and the function bar: their buttons, what a click sends to
// the frame, their tooltips, the busy animation, the CD player's check
// button; and the virtual desktop behind the documents.
#include "bars.h"

#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;

namespace {

HWND icon_toolbar() {
    return reinterpret_cast<HWND>(SendMessage(g_shell.iconBar, UM_GETICONTOOLBAR, 0, 0));
}

HWND func_toolbar() {
    return reinterpret_cast<HWND>(SendMessage(g_shell.funcBar, UM_GETFUNCTOOLBAR, 0, 0));
}

// The command ids of a toolbar's buttons in order, 0 for a separator.
std::vector<UINT> buttons(HWND tb) {
    std::vector<UINT> out;
    int n = int(SendMessage(tb, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        TBBUTTON b{};
        SendMessage(tb, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&b));
        out.push_back((b.fsStyle & BTNS_SEP) ? 0 : UINT(b.idCommand));
    }
    return out;
}

POINT centre_of(HWND tb, UINT id) {
    RECT r{};
    SendMessage(tb, TB_GETRECT, id, reinterpret_cast<LPARAM>(&r));
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

const std::vector<UINT> kIconBar = {0,   101, 102, 103, 510, 0,   301, 302,   303, 304,
                                    306, 305, 0,   229, 238, 0,   501, 503,   502, 505,
                                    0,   766, 0,   931, 201, 911, 0,   40011, 999, 0};
const std::vector<UINT> kFuncBar = {755, 923, 205, 206, 203, 227, 228, 234,
                                    232, 207, 231, 235, 208, 222, 236, 237};

struct BarCase {
    const char* name;
    HWND (*toolbar)();
    const std::vector<UINT>* ids;
};

class ToolbarButtons : public ::testing::TestWithParam<BarCase> {};

TEST_P(ToolbarButtons, HoldTheCommandsInOrderAndEachClickReachesTheFrame) {
    Shell s;
    HWND tb = GetParam().toolbar();
    ASSERT_TRUE(IsWindow(tb)) << GetParam().name;
    ASSERT_EQ(buttons(tb), *GetParam().ids);
    CommandSpy spy(s.frame);
    for (UINT id : *GetParam().ids) {
        if (!id) continue;
        spy.commands.clear();
        POINT c = centre_of(tb, id);
        ASSERT_TRUE(PlatformSimulateMouse(tb, WM_LBUTTONDOWN, c.x, c.y, 0));
        ASSERT_TRUE(PlatformSimulateMouse(tb, WM_LBUTTONUP, c.x, c.y, 0));
        EXPECT_EQ(spy.commands, std::vector<UINT>{id}) << GetParam().name << " button " << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Bars, ToolbarButtons,
                         ::testing::Values(BarCase{"icon bar", icon_toolbar, &kIconBar},
                                           BarCase{"function bar", func_toolbar, &kFuncBar}));

// Which commands a bar hands on to the frame.
struct ForwardCase {
    HWND* bar;
    WORD id;
    bool forwarded;
};

class CommandsOnTheBars : public ::testing::TestWithParam<ForwardCase> {};

TEST_P(CommandsOnTheBars, GoToTheFrameOnlyInTheirRange) {
    Shell s;
    CommandSpy spy(s.frame);
    SendMessage(*GetParam().bar, WM_COMMAND, GetParam().id, 0);
    EXPECT_EQ(spy.commands.size(), GetParam().forwarded ? 1u : 0u) << "command " << GetParam().id;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CommandsOnTheBars,
    ::testing::Values(
        ForwardCase{&g_shell.iconBar, 101, true}, ForwardCase{&g_shell.iconBar, 1999, true},
        ForwardCase{&g_shell.iconBar, 100, false},
        ForwardCase{&g_shell.iconBar, IDM_ICONBAR_CDTRACK, false},
        ForwardCase{&g_shell.iconBar, 40000, false}, ForwardCase{&g_shell.iconBar, 40011, true},
        ForwardCase{&g_shell.funcBar, 101, true}, ForwardCase{&g_shell.funcBar, 1999, true},
        ForwardCase{&g_shell.funcBar, 2000, false}, ForwardCase{&g_shell.funcBar, 40011, false},
        ForwardCase{&g_shell.selectBar, 3001, true}, ForwardCase{&g_shell.selectBar, 9998, true},
        ForwardCase{&g_shell.selectBar, IDM_ZOOM_50, false}));

std::string tip_at(HWND tb, UINT id) {
    char text[128] = {};
    POINT c = centre_of(tb, id);
    if (!PlatformShowToolTip(tb, c.x, c.y, text, sizeof text)) return "<none>";
    return text;
}

std::string string_of(UINT id) {
    char text[256] = {};
    LoadString(g_shell.instance, id, text, sizeof text);
    return text;
}

TEST(BarTooltips, FunctionBarTipsAreTheStringsTenThousandAboveTheCommand) {
    Shell s;
    EXPECT_EQ(tip_at(func_toolbar(), IDM_VOLUME), "Volume");
    EXPECT_EQ(tip_at(func_toolbar(), IDM_DOCK), "Dock / Undock");
    for (UINT id : kFuncBar) {
        std::string want = string_of(IDS_TOOLTIP_BASE + id);
        ASSERT_FALSE(want.empty()) << "string " << IDS_TOOLTIP_BASE + id;
        EXPECT_EQ(tip_at(func_toolbar(), id), want) << "button " << id;
    }
}

TEST(BarTooltips, IconBarTipsAreTheCommandStringsAfterTheLineBreak) {
    Shell s;
    EXPECT_EQ(tip_at(icon_toolbar(), IDM_OPEN), "Open File");
    for (UINT id : kIconBar) {
        if (!id) continue;
        std::string help = string_of(id);
        size_t cut = help.find('\r');
        ASSERT_NE(cut, std::string::npos) << "string " << id << " has a tooltip part";
        EXPECT_EQ(tip_at(icon_toolbar(), id), help.substr(cut + 1)) << "button " << id;
    }
}

TEST(IconBar, AnswersItsQueriesAndFollowsTheFrameWidth) {
    Shell s;
    HWND band = reinterpret_cast<HWND>(SendMessage(g_shell.iconBar, UM_GETMAINBAR, 0, 0));
    ASSERT_TRUE(IsWindow(band));
    char cls[32] = {}, title[32] = {};
    GetClassName(band, cls, sizeof cls);
    GetWindowText(band, title, sizeof title);
    EXPECT_STREQ(cls, "BARONE");
    EXPECT_STREQ(title, "Main Functions");
    GetClassName(icon_toolbar(), cls, sizeof cls);
    EXPECT_STREQ(cls, TOOLBARCLASSNAME);
    GetClassName(func_toolbar(), cls, sizeof cls);
    EXPECT_STREQ(cls, TOOLBARCLASSNAME);
    SendMessage(g_shell.iconBar, WM_SIZE, 0, MAKELPARAM(900, 32));
    RECT logo = child_rect(GetDlgItem(g_shell.iconBar, 102));
    RECT b = child_rect(band);
    EXPECT_EQ(logo.left, 870);
    EXPECT_EQ(logo.top, 1);
    EXPECT_EQ(b.right - b.left, 900);
    EXPECT_EQ(b.bottom - b.top, 29);
}

TEST(IconBar, TheBusyAnimationTurnsWhileOperationsRunAndRestsOnItsFirstFrame) {
    Shell s;
    HWND anim = GetDlgItem(GetDlgItem(g_shell.iconBar, 102), 8761);
    ASSERT_TRUE(IsWindow(anim));
    serve_until([&] { return !SendMessage(anim, ACM_ISPLAYING, 0, 0); });
    EXPECT_EQ(PlatformAnimateFrame(anim), 11) << "the clip played once at start and rests";
    SendMessage(s.frame, UM_THREADBEGIN, 0, IDS_NAME_VOLUME);
    SendMessage(s.frame, UM_THREADBEGIN, 0, IDS_NAME_VOLUME);
    ASSERT_TRUE(serve_until([&] { return SendMessage(anim, ACM_ISPLAYING, 0, 0) != 0; }));
    PlatformAnimateTick(anim, 30);
    EXPECT_TRUE(SendMessage(anim, ACM_ISPLAYING, 0, 0)) << "it plays without end";
    SendMessage(s.frame, UM_THREADEND, 12345, 0);
    PlatformProcessEvents();
    EXPECT_TRUE(SendMessage(anim, ACM_ISPLAYING, 0, 0)) << "one operation still runs";
    SendMessage(s.frame, UM_THREADEND, 12346, 0);
    ASSERT_TRUE(serve_until([&] { return !SendMessage(anim, ACM_ISPLAYING, 0, 0); }));
    EXPECT_EQ(PlatformAnimateFrame(anim), 0);
}

TEST(IconBar, TheCdButtonFollowsThePlayersVisibility) {
    for (const char* visible : {"0", "1"}) {
        Shell s(Settings{{SET_BOOLEAN_CDPLAYERVISIBLE.path, visible}});
        HWND tb = icon_toolbar();
        auto checked = [&] { return SendMessage(tb, TB_ISBUTTONCHECKED, IDM_CDPLAYER, 0) != 0; };
        EXPECT_EQ(checked(), IsWindowVisible(g_shell.cdPlayer) != 0)
            << "at start, visible=" << visible;
        command(s.frame, IDM_CDPLAYER);
        EXPECT_EQ(checked(), IsWindowVisible(g_shell.cdPlayer) != 0)
            << "after 766, visible=" << visible;
        POINT c = centre_of(tb, IDM_CDPLAYER);
        PlatformSimulateMouse(tb, WM_LBUTTONDOWN, c.x, c.y, 0);
        PlatformSimulateMouse(tb, WM_LBUTTONUP, c.x, c.y, 0);
        EXPECT_EQ(std::string(visible) == "1", IsWindowVisible(g_shell.cdPlayer) != 0)
            << "the button toggles it back";
        EXPECT_EQ(checked(), IsWindowVisible(g_shell.cdPlayer) != 0);
    }
}

TEST(FunctionBar, TheDockButtonStartsCheckedWhenTheSettingSaysDocked) {
    for (const char* docked : {"0", "1"}) {
        Shell s(Settings{{SET_FUNCBAR_DOCKED.path, docked}});
        EXPECT_EQ(SendMessage(func_toolbar(), TB_ISBUTTONCHECKED, IDM_DOCK, 0) != 0,
                  std::string(docked) == "1");
    }
}

TEST(FunctionBar, ItsCloseHidesIt) {
    Shell s;
    ASSERT_TRUE(IsWindowVisible(g_shell.funcBar));
    SendMessage(g_shell.funcBar, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(g_shell.funcBar));
}

// A pixel of the MDI client once it painted.
COLORREF client_pixel(int x, int y) {
    RECT rc{};
    GetClientRect(g_shell.mdiClient, &rc);
    UpdateWindow(g_shell.mdiClient);
    return PlatformWindowPixel(g_shell.mdiClient, x < 0 ? rc.right + x : x,
                               y < 0 ? rc.bottom + y : y);
}

// Any golden pixel where the release text stands, at the bottom right.
bool release_text_shown() {
    std::vector<DWORD> px(3000 * 2000);
    int w = 0, h = 0;
    PlatformReadWindowPixels(g_shell.mdiClient, px.data(), int(px.size()), &w, &h);
    for (int y = std::max(0, h - 16); y < h; ++y)
        for (int x = std::max(0, w - 140); x < w; ++x) {
            DWORD p = px[size_t(y) * w + x];
            if (((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 150 && (p & 0xFF) < 120)
                return true;
        }
    return false;
}

struct DesktopCase {
    const char* visible;
    const char* shine;
    COLORREF left;  // at (5, 5), in the filled part
    bool text;      // the release text at the bottom right
};

class VirtualDesktop : public ::testing::TestWithParam<DesktopCase> {};

TEST_P(VirtualDesktop, PaintsTheBackgroundTheSettingsAskFor) {
    const DesktopCase& c = GetParam();
    Shell s(
        {{SET_VIRTUALDESKTOP_VISIBLE.path, c.visible}, {SET_BOOLEAN_SHINETHROUGH.path, c.shine}});
    EXPECT_EQ(client_pixel(5, 5), c.left) << "visible " << c.visible << " shine " << c.shine;
    EXPECT_EQ(release_text_shown(), c.text) << "visible " << c.visible << " shine " << c.shine;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, VirtualDesktop,
    ::testing::Values(DesktopCase{"1", "0", RGB(0, 153, 204), true},
                      DesktopCase{"1", "1", GetSysColor(COLOR_APPWORKSPACE), true},
                      DesktopCase{"0", "0", GetSysColor(COLOR_APPWORKSPACE), false}));

TEST(VirtualDesktopMenu, OffersTheOptionsToTheFrame) {
    Shell s;
    testing_support::QuestionRecorder rec;
    std::string items;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        items = q->text ? q->text : "";
        return IDM_OPTIONS;
    };
    CommandSpy spy(s.frame);
    SendMessage(g_shell.mdiClient, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(serve_until([&] { return !spy.commands.empty(); }));
    EXPECT_EQ(spy.commands, std::vector<UINT>{IDM_OPTIONS});
    EXPECT_NE(items.find("&Options..."), std::string::npos);
}

TEST(RebuildPreview, RepaintsThePreviewBarWithoutErasingIt) {
    Shell s;
    UpdateWindow(g_shell.preview);
    RECT update{};
    ASSERT_FALSE(GetUpdateRect(g_shell.preview, &update, FALSE));
    command(s.frame, IDM_REBUILDPREVIEW);
    EXPECT_TRUE(GetUpdateRect(g_shell.preview, &update, FALSE));
}

}  // namespace

namespace {

TEST(FunctionBarMenu, TheContextMenuSendsItsCommandToTheFrame) {
    Shell s;
    testing_support::QuestionRecorder rec;
    std::string items;
    UINT def = 0;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        items = q->text ? q->text : "";
        def = GetMenuDefaultItem(static_cast<HMENU>(q->data), FALSE, 0);
        return IDM_NEW;
    };
    CommandSpy spy(s.frame);
    RECT rc{};
    GetClientRect(g_shell.funcBar, &rc);
    SendMessage(g_shell.funcBar, WM_RBUTTONUP, 0, MAKELPARAM(10, rc.bottom - 5));
    ASSERT_TRUE(serve_until([&] { return !spy.commands.empty(); }));
    EXPECT_EQ(spy.commands, std::vector<UINT>{IDM_NEW});
    EXPECT_NE(items.find("Close Sonrel2003"), std::string::npos) << items;
    EXPECT_NE(def, UINT(IDM_OPTIONS)) << "only the select bar's menu has a default item";
}

}  // namespace
