// Decoding the coded sources with libsndfile, from memory: a wave image made
// of a small header (RIFF, the format chunk, the data chunk's header) and the
// caller's data, read in place through libsndfile's virtual I/O.
//
// Samples become 16-bit: integer decodes are rounded from libsndfile's 32-bit
// scale (halves up, clipped), float data is scaled by 32768, clipped and
// rounded to nearest. The 16-bit frames then go through the PCM kernels: in
// chunks when the rate stays, whole when libsoxr resamples them.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "codecs_private.h"

namespace plat::acm {

namespace {

constexpr size_t kChunkFrames = 4096;

struct Image {
    std::vector<BYTE> head;
    const BYTE* data = nullptr;
    uint64_t data_bytes = 0;
    uint64_t pos = 0;
    uint64_t size() const { return head.size() + data_bytes; }
};

sf_count_t image_length(void* user) {
    return sf_count_t(static_cast<Image*>(user)->size());
}

sf_count_t image_seek(sf_count_t offset, int whence, void* user) {
    auto* im = static_cast<Image*>(user);
    const sf_count_t size = sf_count_t(im->size());
    sf_count_t base = whence == SEEK_CUR ? sf_count_t(im->pos) : whence == SEEK_END ? size : 0;
    if (offset < -base || offset > INT64_MAX - base) return -1;
    im->pos = uint64_t(base + offset);
    return sf_count_t(im->pos);
}

sf_count_t image_read(void* ptr, sf_count_t count, void* user) {
    auto* im = static_cast<Image*>(user);
    if (count <= 0 || im->pos >= im->size()) return 0;
    const uint64_t n = std::min<uint64_t>(uint64_t(count), im->size() - im->pos);
    auto* dst = static_cast<BYTE*>(ptr);
    uint64_t done = 0;
    if (im->pos < im->head.size()) {
        done = std::min<uint64_t>(n, im->head.size() - im->pos);
        std::memcpy(dst, im->head.data() + im->pos, done);
    }
    if (done < n) std::memcpy(dst + done, im->data + (im->pos + done - im->head.size()), n - done);
    im->pos += n;
    return sf_count_t(n);
}

sf_count_t image_write(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t image_tell(void* user) {
    return sf_count_t(static_cast<Image*>(user)->pos);
}

SF_VIRTUAL_IO g_io = {image_length, image_seek, image_read, image_write, image_tell};

void put_tag(std::vector<BYTE>& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(BYTE(tag[i]));
}

void put32(std::vector<BYTE>& b, uint64_t v) {
    v = std::min<uint64_t>(v, 0xFFFFFFFFu);
    for (int i = 0; i < 4; ++i) b.push_back(BYTE(v >> (8 * i)));
}

Image make_image(const Coded& c, const BYTE* data, uint64_t bytes) {
    Image im;
    const uint64_t fmt = c.format.size(), pad = fmt & 1;
    put_tag(im.head, "RIFF");
    put32(im.head, 4 + 8 + fmt + pad + 8 + bytes);
    put_tag(im.head, "WAVE");
    put_tag(im.head, "fmt ");
    put32(im.head, fmt);
    im.head.insert(im.head.end(), c.format.begin(), c.format.end());
    if (pad) im.head.push_back(0);
    put_tag(im.head, "data");
    put32(im.head, bytes);
    im.data = data;
    im.data_bytes = bytes;
    return im;
}

struct SndfileClose {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using Decoder = std::unique_ptr<SNDFILE, SndfileClose>;

Decoder open_decoder(const Coded& c, Image& im) {
    SF_INFO info{};
    Decoder d(sf_open_virtual(&g_io, SFM_READ, &info, &im));
    if (d && info.channels != c.channels) d.reset();
    return d;
}

// Reads up to n frames as 16-bit samples, little-endian, at out; gives the frames read.
uint64_t read16(SNDFILE* f, const Coded& c, BYTE* out, uint64_t n, std::vector<int>& ints,
                std::vector<float>& floats) {
    sf_count_t got = 0;
    auto put = [&](size_t i, int v) {
        out[2 * i] = BYTE(v & 0xFF);
        out[2 * i + 1] = BYTE((v >> 8) & 0xFF);
    };
    if (c.is_float) {
        got = sf_readf_float(f, floats.data(), sf_count_t(n));
        for (size_t i = 0; i < size_t(std::max<sf_count_t>(got, 0)) * size_t(c.channels); ++i) {
            float x = floats[i] * 32768.0f;
            x = std::isnan(x) ? 0.0f : std::clamp(x, -32768.0f, 32767.0f);
            put(i, int(std::lrintf(x)));
        }
    } else {
        got = sf_readf_int(f, ints.data(), sf_count_t(n));
        for (size_t i = 0; i < size_t(std::max<sf_count_t>(got, 0)) * size_t(c.channels); ++i) {
            put(i, int(std::min<int64_t>((int64_t(ints[i]) + 0x8000) >> 16, 32767)));
        }
    }
    return uint64_t(std::max<sf_count_t>(got, 0));
}

bool decode_by_chunks(const Coded& src, const Pcm& dst, SNDFILE* f, BYTE* out, uint64_t count) {
    const Pcm mid = decoded_pcm(src);
    const uint64_t db = frame_bytes(dst), mb = frame_bytes(mid);
    std::vector<BYTE> buf(kChunkFrames * mb);
    std::vector<int> ints(src.is_float ? 0 : kChunkFrames * size_t(src.channels));
    std::vector<float> floats(src.is_float ? kChunkFrames * size_t(src.channels) : 0);
    bool ok = f != nullptr;
    for (uint64_t pos = 0; pos < count;) {
        const uint64_t n = std::min<uint64_t>(kChunkFrames, count - pos);
        const uint64_t got = ok ? read16(f, src, buf.data(), n, ints, floats) : 0;
        if (got < n) {
            ok = false;
            std::memset(buf.data() + got * mb, 0, (n - got) * mb);
        }
        convert_pcm(mid, dst, buf.data(), n, out + pos * db, n);
        pos += n;
    }
    return ok;
}

bool decode_whole(const Coded& src, const Pcm& dst, SNDFILE* f, uint64_t in_frames, BYTE* out,
                  uint64_t count) {
    const Pcm mid = decoded_pcm(src);
    const uint64_t mb = frame_bytes(mid);
    std::vector<BYTE> all(in_frames * mb, 0);
    std::vector<int> ints(src.is_float ? 0 : kChunkFrames * size_t(src.channels));
    std::vector<float> floats(src.is_float ? kChunkFrames * size_t(src.channels) : 0);
    bool ok = f != nullptr;
    for (uint64_t pos = 0; ok && pos < in_frames;) {
        const uint64_t n = std::min<uint64_t>(kChunkFrames, in_frames - pos);
        const uint64_t got = read16(f, src, all.data() + pos * mb, n, ints, floats);
        ok = got == n;
        pos += n;
    }
    return convert_pcm(mid, dst, all.data(), in_frames, out, count) && ok;
}

}  // namespace

bool decoder_accepts(const Coded& c) {
    std::vector<BYTE> silence(c.unit_bytes, 0);
    Image im = make_image(c, silence.data(), silence.size());
    return open_decoder(c, im) != nullptr;
}

bool convert_coded(const Coded& src, const Pcm& dst, const BYTE* in, uint64_t in_bytes,
                   uint64_t in_frames, BYTE* out, uint64_t count) {
    const uint64_t bytes = std::min(in_bytes, coded_bytes_for(src, in_frames));
    Image im = make_image(src, in, bytes);
    try {
        Decoder d = open_decoder(src, im);
        if (decoded_pcm(src).rate == dst.rate)
            return decode_by_chunks(src, dst, d.get(), out, count);
        return decode_whole(src, dst, d.get(), in_frames, out, count);
    } catch (const std::bad_alloc&) {
        std::memset(out, dst.bits == 8 ? 0x80 : 0, count * frame_bytes(dst));
        return false;
    }
}

}  // namespace plat::acm
