// The codecs area: compression streams and the AVI reader. Inside the area,
// the PCM description of a format, the PCM conversion kernels behind
// acmStreamConvert, the sources that libsndfile decodes, and the AVI reader's
// record of a stream.
#pragma once

#include <platform/platform.h>

#include <cstdint>
#include <string>
#include <vector>

namespace plat::acm {

constexpr DWORD kMaxRate = 384000;

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

// A source that libsndfile decodes from memory: IMA and MS ADPCM, GSM 6.10,
// A-law, u-law, float, 24- and 32-bit PCM, and the extensible record of these.
// Data is a run of units: a block of a block codec, a frame otherwise. Only
// whole units count; a partial one at the end of the data is ignored.
struct Coded {
    std::vector<BYTE> format;  // the format chunk handed to libsndfile
    int channels = 1;          // 1 or 2
    DWORD rate = 0;
    uint32_t unit_bytes = 1;    // bytes of one unit
    uint32_t unit_frames = 1;   // frames one unit decodes to
    bool block = false;         // a block codec: the last block may be padded
    bool is_float = false;      // read as float and scaled by 32768
    bool ima = false;           // IMA ADPCM: whole blocks are decoded by decode_ima_block
    uint64_t frames_limit = 0;  // frames of the whole source ("fact"); 0: none
};

// Reads a format libsndfile can decode for us (checked so that it cannot
// mislead the decoder) and makes sure libsndfile accepts it; false otherwise.
bool read_coded(const WAVEFORMATEX* f, Coded* out);
// True when libsndfile opens a wave image of this format.
bool decoder_accepts(const Coded& c);
// Decodes one IMA ADPCM block of `align` bytes (a checked format: a header of
// 4 bytes per channel, then whole groups of 4 bytes per channel) into its
// (align - 4 * channels) * 2 / channels + 1 interleaved 16-bit frames at out.
void decode_ima_block(const BYTE* block, uint32_t align, int channels, int16_t* out);
// What the decoder gives: 16-bit PCM with the source's channels and rate.
Pcm decoded_pcm(const Coded& c);
// Frames decoded from `bytes` of data: whole units, capped by frames_limit.
uint64_t coded_frames(const Coded& c, uint64_t bytes);
// The fewest bytes (whole units) that decode to at least `frames` frames.
uint64_t coded_bytes_for(const Coded& c, uint64_t frames);
// Decodes the first in_frames frames of the data at in (in_bytes long) and
// writes the first count frames of their conversion to dst at out, as
// convert_pcm does. Frames the decoder does not deliver are silence. False
// when the decoder or the resampler fails (out is then filled all the same).
bool convert_coded(const Coded& src, const Pcm& dst, const BYTE* in, uint64_t in_bytes,
                   uint64_t in_frames, BYTE* out, uint64_t count);

// --- AVI reader (avi_parse.cpp, avi_stream.cpp) ---

// Where one data chunk's bytes lie in the file.
struct AviPiece {
    uint64_t offset = 0;
    uint64_t bytes = 0;
};

// An open audio stream of an AVI file. Never changed after parsing, so reads
// (pread) run without a lock.
struct AviAudio {
    int fd = -1;  // read-only, close-on-exec; closed with the record
    AVISTREAMINFO info{};
    std::vector<BYTE> format;      // the "strf" chunk
    std::vector<AviPiece> pieces;  // the stream's data chunks in file order
    std::vector<uint64_t> starts;  // where each piece starts in the stream's data
    uint64_t bytes = 0;            // all data bytes
    uint64_t samples = 0;          // at most 0x7FFFFFFF
    AviAudio() = default;
    AviAudio(const AviAudio&) = delete;
    AviAudio& operator=(const AviAudio&) = delete;
    ~AviAudio();
};

// Reads audio stream number `which` of the AVI file open at fd into out (its
// fd is set by the caller). AVIERR_OK, or the error AVIStreamOpenFromFile gives.
HRESULT avi_parse(int fd, LONG which, AviAudio* out);

}  // namespace plat::acm
