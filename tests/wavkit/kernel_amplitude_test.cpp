// The amplitude kernels on real bytes: volume, peak volume, silence, zeroize,
// the single-sample routines and the range rules they share.
#include <gtest/gtest.h>

#include "kernel_test_util.h"

namespace {

using namespace kernel_test;
using kern::ByteRange;

TEST(KernelRanges, WorkingRangeIsTheMarkOrTheWholeDataHeldWithinTheData) {
    EXPECT_EQ(kern::working_range(10, 0, 100).start, 0u);
    EXPECT_EQ(kern::working_range(10, 0, 100).length, 100u);
    EXPECT_EQ(kern::working_range(10, 20, 100).start, 10u);
    EXPECT_EQ(kern::working_range(10, 20, 100).length, 20u);
    // A mark reaching past the data is cut at the data's end; one beyond it is empty.
    EXPECT_EQ(kern::working_range(90, 20, 100).length, 10u);
    EXPECT_EQ(kern::working_range(150, 20, 100).start, 100u);
    EXPECT_EQ(kern::working_range(150, 20, 100).length, 0u);
    EXPECT_EQ(kern::working_range(0xFFFFFFF0u, 0xFFFFFFF0u, 100).length, 0u);
}

TEST(KernelRanges, SixteenBitWalksCoverWholeValuesRoundedDown) {
    ByteRange s = kern::value_span(ByteRange{3, 6}, 16);  // values 1 .. 3 (bytes 2 .. 7)
    EXPECT_EQ(s.start, 2u);
    EXPECT_EQ(s.length, 6u);
    s = kern::value_span(ByteRange{3, 6}, 8);
    EXPECT_EQ(s.start, 3u);
    EXPECT_EQ(s.length, 6u);
}

TEST(KernelSample, ChangeSampleVolumeTruncatesAndClamps) {
    EXPECT_EQ(kern::change_sample(200, 8, 2.0f), 255);  // 72 * 2 = 144, clamped to 127
    EXPECT_EQ(kern::change_sample(0, 8, 2.0f), 0);      // -256 clamped to -128
    EXPECT_EQ(kern::change_sample(100, 8, 0.5f), 114);  // -28 * 0.5 = -14
    EXPECT_EQ(kern::change_sample(127, 8, 0.5f), 128);  // -0.5 truncates to 0
    EXPECT_EQ(kern::change_sample(20000, 16, 2.0f), 32767);
    EXPECT_EQ(kern::change_sample(-20000, 16, 2.0f), -32768);
    EXPECT_EQ(kern::change_sample(-3, 16, 0.5f), -1);
    EXPECT_EQ(kern::change_sample(-3, 12, 0.5f), -1);  // any width but 8 is 16-bit
}

TEST(KernelSample, PixelOffsetFromTheCentreLine) {
    EXPECT_EQ(kern::pixel_offset(32767, 16, 100), 49);
    EXPECT_EQ(kern::pixel_offset(-32768, 16, 100), -50);
    EXPECT_EQ(kern::pixel_offset(0, 8, 100), -50);
    EXPECT_EQ(kern::pixel_offset(128, 8, 100), 0);
    EXPECT_EQ(kern::pixel_offset(255, 8, 100), 49);
    EXPECT_EQ(kern::pixel_offset(0x1FF, 8, 100), 49);  // only the low byte counts
    EXPECT_EQ(kern::pixel_offset(-1, 16, 100), 0);     // -0.0015 truncates toward zero
}

TEST(KernelVolume, GainIsThePercentageInSinglePrecision) {
    EXPECT_EQ(kern::volume_gain(200), 2.0f);
    EXPECT_EQ(kern::volume_gain(50), 0.5f);
    EXPECT_EQ(kern::volume_gain(13), 13.0f * 0.01f);
}

TEST(KernelVolume, ClampsFromTheFullProduct) {
    Bytes b{200, 0, 128, 228};
    kern::volume_kernel(b.data(), 8, ByteRange{0, 4}, kern::volume_gain(200), kNoCheck);
    EXPECT_EQ(b, (Bytes{255, 0, 128, 255}));
    // 40000 per cent: 100 * 400 = 40000 is clamped, never wrapped.
    b = {228, 28};
    kern::volume_kernel(b.data(), 8, ByteRange{0, 2}, kern::volume_gain(40000), kNoCheck);
    EXPECT_EQ(b, (Bytes{255, 0}));
    Bytes w = bytes_of({20000, -20000, -3, 7});
    kern::volume_kernel(w.data(), 16, ByteRange{0, 8}, kern::volume_gain(200), kNoCheck);
    EXPECT_EQ(words_of(w), (Words{32767, -32768, -6, 14}));
    w = bytes_of({-3, 3, -1, 32767});
    kern::volume_kernel(w.data(), 16, ByteRange{0, 8}, kern::volume_gain(50), kNoCheck);
    EXPECT_EQ(words_of(w), (Words{-1, 1, 0, 16383}));
}

TEST(KernelVolume, EveryByteAndEveryWordFollowsTheSampleRule) {
    for (unsigned percent : {1u, 33u, 50u, 99u, 101u, 150u, 333u, 999u}) {
        float g = kern::volume_gain(percent);
        Bytes b(256);
        for (int i = 0; i < 256; ++i) b[i] = static_cast<uint8_t>(i);
        kern::volume_kernel(b.data(), 8, ByteRange{0, 256}, g, kNoCheck);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(b[i], kern::change_sample(i, 8, g)) << i;
        Words w(65536);
        for (int i = 0; i < 65536; ++i) w[i] = static_cast<int16_t>(i - 32768);
        Bytes wb = bytes_of(w);
        kern::volume_kernel(wb.data(), 16, ByteRange{0, static_cast<uint32_t>(wb.size())}, g,
                            kNoCheck);
        Words out = words_of(wb);
        for (int i = 0; i < 65536; ++i)
            ASSERT_EQ(out[i], kern::change_sample(i - 32768, 16, g)) << i;
    }
}

TEST(KernelVolume, LongAndShortRangesAgreeWithTheSampleRule) {
    // Long ranges look results up in tables built per call, short ones compute
    // each value; an odd start and length leave single bytes at the ends.
    const float g = kern::volume_gain(137);
    for (uint32_t length : {70001u, 301u}) {
        Bytes b = random_bytes(length + 8, length);
        const Bytes before = b;
        kern::volume_kernel(b.data(), 8, ByteRange{3, length}, g, kNoCheck);
        for (size_t i = 0; i < b.size(); ++i) {
            int expect =
                i >= 3 && i < 3 + length ? kern::change_sample(before[i], 8, g) : before[i];
            ASSERT_EQ(b[i], expect) << "byte " << i << " of " << length;
        }
        Words w = random_words(length + 4, length + 1);
        Bytes wb = bytes_of(w);
        // Values 2 .. length + 2.
        kern::volume_kernel(wb.data(), 16, ByteRange{5, 2 * length}, g, kNoCheck);
        Words out = words_of(wb);
        for (size_t i = 0; i < w.size(); ++i) {
            int expect = i >= 2 && i < length + 2 ? kern::change_sample(w[i], 16, g) : w[i];
            ASSERT_EQ(out[i], expect) << "value " << i << " of " << length;
        }
    }
}

TEST(KernelVolume, TouchesOnlyTheRange) {
    Bytes b(10, 228);
    kern::volume_kernel(b.data(), 8, ByteRange{3, 4}, 0.5f, kNoCheck);
    EXPECT_EQ(b, (Bytes{228, 228, 228, 178, 178, 178, 178, 228, 228, 228}));
    // 16-bit range 3 .. 9 walks values 1 .. 3 (bytes 2 .. 7).
    Bytes w = bytes_of({100, 100, 100, 100, 100});
    kern::volume_kernel(w.data(), 16, ByteRange{3, 6}, 0.5f, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{100, 50, 50, 50, 100}));
}

