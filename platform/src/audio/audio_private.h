// The audio area: wave output devices and sound playing on SDL audio. One open
// wave output is the state shared by the waveOut entry points and SDL's audio
// callback, which runs on SDL's audio thread.
#pragma once

#include <SDL2/SDL.h>
#include <platform/platform.h>

#include <cstdint>
#include <deque>
#include <mutex>

namespace plat {
// Starts SDL audio once for the process, without SDL's signal handlers (so
// SIGINT and SIGTERM still end the program). False when audio cannot start;
// a later call tries again.
bool start_audio();
// Serialises SDL's device open, pause and close for inputs and outputs alike.
// Never taken inside an audio callback.
std::mutex& sdl_device_lock();
// For the testing hooks: TRUE while a sound started by PlaySound still plays.
bool sound_playing();
}  // namespace plat

namespace plat::wave {

struct Output {
    std::mutex m;  // guards every field below; the audio callback takes it too
    SDL_AudioDeviceID device = 0;
    HWAVEOUT handle = nullptr;
    HWND window = nullptr;  // told MM_WOM_* when opened with CALLBACK_WINDOW
    int bits = 8;
    int channels = 1;
    int align = 1;               // bytes per frame
    std::deque<WAVEHDR*> queue;  // queued headers; the first one plays
    uint64_t offset = 0;         // bytes of the first header played in this pass
    uint64_t passes_left = 0;    // passes of the first header still due, this one included
    uint64_t frames = 0;         // frames played since open or reset, through loops
    DWORD volume = 0xFFFFFFFF;   // low word left, high word right
    bool paused = false;
    bool closed = false;
};

// SDL's audio callback (userdata: the Output). Copies frames from the queued
// headers in place, scaled by the volume; silence when paused or idle.
void SDLCALL fill(void* userdata, Uint8* stream, int len);
// Prepares the passes of the header now first in the queue. Caller holds o->m.
void start_head(Output* o);
// Gives a header back: not queued, done, and MM_WOM_DONE to the window.
// Caller holds o->m.
void finish(Output* o, WAVEHDR* hdr);

}  // namespace plat::wave
