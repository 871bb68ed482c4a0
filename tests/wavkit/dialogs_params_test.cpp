// The parameter dialogs run on their templates through the question hook:
// what they show, where they sit, what they store on OK and that Cancel
// stores nothing; the velocity and soften sliders, the silence pair and the
// zoom's refused values.
#include "../../resources/dialogs_params.h"

#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/dialogs.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::QuestionRecorder;

const char* const kVolume = "Sonrel\\Settings\\Filters\\Volume";
const char* const kFadeIn = "Sonrel\\Settings\\Filters\\FadeIn";
const char* const kFadeOut = "Sonrel\\Settings\\Filters\\FadeOut";
const char* const kVelocity = "Sonrel\\Settings\\Filters\\Velocity";
const char* const kSmooth = "Sonrel\\Settings\\Filters\\VelocitySmooth";
const char* const kSmoothValue = "Sonrel\\Settings\\Filters\\VelocitySmoothValue";
const char* const kLowPass = "Sonrel\\Settings\\Filters\\LowPass";
const char* const kSec = "Sonrel\\Settings\\Filters\\Silence\\Sec";
const char* const kMs = "Sonrel\\Settings\\Filters\\Silence\\MS";
const char* const kAll[] = {kVolume,      kFadeIn,  kFadeOut, kVelocity, kSmooth,
                            kSmoothValue, kLowPass, kSec,     kMs};

std::string setting(const char* path) {
    return RegGetString(path, "unset");
}

std::string text(HWND dlg, int id) {
    return testing_support::item_text(dlg, id);
}

std::string caption(HWND dlg) {
    char buf[128];
    GetWindowText(dlg, buf, sizeof buf);
    return buf;
}

class ParamDialogs : public ::testing::Test {
protected:
    // Every setting starts as text that is no number, which reads as its default.
    void SetUp() override {
        static bool registered = (RegisterParamDialogTemplates(GetModuleHandle(nullptr)), true);
        (void)registered;
        for (const char* path : kAll) RegWriteString(path, "unset");
    }
    // Each question of kind "Dialog" is answered by `answer` (the dialog and
    // the number of the ask); other questions get OK.
    void answer_with(std::function<INT_PTR(HWND, int)> answer) {
        rec.on_ask = [this, answer](const PlatformQuestion* q) -> INT_PTR {
            if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
            return answer(static_cast<HWND>(q->data), dialogs++);
        };
    }
    std::vector<std::string> kinds() const {
        std::vector<std::string> out;
        for (const auto& a : rec.asked) out.push_back(a.kind);
        return out;
    }
    // Where a dialog sits: its offset from the centred place over the frame.
    POINT offset_from_centre(HWND dlg) {
        RECT box{}, client{}, frameClient{};
        POINT origin{0, 0};
        GetWindowRect(dlg, &box);
        GetClientRect(dlg, &client);
        GetClientRect(f.frame, &frameClient);
        ClientToScreen(f.frame, &origin);
        return POINT{box.left - (origin.x + frameClient.right / 2 - client.right / 2),
                     box.top - (origin.y + frameClient.bottom / 2 - client.bottom / 2)};
    }
    Frame f;
    QuestionRecorder rec;
    int dialogs = 0;
};

struct NumberRow {
    BOOL (*show)(HWND);
    const char* path;
    const char* title;
    const char* shown;  // the default in the edit
    int lower, upper;
};
const NumberRow kRows[] = {{ShowVolume, kVolume, "Volume", "200", 1, 999},
                           {ShowFadeIn, kFadeIn, "Fade In", "10", 0, 99},
                           {ShowFadeOut, kFadeOut, "Fade Out", "10", 0, 99},
                           {ShowVelocity, kVelocity, "Velocity", "200", 1, 999}};

