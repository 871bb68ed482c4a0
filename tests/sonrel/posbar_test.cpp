// The position bar on the real frame: typed times taken as the mark, steps of
// the up-downs, the time under the mouse and while dragging, the buttons and
// the frame's commands, the fields following the documents, and the colours.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/posbar.h>

#include <string>

#include "bars_fixture.h"
#include "posbar_dialog.h"
#include "shell_fixture.h"
#include "waveview_fixture.h"

using namespace shelltest;
using namespace barstest;

namespace {

constexpr DWORD kCd = 176400;  // bytes per second, 16-bit stereo at 44100 Hz
constexpr DWORD kSeventySeconds = 70 * kCd;

struct Time {
    const char* minutes;
    const char* seconds;
    const char* milliseconds;
};

// The minutes, seconds and milliseconds fields of a group have consecutive ids.
void type_time(HWND dlg, int firstId, const Time& t) {
    SetDlgItemText(dlg, firstId, t.minutes);
    SetDlgItemText(dlg, firstId + 1, t.seconds);
    SetDlgItemText(dlg, firstId + 2, t.milliseconds);
}

std::string shown(HWND dlg, int firstId) {
    return item_text(dlg, firstId) + ":" + item_text(dlg, firstId + 1) + "." +
           item_text(dlg, firstId + 2);
}

void click(HWND dlg, int id) {
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    settle();
}

// One press on an up-down's upper (up) or lower (down) arrow.
void spin(HWND dlg, int id, bool up) {
    HWND s = GetDlgItem(dlg, id);
    RECT rc{};
    GetClientRect(s, &rc);
    const int y = up ? 1 : rc.bottom - 2;
    SendMessage(s, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.right / 2, y));
    SendMessage(s, WM_LBUTTONUP, 0, MAKELPARAM(rc.right / 2, y));
    settle();
}

struct CdDocument {
    Shell shell;
    HWND bar = g_shell.posBar;
    HWND dlg = PosBarDialog(g_shell.posBar);
    HWND doc = make_document(header_of(2, 44100, 16, kSeventySeconds), kSeventySeconds,
                             "/tmp/posbar/cd.wav");
};

}  // namespace

TEST(PosBar, TypedTimesBecomeTheMarkHeldWithinTheData) {
    struct Case {
        Time start, length;
        DWORD markStart, markLength;
        const char *startShown, *lengthShown, *what;
    } cases[] = {
        {{"01", "00", "000"},
         {"00", "00", "000"},
         10584000,
         0,
         "01:00.000",
         "00:00.000",
         "a start of 1 minute"},
        {{"00", "00", "001"},
         {"00", "01", "000"},
         176,
         kCd,
         "00:00.000",
         "00:01.000",
         "1 ms is 176 bytes, shown again as the 0.998 ms it is"},
        {{"02", "00", "000"},
         {"00", "00", "000"},
         kSeventySeconds,
         0,
         "01:10.000",
         "00:00.000",
         "a start beyond the end: at the data size"},
        {{"01", "00", "000"},
         {"00", "20", "000"},
         10584000,
         10 * kCd,
         "01:00.000",
         "00:10.000",
         "a length past the end ends at the data size"},
        {{"00", "00", "000"},
         {"05", "00", "000"},
         0,
         kSeventySeconds,
         "00:00.000",
         "01:10.000",
         "a length beyond the data: all of it"},
        {{"00", "00", "003"},
         {"00", "00", "003"},
         528,
         528,
         "00:00.002",
         "00:00.002",
         "529 bytes would split a frame: cut down to 528"},
        {{"0", "65", "5"},
         {"", "", "1"},
         11466880,
         176,
         "01:05.004",
         "00:00.000",
         "seconds beyond 59 count whole; short and empty fields are numbers"},
    };
    CdDocument d;
    ASSERT_TRUE(d.dlg);
    for (const Case& c : cases) {
        type_time(d.dlg, IDC_POSBAR_STARTMIN, c.start);
        type_time(d.dlg, IDC_POSBAR_LENGTHMIN, c.length);
        click(d.dlg, IDC_POSBAR_UPDATEMARK);
        const PositionBlock p = wvtest::position_of(d.doc);
        EXPECT_EQ(p.markStart, c.markStart) << c.what;
        EXPECT_EQ(p.markLength, c.markLength) << c.what;
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_STARTMIN), c.startShown) << c.what;
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_LENGTHMIN), c.lengthShown) << c.what;
    }
}

