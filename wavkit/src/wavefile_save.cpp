// Saving the active document as a PCM wave file.
//
// The file is written under a new name in the target's folder, flushed to the
// disk, and renamed over the target only when every byte is written; the
// folder is flushed after the rename. So a failed save (a read-only folder, a
// full disk) or a crash leaves the old file or the new one whole; the document
// is marked saved only after the rename. The new name is
// ".<name>.saving-<pid>-<n>": what a killed save leaves under it is removed
// when the same file is saved next, once its process is gone.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

std::string name_of(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temp_prefix(const std::string& target) {
    return "." + name_of(target) + ".saving-";
}

// Removes the files that saves of target by processes no longer running left
// beside it (a save killed midway). Another process's save in progress stays.
void remove_dead_leftovers(const std::string& target) {
    std::string dir = folder_of(target), prefix = temp_prefix(target);
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        char* end = nullptr;
        long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid <= 0 || *end != '-' || pid == getpid()) continue;
        if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            unlink((dir + "/" + name).c_str());
    }
    closedir(d);
}

// Flushes a file or folder to the disk; false when the disk refused.
bool flush_to_disk(const std::string& path, int flags) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Creates an unused file beside the target (mode from the umask); its name, or "".
std::string create_temp_beside(const std::string& target) {
    std::string dir = folder_of(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = dir + "/" + temp_prefix(target) + std::to_string(getpid()) + "-" +
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
    remove_dead_leftovers(target);
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
    if (!message && !flush_to_disk(temp, O_RDONLY)) message = kCannotWriteData;
    if (!message && exists) chmod(temp.c_str(), old.st_mode & 07777);
    if (!message && std::rename(temp.c_str(), target.c_str()) != 0) message = kReadOnly;
    if (message) {
        unlink(temp.c_str());
        return message;
    }
    // Some file systems cannot flush a folder; the file itself is on the disk.
    flush_to_disk(folder_of(target), O_RDONLY | O_DIRECTORY);
    return nullptr;
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
            wave::refuse_long_path(frame, (std::string(path) + ".wav").c_str());
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
