// Kernels that move values, on real bytes: reverse, the forward moving
// average, the speed change's resampling and the byte moves.
#include <gtest/gtest.h>

#include <algorithm>

#include "kernel_test_util.h"

namespace {

using namespace kernel_test;
using kern::ByteRange;

TEST(KernelReverse, FirstValueStaysAndTheRestIsReversed) {
    Bytes b{1, 2, 3, 4, 5};
    kern::reverse_kernel(b.data(), 8, ByteRange{0, 5}, kNoCheck);
    EXPECT_EQ(b, (Bytes{1, 5, 4, 3, 2}));
    // 16-bit stereo L0 R0 L1 R1 becomes L0 R1 L1 R0: every value keeps its channel slot.
    Bytes w = bytes_of({10, 20, 11, 21});
    kern::reverse_kernel(w.data(), 16, ByteRange{0, 8}, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{10, 21, 11, 20}));
}

TEST(KernelReverse, OnlyTheRangeMovesAndTinyRangesStay) {
    Bytes b{9, 1, 2, 3, 4, 9};
    kern::reverse_kernel(b.data(), 8, ByteRange{1, 4}, kNoCheck);
    EXPECT_EQ(b, (Bytes{9, 1, 4, 3, 2, 9}));
    kern::reverse_kernel(b.data(), 8, ByteRange{1, 2}, kNoCheck);
    EXPECT_EQ(b, (Bytes{9, 1, 4, 3, 2, 9}));
    kern::reverse_kernel(b.data(), 8, ByteRange{1, 0}, kNoCheck);
    EXPECT_EQ(b, (Bytes{9, 1, 4, 3, 2, 9}));
    Bytes w = bytes_of({5, 6, 7, 8});
    // Values 1 .. 3: only 2 follows 1.
    kern::reverse_kernel(w.data(), 16, ByteRange{3, 4}, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{5, 6, 7, 8}));
}

TEST(KernelReverse, LargeRangesAcrossManySlices) {
    for (int bits : {8, 16}) {
        Bytes data = random_bytes(5000002, bits);
        Bytes expect = data;
        if (bits == 8) {
            std::reverse(expect.begin() + 4, expect.end() - 1);
        } else {
            Words w = words_of(expect);
            std::reverse(w.begin() + 2, w.end() - 1);  // values 1 .. (size - 1) / 2
            expect = bytes_of(w);
        }
        kern::reverse_kernel(data.data(), bits,
                             ByteRange{3, static_cast<uint32_t>(data.size() - 4)}, kNoCheck);
        ASSERT_EQ(data, expect) << bits;
    }
}

TEST(KernelAverage, ReadsValuesNotYetAveragedAndKeepsTheLastWidth) {
    Bytes b{10, 20, 30, 40, 50, 60, 70};
    kern::moving_average_kernel(b.data(), 8, 0, 7, 3, kNoCheck);
    EXPECT_EQ(b, (Bytes{20, 30, 40, 50, 50, 60, 70}));
    // 8-bit sums of unsigned bytes round down; 16-bit sums truncate toward zero.
    Bytes r{1, 1, 2, 9, 9, 9};
    kern::moving_average_kernel(r.data(), 8, 0, 6, 3, kNoCheck);
    EXPECT_EQ(r, (Bytes{1, 4, 6, 9, 9, 9}));
    Bytes w = bytes_of({-1, -1, -2, 5, 5, 5});
    kern::moving_average_kernel(w.data(), 16, 0, 6, 3, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{-1, 0, 2, 5, 5, 5}));
}

TEST(KernelAverage, NothingChangesWhenTheStretchHoldsTheWidthOrLess) {
    Bytes b{10, 20, 30, 40, 50, 60};
    kern::moving_average_kernel(b.data(), 8, 0, 6, 6, kNoCheck);
    EXPECT_EQ(b, (Bytes{10, 20, 30, 40, 50, 60}));
    kern::moving_average_kernel(b.data(), 8, 2, 4, 3, kNoCheck);
    EXPECT_EQ(b, (Bytes{10, 20, 30, 40, 50, 60}));
    kern::moving_average_kernel(b.data(), 8, 0, 6, 21, kNoCheck);
    EXPECT_EQ(b, (Bytes{10, 20, 30, 40, 50, 60}));
    // Width 6 over 7 values averages only the first.
    Bytes c{0, 6, 6, 6, 6, 6, 6};
    kern::moving_average_kernel(c.data(), 8, 0, 7, 6, kNoCheck);
    EXPECT_EQ(c, (Bytes{5, 6, 6, 6, 6, 6, 6}));
}

