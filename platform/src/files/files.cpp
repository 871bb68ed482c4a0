// Copying, deleting, renaming and probing files with the platform's results:
// TRUE/FALSE and the reason through GetLastError.
#include <fcntl.h>
#include <platform/platform.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "files_private.h"

namespace {

DWORD error_of(int err) {
    switch (err) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case ENOSPC:
            return ERROR_DISK_FULL;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_ACCESS_DENIED;
    }
}

BOOL fail(int err) {
    SetLastError(error_of(err));
    return FALSE;
}

bool write_all(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// Copies the bytes of in to out; false with errno set on failure.
bool copy_bytes(int in, int out) {
    static constexpr size_t kChunk = 1 << 20;
    std::string buf(kChunk, '\0');
    for (;;) {
        ssize_t r = read(in, buf.data(), kChunk);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        if (r == 0) return true;
        if (!write_all(out, buf.data(), static_cast<size_t>(r))) return false;
    }
}

}  // namespace

namespace plat {

int open_regular(const char* path, int flags, mode_t perms) {
    struct stat st {};
    if (::stat(path, &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            errno = EINVAL;
            return -1;
        }
    } else if (errno != ENOENT || !(flags & O_CREAT)) {
        return -1;
    }
    int fd = ::open(path, flags | O_CLOEXEC | O_NONBLOCK, perms);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace plat

// The copy lands under a temporary name beside the target and then replaces
// it, so a reader never sees half a file and a failed copy leaves the old one.
PLATFORM_API BOOL CopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists) {
    if (!from || !to) return fail(ENOENT);
    int in = plat::open_regular(from, O_RDONLY, 0);
    if (in < 0) return fail(errno);
    struct stat src {
    }, dst{};
    fstat(in, &src);
    if (stat(to, &dst) == 0) {
        bool same = src.st_dev == dst.st_dev && src.st_ino == dst.st_ino;
        if (failIfExists || same) {
            close(in);
            return fail(same ? EACCES : EEXIST);
        }
    }
    std::string tmp = std::string(to) + ".copy-" + std::to_string(getpid());
    int out = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, src.st_mode & 0777);
    if (out < 0) {
        int err = errno;
        close(in);
        return fail(err);
    }
    bool ok = copy_bytes(in, out);
    int err = errno;
    close(in);
    if (close(out) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && failIfExists) {
        // link() refuses an existing target, which closes the race with another writer.
        ok = link(tmp.c_str(), to) == 0;
        err = errno;
        unlink(tmp.c_str());
        return ok ? TRUE : fail(err);
    }
    if (ok && rename(tmp.c_str(), to) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(tmp.c_str());
        return fail(err);
    }
    return TRUE;
}

PLATFORM_API BOOL DeleteFile(LPCSTR path) {
    if (!path) return fail(ENOENT);
    struct stat st {};
    if (lstat(path, &st) == 0 && S_ISDIR(st.st_mode)) return fail(EACCES);
    return unlink(path) == 0 ? TRUE : fail(errno);
}

PLATFORM_API BOOL MoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
    if (!from || !to) return fail(ENOENT);
    struct stat st {};
    if (lstat(from, &st) != 0) return fail(errno);
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && lstat(to, &st) == 0) return fail(EEXIST);
    if (rename(from, to) == 0) return TRUE;
    if (errno != EXDEV) return fail(errno);
    // Another file system: copy, then remove the source.
    if (!CopyFile(from, to, (flags & MOVEFILE_REPLACE_EXISTING) ? FALSE : TRUE)) return FALSE;
    return unlink(from) == 0 ? TRUE : fail(errno);
}

PLATFORM_API DWORD GetFileAttributes(LPCSTR path) {
    struct stat st {};
    if (!path || stat(path, &st) != 0) {
        SetLastError(error_of(path ? errno : ENOENT));
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    DWORD attrs = FILE_ATTRIBUTE_NORMAL;
    if (access(path, W_OK) != 0) attrs = FILE_ATTRIBUTE_READONLY;
    return attrs;
}
