// RIFF chunk navigation: descend (with the chunk searches), ascend, create.
//
// A search runs forward from the current position to the end of the parent
// chunk, never past the file's end; chunk sizes are added in 64 bits so a
// size near 4 GB cannot wrap around to an earlier offset.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "files_private.h"

namespace {

using plat::mmio::File;

bool is_list_id(FOURCC id) {
    return id == FOURCC_RIFF || id == FOURCC_LIST;
}

bool read_dword(File* f, DWORD* out) {
    unsigned char b[4];
    if (plat::mmio::read_at_pos(f, reinterpret_cast<char*>(b), 4) != 4) return false;
    *out = b[0] | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
    return true;
}

bool write_dword(File* f, DWORD v) {
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char((v >> 24) & 0xFF)};
    return plat::mmio::write_at_pos(f, b, 4);
}

// Reads the chunk header (and list type) at the position into ck; the position
// then stands at the chunk's data (after the type). False when it does not fit
// before end.
bool read_header(File* f, int64_t end, MMCKINFO* ck) {
    int64_t start = f->pos;
    if (start + 8 > end) return false;
    if (!read_dword(f, &ck->ckid) || !read_dword(f, &ck->cksize)) return false;
    ck->dwDataOffset = static_cast<DWORD>(start + 8);
    ck->dwFlags = 0;
    if (is_list_id(ck->ckid)) {
        if (start + 12 > end || !read_dword(f, &ck->fccType)) return false;
    }
    return true;
}

bool matches(const MMCKINFO& found, FOURCC id, FOURCC type, UINT flags) {
    if (flags & MMIO_FINDRIFF) return found.ckid == FOURCC_RIFF && found.fccType == type;
    if (flags & MMIO_FINDLIST) return found.ckid == FOURCC_LIST && found.fccType == type;
    return found.ckid == id;
}

}  // namespace

PLATFORM_API MMRESULT mmioDescend(HMMIO h, MMCKINFO* ck, const MMCKINFO* parent, UINT flags) {
    File* f = plat::mmio::file_of(h);
    if (!f || !ck) return MMIOERR_CANNOTREAD;
    int64_t end = f->size;
    if (parent) end = std::min<int64_t>(end, int64_t(parent->dwDataOffset) + parent->cksize);
    const bool search = flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST);
    if (!search) return read_header(f, f->size, ck) ? MMSYSERR_NOERROR : MMIOERR_CHUNKNOTFOUND;
    const FOURCC id = ck->ckid, type = ck->fccType;
    for (;;) {
        MMCKINFO found{};
        if (!read_header(f, end, &found)) return MMIOERR_CHUNKNOTFOUND;
        if (matches(found, id, type, flags)) {
            *ck = found;
            return MMSYSERR_NOERROR;
        }
        int64_t next = int64_t(found.dwDataOffset) + found.cksize + (found.cksize & 1);
        if (next >= end) {
            plat::mmio::seek_to(f, end);
            return MMIOERR_CHUNKNOTFOUND;
        }
        plat::mmio::seek_to(f, next);
    }
}

PLATFORM_API MMRESULT mmioAscend(HMMIO h, MMCKINFO* ck, UINT) {
    File* f = plat::mmio::file_of(h);
    if (!f || !ck) return MMIOERR_CANNOTSEEK;
    const int64_t data = ck->dwDataOffset;
    if ((ck->dwFlags & MMIO_DIRTY) && f->writable) {
        int64_t written = f->pos - data;
        if (written < 0 || written > 0xFFFFFFFFll) return MMIOERR_CANNOTWRITE;
        int64_t back = f->pos;
        if (DWORD(written) != ck->cksize) {
            if (!plat::mmio::seek_to(f, data - 4) || !write_dword(f, DWORD(written)))
                return MMIOERR_CANNOTWRITE;
            ck->cksize = DWORD(written);
        }
        plat::mmio::seek_to(f, back);
        if (written & 1) {
            const char pad = 0;
            if (!plat::mmio::write_at_pos(f, &pad, 1)) return MMIOERR_CANNOTWRITE;
        }
        ck->dwFlags &= ~MMIO_DIRTY;
        return MMSYSERR_NOERROR;
    }
    int64_t next = data + ck->cksize + (ck->cksize & 1);
    return plat::mmio::seek_to(f, next) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}

PLATFORM_API MMRESULT mmioCreateChunk(HMMIO h, MMCKINFO* ck, UINT flags) {
    File* f = plat::mmio::file_of(h);
    if (!f || !ck) return MMIOERR_CANNOTWRITE;
    if (flags & MMIO_CREATERIFF) ck->ckid = FOURCC_RIFF;
    if (flags & MMIO_CREATELIST) ck->ckid = FOURCC_LIST;
    if (f->pos + 8 > 0xFFFFFFFFll) return MMIOERR_CANNOTWRITE;
    if (!write_dword(f, ck->ckid) || !write_dword(f, ck->cksize)) return MMIOERR_CANNOTWRITE;
    ck->dwDataOffset = static_cast<DWORD>(f->pos);
    if (is_list_id(ck->ckid) && !write_dword(f, ck->fccType)) return MMIOERR_CANNOTWRITE;
    ck->dwFlags = MMIO_DIRTY;
    return MMSYSERR_NOERROR;
}

PLATFORM_API FOURCC mmioStringToFOURCC(LPCSTR s, UINT flags) {
    char c[4] = {' ', ' ', ' ', ' '};
    for (int i = 0; s && i < 4 && s[i]; ++i) {
        c[i] = (flags & MMIO_TOUPPER) ? char(std::toupper(static_cast<unsigned char>(s[i]))) : s[i];
    }
    return mmioFOURCC(c[0], c[1], c[2], c[3]);
}