// The moving average by its definition, value by value.
Bytes average_by_definition(Bytes data, int bits, uint32_t first, uint32_t end, unsigned width) {
    if (bits == 8) {
        const Bytes in = data;
        for (uint32_t i = first; i < end - width; ++i) {
            unsigned sum = 0;
            for (unsigned j = 0; j < width; ++j) sum += in[i + j];
            data[i] = static_cast<uint8_t>(sum / width);
        }
        return data;
    }
    const Words in = words_of(data);
    Words out = in;
    for (uint32_t i = first; i < end - width; ++i) {
        int sum = 0;
        for (unsigned j = 0; j < width; ++j) sum += in[i + j];
        out[i] = static_cast<int16_t>(sum / static_cast<int>(width));
    }
    return bytes_of(out);
}

TEST(KernelAverage, EveryWidthMatchesTheDefinitionOnLongStretches) {
    for (unsigned width = 1; width <= 20; ++width) {
        for (int bits : {8, 16}) {
            const uint32_t values = 300000 + width;
            Bytes data = random_bytes(values * (bits / 8) + 6, width * 3 + bits);
            Bytes expect = average_by_definition(data, bits, 3, values, width);
            kern::moving_average_kernel(data.data(), bits, 3, values, width, kNoCheck);
            ASSERT_EQ(data, expect) << "width " << width << ", " << bits << " bits";
        }
    }
}

// Sums at and next to whole multiples of the width, at the ends of the value
// range: where a quotient formed by multiplication could land one off.
TEST(KernelAverage, SumsAtTheLimitsAndAtWholeQuotients) {
    struct Shape {
        const char* name;
        int16_t (*value)(uint32_t i);  // 16-bit value i; 8-bit data takes its low byte
    };
    const Shape shapes[] = {
        {"lowest", [](uint32_t) -> int16_t { return -32768; }},
        {"highest", [](uint32_t) -> int16_t { return 32767; }},
        {"highest byte", [](uint32_t) -> int16_t { return 255; }},
        {"one below the lowest now and then",
         [](uint32_t i) -> int16_t { return i % 7 == 0 ? -32767 : -32768; }},
        {"runs of -1, 0 and 1", [](uint32_t i) -> int16_t { return (i / 5) % 3 - 1; }},
        {"extremes in turn", [](uint32_t i) -> int16_t { return i % 2 ? 32767 : -32768; }},
        {"long steps", [](uint32_t i) -> int16_t { return static_cast<int16_t>((i / 40) * 1021); }},
    };
    for (const Shape& shape : shapes) {
        for (int bits : {8, 16}) {
            for (unsigned width = 1; width <= 20; ++width) {
                const uint32_t values = 3000;
                Bytes data(values * (bits / 8));
                for (uint32_t i = 0; i < values; ++i) {
                    int16_t v = shape.value(i);
                    if (bits == 8)
                        data[i] = static_cast<uint8_t>(v);
                    else
                        std::memcpy(&data[2 * i], &v, 2);
                }
                Bytes expect = average_by_definition(data, bits, 1, values, width);
                kern::moving_average_kernel(data.data(), bits, 1, values, width, kNoCheck);
                ASSERT_EQ(data, expect) << shape.name << ", width " << width << ", " << bits;
            }
        }
    }
}

TEST(KernelSpeed, FactorsAndSizes) {
    kern::SpeedFactors f = kern::speed_factors(200);
    EXPECT_EQ(f.speed, 2.0f);
    EXPECT_EQ(f.length, 0.5f);
    f = kern::speed_factors(50);
    EXPECT_EQ(f.length, 2.0f);
    EXPECT_EQ(kern::speed_factors(100).length, 1.0f);
    EXPECT_EQ(kern::scaled_size(1000, 0.5f), 500u);
    EXPECT_EQ(kern::scaled_size(1001, 0.5f), 500u);
    EXPECT_EQ(kern::scaled_size(1000, 2.0f), 2000u);
    EXPECT_EQ(kern::scaled_size(10, kern::speed_factors(150).length), 6u);
    // Sizes past 32 bits are given whole so that the caller can refuse them.
    EXPECT_EQ(kern::scaled_size(0xFFFFFFFFu, 2.0f), 0x1FFFFFFFEull);
}

TEST(KernelSpeed, StretchingRepeatsTheNearestEarlierValue) {
    Bytes b{1, 2, 3, 4, 0, 0, 0, 0};
    kern::resample_kernel(b.data(), 8, 4, 8, 0.5f, kNoCheck);
    EXPECT_EQ(b, (Bytes{1, 1, 2, 2, 3, 3, 4, 4}));
    Bytes w = bytes_of({-1, 2, -3, 0, 0, 0});
    kern::resample_kernel(w.data(), 16, 3, 6, 0.5f, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{-1, -1, 2, 2, -3, -3}));
}