TEST(KernelPeak, ScalesTheLargestPositiveValueTowardsFullScale) {
    // 127 / 100 in single precision is a little below 1.27: the peak lands on 126.
    Bytes b{228, 78, 128, 200};
    EXPECT_EQ(kern::peak_value(b.data(), 8, ByteRange{0, 4}, kNoCheck), 100);
    EXPECT_TRUE(kern::peak_kernel(b.data(), 8, ByteRange{0, 4}, kNoCheck));
    EXPECT_EQ(b, (Bytes{254, 65, 128, 219}));  // 100 -> 126, -50 -> -63, 72 -> 91
    // 32767 / 16384 is exact: the peak reaches full scale.
    Bytes w = bytes_of({16384, -8192, 100, -16384});
    EXPECT_TRUE(kern::peak_kernel(w.data(), 16, ByteRange{0, 8}, kNoCheck));
    EXPECT_EQ(words_of(w), (Words{32767, -16383, 199, -32767}));
}

TEST(KernelPeak, NegativeValuesAreNotFoldedToTheirMagnitude) {
    Bytes w = bytes_of({-30000, 1000, -200});
    EXPECT_EQ(kern::peak_value(w.data(), 16, ByteRange{0, 6}, kNoCheck), 1000);
    EXPECT_TRUE(kern::peak_kernel(w.data(), 16, ByteRange{0, 6}, kNoCheck));
    // 32767 / 1000 in single precision is below 32.767: the peak lands one step short.
    EXPECT_EQ(words_of(w), (Words{-32768, 32766, -6553}));
}

