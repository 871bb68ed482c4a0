// Dialogs made from templates: placement in dialog units, WM_INITDIALOG, the
// modal loop (posted and sent messages, keys, the disabled owner), modeless
// dialogs, and modal dialogs answered through the question hook.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <atomic>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::QuestionRecorder;

constexpr int kEdit = 100;
constexpr int kLabel = 101;
constexpr int kDefault = 7;
constexpr UINT kPostedEnd = WM_USER + 5;  // ends the dialog with its wParam
constexpr UINT kSentEnd = WM_USER + 6;    // ends the dialog with its wParam

const DIALOGITEM kItems[] = {
    {"STATIC", "&Name:", kLabel, 10, 16, 40, 8, SS_LEFT, 0},
    {"EDIT", "", kEdit, 60, 14, 80, 12, ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 0},
    {"BUTTON", "OK", IDOK, 40, 40, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 100, 40, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "Apply", kDefault, 160, 40, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
};
const DIALOGTEMPLATE kTemplate{"Name Entry",
                               DS_MODALFRAME | WS_CAPTION | WS_SYSMENU,
                               0,
                               20,
                               10,
                               220,
                               60,
                               nullptr,
                               8,
                               kItems,
                               5};

// What the test procedure saw.
struct Seen {
    LPARAM init_param = 0;
    HWND init_focus = nullptr;
    std::vector<int> commands;  // LOWORD(wParam) of each WM_COMMAND, in order
    std::string edit_at_ok;
    BOOL owner_enabled_inside = TRUE;
    HWND owner = nullptr;
    bool end_on_command = true;
};
Seen g_seen;

INT_PTR CALLBACK test_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            g_seen.init_param = lp;
            g_seen.init_focus = reinterpret_cast<HWND>(wp);
            if (lp) SetDlgItemText(dlg, kEdit, reinterpret_cast<LPCSTR>(lp));
            return TRUE;
        case WM_COMMAND: {
            int id = LOWORD(wp);
            g_seen.commands.push_back(id);
            if (!g_seen.end_on_command) return TRUE;
            if (id == IDOK) {
                char buf[64];
                GetDlgItemText(dlg, kEdit, buf, sizeof buf);
                g_seen.edit_at_ok = buf;
                EndDialog(dlg, IDOK);
            }
            if (id == IDCANCEL) EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        case kPostedEnd:
        case kSentEnd:
            g_seen.owner_enabled_inside = IsWindowEnabled(g_seen.owner);
            EndDialog(dlg, INT_PTR(wp));
            // A handled message answers its sender through DWLP_MSGRESULT.
            SetWindowLongPtr(dlg, DWLP_MSGRESULT, 1);
            return TRUE;
        default:
            return FALSE;
    }
}

HWND make_owner() {
    static bool registered = [] {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "DialogOwner";
        return RegisterClassEx(&wc) != 0;
    }();
    (void)registered;
    return CreateWindowEx(0, "DialogOwner", "owner", WS_OVERLAPPEDWINDOW, 100, 100, 600, 400,
                          nullptr, nullptr, nullptr, nullptr);
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = Seen{};
        owner = make_owner();
        g_seen.owner = owner;
        PlatformAddData(GetModuleHandle(nullptr), RT_DIALOG_NAME, "NAMEENTRY", &kTemplate,
                        sizeof kTemplate);
    }
    void TearDown() override { DestroyWindow(owner); }
    HWND owner = nullptr;
};

// Starting position of a child relative to its parent's client area.
POINT client_pos(HWND child, HWND parent) {
    RECT r;
    GetWindowRect(child, &r);
    POINT p{r.left, r.top};
    ScreenToClient(parent, &p);
    return p;
}

TEST_F(DialogTest, TemplatePlacesControlsInDialogUnitsAndSendsInitDialog) {
    const char* text = "initial";
    HWND dlg = CreateDialogParam(GetModuleHandle(nullptr), "NAMEENTRY", owner, test_proc,
                                 reinterpret_cast<LPARAM>(text));
    ASSERT_NE(dlg, nullptr);
    char cls[16];
    GetClassName(dlg, cls, sizeof cls);
    EXPECT_STREQ(cls, "#32770");
    EXPECT_EQ(GetParent(dlg), owner);
    RECT rc;
    GetClientRect(dlg, &rc);
    EXPECT_EQ(rc.right, 220 * 6 / 4);
    EXPECT_EQ(rc.bottom, 60 * 13 / 8);

    HWND label = GetDlgItem(dlg, kLabel);
    ASSERT_NE(label, nullptr);
    POINT p = client_pos(label, dlg);
    EXPECT_EQ(p.x, 10 * 6 / 4);
    EXPECT_EQ(p.y, 16 * 13 / 8);
    GetClientRect(label, &rc);
    EXPECT_EQ(rc.right, 40 * 6 / 4);
    EXPECT_EQ(rc.bottom, 8 * 13 / 8);

    EXPECT_EQ(g_seen.init_param, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(g_seen.init_focus, GetDlgItem(dlg, kEdit)) << "the first tab stop";
    char buf[32];
    EXPECT_EQ(GetDlgItemText(dlg, kEdit, buf, sizeof buf), 7u);
    EXPECT_STREQ(buf, "initial");
    GetDlgItemText(dlg, kLabel, buf, sizeof buf);
    EXPECT_STREQ(buf, "&Name:") << "the window text keeps the mnemonic mark";
    EXPECT_FALSE(IsWindowVisible(dlg)) << "the template has no WS_VISIBLE";
    DestroyWindow(dlg);
    EXPECT_FALSE(IsWindow(GetDlgItem(dlg, kEdit)));
}

TEST_F(DialogTest, TemplatePositionIsRelativeToTheOwnersClientArea) {
    HWND dlg = CreateDialogParam(nullptr, "NAMEENTRY", owner, test_proc, 0);
    ASSERT_NE(dlg, nullptr);
    POINT origin{0, 0};
    ClientToScreen(owner, &origin);
    RECT r;
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.left - origin.x, 20 * 6 / 4);
    EXPECT_EQ(r.top - origin.y, 10 * 13 / 8);
    DestroyWindow(dlg);
}