TEST_F(ParamDialogs, NumberDialogsShowTheDefaultAndStoreWhatWasTyped) {
    for (const NumberRow& r : kRows) {
        SCOPED_TRACE(r.title);
        std::string shown, title;
        int lo = -1, hi = -1;
        answer_with([&](HWND dlg, int) -> INT_PTR {
            shown = text(dlg, 101);
            title = caption(dlg);
            SendDlgItemMessage(dlg, 114, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
            SetDlgItemText(dlg, 101, "1234");
            return IDOK;
        });
        EXPECT_EQ(r.show(f.frame), 1);
        EXPECT_EQ(shown, r.shown);
        EXPECT_EQ(title, r.title);
        EXPECT_EQ(lo, r.lower);
        EXPECT_EQ(hi, r.upper);
        EXPECT_EQ(setting(r.path), "1234") << "values outside the range are stored as typed";
    }
}

TEST_F(ParamDialogs, NumberDialogsShowTheStoredValueAndCancelStoresNothing) {
    for (const NumberRow& r : kRows) {
        SCOPED_TRACE(r.title);
        RegWriteString(r.path, "37");
        std::string shown;
        answer_with([&](HWND dlg, int) -> INT_PTR {
            shown = text(dlg, 101);
            SetDlgItemText(dlg, 101, "55");
            return IDCANCEL;
        });
        EXPECT_EQ(r.show(f.frame), 0);
        EXPECT_EQ(shown, "37");
        EXPECT_EQ(setting(r.path), "37");
    }
}

TEST_F(ParamDialogs, TextThatIsNoNumberIsStoredAsZero) {
    answer_with([](HWND dlg, int) -> INT_PTR {
        SetDlgItemText(dlg, 101, "loud");
        return IDOK;
    });
    EXPECT_EQ(ShowVolume(f.frame), 1);
    EXPECT_EQ(setting(kVolume), "0");
}

TEST_F(ParamDialogs, UpDownArrowsChangeTheNumberThatOkStores) {
    RegWriteString(kFadeOut, "98");
    answer_with([](HWND dlg, int) -> INT_PTR {
        HWND ud = GetDlgItem(dlg, 114);
        RECT rc{};
        GetClientRect(ud, &rc);
        for (int i = 0; i < 3; ++i) {
            PlatformSimulateMouse(ud, WM_LBUTTONDOWN, rc.right / 2, rc.bottom / 4, 0);
            PlatformSimulateMouse(ud, WM_LBUTTONUP, rc.right / 2, rc.bottom / 4, 0);
        }
        return IDOK;
    });
    EXPECT_EQ(ShowFadeOut(f.frame), 1);
    EXPECT_EQ(setting(kFadeOut), "99") << "the arrows stop at the range's end";
}

TEST_F(ParamDialogs, DialogsSitCentredOverTheFrame30PixelsHighExceptVelocity) {
    BOOL (*const shows[])(HWND) = {ShowVolume, ShowFadeIn, ShowFadeOut, ShowLowPass, ShowSilence};
    for (auto show : shows) {
        POINT off{-1, -1};
        answer_with([&](HWND dlg, int) -> INT_PTR {
            off = offset_from_centre(dlg);
            return IDCANCEL;
        });
        EXPECT_EQ(show(f.frame), 0);
        EXPECT_EQ(off.x, 0);
        EXPECT_EQ(off.y, -30);
    }
    POINT off{-1, -1};
    answer_with([&](HWND dlg, int) -> INT_PTR {
        off = offset_from_centre(dlg);
        return IDCANCEL;
    });
    ShowVelocity(f.frame);
    EXPECT_FALSE(off.x == 0 && off.y == -30) << "velocity keeps its template position";
}

TEST_F(ParamDialogs, HelpButtonDoesNothing) {
    answer_with([](HWND dlg, int n) -> INT_PTR {
        if (n == 0) {
            SetDlgItemText(dlg, 101, "300");
            return 998;
        }
        EXPECT_EQ(text(dlg, 101), "300") << "still open as it was";
        return IDOK;
    });
    EXPECT_EQ(ShowVolume(f.frame), 1);
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(setting(kVolume), "300");
}

TEST_F(ParamDialogs, VelocityShowsSmoothingDefaultsAndStoresAll) {
    UINT checked = 99;
    BOOL enabled = FALSE;
    LRESULT pos = -1, lo = -1, hi = -1;
    answer_with([&](HWND dlg, int) -> INT_PTR {
        checked = IsDlgButtonChecked(dlg, 102);
        enabled = IsWindowEnabled(GetDlgItem(dlg, 201));
        pos = SendDlgItemMessage(dlg, 201, TBM_GETPOS, 0, 0);
        lo = SendDlgItemMessage(dlg, 201, TBM_GETRANGEMIN, 0, 0);
        hi = SendDlgItemMessage(dlg, 201, TBM_GETRANGEMAX, 0, 0);
        SetDlgItemText(dlg, 101, "150");
        SendDlgItemMessage(dlg, 201, TBM_SETPOS, TRUE, 7);
        return IDOK;
    });
    EXPECT_EQ(ShowVelocity(f.frame), 1);
    EXPECT_EQ(checked, UINT(BST_CHECKED));
    EXPECT_TRUE(enabled);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 8);
    EXPECT_EQ(setting(kVelocity), "150");
    EXPECT_EQ(setting(kSmooth), "1");
    EXPECT_EQ(setting(kSmoothValue), "7");
}

