// Compression stream entry points: the handle table and the header
// bookkeeping around the conversion kernels. Handles are numbers that are
// never reused, so a closed or forged one is not found. A stream record is
// never changed (a new source frame count replaces it), so conversions run
// without the table's lock.
//
// Sizes: input is counted in whole frames (a partial last frame is ignored),
// or whole blocks for a block codec, and the output has exactly out_frames()
// frames. A destination shorter than that gets the first frames that fit;
// cbSrcLengthUsed is then the input those frames need (in_frames_for), not the
// whole input.
#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

#include "codecs_private.h"

using plat::acm::Pcm;

namespace {

// What a stream decodes from: PCM the kernels read directly, or a coded
// source that libsndfile decodes to 16-bit PCM first (src is then that PCM).
enum class SourceKind { Pcm, Coded };

struct Stream {
    SourceKind kind = SourceKind::Pcm;
    Pcm src;
    Pcm dst;
    plat::acm::Coded coded;
};

std::mutex g_lock;
std::unordered_map<uintptr_t, std::shared_ptr<const Stream>> g_streams;
uintptr_t g_next_handle = 0x100;

constexpr DWORD kOpenFlags = ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_NONREALTIME;
constexpr DWORD kConvertFlags =
    ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END;
// A prepared header remembers its stream and lengths in the driver's words.
constexpr int kOwnerLow = 0, kOwnerHigh = 1, kSrcLength = 2, kDstLength = 3;

std::shared_ptr<const Stream> find(HACMSTREAM s) {
    std::lock_guard lock(g_lock);
    auto it = g_streams.find(reinterpret_cast<uintptr_t>(s));
    return it == g_streams.end() ? nullptr : it->second;
}

bool source_kind(const WAVEFORMATEX* f, Stream* st) {
    if (plat::acm::read_pcm(f, &st->src)) {
        st->kind = SourceKind::Pcm;
        return true;
    }
    if (plat::acm::read_coded(f, &st->coded)) {
        st->kind = SourceKind::Coded;
        st->src = plat::acm::decoded_pcm(st->coded);
        return true;
    }
    return false;
}

// The frames that input bytes hold, and the bytes that hold a count of frames.
uint64_t frames_in(const Stream& st, uint64_t bytes) {
    if (st.kind == SourceKind::Coded) return plat::acm::coded_frames(st.coded, bytes);
    return bytes / plat::acm::frame_bytes(st.src);
}

uint64_t bytes_for(const Stream& st, uint64_t frames) {
    if (st.kind == SourceKind::Coded) return plat::acm::coded_bytes_for(st.coded, frames);
    return frames * plat::acm::frame_bytes(st.src);
}

bool valid_header(LPACMSTREAMHEADER h) {
    return h && h->cbStruct >= sizeof(ACMSTREAMHEADER);
}

void set_owner(LPACMSTREAMHEADER h, HACMSTREAM s) {
    uint64_t v = reinterpret_cast<uintptr_t>(s);
    h->dwReservedDriver[kOwnerLow] = DWORD(v);
    h->dwReservedDriver[kOwnerHigh] = DWORD(v >> 32);
}

bool owned_by(LPACMSTREAMHEADER h, HACMSTREAM s) {
    uint64_t v = reinterpret_cast<uintptr_t>(s);
    return h->dwReservedDriver[kOwnerLow] == DWORD(v) &&
           h->dwReservedDriver[kOwnerHigh] == DWORD(v >> 32);
}

// Output bytes for input bytes; false when they would not fit a DWORD.
bool output_size(const Stream& st, uint64_t input, uint64_t* output) {
    uint64_t frames = plat::acm::out_frames(st.src, st.dst, frames_in(st, input));
    *output = frames * plat::acm::frame_bytes(st.dst);
    return *output <= 0xFFFFFFFFull;
}

// The fewest input bytes whose output has at least `output` bytes.
bool input_size(const Stream& st, uint64_t output, uint64_t* input) {
    uint64_t db = plat::acm::frame_bytes(st.dst);
    uint64_t frames = plat::acm::in_frames_for(st.src, st.dst, (output + db - 1) / db);
    *input = bytes_for(st, frames);
    return *input <= 0xFFFFFFFFull;
}

MMRESULT convert(const Stream& st, LPACMSTREAMHEADER h) {
    const uint64_t db = plat::acm::frame_bytes(st.dst);
    const uint64_t in_frames = frames_in(st, h->cbSrcLength);
    const uint64_t exact = plat::acm::out_frames(st.src, st.dst, in_frames);
    const uint64_t count = std::min<uint64_t>(exact, h->cbDstLength / db);
    uint64_t used = in_frames;
    if (count < exact) used = std::min(in_frames, plat::acm::in_frames_for(st.src, st.dst, count));
    if (st.kind == SourceKind::Coded) {
        if (!plat::acm::convert_coded(st.coded, st.dst, h->pbSrc, h->cbSrcLength, in_frames,
                                      h->pbDst, count)) {
            return MMSYSERR_ERROR;
        }
    } else if (!plat::acm::convert_pcm(st.src, st.dst, h->pbSrc, in_frames, h->pbDst, count)) {
        return MMSYSERR_NOMEM;
    }
    h->cbSrcLengthUsed = DWORD(bytes_for(st, used));
    h->cbDstLengthUsed = DWORD(count * db);
    h->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return MMSYSERR_NOERROR;
}

}  // namespace

