// Property sheets answered through the question hook: the start page, pages
// made when first shown, the notifications each page gets on leaving, OK,
// Cancel and Apply, and pages that refuse.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::QuestionRecorder;

constexpr int kEdit = 101;
constexpr int kPages = 3;

const DIALOGITEM kItems[] = {
    {"STATIC", "Name", -1, 5, 5, 40, 8, SS_LEFT, 0},
    {"EDIT", "", kEdit, 50, 4, 80, 12, ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 0},
};
// Two registered templates (one a captioned popup, as templates often are)
// and one given directly; the third is the largest.
const DIALOGTEMPLATE kUser{"User", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                           0,      0,
                           0,      180,
                           80,     nullptr,
                           8,      kItems,
                           2};
const DIALOGTEMPLATE kNewFiles{
    "New Files", WS_CHILD | DS_CONTROL, 0, 0, 0, 200, 90, nullptr, 8, kItems, 2};
const DIALOGTEMPLATE kThreads{"Threads", WS_CHILD, 0, 0, 0, 220, 100, nullptr, 8, kItems, 2};

// What the pages did, as "<page>:<event>", and how they answer.
struct Pages {
    std::vector<std::string> events;
    bool refuse_leave[kPages] = {false, false, false};
    LRESULT apply_answer[kPages] = {PSNRET_NOERROR, PSNRET_NOERROR, PSNRET_NOERROR};
    LPARAM init_param[kPages] = {0, 0, 0};
    bool enter_on_init = false;  // the first page made presses Enter in its edit
};
Pages g_pages;

std::string event_name(UINT code, LPARAM lp) {
    switch (code) {
        case PSN_SETACTIVE:
            return "setactive";
        case PSN_KILLACTIVE:
            return "killactive";
        case PSN_APPLY:
            return lp ? "apply(ok)" : "apply(now)";
        case PSN_RESET:
            return "reset";
        case PSN_QUERYCANCEL:
            return "querycancel";
        default:
            return "other";
    }
}

constexpr UINT_PTR kGiveUp = 77;

INT_PTR CALLBACK page_proc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kGiveUp) {  // the key went nowhere: end the sheet anyway
        KillTimer(page, kGiveUp);
        PropSheet_PressButton(GetParent(page), PSBTN_CANCEL);
        return TRUE;
    }
    if (msg == WM_INITDIALOG && g_pages.enter_on_init) {
        g_pages.enter_on_init = false;
        PlatformSimulateKey(GetDlgItem(page, kEdit), VK_RETURN, TRUE, FALSE);
        SetTimer(page, kGiveUp, 5000, nullptr);
    }
    if (msg == WM_INITDIALOG) {
        auto* psp = reinterpret_cast<PROPSHEETPAGE*>(lp);
        int index = int(psp->lParam % 10);
        g_pages.init_param[index] = psp->lParam;
        SetWindowLongPtr(page, DWLP_USER, index);
        g_pages.events.push_back(std::to_string(index) + ":init");
        return TRUE;
    }
    if (msg != WM_NOTIFY) return FALSE;
    int index = int(GetWindowLongPtr(page, DWLP_USER));
    auto* n = reinterpret_cast<PSHNOTIFY*>(lp);
    g_pages.events.push_back(std::to_string(index) + ":" + event_name(n->hdr.code, n->lParam));
    LRESULT answer = 0;
    if (n->hdr.code == PSN_KILLACTIVE) answer = g_pages.refuse_leave[index];
    if (n->hdr.code == PSN_APPLY) answer = g_pages.apply_answer[index];
    SetWindowLongPtr(page, DWLP_MSGRESULT, answer);
    return TRUE;
}

class PropSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_pages = Pages{};
        HINSTANCE inst = GetModuleHandle(nullptr);
        PlatformAddData(inst, RT_DIALOG_NAME, MAKEINTRESOURCE(119), &kUser, sizeof kUser);
        PlatformAddData(inst, RT_DIALOG_NAME, "NEWFILESPAGE", &kNewFiles, sizeof kNewFiles);
        PlatformAddString(inst, 9120, "New Files");
        owner = testing_support::make_parent_window("SheetOwner", DefWindowProc, 640, 480);
        for (int i = 0; i < kPages; ++i) {
            PROPSHEETPAGE& p = pages[i];
            p = PROPSHEETPAGE{};
            p.dwSize = sizeof p;
            p.hInstance = inst;
            p.pfnDlgProc = page_proc;
            p.lParam = 40 + i;  // the page index in the last digit
        }
        pages[0].pszTemplate = MAKEINTRESOURCE(119);
        pages[1].pszTemplate = "NEWFILESPAGE";
        pages[1].dwFlags = PSP_USETITLE;
        pages[1].pszTitle = MAKEINTRESOURCE(9120);
        pages[2].dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
        pages[2].pResource = &kThreads;
        pages[2].pszTitle = "Threads";
        header = PROPSHEETHEADER{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
        header.hwndParent = owner;
        header.hInstance = inst;
        header.pszCaption = "Test Options";
        header.nPages = kPages;
        header.ppsp = pages;
    }
    void TearDown() override { DestroyWindow(owner); }

    // Runs the sheet; the hook's steps answer the first, second, ... question.
    INT_PTR run(std::vector<std::function<INT_PTR(HWND)>> steps) {
        QuestionRecorder rec;
        size_t asked = 0;
        rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
            auto sheet = static_cast<HWND>(q->data);
            caption = q->caption;
            kind = q->kind;
            return asked < steps.size() ? steps[asked++](sheet) : IDCANCEL;
        };
        INT_PTR r = PropertySheet(&header);
        questions = asked;
        return r;
    }
    static int current(HWND sheet) {
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        for (int i = 0; i < kPages; ++i)
            if (page && PropSheet_IndexToHwnd(sheet, i) == page) return i;
        return -1;
    }
    std::vector<std::string> events() { return g_pages.events; }

    HWND owner = nullptr;
    PROPSHEETPAGE pages[kPages];
    PROPSHEETHEADER header{};
    std::string caption, kind;
    size_t questions = 0;
};

TEST_F(PropSheetTest, OpensOnTheStartPageAndMakesOnlyThePagesShown) {
    header.nStartPage = 2;
    int shown = -2;
    HWND first = reinterpret_cast<HWND>(1), tabs = nullptr, apply = reinterpret_cast<HWND>(1);
    LRESULT tab_count = 0;
    INT_PTR r = run({[&](HWND sheet) {
        shown = current(sheet);
        first = PropSheet_IndexToHwnd(sheet, 0);
        tabs = PropSheet_GetTabControl(sheet);
        tab_count = SendMessage(tabs, TCM_GETITEMCOUNT, 0, 0);
        apply = GetDlgItem(sheet, ID_APPLY_NOW);
        HWND page = PropSheet_IndexToHwnd(sheet, 2);
        EXPECT_EQ(GetParent(page), sheet);
        EXPECT_TRUE(GetWindowLong(page, GWL_STYLE) & WS_CHILD);
        EXPECT_EQ(SendMessage(tabs, TCM_GETCURSEL, 0, 0), 2);
        return IDCANCEL;
    }});
    EXPECT_EQ(r, 0);
    EXPECT_EQ(kind, "Dialog");
    EXPECT_EQ(caption, "Test Options");
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(first, nullptr) << "a page not shown is not made";
    EXPECT_NE(tabs, nullptr);
    EXPECT_EQ(tab_count, kPages);
    EXPECT_EQ(apply, nullptr) << "PSH_NOAPPLYNOW";
    EXPECT_EQ(g_pages.init_param[2], 42) << "WM_INITDIALOG points at the page's record";
    EXPECT_EQ(events(),
              (std::vector<std::string>{"2:init", "2:setactive", "2:querycancel", "2:reset"}));
}