TEST(PosBar, EachStepOfAnUpDownRewritesItsFieldAndMovesTheMark) {
    CdDocument d;
    struct Step {
        int focus;  // the field clicked into before the step, or 0
        int spin;
        bool up;
        const char *start, *length;
        DWORD markStart, markLength;
    } steps[] = {
        {0, IDC_POSBAR_STARTSPIN, true, "00:01.000", "00:00.000", kCd, 0},
        {0, IDC_POSBAR_STARTSPIN, true, "00:02.000", "00:00.000", 2 * kCd, 0},
        {IDC_POSBAR_STARTMIN, IDC_POSBAR_STARTSPIN, true, "01:02.000", "00:00.000", 62 * kCd, 0},
        {IDC_POSBAR_STARTMIN, IDC_POSBAR_STARTSPIN, false, "00:02.000", "00:00.000", 2 * kCd, 0},
        {IDC_POSBAR_STARTMIN, IDC_POSBAR_STARTSPIN, false, "00:02.000", "00:00.000", 2 * kCd, 0},
        {IDC_POSBAR_LENGTHMS, IDC_POSBAR_LENGTHSPIN, true, "00:02.000", "00:00.001", 2 * kCd, 176},
        {0, IDC_POSBAR_LENGTHSPIN, true, "00:02.000", "00:00.002", 2 * kCd, 352},
        {IDC_POSBAR_LENGTHSEC, IDC_POSBAR_LENGTHSPIN, true, "00:02.000", "00:01.002", 2 * kCd,
         kCd + 352},
    };
    for (const Step& s : steps) {
        if (s.focus) SetFocus(GetDlgItem(d.dlg, s.focus));
        spin(d.dlg, s.spin, s.up);
        const PositionBlock p = wvtest::position_of(d.doc);
        const std::string what = "step to " + std::string(s.start) + " / " + s.length;
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_STARTMIN), s.start) << what;
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_LENGTHMIN), s.length) << what;
        EXPECT_EQ(p.markStart, s.markStart) << what;
        EXPECT_EQ(p.markLength, s.markLength) << what;
    }
}

TEST(PosBar, AnUpDownSpinsTheFocusedFieldOfItsGroupWithinThatFieldsRange) {
    CdDocument d;
    struct Case {
        int field, spin, lower, upper;
    } cases[] = {
        {IDC_POSBAR_STARTSEC, IDC_POSBAR_STARTSPIN, 0, 59},
        {IDC_POSBAR_STARTMS, IDC_POSBAR_STARTSPIN, 0, 999},
        {IDC_POSBAR_STARTMIN, IDC_POSBAR_STARTSPIN, 0, 99},
        {IDC_POSBAR_LENGTHMS, IDC_POSBAR_LENGTHSPIN, 0, 999},
        {IDC_POSBAR_LENGTHMIN, IDC_POSBAR_LENGTHSPIN, 0, 99},
    };
    for (const Case& c : cases) {
        SetFocus(GetDlgItem(d.dlg, c.field));
        HWND s = GetDlgItem(d.dlg, c.spin);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(s, UDM_GETBUDDY, 0, 0)),
                  GetDlgItem(d.dlg, c.field))
            << c.field;
        int lower = -1, upper = -1;
        SendMessage(s, UDM_GETRANGE32, WPARAM(&lower), LPARAM(&upper));
        EXPECT_EQ(lower, c.lower) << c.field;
        EXPECT_EQ(upper, c.upper) << c.field;
    }
    SetDlgItemText(d.dlg, IDC_POSBAR_STARTMIN, "98");
    SetFocus(GetDlgItem(d.dlg, IDC_POSBAR_STARTMIN));
    EXPECT_EQ(item_text(d.dlg, IDC_POSBAR_STARTMIN), "98") << "attaching leaves the text alone";
    spin(d.dlg, IDC_POSBAR_STARTSPIN, true);
    EXPECT_EQ(wvtest::position_of(d.doc).markStart, kSeventySeconds)
        << "a spun start beyond the end is held at the data size";
    EXPECT_EQ(shown(d.dlg, IDC_POSBAR_STARTMIN), "01:10.000") << "and shown as it is";
    fixtures::set_mark(d.doc, 0, 0);
    SetDlgItemText(d.dlg, IDC_POSBAR_STARTMIN, "99");
    spin(d.dlg, IDC_POSBAR_STARTSPIN, true);
    EXPECT_EQ(item_text(d.dlg, IDC_POSBAR_STARTMIN), "99") << "no step beyond the range";
    EXPECT_EQ(wvtest::position_of(d.doc).markStart, 0u) << "and no new mark";
}