extern "C" {

MMRESULT acmStreamOpen(LPHACMSTREAM out, HACMDRIVER driver, const WAVEFORMATEX* src,
                       const WAVEFORMATEX* dst, void* filter, DWORD_PTR, DWORD_PTR, DWORD flags) {
    if (flags & ~kOpenFlags) return MMSYSERR_INVALFLAG;
    const bool query = flags & ACM_STREAMOPENF_QUERY;
    if (driver || filter || !src || !dst || (!out && !query)) return MMSYSERR_INVALPARAM;
    Stream st;
    try {
        if (!source_kind(src, &st)) return ACMERR_NOTPOSSIBLE;
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    }
    if (!plat::acm::read_pcm(dst, &st.dst)) return ACMERR_NOTPOSSIBLE;
    if (query) return MMSYSERR_NOERROR;
    std::lock_guard lock(g_lock);
    uintptr_t id = g_next_handle++;
    try {
        g_streams.emplace(id, std::make_shared<const Stream>(st));
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    }
    *out = reinterpret_cast<HACMSTREAM>(id);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM s, DWORD input, DWORD* output, DWORD flags) {
    std::shared_ptr<const Stream> st = find(s);
    if (!st) return MMSYSERR_INVALHANDLE;
    if (!output) return MMSYSERR_INVALPARAM;
    uint64_t size = 0;
    bool fits = false;
    if (flags == ACM_STREAMSIZEF_SOURCE) {
        fits = output_size(*st, input, &size);
    } else if (flags == ACM_STREAMSIZEF_DESTINATION) {
        fits = input_size(*st, input, &size);
    } else {
        return MMSYSERR_INVALFLAG;
    }
    if (!fits) return ACMERR_NOTPOSSIBLE;
    *output = DWORD(size);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags) {
    if (!find(s)) return MMSYSERR_INVALHANDLE;
    if (flags) return MMSYSERR_INVALFLAG;
    if (!valid_header(h) || !h->pbSrc || !h->pbDst) return MMSYSERR_INVALPARAM;
    h->fdwStatus =
        (h->fdwStatus & ~ACMSTREAMHEADER_STATUSF_DONE) | ACMSTREAMHEADER_STATUSF_PREPARED;
    set_owner(h, s);
    h->dwReservedDriver[kSrcLength] = h->cbSrcLength;
    h->dwReservedDriver[kDstLength] = h->cbDstLength;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags) {
    std::shared_ptr<const Stream> st = find(s);
    if (!st) return MMSYSERR_INVALHANDLE;
    if (flags & ~kConvertFlags) return MMSYSERR_INVALFLAG;
    if (!valid_header(h)) return MMSYSERR_INVALPARAM;
    if (!(h->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
    if (!owned_by(h, s) || h->cbSrcLength > h->dwReservedDriver[kSrcLength] ||
        h->cbDstLength > h->dwReservedDriver[kDstLength]) {
        return MMSYSERR_INVALPARAM;
    }
    h->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
    return convert(*st, h);
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags) {
    if (!find(s)) return MMSYSERR_INVALHANDLE;
    if (flags) return MMSYSERR_INVALFLAG;
    if (!valid_header(h)) return MMSYSERR_INVALPARAM;
    if (!(h->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
    if (!owned_by(h, s)) return MMSYSERR_INVALPARAM;
    h->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
    std::fill(std::begin(h->dwReservedDriver), std::end(h->dwReservedDriver), DWORD(0));
    return MMSYSERR_NOERROR;
}

MMRESULT PlatformAcmStreamSetSourceFrames(HACMSTREAM s, DWORD frames) {
    std::lock_guard lock(g_lock);
    auto it = g_streams.find(reinterpret_cast<uintptr_t>(s));
    if (it == g_streams.end()) return MMSYSERR_INVALHANDLE;
    if (it->second->kind != SourceKind::Coded || !it->second->coded.block) return MMSYSERR_NOERROR;
    try {
        // Conversions under way keep the stream they started with.
        auto changed = std::make_shared<Stream>(*it->second);
        changed->coded.frames_limit = frames;
        it->second = std::move(changed);
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM s, DWORD flags) {
    if (flags) return MMSYSERR_INVALFLAG;
    std::lock_guard lock(g_lock);
    return g_streams.erase(reinterpret_cast<uintptr_t>(s)) ? MMSYSERR_NOERROR
                                                           : MMSYSERR_INVALHANDLE;
}

}  // extern "C"