TEST_F(ParamDialogs, VelocityWithTheBoxOffKeepsTheSliderDisabledButStoresItsPosition) {
    RegWriteString(kSmooth, "0");
    RegWriteString(kSmoothValue, "5");
    BOOL atOpening = TRUE, afterOn = FALSE, afterOff = TRUE;
    answer_with([&](HWND dlg, int) -> INT_PTR {
        HWND slider = GetDlgItem(dlg, 201);
        atOpening = IsWindowEnabled(slider);
        SendDlgItemMessage(dlg, 102, BM_CLICK, 0, 0);
        afterOn = IsWindowEnabled(slider);
        SendDlgItemMessage(dlg, 102, BM_CLICK, 0, 0);
        afterOff = IsWindowEnabled(slider);
        SendDlgItemMessage(dlg, 201, TBM_SETPOS, TRUE, 2);
        return IDOK;
    });
    EXPECT_EQ(ShowVelocity(f.frame), 1);
    EXPECT_FALSE(atOpening);
    EXPECT_TRUE(afterOn);
    EXPECT_FALSE(afterOff);
    EXPECT_EQ(setting(kSmooth), "0");
    EXPECT_EQ(setting(kSmoothValue), "2");
}

TEST_F(ParamDialogs, VelocityCancelStoresNothing) {
    answer_with([](HWND dlg, int) -> INT_PTR {
        SendDlgItemMessage(dlg, 102, BM_CLICK, 0, 0);
        SendDlgItemMessage(dlg, 201, TBM_SETPOS, TRUE, 8);
        return IDCANCEL;
    });
    EXPECT_EQ(ShowVelocity(f.frame), 0);
    EXPECT_EQ(setting(kVelocity), "unset");
    EXPECT_EQ(setting(kSmooth), "unset");
    EXPECT_EQ(setting(kSmoothValue), "unset");
}

TEST_F(ParamDialogs, SoftenShowsItsSettingAndStoresTheSliderEnds) {
    LRESULT shown = -1;
    std::string title;
    answer_with([&](HWND dlg, int) -> INT_PTR {
        shown = SendDlgItemMessage(dlg, 201, TBM_GETPOS, 0, 0);
        title = caption(dlg);
        SendDlgItemMessage(dlg, 201, TBM_SETPOS, TRUE, 8);
        return IDOK;
    });
    EXPECT_EQ(ShowLowPass(f.frame), 1);
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(title, "Soften");
    EXPECT_EQ(setting(kLowPass), "8");

    answer_with([&](HWND dlg, int) -> INT_PTR {
        shown = SendDlgItemMessage(dlg, 201, TBM_GETPOS, 0, 0);
        SendDlgItemMessage(dlg, 201, WM_KEYDOWN, VK_HOME, 0);
        return IDOK;
    });
    EXPECT_EQ(ShowLowPass(f.frame), 1);
    EXPECT_EQ(shown, 8);
    EXPECT_EQ(setting(kLowPass), "1");

    answer_with([](HWND dlg, int) -> INT_PTR {
        SendDlgItemMessage(dlg, 201, TBM_SETPOS, TRUE, 6);
        return IDCANCEL;
    });
    EXPECT_EQ(ShowLowPass(f.frame), 0);
    EXPECT_EQ(setting(kLowPass), "1");
}

