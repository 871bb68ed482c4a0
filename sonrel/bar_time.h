// Times of the position and status bars: byte offsets into a document's data
// as milliseconds and back, and the texts the bars show for them.
//
// Milliseconds fit 32 bits for any document the blocks can hold (4 GB of
// data at 1 byte per second would not, and is held at the largest value);
// every product is formed in 64 bits, so a 2 GB document converts whole.
#pragma once

#include <platform/types.h>

#include <cstddef>
#include <cstdint>

// Minutes, seconds and milliseconds of a time in milliseconds.
struct BarTime {
    DWORD minutes;
    DWORD seconds;       // 0..59
    DWORD milliseconds;  // 0..999
};

// The time of a byte offset: truncate(offset / bytes per second x 1000), in
// floating point. 0 when the data is empty or the rate is 0.
DWORD BytesToMs(uint64_t offset, DWORD bytesPerSec, DWORD dataSize);

// The byte offset of a time: bytes per second x ms / 1000, truncated, not
// aligned to whole frames; held at the largest DWORD.
DWORD MsToBytes(uint64_t ms, DWORD bytesPerSec);

// The offset cut down to a whole number of frames (block align 0 counts as 1).
DWORD AlignToFrame(DWORD offset, WORD blockAlign);

BarTime SplitMs(DWORD ms);
// Milliseconds of minutes, seconds and milliseconds as typed (any sizes).
uint64_t JoinMs(uint64_t minutes, uint64_t seconds, uint64_t milliseconds);

// "%02lu m %02lu.%03lu s" of the time.
void FormatBarTime(char* out, size_t size, DWORD ms);
