// Saving the active document as a PCM wave file.
//
// The file is written under a new name in the target's folder and renamed over
// the target only when every byte is written, so a failed save (a read-only
// folder, a full disk) leaves the old file as it was; the document is marked
// saved only after that rename.
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "entry.h"
#include "wavefile.h"

namespace {

const char kReadOnly[] = "Cannot write. May be read-only.";
const char kCannotWriteData[] = "Cannot write data.";

std::string folder_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save replaces: a symbolic link is followed, so the link stays.
std::string resolve_target(const char* path) {
    struct stat st {};
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path, nullptr)) {
            std::string r = real;
            std::free(real);
            return r;
        }
    }
    return path;
}

// Creates an unused file beside the target (mode from the umask); its name, or "".
std::string create_temp_beside(const std::string& target) {
    std::string dir = folder_of(target);
    std::string base =
        target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = dir + "/." + base + ".saving-" + std::to_string(getpid()) + "-" +
                           std::to_string(attempt);
        int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) break;
    }
    return "";
}

void put16(unsigned char* p, WORD v) {
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}
void put32(unsigned char* p, DWORD v) {
    for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i));
}

// Writes the RIFF wave layout (header, data, pad byte) to an open file.
const char* write_riff(HMMIO m, const HeaderBlock& h, const BYTE* data) {
    MMCKINFO riff{}, fmt{}, chunk{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioCreateChunk(m, &riff, MMIO_CREATERIFF) != MMSYSERR_NOERROR) return kReadOnly;
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    fmt.cksize = 16;
    if (mmioCreateChunk(m, &fmt, 0) != MMSYSERR_NOERROR) return kReadOnly;
    unsigned char f[16];
    put16(f, 1);
    put16(f + 2, h.channels);
    put32(f + 4, h.samplesPerSec);
    put32(f + 8, h.bytesPerSec);
    put16(f + 12, h.blockAlign);
    put16(f + 14, h.bitsPerSample);
    if (mmioWrite(m, reinterpret_cast<const char*>(f), 16) != 16)
        return "Cannot write PCMWAVEFORMAT. May be read-only.";
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    chunk.cksize = h.dataSize;
    if (mmioAscend(m, &fmt, 0) != MMSYSERR_NOERROR ||
        mmioCreateChunk(m, &chunk, 0) != MMSYSERR_NOERROR)
        return "Cannot write data. May be read-only.";
    for (ULONGLONG done = 0; done < h.dataSize;) {
        LONG n = static_cast<LONG>(std::min<ULONGLONG>(h.dataSize - done, 1u << 30));
        if (mmioWrite(m, reinterpret_cast<const char*>(data + done), n) != n)
            return kCannotWriteData;
        done += static_cast<ULONGLONG>(n);
    }
    if (mmioAscend(m, &chunk, 0) != MMSYSERR_NOERROR ||
        mmioAscend(m, &riff, 0) != MMSYSERR_NOERROR || mmioFlush(m, 0) != MMSYSERR_NOERROR)
        return kCannotWriteData;
    return nullptr;
}

// Writes the document's HEADER and data to path through a file beside it.
const char* write_document(HWND d, const char* path) {
    std::string target = resolve_target(path);
    struct stat old {};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && (S_ISDIR(old.st_mode) || access(target.c_str(), W_OK) != 0)) return kReadOnly;
    std::string temp = create_temp_beside(target);
    if (temp.empty()) return kReadOnly;
    const char* message = nullptr;
    HMMIO m = mmioOpen(const_cast<LPSTR>(temp.c_str()), nullptr, MMIO_CREATE | MMIO_WRITE);
    if (!m) {
        message = kReadOnly;
    } else {
        doc::Work work(d);
        if (!work.header)
            message = kReadOnly;
        else if (work.header->dataSize &&
                 (!work.wave || GlobalSize(work.wave.handle) < work.header->dataSize))
            message = kCannotWriteData;
        else
            message = write_riff(m, *work.header, work.wave.ptr);
        if (mmioClose(m, 0) != MMSYSERR_NOERROR && !message) message = kCannotWriteData;
    }
    if (!message && exists) chmod(temp.c_str(), old.st_mode & 07777);
    if (!message && std::rename(temp.c_str(), target.c_str()) != 0) message = kReadOnly;
    if (message) unlink(temp.c_str());
    return message;
}

// The free-space check: false (after the message) when the drive of the path
// has no more free bytes than the file would take.
bool enough_space(HWND frame, HWND d, const char* path) {
    DWORD fileLength = 0;
    {
        DocumentLock guard(d);
        doc::Pin<HeaderBlock> h(d, PROP_HEADER);
        if (h) fileLength = h->fileLength;
    }
    ULONGLONG freeBytes = 0, total = 0, totalFree = 0;
    if (!GetDiskFreeSpaceEx(folder_of(path).c_str(), &freeBytes, &total, &totalFree)) return true;
    if (freeBytes > fileLength) return true;
    char text[160];
    std::snprintf(text, sizeof text,
                  "Not enough free memory on specified drive.\nYou need %ld KB more.",
                  static_cast<long>((fileLength - freeBytes) / 1024));
    ErrorBox(frame, text);
    return false;
}

// A document not made from a PCM wave file is saved only as a wave file under
// a path the user picks; false when the user declines or cancels.
bool choose_wave_path(HWND frame, HWND d, char* path) {
    doc::Pin<InfoBlock> info(d, PROP_INFO);
    if (!info || info->sourceFormat == SOURCE_PCM_WAVE) return true;
    info.release();
    if (MessageBox(
            frame,
            "This file can not be saved in its original format.\rShall I save it as a .WAV file?",
            "Save Problem", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    std::string chosen = SaveBox(frame);
    if (strcasecmp(chosen.c_str(), "FALSE") == 0) return false;
    std::snprintf(path, INFO_PATH_CHARS, "%s", chosen.c_str());
    info = doc::Pin<InfoBlock>(d, PROP_INFO);
    if (info && info->path != path) std::snprintf(info->path, INFO_PATH_CHARS, "%s", path);
    info.release();
    SetWindowText(d, path);
    return true;
}

BOOL save(HWND frame, char* path) {
    HWND d = doc::active_document(frame);
    if (!d || !path) return 0;
    if (!enough_space(frame, d, path)) return 0;
    if (!choose_wave_path(frame, d, path)) return 0;
    size_t len = std::strlen(path);
    if (len < 4 || path[len - 4] != '.') {
        if (len + 4 >= INFO_PATH_CHARS) {
            ErrorBox(frame, kReadOnly);
            return 0;
        }
        std::memcpy(path + len, ".wav", 5);
    }
    if (const char* message = write_document(d, path)) {
        ErrorBox(frame, message);
        return 0;
    }
    SetFileSaved(d);
    return 1;
}

}  // namespace

WAVKIT_API BOOL SaveWAV(HWND frame, LPSTR path) {
    return entry::guarded(entry::error_box(frame, "Cannot write data.", 0),
                          [&] { return save(frame, path); });
}
