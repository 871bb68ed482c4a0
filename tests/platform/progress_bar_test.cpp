// The progress bar: its range and position as messages set them, the old
// values they give back, and positions held within the range.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

class ProgressBar : public ::testing::Test {
protected:
    void SetUp() override {
        parent = testing_support::make_parent_window("ProgressParent", DefWindowProc, 300, 100);
        ASSERT_NE(parent, nullptr);
        bar = CreateWindowEx(0, PROGRESS_CLASS, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 16, parent,
                             reinterpret_cast<HMENU>(101), nullptr, nullptr);
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }
    PBRANGE range() {
        PBRANGE r{-1, -1};
        SendMessage(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    LRESULT pos() { return SendMessage(bar, PBM_GETPOS, 0, 0); }
    HWND parent = nullptr;
    HWND bar = nullptr;
};

TEST_F(ProgressBar, StartsAtZeroOfZeroToOneHundred) {
    EXPECT_EQ(range().iLow, 0);
    EXPECT_EQ(range().iHigh, 100);
    EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(pos(), 0);
}

TEST_F(ProgressBar, RangeAndPositionGiveTheirOldValuesAndStayInside) {
    struct Step {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        LRESULT result;  // what the message gives back
        int low, high, pos;
    };
    const Step steps[] = {
        {PBM_SETPOS, 40, 0, 0, 0, 100, 40},
        {PBM_SETRANGE, 0, MAKELPARAM(0, 20), MAKELPARAM(0, 100), 0, 20, 20},
        {PBM_SETPOS, 7, 0, 20, 0, 20, 7},
        {PBM_SETPOS, 25, 0, 7, 0, 20, 20},
        {PBM_SETRANGE, 0, MAKELPARAM(10, 5), MAKELPARAM(0, 20), 5, 10, 10},
        {PBM_SETPOS, 1, 0, 10, 5, 10, 5},
        {PBM_SETSTEP, 1, 0, 10, 5, 10, 5},
        {PBM_SETSTEP, 3, 0, 1, 5, 10, 5},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "message " << s.msg - WM_USER << " " << s.wp);
        EXPECT_EQ(SendMessage(bar, s.msg, s.wp, s.lp), s.result);
        EXPECT_EQ(range().iLow, s.low);
        EXPECT_EQ(range().iHigh, s.high);
        EXPECT_EQ(pos(), s.pos);
    }
}

TEST_F(ProgressBar, IsMadeFromADialogTemplateLikeAnyControl) {
    static const DIALOGITEM items[] = {{PROGRESS_CLASS, "", 101, 5, 5, 100, 10, 0, 0}};
    static const DIALOGTEMPLATE t{
        "Progress", WS_POPUP | WS_CAPTION, 0, 0, 0, 120, 30, nullptr, 8, items, 1};
    HWND dlg = CreateDialogIndirectParam(nullptr, &t, parent, nullptr, 0);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(SendDlgItemMessage(dlg, 101, PBM_SETPOS, 60, 0), 0);
    EXPECT_EQ(SendDlgItemMessage(dlg, 101, PBM_GETPOS, 0, 0), 60);
    DestroyWindow(dlg);
}

}  // namespace
