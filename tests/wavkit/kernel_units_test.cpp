// The kernels' wider copies (AVX2, on machines that have it) against their
// narrower code: every kernel with a wider copy gives the very same bytes both
// ways, over ranges that start and end off the block size, short ranges that
// hold no whole block, and ranges that span several checkpoint slices.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "kernel_test_util.h"

namespace {

using namespace kernel_test;
using kern::ByteRange;

struct Case {
    const char* name;
    // Works on data of `bits` over range r (the data holds `size` bytes).
    std::function<void(uint8_t* data, uint32_t size, int bits, ByteRange r)> apply;
};

const kern::CurvePin kPath[] = {{0, 150}, {40, 10}, {150, 200}, {220, 60}, {300, 100}};

const Case kCases[] = {
    {"VolumeHalf", [](uint8_t* d, uint32_t, int bits,
                      ByteRange r) { kern::volume_kernel(d, bits, r, 0.5f, kNoCheck); }},
    {"VolumeUp", [](uint8_t* d, uint32_t, int bits,
                    ByteRange r) { kern::volume_kernel(d, bits, r, 1.37f, kNoCheck); }},
    {"VolumeClamps", [](uint8_t* d, uint32_t, int bits,
                        ByteRange r) { kern::volume_kernel(d, bits, r, 7.3f, kNoCheck); }},
    // The largest gain whose 16-bit products stay within 32-bit integers, and
    // one beyond it.
    {"VolumeAtThePackLimit",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::volume_kernel(d, bits, r, 65535.0f, kNoCheck);
     }},
    {"VolumeBeyondThePackLimit",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::volume_kernel(d, bits, r, 70000.0f, kNoCheck);
     }},
    // Noise at full scale has no room to scale up: it is brought down first.
    {"Peak",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::volume_kernel(d, bits, r, 0.3f, kNoCheck);
         kern::peak_kernel(d, bits, r, kNoCheck);
     }},
    {"FadeIn",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::ramp_kernel(d, bits, r, kern::fade_in_ramp(10, r.length, bits), true, kNoCheck);
     }},
    {"FadeOut",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::ramp_kernel(d, bits, r, kern::fade_out_ramp(35, r.length, bits), false, kNoCheck);
     }},
    {"ChannelFadeLeftToRight",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::channel_fade_kernel(d, size, bits, bits == 8 ? 2 : 4, r, 1.0f, true, kNoCheck);
     }},
    {"ChannelFadeRightToLeft",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::channel_fade_kernel(d, size, bits, bits == 8 ? 2 : 4, r, 0.8f, false, kNoCheck);
     }},
    {"CurveVolume",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::curve_volume_kernel(d, bits, r, size, kPath, 5, kNoCheck);
     }},
    {"CurveChannels",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::curve_channel_kernel(d, size, bits, bits == 8 ? 2 : 4, r, kPath, 5, kNoCheck);
     }},
    {"AverageOfSix",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         uint32_t w = bits == 8 ? 1 : 2;
         kern::moving_average_kernel(d, bits, r.start / w, (r.start + r.length) / w, 6, kNoCheck);
     }},
    {"AverageOfTwenty",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         uint32_t w = bits == 8 ? 1 : 2;
         kern::moving_average_kernel(d, bits, r.start / w, (r.start + r.length) / w, 20, kNoCheck);
     }},
};

struct Layout {
    int bits;
    uint32_t size;   // bytes of data
    uint32_t start;  // of the range
    uint32_t length;
};

// Off-block starts and ends; a range shorter than one wide block; one that
// crosses slice boundaries (a slice is kern::kSliceValues values).
const Layout kLayouts[] = {
    {8, 5000, 3, 4321}, {16, 5000, 6, 4402},       {16, 5000, 5, 4401},        {8, 200, 1, 57},
    {16, 200, 2, 58},   {8, 2300000, 17, 2299970}, {16, 4300000, 10, 4299980},
};

class WideUnits : public testing::TestWithParam<std::tuple<Case, Layout>> {
protected:
    void TearDown() override { kern::use_wide_units(true); }
};

TEST_P(WideUnits, GiveTheSameBytesAsTheNarrowerCode) {
    if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "this machine has no AVX2";
    const auto& [c, l] = GetParam();
    const Bytes original = random_bytes(l.size, l.size + l.start);
    Bytes narrow = original, wide = original;
    const ByteRange r{l.start, l.length};
    kern::use_wide_units(false);
    c.apply(narrow.data(), l.size, l.bits, r);
    kern::use_wide_units(true);
    c.apply(wide.data(), l.size, l.bits, r);
    ASSERT_TRUE(narrow != original) << c.name << " must change something to compare";
    ASSERT_EQ(narrow.size(), wide.size());
    for (size_t i = 0; i < narrow.size(); ++i)
        ASSERT_EQ(narrow[i], wide[i]) << c.name << ": byte " << i << " of " << l.size;
}

