// Decoding the coded sources with libsndfile (IMA ADPCM in whole blocks by
// our own decoder), from memory: a wave image made
// of a small header (RIFF, the format chunk, the data chunk's header) and the
// caller's data, read in place through libsndfile's virtual I/O.
//
// Samples become 16-bit: integer decodes are rounded from libsndfile's 32-bit
// scale (halves up, clipped), float data is scaled by 32768, clipped and
// rounded to nearest. The 16-bit frames then go through the PCM kernels: in
// chunks when the rate stays, whole when libsoxr resamples them.
#include <sndfile.h>

#include <algorithm>
#include <bit>
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

// Where the decoded frames come from: IMA ADPCM made of whole blocks is
// decoded here, everything else by libsndfile.
class FrameSource {
public:
    FrameSource(const Coded& c, const BYTE* in, uint64_t bytes) : c_(c) {
        if (c.ima && bytes % c.unit_bytes == 0) {
            blocks_ = in;
            block_count_ = bytes / c.unit_bytes;
            decoded_.resize(size_t(c.unit_frames) * size_t(c.channels));
            used_ = c.unit_frames;
            return;
        }
        image_ = make_image(c, in, bytes);
        file_ = open_decoder(c, image_);
        if (c.is_float)
            floats_.resize(kChunkFrames * size_t(c.channels));
        else
            ints_.resize(kChunkFrames * size_t(c.channels));
    }
    FrameSource(const FrameSource&) = delete;  // libsndfile holds the address of image_
    FrameSource& operator=(const FrameSource&) = delete;
    bool opened() const { return file_ || blocks_; }

    // Reads up to n (at most kChunkFrames) frames as 16-bit little-endian
    // samples at out; gives the frames read.
    uint64_t read(BYTE* out, uint64_t n) {
        return blocks_ ? read_blocks(out, n) : read_file(out, n);
    }

private:
    uint64_t read_blocks(BYTE* out, uint64_t n) {
        static_assert(std::endian::native == std::endian::little);
        const size_t frame = 2 * size_t(c_.channels);
        uint64_t done = 0;
        while (done < n) {
            if (used_ == c_.unit_frames) {
                if (next_block_ == block_count_) break;
                decode_ima_block(blocks_ + next_block_++ * c_.unit_bytes, c_.unit_bytes,
                                 c_.channels, decoded_.data());
                used_ = 0;
            }
            const uint64_t take = std::min<uint64_t>(n - done, c_.unit_frames - used_);
            std::memcpy(out + done * frame, decoded_.data() + used_ * size_t(c_.channels),
                        take * frame);
            used_ += take;
            done += take;
        }
        return done;
    }

    uint64_t read_file(BYTE* out, uint64_t n) {
        if (!file_) return 0;
        sf_count_t got = 0;
        auto put = [&](size_t i, int v) {
            out[2 * i] = BYTE(v & 0xFF);
            out[2 * i + 1] = BYTE((v >> 8) & 0xFF);
        };
        if (c_.is_float) {
            got = sf_readf_float(file_.get(), floats_.data(), sf_count_t(n));
            for (size_t i = 0; i < size_t(std::max<sf_count_t>(got, 0)) * size_t(c_.channels);
                 ++i) {
                float x = floats_[i] * 32768.0f;
                x = std::isnan(x) ? 0.0f : std::clamp(x, -32768.0f, 32767.0f);
                put(i, int(std::lrintf(x)));
            }
        } else {
            got = sf_readf_int(file_.get(), ints_.data(), sf_count_t(n));
            for (size_t i = 0; i < size_t(std::max<sf_count_t>(got, 0)) * size_t(c_.channels);
                 ++i) {
                put(i, int(std::min<int64_t>((int64_t(ints_[i]) + 0x8000) >> 16, 32767)));
            }
        }
        return uint64_t(std::max<sf_count_t>(got, 0));
    }

    const Coded& c_;
    Image image_;
    Decoder file_;
    std::vector<int> ints_;
    std::vector<float> floats_;
    const BYTE* blocks_ = nullptr;
    uint64_t block_count_ = 0, next_block_ = 0;
    std::vector<int16_t> decoded_;
    uint64_t used_ = 0;  // frames of decoded_ already handed out (unit_frames: none left)
};

bool decode_by_chunks(const Coded& src, const Pcm& dst, FrameSource& s, BYTE* out, uint64_t count) {
    const Pcm mid = decoded_pcm(src);
    const uint64_t db = frame_bytes(dst), mb = frame_bytes(mid);
    std::vector<BYTE> buf(kChunkFrames * mb);
    bool ok = s.opened();
    for (uint64_t pos = 0; pos < count;) {
        const uint64_t n = std::min<uint64_t>(kChunkFrames, count - pos);
        const uint64_t got = ok ? s.read(buf.data(), n) : 0;
        if (got < n) {
            ok = false;
            std::memset(buf.data() + got * mb, 0, (n - got) * mb);
        }
        convert_pcm(mid, dst, buf.data(), n, out + pos * db, n);
        pos += n;
    }
    return ok;
}

bool decode_whole(const Coded& src, const Pcm& dst, FrameSource& s, uint64_t in_frames, BYTE* out,
                  uint64_t count) {
    const Pcm mid = decoded_pcm(src);
    const uint64_t mb = frame_bytes(mid);
    std::vector<BYTE> all(in_frames * mb, 0);
    bool ok = s.opened();
    for (uint64_t pos = 0; ok && pos < in_frames;) {
        const uint64_t n = std::min<uint64_t>(kChunkFrames, in_frames - pos);
        const uint64_t got = s.read(all.data() + pos * mb, n);
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
    try {
        FrameSource s(src, in, bytes);
        if (decoded_pcm(src).rate == dst.rate) return decode_by_chunks(src, dst, s, out, count);
        return decode_whole(src, dst, s, in_frames, out, count);
    } catch (const std::bad_alloc&) {
        std::memset(out, dst.bits == 8 ? 0x80 : 0, count * frame_bytes(dst));
        return false;
    }
}

}  // namespace plat::acm
