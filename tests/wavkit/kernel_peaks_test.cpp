// The peak summary's kernels against a plain scan of the same frames.
#include <gtest/gtest.h>
#include <kernels/peaks.h>

#include <algorithm>
#include <random>

#include "kernel_test_util.h"

namespace {

using kern::PeakPair;
using kernel_test::Bytes;

// Quiet noise around the zero line with sparse spikes of random heights, so
// that the extremes of a stretch depend on which spikes it holds.
Bytes spiky(size_t values, int bits, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(bits == 8 ? values : values * 2);
    for (size_t i = 0; i < values; ++i) {
        int v = static_cast<int>(rng() % 7) - 3;
        if (rng() % 997 == 0)
            v = static_cast<int>(rng() % (bits == 8 ? 256 : 65536)) - (bits == 8 ? 128 : 32768);
        if (bits == 8) {
            b[i] = static_cast<uint8_t>(std::clamp(v + 128, 0, 255));
        } else {
            auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
            b[2 * i] = static_cast<uint8_t>(u & 0xFF);
            b[2 * i + 1] = static_cast<uint8_t>(u >> 8);
        }
    }
    return b;
}

// The value of channel c of frame f, read byte by byte.
int value_at(const Bytes& b, int bits, int channels, size_t f, int c) {
    size_t i = f * channels + c;
    if (bits == 8) return b[i];
    return static_cast<int16_t>(static_cast<uint16_t>(b[2 * i] | (b[2 * i + 1] << 8)));
}

PeakPair plain(const Bytes& b, int bits, int channels, size_t first, size_t end, int c) {
    int lo = 1 << 20, hi = -(1 << 20);
    for (size_t f = first; f < end; ++f) {
        lo = std::min(lo, value_at(b, bits, channels, f, c));
        hi = std::max(hi, value_at(b, bits, channels, f, c));
    }
    return PeakPair{int16_t(lo), int16_t(hi)};
}

struct Case {
    int bits;
    int channels;
    uint32_t values;  // odd lengths: ragged last blocks, a stereo value without its pair
};

const Case kCases[] = {
    {8, 1, 1},    {8, 1, 511},      {8, 1, 8192 * 3 + 7}, {8, 2, 1025},   {8, 2, 2621443},
    {16, 1, 513}, {16, 1, 2100001}, {16, 2, 2},           {16, 2, 70001}, {16, 2, 4194305},
};

class PeakSummary : public testing::TestWithParam<Case> {};

TEST_P(PeakSummary, AnyStretchGivesTheExtremesOfAPlainScan) {
    const Case k = GetParam();
    Bytes data = spiky(k.values, k.bits, k.values);
    kern::PeakLayout l = kern::peak_layout(k.values, k.bits, k.channels);
    ASSERT_EQ(l.frames, k.values / k.channels);
    std::vector<PeakPair> pairs(l.pairs);
    kern::build_peaks(data.data(), l, pairs.data(), 0, l.frames);

    std::mt19937 rng(7);
    for (int n = 0; n < 300; ++n) {
        uint32_t a = rng() % l.frames;
        // Short, block-sized and long stretches, some running past the end.
        uint32_t spans[] = {1, 600, 20000, 3000000};
        uint32_t b = a + 1 + rng() % spans[n % 4];
        PeakPair got[2], scanned[2];
        kern::query_peaks(data.data(), l, pairs.data(), a, b, got);
        kern::scan_peaks(data.data(), k.bits, k.channels, a, std::min(b, l.frames), scanned);
        for (int c = 0; c < k.channels; ++c) {
            PeakPair want = plain(data, k.bits, k.channels, a, std::min(b, l.frames), c);
            ASSERT_EQ(got[c].min, want.min) << a << ".." << b << " channel " << c;
            ASSERT_EQ(got[c].max, want.max) << a << ".." << b << " channel " << c;
            ASSERT_EQ(scanned[c].min, want.min);
            ASSERT_EQ(scanned[c].max, want.max);
        }
    }
}

TEST_P(PeakSummary, RebuildingAChangedStretchGivesTheWholeBuild) {
    const Case k = GetParam();
    Bytes data = spiky(k.values, k.bits, k.values + 1);
    kern::PeakLayout l = kern::peak_layout(k.values, k.bits, k.channels);
    std::vector<PeakPair> pairs(l.pairs);
    kern::build_peaks(data.data(), l, pairs.data(), 0, l.frames);
    // A loud stretch in the middle, then only its frames built again.
    uint32_t first = l.frames / 3, end = std::min(l.frames, first + 700);
    size_t width = k.bits == 8 ? 1 : 2;
    std::fill(data.begin() + first * k.channels * width, data.begin() + end * k.channels * width,
              uint8_t{0x7F});
    kern::build_peaks(data.data(), l, pairs.data(), first, end);
    std::vector<PeakPair> whole(l.pairs);
    kern::build_peaks(data.data(), l, whole.data(), 0, l.frames);
    for (uint32_t i = 0; i < l.pairs; ++i) {
        ASSERT_EQ(pairs[i].min, whole[i].min) << i;
        ASSERT_EQ(pairs[i].max, whole[i].max) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PeakSummary, testing::ValuesIn(kCases));

TEST(PeakSummarySize, AtMostOnePerCentOfTheData) {
    for (const Case& k : {Case{8, 1, 1000003}, Case{8, 2, 100000001}, Case{16, 1, 900001},
                          Case{16, 2, 317520000}}) {
        kern::PeakLayout l = kern::peak_layout(k.values, k.bits, k.channels);
        EXPECT_LE(uint64_t(l.pairs) * sizeof(PeakPair) * 100, uint64_t(k.values) * (k.bits / 8))
            << k.bits << " bit, " << k.channels << " channels";
    }
}

TEST(PeakSummaryEmpty, AnEmptyStretchHasNoExtremes) {
    Bytes data = spiky(100, 8, 1);
    kern::PeakLayout l = kern::peak_layout(100, 8, 1);
    std::vector<PeakPair> pairs(l.pairs);
    kern::build_peaks(data.data(), l, pairs.data(), 0, l.frames);
    PeakPair r[2];
    kern::query_peaks(data.data(), l, pairs.data(), 100, 200, r);  // wholly past the end
    EXPECT_GT(r[0].min, r[0].max);
    kern::scan_peaks(data.data(), 8, 1, 5, 5, r);
    EXPECT_GT(r[0].min, r[0].max);
}

}  // namespace
