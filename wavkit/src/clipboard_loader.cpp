// The clipboard loader: reads "SnrCLIP.WAV" into a clip and, when its format
// is not the document's, converts it through a compression stream.
//
// The reading steps are those of the wave file reader; a data chunk that
// claims more than the file holds gives silence for the rest, and a size whose
// file length would not fit 32 bits is refused.
#include <kernels/clipboard_kernels.h>
#include <sonrel/messages.h>

#include <cstring>

#include "clipboard.h"
#include "entry.h"
#include "wavefile.h"

namespace clip {

namespace {

// Shows a reading failure (no owner) and gives false.
bool refuse(const char* message) {
    ErrorBox(nullptr, message);
    return false;
}

// Reads the file into out with the file's own format.
bool read_clip(HWND doc, Clip& out) {
    wave::WaveSource s;
    std::string path = clipboard_path();
    switch (wave::open_riff(path.c_str(), s)) {
        case wave::Start::cannot_open:
            return false;
        case wave::Start::too_short:
            return refuse("File too small.");
        case wave::Start::not_wave:
            return refuse(wave::kNotWave);
        case wave::Start::ok:
            break;
    }
    if (const char* message = wave::read_format(s)) return refuse(message);
    if (const char* message = wave::find_data(s)) return refuse(message);
    if (!doc::data_size_fits(s.header.dataSize)) {
        entry::not_enough_memory(doc);
        return false;
    }
    out.data = doc::alloc_block(uint64_t{s.header.dataSize} + WAVE_SPARE_BYTES, true);
    out.header = doc::alloc_block(sizeof(HeaderBlock), false);
    bool made = false;
    if (out.data) {
        doc::Pin<HeaderBlock> header(out.header);
        if (header) *header = s.header;
        made = static_cast<bool>(header);
    }
    if (!made) {
        out.reset();
        entry::not_enough_memory(doc);
        return false;
    }
    if (!wave::read_data(s, out.data)) {
        out.reset();
        return refuse("can't ascend.");
    }
    return true;
}

WAVEFORMATEX pcm_format(const HeaderBlock& h) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = h.channels;
    f.nSamplesPerSec = h.samplesPerSec;
    f.nAvgBytesPerSec = h.bytesPerSec;
    f.nBlockAlign = static_cast<WORD>(h.bitsPerSample * h.channels / 8);
    f.wBitsPerSample = h.bitsPerSample;
    return f;
}

void show_prepare_error(HWND doc, MMRESULT code) {
    ErrorBox(doc, "ERROR - PREPARING...");
    switch (code) {
        case MMSYSERR_INVALHANDLE:
            ErrorBox(doc, "INVALHANDLE");
            break;
        case MMSYSERR_INVALPARAM:
            ErrorBox(doc, "INVALPARAM");
            break;
        case MMSYSERR_INVALFLAG:
            ErrorBox(doc, "INVALFLAG");
            break;
        case MMSYSERR_NOMEM:
            ErrorBox(doc, "NOMEM");
            break;
        default:
            break;
    }
}

// Runs one conversion of the clip's data into a new block of `size` bytes
// (plus the spare bytes) in the stream's target format.
bool convert_data(HWND doc, HACMSTREAM stream, Clip& in, DWORD clipBytes, DWORD size,
                  HGLOBAL* made) {
    *made = doc::alloc_block(uint64_t{size} + WAVE_SPARE_BYTES, true);
    doc::Pin<BYTE> dst(*made);
    doc::Pin<BYTE> src(in.data);
    if (!dst || !src) return false;
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = src.ptr;
    h.cbSrcLength = clipBytes;
    h.pbDst = dst.ptr;
    h.cbDstLength = size;
    MMRESULT prepared = acmStreamPrepareHeader(stream, &h, 0);
    if (prepared != MMSYSERR_NOERROR) {
        show_prepare_error(doc, prepared);
        return false;
    }
    MMRESULT converted = acmStreamConvert(stream, &h, ACM_STREAMCONVERTF_START);
    acmStreamUnprepareHeader(stream, &h, 0);
    if (converted != MMSYSERR_NOERROR) {
        ErrorBox(doc, "COULD NOT CONVERT");
        return false;
    }
    return true;
}

// Replaces the clip by its conversion to the document's format `to`.
bool convert_clip(HWND doc, const HeaderBlock& to, Clip& c) {
    HeaderBlock from{};
    {
        doc::Pin<HeaderBlock> h(c.header);
        if (!h) return false;
        from = *h;
    }
    WAVEFORMATEX src = pcm_format(from), dst = pcm_format(to);
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, &src, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) !=
        MMSYSERR_NOERROR) {
        ErrorBox(doc, "COULD NOT CONVERT");
        return false;
    }
    DWORD size = 0;
    HGLOBAL made = nullptr;
    bool ok =
        acmStreamSize(stream, from.dataSize, &size, ACM_STREAMSIZEF_SOURCE) == MMSYSERR_NOERROR &&
        doc::data_size_fits(size) && convert_data(doc, stream, c, from.dataSize, size, &made);
    acmStreamClose(stream, 0);
    if (!ok) {
        doc::free_block(made);
        return false;
    }
    doc::free_block(c.data);
    c.data = made;
    doc::Pin<HeaderBlock> h(c.header);
    *h = to;
    doc::set_data_size(h.ptr, size);
    return true;
}

bool same_format(const HeaderBlock& a, const HeaderBlock& b) {
    return a.bitsPerSample == b.bitsPerSample && a.samplesPerSec == b.samplesPerSec &&
           a.channels == b.channels;
}

// Holds the clip's data size to whole frames of its format.
void trim_to_frames(Clip& c) {
    doc::Pin<HeaderBlock> h(c.header);
    if (!h) return;
    unsigned frame = h->channels * h->bitsPerSample / 8u;
    doc::set_data_size(h.ptr, clipk::whole_frames(h->dataSize, frame));
}

bool load_clip(HWND doc, bool anyFormat, Clip& out) {
    if (!read_clip(doc, out)) return false;
    if (!anyFormat) {
        HeaderBlock to{};
        {
            DocumentLock guard(doc);
            doc::Pin<HeaderBlock> h(doc, PROP_HEADER);
            if (h) to = *h;
        }
        HeaderBlock from{};
        {
            doc::Pin<HeaderBlock> h(out.header);
            from = *h;
        }
        if (!same_format(from, to)) {
            if (!convert_clip(doc, to, out)) {
                out.reset();
                return false;
            }
            repaint_select_bar(frame_of(doc));
        }
    }
    trim_to_frames(out);
    return true;
}

}  // namespace

bool load(HWND doc, bool anyFormat, Clip& out) {
    out.reset();
    return entry::guarded(
        [&] {
            out.reset();
            return false;
        },
        [&] { return load_clip(doc, anyFormat, out); });
}

Clip::~Clip() {
    reset();
}

void Clip::reset() {
    doc::free_block(header);
    doc::free_block(data);
    header = data = nullptr;
}

}  // namespace clip