INSTANTIATE_TEST_SUITE_P(Kernels, WideUnits,
                         testing::Combine(testing::ValuesIn(kCases), testing::ValuesIn(kLayouts)),
                         [](const testing::TestParamInfo<WideUnits::ParamType>& info) {
                             const Layout& l = std::get<1>(info.param);
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(l.bits) + "bit_" + std::to_string(l.size) +
                                    "_at" + std::to_string(l.start);
                         });

// Gains that change from value to value: every 8-bit byte value meets gains
// all along the range, rising and falling, within 0..1 and beyond it (where
// results clamp), over walks shorter and longer than one slice; 16-bit values
// meet gains across several powers of two and down to 0.
struct GainCase {
    const char* name;
    void (*apply)(uint8_t* data, uint32_t size, int bits, ByteRange r);
};

const kern::CurvePin kSteep[] = {{0, 200}, {300, 0}};
const kern::CurvePin kFalling[] = {{0, 0}, {120, 130}, {300, 200}};
const kern::CurvePin kLevel[] = {{0, 50}, {300, 50}};

const GainCase kGainCases[] = {
    {"FadeInFromNothing",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::ramp_kernel(d, bits, r, kern::fade_in_ramp(0, r.length, bits), true, kNoCheck);
     }},
    {"FadeInFromNinetyNine",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::ramp_kernel(d, bits, r, kern::fade_in_ramp(99, r.length, bits), true, kNoCheck);
     }},
    {"FadeInFromAbove",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::ramp_kernel(d, bits, r, kern::fade_in_ramp(180, r.length, bits), true, kNoCheck);
     }},
    {"FadeOutToThirty",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::ramp_kernel(d, bits, r, kern::fade_out_ramp(30, r.length, bits), false, kNoCheck);
     }},
    {"FadeOutPastZero",
     [](uint8_t* d, uint32_t, int bits, ByteRange r) {
         kern::ramp_kernel(d, bits, r, kern::Ramp{0.6f, 2.0f / r.length}, false, kNoCheck);
     }},
    {"ChannelFadeFromHalf",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::channel_fade_kernel(d, size, bits, bits / 4, r, 0.5f, true, kNoCheck);
     }},
    {"ChannelFadeOddStart",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::channel_fade_kernel(d, size, bits, bits / 4, ByteRange{r.start | 1, r.length}, 1.0f,
                                   false, kNoCheck);
     }},
    {"CurveSteepRise",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::curve_volume_kernel(d, bits, r, size, kSteep, 2, kNoCheck);
     }},
    {"CurveFallToSilence",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::curve_volume_kernel(d, bits, r, size, kFalling, 3, kNoCheck);
     }},
    {"CurveLevelAboveFull",
     [](uint8_t* d, uint32_t size, int bits, ByteRange r) {
         kern::curve_volume_kernel(d, bits, r, size, kLevel, 2, kNoCheck);
     }},
};

// Lengths: a few hundred bytes, more bytes than the walk has buckets of
// changes, and more than a slice.
const uint32_t kGainLengths[] = {301, 200003, 3000017};

class WideRunningGains : public testing::TestWithParam<std::tuple<GainCase, int, uint32_t>> {
protected:
    void TearDown() override { kern::use_wide_units(true); }
};

TEST_P(WideRunningGains, GiveTheSameBytesAsTheNarrowerCode) {
    if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "this machine has no AVX2";
    const auto& [c, bits, length] = GetParam();
    const uint32_t size = length + 40;
    // Every byte value, in an order that moves on by a different step in
    // each run of 256 bytes.
    Bytes original(size);
    for (uint32_t i = 0; i < size; ++i) original[i] = static_cast<uint8_t>(i * (2 * (i / 256) + 1));
    Bytes narrow = original, wide = original;
    const ByteRange r{7, length};
    kern::use_wide_units(false);
    c.apply(narrow.data(), size, bits, r);
    kern::use_wide_units(true);
    c.apply(wide.data(), size, bits, r);
    ASSERT_TRUE(narrow != original) << c.name << " must change something to compare";
    for (size_t i = 0; i < size; ++i)
        ASSERT_EQ(narrow[i], wide[i])
            << c.name << ": byte " << i << " (was " << int(original[i]) << ")";
}

INSTANTIATE_TEST_SUITE_P(Kernels, WideRunningGains,
                         testing::Combine(testing::ValuesIn(kGainCases), testing::Values(8, 16),
                                          testing::ValuesIn(kGainLengths)),
                         [](const testing::TestParamInfo<WideRunningGains::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param)) + "bit_" +
                                    std::to_string(std::get<2>(info.param));
                         });

TEST(WideUnitsSwitch, GivesThePreviousSetting) {
    bool first = kern::use_wide_units(false);
    EXPECT_FALSE(kern::use_wide_units(true));
    EXPECT_TRUE(kern::use_wide_units(first));
}

}  // namespace
