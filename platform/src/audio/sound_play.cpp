// PlaySound: a whole wave read with libsndfile (any format it decodes) and
// queued on an SDL audio device opened for the wave's rate and channels as
// 16-bit samples. One sound plays at a time; the device stays open until the
// next call or the end of the process.
#include <SDL2/SDL.h>
#include <fcntl.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "audio_private.h"
#include "files/files_private.h"

namespace {

struct Decoded {
    int rate = 0;
    int channels = 0;
    std::vector<short> samples;  // interleaved frames
};

struct MemoryFile {
    const unsigned char* data;
    sf_count_t size;
    sf_count_t pos;
};

sf_count_t mem_length(void* u) {
    return static_cast<MemoryFile*>(u)->size;
}
sf_count_t mem_seek(sf_count_t offset, int whence, void* u) {
    auto* m = static_cast<MemoryFile*>(u);
    sf_count_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
    sf_count_t to = base + offset;
    if (to < 0 || to > m->size) return -1;
    m->pos = to;
    return to;
}
sf_count_t mem_read(void* ptr, sf_count_t count, void* u) {
    auto* m = static_cast<MemoryFile*>(u);
    sf_count_t n = std::min(count, m->size - m->pos);
    if (n <= 0) return 0;
    std::memcpy(ptr, m->data + m->pos, size_t(n));
    m->pos += n;
    return n;
}
sf_count_t mem_write(const void*, sf_count_t, void*) {
    return 0;
}
sf_count_t mem_tell(void* u) {
    return static_cast<MemoryFile*>(u)->pos;
}

bool decode(SNDFILE* f, const SF_INFO& info, Decoded* out) {
    if (!f) return false;
    bool ok = info.channels > 0 && info.samplerate > 0 && info.frames >= 0;
    if (ok) {
        out->rate = info.samplerate;
        out->channels = info.channels;
        out->samples.resize(size_t(info.frames) * size_t(info.channels));
        sf_count_t got = sf_readf_short(f, out->samples.data(), info.frames);
        out->samples.resize(size_t(std::max<sf_count_t>(got, 0)) * size_t(info.channels));
    }
    sf_close(f);
    return ok && !out->samples.empty();
}

bool decode_file(const char* path, Decoded* out) {
    int fd = path ? plat::open_regular(path, O_RDONLY, 0) : -1;
    if (fd < 0) return false;
    SF_INFO info{};
    return decode(sf_open_fd(fd, SFM_READ, &info, SF_TRUE), info, out);
}

bool decode_memory(const void* data, size_t size, Decoded* out) {
    SF_VIRTUAL_IO io{mem_length, mem_seek, mem_read, mem_write, mem_tell};
    MemoryFile m{static_cast<const unsigned char*>(data), sf_count_t(size), 0};
    SF_INFO info{};
    return decode(sf_open_virtual(&io, SFM_READ, &info, &m), info, out);
}

// The bytes of a wave image in memory: its RIFF chunk and header.
size_t riff_image_size(const void* data) {
    const auto* b = static_cast<const unsigned char*>(data);
    if (std::memcmp(b, "RIFF", 4) != 0) return 0;
    return size_t(b[4] | b[5] << 8 | b[6] << 16 | uint32_t(b[7]) << 24) + 8;
}

struct Player {
    std::mutex m;
    SDL_AudioDeviceID device = 0;

    ~Player() { stop(); }
    void stop() {
        if (device) SDL_CloseAudioDevice(device);
        device = 0;
    }
    bool playing() const { return device && SDL_GetQueuedAudioSize(device) > 0; }
    bool start(const Decoded& d) {
        if (!plat::start_audio()) return false;
        SDL_AudioSpec want{}, have{};
        want.freq = d.rate;
        want.format = AUDIO_S16SYS;
        want.channels = Uint8(std::min(d.channels, 8));
        want.samples = 1024;
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device) return false;
        SDL_QueueAudio(device, d.samples.data(), Uint32(d.samples.size() * sizeof(short)));
        SDL_PauseAudioDevice(device, 0);
        return true;
    }
};

Player& player() {
    static Player p;
    return p;
}

bool load(LPCSTR sound, HMODULE mod, DWORD flags, Decoded* out) {
    if ((flags & SND_RESOURCE) == SND_RESOURCE) {
        DWORD size = 0;
        const void* data = PlatformFindData(mod, "WAVE", sound, &size);
        return data && decode_memory(data, size, out);
    }
    if (flags & SND_MEMORY) {
        size_t size = riff_image_size(sound);
        return size && decode_memory(sound, size, out);
    }
    if (flags & SND_ALIAS) return false;
    return decode_file(sound, out);
}

void wait_until_quiet() {
    for (;;) {
        {
            std::lock_guard lock(player().m);
            if (!player().playing()) return;
        }
        if (PlatformIsUiThread()) PlatformServeSentMessages();
        Sleep(10);
    }
}

}  // namespace

namespace plat {

bool sound_playing() {
    std::lock_guard lock(player().m);
    return player().playing();
}

}  // namespace plat

extern "C" {

BOOL PlaySound(LPCSTR sound, HMODULE mod, DWORD flags) {
    Player& p = player();
    if (!sound || (flags & SND_PURGE)) {
        std::lock_guard lock(p.m);
        p.stop();
        return TRUE;
    }
    {
        std::lock_guard lock(p.m);
        if ((flags & SND_NOSTOP) && p.playing()) return FALSE;
    }
    Decoded d;
    bool ok = load(sound, mod, flags, &d);
    {
        std::lock_guard lock(p.m);
        p.stop();
        if (ok) ok = p.start(d);
    }
    if (ok && !(flags & SND_ASYNC)) wait_until_quiet();
    return ok ? TRUE : FALSE;
}
}
