// Audio compression streams: conversion of a whole sound in one call from a
// source format to a PCM target. PCM to PCM changes channels (mono <-> stereo),
// width (8-bit unsigned <-> 16-bit signed) and rate (libsoxr, high quality,
// in chunks). acmStreamSize gives the exact size acmStreamConvert then fills;
// a shortfall is padded with silence.
//
// Coded sources, mono or stereo, are decoded by libsndfile from memory and
// then converted as 16-bit PCM: IMA ADPCM (0x11), MS ADPCM (2), GSM 6.10
// (0x31), A-law (6), u-law (7), IEEE float (3, 32 or 64 bits), PCM of 24 or 32
// bits (1), and WAVE_FORMAT_EXTENSIBLE (0xFFFE) of PCM, float, A-law or u-law.
// The source record is a WAVEFORMATEX followed by its cbSize extra bytes (the
// format chunk of the wave file). Integer samples are rounded to 16 bits;
// float samples are scaled by 32768, clipped and rounded. Block codecs count
// whole blocks (a partial block at the end of the data is ignored) and decode
// every frame of the last block, padding included, unless the caller passes
// the frame count of the file's "fact" chunk with
// PlatformAcmStreamSetSourceFrames. The header's block align must match its
// samples per block; a record the decoder could be misled by is refused.
#pragma once

#include <platform/wave.h>

DECLARE_PLATFORM_HANDLE(HACMSTREAM);
typedef HACMSTREAM* LPHACMSTREAM;
DECLARE_PLATFORM_HANDLE(HACMDRIVER);

#define ACMERR_BASE 512
#define ACMERR_NOTPOSSIBLE (ACMERR_BASE + 0)
#define ACMERR_BUSY (ACMERR_BASE + 1)
#define ACMERR_UNPREPARED (ACMERR_BASE + 2)
#define MMSYSERR_INVALFLAG 10

#define ACM_STREAMOPENF_QUERY 0x00000001
#define ACM_STREAMOPENF_NONREALTIME 0x00000004
#define ACM_STREAMSIZEF_SOURCE 0x00000000
#define ACM_STREAMSIZEF_DESTINATION 0x00000001
#define ACM_STREAMCONVERTF_BLOCKALIGN 0x00000004
#define ACM_STREAMCONVERTF_START 0x00000010
#define ACM_STREAMCONVERTF_END 0x00000020
#define ACMSTREAMHEADER_STATUSF_DONE 0x00010000
#define ACMSTREAMHEADER_STATUSF_PREPARED 0x00020000
#define ACMSTREAMHEADER_STATUSF_INQUEUE 0x00100000

struct ACMSTREAMHEADER {
    DWORD cbStruct;
    DWORD fdwStatus;
    DWORD_PTR dwUser;
    BYTE* pbSrc;
    DWORD cbSrcLength;
    DWORD cbSrcLengthUsed;
    DWORD_PTR dwSrcUser;
    BYTE* pbDst;
    DWORD cbDstLength;
    DWORD cbDstLengthUsed;
    DWORD_PTR dwDstUser;
    DWORD dwReservedDriver[15];
};
typedef ACMSTREAMHEADER* LPACMSTREAMHEADER;

#define ACMERR_CANCELED (ACMERR_BASE + 3)
#define MMSYSERR_NOTSUPPORTED 8

#define ACMFORMATCHOOSE_STYLEF_SHOWHELP 0x00000004
#define ACMFORMATCHOOSE_STYLEF_ENABLEHOOK 0x00000008
#define ACMFORMATCHOOSE_STYLEF_ENABLETEMPLATE 0x00000010
#define ACMFORMATCHOOSE_STYLEF_ENABLETEMPLATEHANDLE 0x00000020
#define ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT 0x00000040
#define ACMFORMATCHOOSE_STYLEF_CONTEXTHELP 0x00000080
#define ACM_FORMATENUMF_WFORMATTAG 0x00010000
#define ACM_FORMATENUMF_NCHANNELS 0x00020000
#define ACM_FORMATENUMF_NSAMPLESPERSEC 0x00040000
#define ACM_FORMATENUMF_WBITSPERSAMPLE 0x00080000
#define ACM_FORMATENUMF_CONVERT 0x00100000
#define ACMFORMATTAGDETAILS_FORMATTAG_CHARS 48
#define ACMFORMATDETAILS_FORMAT_CHARS 128

typedef UINT (*ACMFORMATCHOOSEHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

struct ACMFORMATCHOOSE {
    DWORD cbStruct;
    DWORD fdwStyle;  // ACMFORMATCHOOSE_STYLEF_*
    HWND hwndOwner;
    LPWAVEFORMATEX pwfx;  // out: the chosen format (in, with INITTOWFXSTRUCT: the one to select)
    DWORD cbwfx;          // bytes at pwfx
    LPCSTR pszTitle;      // the dialog's caption
    CHAR szFormatTag[ACMFORMATTAGDETAILS_FORMATTAG_CHARS];  // out: "PCM"
    CHAR szFormat[ACMFORMATDETAILS_FORMAT_CHARS];           // out: the chosen entry's text
    LPSTR pszName;
    DWORD cchName;
    DWORD fdwEnum;            // ACM_FORMATENUMF_*: which formats to list
    LPWAVEFORMATEX pwfxEnum;  // the source (CONVERT) or the fields to match
    HINSTANCE hInstance;
    LPCSTR pszTemplateName;
    LPARAM lCustData;
    ACMFORMATCHOOSEHOOKPROC pfnHook;
};
typedef ACMFORMATCHOOSE* LPACMFORMATCHOOSE;

#ifdef __cplusplus
extern "C" {
#endif

// Opens a conversion from src to dst (dst must be PCM); driver and filter
// must be null. ACMERR_NOTPOSSIBLE when the layer cannot convert between them
// (PCM: 8 or 16 bits, 1 or 2 channels, 1 to 384000 Hz; src may be coded). Frame sizes come from
// bits and channels; nBlockAlign and nAvgBytesPerSec are not used. With
// ACM_STREAMOPENF_QUERY only checks; out is left alone and may be null.
PLATFORM_API MMRESULT acmStreamOpen(LPHACMSTREAM out, HACMDRIVER driver, const WAVEFORMATEX* src,
                                    const WAVEFORMATEX* dst, void* filter, DWORD_PTR callback,
                                    DWORD_PTR instance, DWORD flags);
// The output bytes for input bytes (ACM_STREAMSIZEF_SOURCE) or the input
// bytes for output bytes (ACM_STREAMSIZEF_DESTINATION). Input counts in whole
// frames; a rate change gives input frames * dst rate / src rate rounded to
// nearest (halves up). The destination size is the fewest input bytes whose
// output is at least that long. ACMERR_NOTPOSSIBLE past 4 GB.
PLATFORM_API MMRESULT acmStreamSize(HACMSTREAM s, DWORD input, DWORD* output, DWORD flags);
// Checks cbStruct and both buffers and sets ACMSTREAMHEADER_STATUSF_PREPARED.
PLATFORM_API MMRESULT acmStreamPrepareHeader(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags);
// Converts cbSrcLength bytes at pbSrc into pbDst (cbDstLength bytes);
// sets cbSrcLengthUsed, cbDstLengthUsed and ACMSTREAMHEADER_STATUSF_DONE.
// MMSYSERR_ERROR when the decoder of a coded source fails.
// A destination shorter than the source size gets the first frames that fit,
// and cbSrcLengthUsed is the input those frames need. The lengths may shrink
// after preparing but not grow (MMSYSERR_INVALPARAM, as for a header prepared
// on another stream). ACMERR_UNPREPARED for an unprepared header;
// MMSYSERR_NOMEM when the resampler cannot start.
PLATFORM_API MMRESULT acmStreamConvert(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags);
PLATFORM_API MMRESULT acmStreamUnprepareHeader(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags);
PLATFORM_API MMRESULT acmStreamClose(HACMSTREAM s, DWORD flags);

// The format chooser: a modal dialog of the layer's own listing PCM formats
// (8 and 16 bits, mono and stereo, at 8000, 11025, 16000, 22050, 32000, 44100
// and 48000 Hz and, with ACM_FORMATENUMF_CONVERT, the source's own rate), each
// as "<rate> Hz, <bits> Bit, Mono|Stereo". ACM_FORMATENUMF_CONVERT lists those
// pwfxEnum converts to; the other ACM_FORMATENUMF_* flags keep the entries
// whose field equals pwfxEnum's. The entry selected at first is pwfx's format
// with ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT, else the source's rate, channels
// and width when listed, else the first. On OK the chosen record is written to
// pwfx (the first cbwfx bytes of its 18, cbSize 0) with szFormatTag and
// szFormat. The question hook is asked kind "Dialog", text the title.
// MMSYSERR_NOERROR; ACMERR_CANCELED; ACMERR_NOTPOSSIBLE when nothing can be
// listed or cbwfx is under 16; MMSYSERR_INVALPARAM for a bad record;
// MMSYSERR_NOTSUPPORTED for hooks and templates of the caller.
PLATFORM_API MMRESULT acmFormatChoose(LPACMFORMATCHOOSE afc);

// The frames the whole source holds, as the wave file's "fact" chunk gives
// them; call it after acmStreamOpen and before acmStreamSize. For a block
// codec the sizes and the conversion then stop at that many frames (a count
// larger than the data holds changes nothing; 0 removes the count). Other
// sources know their length from their data and ignore it. MMSYSERR_NOERROR,
// or MMSYSERR_INVALHANDLE for an unknown stream.
PLATFORM_API MMRESULT PlatformAcmStreamSetSourceFrames(HACMSTREAM s, DWORD frames);

#ifdef __cplusplus
}
#endif
