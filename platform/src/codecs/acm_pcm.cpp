// PCM conversion kernels: channels, width and rate. Every sample passes
// through the 16-bit scale: 8-bit b becomes (b - 128) << 8, and 16-bit v
// becomes the byte (v >> 8) + 128 (truncation toward minus infinity). Stereo
// to mono is the floor of (l + r) / 2; mono to stereo repeats the sample. A
// rate change runs libsoxr's high-quality resampler over float frames in
// chunks, after the channel change; its output is rounded to nearest.
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "codecs_private.h"

namespace plat::acm {

namespace {

constexpr size_t kChunkFrames = 16384;

int get_sample(const BYTE* p, int bits) {
    if (bits == 8) return (int(p[0]) - 128) * 256;
    return int16_t(uint16_t(p[0] | (p[1] << 8)));
}

void put_sample(BYTE* p, int bits, int v) {
    if (bits == 8) {
        p[0] = BYTE((v >> 8) + 128);
    } else {
        p[0] = BYTE(v & 0xFF);
        p[1] = BYTE((v >> 8) & 0xFF);
    }
}

// One source frame as `channels` values on the 16-bit scale.
void read_frame(const Pcm& src, int channels, const BYTE* p, int* v) {
    int l = get_sample(p, src.bits);
    int r = src.channels == 2 ? get_sample(p + src.bits / 8, src.bits) : l;
    if (channels == 1) {
        v[0] = (l + r) >> 1;
    } else {
        v[0] = l;
        v[1] = r;
    }
}

void write_frame(const Pcm& dst, BYTE* p, const int* v) {
    for (int c = 0; c < dst.channels; ++c) put_sample(p + c * dst.bits / 8, dst.bits, v[c]);
}

void fill_silence(const Pcm& dst, BYTE* p, uint64_t frames) {
    std::memset(p, dst.bits == 8 ? 0x80 : 0, frames * frame_bytes(dst));
}

void convert_same_rate(const Pcm& src, const Pcm& dst, const BYTE* in, BYTE* out, uint64_t count) {
    const uint64_t sb = frame_bytes(src), db = frame_bytes(dst);
    int v[2];
    for (uint64_t i = 0; i < count; ++i) {
        read_frame(src, dst.channels, in + i * sb, v);
        write_frame(dst, out + i * db, v);
    }
}

// Where resampled frames go: the first `count` are kept, the rest dropped.
struct Sink {
    const Pcm& dst;
    BYTE* out;
    uint64_t count;
    uint64_t done = 0;
};

void emit(Sink& s, const float* frames, size_t n) {
    n = size_t(std::min<uint64_t>(n, s.count - s.done));
    const uint64_t db = frame_bytes(s.dst);
    int v[2];
    for (size_t i = 0; i < n; ++i) {
        for (int c = 0; c < s.dst.channels; ++c) {
            float x = std::clamp(frames[i * s.dst.channels + c] * 32768.0f, -32768.0f, 32767.0f);
            v[c] = int(std::lrintf(x));
        }
        write_frame(s.dst, s.out + (s.done + i) * db, v);
    }
    s.done += n;
}

struct SoxrDelete {
    void operator()(soxr_t r) const { soxr_delete(r); }
};
using Resampler = std::unique_ptr<soxr, SoxrDelete>;

Resampler make_resampler(const Pcm& src, const Pcm& dst) {
    soxr_error_t err = nullptr;
    soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    soxr_quality_spec_t q = soxr_quality_spec(SOXR_HQ, 0);
    soxr_runtime_spec_t rt = soxr_runtime_spec(1);
    Resampler r(soxr_create(double(src.rate), double(dst.rate), unsigned(dst.channels), &err, &io,
                            &q, &rt));
    if (err) r.reset();
    return r;
}

// Feeds one chunk of float frames; false on a resampler error.
bool feed(soxr_t r, const float* in, size_t n, std::vector<float>& obuf, Sink& s) {
    const size_t ch = size_t(s.dst.channels), olen = obuf.size() / ch;
    size_t off = 0;
    while (off < n && s.done < s.count) {
        size_t idone = 0, odone = 0;
        if (soxr_process(r, in + off * ch, n - off, &idone, obuf.data(), olen, &odone)) {
            return false;
        }
        emit(s, obuf.data(), odone);
        off += idone;
        if (idone == 0 && odone == 0) break;
    }
    return true;
}

bool resample(const Pcm& src, const Pcm& dst, const BYTE* in, uint64_t in_frames, Sink& s) {
    Resampler r = make_resampler(src, dst);
    if (!r) return false;
    const size_t ch = size_t(dst.channels);
    const uint64_t sb = frame_bytes(src);
    std::vector<float> ibuf(kChunkFrames * ch), obuf(kChunkFrames * ch);
    int v[2];
    for (uint64_t pos = 0; pos < in_frames && s.done < s.count;) {
        size_t n = size_t(std::min<uint64_t>(kChunkFrames, in_frames - pos));
        for (size_t i = 0; i < n; ++i) {
            read_frame(src, dst.channels, in + (pos + i) * sb, v);
            for (size_t c = 0; c < ch; ++c) ibuf[i * ch + c] = float(v[c]) / 32768.0f;
        }
        if (!feed(r.get(), ibuf.data(), n, obuf, s)) return false;
        pos += n;
    }
    while (s.done < s.count) {
        size_t idone = 0, odone = 0;
        if (soxr_process(r.get(), nullptr, 0, &idone, obuf.data(), kChunkFrames, &odone)) {
            return false;
        }
        if (odone == 0) break;
        emit(s, obuf.data(), odone);
    }
    return true;
}

}  // namespace

bool read_pcm(const WAVEFORMATEX* f, Pcm* out) {
    if (f->wFormatTag != WAVE_FORMAT_PCM) return false;
    if (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) return false;
    if (f->nChannels != 1 && f->nChannels != 2) return false;
    if (f->nSamplesPerSec < 1 || f->nSamplesPerSec > kMaxRate) return false;
    out->bits = f->wBitsPerSample;
    out->channels = f->nChannels;
    out->rate = f->nSamplesPerSec;
    return true;
}

uint64_t frame_bytes(const Pcm& p) {
    return uint64_t(p.bits / 8) * uint64_t(p.channels);
}

uint64_t out_frames(const Pcm& src, const Pcm& dst, uint64_t in_frames) {
    if (src.rate == dst.rate) return in_frames;
    return (in_frames * dst.rate + src.rate / 2) / src.rate;
}

uint64_t in_frames_for(const Pcm& src, const Pcm& dst, uint64_t want) {
    if (src.rate == dst.rate) return want;
    uint64_t n = want * src.rate / dst.rate;
    while (out_frames(src, dst, n) < want) ++n;
    while (n > 0 && out_frames(src, dst, n - 1) >= want) --n;
    return n;
}

bool convert_pcm(const Pcm& src, const Pcm& dst, const BYTE* in, uint64_t in_frames, BYTE* out,
                 uint64_t count) {
    if (src.bits == dst.bits && src.channels == dst.channels && src.rate == dst.rate) {
        std::memcpy(out, in, count * frame_bytes(dst));
        return true;
    }
    if (src.rate == dst.rate) {
        convert_same_rate(src, dst, in, out, count);
        return true;
    }
    Sink s{dst, out, count};
    bool ok = false;
    try {
        ok = resample(src, dst, in, in_frames, s);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    fill_silence(dst, out + s.done * frame_bytes(dst), count - s.done);
    return ok;
}

}  // namespace plat::acm