TEST_F(ParamDialogs, SilenceStoresSecondsThenMilliseconds) {
    std::string sec, ms, title;
    answer_with([&](HWND dlg, int) -> INT_PTR {
        sec = text(dlg, 102);
        ms = text(dlg, 101);
        title = caption(dlg);
        SetDlgItemText(dlg, 102, "2");
        SetDlgItemText(dlg, 101, "500");
        return IDOK;
    });
    EXPECT_EQ(ShowSilence(f.frame), 1);
    EXPECT_EQ(sec, "1");
    EXPECT_EQ(ms, "0");
    EXPECT_EQ(title, "Insert Silence");
    EXPECT_EQ(setting(kSec), "2");
    EXPECT_EQ(setting(kMs), "500");
}

TEST_F(ParamDialogs, SilenceReadsItsUpDownsWhichHoldTheRange) {
    RegWriteString(kSec, "7");
    LRESULT secPos = -1;
    answer_with([&](HWND dlg, int) -> INT_PTR {
        secPos = SendDlgItemMessage(dlg, 121, UDM_GETPOS32, 0, 0);
        SetDlgItemText(dlg, 101, "4000");
        return IDOK;
    });
    EXPECT_EQ(ShowSilence(f.frame), 1);
    EXPECT_EQ(secPos, 7);
    EXPECT_EQ(setting(kSec), "7");
    EXPECT_EQ(setting(kMs), "999");
}

TEST_F(ParamDialogs, ZoomRefusesZeroAnd30001AndAccepts30000) {
    HWND doc = make_document(f, Format{}, pattern(1000));
    f.active = doc;
    std::string shown;
    POINT off{-1, -1};
    const char* typed[] = {"0", "30001", "30000"};
    answer_with([&](HWND dlg, int n) -> INT_PTR {
        if (n == 0) {
            shown = text(dlg, 101);
            off = offset_from_centre(dlg);
        }
        if (n > 0) {
            EXPECT_EQ(position_of(doc).zoom, 100u) << "unchanged after a refusal";
        }
        SetDlgItemText(dlg, 101, typed[n < 3 ? n : 2]);
        return IDOK;
    });
    EXPECT_EQ(ShowZoomBy(f.frame), 1);
    EXPECT_EQ(shown, "100");
    EXPECT_EQ(off.x, 0);
    EXPECT_EQ(off.y, -25);
    EXPECT_EQ(kinds(),
              (std::vector<std::string>{"Dialog", "MessageBox", "Dialog", "MessageBox", "Dialog"}));
    EXPECT_EQ(rec.asked[1].text, "Only values between 1 - 30000 allowed.");
    EXPECT_EQ(rec.asked[1].caption, "Warning...");
    EXPECT_EQ(rec.asked[1].style & 0xF0u, UINT(MB_ICONERROR));
    EXPECT_EQ(position_of(doc).zoom, 30000u);
}

TEST_F(ParamDialogs, ZoomCloseKeepsTheZoomAndNoDocumentGivesZero) {
    HWND doc = make_document(f, Format{}, pattern(1000));
    f.active = doc;
    answer_with([](HWND dlg, int) -> INT_PTR {
        SetDlgItemText(dlg, 101, "5");
        return IDCANCEL;
    });
    EXPECT_EQ(ShowZoomBy(f.frame), 0);
    EXPECT_EQ(position_of(doc).zoom, 100u);

    f.active = nullptr;
    ReleaseDocumentBlocks(doc);
    DestroyWindow(doc);
    std::string shown = "?";
    answer_with([&](HWND dlg, int) -> INT_PTR {
        shown = text(dlg, 101);
        SetDlgItemText(dlg, 101, "5");
        return IDOK;
    });
    EXPECT_EQ(ShowZoomBy(f.frame), 0);
    EXPECT_EQ(shown, "");
}

TEST_F(ParamDialogs, AboutShowsTheProgramNameAndGivesZero) {
    bool named = false;
    answer_with([&](HWND dlg, int) -> INT_PTR {
        named = caption(dlg).find("Sonrel2003") != std::string::npos;
        return IDOK;
    });
    EXPECT_EQ(ShowAbout(f.frame), 0);
    EXPECT_TRUE(named);
    EXPECT_EQ(kinds(), std::vector<std::string>{"Dialog"});
}

}  // namespace
