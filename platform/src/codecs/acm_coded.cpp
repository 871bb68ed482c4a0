// The coded sources of the compression streams: which format records the
// layer hands to libsndfile, and how many frames their data holds.
//
// Formats come from files made by strangers, so every field the decoder
// relies on is checked here: a block codec's block size must match its
// samples per block exactly (libsndfile only warns about a mismatch and then
// unpacks past its buffers), and a frame codec's block align and byte rate are
// recomputed from its width and channels, as for PCM.
#include <algorithm>
#include <cstring>

#include "codecs_private.h"

namespace plat::acm {

namespace {

constexpr WORD kTagPcm = 0x0001;
constexpr WORD kTagMsAdpcm = 0x0002;
constexpr WORD kTagFloat = 0x0003;
constexpr WORD kTagAlaw = 0x0006;
constexpr WORD kTagUlaw = 0x0007;
constexpr WORD kTagImaAdpcm = 0x0011;
constexpr WORD kTagGsm610 = 0x0031;
constexpr WORD kTagExtensible = 0xFFFE;
constexpr size_t kHeaderBytes = sizeof(WAVEFORMATEX);  // 18: the record up to cbSize
constexpr WORD kExtensibleExtra = 22;
// The sub-format GUID of an extensible record is the plain tag followed by these bytes.
constexpr BYTE kGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

WORD rd16(const BYTE* p) {
    return WORD(p[0] | (p[1] << 8));
}

DWORD rd32(const BYTE* p) {
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

const BYTE* extra_of(const WAVEFORMATEX* f) {
    return reinterpret_cast<const BYTE*>(f) + kHeaderBytes;
}

// The format chunk: the record with `extra` of its extra bytes and cbSize set to that.
std::vector<BYTE> chunk_of(const WAVEFORMATEX* f, WORD extra) {
    std::vector<BYTE> chunk(kHeaderBytes + extra);
    std::memcpy(chunk.data(), f, kHeaderBytes);
    if (extra) std::memcpy(chunk.data() + kHeaderBytes, extra_of(f), extra);
    WAVEFORMATEX head;
    std::memcpy(&head, chunk.data(), kHeaderBytes);
    head.cbSize = extra;
    std::memcpy(chunk.data(), &head, kHeaderBytes);
    return chunk;
}

// A codec of whole frames: `bits` wide samples of a plain tag. The chunk gets
// the block align and byte rate that follow from them.
bool read_frames(WORD tag, int bits, Coded* c) {
    bool ok = false;
    switch (tag) {
        case kTagPcm:
            ok = bits == 8 || bits == 16 || bits == 24 || bits == 32;
            break;
        case kTagFloat:
            ok = bits == 32 || bits == 64;
            c->is_float = true;
            break;
        case kTagAlaw:
        case kTagUlaw:
            ok = bits == 8;
            break;
        default:
            break;
    }
    if (!ok) return false;
    c->unit_bytes = uint32_t(bits / 8 * c->channels);
    c->unit_frames = 1;
    WAVEFORMATEX head;
    std::memcpy(&head, c->format.data(), kHeaderBytes);
    head.nBlockAlign = WORD(c->unit_bytes);
    head.nAvgBytesPerSec = c->rate * c->unit_bytes;
    std::memcpy(c->format.data(), &head, kHeaderBytes);
    return true;
}

bool read_block_codec(const WAVEFORMATEX* f, Coded* c) {
    const uint32_t ch = uint32_t(c->channels), align = f->nBlockAlign;
    const BYTE* extra = extra_of(f);
    uint32_t frames = 0;
    switch (f->wFormatTag) {
        case kTagImaAdpcm:
            // A header of 4 bytes per channel, then groups of 4 bytes (8 samples) per channel.
            if (f->wBitsPerSample != 4 || f->cbSize < 2 || align <= 4 * ch) return false;
            if ((align - 4 * ch) % (4 * ch) != 0) return false;
            frames = (align - 4 * ch) * 2 / ch + 1;
            if (rd16(extra) != frames) return false;
            c->format = chunk_of(f, 2);
            c->ima = true;
            break;
        case kTagMsAdpcm: {
            // A header of 7 bytes per channel holding two samples, then 4-bit samples.
            if (f->wBitsPerSample != 4 || f->cbSize < 4 || align < 7 * ch) return false;
            const uint32_t coefficients = rd16(extra + 2);
            if (f->cbSize < 4 + 4 * coefficients) return false;
            frames = 2 * (align - 6 * ch) / ch;
            if (rd16(extra) != frames) return false;
            c->format = chunk_of(f, WORD(4 + 4 * coefficients));
            break;
        }
        case kTagGsm610:
            // Two 33-byte frames of 160 samples packed into 65 bytes.
            if (ch != 1 || align != 65 || f->cbSize < 2 || rd16(extra) != 320) return false;
            frames = 320;
            c->format = chunk_of(f, 2);
            break;
        default:
            return false;
    }
    c->block = true;
    c->unit_bytes = align;
    c->unit_frames = frames;
    return true;
}

bool read_extensible(const WAVEFORMATEX* f, Coded* c) {
    if (f->cbSize < kExtensibleExtra) return false;
    const BYTE* extra = extra_of(f);
    const DWORD sub = rd32(extra + 6);
    if (sub > 0xFFFF || std::memcmp(extra + 10, kGuidTail, sizeof kGuidTail) != 0) return false;
    c->format = chunk_of(f, kExtensibleExtra);
    return read_frames(WORD(sub), f->wBitsPerSample, c);
}

}  // namespace

bool read_coded(const WAVEFORMATEX* f, Coded* out) {
    if (!f || f->nChannels < 1 || f->nChannels > 2) return false;
    if (f->nSamplesPerSec < 1 || f->nSamplesPerSec > kMaxRate) return false;
    Coded c;
    c.channels = f->nChannels;
    c.rate = f->nSamplesPerSec;
    bool ok = false;
    switch (f->wFormatTag) {
        case kTagImaAdpcm:
        case kTagMsAdpcm:
        case kTagGsm610:
            ok = read_block_codec(f, &c);
            break;
        case kTagExtensible:
            ok = read_extensible(f, &c);
            break;
        default:
            // Plain tags carry no extra bytes that matter; a PCM record may even lack cbSize.
            c.format.assign(reinterpret_cast<const BYTE*>(f),
                            reinterpret_cast<const BYTE*>(f) + kHeaderBytes - 2);
            c.format.push_back(0);
            c.format.push_back(0);
            ok = read_frames(f->wFormatTag, f->wBitsPerSample, &c);
            break;
    }
    if (!ok || !decoder_accepts(c)) return false;
    *out = std::move(c);
    return true;
}

Pcm decoded_pcm(const Coded& c) {
    return Pcm{16, c.channels, c.rate};
}

uint64_t coded_frames(const Coded& c, uint64_t bytes) {
    uint64_t frames = bytes / c.unit_bytes * c.unit_frames;
    if (c.block && c.frames_limit) frames = std::min(frames, c.frames_limit);
    return frames;
}

uint64_t coded_bytes_for(const Coded& c, uint64_t frames) {
    if (c.block && c.frames_limit && frames > c.frames_limit) return UINT64_MAX;
    return (frames + c.unit_frames - 1) / c.unit_frames * c.unit_bytes;
}

}  // namespace plat::acm
