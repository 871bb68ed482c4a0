// Wave output device list, device names and the texts of the error codes.
#include <cstring>

#include "audio_private.h"

namespace {

struct ErrorText {
    MMRESULT code;
    const char* text;
};

const ErrorText kErrorTexts[] = {
    {MMSYSERR_NOERROR, "The specified command was carried out."},
    {MMSYSERR_ERROR, "Unspecified error."},
    {MMSYSERR_BADDEVICEID, "The specified device identifier is out of range."},
    {MMSYSERR_ALLOCATED, "The specified resource is already allocated."},
    {MMSYSERR_INVALHANDLE, "The specified device handle is invalid."},
    {MMSYSERR_NODRIVER, "No device driver is present."},
    {MMSYSERR_NOMEM, "Unable to allocate or lock memory."},
    {MMSYSERR_BADERRNUM, "The error number is not defined."},
    {MMSYSERR_INVALPARAM, "An invalid parameter was passed to a system function."},
    {WAVERR_BADFORMAT, "The specified format is not supported or cannot be translated."},
    {WAVERR_STILLPLAYING, "The buffers are still playing."},
    {WAVERR_UNPREPARED, "The wave header was not prepared."},
};

constexpr const char* kDefaultName = "Default output";

void copy_cut(char* dst, const char* src, size_t size) {
    size_t n = std::strlen(src);
    if (n > size - 1) n = size - 1;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

}  // namespace

extern "C" {

PLATFORM_API UINT waveOutGetNumDevs(void) {
    if (!plat::start_audio()) return 0;
    int n = SDL_GetNumAudioDevices(0);
    return n > 0 ? UINT(n) : 0;
}

PLATFORM_API MMRESULT waveOutGetDevCaps(UINT_PTR id, LPWAVEOUTCAPS caps, UINT size) {
    if (!caps || size < sizeof(WAVEOUTCAPS)) return MMSYSERR_INVALPARAM;
    const char* name = kDefaultName;
    if (id != WAVE_MAPPER && id != UINT_PTR(-1)) {
        if (id >= waveOutGetNumDevs()) return MMSYSERR_BADDEVICEID;
        name = SDL_GetAudioDeviceName(int(id), 0);
        if (!name) return MMSYSERR_BADDEVICEID;
    }
    std::memset(caps, 0, sizeof(WAVEOUTCAPS));
    caps->vDriverVersion = 0x0100;
    copy_cut(caps->szPname, name, sizeof(caps->szPname));
    caps->dwFormats = 0x00000FFF;  // every 8- and 16-bit, mono and stereo standard rate
    caps->wChannels = 2;
    caps->dwSupport = 0x0000000C;  // volume, separate left and right
    return MMSYSERR_NOERROR;
}

PLATFORM_API MMRESULT waveOutGetErrorText(MMRESULT err, LPSTR text, UINT size) {
    if (!text || size == 0) return MMSYSERR_INVALPARAM;
    for (const ErrorText& e : kErrorTexts) {
        if (e.code != err) continue;
        copy_cut(text, e.text, size);
        return MMSYSERR_NOERROR;
    }
    text[0] = '\0';
    return MMSYSERR_BADERRNUM;
}

}  // extern "C"
