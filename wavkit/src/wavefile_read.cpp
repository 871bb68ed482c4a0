// The steps of reading a RIFF wave file, shared by the open and the reload.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "wavefile.h"

namespace wave {

const char kCannotOpen[] = "File not found or something else.";
const char kNotWave[] = "File is not a wave file.";
const char kNoMemory[] = "NOT ENOUGH MEMORY";

namespace {

const char kWrongFormat[] = "File is in wrong format.";
const char kTruncated[] = "File truncated.";
const char kNot8or16[] = "File is neither 8 nor 16 bit.";
const char kNoData[] = "File bad. Data chunk not found.";

WORD le16(const unsigned char* p) {
    return WORD(p[0] | (p[1] << 8));
}
DWORD le32(const unsigned char* p) {
    return p[0] | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

// Largest piece handed to one mmioRead (its count is a signed 32-bit value).
constexpr ULONGLONG kReadPiece = 1u << 30;

}  // namespace

bool refuse_long_path(HWND owner, const char* path) {
    if (!path || std::strlen(path) < INFO_PATH_CHARS) return false;
    ErrorBox(owner, (std::string(PATH_TOO_LONG_TEXT "\n") + path).c_str());
    return true;
}

void WaveSource::close() {
    if (mmio) mmioClose(mmio, 0);
    mmio = nullptr;
}

Start open_riff(const char* path, WaveSource& s) {
    s.mmio = path ? mmioOpen(const_cast<LPSTR>(path), nullptr, MMIO_READ | MMIO_ALLOCBUF) : nullptr;
    if (!s.mmio) return Start::cannot_open;
    struct stat st {};
    s.fileBytes = stat(path, &st) == 0 ? static_cast<ULONGLONG>(st.st_size) : 0;
    if (mmioDescend(s.mmio, &s.riff, nullptr, 0) != MMSYSERR_NOERROR) return Start::too_short;
    if (s.riff.ckid != FOURCC_RIFF || s.riff.fccType != mmioFOURCC('W', 'A', 'V', 'E'))
        return Start::not_wave;
    return Start::ok;
}

const char* read_format(WaveSource& s) {
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(s.mmio, &fmt, &s.riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || fmt.cksize < 16)
        return kWrongFormat;
    unsigned char b[16];
    if (mmioRead(s.mmio, reinterpret_cast<char*>(b), 16) != 16) return kTruncated;
    WORD bits = le16(b + 14);
    if (bits != 8 && bits != 16) return kNot8or16;
    if (mmioAscend(s.mmio, &fmt, 0) != MMSYSERR_NOERROR) return kTruncated;
    // The format code (b + 0) is not looked at: every 8- or 16-bit file is PCM.
    doc::init_header(&s.header, le16(b + 2), le32(b + 4), le32(b + 8), le16(b + 12), bits, 0);
    return nullptr;
}

const char* find_data(WaveSource& s) {
    s.data = MMCKINFO{};
    s.data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(s.mmio, &s.data, &s.riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) return kNoData;
    // A size field larger than the rest of the file would have the whole claim
    // allocated and filled (gigabytes for a file of a few bytes).
    ULONGLONG held = s.fileBytes > s.data.dwDataOffset ? s.fileBytes - s.data.dwDataOffset : 0;
    doc::set_data_size(&s.header, static_cast<DWORD>(std::min<ULONGLONG>(s.data.cksize, held)));
    return nullptr;
}

HGLOBAL alloc_wave(const HeaderBlock& header) {
    // The file length (data size + 44) and the spare bytes must fit 32 bits.
    if (!doc::data_size_fits(header.dataSize)) return nullptr;
    return doc::alloc_block(std::max<ULONGLONG>(header.dataSize, 1), false);
}

bool read_data(WaveSource& s, HGLOBAL wave) {
    doc::Pin<BYTE> out(wave);
    if (!out) return false;
    ULONGLONG size = s.header.dataSize, got = 0;
    while (got < size) {
        LONG want = static_cast<LONG>(std::min(size - got, kReadPiece));
        LONG n = mmioRead(s.mmio, reinterpret_cast<char*>(out.ptr + got), want);
        if (n <= 0) break;
        got += static_cast<ULONGLONG>(n);
    }
    // A read that fails partway (the file cut meanwhile, an I/O error): the rest
    // is silence, never what the block held before.
    if (got < size)
        std::memset(out.ptr + got, doc::silence_byte(s.header.bitsPerSample), size - got);
    return mmioAscend(s.mmio, &s.data, 0) == MMSYSERR_NOERROR;
}

namespace {

struct InfoText {
    FOURCC id;
    size_t offset;
};

// The information sub-chunks in the order they are looked for.
const InfoText kInfoTexts[] = {
    {mmioFOURCC('I', 'C', 'M', 'T'), offsetof(FileInfoBlock, comment)},
    {mmioFOURCC('I', 'C', 'O', 'P'), offsetof(FileInfoBlock, copyright)},
    {mmioFOURCC('I', 'S', 'B', 'J'), offsetof(FileInfoBlock, subject)},
    {mmioFOURCC('I', 'N', 'A', 'M'), offsetof(FileInfoBlock, name)},
    {mmioFOURCC('I', 'A', 'R', 'T'), offsetof(FileInfoBlock, artist)},
    {mmioFOURCC('I', 'S', 'F', 'T'), offsetof(FileInfoBlock, software)},
    {mmioFOURCC('I', 'M', 'E', 'D'), offsetof(FileInfoBlock, medium)},
    {mmioFOURCC('I', 'K', 'E', 'Y'), offsetof(FileInfoBlock, keywords)},
};

// Looks for one sub-chunk forward from the position to the end of the RIFF
// chunk and reads it when it is shorter than its field. A search that finds
// nothing puts the position back, so the later ones can still find theirs.
void read_info_text(WaveSource& s, const InfoText& t, FileInfoBlock* fi) {
    LONG from = mmioSeek(s.mmio, 0, SEEK_CUR);
    MMCKINFO sub{};
    sub.ckid = t.id;
    if (mmioDescend(s.mmio, &sub, &s.riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
        if (from >= 0) mmioSeek(s.mmio, from, SEEK_SET);
        return;
    }
    if (sub.cksize < FILEINFO_TEXT_CHARS)
        mmioRead(s.mmio, reinterpret_cast<char*>(fi) + t.offset, static_cast<LONG>(sub.cksize));
    mmioAscend(s.mmio, &sub, 0);
}

}  // namespace

HGLOBAL read_file_info(WaveSource& s) {
    HGLOBAL h = doc::alloc_block(sizeof(FileInfoBlock), true);
    doc::Pin<FileInfoBlock> fi(h);
    if (!fi) {
        doc::free_block(h);
        return nullptr;
    }
    MMCKINFO list{};
    list.ckid = FOURCC_LIST;
    if (mmioDescend(s.mmio, &list, &s.riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) {
        fi->listFlag = 1;
        for (const InfoText& t : kInfoTexts) read_info_text(s, t, fi.ptr);
    }
    return h;
}

}  // namespace wave
