// Playing a source through the default wave output: a ring of buffers read
// ahead and queued in order; each buffer that has played is read again from
// further on and queued behind the others until the range is used up. A
// buffer has played when the output's position has passed its end: the
// position is read under the output's lock, the header flags are not.
#include <algorithm>

#include "mci_private.h"

namespace plat::mci {

namespace {

constexpr size_t kBuffers = 8;

// Reads the next part of the range into header i and queues it; false when the
// source failed.
bool fill(Player& p, size_t i) {
    size_t n = size_t(std::min<uint64_t>(p.chunk, p.to - p.next));
    WAVEHDR& h = p.headers[i];
    if (!p.read(p.next, n, h.lpData)) return false;
    h.dwBufferLength = DWORD(n);
    h.dwFlags &= ~DWORD(WHDR_DONE);
    if (waveOutWrite(p.out, &h, sizeof(h)) != MMSYSERR_NOERROR) return false;
    p.next += n;
    p.queued.push_back({i, p.next});
    return true;
}

void release(Player& p) {
    for (WAVEHDR& h : p.headers) waveOutUnprepareHeader(p.out, &h, sizeof(h));
    waveOutClose(p.out);
    p.out = nullptr;
    p.headers.clear();
    p.buffers.clear();
    p.queued.clear();
}

}  // namespace

MCIERROR player_start(Player& p, const WAVEFORMATEX& format, uint64_t from, uint64_t to,
                      size_t chunk) {
    WAVEFORMATEX f = format;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.cbSize = 0;
    MMRESULT r = waveOutOpen(&p.out, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL);
    if (r != MMSYSERR_NOERROR) {
        p.out = nullptr;
        return r == MMSYSERR_NOMEM ? MCIERROR(MCIERR_OUT_OF_MEMORY)
                                   : MCIERROR(MCIERR_WAVE_OUTPUTSUNSUITABLE);
    }
    // Nothing plays until the ring is full, so the first buffers leave no gap.
    waveOutPause(p.out);
    // Whole frames only: the output plays no part of a frame.
    uint64_t align = std::max<uint64_t>(f.nBlockAlign, 1);
    p.from = p.next = from;
    p.to = from + (std::max(from, to) - from) / align * align;
    p.chunk = chunk;
    p.paused = false;
    p.buffers.clear();
    p.headers.assign(kBuffers, WAVEHDR{});
    p.queued.clear();
    for (size_t i = 0; i < kBuffers; ++i) {
        p.buffers.push_back(std::make_unique<char[]>(chunk));
        p.headers[i].lpData = p.buffers[i].get();
        p.headers[i].dwBufferLength = DWORD(chunk);
        waveOutPrepareHeader(p.out, &p.headers[i], sizeof(WAVEHDR));
    }
    for (size_t i = 0; i < kBuffers && p.next < p.to; ++i) {
        if (!fill(p, i)) {
            waveOutReset(p.out);
            release(p);
            return MCIERR_HARDWARE;
        }
    }
    waveOutRestart(p.out);
    return 0;
}

PlayState player_step(Player& p) {
    if (!p.out) return PlayState::kDone;
    uint64_t played = player_position(p);
    while (!p.queued.empty() && played >= p.queued.front().end) {
        size_t i = p.queued.front().index;
        p.queued.pop_front();
        if (p.next < p.to && !fill(p, i)) return PlayState::kFailed;
    }
    return p.queued.empty() ? PlayState::kDone : PlayState::kPlaying;
}

uint64_t player_position(const Player& p) {
    if (!p.out) return p.next;
    MMTIME t{};
    t.wType = TIME_BYTES;
    if (waveOutGetPosition(p.out, &t, sizeof(t)) != MMSYSERR_NOERROR) return p.from;
    return std::min(p.from + t.u.cb, p.to);
}

void player_pause(Player& p, bool pause) {
    if (!p.out) return;
    if (pause)
        waveOutPause(p.out);
    else
        waveOutRestart(p.out);
    p.paused = pause;
}

void player_stop(Player& p) {
    if (!p.out) return;
    waveOutReset(p.out);
    release(p);
}

}  // namespace plat::mci
