// One open wave input: the state shared by the waveIn entry points and SDL's
// capture callback, which runs on SDL's audio thread.
#pragma once

#include <SDL2/SDL.h>
#include <platform/wavein.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "audio/audio_private.h"
#include "system/system_private.h"
#include "windows/windows_private.h"

namespace plat::wave_in {

struct Input {
    std::mutex m;  // guards every field below; the capture callback takes it too
    SDL_AudioDeviceID device = 0;
    HWAVEIN handle = nullptr;
    DWORD callback_kind = CALLBACK_NULL;
    HWND window = nullptr;            // CALLBACK_WINDOW
    LPWAVEINPROC function = nullptr;  // CALLBACK_FUNCTION
    DWORD_PTR instance = 0;
    int align = 1;               // bytes per frame
    std::deque<WAVEHDR*> queue;  // queued headers; the first one fills
    uint64_t frames = 0;         // frames put into headers since open or reset
    bool started = false;
    bool closed = false;
};

// SDL's capture callback (userdata: the Input). Copies whole frames into the
// queued headers and gives back the full ones.
void SDLCALL capture(void* userdata, Uint8* stream, int len);
// Takes hdr out of the queue as done; the caller tells its callback after
// letting go of in->m (give_back). Caller holds in->m.
void finish(Input* in, WAVEHDR* hdr);
// Tells the callback of in about msg (WIM_*) with param. Call without in->m.
void notify(Input* in, UINT msg, DWORD_PTR param);

}  // namespace plat::wave_in
