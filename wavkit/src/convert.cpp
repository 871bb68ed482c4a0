// Format conversion of the active document's samples to another PCM format,
// through one compression stream, on the calling (user-interface) thread.
// A failure leaves the document as it was; no undo is recorded.
#include <platform/acm.h>
#include <sonrel/dialogs.h>

#include <cstring>

#include "document.h"
#include "entry.h"

namespace {

const char kCannotConvert[] = "COULD NOT CONVERT";

WAVEFORMATEX source_format(const HeaderBlock& h) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = h.channels;
    f.nSamplesPerSec = h.samplesPerSec;
    f.nAvgBytesPerSec = h.bytesPerSec;
    f.wBitsPerSample = h.bitsPerSample;
    f.nBlockAlign = static_cast<WORD>(h.bitsPerSample * h.channels / 8);
    return f;
}

void show_prepare_error(HWND frame, MMRESULT code) {
    ErrorBox(frame, "ERROR - PREPARING...");
    struct Name {
        MMRESULT code;
        const char* text;
    };
    const Name names[] = {{MMSYSERR_INVALHANDLE, "INVALHANDLE"},
                          {MMSYSERR_INVALPARAM, "INVALPARAM"},
                          {MMSYSERR_INVALFLAG, "INVALFLAG"},
                          {MMSYSERR_NOMEM, "NOMEM"}};
    for (const Name& n : names)
        if (n.code == code) ErrorBox(frame, n.text);
}

// Keeps the busy window open until the end of the scope, if there is one.
struct WaitWindow {
    HWND window = nullptr;
    ~WaitWindow() {
        if (window) DestroyWindow(window);
    }
};

// The conversion of doc's data from src to dst. With wait set the busy
// window shows from the opening of the stream to the end.
BOOL convert(HWND frame, HWND doc, const WAVEFORMATEX& src, const WAVEFORMATEX& dst, bool wait) {
    SetMouseWait(frame);
    struct Cursor {
        ~Cursor() { SetMouseActive(); }
    } cursor;
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, &src, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) !=
        MMSYSERR_NOERROR) {
        ErrorBox(frame, kCannotConvert);
        return 0;
    }
    struct Stream {
        HACMSTREAM s;
        ~Stream() { acmStreamClose(s, 0); }
    } closer{stream};
    WaitWindow busy;
    if (wait) busy.window = ShowWait(frame);

    doc::Work work(doc);
    if (!work.header || !work.wave) return 0;
    DWORD size = 0;
    if (acmStreamSize(stream, work.header->dataSize, &size, ACM_STREAMSIZEF_SOURCE) !=
            MMSYSERR_NOERROR ||
        !doc::data_size_fits(size))
        return 0;
    HGLOBAL made = doc::alloc_block(ULONGLONG{size} + WAVE_SPARE_BYTES, true);
    if (!made) return 0;
    {
        doc::Pin<BYTE> target(made);
        ACMSTREAMHEADER h{};
        h.cbStruct = sizeof h;
        h.pbSrc = work.wave.ptr;
        h.cbSrcLength = work.header->dataSize;
        h.pbDst = target.ptr;
        h.cbDstLength = size;
        MMRESULT prepared = acmStreamPrepareHeader(stream, &h, 0);
        if (prepared != MMSYSERR_NOERROR) {
            target.release();
            doc::free_block(made);
            show_prepare_error(frame, prepared);
            return 0;
        }
        MMRESULT converted = acmStreamConvert(stream, &h, ACM_STREAMCONVERTF_START);
        acmStreamUnprepareHeader(stream, &h, 0);
        if (converted != MMSYSERR_NOERROR) {
            target.release();
            doc::free_block(made);
            ErrorBox(frame, kCannotConvert);
            return 0;
        }
    }
    work.unpin();
    if (!doc::replace(doc, PROP_WAVE, made)) {
        doc::free_block(made);
        return 0;
    }
    work.repin();
    HeaderBlock* h = work.header.ptr;
    h->channels = dst.nChannels;
    h->samplesPerSec = dst.nSamplesPerSec;
    h->bytesPerSec = dst.nAvgBytesPerSec;
    h->blockAlign = dst.nBlockAlign;
    h->bitsPerSample = dst.wBitsPerSample;
    doc::set_data_size(h, size);
    SetFileNotSaved(doc);
    return 1;
}

// The document's format, or false when there is no document or no data.
bool source_of(HWND doc, WAVEFORMATEX* src) {
    if (!doc) return false;
    DocumentLock guard(doc);
    doc::Pin<HeaderBlock> h(doc, PROP_HEADER);
    if (!h || h->dataSize == 0 || !doc::block(doc, PROP_WAVE)) return false;
    *src = source_format(*h);
    return true;
}

}  // namespace

WAVKIT_API BOOL ConvertFile(HWND frame) {
    return entry::guarded(entry::error_box(frame, entry::kNotEnoughMemory, 0), [&]() -> BOOL {
        HWND doc = doc::active_document(frame);
        WAVEFORMATEX src{};
        if (!source_of(doc, &src)) return 0;
        BYTE chosen[18] = {};
        ACMFORMATCHOOSE afc{};
        afc.cbStruct = sizeof afc;
        afc.hwndOwner = frame;
        afc.pwfx = reinterpret_cast<LPWAVEFORMATEX>(chosen);
        afc.cbwfx = sizeof chosen;
        afc.pszTitle = "Format Selection for Converting";
        afc.fdwEnum = ACM_FORMATENUMF_CONVERT;
        afc.pwfxEnum = &src;
        if (acmFormatChoose(&afc) != MMSYSERR_NOERROR) return 0;
        WAVEFORMATEX dst{};
        std::memcpy(&dst, chosen, sizeof chosen);
        return convert(frame, doc, src, dst, false);
    });
}

WAVKIT_API BOOL ConvertFileParam(HWND frame, const WAVEFORMATEX* target) {
    return entry::guarded(entry::error_box(frame, entry::kNotEnoughMemory, 0), [&]() -> BOOL {
        HWND doc = doc::active_document(frame);
        WAVEFORMATEX src{};
        if (!target || !source_of(doc, &src)) return 0;
        return convert(frame, doc, src, *target, true);
    });
}
