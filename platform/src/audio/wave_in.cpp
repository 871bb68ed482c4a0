// waveIn entry points: the handle table, opening and closing SDL capture
// devices, header bookkeeping, start, stop, reset and position. Handles are
// numbers that are never reused, so a closed or forged one is not found.
#include <memory>
#include <string>
#include <unordered_map>

#include "wave_in_private.h"

using plat::wave_in::Input;

namespace {

std::mutex g_table_lock;
// Never destroyed: an input left open at exit still has SDL's audio thread
// calling into it while static objects go away.
auto& g_inputs = *new std::unordered_map<uintptr_t, std::shared_ptr<Input>>;
uintptr_t g_next_handle = 0x108;
// SDL's device open, pause and close stay outside every input's lock: SDL
// holds its device lock while the capture callback waits for the input's.
std::mutex& g_sdl_lock = plat::sdl_device_lock();

constexpr DWORD kCallbackTypeMask = 0x00070000;
constexpr DWORD kMaxRate = 384000;

std::shared_ptr<Input> find(HWAVEIN h) {
    std::lock_guard lock(g_table_lock);
    auto it = g_inputs.find(reinterpret_cast<uintptr_t>(h));
    return it == g_inputs.end() ? nullptr : it->second;
}

template <class Fn>
MMRESULT with_input(HWAVEIN h, Fn fn) {
    std::shared_ptr<Input> in = find(h);
    if (!in) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(in->m);
    if (in->closed) return MMSYSERR_INVALHANDLE;
    return fn(*in);
}

bool format_supported(const WAVEFORMATEX* f) {
    return f->wFormatTag == WAVE_FORMAT_PCM &&
           (f->wBitsPerSample == 8 || f->wBitsPerSample == 16) &&
           (f->nChannels == 1 || f->nChannels == 2) && f->nSamplesPerSec > 0 &&
           f->nSamplesPerSec <= kMaxRate;
}

// About 20 ms per callback, as a power of two frames.
Uint16 buffer_frames(DWORD rate) {
    Uint16 n = 128;
    while (n < 4096 && DWORD(n) * 2 <= rate / 50) n = Uint16(n * 2);
    return n;
}

// The SDL name of capture device id (empty for the default device).
MMRESULT device_name(UINT_PTR id, std::string* name) {
    name->clear();
    if (!plat::start_audio()) return MMSYSERR_NODRIVER;
    int count = SDL_GetNumAudioDevices(1);
    if (count <= 0) return MMSYSERR_NODRIVER;
    if (id == WAVE_MAPPER || id == UINT_PTR(-1)) return MMSYSERR_NOERROR;
    if (id >= UINT_PTR(count)) return MMSYSERR_BADDEVICEID;
    const char* n = SDL_GetAudioDeviceName(int(id), 1);
    *name = n ? n : "";
    return MMSYSERR_NOERROR;
}

SDL_AudioDeviceID open_device(const std::string& name, const WAVEFORMATEX* f, Input* in) {
    SDL_AudioSpec want{}, have{};
    want.freq = int(f->nSamplesPerSec);
    want.format = f->wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    want.channels = Uint8(f->nChannels);
    want.samples = buffer_frames(f->nSamplesPerSec);
    want.callback = plat::wave_in::capture;
    want.userdata = in;
    std::lock_guard lock(g_sdl_lock);
    return SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 1, &want, &have, 0);
}

HWAVEIN enter(const std::shared_ptr<Input>& in) {
    std::lock_guard lock(g_table_lock);
    uintptr_t key = g_next_handle;
    g_next_handle += 0x10;
    g_inputs.emplace(key, in);
    return reinterpret_cast<HWAVEIN>(key);
}

void pause_device(const Input& in, bool pause) {
    std::lock_guard lock(g_sdl_lock);
    SDL_PauseAudioDevice(in.device, pause ? 1 : 0);
}

// Stops filling and gives back the headers that stop_input picks; the
// callback hears of them after the lock is let go.
MMRESULT stop_input(HWAVEIN h, bool reset) {
    std::shared_ptr<Input> in = find(h);
    if (!in) return MMSYSERR_INVALHANDLE;
    std::vector<WAVEHDR*> back;
    {
        std::lock_guard lock(in->m);
        if (in->closed) return MMSYSERR_INVALHANDLE;
        in->started = false;
        while (!in->queue.empty()) {
            WAVEHDR* hdr = in->queue.front();
            if (!reset && hdr->dwBytesRecorded == 0) break;
            in->queue.pop_front();
            plat::wave_in::finish(in.get(), hdr);
            back.push_back(hdr);
            if (!reset) break;
        }
        if (reset) in->frames = 0;
    }
    pause_device(*in, true);
    for (WAVEHDR* hdr : back) plat::wave_in::notify(in.get(), WIM_DATA, DWORD_PTR(hdr));
    return MMSYSERR_NOERROR;
}

}  // namespace

