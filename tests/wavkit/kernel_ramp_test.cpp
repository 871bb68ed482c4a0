// Kernels with a running gain on real bytes: fade in, fade out and the channel
// fades, including the interleaved fast path against the plain sequential sum.
#include <gtest/gtest.h>

#include "kernel_test_util.h"

namespace {

using namespace kernel_test;
using kern::ByteRange;
using kern::Ramp;

// The text's definition, one value after the other: the gain carried in double
// precision, the single-precision step added once per value.
void reference_ramp(Bytes& b, int bits, ByteRange r, Ramp ramp, bool rising) {
    double g = ramp.start;
    double s = rising ? ramp.step : -ramp.step;
    if (bits == 8) {
        for (uint32_t i = r.start; i < r.start + r.length; ++i, g += s)
            b[i] = static_cast<uint8_t>(kern::scale_clamped(b[i] - 128, g, -128, 127) + 128);
        return;
    }
    Words w = words_of(b);
    for (uint32_t i = r.start / 2; i < (r.start + r.length) / 2; ++i, g += s)
        w[i] = static_cast<int16_t>(kern::scale_clamped(w[i], g, -32768, 32767));
    std::memcpy(b.data(), w.data(), w.size() * 2);  // an odd last byte stays
}

TEST(KernelFade, FadeInOverFourBytesFromTenPerCent) {
    Bytes b(4, 228);
    Ramp ramp = kern::fade_in_ramp(10, 4, 8);
    EXPECT_EQ(ramp.start, 1.0f - 0.9f);
    EXPECT_EQ(ramp.step, 0.9f / 4.0f);
    kern::ramp_kernel(b.data(), 8, ByteRange{0, 4}, ramp, true, kNoCheck);
    EXPECT_EQ(b, (Bytes{138, 160, 183, 205}));
}

TEST(KernelFade, FadeOutFallsFromFullVolume) {
    Bytes b(8, 228);
    Ramp ramp = kern::fade_out_ramp(0, 8, 8);
    EXPECT_EQ(ramp.start, 1.0f);
    EXPECT_EQ(ramp.step, 0.125f);
    kern::ramp_kernel(b.data(), 8, ByteRange{0, 8}, ramp, false, kNoCheck);
    EXPECT_EQ(b, (Bytes{228, 215, 203, 190, 178, 165, 153, 140}));
}

TEST(KernelFade, StereoChannelsOfOneFrameGetSuccessiveGains) {
    Bytes w = bytes_of({1000, 1000, 1000, 1000});
    Ramp ramp = kern::fade_out_ramp(0, 8, 16);  // N = 4 values
    EXPECT_EQ(ramp.step, 0.25f);
    kern::ramp_kernel(w.data(), 16, ByteRange{0, 8}, ramp, false, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{1000, 750, 500, 250}));
}

TEST(KernelFade, OnlyTheRangeChanges) {
    Bytes b(10, 228);
    kern::ramp_kernel(b.data(), 8, ByteRange{3, 4}, kern::fade_out_ramp(0, 4, 8), false, kNoCheck);
    EXPECT_EQ(b, (Bytes{228, 228, 228, 228, 203, 178, 153, 228, 228, 228}));
}

TEST(KernelFade, LongRangesGiveExactlyTheSequentialSum) {
    struct Case {
        int bits;
        unsigned percent;
        bool rising;
        uint32_t bytes;
    };
    const Case cases[] = {{8, 10, true, 1000003},  {8, 37, false, 2500001},
                          {16, 99, true, 3000002}, {16, 0, false, 2000000},
                          {8, 150, true, 100000},  {16, 250, false, 100006},
                          {16, 100, true, 40000},  {8, 1, false, 33}};
    unsigned seed = 1;
    for (const Case& c : cases) {
        Bytes data = random_bytes(c.bytes + 7, seed++);
        ByteRange r{7, c.bytes};
        Ramp ramp = c.rising ? kern::fade_in_ramp(c.percent, c.bytes, c.bits)
                             : kern::fade_out_ramp(c.percent, c.bytes, c.bits);
        Bytes expect = data;
        reference_ramp(expect, c.bits, r, ramp, c.rising);
        kern::ramp_kernel(data.data(), c.bits, r, ramp, c.rising, kNoCheck);
        ASSERT_EQ(data, expect) << c.bits << " bits, " << c.percent << " per cent";
    }
}

