// The audio side of the wave outputs: starting SDL audio and the callback that
// plays the queued headers from the caller's memory.
#include <algorithm>
#include <cstring>

#include "audio_private.h"

namespace plat {

bool start_audio() {
    static std::mutex m;
    static bool ready = false;
    std::lock_guard lock(m);
    if (ready) return true;
    // SDL would otherwise take SIGINT and SIGTERM for itself, and the program
    // would no longer end when the desktop or the user asks it to.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ready = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return ready;
}

}  // namespace plat

namespace plat::wave {

namespace {

int scaled(int sample, DWORD gain) {
    return int(int64_t(sample) * int64_t(gain) / 0xFFFF);
}

// Copies whole frames, applying the per-channel volume (0xFFFF = unity).
void copy_frames(const Output& o, const uint8_t* src, uint8_t* dst, size_t bytes) {
    if (o.volume == 0xFFFFFFFF || (o.channels == 1 && (o.volume & 0xFFFF) == 0xFFFF)) {
        std::memcpy(dst, src, bytes);
        return;
    }
    DWORD gains[2] = {o.volume & 0xFFFF, o.channels == 2 ? o.volume >> 16 : o.volume & 0xFFFF};
    if (o.bits == 8) {
        for (size_t i = 0; i < bytes; ++i)
            dst[i] = uint8_t(128 + scaled(int(src[i]) - 128, gains[i % size_t(o.channels)]));
        return;
    }
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        int x = int16_t(uint16_t(src[i] | src[i + 1] << 8));
        int v = scaled(x, gains[(i / 2) % size_t(o.channels)]);
        dst[i] = uint8_t(v & 0xFF);
        dst[i + 1] = uint8_t((v >> 8) & 0xFF);
    }
}

// The bytes of a header that play: whole frames only.
uint64_t usable_bytes(const Output& o, const WAVEHDR* h) {
    return h->dwBufferLength - h->dwBufferLength % DWORD(o.align);
}

}  // namespace

void start_head(Output* o) {
    o->offset = 0;
    o->passes_left = 0;
    if (o->queue.empty()) return;
    const WAVEHDR* h = o->queue.front();
    bool looped = (h->dwFlags & WHDR_BEGINLOOP) && (h->dwFlags & WHDR_ENDLOOP);
    o->passes_left = looped ? std::max<uint64_t>(h->dwLoops, 1) : 1;
}

void finish(Output* o, WAVEHDR* hdr) {
    hdr->dwFlags = (hdr->dwFlags & ~DWORD(WHDR_INQUEUE)) | WHDR_DONE;
    // PostMessage only queues, so it is safe on the audio thread and under o->m.
    if (o->window)
        PostMessage(o->window, MM_WOM_DONE, reinterpret_cast<WPARAM>(o->handle),
                    reinterpret_cast<LPARAM>(hdr));
}

void SDLCALL fill(void* userdata, Uint8* stream, int len) {
    auto* o = static_cast<Output*>(userdata);
    std::lock_guard lock(o->m);
    const uint64_t align = uint64_t(o->align);
    const uint64_t want = len > 0 ? uint64_t(len) : 0;
    uint64_t at = 0;
    while (!o->paused && !o->queue.empty() && at + align <= want) {
        WAVEHDR* h = o->queue.front();
        uint64_t usable = usable_bytes(*o, h);
        uint64_t n = std::min(usable - o->offset, (want - at) / align * align);
        if (n)
            copy_frames(*o, reinterpret_cast<const uint8_t*>(h->lpData) + o->offset, stream + at,
                        size_t(n));
        at += n;
        o->offset += n;
        o->frames += n / align;
        if (o->offset < usable) continue;
        if (usable > 0 && --o->passes_left > 0) {
            o->offset = 0;
            continue;
        }
        o->queue.pop_front();
        finish(o, h);
        start_head(o);
    }
    std::memset(stream + at, o->bits == 8 ? 0x80 : 0, size_t(want - at));
}

}  // namespace plat::wave
