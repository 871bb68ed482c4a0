// Drawn paths on real bytes: the volume path against the plain value-by-value
// rule through ChangeSampleVolume, hand-worked paths, the ends of the range and
// of the data; the channel path against the plain frame-by-frame fades.
#include <gtest/gtest.h>
#include <sonrel/effects.h>

#include <vector>

#include "kernel_test_util.h"

namespace {

using namespace kernel_test;
using kern::ByteRange;
using kern::CurvePin;
using Path = std::vector<CurvePin>;

uint64_t share(int32_t dx, uint64_t length) {
    return dx <= 0 ? 0
                   : static_cast<uint64_t>(static_cast<long double>(dx) *
                                           static_cast<long double>(0.0033333334f) * length);
}

// Reads and writes sample value j of 8-bit or 16-bit data.
int value_at(const Bytes& b, int bits, uint64_t j) {
    if (bits == 8) return b[j];
    int16_t v;
    std::memcpy(&v, &b[2 * j], 2);
    return v;
}
void set_value(Bytes& b, int bits, uint64_t j, int v) {
    if (bits == 8) {
        b[j] = static_cast<uint8_t>(v);
        return;
    }
    int16_t s = static_cast<int16_t>(v);
    std::memcpy(&b[2 * j], &s, 2);
}

// The volume path, one value after the other: value k of a segment of v
// values gets t + k (e - t) / v in single precision (the last e), through the
// exported sample routine.
void reference_volume(Bytes& b, int bits, ByteRange r, uint32_t dataBytes, const Path& path) {
    unsigned width = bits == 8 ? 1 : 2;
    uint64_t d = r.start / width, values = r.length / width;
    uint64_t end = std::min<uint64_t>(d + values, dataBytes / width);
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        uint64_t v = share(path[i + 1].x - path[i].x, values);
        float t = static_cast<float>(200 - path[i].y) * 0.01f;
        float e = static_cast<float>(200 - path[i + 1].y) * 0.01f;
        for (uint64_t k = 1; k <= v && d + k - 1 < end; ++k) {
            float gain = k == v ? e : static_cast<float>(t + k * ((double(e) - t) / v));
            uint64_t j = d + k - 1;
            set_value(b, bits, j, ChangeSampleVolume(value_at(b, bits, j), bits, gain));
        }
        d += v;
    }
}

// One plain channel fade, frame by frame, as the channel fade operations walk it.
void reference_fade(Bytes& b, uint32_t dataBytes, int bits, unsigned align, ByteRange r,
                    bool leftToRight) {
    if (r.length == 0) return;
    std::vector<uint64_t> frames;  // index of each frame's left value
    float step;
    if (bits == 8) {
        uint64_t at = r.start + (r.start % align ? 1 : 0);
        for (uint64_t f = 0; f < (r.length - 1) / 2 + 1; ++f) frames.push_back(at + 2 * f);
        step = 1.0f / static_cast<float>(r.length / 2);
    } else {
        uint64_t start = uint64_t{r.start} + r.start % align;
        for (uint64_t i = start / 2; i < (start + r.length) / 2; i += 2) frames.push_back(i);
        step = 1.0f / static_cast<float>(r.length / 4);
    }
    unsigned width = bits == 8 ? 1 : 2;
    int lo = bits == 8 ? -128 : -32768, hi = bits == 8 ? 127 : 32767, centre = bits == 8 ? 128 : 0;
    auto scale = [&](uint64_t j, double gain) {
        int v = value_at(b, bits, j) - centre;
        set_value(b, bits, j, kern::scale_clamped(v, gain, lo, hi) + centre);
    };
    double g = 1.0;  // carried in double precision, the single-precision step subtracted
    for (uint64_t left : frames) {
        if ((left + 2) * width > dataBytes) break;
        scale(left, leftToRight ? g : 1.0 - g);
        scale(left + 1, leftToRight ? 1.0 - g : g);
        g -= step;
    }
}

void reference_channels(Bytes& b, uint32_t dataBytes, int bits, unsigned align, ByteRange r,
                        const Path& path) {
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        CurvePin a = path[i], z = path[i + 1];
        ByteRange seg{static_cast<uint32_t>(r.start + share(a.x, r.length)),
                      static_cast<uint32_t>(share(z.x - a.x, r.length))};
        if (z.y <= a.y - 2) reference_fade(b, dataBytes, bits, align, seg, true);
        if (z.y >= a.y) reference_fade(b, dataBytes, bits, align, seg, false);
    }
}

Bytes constant(int bits, size_t values, int v) {
    Bytes b(values * (bits == 8 ? 1 : 2));
    for (size_t j = 0; j < values; ++j) set_value(b, bits, j, v);
    return b;
}

const Path kFlat = {{0, 100}, {300, 100}};
const Path kRise = {{0, 200}, {300, 0}};  // 0 % to 200 %