extern "C" {

PLATFORM_API MMRESULT waveInOpen(LPHWAVEIN out, UINT id, const WAVEFORMATEX* format,
                                 DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
    if (!format) return MMSYSERR_INVALPARAM;
    DWORD kind = flags & kCallbackTypeMask;
    if (kind != CALLBACK_NULL && kind != CALLBACK_WINDOW && kind != CALLBACK_FUNCTION)
        return MMSYSERR_INVALPARAM;
    if (!format_supported(format)) return WAVERR_BADFORMAT;
    std::string name;
    if (MMRESULT r = device_name(id, &name)) return r;
    if (flags & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
    if (!out) return MMSYSERR_INVALPARAM;
    auto in = std::make_shared<Input>();
    in->align = format->wBitsPerSample / 8 * format->nChannels;
    in->callback_kind = kind;
    in->window = kind == CALLBACK_WINDOW ? reinterpret_cast<HWND>(callback) : nullptr;
    in->function = kind == CALLBACK_FUNCTION ? reinterpret_cast<LPWAVEINPROC>(callback) : nullptr;
    in->instance = instance;
    in->device = open_device(name, format, in.get());
    if (!in->device) return MMSYSERR_NODRIVER;
    {
        std::lock_guard lock(in->m);
        in->handle = enter(in);
    }
    *out = in->handle;
    plat::wave_in::notify(in.get(), WIM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

PLATFORM_API MMRESULT waveInClose(HWAVEIN h) {
    std::shared_ptr<Input> in;
    {
        std::lock_guard table(g_table_lock);
        auto it = g_inputs.find(reinterpret_cast<uintptr_t>(h));
        if (it == g_inputs.end()) return MMSYSERR_INVALHANDLE;
        in = it->second;
        std::lock_guard lock(in->m);
        if (!in->queue.empty()) return WAVERR_STILLPLAYING;
        in->closed = true;
        in->started = false;
        g_inputs.erase(it);
    }
    {
        // Waits for a running callback; in stays alive until then.
        std::lock_guard lock(g_sdl_lock);
        SDL_CloseAudioDevice(in->device);
    }
    plat::wave_in::notify(in.get(), WIM_CLOSE, 0);
    return MMSYSERR_NOERROR;
}

PLATFORM_API MMRESULT waveInPrepareHeader(HWAVEIN h, LPWAVEHDR hdr, UINT size) {
    if (!hdr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return with_input(h, [&](Input&) -> MMRESULT {
        if (hdr->dwFlags & WHDR_PREPARED) return MMSYSERR_NOERROR;
        if (!hdr->lpData && hdr->dwBufferLength) return MMSYSERR_INVALPARAM;
        // reserved keeps the address held, so unpreparing releases exactly that.
        bool held = hdr->lpData && plat::hold_memory(hdr->lpData);
        hdr->reserved = held ? reinterpret_cast<DWORD_PTR>(hdr->lpData) : 0;
        hdr->dwFlags = (hdr->dwFlags & ~DWORD(WHDR_DONE | WHDR_INQUEUE)) | WHDR_PREPARED;
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveInUnprepareHeader(HWAVEIN h, LPWAVEHDR hdr, UINT size) {
    if (!hdr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return with_input(h, [&](Input&) -> MMRESULT {
        if (hdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        if (!(hdr->dwFlags & WHDR_PREPARED)) return MMSYSERR_NOERROR;
        if (hdr->reserved) plat::release_memory(reinterpret_cast<const void*>(hdr->reserved));
        hdr->reserved = 0;
        hdr->dwFlags &= ~DWORD(WHDR_PREPARED);
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveInAddBuffer(HWAVEIN h, LPWAVEHDR hdr, UINT size) {
    if (!hdr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return with_input(h, [&](Input& in) -> MMRESULT {
        if (!(hdr->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
        if (hdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        hdr->dwFlags = (hdr->dwFlags & ~DWORD(WHDR_DONE)) | WHDR_INQUEUE;
        hdr->dwBytesRecorded = 0;
        hdr->lpNext = nullptr;
        in.queue.push_back(hdr);
        return MMSYSERR_NOERROR;
    });
}

PLATFORM_API MMRESULT waveInStart(HWAVEIN h) {
    std::shared_ptr<Input> in = find(h);
    MMRESULT r = with_input(h, [](Input& i) -> MMRESULT {
        i.started = true;
        return MMSYSERR_NOERROR;
    });
    if (r == MMSYSERR_NOERROR) pause_device(*in, false);
    return r;
}

PLATFORM_API MMRESULT waveInStop(HWAVEIN h) {
    return stop_input(h, false);
}

PLATFORM_API MMRESULT waveInReset(HWAVEIN h) {
    return stop_input(h, true);
}

PLATFORM_API MMRESULT waveInGetPosition(HWAVEIN h, LPMMTIME time, UINT size) {
    if (!time || size < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    return with_input(h, [&](Input& in) -> MMRESULT {
        if (time->wType == TIME_SAMPLES) {
            time->u.sample = DWORD(in.frames);
        } else {
            time->wType = TIME_BYTES;
            time->u.cb = DWORD(in.frames * uint64_t(in.align));
        }
        return MMSYSERR_NOERROR;
    });
}

}  // extern "C"
