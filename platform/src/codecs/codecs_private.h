// The codecs area: compression streams. Inside the area, the PCM description
// of a format and the PCM conversion kernels behind acmStreamConvert.
#pragma once

#include <platform/platform.h>

#include <cstdint>

namespace plat::acm {

// A PCM format as the kernels see it. Frame sizes come from bits and channels
// alone; a format's nBlockAlign and nAvgBytesPerSec are not trusted.
struct Pcm {
    int bits = 16;     // 8 (unsigned, 128 is zero) or 16 (signed little-endian)
    int channels = 1;  // 1 or 2, interleaved left, right
    DWORD rate = 0;    // frames per second, 1 to 384000
};

// Reads a PCM format the kernels can convert; false for anything else.
bool read_pcm(const WAVEFORMATEX* f, Pcm* out);
uint64_t frame_bytes(const Pcm& p);

// Output frames for in_frames input frames: the same count at the same rate,
// else in_frames * dst.rate / src.rate rounded to nearest, halves up.
uint64_t out_frames(const Pcm& src, const Pcm& dst, uint64_t in_frames);
// The fewest input frames whose output has at least want frames.
uint64_t in_frames_for(const Pcm& src, const Pcm& dst, uint64_t want);

// Converts in_frames frames of src at in and writes the first count frames of
// the result (count <= out_frames(src, dst, in_frames)) at out; frames the
// resampler does not deliver are silence. Works in bounded chunks, so memory
// does not grow with the sound. False when the resampler cannot start or a
// buffer cannot be had; out is then partly written.
bool convert_pcm(const Pcm& src, const Pcm& dst, const BYTE* in, uint64_t in_frames, BYTE* out,
                 uint64_t count);

}  // namespace plat::acm