TEST(KernelFade, StepsTooFineForTheFastPathStillFollowTheSequentialSum) {
    // A step whose lowest bit lies far below the start's rules out the
    // interleaved sums; the result must be the same arithmetic all the same.
    for (Ramp ramp : {Ramp{1.0f, 1e-30f}, Ramp{0.7f, 3.3e-9f}, Ramp{1e-20f, 0.25f}}) {
        Bytes data = random_bytes(4096, 7);
        Bytes expect = data;
        reference_ramp(expect, 16, ByteRange{0, 4096}, ramp, false);
        kern::ramp_kernel(data.data(), 16, ByteRange{0, 4096}, ramp, false, kNoCheck);
        ASSERT_EQ(data, expect) << ramp.start << " " << ramp.step;
    }
}

TEST(KernelChannelFade, EightBitLeftToRightAndRightToLeft) {
    Bytes b(8, 228);
    ByteRange touched =
        kern::channel_fade_kernel(b.data(), 8, 8, 2, ByteRange{0, 8}, 1.0f, true, kNoCheck);
    EXPECT_EQ(b, (Bytes{228, 128, 203, 153, 178, 178, 153, 203}));
    EXPECT_EQ(touched.start, 0u);
    EXPECT_EQ(touched.length, 8u);
    b.assign(8, 228);
    kern::channel_fade_kernel(b.data(), 8, 8, 2, ByteRange{0, 8}, 1.0f, false, kNoCheck);
    EXPECT_EQ(b, (Bytes{128, 228, 153, 203, 178, 178, 203, 153}));
}

TEST(KernelChannelFade, EightBitStartMovesToTheNextFrameAndStopsBeforeTheDataEnd) {
    // Start 1 is not a multiple of the block align: the four frames begin at 2.
    Bytes b(12, 228);
    ByteRange touched =
        kern::channel_fade_kernel(b.data(), 10, 8, 2, ByteRange{1, 8}, 1.0f, true, kNoCheck);
    EXPECT_EQ(b, (Bytes{228, 228, 228, 128, 203, 153, 178, 178, 153, 203, 228, 228}));
    EXPECT_EQ(touched.start, 2u);
    EXPECT_EQ(touched.length, 8u);
    // With 9 bytes of data the fourth frame would reach byte 9: it is left alone.
    b.assign(12, 228);
    touched = kern::channel_fade_kernel(b.data(), 9, 8, 2, ByteRange{1, 8}, 1.0f, true, kNoCheck);
    EXPECT_EQ(b, (Bytes{228, 228, 228, 128, 203, 153, 178, 178, 228, 228, 228, 228}));
    EXPECT_EQ(touched.length, 6u);
}

TEST(KernelChannelFade, EightBitOddLengthWalksOneFrameMore) {
    // Length 7: frames ((7 - 1) / 2) + 1 = 4, step 1 / 3 in single precision;
    // the last gain falls a hair below 0, so the left value truncates to 0.
    Bytes b(8, 228);
    kern::channel_fade_kernel(b.data(), 8, 8, 2, ByteRange{0, 7}, 1.0f, true, kNoCheck);
    EXPECT_EQ(b, (Bytes{228, 128, 194, 161, 161, 194, 128, 228}));
}

TEST(KernelChannelFade, SixteenBitStartAddsItsRemainderAndStaysInTheData) {
    // Start 2, block align 4: the start becomes 4; frames at values 2 and 4; step 1 / 2.
    Bytes w = bytes_of({1000, 1000, 1000, 1000, 1000, 1000, 1000});
    ByteRange touched =
        kern::channel_fade_kernel(w.data(), 12, 16, 4, ByteRange{2, 8}, 1.0f, true, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{1000, 1000, 1000, 0, 500, 500, 1000}));
    EXPECT_EQ(touched.start, 4u);
    EXPECT_EQ(touched.length, 8u);
    w = bytes_of({1000, 1000, 1000, 1000, 1000, 1000, 1000});
    touched =
        kern::channel_fade_kernel(w.data(), 10, 16, 4, ByteRange{2, 8}, 1.0f, false, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{1000, 1000, 0, 1000, 1000, 1000, 1000}));
    EXPECT_EQ(touched.length, 4u);
}