TEST_F(PropSheetTest, OkAppliesEveryPageMadeInPageOrder) {
    INT_PTR r = run({[&](HWND sheet) {
        EXPECT_TRUE(PropSheet_SetCurSel(sheet, nullptr, 2));
        EXPECT_EQ(current(sheet), 2);
        EXPECT_FALSE(IsWindowVisible(PropSheet_IndexToHwnd(sheet, 0)) &&
                     IsWindowVisible(PropSheet_IndexToHwnd(sheet, 2)))
            << "one page shows at a time";
        return IDOK;
    }});
    EXPECT_EQ(r, 1);
    EXPECT_EQ(events(), (std::vector<std::string>{"0:init", "0:setactive", "0:killactive", "2:init",
                                                  "2:setactive", "2:killactive", "0:apply(ok)",
                                                  "2:apply(ok)"}));
}

TEST_F(PropSheetTest, CancelResetsEveryPageMadeAndAppliesNone) {
    INT_PTR r = run({[&](HWND sheet) {
        PropSheet_SetCurSel(sheet, nullptr, 1);
        return IDCANCEL;
    }});
    EXPECT_EQ(r, 0);
    EXPECT_EQ(events(),
              (std::vector<std::string>{"0:init", "0:setactive", "0:killactive", "1:init",
                                        "1:setactive", "1:querycancel", "0:reset", "1:reset"}));
}

TEST_F(PropSheetTest, APageThatRefusesToBeLeftKeepsTheSheetOnIt) {
    g_pages.refuse_leave[0] = true;
    int after_select = -1, after_click = -1, after_allowed = -1;
    INT_PTR r = run({[&](HWND sheet) {
                         EXPECT_FALSE(PropSheet_SetCurSel(sheet, nullptr, 1));
                         after_select = current(sheet);
                         // A click on the second tab is refused the same way.
                         HWND tabs = PropSheet_GetTabControl(sheet);
                         RECT rc{};
                         EXPECT_TRUE(SendMessage(tabs, TCM_GETITEMRECT, 1, LPARAM(&rc)));
                         PlatformSimulateMouse(tabs, WM_LBUTTONDOWN, (rc.left + rc.right) / 2,
                                               (rc.top + rc.bottom) / 2, 0);
                         after_click = current(sheet);
                         EXPECT_EQ(SendMessage(tabs, TCM_GETCURSEL, 0, 0), 0);
                         g_pages.refuse_leave[0] = false;
                         PlatformSimulateMouse(tabs, WM_LBUTTONDOWN, (rc.left + rc.right) / 2,
                                               (rc.top + rc.bottom) / 2, 0);
                         after_allowed = current(sheet);
                         g_pages.refuse_leave[1] = true;
                         return IDOK;  // refused as well: the sheet stays open
                     },
                     [&](HWND) { return IDCANCEL; }});
    EXPECT_EQ(r, 0);
    EXPECT_EQ(questions, 2u);
    EXPECT_EQ(after_select, 0);
    EXPECT_EQ(after_click, 0);
    EXPECT_EQ(after_allowed, 1);
    for (const std::string& e : events()) EXPECT_EQ(e.find("apply"), std::string::npos) << e;
}

struct InvalidCase {
    const char* name;
    LRESULT answer;
    int page_after;  // shown after the refused OK
};

class ApplyRefusal : public PropSheetTest, public ::testing::WithParamInterface<InvalidCase> {};

TEST_P(ApplyRefusal, StopsTheApplyAndKeepsTheSheetOpen) {
    const InvalidCase& c = GetParam();
    g_pages.apply_answer[1] = c.answer;
    int shown_after = -1;
    INT_PTR r = run({[&](HWND sheet) {
                         PropSheet_SetCurSel(sheet, nullptr, 1);
                         PropSheet_SetCurSel(sheet, nullptr, 2);
                         g_pages.events.clear();
                         return IDOK;
                     },
                     [&](HWND sheet) {
                         shown_after = current(sheet);
                         g_pages.apply_answer[1] = PSNRET_NOERROR;
                         g_pages.events.push_back("-");
                         return IDOK;
                     }});
    EXPECT_EQ(r, 1);
    EXPECT_EQ(shown_after, c.page_after);
    std::vector<std::string> first{"2:killactive", "0:apply(ok)", "1:apply(ok)"};
    if (c.page_after == 1) first.insert(first.end(), {"1:setactive"});
    first.push_back("-");
    std::string last_page = std::to_string(c.page_after);
    first.insert(first.end(),
                 {last_page + ":killactive", "0:apply(ok)", "1:apply(ok)", "2:apply(ok)"});
    EXPECT_EQ(events(), first);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ApplyRefusal,
    ::testing::Values(InvalidCase{"invalid", PSNRET_INVALID, 1},
                      InvalidCase{"invalid_nochangepage", PSNRET_INVALID_NOCHANGEPAGE, 2}),
    [](const ::testing::TestParamInfo<InvalidCase>& i) { return std::string(i.param.name); });

