// AVI stream entry points: the handle table (numbers that are never reused,
// so a released or forged handle is not found) and reading samples across
// the stream's data chunks.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

#include "codecs_private.h"

using plat::acm::AviAudio;

namespace {

std::mutex g_lock;
std::unordered_map<uintptr_t, std::shared_ptr<const AviAudio>> g_streams;
uintptr_t g_next_handle = 0x200;
constexpr UINT kWriteModes = OF_WRITE | OF_READWRITE | OF_CREATE;
constexpr uint64_t kMaxLong = 0x7FFFFFFF;

std::shared_ptr<const AviAudio> find(PAVISTREAM s) {
    std::lock_guard lock(g_lock);
    auto it = g_streams.find(reinterpret_cast<uintptr_t>(s));
    return it == g_streams.end() ? nullptr : it->second;
}

// Copies n bytes of the stream's data from position `from`; gives the bytes copied.
uint64_t copy_data(const AviAudio& a, uint64_t from, uint64_t n, BYTE* out) {
    size_t i = size_t(std::upper_bound(a.starts.begin(), a.starts.end(), from) - a.starts.begin());
    uint64_t done = 0;
    for (i = i ? i - 1 : 0; done < n && i < a.pieces.size(); ++i) {
        const uint64_t skip = from + done - a.starts[i];
        if (skip >= a.pieces[i].bytes) continue;
        const uint64_t want = std::min(n - done, a.pieces[i].bytes - skip);
        uint64_t got = 0;
        while (got < want) {
            ssize_t r =
                pread(a.fd, out + done + got, want - got, off_t(a.pieces[i].offset + skip + got));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return done + got;
            got += uint64_t(r);
        }
        done += got;
    }
    return done;
}

struct ReadResult {
    HRESULT hr = AVIERR_OK;
    uint64_t bytes = 0, samples = 0;
};

// Whole samples of a fixed size: as many of `count` as the buffer holds.
ReadResult read_fixed(const AviAudio& a, uint64_t start, uint64_t count, BYTE* buffer,
                      uint64_t size) {
    const uint64_t ss = a.info.dwSampleSize;
    ReadResult r;
    if (!buffer) {
        r.samples = std::min(count, kMaxLong / ss);
        r.bytes = r.samples * ss;
        return r;
    }
    const uint64_t n = std::min(count, size / ss);
    if (n == 0) {
        r.hr = AVIERR_BUFFERTOOSMALL;
        return r;
    }
    const uint64_t got = copy_data(a, start * ss, n * ss, buffer);
    r.samples = got / ss;
    r.bytes = r.samples * ss;
    if (got < n * ss) r.hr = AVIERR_FILEREAD;
    return r;
}

// One sample per chunk: whole chunks, as many of `count` as the buffer holds.
ReadResult read_chunks(const AviAudio& a, uint64_t start, uint64_t count, BYTE* buffer,
                       uint64_t size) {
    ReadResult r;
    for (uint64_t i = start; i < start + count; ++i) {
        const uint64_t b = a.pieces[size_t(i)].bytes;
        if (r.bytes + b > (buffer ? size : kMaxLong)) break;
        if (buffer && copy_data(a, a.starts[size_t(i)], b, buffer + r.bytes) < b) {
            r.hr = AVIERR_FILEREAD;
            return r;
        }
        r.bytes += b;
        ++r.samples;
    }
    if (buffer && !r.samples) r.hr = AVIERR_BUFFERTOOSMALL;
    return r;
}

}  // namespace

extern "C" {

void AVIFileInit(void) {}

void AVIFileExit(void) {}

HRESULT AVIStreamOpenFromFile(PAVISTREAM* out, LPCSTR file, DWORD fccType, LONG lParam, UINT mode,
                              void* handler) {
    if (!out) return AVIERR_BADPARAM;
    *out = nullptr;
    if (!file || lParam < 0) return AVIERR_BADPARAM;
    if (handler || fccType != streamtypeAUDIO) return AVIERR_UNSUPPORTED;
    if (mode & kWriteModes) return AVIERR_READONLY;
    try {
        auto a = std::make_shared<AviAudio>();
        a->fd = open(file, O_RDONLY | O_CLOEXEC);
        if (a->fd < 0) return AVIERR_FILEOPEN;
        HRESULT hr = plat::acm::avi_parse(a->fd, lParam, a.get());
        if (hr != AVIERR_OK) return hr;
        std::lock_guard lock(g_lock);
        uintptr_t id = g_next_handle++;
        g_streams.emplace(id, std::move(a));
        *out = reinterpret_cast<PAVISTREAM>(id);
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY;
    }
    return AVIERR_OK;
}

HRESULT AVIStreamInfo(PAVISTREAM s, LPAVISTREAMINFO info, LONG size) {
    auto a = find(s);
    if (!a) return AVIERR_BADHANDLE;
    if (!info || size < 0) return AVIERR_BADPARAM;
    std::memcpy(info, &a->info, std::min<size_t>(size_t(size), sizeof a->info));
    return AVIERR_OK;
}

HRESULT AVIStreamReadFormat(PAVISTREAM s, LONG, LPVOID format, LONG* size) {
    auto a = find(s);
    if (!a) return AVIERR_BADHANDLE;
    if (!size || *size < 0) return AVIERR_BADPARAM;
    if (!format) {
        *size = LONG(a->format.size());
        return AVIERR_OK;
    }
    const size_t n = std::min<size_t>(size_t(*size), a->format.size());
    std::memcpy(format, a->format.data(), n);
    *size = LONG(n);
    return AVIERR_OK;
}

LONG AVIStreamLength(PAVISTREAM s) {
    auto a = find(s);
    return a ? LONG(a->samples) : -1;
}

HRESULT AVIStreamRead(PAVISTREAM s, LONG start, LONG count, LPVOID buffer, LONG bufferSize,
                      LONG* bytes, LONG* samplesRead) {
    if (bytes) *bytes = 0;
    if (samplesRead) *samplesRead = 0;
    auto a = find(s);
    if (!a) return AVIERR_BADHANDLE;
    if (start < 0 || count < AVISTREAMREAD_CONVENIENT || bufferSize < 0) return AVIERR_BADPARAM;
    const uint64_t first = std::min<uint64_t>(uint64_t(start), a->samples);
    uint64_t n = a->samples - first;
    if (count != AVISTREAMREAD_CONVENIENT) n = std::min<uint64_t>(n, uint64_t(count));
    if (n == 0) return AVIERR_OK;
    auto* out = static_cast<BYTE*>(buffer);
    ReadResult r = a->info.dwSampleSize ? read_fixed(*a, first, n, out, uint64_t(bufferSize))
                                        : read_chunks(*a, first, n, out, uint64_t(bufferSize));
    if (bytes) *bytes = LONG(r.bytes);
    if (samplesRead) *samplesRead = LONG(r.samples);
    return r.hr;
}

ULONG AVIStreamRelease(PAVISTREAM s) {
    std::shared_ptr<const AviAudio> gone;
    std::lock_guard lock(g_lock);
    auto it = g_streams.find(reinterpret_cast<uintptr_t>(s));
    if (it != g_streams.end()) {
        gone = std::move(it->second);
        g_streams.erase(it);
    }
    return 0;
}

}  // extern "C"
