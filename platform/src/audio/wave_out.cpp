// waveOut entry points: the handle table, opening and closing SDL devices,
// header bookkeeping, position, volume, device names and error texts. Handles
// are numbers that are never reused, so a closed or forged one is not found.
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "audio_private.h"
#include "system/system_private.h"

using plat::wave::Output;

namespace {

std::mutex g_table_lock;
// Never destroyed: an output left open at exit still has SDL's audio thread
// calling into it while static objects go away.
auto& g_outputs = *new std::unordered_map<uintptr_t, std::shared_ptr<Output>>;
uintptr_t g_next_handle = 0x100;
// SDL's device open and close are kept to one thread at a time; the audio
// callback never takes this lock, so closing under it cannot deadlock.
std::mutex& g_sdl_lock = plat::sdl_device_lock();
std::atomic<DWORD> g_first_volume{0xFFFFFFFF};

constexpr DWORD kCallbackTypeMask = 0x00070000;
constexpr DWORD kMaxRate = 384000;

std::shared_ptr<Output> find(HWAVEOUT h) {
    std::lock_guard lock(g_table_lock);
    auto it = g_outputs.find(reinterpret_cast<uintptr_t>(h));
    return it == g_outputs.end() ? nullptr : it->second;
}

// Runs fn(output) under the output's lock; INVALHANDLE for a dead handle.
template <class Fn>
MMRESULT with_output(HWAVEOUT h, Fn fn) {
    std::shared_ptr<Output> o = find(h);
    if (!o) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(o->m);
    if (o->closed) return MMSYSERR_INVALHANDLE;
    return fn(*o);
}

bool format_supported(const WAVEFORMATEX* f) {
    return f->wFormatTag == WAVE_FORMAT_PCM &&
           (f->wBitsPerSample == 8 || f->wBitsPerSample == 16) &&
           (f->nChannels == 1 || f->nChannels == 2) && f->nSamplesPerSec > 0 &&
           f->nSamplesPerSec <= kMaxRate;
}

// About 40 ms per callback, as a power of two frames.
Uint16 buffer_frames(DWORD rate) {
    Uint16 n = 256;
    while (n < 8192 && DWORD(n) * 2 <= rate / 25) n = Uint16(n * 2);
    return n;
}

// The SDL name of output id (empty for the default device); false for a bad id.
bool device_name(UINT_PTR id, std::string* name) {
    name->clear();
    if (id == WAVE_MAPPER || id == UINT_PTR(-1)) return true;
    int count = plat::start_audio() ? SDL_GetNumAudioDevices(0) : 0;
    if (id >= UINT_PTR(count > 0 ? count : 0)) return false;
    const char* n = SDL_GetAudioDeviceName(int(id), 0);
    *name = n ? n : "";
    return true;
}

SDL_AudioDeviceID open_device(const std::string& name, const WAVEFORMATEX* f, Output* o) {
    SDL_AudioSpec want{}, have{};
    want.freq = int(f->nSamplesPerSec);
    want.format = f->wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = Uint8(f->nChannels);
    want.samples = buffer_frames(f->nSamplesPerSec);
    want.callback = plat::wave::fill;
    want.userdata = o;
    std::lock_guard lock(g_sdl_lock);
    return SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &want, &have, 0);
}

HWAVEOUT enter(const std::shared_ptr<Output>& o) {
    std::lock_guard lock(g_table_lock);
    uintptr_t key = g_next_handle;
    g_next_handle += 0x10;
    g_outputs.emplace(key, o);
    return reinterpret_cast<HWAVEOUT>(key);
}

}  // namespace

