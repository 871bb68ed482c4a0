// RIFF files for the background open: PCM and compressed wave files, and the
// sound of AVI files. Coded data goes through one compression stream.
#include <platform/acm.h>
#include <platform/avi.h>
#include <sonrel/settings.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "import.h"
#include "wavefile.h"

namespace import {

const char kNotFound[] = "File not found. Please check the pathname.";
const char kCannotDecompress[] = "Sorry. This file cannnot be decompressed.";
const char kNotRiffSound[] = "File is neither a wave file nor an AVI file.";
const char kNoAudioStream[] = "This AVI file holds no sound.";

namespace {

const char kWrongFormat[] = "File is in wrong format.";
const char kNoData[] = "File bad. Data chunk not found.";
const char kReadError[] = "An error occured.";

// Format records longer than this are no sound format this editor reads.
constexpr DWORD kMaxFormatBytes = 1u << 16;
// Largest piece handed to one read (counts are signed 32-bit values).
constexpr ULONGLONG kPiece = 1u << 30;

WAVEFORMATEX format_head(const std::vector<BYTE>& fmt) {
    WAVEFORMATEX f{};
    std::memcpy(&f, fmt.data(), std::min(fmt.size(), sizeof f));
    return f;
}

// PCM that the document holds as it is: 8 or 16 bits, whole frames.
bool plain_pcm(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.wBitsPerSample == 8 || f.wBitsPerSample == 16);
}

// Reads n bytes from the file into out; the bytes read.
ULONGLONG read_all(HMMIO h, BYTE* out, ULONGLONG n) {
    ULONGLONG got = 0;
    while (got < n) {
        LONG want = static_cast<LONG>(std::min(n - got, kPiece));
        LONG r = mmioRead(h, reinterpret_cast<char*>(out + got), want);
        if (r <= 0) break;
        got += static_cast<ULONGLONG>(r);
    }
    return got;
}

// The frame count of a "fact" chunk after the position, or 0; the position
// is put back either way.
DWORD fact_frames(wave::WaveSource& s) {
    LONG from = mmioSeek(s.mmio, 0, SEEK_CUR);
    MMCKINFO fact{};
    fact.ckid = mmioFOURCC('f', 'a', 'c', 't');
    DWORD frames = 0;
    if (mmioDescend(s.mmio, &fact, &s.riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
        fact.cksize >= 4) {
        BYTE b[4];
        if (mmioRead(s.mmio, reinterpret_cast<char*>(b), 4) == 4)
            frames = b[0] | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
    }
    mmioSeek(s.mmio, from, SEEK_SET);
    return frames;
}

// A coded wave file: the whole format record and data chunk, decoded.
const char* load_coded_wave(wave::WaveSource& s, const MMCKINFO& fmtChunk, Loaded* out) {
    if (fmtChunk.cksize > kMaxFormatBytes) return kWrongFormat;
    std::vector<BYTE> fmt(std::max<size_t>(fmtChunk.cksize, sizeof(WAVEFORMATEX)));
    if (read_all(s.mmio, fmt.data(), fmtChunk.cksize) != fmtChunk.cksize) return kWrongFormat;
    MMCKINFO leave = fmtChunk;
    mmioAscend(s.mmio, &leave, 0);
    DWORD frames = fact_frames(s);
    if (const char* m = wave::find_data(s)) return m;
    DWORD bytes = s.header.dataSize;
    std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[std::max<DWORD>(bytes, 1)]);
    if (!data) return wave::kNoMemory;
    ULONGLONG got = read_all(s.mmio, data.get(), bytes);
    return decode(fmt, data.get(), static_cast<DWORD>(got), frames, SettingWord(SET_COMPRESSBITS),
                  out);
}

// A PCM wave file, read as the wave reader reads one.
const char* load_pcm_wave(wave::WaveSource& s, Loaded* out) {
    mmioSeek(s.mmio, static_cast<LONG>(s.riff.dwDataOffset + 4), SEEK_SET);
    if (const char* m = wave::read_format(s)) return m;
    if (const char* m = wave::find_data(s)) return m;
    out->wave = wave::alloc_wave(s.header);
    if (!out->wave) return wave::kNoMemory;
    if (!wave::read_data(s, out->wave)) return "can't ascend.";
    out->header = s.header;
    out->source = SOURCE_PCM_WAVE;
    return nullptr;
}

const char* load_wave(wave::WaveSource& s, Loaded* out) {
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(s.mmio, &fmt, &s.riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || fmt.cksize < 16)
        return kWrongFormat;
    BYTE code[2] = {};
    mmioRead(s.mmio, reinterpret_cast<char*>(code), 2);
    mmioSeek(s.mmio, static_cast<LONG>(fmt.dwDataOffset), SEEK_SET);
    // A short record of another code than PCM (A-law, u-law, float) would give
    // its coded bytes as samples: it is decoded like a long one.
    if (fmt.cksize > 18 || (code[0] | (code[1] << 8)) != WAVE_FORMAT_PCM) {
        const char* m = load_coded_wave(s, fmt, out);
        out->source = SOURCE_COMPRESSED;
        return m;
    }
    return load_pcm_wave(s, out);
}

// Reads every sample of the stream into out (bytes); read errors are shown
// and what could not be read is left as it is.
void read_stream(HWND owner, PAVISTREAM st, LONG samples, WORD blockAlign, BYTE* out,
                 ULONGLONG bytes) {
    LONG perPiece =
        static_cast<LONG>(std::max<ULONGLONG>(kPiece / std::max<WORD>(blockAlign, 1), 1));
    ULONGLONG at = 0;
    bool reported = false;
    for (LONG start = 0; start < samples && at < bytes;) {
        LONG count = std::min(perPiece, samples - start);
        LONG got = 0, read = 0;
        LONG room = static_cast<LONG>(std::min<ULONGLONG>(bytes - at, kPiece));
        HRESULT r = AVIStreamRead(st, start, count, out + at, room, &got, &read);
        if (r != AVIERR_OK && !reported) {
            ErrorBox(owner, kReadError);
            reported = true;
        }
        if (read <= 0) break;
        start += read;
        at += static_cast<ULONGLONG>(got);
    }
}

const char* load_avi_stream(HWND owner, PAVISTREAM st, Loaded* out) {
    LONG size = 0;
    if (AVIStreamReadFormat(st, 0, nullptr, &size) != AVIERR_OK || size < 16 ||
        size > LONG(kMaxFormatBytes))
        return kWrongFormat;
    std::vector<BYTE> fmt(std::max<size_t>(size_t(size), sizeof(WAVEFORMATEX)));
    if (AVIStreamReadFormat(st, 0, fmt.data(), &size) != AVIERR_OK) return kWrongFormat;
    fmt.resize(std::max<size_t>(size_t(size), sizeof(WAVEFORMATEX)));
    const WAVEFORMATEX f = format_head(fmt);
    LONG samples = std::max<LONG>(AVIStreamLength(st), 0);
    LONG tell = 0;
    AVIStreamRead(st, 0, samples, nullptr, 0, &tell, nullptr);
    ULONGLONG bytes = static_cast<ULONGLONG>(std::max<LONG>(tell, 0));
    if (plain_pcm(f)) {
        HeaderBlock h{};
        doc::init_header(&h, f.nChannels, f.nSamplesPerSec, f.nAvgBytesPerSec, f.nBlockAlign,
                         f.wBitsPerSample, 0);
        if (!doc::data_size_fits(bytes)) return wave::kNoMemory;
        doc::set_data_size(&h, static_cast<DWORD>(bytes));
        out->wave = wave::alloc_wave(h);
        doc::Pin<BYTE> data(out->wave);
        if (!data) return wave::kNoMemory;
        std::memset(data.ptr, doc::silence_byte(h.bitsPerSample), std::max<ULONGLONG>(bytes, 1));
        read_stream(owner, st, samples, f.nBlockAlign, data.ptr, bytes);
        out->header = h;
        return nullptr;
    }
    if (!doc::data_size_fits(bytes)) return wave::kNoMemory;
    std::unique_ptr<BYTE[]> coded(new (std::nothrow) BYTE[std::max<ULONGLONG>(bytes, 1)]());
    if (!coded) return wave::kNoMemory;
    read_stream(owner, st, samples, f.nBlockAlign, coded.get(), bytes);
    return decode(fmt, coded.get(), static_cast<DWORD>(bytes), 0, SettingWord(SET_COMPRESSBITS),
                  out);
}

const char* load_avi(HWND owner, const char* path, Loaded* out) {
    PAVISTREAM st = nullptr;
    AVIFileInit();
    HRESULT r = AVIStreamOpenFromFile(&st, path, streamtypeAUDIO, 0, OF_READ | OF_SHARE_DENY_WRITE,
                                      nullptr);
    const char* m = nullptr;
    if (r == AVIERR_FILEOPEN)
        m = kNotFound;
    else if (r != AVIERR_OK || !st)
        m = kNoAudioStream;
    else
        m = load_avi_stream(owner, st, out);
    if (st) AVIStreamRelease(st);
    AVIFileExit();
    out->source = SOURCE_AVI;
    return m;
}

}  // namespace

