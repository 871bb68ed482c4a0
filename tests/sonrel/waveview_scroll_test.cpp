// Scrolling with the bar and the wheel, and zoom with Ctrl and the wheel.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/messages.h>

#include "waveview.h"
#include "waveview_fixture.h"

using namespace wvtest;

namespace {

class WaveViewScroll : public ::testing::Test {
protected:
    ViewFrame f;
    HWND view(const Format& fmt, const Bytes& d, int w, DWORD zoom, LONG vs) {
        HWND doc = make_view(f, fmt, d, w, 100, zoom, vs);
        SendMessage(doc, UM_DOCCHANGED, 0, 0);
        return doc;
    }
};

LONG scroll(HWND doc, int code, int thumb = 0) {
    SendMessage(doc, WM_HSCROLL, MAKEWPARAM(code, thumb), 0);
    EXPECT_EQ(GetScrollPos(doc, SB_HORZ), position_of(doc).viewStart) << "the bar follows";
    return position_of(doc).viewStart;
}

LONG wheel(HWND doc, int delta, bool ctrl = false) {
    const WPARAM keys = ctrl ? MK_CONTROL : 0;
    const WPARAM wp = keys | (WPARAM(WORD(short(delta))) << 16);
    SendMessage(doc, WM_MOUSEWHEEL, wp, MAKELPARAM(50, 50));
    return position_of(doc).viewStart;
}

}  // namespace

TEST_F(WaveViewScroll, DocumentChangeSetsTheRangeToTheNumberOfValues) {
    HWND doc = view(Format{2, 16}, wave16(3000, 10), 200, 100, 0);
    int lo = -1, hi = -1;
    GetScrollRange(doc, SB_HORZ, &lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 3000);
}

TEST_F(WaveViewScroll, ZoomOneStepsByBlockAlignAndWidth) {
    HWND mono = view(Format{1, 8}, wave8(5000, 10), 200, 1, 1000);
    EXPECT_EQ(scroll(mono, SB_LINERIGHT), 1000 + 50);
    EXPECT_EQ(scroll(mono, SB_LINELEFT), 1000);
    EXPECT_EQ(scroll(mono, SB_PAGERIGHT), 1000 + 600);
    EXPECT_EQ(scroll(mono, SB_PAGELEFT), 1000);
    EXPECT_EQ(scroll(mono, SB_THUMBTRACK, 30), 1000) << "the thumb does not move zoom 1";

    HWND stereo = view(Format{2, 16}, wave16(9000, 10), 200, 1, 100);
    EXPECT_EQ(scroll(stereo, SB_LINERIGHT), 100 + 4 * 50);
    EXPECT_EQ(scroll(stereo, SB_PAGERIGHT), 300 + 4 * 600);
}

TEST_F(WaveViewScroll, OtherZoomStepsScaleWithTheZoom) {
    HWND doc = view(Format{1, 16}, wave16(40000, 10), 160, 10, 5000);
    EXPECT_EQ(scroll(doc, SB_LINERIGHT), 5000 + 10 * 2 * 20);
    EXPECT_EQ(scroll(doc, SB_LINELEFT), 5000);
    EXPECT_EQ(scroll(doc, SB_PAGERIGHT), 5000 + 10 * 2 * 80);
    EXPECT_EQ(scroll(doc, SB_THUMBPOSITION, 777), 777);
    EXPECT_EQ(scroll(doc, SB_ENDSCROLL), 777);

    // Whole file: the unit is the number of values per column.
    HWND whole = view(Format{1, 8}, wave8(15400, 10), 160, 0, 0);
    EXPECT_EQ(scroll(whole, SB_LINERIGHT), 100 * 1 * 20);
}

TEST_F(WaveViewScroll, ThumbDragBeyond16BitsLandsWhereTheThumbIs) {
    HWND doc = view(Format{1, 8}, wave8(200000, 10), 160, 10, 5000);
    ASSERT_TRUE(PlatformSimulateScroll(doc, SB_HORZ, SB_THUMBTRACK, 150000));
    EXPECT_EQ(position_of(doc).viewStart, 150000) << "not the low 16 bits, 18928";
    EXPECT_EQ(GetScrollPos(doc, SB_HORZ), 150000);
    ASSERT_TRUE(PlatformSimulateScroll(doc, SB_HORZ, SB_THUMBTRACK, 70000));
    EXPECT_EQ(position_of(doc).viewStart, 70000);
    // A request sent by the program itself still means its own position.
    EXPECT_EQ(scroll(doc, SB_THUMBPOSITION, 4321), 4321);
}

TEST_F(WaveViewScroll, ViewStartIsHeldWithinTheData) {
    HWND doc = view(Format{1, 8}, wave8(700, 10), 200, 1, 30);
    EXPECT_EQ(scroll(doc, SB_PAGELEFT), 0);
    EXPECT_EQ(scroll(doc, SB_LINELEFT), 0);
    EXPECT_EQ(scroll(doc, SB_PAGERIGHT), 600);
    EXPECT_EQ(scroll(doc, SB_PAGERIGHT), 700);
    EXPECT_EQ(wheel(doc, -120), 700);
}

TEST_F(WaveViewScroll, WheelTowardTheUserMovesForward) {
    HWND doc = view(Format{1, 8}, wave8(5000, 10), 200, 1, 1000);
    EXPECT_EQ(wheel(doc, -120), 1000 + 50);
    EXPECT_EQ(wheel(doc, 120), 1000);
    EXPECT_EQ(wheel(doc, -360), 1000 + 150);
    EXPECT_EQ(wheel(doc, 100), 1150) << "less than a notch is no turn";

    HWND zoomed = view(Format{1, 16}, wave16(40000, 10), 160, 10, 5000);
    EXPECT_EQ(wheel(zoomed, 240), 5000 - 10 * 2 * 2 * 20);
}

TEST_F(WaveViewScroll, CtrlWheelChangesZoomByOnePerMessage) {
    HWND doc = view(Format{1, 8}, wave8(5000, 10), 200, 5, 0);
    wheel(doc, -360, true);
    EXPECT_EQ(position_of(doc).zoom, 6u) << "toward the user: one more, however far";
    wheel(doc, 120, true);
    wheel(doc, 600, true);
    EXPECT_EQ(position_of(doc).zoom, 4u);
    wheel(doc, 60, true);
    EXPECT_EQ(position_of(doc).zoom, 4u);
    EXPECT_EQ(position_of(doc).viewStart, 0) << "zooming does not scroll";
    EXPECT_EQ(f.to(f.selectBar, UM_ZOOMCHANGED).size(), 3u);

    PositionBlock p = position_of(doc);
    p.zoom = 1;
    set_position(doc, p);
    wheel(doc, 120, true);
    EXPECT_EQ(position_of(doc).zoom, 0u) << "zoom 1 lowered once is the whole file";
}

TEST_F(WaveViewScroll, CtrlKeyStateAlsoCounts) {
    HWND doc = view(Format{1, 8}, wave8(5000, 10), 200, 5, 0);
    PlatformSetKeyState(VK_CONTROL, TRUE);
    wheel(doc, -120);
    PlatformSetKeyState(VK_CONTROL, FALSE);
    EXPECT_EQ(position_of(doc).zoom, 6u);
}

TEST_F(WaveViewScroll, EmptyDocumentStaysAtTheStart) {
    HWND doc = view(Format{1, 8}, {}, 200, 1, 0);
    EXPECT_EQ(scroll(doc, SB_PAGERIGHT), 0);
    EXPECT_EQ(wheel(doc, -120), 0);
}