TEST(KernelCurveVolume, PinsAtOneHundredPerCentLeaveEveryLayoutUnchanged) {
    struct Case {
        int bits;
        unsigned align;  // 1, 2: 8-bit mono, stereo; 2, 4: 16-bit mono, stereo
        ByteRange r;     // within 4000 bytes
    };
    const Case cases[] = {{8, 1, {0, 4000}},    {8, 2, {0, 4000}},    {16, 2, {0, 4000}},
                          {16, 4, {0, 4000}},   {8, 1, {333, 1201}},  {8, 2, {334, 1200}},
                          {16, 2, {334, 1200}}, {16, 4, {1001, 2999}}};
    Path fourFlat = {{0, 100}, {100, 100}, {200, 100}, {300, 100}};
    for (const Case& c : cases) {
        for (const Path* path : {&kFlat, static_cast<const Path*>(&fourFlat)}) {
            Bytes data = random_bytes(4000, c.r.start + c.bits);
            Bytes before = data;
            kern::curve_volume_kernel(data.data(), c.bits, c.r, 4000, path->data(),
                                      int(path->size()), kNoCheck);
            EXPECT_EQ(data, before) << c.bits << " bits, start " << c.r.start;
        }
    }
}

TEST(KernelCurveVolume, StraightRiseFromZeroToTwoHundredPerCent) {
    // 300 values: v = 300, value k gets k / 150: k = 1 gives 1000 * 0.00666 = 6,
    // the middle value exactly 1000, the last exactly 2000; 8-bit 228 (v = 100) alike.
    Bytes w = constant(16, 300, 1000);
    kern::curve_volume_kernel(w.data(), 16, ByteRange{0, 600}, 600, kRise.data(), 2, kNoCheck);
    EXPECT_EQ(value_at(w, 16, 0), 6);
    EXPECT_EQ(value_at(w, 16, 1), 13);
    EXPECT_EQ(value_at(w, 16, 149), 1000);
    EXPECT_EQ(value_at(w, 16, 298), 1993);
    EXPECT_EQ(value_at(w, 16, 299), 2000);
    Bytes b = constant(8, 300, 228);
    kern::curve_volume_kernel(b.data(), 8, ByteRange{0, 300}, 300, kRise.data(), 2, kNoCheck);
    EXPECT_EQ(b[0], 128);
    EXPECT_EQ(b[149], 228);
    EXPECT_EQ(b[299], 255) << "200 clamps to 127";
    for (size_t k = 1; k < 300; ++k)
        ASSERT_GE(value_at(w, 16, k), value_at(w, 16, k - 1)) << "a rising path never falls";
}

// Over millions of values too: each gain comes from its index, so no running
// sum drifts off the drawn line and misses 0 at the end.
TEST(KernelCurveVolume, LastPinAtTheBottomFadesTheSecondHalfToSilence) {
    Path path = {{0, 100}, {150, 100}, {300, 200}};
    for (int bits : {8, 16}) {
        for (uint32_t values : {600u, 100000u, 3000001u}) {
            int loud = bits == 8 ? 28 : -20000;
            Bytes data = constant(bits, values, loud);
            uint32_t bytes = uint32_t(data.size());
            kern::curve_volume_kernel(data.data(), bits, ByteRange{0, bytes}, bytes, path.data(), 3,
                                      kNoCheck);
            uint64_t first = share(150, values), second = share(150, values);
            uint64_t last = std::min<uint64_t>(first + second, values) - 1;
            EXPECT_EQ(value_at(data, bits, 0), loud) << "the first half stays";
            EXPECT_EQ(value_at(data, bits, first - 1), loud);
            EXPECT_EQ(value_at(data, bits, last), bits == 8 ? 128 : 0)
                << values << " values: factor 0 at the last processed value";
            int prev = std::abs(value_at(data, bits, first) - (bits == 8 ? 128 : 0));
            EXPECT_LT(prev, std::abs(loud - (bits == 8 ? 128 : 0)));
        }
    }
}

TEST(KernelCurveVolume, OnlyTheWalkedValuesChange) {
    // 1000 values and three segments of trunc(100 * 0.0033333334 * 1000) = 333:
    // the last value is left out; the bytes around the mark stay.
    Path path = {{0, 0}, {100, 0}, {200, 0}, {300, 0}};
    Bytes w = constant(16, 1200, 1000);
    kern::curve_volume_kernel(w.data(), 16, ByteRange{200, 2000}, 2400, path.data(), 4, kNoCheck);
    EXPECT_EQ(value_at(w, 16, 99), 1000);
    EXPECT_EQ(value_at(w, 16, 100), 2000);
    EXPECT_EQ(value_at(w, 16, 1098), 2000);
    EXPECT_EQ(value_at(w, 16, 1099), 1000) << "left out by the truncated shares";
    EXPECT_EQ(value_at(w, 16, 1100), 1000);
    ByteRange span = kern::curve_volume_span(16, ByteRange{200, 2000}, 2400);
    EXPECT_EQ(span.start, 200u);
    EXPECT_EQ(span.length, 2000u);
}

