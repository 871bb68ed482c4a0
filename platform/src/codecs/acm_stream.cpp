// Compression stream entry points: the handle table and the header
// bookkeeping around the conversion kernels. Handles are numbers that are
// never reused, so a closed or forged one is not found. A stream is fixed once
// opened, so conversions run without the table's lock.
//
// Sizes: input is counted in whole frames (a partial last frame is ignored)
// and the output has exactly out_frames() frames. A destination shorter than
// that gets the first frames that fit; cbSrcLengthUsed is then the input
// those frames need (in_frames_for), not the whole input.
#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

#include "codecs_private.h"

using plat::acm::Pcm;

namespace {

// What a stream decodes from. A decoder for compressed sources adds its kind
// here and its branches in source_kind, output_size, input_size and
// acmStreamConvert.
enum class SourceKind { Pcm };

struct Stream {
    SourceKind kind = SourceKind::Pcm;
    Pcm src;
    Pcm dst;
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

bool source_kind(const WAVEFORMATEX* f, SourceKind* kind, Pcm* pcm) {
    if (plat::acm::read_pcm(f, pcm)) {
        *kind = SourceKind::Pcm;
        return true;
    }
    return false;
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
    uint64_t frames = plat::acm::out_frames(st.src, st.dst, input / plat::acm::frame_bytes(st.src));
    *output = frames * plat::acm::frame_bytes(st.dst);
    return *output <= 0xFFFFFFFFull;
}

// The fewest input bytes whose output has at least `output` bytes.
bool input_size(const Stream& st, uint64_t output, uint64_t* input) {
    uint64_t db = plat::acm::frame_bytes(st.dst);
    uint64_t frames = plat::acm::in_frames_for(st.src, st.dst, (output + db - 1) / db);
    *input = frames * plat::acm::frame_bytes(st.src);
    return *input <= 0xFFFFFFFFull;
}

MMRESULT convert(const Stream& st, LPACMSTREAMHEADER h) {
    const uint64_t sb = plat::acm::frame_bytes(st.src), db = plat::acm::frame_bytes(st.dst);
    const uint64_t in_frames = h->cbSrcLength / sb;
    const uint64_t exact = plat::acm::out_frames(st.src, st.dst, in_frames);
    const uint64_t count = std::min<uint64_t>(exact, h->cbDstLength / db);
    uint64_t used = in_frames;
    if (count < exact) used = std::min(in_frames, plat::acm::in_frames_for(st.src, st.dst, count));
    if (!plat::acm::convert_pcm(st.src, st.dst, h->pbSrc, in_frames, h->pbDst, count)) {
        return MMSYSERR_NOMEM;
    }
    h->cbSrcLengthUsed = DWORD(used * sb);
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
    if (!source_kind(src, &st.kind, &st.src)) return ACMERR_NOTPOSSIBLE;
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
    switch (st->kind) {
        case SourceKind::Pcm:
            return convert(*st, h);
    }
    return ACMERR_NOTPOSSIBLE;
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

MMRESULT acmStreamClose(HACMSTREAM s, DWORD flags) {
    if (flags) return MMSYSERR_INVALFLAG;
    std::lock_guard lock(g_lock);
    return g_streams.erase(reinterpret_cast<uintptr_t>(s)) ? MMSYSERR_NOERROR
                                                           : MMSYSERR_INVALHANDLE;
}

}  // extern "C"
