// Buffered RIFF file I/O over POSIX files: open, close, read, write, seek.
//
// Small reads are served from a 64 KB read-ahead window and small contiguous
// writes are gathered in it; large transfers go straight to the file, and
// large writes are handed to the disk piece by piece as they are written, so
// that a flush after them (a save's) waits for little more than the last piece. A write
// error (a full disk, a size limit) is remembered, so the caller learns of it
// at the latest from mmioClose.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "files_private.h"

namespace plat::mmio {
namespace {

constexpr int64_t kWindow = 64 * 1024;

std::mutex g_handles_mutex;
std::unordered_set<File*>& handles() {
    static auto* set = new std::unordered_set<File*>;  // lives to the process end
    return *set;
}

bool pwrite_all(int fd, const char* p, int64_t n, int64_t at) {
    while (n > 0) {
        ssize_t w = ::pwrite(fd, p, static_cast<size_t>(std::min<int64_t>(n, 1 << 30)), at);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        at += w;
        n -= w;
    }
    return true;
}

int64_t pread_all(int fd, char* p, int64_t n, int64_t at) {
    int64_t got = 0;
    while (got < n) {
        ssize_t r = ::pread(fd, p + got, static_cast<size_t>(std::min<int64_t>(n - got, 1 << 30)),
                            at + got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += r;
    }
    return got;
}

constexpr int64_t kDiskPiece = 16 << 20;

// Writes n bytes at `at` in pieces, starting each piece's way to the disk
// (without waiting for it) once it is written.
bool pwrite_to_disk(int fd, const char* p, int64_t n, int64_t at) {
    while (n > 0) {
        int64_t piece = std::min(n, kDiskPiece);
        if (!pwrite_all(fd, p, piece, at)) return false;
        sync_file_range(fd, at, piece, SYNC_FILE_RANGE_WRITE);
        p += piece;
        at += piece;
        n -= piece;
    }
    return true;
}

bool in_window(const File* f, int64_t at, int64_t n) {
    return !f->dirty && at >= f->bufStart && at + n <= f->bufStart + f->bufLen;
}

}  // namespace

File* file_of(HMMIO h) {
    File* f = reinterpret_cast<File*>(h);
    std::lock_guard<std::mutex> lock(g_handles_mutex);
    return handles().count(f) ? f : nullptr;
}

bool flush(File* f) {
    if (f->dirty) {
        f->dirty = false;
        if (!pwrite_all(f->fd, f->buf.data(), f->bufLen, f->bufStart)) f->failed = true;
        f->bufLen = 0;
    }
    return !f->failed;
}

int64_t read_at_pos(File* f, char* out, int64_t n) {
    if (!f->readable || n < 0) return -1;
    if (!flush(f) && f->writable) return -1;
    n = std::min(n, std::max<int64_t>(0, f->size - f->pos));
    if (n == 0) return 0;
    if (!in_window(f, f->pos, n)) {
        if (n >= kWindow) {
            int64_t got = pread_all(f->fd, out, n, f->pos);
            if (got > 0) f->pos += got;
            return got;
        }
        f->buf.resize(kWindow);
        int64_t got = pread_all(f->fd, f->buf.data(), kWindow, f->pos);
        if (got < 0) return -1;
        f->bufStart = f->pos;
        f->bufLen = got;
        n = std::min(n, got);
    }
    std::memcpy(out, f->buf.data() + (f->pos - f->bufStart), static_cast<size_t>(n));
    f->pos += n;
    return n;
}

bool write_at_pos(File* f, const char* in, int64_t n) {
    if (!f->writable || n < 0 || f->failed) return false;
    if (n == 0) return true;
    bool appends = f->dirty && f->pos == f->bufStart + f->bufLen;
    if (!appends || f->bufLen + n > kWindow) {
        if (!flush(f)) return false;
        f->bufLen = 0;
        f->bufStart = f->pos;
    }
    if (n >= kWindow) {
        if (!pwrite_to_disk(f->fd, in, n, f->pos)) {
            f->failed = true;
            return false;
        }
    } else {
        f->buf.resize(kWindow);
        std::memcpy(f->buf.data() + f->bufLen, in, static_cast<size_t>(n));
        f->bufLen += n;
        f->dirty = true;
    }
    f->pos += n;
    f->size = std::max(f->size, f->pos);
    return true;
}

bool seek_to(File* f, int64_t pos) {
    if (pos < 0) return false;
    f->pos = f->writable ? pos : std::min(pos, f->size);
    return true;
}

}  // namespace plat::mmio

using plat::mmio::File;

PLATFORM_API HMMIO mmioOpen(LPSTR path, MMIOINFO* info, DWORD flags) {
    if (info) info->wErrorRet = MMIOERR_CANNOTOPEN;
    if (!path) return nullptr;
    int mode = (flags & MMIO_READWRITE) ? O_RDWR : (flags & MMIO_WRITE) ? O_WRONLY : O_RDONLY;
    if (flags & MMIO_CREATE) mode |= O_CREAT | O_TRUNC;
    int fd = plat::open_regular(path, mode, 0666);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return nullptr;
    }
    File* f = new File;
    f->fd = fd;
    f->readable = (mode & O_ACCMODE) != O_WRONLY;
    f->writable = (mode & O_ACCMODE) != O_RDONLY;
    f->size = st.st_size;
    {
        std::lock_guard<std::mutex> lock(plat::mmio::g_handles_mutex);
        plat::mmio::handles().insert(f);
    }
    HMMIO h = reinterpret_cast<HMMIO>(f);
    if (info) {
        info->wErrorRet = 0;
        info->hmmio = h;
    }
    return h;
}

PLATFORM_API MMRESULT mmioClose(HMMIO h, UINT) {
    File* f = plat::mmio::file_of(h);
    if (!f) return MMIOERR_CANNOTCLOSE;
    {
        std::lock_guard<std::mutex> lock(plat::mmio::g_handles_mutex);
        plat::mmio::handles().erase(f);
    }
    bool ok = plat::mmio::flush(f);
    if (::close(f->fd) != 0 && f->writable) ok = false;
    delete f;
    return ok ? MMSYSERR_NOERROR : MMIOERR_CANNOTWRITE;
}

PLATFORM_API LONG mmioRead(HMMIO h, char* buf, LONG n) {
    File* f = plat::mmio::file_of(h);
    if (!f || !buf || n < 0) return -1;
    return static_cast<LONG>(plat::mmio::read_at_pos(f, buf, n));
}

PLATFORM_API LONG mmioWrite(HMMIO h, const char* buf, LONG n) {
    File* f = plat::mmio::file_of(h);
    if (!f || !buf || n < 0) return -1;
    return plat::mmio::write_at_pos(f, buf, n) ? n : -1;
}

PLATFORM_API LONG mmioSeek(HMMIO h, LONG offset, int origin) {
    File* f = plat::mmio::file_of(h);
    if (!f) return -1;
    int64_t base = origin == SEEK_SET   ? 0
                   : origin == SEEK_CUR ? f->pos
                   : origin == SEEK_END ? f->size
                                        : -1;
    if (base < 0) return -1;
    int64_t target = base + offset;
    if (target > LONG_MAX || !plat::mmio::seek_to(f, target)) return -1;
    return static_cast<LONG>(f->pos);
}

PLATFORM_API MMRESULT mmioFlush(HMMIO h, UINT) {
    File* f = plat::mmio::file_of(h);
    if (!f) return MMIOERR_CANNOTWRITE;
    return plat::mmio::flush(f) ? MMSYSERR_NOERROR : MMIOERR_CANNOTWRITE;
}
