// Playback of a document on a wave output: the output opened for the
// document's format, one header over the played range of the document's
// sample memory (nothing is copied), and closing.
#include <algorithm>

#include "document.h"
#include "entry.h"

namespace {

void show_device_error(HWND doc, MMRESULT err) {
    char text[256] = {};
    waveOutGetErrorText(err, text, 255);
    ErrorBox(doc, text);
}

// The bytes of the WAVE block to play: the mark when there is one, else the
// whole data; held within the block so the device never reads past it.
void played_range(const HeaderBlock& h, const PositionBlock& p, ULONGLONG blockBytes,
                  ULONGLONG* start, ULONGLONG* length) {
    ULONGLONG s = p.markLength ? p.markStart : 0;
    ULONGLONG n = p.markLength ? p.markLength : h.dataSize;
    s = std::min<ULONGLONG>(s, blockBytes);
    *start = s;
    *length = std::min<ULONGLONG>(n, blockBytes - s);
}

}  // namespace

WAVKIT_API HWAVEOUT OpenOutput(UINT device, HWND doc) {
    return entry::guarded(nullptr, [&]() -> HWAVEOUT {
        WAVEFORMATEX format{};
        {
            DocumentLock guard(doc);
            doc::Pin<HeaderBlock> h(doc, PROP_HEADER);
            if (!h) return nullptr;
            format.wFormatTag = WAVE_FORMAT_PCM;
            format.nChannels = h->channels;
            format.nSamplesPerSec = h->samplesPerSec;
            format.nAvgBytesPerSec = h->bytesPerSec;
            format.nBlockAlign = h->blockAlign;
            format.wBitsPerSample = h->bitsPerSample;
            format.cbSize = 0;
        }
        HWAVEOUT out = nullptr;
        MMRESULT err = waveOutOpen(&out, device, &format, reinterpret_cast<DWORD_PTR>(doc), 0,
                                   CALLBACK_WINDOW | WAVE_ALLOWSYNC);
        if (err != MMSYSERR_NOERROR) {
            show_device_error(doc, err);
            return nullptr;
        }
        return out;
    });
}

WAVKIT_API LPWAVEHDR PlayWAV(HWAVEOUT out, HWND doc, BOOL loop) {
    return entry::guarded(nullptr, [&]() -> LPWAVEHDR {
        HGLOBAL record = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, sizeof(WAVEHDR));
        auto* hdr = static_cast<WAVEHDR*>(GlobalLock(record));
        if (!hdr) {
            GlobalFree(record);
            return nullptr;
        }
        // The record knows its own block, so CloseOutput can release it.
        hdr->dwUser = reinterpret_cast<DWORD_PTR>(record);
        MMRESULT err = MMSYSERR_INVALPARAM;
        {
            DocumentLock guard(doc);
            doc::Pin<unsigned char> wave(doc, PROP_WAVE);
            doc::Pin<HeaderBlock> h(doc, PROP_HEADER);
            doc::Pin<PositionBlock> p(doc, PROP_POSITION);
            if (wave && h && p) {
                ULONGLONG start = 0, length = 0;
                played_range(*h, *p, GlobalSize(wave.handle), &start, &length);
                hdr->lpData = reinterpret_cast<LPSTR>(wave.ptr + start);
                hdr->dwBufferLength = static_cast<DWORD>(length);
                hdr->dwFlags = loop ? WHDR_BEGINLOOP | WHDR_ENDLOOP : 0;
                hdr->dwLoops = loop ? 4000000000u : 0;
                // Prepared while the block is pinned: from here on the device
                // holds its memory even if an operation moves or frees it.
                err = waveOutPrepareHeader(out, hdr, sizeof(WAVEHDR));
                if (err == MMSYSERR_NOERROR) err = waveOutWrite(out, hdr, sizeof(WAVEHDR));
            }
        }
        if (err != MMSYSERR_NOERROR) {
            waveOutUnprepareHeader(out, hdr, sizeof(WAVEHDR));
            GlobalUnlock(record);
            GlobalFree(record);
            show_device_error(doc, err);
            return nullptr;
        }
        return hdr;
    });
}

WAVKIT_API BOOL CloseOutput(HWAVEOUT out, LPWAVEHDR hdr) {
    entry::guarded([&] {
        waveOutReset(out);
        if (hdr) waveOutUnprepareHeader(out, hdr, sizeof(WAVEHDR));
        waveOutClose(out);
        if (hdr) {
            auto record = reinterpret_cast<HGLOBAL>(hdr->dwUser);
            GlobalUnlock(record);
            GlobalFree(record);
        }
    });
    return 1;
}
