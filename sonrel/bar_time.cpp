#include "bar_time.h"

#include <cstdio>
#include <limits>

namespace {

constexpr uint64_t kMaxDword = std::numeric_limits<DWORD>::max();

}  // namespace

DWORD BytesToMs(uint64_t offset, DWORD bytesPerSec, DWORD dataSize) {
    if (dataSize == 0 || bytesPerSec == 0) return 0;
    const double ms = double(offset) / double(bytesPerSec) * 1000.0;
    return ms >= double(kMaxDword) ? DWORD(kMaxDword) : DWORD(ms);
}

DWORD MsToBytes(uint64_t ms, DWORD bytesPerSec) {
    if (ms > kMaxDword * 1000) return DWORD(kMaxDword);
    // Whole seconds and the rest apart: the exact truncated product in 64 bits.
    const uint64_t bytes = ms / 1000 * bytesPerSec + ms % 1000 * bytesPerSec / 1000;
    return bytes > kMaxDword ? DWORD(kMaxDword) : DWORD(bytes);
}

DWORD AlignToFrame(DWORD offset, WORD blockAlign) {
    return blockAlign > 1 ? offset - offset % blockAlign : offset;
}

BarTime SplitMs(DWORD ms) {
    return BarTime{ms / 60000, (ms % 60000) / 1000, ms % 1000};
}

uint64_t JoinMs(uint64_t minutes, uint64_t seconds, uint64_t milliseconds) {
    // The fields hold at most 5 digits each, far inside 64 bits.
    return minutes * 60000 + seconds * 1000 + milliseconds;
}

void FormatBarTime(char* out, size_t size, DWORD ms) {
    const BarTime t = SplitMs(ms);
    std::snprintf(out, size, "%02lu m %02lu.%03lu s", (unsigned long)t.minutes,
                  (unsigned long)t.seconds, (unsigned long)t.milliseconds);
}
