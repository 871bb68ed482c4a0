// Effects that ask for their parameter first: the frame starts them only
// after OK, with the value the dialog stored; silence with a mark asks nothing.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <kit/rvg32.h>
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/wavkit.h>

#include <cstring>
#include <string>
#include <vector>

#include "operations.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

std::vector<short> values(HWND doc) {
    auto bytes = wave_bytes(doc);
    std::vector<short> v(bytes.size() / 2);
    std::memcpy(v.data(), bytes.data(), v.size() * 2);
    return v;
}

// Answers every dialog with edit 101 set to text (when given) and the button.
struct DialogAnswer {
    QuestionRecorder rec;
    int dialogs = 0;
    DialogAnswer(const char* text, INT_PTR button) {
        rec.on_ask = [this, text, button](const PlatformQuestion* q) -> INT_PTR {
            if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
            ++dialogs;
            if (text) SetDlgItemText(static_cast<HWND>(q->data), 101, text);
            return button;
        };
    }
};

const std::vector<short> kRamp = {100, 200, 300, 400, 500, 600, 700, 800};

}  // namespace

TEST(EffectDialogs, VolumeRunsOnlyAfterOkWithTheTypedPercentage) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("volume.wav", kRamp));
    ASSERT_TRUE(doc);
    {
        DialogAnswer cancel("50", IDCANCEL);
        command(s.frame, IDM_VOLUME);
        EXPECT_EQ(cancel.dialogs, 1);
    }
    EXPECT_EQ(live_operations(), 0);
    EXPECT_EQ(values(doc), kRamp);
    {
        DialogAnswer ok("50", IDOK);
        command(s.frame, IDM_VOLUME);
        ASSERT_TRUE(serve_until(operations_done));
    }
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\Filters\\Volume", 0), 50);
    EXPECT_EQ(values(doc), (std::vector<short>{50, 100, 150, 200, 250, 300, 350, 400}));
}

TEST(EffectDialogs, SilenceWithAMarkAsksNothingAndWithoutOneInsertsWhatTheDialogSays) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("silence.wav", kRamp));
    ASSERT_TRUE(doc);
    set_mark(doc, 4, 4);
    {
        DialogAnswer never(nullptr, IDOK);
        command(s.frame, IDM_SILENCE);
        ASSERT_TRUE(serve_until(operations_done));
        EXPECT_EQ(never.dialogs, 0);
    }
    EXPECT_EQ(values(doc), (std::vector<short>{100, 200, 0, 0, 500, 600, 700, 800}));

    set_mark(doc, 2, 0);
    RegWriteString("Sonrel\\Settings\\Filters\\Silence\\Sec", "0");
    RegWriteString("Sonrel\\Settings\\Filters\\Silence\\MS", "1");
    {
        DialogAnswer cancel(nullptr, IDCANCEL);
        command(s.frame, IDM_SILENCE);
        EXPECT_EQ(cancel.dialogs, 1);
    }
    EXPECT_EQ(values(doc).size(), kRamp.size()) << "Cancel inserts nothing";
    {
        DialogAnswer ok(nullptr, IDOK);
        command(s.frame, IDM_INSERTSILENCE);
        ASSERT_TRUE(serve_until(operations_done));
        EXPECT_EQ(ok.dialogs, 1);
    }
    // One millisecond of the file's 8000 Hz mono: 8 values of silence at the cursor.
    std::vector<short> v = values(doc);
    ASSERT_EQ(v.size(), kRamp.size() + 8);
    EXPECT_EQ(v[0], 100);
    for (size_t i = 1; i <= 8; ++i) EXPECT_EQ(v[i], 0) << "value " << i;
    EXPECT_EQ(v[9], 200);
}

TEST(EffectDialogs, DialogCommandsAreRefusedWhileTheDocumentIsBusy) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("busy.wav", kRamp));
    ASSERT_TRUE(doc);
    DialogAnswer ok("50", IDOK);
    SetFileWorking(doc);
    for (int id : {IDM_VOLUME, IDM_FADEIN, IDM_FADEOUT, IDM_VELOCITY, IDM_SILENCE,
                   IDM_INSERTSILENCE, IDM_SOFTEN})
        command(s.frame, id);
    SetFileNotWorking(doc);
    EXPECT_EQ(ok.dialogs, 0);
    EXPECT_EQ(live_operations(), 0);
}

