// The sound of a waveaudio device: reading a wave file's format and data
// place with the layer's RIFF functions, reading its samples as they play,
// and saving a sound as a PCM wave file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "mci_private.h"

namespace plat::mci {

namespace {

// A RIFF size field cannot count more.
constexpr uint64_t kMaxData = 0xFFFFFFFFull - 36;
constexpr LONG kPiece = 1 << 20;

bool pcm_format(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
           (f.nChannels == 1 || f.nChannels == 2) && f.nSamplesPerSec > 0;
}

MCIERROR read_chunks(HMMIO h, const std::string& path, WaveSound* s) {
    MMCKINFO riff{}, fmt{}, data{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF)) return MCIERR_INVALID_FILE;
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK) || fmt.cksize < 16) return MCIERR_INVALID_FILE;
    WAVEFORMATEX f{};
    if (mmioRead(h, reinterpret_cast<char*>(&f), 16) != 16) return MCIERR_INVALID_FILE;
    f.cbSize = 0;
    f.nBlockAlign = WORD(f.wBitsPerSample / 8 * f.nChannels);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    if (!pcm_format(f)) return MCIERR_INVALID_FILE;
    mmioAscend(h, &fmt, 0);
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(h, &data, &riff, MMIO_FINDCHUNK)) return MCIERR_INVALID_FILE;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return MCIERR_FILE_NOT_FOUND;
    uint64_t end =
        std::min<uint64_t>(uint64_t(data.dwDataOffset) + data.cksize, uint64_t(st.st_size));
    s->format = f;
    s->file_offset = data.dwDataOffset;
    s->file_bytes = end > s->file_offset ? end - s->file_offset : 0;
    return 0;
}

}  // namespace

uint64_t sound_bytes(const WaveSound& s) {
    return s.fd >= 0 ? s.file_bytes : s.data.size();
}

bool read_sound(const WaveSound& s, uint64_t offset, size_t bytes, char* out) {
    if (offset + bytes > sound_bytes(s)) return false;
    if (s.fd < 0) {
        std::memcpy(out, s.data.data() + offset, bytes);
        return true;
    }
    size_t done = 0;
    while (done < bytes) {
        ssize_t n = pread(s.fd, out + done, bytes - done, off_t(s.file_offset + offset + done));
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

MCIERROR load_wave_file(const std::string& path, WaveSound* s) {
    std::string p = path;
    HMMIO h = mmioOpen(p.data(), nullptr, MMIO_READ);
    if (!h) return MCIERR_FILE_NOT_FOUND;
    MCIERROR err = read_chunks(h, path, s);
    mmioClose(h, 0);
    if (err) return err;
    s->fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (s->fd < 0) return MCIERR_FILE_NOT_FOUND;
    s->path = path;
    return 0;
}

MCIERROR bring_into_memory(WaveSound& s) {
    if (s.fd < 0) return 0;
    std::vector<char> data;
    try {
        data.resize(size_t(s.file_bytes));
    } catch (const std::bad_alloc&) {
        return MCIERR_OUT_OF_MEMORY;
    }
    if (!read_sound(s, 0, data.size(), data.data())) return MCIERR_FILE_NOT_FOUND;
    close(s.fd);
    s.fd = -1;
    s.data = std::move(data);
    return 0;
}

void drop_sound(WaveSound& s) {
    if (s.fd >= 0) close(s.fd);
    s.fd = -1;
    s.data.clear();
    s.data.shrink_to_fit();
}

MCIERROR save_wave_file(WaveSound& s, const std::string& path) {
    uint64_t bytes = sound_bytes(s);
    if (bytes > kMaxData) return MCIERR_FILE_NOT_SAVED;
    std::string part = path + ".part";
    HMMIO h = mmioOpen(part.data(), nullptr, MMIO_CREATE | MMIO_WRITE);
    if (!h) return MCIERR_FILE_NOT_SAVED;
    MMCKINFO riff{}, fmt{}, data{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    bool ok = mmioCreateChunk(h, &riff, MMIO_CREATERIFF) == MMSYSERR_NOERROR;
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    ok = ok && mmioCreateChunk(h, &fmt, 0) == MMSYSERR_NOERROR;
    ok = ok && mmioWrite(h, reinterpret_cast<const char*>(&s.format), 16) == 16;
    ok = ok && mmioAscend(h, &fmt, 0) == MMSYSERR_NOERROR;
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ok = ok && mmioCreateChunk(h, &data, 0) == MMSYSERR_NOERROR;
    std::vector<char> piece(size_t(std::min<uint64_t>(bytes, kPiece)));
    for (uint64_t at = 0; ok && at < bytes;) {
        LONG n = LONG(std::min<uint64_t>(bytes - at, kPiece));
        ok = read_sound(s, at, size_t(n), piece.data()) && mmioWrite(h, piece.data(), n) == n;
        at += uint64_t(n);
    }
    ok = ok && mmioAscend(h, &data, 0) == MMSYSERR_NOERROR;
    ok = ok && mmioAscend(h, &riff, 0) == MMSYSERR_NOERROR;
    ok = mmioClose(h, 0) == MMSYSERR_NOERROR && ok;
    if (ok) ok = std::rename(part.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(part.c_str());
        return MCIERR_FILE_NOT_SAVED;
    }
    return 0;
}

}  // namespace plat::mci
