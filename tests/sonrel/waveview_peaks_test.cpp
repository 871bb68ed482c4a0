// The wave view's peak display: each column from the largest to the smallest
// value of its frames, so a single loud value in a long quiet file shows at
// "Whole File"; off, or without a fitting summary, the view draws as before.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/effects.h>
#include <sonrel/wavkit.h>

#include <algorithm>

#include "waveview.h"
#include "waveview_fixture.h"

using namespace wvtest;

namespace {

const uint32_t kColour[2] = {0x000060, 0x550000};  // 0x00RRGGBB: left / mono, right
constexpr char kPeakKey[] = "Sonrel\\Settings\\Boolean\\PeakDisplay";
constexpr int W = 406, H = 200;
constexpr size_t kFrames = 1200000;  // a whole-file read of it needs the summary

int value_at(const Bytes& d, int bits, size_t i) {
    return bits == 16 ? int16_t(uint16_t(d[2 * i] | (d[2 * i + 1] << 8))) : d[i];
}

// Quiet noise of a few steps with one loud value in channel `loud` of frame `at`.
Bytes quiet_with_spike(const Format& fmt, size_t at, int loud) {
    Bytes d = fmt.bits == 16 ? wave16(kFrames * fmt.channels, 3) : wave8(kFrames * fmt.channels, 3);
    size_t i = at * fmt.channels + loud;
    if (fmt.bits == 16) {
        d[2 * i] = 0x00;
        d[2 * i + 1] = 0x78;  // 30720
    } else {
        d[i] = 250;
    }
    return d;
}

struct Band {
    int centre, height, top, bottom;  // rows [top, bottom) are checked
};
Band band(bool stereo, int c) {
    if (!stereo) return Band{H / 2, H - 5, 20, H - 4};
    return c == 0 ? Band{H / 4, H / 2 - 5, 20, H / 2 - 2}
                  : Band{3 * H / 4, H / 2 - 5, H / 2 + 2, H - 4};
}

struct Case {
    Format fmt;
    int loud;  // the channel of the loud value
};
const Case kCases[] = {{{1, 8}, 0}, {{2, 8}, 1}, {{1, 16}, 0}, {{2, 16}, 0}, {{2, 16}, 1}};

class WaveViewPeaks : public ::testing::TestWithParam<Case> {
protected:
    ViewFrame f;
    void SetUp() override { RegWriteString("Sonrel\\Settings\\Boolean\\DirectDisplay", "0"); }
    void TearDown() override { RegWriteString(kPeakKey, "0"); }
};

TEST_P(WaveViewPeaks, EachColumnSpansTheExtremesOfItsFramesAndShowsASingleLoudValue) {
    const Case k = GetParam();
    const bool stereo = k.fmt.channels == 2;
    const size_t spikeFrame = kFrames * 3 / 5 + 11;
    Bytes d = quiet_with_spike(k.fmt, spikeFrame, k.loud);
    HWND doc = make_view(f, k.fmt, d, W, H, 0, 0);
    ASSERT_TRUE(UpdatePeakSummary(doc));
    RegWriteString(kPeakKey, "1");
    paint(doc);
    std::vector<uint32_t> px = pixels(doc);
    const long long values = (long long)kFrames * k.fmt.channels;
    const long long spp = values / (W - 6);
    int spikeColumn = -1;
    for (int i = 1; i < W - 6; ++i) {
        size_t a = size_t(i * spp / k.fmt.channels);
        size_t e = std::min<size_t>(kFrames, size_t((i + 1) * spp / k.fmt.channels));
        if (spikeFrame >= a && spikeFrame < e) spikeColumn = i;
        for (int c = 0; c < k.fmt.channels; ++c) {
            int lo = 1 << 20, hi = -(1 << 20);
            for (size_t fr = a; fr < e; ++fr) {
                lo = std::min(lo, value_at(d, k.fmt.bits, fr * k.fmt.channels + c));
                hi = std::max(hi, value_at(d, k.fmt.bits, fr * k.fmt.channels + c));
            }
            Band b = band(stereo, c);
            int top = b.centre - PixelCalculate(hi, k.fmt.bits, b.height);
            int bottom = b.centre - PixelCalculate(lo, k.fmt.bits, b.height);
            for (int y = b.top; y < b.bottom; ++y) {
                bool drawn = px[size_t(y) * W + i + 3] == kColour[c];
                ASSERT_EQ(drawn, y >= top && y <= bottom)
                    << "column " << i << " channel " << c << " row " << y << " (" << top << ".."
                    << bottom << ")";
            }
        }
    }
    ASSERT_GT(spikeColumn, 0);
    // The loud value reaches far above the quiet band in its column only.
    Band b = band(stereo, k.loud);
    int spikeRow = b.centre - PixelCalculate(k.fmt.bits == 16 ? 30720 : 250, k.fmt.bits, b.height);
    EXPECT_EQ(px[size_t(spikeRow) * W + spikeColumn + 3], kColour[k.loud]);
    EXPECT_NE(px[size_t(spikeRow) * W + spikeColumn + 2], kColour[k.loud]);
    EXPECT_EQ(position_of(doc).viewEnd, values) << "the drawing reaches the data's end";
}

TEST_P(WaveViewPeaks, OffOrWithoutAFittingSummaryTheViewDrawsAsBefore) {
    const Case k = GetParam();
    Bytes d = quiet_with_spike(k.fmt, kFrames / 2 + 3, k.loud);
    HWND doc = make_view(f, k.fmt, d, W, H, 0, 0);
    ASSERT_TRUE(UpdatePeakSummary(doc));
    RegWriteString(kPeakKey, "0");
    paint(doc);
    std::vector<uint32_t> before = pixels(doc);
    LONG endBefore = position_of(doc).viewEnd;
    RegWriteString(kPeakKey, "1");
    paint(doc);
    EXPECT_NE(pixels(doc), before) << "on, the picture changes";
    // The data changes without the summary being brought up to date: a
    // whole-file read is refused and the view keeps the one-value drawing.
    SaveUndoInformation(doc, 0, 2, UNDO_CHANGED, "Test");
    paint(doc);
    EXPECT_EQ(pixels(doc), before);
    EXPECT_EQ(position_of(doc).viewEnd, endBefore);
}

INSTANTIATE_TEST_SUITE_P(Formats, WaveViewPeaks, testing::ValuesIn(kCases));

TEST(WaveViewPeaksZoom, AtZoomOneAndOneFramePerColumnTheViewDrawsAsBefore) {
    ViewFrame f;
    RegWriteString("Sonrel\\Settings\\Boolean\\DirectDisplay", "0");
    for (DWORD zoom : {1u, 2u}) {
        Bytes d = wave16(4000, 3000, 2);
        HWND doc = make_view(f, Format{2, 16}, d, 200, 100, zoom, 10);
        UpdatePeakSummary(doc);
        RegWriteString(kPeakKey, "0");
        paint(doc);
        std::vector<uint32_t> off = pixels(doc);
        RegWriteString(kPeakKey, "1");
        paint(doc);
        EXPECT_EQ(pixels(doc), off) << "zoom " << zoom;
        RegWriteString(kPeakKey, "0");
    }
}

}  // namespace
