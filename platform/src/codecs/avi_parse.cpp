// Parsing an AVI file for one audio stream. AVI files come from strangers:
// each chunk is read through its 8-byte header with pread, its end is cut to
// its parent's end (the file's end at the top), a walk always moves forward,
// and nested "rec " lists are followed only a few levels deep.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "codecs_private.h"

namespace plat::acm {

namespace {

constexpr FOURCC kRiff = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = mmioFOURCC('L', 'I', 'S', 'T');
constexpr FOURCC kAvi = mmioFOURCC('A', 'V', 'I', ' ');
constexpr FOURCC kAvix = mmioFOURCC('A', 'V', 'I', 'X');
constexpr FOURCC kHdrl = mmioFOURCC('h', 'd', 'r', 'l');
constexpr FOURCC kStrl = mmioFOURCC('s', 't', 'r', 'l');
constexpr FOURCC kStrh = mmioFOURCC('s', 't', 'r', 'h');
constexpr FOURCC kStrf = mmioFOURCC('s', 't', 'r', 'f');
constexpr FOURCC kStrn = mmioFOURCC('s', 't', 'r', 'n');
constexpr FOURCC kMovi = mmioFOURCC('m', 'o', 'v', 'i');
constexpr FOURCC kRec = mmioFOURCC('r', 'e', 'c', ' ');
constexpr uint64_t kStrhBytes = 56;     // with the frame rectangle
constexpr uint64_t kStrhMinBytes = 48;  // older files stop before it
constexpr uint64_t kFormatMinBytes = 16;
constexpr uint64_t kFormatMaxBytes = 65536;
constexpr int kMaxRecDepth = 4;
constexpr uint64_t kMaxSamples = 0x7FFFFFFF;

struct File {
    int fd;
    uint64_t size;
};

// A chunk: its id, its form (for RIFF and LIST), and its body cut to the parent.
struct Chunk {
    FOURCC id = 0;
    FOURCC form = 0;
    uint64_t body = 0;
    uint64_t end = 0;
};

DWORD rd32(const BYTE* p) {
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

WORD rd16(const BYTE* p) {
    return WORD(p[0] | (p[1] << 8));
}

uint64_t read_at(const File& f, uint64_t offset, void* buf, uint64_t n) {
    uint64_t done = 0;
    while (done < n) {
        ssize_t r = pread(f.fd, static_cast<BYTE*>(buf) + done, n - done, off_t(offset + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += uint64_t(r);
    }
    return done;
}

// Calls fn(chunk) for each chunk within [begin, end) until fn gives false.
template <class Fn>
void for_each_chunk(const File& f, uint64_t begin, uint64_t end, Fn fn) {
    for (uint64_t pos = begin; pos + 8 <= end;) {
        BYTE h[12];
        if (read_at(f, pos, h, 8) != 8) return;
        const uint64_t size = rd32(h + 4);
        Chunk c;
        c.id = rd32(h);
        c.body = pos + 8;
        c.end = std::min(c.body + size, end);
        if ((c.id == kRiff || c.id == kList) && c.end >= c.body + 4) {
            if (read_at(f, c.body, h + 8, 4) != 4) return;
            c.form = rd32(h + 8);
        }
        if (!fn(c)) return;
        pos = c.body + size + (size & 1);
    }
}

std::vector<BYTE> read_body(const File& f, const Chunk& c, uint64_t most) {
    std::vector<BYTE> b(std::min(c.end - c.body, most));
    b.resize(read_at(f, c.body, b.data(), b.size()));
    return b;
}

// The parts of one "strl" list.
struct StreamList {
    std::vector<BYTE> strh, strf;
    bool has_strf = false;
    std::string name;
};

StreamList read_stream_list(const File& f, const Chunk& strl) {
    StreamList s;
    for_each_chunk(f, strl.body + 4, strl.end, [&](const Chunk& c) {
        if (c.id == kStrh && s.strh.empty()) {
            s.strh = read_body(f, c, kStrhBytes);
        } else if (c.id == kStrf && !s.has_strf) {
            s.has_strf = true;
            if (c.end - c.body <= kFormatMaxBytes) s.strf = read_body(f, c, kFormatMaxBytes);
        } else if (c.id == kStrn && s.name.empty()) {
            std::vector<BYTE> n = read_body(f, c, sizeof(AVISTREAMINFO::szName) - 1);
            s.name.assign(n.begin(), std::find(n.begin(), n.end(), BYTE(0)));
        }
        return true;
    });
    return s;
}

// Finds audio stream number `which` in "hdrl": its list and its stream number
// (the position of its "strl" among all of them).
bool find_audio(const File& f, const Chunk& hdrl, LONG which, StreamList* out, int* number) {
    int index = 0;
    bool found = false;
    for_each_chunk(f, hdrl.body + 4, hdrl.end, [&](const Chunk& c) {
        if (c.id != kList || c.form != kStrl) return true;
        StreamList s = read_stream_list(f, c);
        if (s.strh.size() >= 4 && rd32(s.strh.data()) == streamtypeAUDIO && which-- == 0) {
            *out = std::move(s);
            *number = index;
            found = true;
            return false;
        }
        ++index;
        return true;
    });
    return found;
}

void collect(const File& f, uint64_t begin, uint64_t end, FOURCC want, int depth, AviAudio* a) {
    for_each_chunk(f, begin, end, [&](const Chunk& c) {
        if (c.id == kList && c.form == kRec) {
            if (depth < kMaxRecDepth) collect(f, c.body + 4, c.end, want, depth + 1, a);
        } else if (c.id == want) {
            a->pieces.push_back(AviPiece{c.body, c.end - c.body});
        }
        return true;
    });
}

// The data chunk id of stream `number`: two decimal digits and "wb".
FOURCC data_id(int number) {
    return mmioFOURCC('0' + number / 10, '0' + number % 10, 'w', 'b');
}

void fill_info(const StreamList& s, uint64_t sample_size, uint64_t samples, AVISTREAMINFO* i) {
    const BYTE* h = s.strh.data();
    *i = AVISTREAMINFO{};
    i->fccType = rd32(h);
    i->fccHandler = rd32(h + 4);
    i->dwFlags = rd32(h + 8);
    i->wPriority = rd16(h + 12);
    i->wLanguage = rd16(h + 14);
    i->dwInitialFrames = rd32(h + 16);
    i->dwScale = rd32(h + 20);
    i->dwRate = rd32(h + 24);
    i->dwStart = rd32(h + 28);
    i->dwLength = DWORD(samples);
    i->dwSuggestedBufferSize = rd32(h + 36);
    i->dwQuality = rd32(h + 40);
    i->dwSampleSize = DWORD(sample_size);
    if (s.strh.size() >= kStrhBytes) {
        i->rcFrame = RECT{int16_t(rd16(h + 48)), int16_t(rd16(h + 50)), int16_t(rd16(h + 52)),
                          int16_t(rd16(h + 54))};
    }
    std::memcpy(i->szName, s.name.data(), std::min(s.name.size(), sizeof i->szName - 1));
}

}  // namespace

HRESULT avi_parse(int fd, LONG which, AviAudio* a) {
    struct stat st;
    if (fstat(fd, &st) != 0) return AVIERR_FILEREAD;
    const File f{fd, uint64_t(st.st_size)};
    BYTE head[12];
    if (read_at(f, 0, head, 12) != 12 || rd32(head) != kRiff || rd32(head + 8) != kAvi)
        return AVIERR_BADFORMAT;
    const uint64_t riff_size = rd32(head + 4), riff_end = std::min(8 + riff_size, f.size);

    Chunk hdrl;
    std::vector<Chunk> movis;
    for_each_chunk(f, 12, riff_end, [&](const Chunk& c) {
        if (c.id == kList && c.form == kHdrl && !hdrl.id) hdrl = c;
        if (c.id == kList && c.form == kMovi) movis.push_back(c);
        return true;
    });
    // Large files go on in "AVIX" forms after the first, each with its own "movi".
    for_each_chunk(f, 8 + riff_size + (riff_size & 1), f.size, [&](const Chunk& c) {
        if (c.id == kRiff && c.form == kAvix) {
            for_each_chunk(f, c.body + 4, c.end, [&](const Chunk& m) {
                if (m.id == kList && m.form == kMovi) movis.push_back(m);
                return true;
            });
        }
        return true;
    });
    if (!hdrl.id) return AVIERR_BADFORMAT;

    StreamList s;
    int number = 0;
    if (!find_audio(f, hdrl, which, &s, &number)) return AVIERR_NODATA;
    if (s.strh.size() < kStrhMinBytes || s.strf.size() < kFormatMinBytes) return AVIERR_BADFORMAT;

    if (number < 100) {
        for (const Chunk& m : movis) collect(f, m.body + 4, m.end, data_id(number), 0, a);
    }
    a->starts.reserve(a->pieces.size());
    for (const AviPiece& p : a->pieces) {
        a->starts.push_back(a->bytes);
        a->bytes += p.bytes;
    }
    // A sample is one block of the format; without a sample size, one chunk.
    const uint64_t block_align = rd16(s.strf.data() + 12);
    const uint64_t header_size = rd32(s.strh.data() + 44);
    const uint64_t sample_size = header_size ? (block_align ? block_align : header_size) : 0;
    a->samples = std::min(sample_size ? a->bytes / sample_size : a->pieces.size(), kMaxSamples);
    fill_info(s, sample_size, a->samples, &a->info);
    a->format = std::move(s.strf);
    return AVIERR_OK;
}

AviAudio::~AviAudio() {
    if (fd >= 0) close(fd);
}

}  // namespace plat::acm
