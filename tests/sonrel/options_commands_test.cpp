// The frame's Options and Sound Drivers commands: each opens its sheet, and
// confirming the options makes the open views draw with the chosen qualities.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/ids.h>

#include <cstring>
#include <string>

#include "shell_fixture.h"
#include "test_support.h"
#include "waveview.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

// Answers the options sheet: the Design page's display quality slider moved
// to `pos`, then `button`. Records the sheet's caption.
void answer_options(QuestionRecorder& rec, std::string* caption, int pos, INT_PTR button) {
    rec.on_ask = [=](const PlatformQuestion* q) -> INT_PTR {
        if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
        *caption = q->caption ? q->caption : "";
        auto sheet = static_cast<HWND>(q->data);
        (void)PropSheet_SetCurSel(sheet, nullptr, 2);
        SendDlgItemMessage(PropSheet_IndexToHwnd(sheet, 2), 103, TBM_SETPOS, TRUE, pos);
        return button;
    };
}

}  // namespace

TEST(OptionsCommands, OptionsOpensTheSheetAndOkGivesTheViewsTheNewLineStep) {
    Shell s;
    QuestionRecorder rec;
    std::string caption;
    answer_options(rec, &caption, 9, IDOK);
    g_waveView.lineStep = 0.2f;
    command(s.frame, IDM_OPTIONS);
    EXPECT_EQ(caption, "Sonrel2003 Options");
    EXPECT_STREQ(RegGetString("Sonrel\\Settings\\WindowQuality", ""), "100");
    EXPECT_FLOAT_EQ(g_waveView.lineStep, 0.1f);
}

TEST(OptionsCommands, CancelledOptionsChangeNothing) {
    Shell s;
    QuestionRecorder rec;
    std::string caption;
    answer_options(rec, &caption, 3, IDCANCEL);
    g_waveView.lineStep = 0.2f;
    command(s.frame, IDM_OPTIONS);
    EXPECT_EQ(caption, "Sonrel2003 Options");
    EXPECT_STREQ(RegGetString("Sonrel\\Settings\\WindowQuality", "absent"), "absent");
    EXPECT_FLOAT_EQ(g_waveView.lineStep, 0.2f);
}

TEST(OptionsCommands, SoundDriversOpensTheDeviceSheetFromTheHelpMenu) {
    Shell s;
    QuestionRecorder rec;
    rec.default_answer = IDOK;
    char text[64] = "";
    GetMenuString(GetMenu(s.frame), IDM_SOUNDDRIVERS, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Sound D&rivers...");
    command(s.frame, IDM_SOUNDDRIVERS);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "Dialog");
    EXPECT_EQ(rec.asked[0].caption, "Device Driver");
}
