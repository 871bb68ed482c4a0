// The capture side of the wave inputs: SDL's callback that fills the queued
// headers, the notices to the callback, and the device list.
#include <algorithm>
#include <cstring>

#include "wave_in_private.h"

namespace plat {

std::mutex& sdl_device_lock() {
    static std::mutex* m = new std::mutex;  // outlives static destruction, as the devices do
    return *m;
}

}  // namespace plat

namespace plat::wave_in {

void finish(Input* in, WAVEHDR* hdr) {
    hdr->dwFlags = (hdr->dwFlags & ~DWORD(WHDR_INQUEUE)) | WHDR_DONE;
}

void notify(Input* in, UINT msg, DWORD_PTR param) {
    if (in->callback_kind == CALLBACK_WINDOW && in->window)
        PostMessage(in->window, msg, reinterpret_cast<WPARAM>(in->handle), LPARAM(param));
    else if (in->callback_kind == CALLBACK_FUNCTION && in->function)
        in->function(in->handle, msg, in->instance, param, 0);
}

void SDLCALL capture(void* userdata, Uint8* stream, int len) {
    auto* in = static_cast<Input*>(userdata);
    std::vector<WAVEHDR*> full;
    {
        std::lock_guard lock(in->m);
        const uint64_t align = uint64_t(in->align);
        const uint64_t have = len > 0 ? uint64_t(len) / align * align : 0;
        uint64_t at = 0;
        while (in->started && !in->queue.empty() && at < have) {
            WAVEHDR* h = in->queue.front();
            const uint64_t room = h->dwBufferLength / align * align;
            uint64_t n = std::min(room - std::min<uint64_t>(h->dwBytesRecorded, room), have - at);
            std::memcpy(h->lpData + h->dwBytesRecorded, stream + at, size_t(n));
            h->dwBytesRecorded += DWORD(n);
            in->frames += n / align;
            at += n;
            if (h->dwBytesRecorded + align <= room) continue;
            in->queue.pop_front();
            finish(in, h);
            full.push_back(h);
        }
    }
    for (WAVEHDR* h : full) notify(in, WIM_DATA, reinterpret_cast<DWORD_PTR>(h));
}

}  // namespace plat::wave_in

namespace {

constexpr const char* kDefaultName = "Default input";

void copy_cut(char* dst, const char* src, size_t size) {
    size_t n = std::min(std::strlen(src), size - 1);
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

}  // namespace

extern "C" {

PLATFORM_API UINT waveInGetNumDevs(void) {
    if (!plat::start_audio()) return 0;
    int n = SDL_GetNumAudioDevices(1);
    return n > 0 ? UINT(n) : 0;
}

PLATFORM_API MMRESULT waveInGetDevCaps(UINT_PTR id, LPWAVEINCAPS caps, UINT size) {
    if (!caps || size < sizeof(WAVEINCAPS)) return MMSYSERR_INVALPARAM;
    UINT count = waveInGetNumDevs();
    if (count == 0) return MMSYSERR_NODRIVER;
    const char* name = kDefaultName;
    if (id != WAVE_MAPPER && id != UINT_PTR(-1)) {
        if (id >= count) return MMSYSERR_BADDEVICEID;
        name = SDL_GetAudioDeviceName(int(id), 1);
        if (!name) return MMSYSERR_BADDEVICEID;
    }
    std::memset(caps, 0, sizeof(WAVEINCAPS));
    caps->vDriverVersion = 0x0100;
    copy_cut(caps->szPname, name, sizeof(caps->szPname));
    caps->dwFormats = 0x00000FFF;  // every 8- and 16-bit, mono and stereo standard rate
    caps->wChannels = 2;
    return MMSYSERR_NOERROR;
}

PLATFORM_API MMRESULT waveInGetErrorText(MMRESULT err, LPSTR text, UINT size) {
    return waveOutGetErrorText(err, text, size);
}

}  // extern "C"