namespace {

bool waits_for_paint(HWND w) {
    RECT rc{};
    return GetUpdateRect(w, &rc, FALSE) != FALSE;
}

// Answers the editor by dragging its second pin (x 100 of four) to the top of
// the drawing area, whose origin is (ox, 10), then pressing the button.
struct PinDrag {
    QuestionRecorder rec;
    int dialogs = 0;
    PinDrag(int ox, int pinX, INT_PTR button) {
        rec.on_ask = [this, ox, pinX, button](const PlatformQuestion* q) -> INT_PTR {
            if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
            ++dialogs;
            HWND dlg = static_cast<HWND>(q->data);
            PlatformSimulateMouse(dlg, WM_LBUTTONDOWN, ox + pinX, 110, 0);
            PlatformSimulateMouse(dlg, WM_MOUSEMOVE, ox + pinX, 10, MK_LBUTTON);
            PlatformSimulateMouse(dlg, WM_LBUTTONUP, ox + pinX, 10, 0);
            return button;
        };
    }
};

struct CurveCommand {
    WORD id;
    int origin;  // x of the drawing area in the editor
    int secondPin;
    const char* undoText;
};
const CurveCommand kCurveCommands[] = {{IDM_CSVOLUME, 10, 100, "CurveSound Volume"},
                                       {IDM_CSFADECHANNELS, 30, 75, "CurveSound Fade Channels"}};

}  // namespace

TEST(EffectDialogs, CurveSoundEditorsWorkInPlaceAndRepaintTheDocumentAndThePreview) {
    Shell s;
    std::vector<short> ramp(800);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = short(i * 20);
    for (const CurveCommand& c : kCurveCommands) {
        SCOPED_TRACE(c.undoText);
        HWND doc = open_document(s.frame, write_wave("curve.wav", ramp));
        ASSERT_TRUE(doc);
        {
            PinDrag cancel(c.origin, c.secondPin, IDCANCEL);
            command(s.frame, c.id);
            EXPECT_EQ(cancel.dialogs, 1);
        }
        EXPECT_EQ(values(doc), ramp);
        EXPECT_FALSE(IsUndoPossible(doc));
        ValidateRect(doc, nullptr);
        ValidateRect(g_shell.preview, nullptr);
        {
            PinDrag ok(c.origin, c.secondPin, IDOK);
            command(s.frame, c.id);
            EXPECT_EQ(ok.dialogs, 1);
        }
        EXPECT_EQ(live_operations(), 0) << "the editors start no operation thread";
        EXPECT_TRUE(waits_for_paint(doc));
        EXPECT_TRUE(waits_for_paint(g_shell.preview));
        EXPECT_STREQ(UndoDescription(doc), c.undoText);
        // The channel path on this mono file moves nothing; the volume path raises.
        if (c.id == IDM_CSVOLUME) {
            std::vector<short> v = values(doc);
            EXPECT_GT(v[266], ramp[266]);
            EXPECT_EQ(v[0], ramp[0]);
        }
    }
}

TEST(EffectDialogs, CurveSoundEditorsAreRefusedWhileTheDocumentIsBusyOrMissing) {
    Shell s;
    {
        PinDrag never(10, 100, IDOK);
        command(s.frame, IDM_CSVOLUME);
        command(s.frame, IDM_CSFADECHANNELS);
        EXPECT_EQ(never.dialogs, 0) << "no document";
    }
    HWND doc = open_document(s.frame, write_wave("busy-curve.wav", kRamp));
    ASSERT_TRUE(doc);
    SetFileWorking(doc);
    PinDrag never(10, 100, IDOK);
    command(s.frame, IDM_CSVOLUME);
    command(s.frame, IDM_CSFADECHANNELS);
    SetFileNotWorking(doc);
    EXPECT_EQ(never.dialogs, 0);
    EXPECT_EQ(values(doc), kRamp);
}
