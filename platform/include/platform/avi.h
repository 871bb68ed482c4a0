// The AVI file reader: one audio stream of an AVI file, read-only, by a reader
// of the layer's own. The stream's header and format come from its "strl"
// list in "hdrl"; its data is the "##wb" chunks of the "movi" lists (## the
// stream's number, two decimal digits), also inside "rec " lists and in the
// "AVIX" extensions of large files. The index chunks are not used. Offsets are
// 64-bit, and every size is cut to its parent chunk and to the file's end.
//
// An audio sample is one block (nBlockAlign bytes) of the stream's format; a
// stream whose header gives no sample size (variable-rate sound) has one
// sample per chunk. The data is taken as it is stored: a compressed stream
// gives compressed bytes, which a compression stream (acm.h) can decode.
#pragma once

#include <platform/mmio.h>
#include <platform/wave.h>

typedef LONG HRESULT;
DECLARE_PLATFORM_HANDLE(PAVISTREAM);

#define streamtypeAUDIO mmioFOURCC('a', 'u', 'd', 's')
#define streamtypeVIDEO mmioFOURCC('v', 'i', 'd', 's')

#define OF_READ 0x0000
#define OF_WRITE 0x0001
#define OF_READWRITE 0x0002
#define OF_SHARE_DENY_WRITE 0x0020
#define OF_CREATE 0x1000

#define AVISTREAMREAD_CONVENIENT (-1L)

#define AVIERR_OK 0
#define MAKE_AVIERR(error) ((HRESULT)(0x80040000u | (0x4000u + (error))))
#define AVIERR_UNSUPPORTED MAKE_AVIERR(101)
#define AVIERR_BADFORMAT MAKE_AVIERR(102)
#define AVIERR_MEMORY MAKE_AVIERR(103)
#define AVIERR_BADPARAM MAKE_AVIERR(106)
#define AVIERR_BADHANDLE MAKE_AVIERR(108)
#define AVIERR_FILEREAD MAKE_AVIERR(109)
#define AVIERR_FILEOPEN MAKE_AVIERR(111)
#define AVIERR_READONLY MAKE_AVIERR(114)
#define AVIERR_NODATA MAKE_AVIERR(115)
#define AVIERR_BUFFERTOOSMALL MAKE_AVIERR(116)

struct AVISTREAMINFO {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;  // dwRate / dwScale samples per second
    DWORD dwStart;
    DWORD dwLength;  // samples the data holds (not the header's claim)
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;  // bytes of one sample; 0: one sample per chunk
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    CHAR szName[64];  // the stream's "strn" name, or empty
};
typedef AVISTREAMINFO* LPAVISTREAMINFO;

// Kept so that callers read as on the platform; the reader needs no set-up.
PLATFORM_API void AVIFileInit(void);
PLATFORM_API void AVIFileExit(void);

// Opens audio stream number lParam (0: the first) of file for reading.
// fccType must be streamtypeAUDIO and handler null; mode OF_READ (with
// OF_SHARE_DENY_WRITE or not). AVIERR_FILEOPEN when the file cannot be opened,
// AVIERR_BADFORMAT when it is no AVI file or the stream's header or format is
// missing or too short, AVIERR_NODATA when there is no such stream,
// AVIERR_READONLY for a write mode. *out is null on failure.
PLATFORM_API HRESULT AVIStreamOpenFromFile(PAVISTREAM* out, LPCSTR file, DWORD fccType, LONG lParam,
                                           UINT mode, void* handler);
// Copies the stream's information (the first size bytes of the record).
PLATFORM_API HRESULT AVIStreamInfo(PAVISTREAM s, LPAVISTREAMINFO info, LONG size);
// Copies up to *size bytes of the stream's format (the "strf" chunk, a wave
// format record) to format and sets *size to the bytes copied; with a null
// format, *size receives the format's whole size. pos is not used.
PLATFORM_API HRESULT AVIStreamReadFormat(PAVISTREAM s, LONG pos, LPVOID format, LONG* size);
// The samples the stream holds; -1 for a bad handle.
PLATFORM_API LONG AVIStreamLength(PAVISTREAM s);
// Reads samples from start on: count of them, or AVISTREAMREAD_CONVENIENT for
// as many as fit, always whole samples and never past the end. With a null
// buffer only tells (in *bytes and *samplesRead, both optional) what the read
// would give. AVIERR_BUFFERTOOSMALL when not even one sample fits;
// AVIERR_FILEREAD when the file ends early (the whole samples read are
// counted); a start at or past the end reads nothing.
PLATFORM_API HRESULT AVIStreamRead(PAVISTREAM s, LONG start, LONG count, LPVOID buffer,
                                   LONG bufferSize, LONG* bytes, LONG* samplesRead);
// Closes the stream; gives the references left (0).
PLATFORM_API ULONG AVIStreamRelease(PAVISTREAM s);