TEST(KernelCurveVolume, RangesPastTheDataStopAtItsEnd) {
    struct Case {
        int bits;
        ByteRange r;
        uint32_t dataBytes;
        uint32_t spanStart, spanLength;
    };
    const Case cases[] = {{8, {10, 90}, 50, 10, 40},   {16, {11, 90}, 50, 10, 40},
                          {16, {0, 7}, 100, 0, 6},     {8, {60, 10}, 50, 50, 0},
                          {16, {51, 40}, 100, 50, 40}, {16, {3, 1}, 100, 3, 0}};
    for (const Case& c : cases) {
        Bytes data(c.dataBytes + 64, 200);
        Bytes expect = data;
        reference_volume(expect, c.bits, c.r, c.dataBytes, kRise);
        kern::curve_volume_kernel(data.data(), c.bits, c.r, c.dataBytes, kRise.data(), 2, kNoCheck);
        EXPECT_EQ(data, expect);
        ByteRange span = kern::curve_volume_span(c.bits, c.r, c.dataBytes);
        EXPECT_EQ(span.start, c.spanStart);
        EXPECT_EQ(span.length, c.spanLength);
        for (size_t i = 0; i < data.size(); ++i) {
            if (i < span.start || i >= span.start + span.length) {
                ASSERT_EQ(data[i], 200) << "byte " << i << " outside the span changed";
            }
        }
    }
}

TEST(KernelCurveVolume, BlocksGiveExactlyThePlainRule) {
    const Path paths[] = {
        kRise,
        {{0, 150}, {150, 50}, {300, 100}},
        {{0, 0}, {1, 200}, {2, 0}, {299, 200}, {300, 0}},
        {{0, 37}, {42, 181}, {84, 100}, {126, 99}, {168, 3}, {210, 200}, {252, 0}, {300, 111}},
        {{0, 100}, {150, 200}, {300, 200}},
    };
    struct Layout {
        int bits;
        ByteRange r;
        uint32_t dataBytes;
    };
    const Layout layouts[] = {{8, {0, 3000017}, 3000017},  {16, {0, 3000002}, 3000002},
                              {8, {7, 100003}, 100010},    {16, {9, 100003}, 100012},
                              {16, {1, 4000000}, 2000000}, {8, {5, 301}, 400},
                              {16, {4, 302}, 306},         {8, {0, 33}, 33}};
    // Both the wider copy (where the machine has one) and the narrower code.
    for (bool wide : {true, false}) {
        kern::use_wide_units(wide);
        unsigned seed = 3;
        for (const Path& path : paths) {
            for (const Layout& l : layouts) {
                Bytes data = random_bytes(l.dataBytes + 32, seed++);
                Bytes expect = data;
                reference_volume(expect, l.bits, l.r, l.dataBytes, path);
                kern::curve_volume_kernel(data.data(), l.bits, l.r, l.dataBytes, path.data(),
                                          int(path.size()), kNoCheck);
                kern::use_wide_units(true);
                ASSERT_EQ(data, expect) << (wide ? "wide, " : "narrow, ") << l.bits << " bits, "
                                        << l.r.length << " bytes, " << path.size() << " pins";
                kern::use_wide_units(wide);
            }
        }
    }
    kern::use_wide_units(true);
}

TEST(KernelCurveVolume, SegmentsWalkOneAfterTheOther) {
    Path path = {{0, 150}, {100, 0}, {250, 200}, {300, 40}};
    Bytes whole = random_bytes(90000, 9), stepwise = whole;
    ByteRange r{1000, 80000};
    kern::curve_volume_kernel(whole.data(), 16, r, 90000, path.data(), 4, kNoCheck);
    kern::CurveWalk walk = kern::curve_volume_walk(16, r, 90000);
    EXPECT_EQ(walk.next, 500u);
    EXPECT_EQ(walk.end, 40500u);
    EXPECT_EQ(walk.values, 40000u);
    for (int i = 0; i < 3; ++i)
        kern::curve_volume_segment(stepwise.data(), 16, walk, path[i], path[i + 1], kNoCheck);
    EXPECT_EQ(walk.next, 500u + 13333 + 20000 + 6666);
    EXPECT_EQ(stepwise, whole);
}