TEST(PosBar, OnOpeningTheStartSecondsHaveTheFocusAndBothUpDownsSpinSeconds) {
    Shell s;
    HWND dlg = PosBarDialog(g_shell.posBar);
    ASSERT_TRUE(dlg);
    for (int spin : {IDC_POSBAR_STARTSPIN, IDC_POSBAR_LENGTHSPIN}) {
        HWND u = GetDlgItem(dlg, spin);
        HWND seconds = GetDlgItem(
            dlg, spin == IDC_POSBAR_STARTSPIN ? IDC_POSBAR_STARTSEC : IDC_POSBAR_LENGTHSEC);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(u, UDM_GETBUDDY, 0, 0)), seconds);
        int lower = -1, upper = -1;
        SendMessage(u, UDM_GETRANGE32, WPARAM(&lower), LPARAM(&upper));
        EXPECT_EQ(lower, 0);
        EXPECT_EQ(upper, 59);
    }
    for (int id :
         {IDC_POSBAR_STARTMIN, IDC_POSBAR_LENGTHMIN, IDC_POSBAR_STARTSEC, IDC_POSBAR_LENGTHSEC})
        EXPECT_EQ(item_text(dlg, id), "00") << id;
    EXPECT_EQ(item_text(dlg, IDC_POSBAR_STARTMS), "000");
    EXPECT_EQ(item_text(dlg, IDC_POSBAR_LENGTHMS), "000");
    struct Label {
        int id;
        const char* text;
    } labels[] = {
        {IDC_POSBAR_STARTLABEL, "Start:"},       {IDC_POSBAR_LENGTHLABEL, "Length:"},
        {IDC_POSBAR_POSITIONLABEL, "Position:"}, {IDC_POSBAR_STARTUNIT_M, "m"},
        {IDC_POSBAR_STARTUNIT_DOT, "."},         {IDC_POSBAR_STARTUNIT_S, "s"},
        {IDC_POSBAR_LENGTHUNIT_M, "m"},          {IDC_POSBAR_LENGTHUNIT_DOT, "."},
        {IDC_POSBAR_LENGTHUNIT_S, "s"},          {IDC_POSBAR_UPDATEMARK, "Update mark"},
        {IDC_POSBAR_MARKALL, "Mark all"},        {IDC_POSBAR_DESTROYMARK, "Destroy mark"}};
    for (const Label& l : labels) EXPECT_EQ(item_text(dlg, l.id), l.text);
}

