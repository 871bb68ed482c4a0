// The per-user folders, free space and the program's own path.
#include <dlfcn.h>
#include <platform/datafolder.h>
#include <platform/platform.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "product.h"

namespace {

// Creates every missing folder of path with the given mode.
bool make_dirs(const std::string& path, mode_t mode) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A shared /tmp folder is used only when it is ours, a real folder, private.
bool private_dir(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return false;
    if ((st.st_mode & 077) != 0) chmod(path.c_str(), 0700);
    return true;
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string runtime_dir() {
    std::string home = env(plat::product::kHomeVariable);
    if (!home.empty()) {
        make_dirs(home + "/tmp", 0700);
        return home + "/tmp/";
    }
    std::string xdg = env("XDG_RUNTIME_DIR");
    std::string folder = std::string("/") + plat::product::kRuntimeFolder;
    if (!xdg.empty() && private_dir(xdg + folder)) return xdg + folder + "/";
    std::string tmp = "/tmp" + folder + "-" + std::to_string(getuid());
    if (private_dir(tmp)) return tmp + "/";
    std::string cache = env("HOME") + "/.cache/" + plat::product::kRuntimeCacheFolder;
    make_dirs(cache, 0700);
    return cache + "/";
}

std::string config_dir() {
    std::string home = env(plat::product::kHomeVariable);
    std::string dir;
    if (!home.empty()) {
        dir = home + "/config";
    } else if (!env("XDG_CONFIG_HOME").empty()) {
        dir = env("XDG_CONFIG_HOME") + "/" + plat::product::kConfigFolder;
    } else {
        dir = env("HOME") + "/.config/" + plat::product::kConfigFolder;
    }
    make_dirs(dir, 0700);
    return dir;
}

std::string data_dir() {
    std::string home = env(plat::product::kHomeVariable);
    std::string dir;
    if (!home.empty()) {
        dir = home + "/data";
    } else if (!env("XDG_DATA_HOME").empty()) {
        dir = env("XDG_DATA_HOME") + "/" + plat::product::kConfigFolder;
    } else {
        dir = env("HOME") + "/.local/share/" + plat::product::kConfigFolder;
    }
    make_dirs(dir, 0700);
    return dir;
}

// The platform's convention: the length without the terminator when it fits,
// else the size needed including it (the buffer is left alone).
DWORD give_text(const std::string& text, DWORD size, LPSTR buf) {
    if (!buf || text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buf, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

// statvfs of the folder, or of the nearest existing folder above it.
bool stat_fs(LPCSTR dir, struct statvfs* out) {
    std::string path = dir && *dir ? dir : ".";
    for (;;) {
        if (statvfs(path.c_str(), out) == 0) return true;
        size_t slash = path.find_last_of('/');
        if (slash == std::string::npos) return statvfs(".", out) == 0;
        if (slash == 0) return statvfs("/", out) == 0;
        path.resize(slash);
    }
}

}  // namespace

PLATFORM_API DWORD GetTempPath(DWORD size, LPSTR buf) {
    return give_text(runtime_dir(), size, buf);
}

PLATFORM_API DWORD PlatformRuntimePath(DWORD size, LPSTR buf) {
    return give_text(runtime_dir(), size, buf);
}

PLATFORM_API DWORD PlatformConfigPath(DWORD size, LPSTR buf) {
    return give_text(config_dir(), size, buf);
}

PLATFORM_API DWORD PlatformDataPath(DWORD size, LPSTR buf) {
    return give_text(data_dir(), size, buf);
}

PLATFORM_API BOOL GetDiskFreeSpace(LPCSTR root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                                   DWORD* freeClusters, DWORD* totalClusters) {
    struct statvfs fs {};
    if (!stat_fs(root, &fs)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    uint64_t unit = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
    uint64_t sector = unit < 512 ? unit : 512;
    uint64_t cluster = unit;
    uint64_t free_bytes = static_cast<uint64_t>(fs.f_bavail) * unit;
    uint64_t total_bytes = static_cast<uint64_t>(fs.f_blocks) * unit;
    // Big disks get bigger clusters so both counts fit in 32 bits and their
    // products still give the byte counts.
    while (total_bytes / cluster > 0xFFFFFFFFull) cluster *= 2;
    if (sectorsPerCluster) *sectorsPerCluster = static_cast<DWORD>(cluster / sector);
    if (bytesPerSector) *bytesPerSector = static_cast<DWORD>(sector);
    if (freeClusters) *freeClusters = static_cast<DWORD>(free_bytes / cluster);
    if (totalClusters) *totalClusters = static_cast<DWORD>(total_bytes / cluster);
    return TRUE;
}

PLATFORM_API BOOL GetDiskFreeSpaceEx(LPCSTR dir, ULONGLONG* freeToCaller, ULONGLONG* total,
                                     ULONGLONG* totalFree) {
    struct statvfs fs {};
    if (!stat_fs(dir, &fs)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    uint64_t unit = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
    if (freeToCaller) *freeToCaller = static_cast<uint64_t>(fs.f_bavail) * unit;
    if (total) *total = static_cast<uint64_t>(fs.f_blocks) * unit;
    if (totalFree) *totalFree = static_cast<uint64_t>(fs.f_bfree) * unit;
    return TRUE;
}

// The program's path for a null module; for a library, the file that holds
// the address the module handle stands for (else the program's path too).
PLATFORM_API DWORD GetModuleFileName(HMODULE mod, LPSTR buf, DWORD size) {
    std::string path;
    Dl_info info{};
    if (mod && dladdr(reinterpret_cast<void*>(mod), &info) && info.dli_fname && *info.dli_fname) {
        char real[PATH_MAX];
        path = realpath(info.dli_fname, real) ? real : info.dli_fname;
    } else {
        char exe[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n <= 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
        path.assign(exe, static_cast<size_t>(n));
    }
    if (!buf || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Too small a buffer gets the truncated, still terminated path.
    if (path.size() + 1 > size) {
        std::memcpy(buf, path.data(), size - 1);
        buf[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buf, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}
