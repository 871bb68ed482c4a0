// Wave output devices on SDL2 audio. A device is opened for one PCM format
// (8-bit unsigned or 16-bit signed, mono or stereo, any rate) and plays the
// headers queued on it from the caller's memory, in place, in queue order. A
// header flagged WHDR_BEGINLOOP | WHDR_ENDLOOP repeats dwLoops times (a loop
// spans that one header). When a header is done (played out, or returned by
// waveOutReset) it gets WHDR_DONE and MM_WOM_DONE is posted to the window
// given at open (wParam = the output, lParam = the header). The memory a
// prepared header points into stays valid until the header is unprepared, even
// if its block is moved or freed. Device numbers follow SDL's output list;
// WAVE_MAPPER is the default device. Every function may be called from any
// thread; a closed or unknown output gives MMSYSERR_INVALHANDLE.
#pragma once

#include <platform/mmio.h>

DECLARE_PLATFORM_HANDLE(HWAVEOUT);
typedef HWAVEOUT* LPHWAVEOUT;

#define WAVE_FORMAT_PCM 1
#define WAVE_MAPPER ((UINT)-1)
#define WAVE_FORMAT_QUERY 0x0001
#define WAVE_ALLOWSYNC 0x0002
#define CALLBACK_NULL 0x00000000
#define CALLBACK_WINDOW 0x00010000

#define WHDR_DONE 0x00000001
#define WHDR_PREPARED 0x00000002
#define WHDR_BEGINLOOP 0x00000004
#define WHDR_ENDLOOP 0x00000008
#define WHDR_INQUEUE 0x00000010

#define MM_WOM_OPEN 0x3BB
#define MM_WOM_CLOSE 0x3BC
#define MM_WOM_DONE 0x3BD

#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_BADERRNUM 9
#define MMSYSERR_INVALPARAM 11
#define WAVERR_BADFORMAT 32
#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34

#define TIME_MS 0x0001
#define TIME_SAMPLES 0x0002
#define TIME_BYTES 0x0004

#define MAXPNAMELEN 32
#define MAXERRORLENGTH 256

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
typedef WAVEFORMATEX* LPWAVEFORMATEX;

struct WAVEHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};
typedef WAVEHDR* LPWAVEHDR;

struct MMTIME {
    UINT wType;
    union {
        DWORD ms;
        DWORD sample;
        DWORD cb;
    } u;
};
typedef MMTIME* LPMMTIME;

struct WAVEOUTCAPS {
    WORD wMid;
    WORD wPid;
    UINT vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
    DWORD dwSupport;
};
typedef WAVEOUTCAPS* LPWAVEOUTCAPS;

#ifdef __cplusplus
extern "C" {
#endif

// Number of output devices SDL lists (0 when audio cannot start).
PLATFORM_API UINT waveOutGetNumDevs(void);
// Name of device id (WAVE_MAPPER: the default device) in szPname, cut to fit.
PLATFORM_API MMRESULT waveOutGetDevCaps(UINT_PTR id, LPWAVEOUTCAPS caps, UINT size);
// The text for an error code, at most size - 1 characters.
PLATFORM_API MMRESULT waveOutGetErrorText(MMRESULT err, LPSTR text, UINT size);
// Opens device id for a PCM format; callback is a window when flags hold
// CALLBACK_WINDOW (MM_WOM_OPEN is posted to it). The device starts running.
// With WAVE_FORMAT_QUERY only checks the format and id; out may be null.
PLATFORM_API MMRESULT waveOutOpen(LPHWAVEOUT out, UINT id, const WAVEFORMATEX* format,
                                  DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
// Sets WHDR_PREPARED and holds the header's memory for the device.
PLATFORM_API MMRESULT waveOutPrepareHeader(HWAVEOUT out, LPWAVEHDR hdr, UINT size);
// WAVERR_STILLPLAYING while queued; otherwise releases the memory hold.
PLATFORM_API MMRESULT waveOutUnprepareHeader(HWAVEOUT out, LPWAVEHDR hdr, UINT size);
// Queues a prepared header (WAVERR_UNPREPARED otherwise).
PLATFORM_API MMRESULT waveOutWrite(HWAVEOUT out, LPWAVEHDR hdr, UINT size);
// Stops playing and stops the position; waveOutRestart goes on from there.
PLATFORM_API MMRESULT waveOutPause(HWAVEOUT out);
PLATFORM_API MMRESULT waveOutRestart(HWAVEOUT out);
// Returns every queued header as done and sets the position to 0.
PLATFORM_API MMRESULT waveOutReset(HWAVEOUT out);
// WAVERR_STILLPLAYING while headers are queued; posts MM_WOM_CLOSE.
PLATFORM_API MMRESULT waveOutClose(HWAVEOUT out);
// Frames (TIME_SAMPLES) or bytes (TIME_BYTES, and any other type, which is
// then set to TIME_BYTES) played since open or reset, counting every loop.
PLATFORM_API MMRESULT waveOutGetPosition(HWAVEOUT out, LPMMTIME time, UINT size);
// Output volume: low word left, high word right, 0 to 0xFFFF each, applied in
// software. A null output means the first device: its volume is kept and
// given to outputs opened later.
PLATFORM_API MMRESULT waveOutGetVolume(HWAVEOUT out, DWORD* volume);
PLATFORM_API MMRESULT waveOutSetVolume(HWAVEOUT out, DWORD volume);

#ifdef __cplusplus
}
#endif
