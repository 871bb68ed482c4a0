// Buffered RIFF file functions with the platform's rules: a search runs forward
// from the current position to the end of the parent chunk; ascending skips the
// rest of a chunk and its pad byte, and after writing patches the size and
// writes the pad byte. Sizes are 64-bit inside and clamped to the file's end.
#pragma once

#include <platform/window.h>

typedef DWORD FOURCC;
#define mmioFOURCC(a, b, c, d)                                               \
    ((DWORD)(BYTE)(a) | ((DWORD)(BYTE)(b) << 8) | ((DWORD)(BYTE)(c) << 16) | \
     ((DWORD)(BYTE)(d) << 24))
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
};
typedef MMCKINFO* LPMMCKINFO;

struct MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc;
    void* pIOProc;
    UINT wErrorRet;
    void* htask;
    LONG cchBuffer;
    char* pchBuffer;
    char* pchNext;
    char* pchEndRead;
    char* pchEndWrite;
    LONG lBufOffset;
    LONG lDiskOffset;
    DWORD adwInfo[3];
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio;
};

#define MMIO_READ 0x00000000
#define MMIO_WRITE 0x00000001
#define MMIO_READWRITE 0x00000002
#define MMIO_CREATE 0x00001000
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_EXCLUSIVE 0x00000010
#define MMIO_DENYWRITE 0x00000020
#define MMIO_DENYNONE 0x00000040
#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_FINDLIST 0x0040
#define MMIO_CREATERIFF 0x0020
#define MMIO_CREATELIST 0x0040
#define MMIO_DIRTY 0x10000000
#define MMSYSERR_NOERROR 0
#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND (MMIOERR_BASE + 1)
#define MMIOERR_OUTOFMEMORY (MMIOERR_BASE + 2)
#define MMIOERR_CANNOTOPEN (MMIOERR_BASE + 3)
#define MMIOERR_CANNOTCLOSE (MMIOERR_BASE + 4)
#define MMIOERR_CANNOTREAD (MMIOERR_BASE + 5)
#define MMIOERR_CANNOTWRITE (MMIOERR_BASE + 6)
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CANNOTEXPAND (MMIOERR_BASE + 8)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)
#define MMIOERR_INVALIDFILE (MMIOERR_BASE + 16)
#define MMIO_TOUPPER 0x0010
#define SEEK_SET_ 0
#ifndef SEEK_SET
#define SEEK_SET 0
#define SEEK_CUR 1
#define SEEK_END 2
#endif

typedef UINT MMRESULT;

// Opens a regular file: MMIO_READ, MMIO_WRITE or MMIO_READWRITE, with
// MMIO_CREATE to create or truncate it. Null on failure (info->wErrorRet then
// holds MMIOERR_CANNOTOPEN); info may be null. Anything but a regular file (a
// named pipe, a device, a folder) fails at once, without blocking.
PLATFORM_API HMMIO mmioOpen(LPSTR path, MMIOINFO* info, DWORD flags);
// Writes what is buffered and closes; MMIOERR_CANNOTWRITE when any write of
// the handle failed (a full disk included). The handle is gone either way.
PLATFORM_API MMRESULT mmioClose(HMMIO h, UINT flags);
PLATFORM_API LONG mmioRead(HMMIO h, char* buf, LONG n);  // bytes read (0 at the end), -1 on error
PLATFORM_API LONG mmioWrite(HMMIO h, const char* buf, LONG n);  // bytes written, -1 on error
// New position, -1 on error. A read-only handle stops at the file's end.
PLATFORM_API LONG mmioSeek(HMMIO h, LONG offset, int origin);
// Without a FIND flag reads the chunk header at the current position. With
// MMIO_FINDCHUNK / MMIO_FINDRIFF / MMIO_FINDLIST searches forward from the
// current position to the end of parent (or of the file) for ck->ckid (and
// ck->fccType). For "RIFF" and "LIST" chunks the type is read too and
// dwDataOffset is the offset of the type. MMIOERR_CHUNKNOTFOUND when absent.
PLATFORM_API MMRESULT mmioDescend(HMMIO h, MMCKINFO* ck, const MMCKINFO* parent, UINT flags);
// Leaves a chunk: after reading, moves past its data and pad byte (at most to
// the file's end); after mmioCreateChunk, writes its true size when it changed
// and a pad byte when that size is odd.
PLATFORM_API MMRESULT mmioAscend(HMMIO h, MMCKINFO* ck, UINT flags);
// Writes a chunk header at the current position (MMIO_CREATERIFF or
// MMIO_CREATELIST for a "RIFF" or "LIST" chunk with ck->fccType).
PLATFORM_API MMRESULT mmioCreateChunk(HMMIO h, MMCKINFO* ck, UINT flags);
PLATFORM_API MMRESULT mmioFlush(HMMIO h, UINT flags);  // MMIOERR_CANNOTWRITE on failure
// Up to four characters, blank-padded; MMIO_TOUPPER makes them upper case.
PLATFORM_API FOURCC mmioStringToFOURCC(LPCSTR s, UINT flags);