TEST(PosBar, ShowsTheTimeUnderTheMouseAndWhileDraggingTheMarkFromThePress) {
    CdDocument d;
    fixtures::set_mark(d.doc, 30 * kCd, 0);  // the press
    struct Move {
        WPARAM dragging;
        DWORD offset;
        const char *position, *start, *length;
    } moves[] = {
        {0, 61 * kCd + kCd / 2, "01 m 01.500 s", "00:00.000", "00:00.000"},
        {1, 31 * kCd, "00 m 31.000 s", "00:30.000", "00:01.000"},
        {1, 40 * kCd + 176, "00 m 40.000 s", "00:30.000", "00:10.000"},
        {1, 29 * kCd, "00 m 29.000 s", "00:29.000", "00:01.000"},
        {1, 20 * kCd + kCd / 4, "00 m 20.250 s", "00:20.250", "00:09.750"},
        {1, 0, "00 m 00.000 s", "00:00.000", "00:30.000"},
        {0, kCd, "00 m 01.000 s", "00:00.000", "00:30.000"},
    };
    for (const Move& m : moves) {
        SendMessage(d.bar, UM_MOUSEPOS, m.dragging, LPARAM(m.offset));
        EXPECT_EQ(item_text(d.dlg, IDC_POSBAR_POSITION), std::string())
            << "posted on, not handled while the sender waits";
        settle();
        EXPECT_EQ(item_text(d.dlg, IDC_POSBAR_POSITION), m.position);
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_STARTMIN), m.start) << m.position;
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_LENGTHMIN), m.length) << m.position;
        SetDlgItemText(d.dlg, IDC_POSBAR_POSITION, "");
    }
    const PositionBlock p = wvtest::position_of(d.doc);
    EXPECT_EQ(p.markStart, 30 * kCd) << "the mouse's times leave the mark alone";
    EXPECT_EQ(p.markLength, 0u);
}

TEST(PosBar, WhileDraggingAStartWholeMinutesAwayIsShownToo) {
    CdDocument d;
    fixtures::set_mark(d.doc, 65 * kCd, 0);
    for (const auto& [offset, start] :
         {std::pair<DWORD, const char*>{62 * kCd, "01:02.000"}, {2 * kCd, "00:02.000"}}) {
        SendMessage(d.bar, UM_MOUSEPOS, 1, LPARAM(offset));
        settle();
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_STARTMIN), start)
            << "the same seconds and milliseconds, another minute";
    }
    EXPECT_EQ(shown(d.dlg, IDC_POSBAR_LENGTHMIN), "01:03.000");
}

TEST(PosBar, TheButtonsAndTheFramesCommandsMarkAllOrNothing) {
    CdDocument d;
    struct Case {
        bool command;  // the frame's menu command, else the bar's button
        int id;
        DWORD markStart, markLength;
        const char* length;
    } cases[] = {
        {false, IDC_POSBAR_MARKALL, 0, kSeventySeconds, "01:10.000"},
        {false, IDC_POSBAR_DESTROYMARK, 0, 0, "00:00.000"},
        {true, IDM_MARKALL, 0, kSeventySeconds, "01:10.000"},
        {true, IDM_DESTROYMARK, 0, 0, "00:00.000"},
    };
    for (const Case& c : cases) {
        fixtures::set_mark(d.doc, 4 * kCd, kCd);
        if (c.command)
            command(d.shell.frame, WORD(c.id));
        else
            click(d.dlg, c.id);
        settle();
        const PositionBlock p = wvtest::position_of(d.doc);
        EXPECT_EQ(p.markStart, c.markStart) << c.id;
        EXPECT_EQ(p.markLength, c.markLength) << c.id;
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_STARTMIN), "00:00.000") << c.id;
        EXPECT_EQ(shown(d.dlg, IDC_POSBAR_LENGTHMIN), c.length) << c.id;
    }
}

TEST(PosBar, AnEmptyDocumentKeepsItsMarkWhateverIsPressed) {
    Shell s;
    HWND dlg = PosBarDialog(g_shell.posBar);
    HWND doc = make_document(header_of(1, 8000, 8, 0), 0, "/tmp/posbar/empty.wav");
    fixtures::set_mark(doc, 0, 0);
    type_time(dlg, IDC_POSBAR_STARTMIN, {"00", "01", "000"});
    for (int id : {IDC_POSBAR_MARKALL, IDC_POSBAR_UPDATEMARK, IDC_POSBAR_DESTROYMARK}) {
        click(dlg, id);
        EXPECT_EQ(wvtest::position_of(doc).markStart, 0u) << id;
        EXPECT_EQ(wvtest::position_of(doc).markLength, 0u) << id;
    }
    command(s.frame, IDM_MARKALL);
    settle();
    EXPECT_EQ(wvtest::position_of(doc).markLength, 0u);
    EXPECT_EQ(item_text(dlg, IDC_POSBAR_STARTSEC), "01") << "the typed time stays";
}