TEST(KernelSpeed, CompressingKeepsEverySecondValue) {
    Bytes b{1, 2, 3, 4, 5, 6, 7, 8};
    kern::resample_kernel(b.data(), 8, 8, 4, 2.0f, kNoCheck);
    EXPECT_EQ(b, (Bytes{1, 3, 5, 7, 5, 6, 7, 8}));
    Bytes c{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    kern::resample_kernel(c.data(), 8, 10, 6, 1.5f, kNoCheck);  // trunc(i * 1.5)
    EXPECT_EQ(Bytes(c.begin(), c.begin() + 6), (Bytes{0, 1, 3, 4, 6, 7}));
}

TEST(KernelSpeed, SourcesNeverReachPastTheOldValues) {
    // Ten values read at trunc(i * 1.5) would reach index 13: the source is held at 9.
    Bytes b{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    kern::resample_kernel(b.data(), 8, 10, 10, 1.5f, kNoCheck);
    EXPECT_EQ(b, (Bytes{0, 1, 3, 4, 6, 7, 9, 9, 9, 9}));
    Bytes w = bytes_of({1, 2, 3});
    kern::resample_kernel(w.data(), 16, 3, 3, 5.0f, kNoCheck);
    EXPECT_EQ(words_of(w), (Words{1, 3, 3}));
}

TEST(KernelMoves, DownUpRotateAndSilence) {
    Bytes b{0, 1, 2, 3, 4, 5, 6, 7};
    kern::move_down(b.data(), 2, 5, 8, kNoCheck);
    EXPECT_EQ(b, (Bytes{0, 1, 5, 6, 7, 5, 6, 7}));
    Bytes u{0, 1, 2, 3, 4, 0, 0};
    kern::move_up(u.data(), 1, 2, 5, kNoCheck);
    EXPECT_EQ(u, (Bytes{0, 1, 2, 1, 2, 3, 4}));
    Bytes r{0, 1, 2, 3, 4, 5};
    kern::rotate_bytes(r.data(), 1, 3, 6, kNoCheck);
    EXPECT_EQ(r, (Bytes{0, 3, 4, 5, 1, 2}));
    kern::rotate_bytes(r.data(), 1, 4, 6, kNoCheck);
    EXPECT_EQ(r, (Bytes{0, 1, 2, 3, 4, 5}));
}

TEST(KernelMoves, LongMovesCrossSlicesInTheRightOrder) {
    const uint32_t size = 3u << 20;
    Bytes data = random_bytes(size + 1000, 3);
    Bytes expect = data;
    std::copy(expect.begin() + 777, expect.begin() + size, expect.begin() + 100);
    kern::move_down(data.data(), 100, 777, size, kNoCheck);
    ASSERT_EQ(data, expect);
    data = random_bytes(size + 1000, 4);
    expect = data;
    std::copy_backward(expect.begin() + 50, expect.begin() + size, expect.begin() + size + 999);
    kern::move_up(data.data(), 50, 999, size, kNoCheck);
    ASSERT_EQ(data, expect);
}

TEST(KernelMoves, BringDownMovesTheTailAndRestoreDownUndoesItExactly) {
    // Moved bytes fewer than the gap (a swap) and more than the gap (a rotation).
    struct Case {
        uint32_t to, from, end;
    };
    for (Case c : {Case{2, 7, 9}, Case{2, 4, 9}, Case{0, 3, 6}, Case{0, 1, 9}, Case{5, 9, 9}}) {
        Bytes data{10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
        const Bytes before = data;
        kern::bring_down(data.data(), c.to, c.from, c.end, kNoCheck);
        for (uint32_t i = 0; i < c.end - c.from; ++i) ASSERT_EQ(data[c.to + i], before[c.from + i]);
        for (uint32_t i = 0; i < c.to; ++i) ASSERT_EQ(data[i], before[i]);
        for (uint32_t i = c.end; i < data.size(); ++i) ASSERT_EQ(data[i], before[i]);
        kern::restore_down(data.data(), c.to, c.from, c.end, kNoCheck);
        ASSERT_EQ(data, before) << c.to << " " << c.from << " " << c.end;
    }
    const uint32_t size = 5u << 20;
    Bytes big = random_bytes(size, 9);
    const Bytes before = big;
    kern::bring_down(big.data(), 1000, 3u << 20, size, kNoCheck);
    ASSERT_TRUE(std::equal(before.begin() + (3u << 20), before.end(), big.begin() + 1000));
    kern::restore_down(big.data(), 1000, 3u << 20, size, kNoCheck);
    ASSERT_EQ(big, before);
}

TEST(KernelMoves, BytesPerMillisecondTruncate) {
    EXPECT_EQ(kern::bytes_per_ms(22050), 22u);
    EXPECT_EQ(kern::bytes_per_ms(11025), 11u);
    EXPECT_EQ(kern::bytes_per_ms(44100), 44u);
    EXPECT_EQ(kern::bytes_per_ms(176400), 176u);
    EXPECT_EQ(kern::bytes_per_ms(999), 0u);
}

}  // namespace