TEST_F(PropSheetTest, ApplyIsEnabledByAChangeAndAppliesWithoutClosing) {
    header.dwFlags = PSH_PROPSHEETPAGE;
    bool enabled_at_start = true, enabled_after_change = false, enabled_after_apply = true;
    INT_PTR r = run({[&](HWND sheet) {
        HWND apply = GetDlgItem(sheet, ID_APPLY_NOW);
        EXPECT_NE(apply, nullptr);
        enabled_at_start = IsWindowEnabled(apply);
        PropSheet_Changed(sheet, PropSheet_GetCurrentPageHwnd(sheet));
        enabled_after_change = IsWindowEnabled(apply);
        PropSheet_PressButton(sheet, PSBTN_APPLYNOW);
        enabled_after_apply = IsWindowEnabled(apply);
        EXPECT_TRUE(IsWindow(sheet)) << "Apply leaves the sheet open";
        return IDCANCEL;
    }});
    EXPECT_EQ(r, 0) << "cancelled after all";
    EXPECT_FALSE(enabled_at_start);
    EXPECT_TRUE(enabled_after_change);
    EXPECT_FALSE(enabled_after_apply);
    EXPECT_EQ(events(), (std::vector<std::string>{"0:init", "0:setactive", "0:killactive",
                                                  "0:apply(now)", "0:querycancel", "0:reset"}));
}

TEST_F(PropSheetTest, PagesFillTheSheetsDisplayAreaOfTheLargestPage) {
    header.nStartPage = 7;  // out of range: the first page
    RECT page_rc{}, sheet_rc{};
    int shown = -1;
    run({[&](HWND sheet) {
        shown = current(sheet);
        GetClientRect(PropSheet_GetCurrentPageHwnd(sheet), &page_rc);
        GetClientRect(sheet, &sheet_rc);
        return IDCANCEL;
    }});
    EXPECT_EQ(shown, 0);
    EXPECT_GE(page_rc.right, 220 * 6 / 4);
    EXPECT_GE(page_rc.bottom, 100 * 13 / 8);
    EXPECT_LE(page_rc.right, 220 * 6 / 4 + 4) << "no larger than it needs";
    EXPECT_GT(sheet_rc.bottom, page_rc.bottom + 23) << "room for the buttons";
}

TEST_F(PropSheetTest, EnterInAPageConfirmsTheSheet) {
    // No hook: the sheet's own loop takes the key.
    g_pages.enter_on_init = true;
    EXPECT_EQ(PropertySheet(&header), 1);
    EXPECT_EQ(events().back(), "0:apply(ok)");
}

TEST_F(PropSheetTest, MissingTemplatesAndOtherHeadersAreRefusedWithoutAsking) {
    QuestionRecorder rec;
    pages[1].pszTemplate = "NOSUCHPAGE";
    EXPECT_EQ(PropertySheet(&header), -1);
    pages[1].pszTemplate = "NEWFILESPAGE";
    header.dwFlags = PSH_NOAPPLYNOW;  // pages given as handles: not offered
    EXPECT_EQ(PropertySheet(&header), -1);
    header.dwFlags = PSH_PROPSHEETPAGE;
    header.nPages = 0;
    EXPECT_EQ(PropertySheet(&header), -1);
    EXPECT_EQ(PropertySheet(nullptr), -1);
    EXPECT_TRUE(rec.asked.empty());
    EXPECT_TRUE(g_pages.events.empty());
}

}  // namespace
