// The peak summary of a sound: the smallest and largest sample value of each
// channel over fixed blocks of frames, with coarser levels above, so that the
// extremes of any stretch of frames are found by reading a few entries
// whatever its length. Pure functions over sample bytes and a flat array of
// pairs; the document keeps the array in a block of its own.
//
// Values are stored as the data holds them: 8-bit bytes 0 .. 255 (unsigned,
// 128 the zero line), 16-bit signed values. One or two channels; frames are
// values / channels (a trailing odd value of stereo data is left out).
#pragma once

#include <cstdint>

namespace kern {

// Frames summed up by one entry of the finest level, and how many entries of a
// level one entry of the next level covers.
constexpr uint32_t kPeakBlockFrames = 512;
constexpr uint32_t kPeakFactor = 16;
// Levels of a summary: the coarsest entry covers 512 x 16^5 frames.
constexpr int kPeakLevels = 6;

struct PeakPair {
    int16_t min;
    int16_t max;
};

// Where each level's entries lie in the array. Entry e of level k for channel
// c is pairs[offset[k] + e * channels + c]; entry e of level k + 1 covers
// entries e * 16 .. e * 16 + 15 of level k (those that exist).
struct PeakLayout {
    int bits;      // 8, or 16 for any other value
    int channels;  // 1 or 2
    uint32_t frames;
    uint32_t count[kPeakLevels];
    uint32_t offset[kPeakLevels];
    uint32_t pairs;  // length of the whole array
};

// The layout for `values` sample values; channels other than 2 count as one.
PeakLayout peak_layout(uint32_t values, int bits, int channels);

// Makes the entries of every level that cover frames [first, end) (widened to
// whole blocks) from the data. The data holds the layout's frames.
void build_peaks(const uint8_t* data, const PeakLayout& l, PeakPair* pairs, uint32_t first,
                 uint32_t end);

// Smallest and largest value of each channel over frames [first, end),
// read from the sample bytes one by one. out[c] for channel c; an empty
// stretch gives min > max.
void scan_peaks(const uint8_t* data, int bits, int channels, uint32_t first, uint32_t end,
                PeakPair* out);

// As scan_peaks over frames [first, end) within the layout's frames, reading
// whole blocks from the summary and only the ragged ends from the data.
void query_peaks(const uint8_t* data, const PeakLayout& l, const PeakPair* pairs, uint32_t first,
                 uint32_t end, PeakPair* out);

}  // namespace kern