TEST(KernelCurveShare, SharesAreTruncatedWithTheSinglePrecisionThird) {
    EXPECT_EQ(kern::curve_share(150, 300), 150u);
    EXPECT_EQ(kern::curve_share(100, 1000), 333u);
    EXPECT_EQ(kern::curve_share(300, 1000), 1000u);
    // 0.0033333334 lies above 1/300: a whole range of 2^30 values comes out 26 longer.
    EXPECT_EQ(kern::curve_share(300, 1u << 30), (1u << 30) + 26);
    EXPECT_EQ(kern::curve_share(0, 1000), 0u);
    EXPECT_EQ(kern::curve_share(-5, 1000), 0u);
}

TEST(KernelCurveChannels, SegmentsFadeByTheirSlope) {
    struct Case {
        CurvePin a, b;
        kern::CurveFade fade;
    };
    using kern::CurveFade;
    const Case cases[] = {{{0, 100}, {150, 98}, CurveFade::kLeftToRight},
                          {{0, 100}, {150, 0}, CurveFade::kLeftToRight},
                          {{0, 100}, {150, 99}, CurveFade::kNone},
                          {{0, 100}, {150, 100}, CurveFade::kRightToLeft},
                          {{0, 100}, {150, 200}, CurveFade::kRightToLeft}};
    for (const Case& c : cases) {
        kern::CurveChannelSegment s = kern::curve_channel_segment(ByteRange{1000, 3000}, c.a, c.b);
        EXPECT_EQ(s.fade, c.fade) << c.a.y << " to " << c.b.y;
        EXPECT_EQ(s.range.start, 1000u);
        EXPECT_EQ(s.range.length, 1500u);
    }
    kern::CurveChannelSegment s =
        kern::curve_channel_segment(ByteRange{1000, 3000}, {100, 0}, {300, 0});
    EXPECT_EQ(s.range.start, 2000u);
    EXPECT_EQ(s.range.length, 2000u);
}

TEST(KernelCurveChannels, EachSegmentIsACompleteFadeFromOneChannelToTheOther) {
    // 16-bit stereo, 8 frames, two segments of 4 frames: up, then down.
    Path path = {{0, 100}, {150, 0}, {300, 100}};
    Bytes w = bytes_of(Words(16, 1000));
    kern::curve_channel_kernel(w.data(), 32, 16, 4, ByteRange{0, 32}, path.data(), 3, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{1000, 0, 750, 250, 500, 500, 250, 750,  // left to right
                                  0, 1000, 250, 750, 500, 500, 750, 250}));
    // A rise of one pixel fades nothing.
    Path flatish = {{0, 100}, {300, 99}};
    Bytes b(16, 228), before = b;
    ByteRange touched = kern::curve_channel_kernel(b.data(), 16, 8, 2, ByteRange{0, 16},
                                                   flatish.data(), 2, kNoCheck);
    EXPECT_EQ(b, before);
    EXPECT_EQ(touched.length, 0u);
}

TEST(KernelCurveChannels, PathsGiveExactlyThePlainFadesAndStayInTheirSpan) {
    const Path paths[] = {
        {{0, 100}, {150, 0}, {300, 100}},
        {{0, 100}, {75, 100}, {150, 99}, {225, 20}, {300, 180}},
        {{0, 0}, {42, 200}, {84, 0}, {126, 200}, {168, 0}, {210, 200}, {252, 0}, {300, 200}},
    };
    struct Layout {
        int bits;
        unsigned align;
        ByteRange r;
        uint32_t dataBytes;
    };
    const Layout layouts[] = {{8, 2, {0, 600002}, 600002}, {16, 4, {0, 800000}, 800000},
                              {8, 2, {301, 50001}, 50302}, {16, 4, {6, 90002}, 90008},
                              {16, 4, {2, 4001}, 4003},    {8, 2, {1, 999}, 1000},
                              {16, 4, {3, 40000}, 20000}};
    unsigned seed = 11;
    for (const Path& path : paths) {
        for (const Layout& l : layouts) {
            Bytes data = random_bytes(l.dataBytes + 16, seed++);
            Bytes expect = data, before = data;
            reference_channels(expect, l.dataBytes, l.bits, l.align, l.r, path);
            ByteRange planned = kern::curve_channel_span(l.dataBytes, l.bits, l.align, l.r,
                                                         path.data(), int(path.size()));
            ByteRange touched =
                kern::curve_channel_kernel(data.data(), l.dataBytes, l.bits, l.align, l.r,
                                           path.data(), int(path.size()), kNoCheck);
            ASSERT_EQ(data, expect) << l.bits << " bits, " << path.size() << " pins";
            EXPECT_EQ(planned.start, touched.start);
            EXPECT_EQ(planned.length, touched.length);
            EXPECT_LE(touched.start + touched.length, l.dataBytes);
            for (size_t i = 0; i < data.size(); ++i) {
                if (i < touched.start || i >= touched.start + touched.length) {
                    ASSERT_EQ(data[i], before[i]) << "byte " << i << " outside the span";
                }
            }
        }
    }
}

}  // namespace