TEST_F(DialogTest, DefaultHandlingTurnsKeysAndCloseIntoCommands) {
    HWND dlg = CreateDialogParam(nullptr, "NAMEENTRY", owner, test_proc, 0);
    ASSERT_NE(dlg, nullptr);
    g_seen.end_on_command = false;
    SendMessage(dlg, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessage(dlg, WM_KEYDOWN, VK_RETURN, 0);
    SendMessage(dlg, WM_CLOSE, 0, 0);
    EXPECT_EQ(g_seen.commands, (std::vector<int>{IDCANCEL, kDefault, IDCANCEL}));
    EXPECT_TRUE(IsWindow(dlg)) << "only the procedure ends a dialog";
    EXPECT_EQ(LOWORD(SendMessage(dlg, DM_GETDEFID, 0, 0)), kDefault);
    SendMessage(dlg, DM_SETDEFID, IDOK, 0);
    SendMessage(dlg, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(g_seen.commands.back(), IDOK);
    DestroyWindow(dlg);
}

TEST_F(DialogTest, DisabledButtonsAreNotPressedByKeys) {
    HWND dlg = CreateDialogParam(nullptr, "NAMEENTRY", owner, test_proc, 0);
    ASSERT_NE(dlg, nullptr);
    g_seen.end_on_command = false;
    EnableWindow(GetDlgItem(dlg, IDCANCEL), FALSE);
    SendMessage(dlg, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(g_seen.commands.empty());
    DestroyWindow(dlg);
}

TEST_F(DialogTest, ModalLoopServesPostedMessagesAndDisablesTheOwner) {
    static auto proc = [](HWND dlg, UINT msg, WPARAM wp, LPARAM lp) -> INT_PTR {
        if (msg == WM_INITDIALOG) PostMessage(dlg, kPostedEnd, 42, 0);
        return test_proc(dlg, msg, wp, lp);
    };
    INT_PTR r = DialogBoxParam(nullptr, "NAMEENTRY", owner, proc, 0);
    EXPECT_EQ(r, 42);
    EXPECT_FALSE(g_seen.owner_enabled_inside);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "enabled again afterwards";
    EXPECT_EQ(FindWindow("#32770", "Name Entry"), nullptr) << "the dialog is gone";
}

DWORD send_end(LPVOID p) {
    // Waits for the dialog to exist, then asks it to end from this thread.
    HWND dlg = nullptr;
    for (int i = 0; i < 500 && !dlg; ++i) {
        dlg = FindWindow("#32770", "Name Entry");
        if (!dlg) Sleep(10);
    }
    return dlg ? DWORD(SendMessage(dlg, kSentEnd, 9, 0)) + 1 : 0;
}

TEST_F(DialogTest, ModalLoopServesMessagesSentFromOtherThreads) {
    HANDLE t = CreateThread(nullptr, 0, send_end, nullptr, 0, nullptr);
    INT_PTR r = DialogBoxParam(nullptr, "NAMEENTRY", owner, test_proc, 0);
    WaitForSingleObject(t, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(t, &code);
    CloseHandle(t);
    EXPECT_EQ(r, 9);
    EXPECT_EQ(code, 2u) << "the sender got the procedure's answer";
}

TEST_F(DialogTest, ModalDialogTakesClicksWhileItsOwnerIsDisabled) {
    static auto proc = [](HWND dlg, UINT msg, WPARAM wp, LPARAM lp) -> INT_PTR {
        if (msg == WM_INITDIALOG) PostMessage(dlg, WM_USER + 9, 0, 0);
        if (msg == WM_USER + 9) {
            SendDlgItemMessage(dlg, IDOK, BM_CLICK, 0, 0);
            if (g_seen.commands.empty()) EndDialog(dlg, -7);  // the click went nowhere
            return TRUE;
        }
        return test_proc(dlg, msg, wp, lp);
    };
    EXPECT_EQ(DialogBoxParam(nullptr, "NAMEENTRY", owner, proc, 0), IDOK);
}

TEST_F(DialogTest, EscapeOnAControlEndsTheModalLoopThroughCancel) {
    static auto proc = [](HWND dlg, UINT msg, WPARAM wp, LPARAM lp) -> INT_PTR {
        if (msg == WM_INITDIALOG)
            PlatformSimulateKey(GetDlgItem(dlg, kEdit), VK_ESCAPE, TRUE, FALSE);
        return test_proc(dlg, msg, wp, lp);
    };
    EXPECT_EQ(DialogBoxParam(nullptr, "NAMEENTRY", owner, proc, 0), IDCANCEL);
    EXPECT_EQ(g_seen.commands, std::vector<int>{IDCANCEL});
}

TEST_F(DialogTest, MissingTemplateGivesMinusOneWithoutAsking) {
    QuestionRecorder rec;
    EXPECT_EQ(DialogBoxParam(nullptr, "NOSUCHDIALOG", owner, test_proc, 0), -1);
    EXPECT_EQ(CreateDialogParam(nullptr, "NOSUCHDIALOG", owner, test_proc, 0), nullptr);
    EXPECT_TRUE(rec.asked.empty());
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogTest, HookSeesTheHiddenInitialisedDialogAndCanFillIt) {
    QuestionRecorder rec;
    HWND seen_dialog = nullptr;
    bool visible = true, owner_enabled = true;
    std::string text_at_ask;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        auto dlg = static_cast<HWND>(q->data);
        seen_dialog = dlg;
        visible = IsWindowVisible(dlg);
        owner_enabled = IsWindowEnabled(owner);
        char buf[64];
        GetDlgItemText(dlg, kEdit, buf, sizeof buf);
        text_at_ask = buf;
        SetDlgItemText(dlg, kEdit, "typed by the hook");
        return IDOK;
    };
    const char* start = "start";
    INT_PTR r = DialogBoxParam(nullptr, "NAMEENTRY", owner, test_proc, LPARAM(start));
    EXPECT_EQ(r, IDOK);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "Dialog");
    EXPECT_EQ(rec.asked[0].text, "NAMEENTRY");
    EXPECT_EQ(rec.asked[0].caption, "Name Entry");
    EXPECT_EQ(rec.asked[0].owner, owner);
    EXPECT_FALSE(visible);
    EXPECT_FALSE(owner_enabled);
    EXPECT_EQ(text_at_ask, "start") << "WM_INITDIALOG ran before the question";
    EXPECT_EQ(g_seen.edit_at_ok, "typed by the hook");
    EXPECT_FALSE(IsWindow(seen_dialog));
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogTest, HookThatPressesButtonsItselfIsNotAskedAgain) {
    QuestionRecorder rec;
    rec.on_ask = [](const PlatformQuestion* q) -> INT_PTR {
        auto dlg = static_cast<HWND>(q->data);
        SendMessage(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    LPARAM(GetDlgItem(dlg, IDCANCEL)));
        return IDOK;  // ignored: the dialog has ended
    };
    EXPECT_EQ(DialogBoxParam(nullptr, "NAMEENTRY", owner, test_proc, 0), IDCANCEL);
    EXPECT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(g_seen.commands, std::vector<int>{IDCANCEL});
}

TEST_F(DialogTest, DialogThatNeverEndsIsCancelledAfterAFewQuestions) {
    QuestionRecorder rec;
    rec.default_answer = kDefault;  // the procedure records it and stays open
    g_seen.end_on_command = false;
    EXPECT_EQ(DialogBoxParam(nullptr, "NAMEENTRY", owner, test_proc, 0), IDCANCEL);
    EXPECT_GE(rec.asked.size(), 2u);
    EXPECT_LE(rec.asked.size(), 10u);
    EXPECT_EQ(g_seen.commands.size(), rec.asked.size());
    for (int id : g_seen.commands) EXPECT_EQ(id, kDefault);
    EXPECT_EQ(FindWindow("#32770", "Name Entry"), nullptr);
}

TEST_F(DialogTest, EndDialogFromInitDialogNeedsNoLoopAndNoQuestion) {
    QuestionRecorder rec;
    static auto proc = [](HWND dlg, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) EndDialog(dlg, 5);
        return msg == WM_INITDIALOG;
    };
    EXPECT_EQ(DialogBoxParam(nullptr, "NAMEENTRY", owner, proc, 0), 5);
    EXPECT_TRUE(rec.asked.empty());
}

TEST(DialogUnits, BaseUnitsAndMapDialogRectAgree) {
    LONG base = GetDialogBaseUnits();
    EXPECT_EQ(LOWORD(base), 6);
    EXPECT_EQ(HIWORD(base), 13);
    RECT r{4, 8, 40, 16};
    ASSERT_TRUE(MapDialogRect(nullptr, &r));
    EXPECT_EQ(r.left, 6);
    EXPECT_EQ(r.top, 13);
    EXPECT_EQ(r.right, 60);
    EXPECT_EQ(r.bottom, 26);
}

}  // namespace