extern "C" {

PLATFORM_API MMRESULT waveOutOpen(LPHWAVEOUT out, UINT id, const WAVEFORMATEX* format,
                                  DWORD_PTR callback, DWORD_PTR, DWORD flags) {
    if (!format) return MMSYSERR_INVALPARAM;
    DWORD kind = flags & kCallbackTypeMask;
    if (kind != CALLBACK_NULL && kind != CALLBACK_WINDOW) return MMSYSERR_INVALPARAM;
    if (!format_supported(format)) return WAVERR_BADFORMAT;
    if (!plat::start_audio()) return MMSYSERR_NODRIVER;
    std::string name;
    if (!device_name(id, &name)) return MMSYSERR_BADDEVICEID;
    if (flags & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
    if (!out) return MMSYSERR_INVALPARAM;
    auto o = std::make_shared<Output>();
    o->bits = format->wBitsPerSample;
    o->channels = format->nChannels;
    o->align = o->bits / 8 * o->channels;
    o->volume = g_first_volume.load();
    o->window = kind == CALLBACK_WINDOW ? reinterpret_cast<HWND>(callback) : nullptr;
    o->device = open_device(name, format, o.get());
    if (!o->device) return MMSYSERR_NODRIVER;
    {
        std::lock_guard lock(o->m);
        o->handle = enter(o);
    }
    *out = o->handle;
    if (o->window) PostMessage(o->window, MM_WOM_OPEN, reinterpret_cast<WPARAM>(o->handle), 0);
    SDL_PauseAudioDevice(o->device, 0);
    return MMSYSERR_NOERROR;
}

PLATFORM_API MMRESULT waveOutClose(HWAVEOUT out) {
    std::shared_ptr<Output> o;
    {
        std::lock_guard table(g_table_lock);
        auto it = g_outputs.find(reinterpret_cast<uintptr_t>(out));
        if (it == g_outputs.end()) return MMSYSERR_INVALHANDLE;
        o = it->second;
        std::lock_guard lock(o->m);
        if (!o->queue.empty()) return WAVERR_STILLPLAYING;
        o->closed = true;
        g_outputs.erase(it);
    }
    {
        // Waits for a running callback; o stays alive until then.
        std::lock_guard lock(g_sdl_lock);
        SDL_CloseAudioDevice(o->device);
    }
    if (o->window) PostMessage(o->window, MM_WOM_CLOSE, reinterpret_cast<WPARAM>(out), 0);
    return MMSYSERR_NOERROR;
}

PLATFORM_API MMRESULT waveOutPrepareHeader(HWAVEOUT out, LPWAVEHDR hdr, UINT size) {
    if (!hdr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return with_output(out, [&](Output&) -> MMRESULT {
        if (hdr->dwFlags & WHDR_PREPARED) return MMSYSERR_NOERROR;
        if (!hdr->lpData && hdr->dwBufferLength) return MMSYSERR_INVALPARAM;
        // reserved keeps the address held, so unpreparing releases exactly that.
        bool held = hdr->lpData && plat::hold_memory(hdr->lpData);
        hdr->reserved = held ? reinterpret_cast<DWORD_PTR>(hdr->lpData) : 0;
        hdr->dwFlags = (hdr->dwFlags & ~DWORD(WHDR_DONE | WHDR_INQUEUE)) | WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveOutUnprepareHeader(HWAVEOUT out, LPWAVEHDR hdr, UINT size) {
    if (!hdr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return with_output(out, [&](Output&) -> MMRESULT {
        if (hdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        if (!(hdr->dwFlags & WHDR_PREPARED)) return MMSYSERR_NOERROR;
        if (hdr->reserved) plat::release_memory(reinterpret_cast<const void*>(hdr->reserved));
        hdr->reserved = 0;
        hdr->dwFlags &= ~DWORD(WHDR_PREPARED);
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveOutWrite(HWAVEOUT out, LPWAVEHDR hdr, UINT size) {
    if (!hdr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return with_output(out, [&](Output& o) -> MMRESULT {
        if (!(hdr->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
        if (hdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        hdr->dwFlags = (hdr->dwFlags & ~DWORD(WHDR_DONE)) | WHDR_INQUEUE;
        hdr->lpNext = nullptr;
        o.queue.push_back(hdr);
        if (o.queue.size() == 1) plat::wave::start_head(&o);
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveOutPause(HWAVEOUT out) {
    return with_output(out, [](Output& o) -> MMRESULT {
        o.paused = true;
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveOutRestart(HWAVEOUT out) {
    return with_output(out, [](Output& o) -> MMRESULT {
        o.paused = false;
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveOutReset(HWAVEOUT out) {
    return with_output(out, [](Output& o) -> MMRESULT {
        while (!o.queue.empty()) {
            WAVEHDR* h = o.queue.front();
            o.queue.pop_front();
            plat::wave::finish(&o, h);
        }
        plat::wave::start_head(&o);
        o.frames = 0;
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveOutGetPosition(HWAVEOUT out, LPMMTIME time, UINT size) {
    if (!time || size < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    return with_output(out, [&](Output& o) -> MMRESULT {
        if (time->wType == TIME_SAMPLES) {
            time->u.sample = DWORD(o.frames);
        } else {
            time->wType = TIME_BYTES;
            time->u.cb = DWORD(o.frames * uint64_t(o.align));
        }
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveOutGetVolume(HWAVEOUT out, DWORD* volume) {
    if (!volume) return MMSYSERR_INVALPARAM;
    if (!out) {
        *volume = g_first_volume.load();
        return MMSYSERR_NOERROR;
    }
    return with_output(out, [&](Output& o) -> MMRESULT {
        *volume = o.volume;
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveOutSetVolume(HWAVEOUT out, DWORD volume) {
    if (!out) {
        g_first_volume.store(volume);
        return MMSYSERR_NOERROR;
    }
    return with_output(out, [&](Output& o) -> MMRESULT {
        o.volume = volume;
        return MMSYSERR_NOERROR;
    });
}

}  // extern "C"
