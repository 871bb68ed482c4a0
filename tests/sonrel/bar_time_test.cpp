// The bars' times: byte offsets to milliseconds and back on worked values, a
// 2 GB document without overflow, frames, and the shown texts.
#include "bar_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

constexpr DWORD kCd = 176400;  // bytes per second of 16-bit stereo at 44100 Hz
constexpr DWORD kTwoGb = 2147483644u;

}  // namespace

TEST(BarTime, ByteOffsetsBecomeTruncatedMilliseconds) {
    struct Case {
        uint64_t offset;
        DWORD bytesPerSec, dataSize, ms;
        const char* what;
    } cases[] = {
        {10584000, kCd, 20000000, 60000, "one minute of CD sound"},
        {176, kCd, 20000000, 0, "the bytes of 1 ms are 0.998 ms"},
        {177, kCd, 20000000, 1, ""},
        {44100, 22050, 44100, 2000, "the open dialog's worked file"},
        {kTwoGb, kCd, kTwoGb, 12173943, "2 GB: offset x 1000 exceeds 32 bits"},
        {4294967295u, 8000, 4294967295u, 536870911, "4 GB at 8000 bytes per second"},
        {4294967295u, 1, 4294967295u, 4294967295u, "beyond 32 bits: held at the largest"},
        {5000, kCd, 0, 0, "no data: 0"},
        {5000, 0, 20000, 0, "a rate of 0 gives 0, not a division by zero"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BytesToMs(c.offset, c.bytesPerSec, c.dataSize), c.ms) << c.what;
}

TEST(BarTime, MillisecondsBecomeTruncatedByteOffsetsWithoutOverflow) {
    struct Case {
        uint64_t ms;
        DWORD bytesPerSec, bytes;
        const char* what;
    } cases[] = {
        {60000, kCd, 10584000, "a typed start of 1 minute"},
        {1, kCd, 176, "a typed start of 0 m 00.001 s"},
        {3, kCd, 529, "not aligned to frames"},
        {999, 44100, 44055, ""},
        {12173943, kCd, 2147483545u, "2 GB: bytes per second x ms exceeds 32 bits"},
        {6000039999ull, kCd, 4294967295u, "five-digit minutes beyond 32 bits: held"},
        {~0ull, 192000, 4294967295u, "any number of ms: held"},
        {5000, 0, 0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(MsToBytes(c.ms, c.bytesPerSec), c.bytes) << c.what;
}

TEST(BarTime, BackAndForthLosesLessThanOneMillisecondUpTo2Gb) {
    for (DWORD bps : {8000u, 22050u, 44100u, 88200u, kCd, 192000u})
        for (uint64_t offset = 0; offset <= kTwoGb; offset += 104729 * 997) {
            const DWORD back = MsToBytes(BytesToMs(offset, bps, kTwoGb), bps);
            EXPECT_LE(back, offset) << bps << " " << offset;
            EXPECT_LE(offset - back, bps / 1000 + 1) << bps << " " << offset;
        }
}

TEST(BarTime, OffsetsAreCutDownToWholeFrames) {
    struct Case {
        DWORD offset;
        WORD blockAlign;
        DWORD aligned;
    } cases[] = {{529, 4, 528}, {528, 4, 528}, {441, 2, 440}, {441, 1, 441}, {7, 0, 7}, {3, 4, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(AlignToFrame(c.offset, c.blockAlign), c.aligned)
            << c.offset << "/" << c.blockAlign;
}

TEST(BarTime, TimesShowAsMinutesSecondsAndMilliseconds) {
    struct Case {
        DWORD ms;
        const char* text;
        DWORD minutes, seconds, milliseconds;
    } cases[] = {
        {0, "00 m 00.000 s", 0, 0, 0},
        {61500, "01 m 01.500 s", 1, 1, 500},
        {5999999, "99 m 59.999 s", 99, 59, 999},
        {6000000, "100 m 00.000 s", 100, 0, 0},
        {4294967295u, "71582 m 47.295 s", 71582, 47, 295},
    };
    for (const Case& c : cases) {
        char text[32];
        FormatBarTime(text, sizeof text, c.ms);
        EXPECT_EQ(std::string(text), c.text);
        const BarTime t = SplitMs(c.ms);
        EXPECT_EQ(t.minutes, c.minutes) << c.text;
        EXPECT_EQ(t.seconds, c.seconds) << c.text;
        EXPECT_EQ(t.milliseconds, c.milliseconds) << c.text;
        EXPECT_EQ(JoinMs(t.minutes, t.seconds, t.milliseconds), c.ms) << c.text;
    }
    EXPECT_EQ(JoinMs(0, 75, 0), 75000u) << "typed seconds beyond 59 count whole";
}
