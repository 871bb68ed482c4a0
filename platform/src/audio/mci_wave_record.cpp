// Recording for the waveaudio device: a ring of buffers on the default wave
// input, each full buffer appended to the capture and queued again at once on
// the audio thread, so no sound is lost between buffers.
#include <algorithm>

#include "mci_private.h"

namespace plat::mci {

namespace {

constexpr size_t kBuffers = 8;

void on_input(HWAVEIN in, UINT msg, DWORD_PTR instance, DWORD_PTR param, DWORD_PTR) {
    if (msg != WIM_DATA) return;
    auto* r = reinterpret_cast<Recorder*>(instance);
    auto* h = reinterpret_cast<WAVEHDR*>(param);
    // Queueing again under r->m: once recorder_stop has cleared accepting no
    // buffer goes back in, so its reset gives every buffer back.
    std::lock_guard lock(r->m);
    uint64_t room = r->limit - std::min<uint64_t>(r->limit, r->captured.size());
    size_t n = size_t(std::min<uint64_t>(h->dwBytesRecorded, room));
    try {
        r->captured.insert(r->captured.end(), h->lpData, h->lpData + n);
    } catch (const std::bad_alloc&) {
        r->failed = true;
    }
    if (r->accepting && !r->failed && r->captured.size() < r->limit)
        waveInAddBuffer(in, h, sizeof(WAVEHDR));
}

MCIERROR input_error(MMRESULT r) {
    return r == MMSYSERR_NOMEM ? MCIERROR(MCIERR_OUT_OF_MEMORY)
                               : MCIERROR(MCIERR_WAVE_INPUTSUNSUITABLE);
}

}  // namespace

MCIERROR recorder_start(Recorder& r, const WAVEFORMATEX& format, uint64_t limit) {
    r.captured.clear();
    r.failed = false;
    r.limit = limit;
    r.accepting = true;
    MMRESULT res = waveInOpen(&r.in, WAVE_MAPPER, &format, DWORD_PTR(on_input),
                              reinterpret_cast<DWORD_PTR>(&r), CALLBACK_FUNCTION);
    if (res != MMSYSERR_NOERROR) {
        r.in = nullptr;
        return input_error(res);
    }
    // About a tenth of a second per buffer, whole frames.
    size_t align = std::max<size_t>(format.nBlockAlign, 1);
    size_t bytes = std::max<size_t>(format.nAvgBytesPerSec / 10 / align, 64) * align;
    r.buffers.clear();
    r.headers.assign(kBuffers, WAVEHDR{});
    for (size_t i = 0; i < kBuffers; ++i) {
        r.buffers.push_back(std::make_unique<char[]>(bytes));
        r.headers[i].lpData = r.buffers[i].get();
        r.headers[i].dwBufferLength = DWORD(bytes);
        waveInPrepareHeader(r.in, &r.headers[i], sizeof(WAVEHDR));
        waveInAddBuffer(r.in, &r.headers[i], sizeof(WAVEHDR));
    }
    res = waveInStart(r.in);
    if (res != MMSYSERR_NOERROR) {
        recorder_stop(r);
        return input_error(res);
    }
    return 0;
}

void recorder_pause(Recorder& r, bool pause) {
    if (!r.in) return;
    {
        std::lock_guard lock(r.m);
        r.accepting = !pause;
    }
    if (pause) {
        // Gives back the buffer being filled; its sound is kept.
        waveInStop(r.in);
        return;
    }
    // The input is stopped, so no callback touches the headers now.
    for (WAVEHDR& h : r.headers)
        if (!(h.dwFlags & WHDR_INQUEUE)) waveInAddBuffer(r.in, &h, sizeof(WAVEHDR));
    waveInStart(r.in);
}

uint64_t recorder_bytes(Recorder& r) {
    std::lock_guard lock(r.m);
    return r.captured.size();
}

bool recorder_over(Recorder& r, bool* failed) {
    std::lock_guard lock(r.m);
    *failed = r.failed;
    return r.failed || r.captured.size() >= r.limit;
}

std::vector<char> recorder_stop(Recorder& r) {
    if (r.in) {
        {
            std::lock_guard lock(r.m);
            r.accepting = false;
        }
        waveInReset(r.in);
        for (WAVEHDR& h : r.headers) waveInUnprepareHeader(r.in, &h, sizeof(WAVEHDR));
        waveInClose(r.in);
        r.in = nullptr;
    }
    r.headers.clear();
    r.buffers.clear();
    std::lock_guard lock(r.m);
    std::vector<char> out;
    out.swap(r.captured);
    return out;
}

}  // namespace plat::mci
