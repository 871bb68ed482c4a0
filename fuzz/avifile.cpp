// Fuzz target for the AVI reader: every input is opened as a file, its first
// and second audio streams are described and read whole in pieces, and what
// the reads report must agree with the stream's length, sample size and the
// buffers given. A coded stream's start also goes through a compression stream.
#include <platform/platform.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr LONG kPieceBytes = 4096;
constexpr LONG kMostSamples = 1 << 20;

std::string g_path;

void remove_input() {
    if (!g_path.empty()) unlink(g_path.c_str());
}

const std::string& input_path() {
    if (g_path.empty()) {
        char tmpl[] = "/tmp/sonrel-fuzz-avi-XXXXXX";
        int fd = mkstemp(tmpl);
        if (fd >= 0) {
            close(fd);
            g_path = tmpl;
            std::atexit(remove_input);
        }
    }
    return g_path;
}

// Decodes the first bytes of a stream whose format a compression stream takes.
void convert_start(const std::vector<BYTE>& format, const std::vector<BYTE>& data) {
    std::vector<BYTE> src(format);
    src.resize(std::max<size_t>(src.size(), sizeof(WAVEFORMATEX)) + 64, 0);
    const auto* f = reinterpret_cast<const WAVEFORMATEX*>(src.data());
    WAVEFORMATEX dst{WAVE_FORMAT_PCM, f->nChannels, f->nSamplesPerSec, 0, 0, 16, 0};
    dst.nBlockAlign = WORD(2 * dst.nChannels);
    HACMSTREAM s = nullptr;
    if (acmStreamOpen(&s, nullptr, f, &dst, nullptr, 0, 0, 0) != MMSYSERR_NOERROR) return;
    DWORD size = 0;
    if (acmStreamSize(s, DWORD(data.size()), &size, 0) == MMSYSERR_NOERROR && size <= (1u << 24)) {
        std::vector<BYTE> in(data), out(size_t(size) + 1);
        in.push_back(0);
        ACMSTREAMHEADER h{};
        h.cbStruct = sizeof h;
        h.pbSrc = in.data();
        h.cbSrcLength = DWORD(data.size());
        h.pbDst = out.data();
        h.cbDstLength = size;
        if (acmStreamPrepareHeader(s, &h, 0) == MMSYSERR_NOERROR) {
            if (acmStreamConvert(s, &h, 0) == MMSYSERR_NOERROR && h.cbDstLengthUsed != size)
                std::abort();
            acmStreamUnprepareHeader(s, &h, 0);
        }
    }
    acmStreamClose(s, 0);
}

void read_stream(const std::string& path, LONG which) {
    PAVISTREAM s = nullptr;
    if (AVIStreamOpenFromFile(&s, path.c_str(), streamtypeAUDIO, which, OF_READ, nullptr) !=
        AVIERR_OK)
        return;
    AVISTREAMINFO info{};
    if (AVIStreamInfo(s, &info, sizeof info) != AVIERR_OK) std::abort();
    LONG format_size = 0;
    AVIStreamReadFormat(s, 0, nullptr, &format_size);
    std::vector<BYTE> format(static_cast<size_t>(format_size));
    LONG got = format_size;
    if (AVIStreamReadFormat(s, 0, format.data(), &got) != AVIERR_OK || got != format_size)
        std::abort();
    const LONG length = AVIStreamLength(s);
    if (length < 0 || DWORD(length) != info.dwLength) std::abort();

    std::vector<BYTE> data, piece(kPieceBytes + 1);
    for (LONG at = 0; at < std::min(length, kMostSamples);) {
        LONG bytes = -1, samples = -1, want_bytes = -1, want_samples = -1;
        AVIStreamRead(s, at, AVISTREAMREAD_CONVENIENT, nullptr, 0, &want_bytes, &want_samples);
        piece[kPieceBytes] = 0xA5;
        HRESULT hr = AVIStreamRead(s, at, AVISTREAMREAD_CONVENIENT, piece.data(), kPieceBytes,
                                   &bytes, &samples);
        if (piece[kPieceBytes] != 0xA5 || bytes < 0 || bytes > kPieceBytes || samples < 0)
            std::abort();
        if (info.dwSampleSize && int64_t(samples) * info.dwSampleSize != int64_t(bytes))
            std::abort();
        if (samples > want_samples || bytes > want_bytes) std::abort();
        if (hr != AVIERR_OK || samples == 0) break;
        data.insert(data.end(), piece.begin(), piece.begin() + bytes);
        at += samples;
    }
    if (data.size() > (1u << 16)) data.resize(1u << 16);
    convert_start(format, data);
    if (AVIStreamRelease(s) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = input_path();
    if (path.empty()) return 0;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    AVIFileInit();
    read_stream(path, 0);
    read_stream(path, 1);
    AVIFileExit();
    return 0;
}
