// Fuzz target for the compression streams from coded sources: the input is a
// wave image whose "fmt " chunk is the source record and whose "data" chunk
// (with the "fact" count when there is one) is converted to 8- or 16-bit PCM,
// as the background open does. The conversion must fill exactly the size it
// promised and write nothing past it, and the sizes must agree both ways.
#include <platform/platform.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kMostOutput = 1u << 24;
constexpr BYTE kCanary = 0x5C;

uint32_t rd32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct Image {
    std::vector<BYTE> format, data;
    DWORD fact = 0;
    bool has_format = false, has_data = false;
};

// The chunks of a wave image, each cut to the input's end.
Image split(const uint8_t* p, size_t n) {
    Image im;
    for (size_t pos = 12; pos + 8 <= n;) {
        const uint64_t size = rd32(p + pos + 4);
        const size_t body = pos + 8, end = size_t(std::min<uint64_t>(n, body + size));
        if (!std::memcmp(p + pos, "fmt ", 4) && !im.has_format) {
            im.format.assign(p + body, p + end);
            im.has_format = true;
        } else if (!std::memcmp(p + pos, "data", 4) && !im.has_data) {
            im.data.assign(p + body, p + end);
            im.has_data = true;
        } else if (!std::memcmp(p + pos, "fact", 4) && end - body >= 4) {
            im.fact = rd32(p + body);
        }
        pos = size_t(std::min<uint64_t>(n, body + size + (size & 1)));
    }
    return im;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
    if (size < 12) return 0;
    Image im = split(input, size);
    if (!im.has_format || !im.has_data) return 0;
    // The record as a loader hands it over: at least the 18-byte head, then what the chunk holds.
    std::vector<BYTE> src = im.format;
    src.resize(std::max<size_t>(src.size(), sizeof(WAVEFORMATEX)), 0);
    const auto* f = reinterpret_cast<const WAVEFORMATEX*>(src.data());
    if (src.size() < sizeof(WAVEFORMATEX) + f->cbSize)
        src.resize(sizeof(WAVEFORMATEX) + f->cbSize, 0);
    f = reinterpret_cast<const WAVEFORMATEX*>(src.data());
    // The RIFF size field's low bits pick the target's width and channel count.
    const int bits = (input[4] & 1) ? 8 : 16;
    const WORD channels =
        (input[4] & 2) ? WORD(3 - std::clamp<int>(f->nChannels, 1, 2)) : f->nChannels;
    WAVEFORMATEX dst{WAVE_FORMAT_PCM, channels, f->nSamplesPerSec, 0, 0, WORD(bits), 0};
    dst.nBlockAlign = WORD(bits / 8 * channels);
    dst.nAvgBytesPerSec = dst.nSamplesPerSec * dst.nBlockAlign;

    HACMSTREAM s = nullptr;
    if (acmStreamOpen(&s, nullptr, f, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) !=
        MMSYSERR_NOERROR)
        return 0;
    if (im.fact) PlatformAcmStreamSetSourceFrames(s, im.fact);
    DWORD promised = 0, need = 0, again = 0;
    if (acmStreamSize(s, DWORD(im.data.size()), &promised, ACM_STREAMSIZEF_SOURCE) ==
            MMSYSERR_NOERROR &&
        promised <= kMostOutput) {
        if (acmStreamSize(s, promised, &need, ACM_STREAMSIZEF_DESTINATION) != MMSYSERR_NOERROR ||
            need > im.data.size() ||
            acmStreamSize(s, need, &again, ACM_STREAMSIZEF_SOURCE) != MMSYSERR_NOERROR ||
            again < promised)
            std::abort();
        std::vector<BYTE> in = im.data, out(size_t(promised) + 16, kCanary);
        in.push_back(0);
        ACMSTREAMHEADER h{};
        h.cbStruct = sizeof h;
        h.pbSrc = in.data();
        h.cbSrcLength = DWORD(im.data.size());
        h.pbDst = out.data();
        h.cbDstLength = promised;
        if (acmStreamPrepareHeader(s, &h, 0) == MMSYSERR_NOERROR) {
            MMRESULT r = acmStreamConvert(s, &h, ACM_STREAMCONVERTF_START);
            if (r == MMSYSERR_NOERROR &&
                (h.cbDstLengthUsed != promised || h.cbSrcLengthUsed > h.cbSrcLength))
                std::abort();
            for (size_t i = promised; i < out.size(); ++i)
                if (out[i] != kCanary) std::abort();
            acmStreamUnprepareHeader(s, &h, 0);
        }
    }
    acmStreamClose(s, 0);
    return 0;
}