TEST(KernelPeak, ChangesNothingAtFullScaleOrWithoutAPositivePeak) {
    Bytes full{255, 128, 10};
    EXPECT_FALSE(kern::peak_kernel(full.data(), 8, ByteRange{0, 3}, kNoCheck));
    EXPECT_EQ(full, (Bytes{255, 128, 10}));
    Bytes silent(8, 128);
    EXPECT_FALSE(kern::peak_kernel(silent.data(), 8, ByteRange{0, 8}, kNoCheck));
    EXPECT_EQ(silent, Bytes(8, 128));
    Bytes below{100, 0, 127};
    EXPECT_FALSE(kern::peak_kernel(below.data(), 8, ByteRange{0, 3}, kNoCheck));
    EXPECT_EQ(below, (Bytes{100, 0, 127}));
    Bytes w = bytes_of({-5, -32768, 0});
    EXPECT_FALSE(kern::peak_kernel(w.data(), 16, ByteRange{0, 6}, kNoCheck));
    EXPECT_EQ(words_of(w), (Words{-5, -32768, 0}));
    Bytes top = bytes_of({32767, 5});
    EXPECT_FALSE(kern::peak_kernel(top.data(), 16, ByteRange{0, 4}, kNoCheck));
    EXPECT_EQ(words_of(top), (Words{32767, 5}));
    // An empty range reports the starting value and changes nothing.
    EXPECT_EQ(kern::peak_value(w.data(), 16, ByteRange{2, 1}, kNoCheck), -32767);
    EXPECT_FALSE(kern::peak_kernel(w.data(), 16, ByteRange{2, 1}, kNoCheck));
}

TEST(KernelSilence, EightBitSilenceIs127AndSixteenBitIsZero) {
    Bytes b(6, 200);
    kern::silence_kernel(b.data(), 8, ByteRange{1, 4}, kNoCheck);
    EXPECT_EQ(b, (Bytes{200, 127, 127, 127, 127, 200}));
    Bytes w = bytes_of({9, 9, 9, 9});
    kern::silence_kernel(w.data(), 16, ByteRange{2, 4}, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{9, 0, 0, 9}));
    Bytes f(5, 1);
    kern::fill_silence(f.data(), 8, 1, 3, kNoCheck);
    EXPECT_EQ(f, (Bytes{1, 127, 127, 127, 1}));
    kern::fill_silence(f.data(), 16, 0, 3, kNoCheck);
    EXPECT_EQ(f, (Bytes{0, 0, 0, 127, 1}));
}

TEST(KernelZeroize, DefaultThresholdsAreThreeAnd983) {
    kern::ZeroizeThresholds t = kern::zeroize_thresholds(30);
    EXPECT_EQ(t.t8, 3);
    EXPECT_EQ(t.t16, 983);
    t = kern::zeroize_thresholds(1000);
    EXPECT_EQ(t.t8, 126);  // 100 * 1.27f is just below 127
    EXPECT_EQ(t.t16, 32767);
}

TEST(KernelZeroize, StrictComparisonsAroundTheZeroLine) {
    Bytes b;
    for (int i = 120; i <= 135; ++i) b.push_back(static_cast<uint8_t>(i));
    Bytes expect = b;
    for (int i = 125; i <= 129; ++i) expect[i - 120] = 127;
    kern::zeroize_kernel(b.data(), 8, ByteRange{0, static_cast<uint32_t>(b.size())},
                         kern::zeroize_thresholds(30), kNoCheck);
    EXPECT_EQ(b, expect);
    Bytes w = bytes_of({-983, -982, -1, 0, 1, 982, 983, 30000});
    kern::zeroize_kernel(w.data(), 16, ByteRange{0, 16}, kern::zeroize_thresholds(30), kNoCheck);
    EXPECT_EQ(words_of(w), (Words{-983, 0, 0, 0, 0, 0, 983, 30000}));
}

TEST(KernelZeroize, ThresholdsAtTheExtremes) {
    // P = 0 silences nothing, not even the zero line.
    Bytes b{126, 127, 128};
    kern::zeroize_kernel(b.data(), 8, ByteRange{0, 3}, kern::zeroize_thresholds(0), kNoCheck);
    EXPECT_EQ(b, (Bytes{126, 127, 128}));
    // P = 1000: -126 < b - 127 < 126 keeps only 0, 1 and 253 .. 255.
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
    kern::zeroize_kernel(all.data(), 8, ByteRange{0, 256}, kern::zeroize_thresholds(1000),
                         kNoCheck);
    for (int i = 0; i < 256; ++i) {
        bool kept = i <= 1 || i >= 253;
        EXPECT_EQ(all[i], kept ? i : 127) << i;
    }
    // Thresholds beyond full scale silence every 16-bit value.
    Bytes w = bytes_of({-32768, 32767, 5});
    kern::zeroize_kernel(w.data(), 16, ByteRange{0, 6}, kern::ZeroizeThresholds{0, 40000},
                         kNoCheck);
    EXPECT_EQ(words_of(w), (Words{0, 0, 0}));
}

}  // namespace
