// Marking with the mouse: the mark lands in the POSITION block as byte
// offsets of whole sample values within the data.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/messages.h>

#include "waveview.h"
#include "waveview_fixture.h"

using namespace wvtest;

namespace {

class WaveViewMouse : public ::testing::Test {
protected:
    ViewFrame f;
};

}  // namespace

TEST_F(WaveViewMouse, ClickWithoutMovementSetsTheMarkStartAndDrawsTheCursor) {
    HWND doc = make_view(f, Format{1, 8}, wave8(500, 40), 200, 100, 1, 40);
    set_mark(doc, 7, 90);
    press(doc, 53);
    EXPECT_EQ(GetCapture(), doc);
    release(doc, 53);
    EXPECT_EQ(GetCapture(), nullptr);
    PositionBlock p = position_of(doc);
    EXPECT_EQ(p.markStart, 40u + 50u);
    EXPECT_EQ(p.markLength, 0u);
    EXPECT_EQ(g_waveView.dragging, 0);
    paint(doc);
    for (int y = 3; y < 97; ++y) ASSERT_EQ(PlatformWindowPixel(doc, 53, y), 0u) << "row " << y;
}

TEST_F(WaveViewMouse, DragSetsTheMarkAndTellsThePositionBar) {
    HWND doc = make_view(f, Format{1, 8}, wave8(500, 40), 200, 100, 1, 0);
    press(doc, 23);
    move(doc, 60);
    move(doc, 83);
    release(doc, 83);
    PositionBlock p = position_of(doc);
    EXPECT_EQ(p.markStart, 20u);
    EXPECT_EQ(p.markLength, 60u);
    auto pos = f.to(f.posBar, UM_MOUSEPOS);
    ASSERT_EQ(pos.size(), 3u);
    EXPECT_EQ(pos[0].wp, 0u) << "the press reports no drag yet";
    EXPECT_EQ(pos[0].lp, 20);
    EXPECT_EQ(pos[1].wp, 1u);
    EXPECT_EQ(pos[2].lp, 80);
    EXPECT_EQ(f.to(f.posBar, UM_MARKUPDATE).size(), 2u) << "after press and after release";
}

TEST_F(WaveViewMouse, DragFromRightToLeftGivesTheSameMark) {
    HWND a = make_view(f, Format{1, 8}, wave8(500, 40), 200, 100, 1, 10);
    HWND b = make_view(f, Format{1, 8}, wave8(500, 40), 200, 100, 1, 10);
    press(a, 30);
    move(a, 120);
    release(a, 120);
    press(b, 120);
    move(b, 30);
    release(b, 30);
    EXPECT_EQ(position_of(a).markStart, 37u);
    EXPECT_EQ(position_of(a).markLength, 90u);
    EXPECT_EQ(position_of(b).markStart, position_of(a).markStart);
    EXPECT_EQ(position_of(b).markLength, position_of(a).markLength);
}

TEST_F(WaveViewMouse, DragPastTheEndStopsAtTheDataSize) {
    HWND doc = make_view(f, Format{1, 8}, wave8(120, 40), 400, 100, 1, 0);
    press(doc, 53);
    move(doc, 390);
    release(doc, 1000);
    EXPECT_EQ(position_of(doc).markStart, 50u);
    EXPECT_EQ(position_of(doc).markLength, 70u);
}

TEST_F(WaveViewMouse, LeavingTheWindowToTheLeftCountsAsTheFirstColumn) {
    HWND doc = make_view(f, Format{1, 8}, wave8(500, 40), 200, 100, 1, 30);
    press(doc, 80);
    move(doc, -40);
    release(doc, -40);
    EXPECT_EQ(position_of(doc).markStart, 30u) << "held at the view start";
    EXPECT_EQ(position_of(doc).markLength, 77u);
}

TEST_F(WaveViewMouse, SixteenBitMarksAreEvenByteOffsets) {
    HWND mono = make_view(f, Format{1, 16}, wave16(3000, 40), 200, 100, 3, 11);
    press(mono, 4);
    move(mono, 50);
    release(mono, 50);
    // Values 11 + 1 * 3 = 14 and 11 + 47 * 3 = 152.
    EXPECT_EQ(position_of(mono).markStart, 28u);
    EXPECT_EQ(position_of(mono).markLength, 304u - 28u);

    HWND stereo = make_view(f, Format{2, 16}, wave16(801, 40), 200, 100, 0, 0);
    press(stereo, 150);
    move(stereo, 7);
    release(stereo, 7);
    PositionBlock p = position_of(stereo);
    EXPECT_EQ(p.markStart % 2, 0u);
    EXPECT_EQ(p.markLength % 2, 0u);
    // Whole file: 801 / 194 = 4 values per column.
    EXPECT_EQ(p.markStart, 2u * 4u * 4u);
    EXPECT_EQ(p.markStart + p.markLength, 2u * 147u * 4u);
}

TEST_F(WaveViewMouse, RubberBandIsInvertedWhileDragging) {
    HWND doc = make_view(f, Format{1, 8}, Bytes(500, 128), 200, 100, 1, 0);
    paint(doc);
    COLORREF before = PlatformWindowPixel(doc, 40, 30);
    press(doc, 20);
    move(doc, 60);
    EXPECT_EQ(PlatformWindowPixel(doc, 40, 30), ~before & 0xFFFFFFu);
    EXPECT_EQ(PlatformWindowPixel(doc, 70, 30), before);
    move(doc, 30);
    EXPECT_EQ(PlatformWindowPixel(doc, 40, 30), before) << "the old band is erased";
    EXPECT_EQ(PlatformWindowPixel(doc, 25, 30), ~before & 0xFFFFFFu);
    release(doc, 30);
}

TEST_F(WaveViewMouse, EmptyDocumentIgnoresClicks) {
    HWND doc = make_view(f, Format{1, 8}, {}, 200, 100, 1, 0);
    set_mark(doc, 0, 0);
    press(doc, 50);
    move(doc, 90);
    release(doc, 90);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(g_waveView.dragging, 0);
    EXPECT_EQ(position_of(doc).markStart, 0u);
    EXPECT_TRUE(f.sent.empty());
}

TEST_F(WaveViewMouse, SimulatedMouseMarksThroughTheRealInputPath) {
    HWND doc = make_view(f, Format{1, 8}, wave8(500, 40), 200, 100, 1, 0);
    ShowWindow(doc, SW_SHOW);
    ASSERT_TRUE(PlatformSimulateMouse(doc, WM_LBUTTONDOWN, 13, 40, 0));
    ASSERT_TRUE(PlatformSimulateMouse(doc, WM_MOUSEMOVE, 63, 40, MK_LBUTTON));
    ASSERT_TRUE(PlatformSimulateMouse(doc, WM_LBUTTONUP, 63, 40, 0));
    EXPECT_EQ(position_of(doc).markStart, 10u);
    EXPECT_EQ(position_of(doc).markLength, 50u);
}
