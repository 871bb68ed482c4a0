// Wave input devices on SDL2 capture. A device is opened for one PCM format
// (8-bit unsigned or 16-bit signed, mono or stereo, any rate) and fills the
// headers queued on it, in queue order, in the caller's memory. A header is
// given back (WHDR_DONE, dwBytesRecorded set) when it is full, or partly
// filled by waveInStop or waveInReset; its notice MM_WIM_DATA (lParam = the
// header) goes to the window (posted) or the function (called on the audio
// thread, or on the thread that stops or resets) named at open. Sound that
// arrives while no header is queued is lost. Device numbers follow SDL's
// capture list; WAVE_MAPPER is the default device. Every function may be
// called from any thread, except that a function callback may add buffers but
// must not start, stop, reset or close the input; a closed or unknown input
// gives MMSYSERR_INVALHANDLE.
#pragma once

#include <platform/wave.h>

DECLARE_PLATFORM_HANDLE(HWAVEIN);
typedef HWAVEIN* LPHWAVEIN;

#define CALLBACK_FUNCTION 0x00030000

#define MM_WIM_OPEN 0x3BE
#define MM_WIM_CLOSE 0x3BF
#define MM_WIM_DATA 0x3C0
#define WIM_OPEN MM_WIM_OPEN
#define WIM_CLOSE MM_WIM_CLOSE
#define WIM_DATA MM_WIM_DATA

// A function callback: (input, WIM_*, instance given at open, header for
// WIM_DATA else 0, 0).
typedef void (*LPWAVEINPROC)(HWAVEIN in, UINT msg, DWORD_PTR instance, DWORD_PTR param1,
                             DWORD_PTR param2);

struct WAVEINCAPS {
    WORD wMid;
    WORD wPid;
    UINT vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
};
typedef WAVEINCAPS* LPWAVEINCAPS;

#ifdef __cplusplus
extern "C" {
#endif

// Number of capture devices SDL lists (0 when audio cannot start).
PLATFORM_API UINT waveInGetNumDevs(void);
// Name of device id (WAVE_MAPPER: the default device) in szPname, cut to fit;
// every 8- and 16-bit mono and stereo standard rate in dwFormats.
PLATFORM_API MMRESULT waveInGetDevCaps(UINT_PTR id, LPWAVEINCAPS caps, UINT size);
// The text for an error code (the same texts as the outputs').
PLATFORM_API MMRESULT waveInGetErrorText(MMRESULT err, LPSTR text, UINT size);
// Opens capture device id for a PCM format, stopped. callback is a window
// (CALLBACK_WINDOW), an LPWAVEINPROC (CALLBACK_FUNCTION) or unused
// (CALLBACK_NULL); it hears WIM_OPEN (a window: MM_WIM_OPEN, posted). WAVE_FORMAT_QUERY only
// checks. MMSYSERR_NODRIVER when audio cannot start or no capture device exists,
// MMSYSERR_BADDEVICEID for an id past the list, WAVERR_BADFORMAT.
PLATFORM_API MMRESULT waveInOpen(LPHWAVEIN in, UINT id, const WAVEFORMATEX* format,
                                 DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
// Sets WHDR_PREPARED and holds the header's memory for the device.
PLATFORM_API MMRESULT waveInPrepareHeader(HWAVEIN in, LPWAVEHDR hdr, UINT size);
// WAVERR_STILLPLAYING while queued; otherwise releases the memory hold.
PLATFORM_API MMRESULT waveInUnprepareHeader(HWAVEIN in, LPWAVEHDR hdr, UINT size);
// Queues a prepared header (WAVERR_UNPREPARED otherwise) with 0 bytes recorded.
PLATFORM_API MMRESULT waveInAddBuffer(HWAVEIN in, LPWAVEHDR hdr, UINT size);
// Starts filling the queued headers.
PLATFORM_API MMRESULT waveInStart(HWAVEIN in);
// Stops; gives back the header being filled when it holds data, keeps the rest
// queued and keeps the position.
PLATFORM_API MMRESULT waveInStop(HWAVEIN in);
// Stops, gives back every queued header and sets the position to 0.
PLATFORM_API MMRESULT waveInReset(HWAVEIN in);
// WAVERR_STILLPLAYING while headers are queued; WIM_CLOSE goes to the callback.
PLATFORM_API MMRESULT waveInClose(HWAVEIN in);
// Frames (TIME_SAMPLES) or bytes (TIME_BYTES, and any other type, which is
// then set to TIME_BYTES) put into headers since open or reset.
PLATFORM_API MMRESULT waveInGetPosition(HWAVEIN in, LPMMTIME time, UINT size);

#ifdef __cplusplus
}
#endif