TEST(KernelChannelFade, SpanIsKnownBeforeTheChange) {
    struct Case {
        uint32_t dataBytes;
        int bits;
        unsigned align;
        ByteRange r;
    };
    const Case cases[] = {{10, 8, 2, {1, 8}},  {9, 8, 2, {1, 8}},  {12, 16, 4, {2, 8}},
                          {10, 16, 4, {2, 8}}, {8, 8, 2, {0, 7}},  {100, 16, 4, {3, 50}},
                          {5, 8, 1, {4, 9}},   {6, 16, 4, {6, 4}}, {6, 16, 4, {0, 0}}};
    for (const Case& c : cases) {
        Bytes data(c.dataBytes + 8, 77);
        ByteRange planned = kern::channel_fade_span(c.dataBytes, c.bits, c.align, c.r);
        ByteRange touched = kern::channel_fade_kernel(data.data(), c.dataBytes, c.bits, c.align,
                                                      c.r, 1.0f, true, kNoCheck);
        EXPECT_EQ(planned.start, touched.start);
        EXPECT_EQ(planned.length, touched.length);
        EXPECT_LE(planned.start + planned.length, c.dataBytes);
        for (size_t i = 0; i < data.size(); ++i) {
            if (i < planned.start || i >= planned.start + planned.length) {
                ASSERT_EQ(data[i], 77) << "byte " << i << " outside the span changed";
            }
        }
    }
}

TEST(KernelChannelFade, StartGainAboveOneIsTakenAsOne) {
    Bytes a(8, 228), b(8, 228);
    kern::channel_fade_kernel(a.data(), 8, 8, 2, ByteRange{0, 8}, 2.5f, true, kNoCheck);
    kern::channel_fade_kernel(b.data(), 8, 8, 2, ByteRange{0, 8}, 1.0f, true, kNoCheck);
    EXPECT_EQ(a, b);
    // A lower start gain shifts the whole walk: 0.5, 0.25, 0, -0.25.
    Bytes c(8, 228);
    kern::channel_fade_kernel(c.data(), 8, 8, 2, ByteRange{0, 8}, 0.5f, true, kNoCheck);
    EXPECT_EQ(c, (Bytes{178, 178, 153, 203, 128, 228, 103, 253}));
}

TEST(KernelChannelFade, LongStereoRangesGiveExactlyTheSequentialSum) {
    const uint32_t bytes = 4000000;
    for (int bits : {8, 16}) {
        for (bool leftToRight : {true, false}) {
            Bytes data = random_bytes(bytes, bits + leftToRight);
            Bytes expect = data;
            unsigned align = bits == 8 ? 2 : 4;
            float s = 1.0f / static_cast<float>(bytes / (bits == 8 ? 2 : 4));
            double g = 1.0;
            for (uint32_t at = 0; at + 2 * (bits / 8) <= bytes; at += align, g -= s) {
                double gl = leftToRight ? g : 1.0 - g, gr = leftToRight ? 1.0 - g : g;
                if (bits == 8) {
                    expect[at] = static_cast<uint8_t>(
                        kern::scale_clamped(expect[at] - 128, gl, -128, 127) + 128);
                    expect[at + 1] = static_cast<uint8_t>(
                        kern::scale_clamped(expect[at + 1] - 128, gr, -128, 127) + 128);
                } else {
                    int16_t l, r;
                    std::memcpy(&l, &expect[at], 2);
                    std::memcpy(&r, &expect[at + 2], 2);
                    l = static_cast<int16_t>(kern::scale_clamped(l, gl, -32768, 32767));
                    r = static_cast<int16_t>(kern::scale_clamped(r, gr, -32768, 32767));
                    std::memcpy(&expect[at], &l, 2);
                    std::memcpy(&expect[at + 2], &r, 2);
                }
            }
            kern::channel_fade_kernel(data.data(), bytes, bits, align, ByteRange{0, bytes}, 1.0f,
                                      leftToRight, kNoCheck);
            ASSERT_EQ(data, expect) << bits << " bits";
        }
    }
}

TEST(KernelChannelFade, TinyRangesTouchAtMostOneFrame) {
    Bytes b{228, 228, 228, 228};
    ByteRange touched =
        kern::channel_fade_kernel(b.data(), 4, 8, 2, ByteRange{0, 1}, 1.0f, true, kNoCheck);
    EXPECT_EQ(b, (Bytes{228, 128, 228, 228}));
    EXPECT_EQ(touched.length, 2u);
    Bytes w = bytes_of({7, 7, 7});
    touched = kern::channel_fade_kernel(w.data(), 6, 16, 4, ByteRange{0, 3}, 1.0f, true, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{7, 0, 7}));
    touched = kern::channel_fade_kernel(w.data(), 6, 16, 4, ByteRange{0, 0}, 1.0f, true, kNoCheck);
    EXPECT_EQ(touched.length, 0u);
}

}  // namespace