TEST(PosBar, TheFieldsAndUpDownsAreEnabledOnlyWhileADocumentIsOpen) {
    Shell s;
    HWND dlg = PosBarDialog(g_shell.posBar);
    const int controlled[] = {IDC_POSBAR_STARTMIN,  IDC_POSBAR_STARTSEC,  IDC_POSBAR_STARTMS,
                              IDC_POSBAR_LENGTHMIN, IDC_POSBAR_LENGTHSEC, IDC_POSBAR_LENGTHMS,
                              IDC_POSBAR_STARTSPIN, IDC_POSBAR_LENGTHSPIN};
    auto enabled = [&](bool on, const char* when) {
        for (int id : controlled)
            EXPECT_EQ(bool(IsWindowEnabled(GetDlgItem(dlg, id))), on) << when << id;
        for (int id : {IDC_POSBAR_UPDATEMARK, IDC_POSBAR_MARKALL, IDC_POSBAR_DESTROYMARK})
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, id))) << when << id;
    };
    settle();
    enabled(false, "no document yet: ");
    HWND doc = make_document(header_of(1, 8000, 8, 8000), 8000, "/tmp/posbar/one.wav");
    enabled(true, "a document: ");
    SendMessage(g_shell.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
    settle();
    enabled(false, "the last document closed: ");
}

TEST(PosBar, TheTimeFieldsStandOutWhiteWhileTheirLabelsDoNot) {
    CdDocument d;
    const COLORREF white = GetSysColor(COLOR_HIGHLIGHTTEXT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Case {
        int id;
        COLORREF background;
    } cases[] = {
        {IDC_POSBAR_STARTLABEL, face},     {IDC_POSBAR_LENGTHLABEL, face},
        {IDC_POSBAR_POSITIONLABEL, face},  {IDC_POSBAR_STARTUNIT_M, white},
        {IDC_POSBAR_STARTUNIT_DOT, white}, {IDC_POSBAR_LENGTHUNIT_S, white},
        {IDC_POSBAR_POSITION, white},
    };
    for (const Case& c : cases) {
        HWND w = GetDlgItem(d.dlg, c.id);
        InvalidateRect(w, nullptr, TRUE);
        UpdateWindow(w);
        settle();
        RECT rc{};
        GetClientRect(w, &rc);
        // The empty field's middle; the labels' top right corner, above their text.
        const bool field = c.id == IDC_POSBAR_POSITION;
        const int x = field ? rc.right / 2 : rc.right - 1, y = field ? rc.bottom / 2 : 0;
        EXPECT_EQ(PlatformShownPixel(w, x, y), c.background) << c.id;
    }
}

TEST(PosBar, TheBarIsA3DStripWithTheDialogAndThreeLampButtons) {
    Shell s;
    HWND bar = g_shell.posBar;
    wvtest::paint(bar);
    RECT rc{};
    GetClientRect(bar, &rc);
    const int x = rc.right - 2;
    EXPECT_EQ(PlatformWindowPixel(bar, x, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(PlatformWindowPixel(bar, x, rc.bottom / 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PlatformWindowPixel(bar, x, rc.bottom - 1), GetSysColor(COLOR_BTNSHADOW));
    HWND dlg = PosBarDialog(bar);
    RECT d = child_rect(dlg);
    EXPECT_EQ(d.left, 2);
    EXPECT_EQ(d.top, 2);
    for (int i = 0; i < POSBAR_MMBUTTON_COUNT; ++i) {
        HWND b = GetDlgItem(bar, POSBAR_MMBUTTON_FIRST + i);
        ASSERT_TRUE(b) << i;
        EXPECT_GT(child_rect(b).left, d.right) << "beside the dialog";
        SendMessage(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessage(b, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    settle();
    EXPECT_TRUE(IsWindow(dlg)) << "the buttons' commands are ignored";
}
