// The byte arithmetic of the disk clipboard: inserting a clip into sample data
// and mixing a clip onto it. Pure functions over byte buffers that know
// nothing of windows, blocks or files; the clipboard's thread procedures run
// the frame protocol around them and tests call them directly.
//
// Units: every offset, size and count here is in bytes of sample data. `bits`
// 8 selects the 8-bit rules (unsigned bytes, 128 the zero line), any other
// value the 16-bit rules (signed little-endian values). Callers size the
// buffers as each function states; nothing is read or written outside them.
#pragma once

#include <cstdint>

namespace clipk {

// bytes rounded down to whole frames of frameBytes (0 or 1: unchanged).
inline uint32_t whole_frames(uint32_t bytes, unsigned frameBytes) {
    return frameBytes > 1 ? bytes - bytes % frameBytes : bytes;
}

// Where a clip goes: the offset held within the data (at most size) and
// rounded down to a frame boundary, so 16-bit and stereo data keep their
// alignment after it.
inline uint32_t insertion_point(uint32_t offset, uint32_t size, unsigned frameBytes) {
    return whole_frames(offset < size ? offset : size, frameBytes);
}

// Inserts clip (clipBytes) at `at` (at most size): the bytes [at, size) move
// up by clipBytes and the clip fills the gap. data holds size + clipBytes bytes.
void insert_bytes(uint8_t* data, uint32_t size, uint32_t at, const uint8_t* clip,
                  uint32_t clipBytes);

// Bytes a mix of clipBytes at `at` adds past the data's end (0 when it fits).
inline uint32_t mix_overhang(uint32_t at, uint32_t clipBytes, uint32_t size) {
    uint64_t end = uint64_t{at} + clipBytes;
    return end > size ? static_cast<uint32_t>(end - size) : 0;
}

// The silence a mix grows the data with: the zero line of each width (128 for
// 8-bit data, not the 127 of the silence operations; 0 for 16-bit data).
void fill_zero_line(uint8_t* data, int bits, uint32_t at, uint32_t count);

// Mix gain for a percentage: percent * 0.01 in single precision.
inline float mix_gain(unsigned percent) {
    return static_cast<float>(percent) * 0.01f;
}

// Mixes clip (clipBytes) onto the data from `at` on; data holds at + clipBytes
// bytes. 8-bit: each byte becomes change_sample((clip + data) / 2, rounded
// down); 16-bit: each value becomes change_sample((clip + data) / 2,
// truncated toward zero), over clipBytes / 2 values. So the result is the
// average of the two, scaled by gain and clamped.
void mix_bytes(uint8_t* data, int bits, uint32_t at, const uint8_t* clip, uint32_t clipBytes,
               float gain);

}  // namespace clipk