const char* decode(const std::vector<BYTE>& fmt, const BYTE* data, DWORD bytes, DWORD frames,
                   WORD bits, Loaded* out) {
    if (fmt.size() < sizeof(WAVEFORMATEX)) return kCannotDecompress;
    const WAVEFORMATEX src = format_head(fmt);
    // The record handed on holds exactly its extra bytes, as far as present.
    std::vector<BYTE> record(fmt);
    auto* head = reinterpret_cast<WAVEFORMATEX*>(record.data());
    if (src.wFormatTag == WAVE_FORMAT_PCM) head->cbSize = 0;
    record.resize(sizeof(WAVEFORMATEX) +
                  std::min<size_t>(head->cbSize, fmt.size() - sizeof(WAVEFORMATEX)));
    head = reinterpret_cast<WAVEFORMATEX*>(record.data());
    head->cbSize = static_cast<WORD>(record.size() - sizeof(WAVEFORMATEX));

    WAVEFORMATEX dst{};
    dst.wFormatTag = WAVE_FORMAT_PCM;
    dst.nChannels = src.nChannels;
    dst.nSamplesPerSec = src.nSamplesPerSec;
    dst.wBitsPerSample = bits;
    dst.nBlockAlign = static_cast<WORD>(bits / 8 * src.nChannels);
    dst.nAvgBytesPerSec = dst.nBlockAlign * src.nSamplesPerSec;

    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, head, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) !=
        MMSYSERR_NOERROR)
        return kCannotDecompress;
    if (frames) PlatformAcmStreamSetSourceFrames(stream, frames);
    DWORD size = 0;
    const char* m = nullptr;
    if (acmStreamSize(stream, bytes, &size, ACM_STREAMSIZEF_SOURCE) != MMSYSERR_NOERROR) {
        m = kCannotDecompress;
    } else if (!doc::data_size_fits(size) ||
               !(out->wave = doc::alloc_block(std::max<DWORD>(size, 1), true))) {
        m = wave::kNoMemory;
    } else {
        doc::Pin<BYTE> target(out->wave);
        ACMSTREAMHEADER h{};
        h.cbStruct = sizeof h;
        h.pbSrc = const_cast<BYTE*>(data);
        h.cbSrcLength = bytes;
        h.pbDst = target.ptr;
        h.cbDstLength = size;
        bool ok = target && acmStreamPrepareHeader(stream, &h, 0) == MMSYSERR_NOERROR;
        ok = ok && acmStreamConvert(stream, &h, ACM_STREAMCONVERTF_START) == MMSYSERR_NOERROR;
        if (h.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) acmStreamUnprepareHeader(stream, &h, 0);
        if (!ok) m = kCannotDecompress;
    }
    acmStreamClose(stream, 0);
    if (m) return m;
    doc::init_header(&out->header, dst.nChannels, dst.nSamplesPerSec, dst.nAvgBytesPerSec,
                     dst.nBlockAlign, dst.wBitsPerSample, size);
    return nullptr;
}

Outcome load_riff(HWND owner, const char* path, Loaded* out) {
    wave::WaveSource s;
    switch (wave::open_riff(path, s)) {
        case wave::Start::cannot_open:
            return {"File not found."};
        case wave::Start::too_short:
            return {"File too small."};
        case wave::Start::not_wave:
            if (s.riff.ckid == FOURCC_RIFF && s.riff.fccType == mmioFOURCC('A', 'V', 'I', ' ')) {
                s.close();
                return {load_avi(owner, path, out)};
            }
            return {kNotRiffSound};
        case wave::Start::ok:
            break;
    }
    return {load_wave(s, out)};
}

}  // namespace import
