// The clipboard's byte arithmetic: insertion with the tail moved up, the mix
// average with its gain and clamping, growth past the data's end, and frame
// alignment of positions and sizes.
#include <gtest/gtest.h>
#include <kernels/clipboard_kernels.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes counting(size_t n, uint8_t from = 0) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(from + i);
    return b;
}

std::vector<int16_t> as16(const Bytes& b) {
    std::vector<int16_t> v(b.size() / 2);
    std::memcpy(v.data(), b.data(), v.size() * 2);
    return v;
}

Bytes bytes16(const std::vector<int16_t>& v) {
    Bytes b(v.size() * 2);
    std::memcpy(b.data(), v.data(), b.size());
    return b;
}

TEST(ClipboardKernelInsert, TheTailMovesUpAndTheClipFillsTheGap) {
    Bytes data = counting(10);
    data.resize(13, 0xEE);
    const Bytes clip{200, 201, 202};
    clipk::insert_bytes(data.data(), 10, 4, clip.data(), 3);
    EXPECT_EQ(data, (Bytes{0, 1, 2, 3, 200, 201, 202, 4, 5, 6, 7, 8, 9}));

    Bytes front = counting(4);
    front.resize(6);
    clipk::insert_bytes(front.data(), 4, 0, clip.data(), 2);
    EXPECT_EQ(front, (Bytes{200, 201, 0, 1, 2, 3}));

    Bytes end = counting(4);
    end.resize(5);
    clipk::insert_bytes(end.data(), 4, 4, clip.data(), 1);
    EXPECT_EQ(end, (Bytes{0, 1, 2, 3, 200}));
}

TEST(ClipboardKernelInsert, PositionsAndSizesStayOnWholeFrames) {
    EXPECT_EQ(clipk::whole_frames(301, 4), 300u);
    EXPECT_EQ(clipk::whole_frames(301, 1), 301u);
    EXPECT_EQ(clipk::whole_frames(301, 0), 301u);
    EXPECT_EQ(clipk::insertion_point(1001, 5000, 2), 1000u);
    EXPECT_EQ(clipk::insertion_point(7000, 5000, 4), 5000u) << "held within the data";
    EXPECT_EQ(clipk::insertion_point(7000, 5001, 4), 5000u);
}

TEST(ClipboardKernelMix, EightBitBytesAreAveragedScaledAndClamped) {
    Bytes data{100, 100, 255, 0, 0};
    const Bytes clip{200, 201, 255, 0};
    clipk::mix_bytes(data.data(), 8, 1, clip.data(), 4, 1.5f);
    // 100 stays; (200 + 100) / 2 = 150 -> 22 * 1.5 = 33 -> 161; (201 + 255) / 2 = 228
    // -> 150 clamped to 127 -> 255; (255 + 0) / 2 = 127 -> -1.5 -> -1 -> 127;
    // (0 + 0) / 2 = 0 -> -192 clamped to -128 -> 0.
    EXPECT_EQ(data, (Bytes{100, 161, 255, 127, 0}));
}

TEST(ClipboardKernelMix, SixteenBitValuesAreAveragedTowardZero) {
    Bytes data = bytes16({3001, -3001, 30000, -32768, 7});
    const Bytes clip = bytes16({1000, -1000, 30000, -32768});
    clipk::mix_bytes(data.data(), 16, 0, clip.data(), 8, 1.5f);
    // (1000 + 3001) / 2 = 2000 -> 3000; (-1000 - 3001) / 2 = -2000 -> -3000;
    // 30000 * 1.5 and -32768 * 1.5 clamp.
    EXPECT_EQ(as16(data), (std::vector<int16_t>{3000, -3000, 32767, -32768, 7}));

    Bytes odd = bytes16({-3, 5});
    const Bytes one = bytes16({0});
    clipk::mix_bytes(odd.data(), 16, 0, one.data(), 2, 1.0f);
    EXPECT_EQ(as16(odd), (std::vector<int16_t>{-1, 5})) << "-3 / 2 truncates to -1";
}

TEST(ClipboardKernelMix, GrowthIsTheOverhangFilledWithTheZeroLine) {
    EXPECT_EQ(clipk::mix_overhang(900, 300, 1000), 200u);
    EXPECT_EQ(clipk::mix_overhang(100, 300, 1000), 0u);
    EXPECT_EQ(clipk::mix_overhang(1000, 0, 1000), 0u);
    EXPECT_EQ(clipk::mix_overhang(0xFFFFFF00u, 0x200, 0xFFFFFF00u), 0x200u) << "no wrap";
    Bytes b(6, 9);
    clipk::fill_zero_line(b.data(), 8, 1, 2);
    clipk::fill_zero_line(b.data(), 16, 3, 2);
    EXPECT_EQ(b, (Bytes{9, 128, 128, 0, 0, 9}));
    EXPECT_FLOAT_EQ(clipk::mix_gain(150), 1.5f);
    EXPECT_FLOAT_EQ(clipk::mix_gain(100), 1.0f);
}

}  // namespace
