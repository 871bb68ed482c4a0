// Audio compression streams: conversion of a whole sound in one call from a
// source format to a PCM target. PCM to PCM changes channels (mono <-> stereo),
// width (8-bit unsigned <-> 16-bit signed) and rate (libsoxr, one shot, high
// quality). acmStreamSize gives the exact size acmStreamConvert then fills;
// a shortfall is padded with silence.
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

#ifdef __cplusplus
extern "C" {
#endif

// Opens a conversion from src to dst (dst must be PCM); driver and filter
// must be null. ACMERR_NOTPOSSIBLE when the layer cannot convert between them.
PLATFORM_API MMRESULT acmStreamOpen(LPHACMSTREAM out, HACMDRIVER driver, const WAVEFORMATEX* src,
                                    const WAVEFORMATEX* dst, void* filter, DWORD_PTR callback,
                                    DWORD_PTR instance, DWORD flags);
// The output bytes for input bytes (ACM_STREAMSIZEF_SOURCE) or the input
// bytes for output bytes (ACM_STREAMSIZEF_DESTINATION).
PLATFORM_API MMRESULT acmStreamSize(HACMSTREAM s, DWORD input, DWORD* output, DWORD flags);
PLATFORM_API MMRESULT acmStreamPrepareHeader(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags);
// Converts cbSrcLength bytes at pbSrc into pbDst (cbDstLength bytes);
// sets cbSrcLengthUsed, cbDstLengthUsed and ACMSTREAMHEADER_STATUSF_DONE.
PLATFORM_API MMRESULT acmStreamConvert(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags);
PLATFORM_API MMRESULT acmStreamUnprepareHeader(HACMSTREAM s, LPACMSTREAMHEADER h, DWORD flags);
PLATFORM_API MMRESULT acmStreamClose(HACMSTREAM s, DWORD flags);

#ifdef __cplusplus
}
#endif
