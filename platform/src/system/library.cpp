// Run-time libraries over dlopen: a table from the module handle (the loaded
// object's base address) to the dlopen handle and its count of uses.
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "painting/painting_private.h"
#include "system/system_private.h"
#include "windows/windows_private.h"

namespace {

struct Loaded {
    void* handle = nullptr;
    int uses = 0;
};

std::mutex g_mutex;
std::map<HMODULE, Loaded> g_loaded;  // guarded by g_mutex
std::atomic<UINT> g_error_mode{0};

// The base address of the object behind a dlopen handle.
HMODULE base_of(void* handle) {
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) return nullptr;
    Dl_info info{};
    if (!dladdr(map->l_ld, &info) || !info.dli_fbase) return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

struct PathSearch {
    const void* base;
    std::string path;
};

// The file of a loaded object given by its base address.
int match_base(dl_phdr_info* info, size_t, void* ctx) {
    auto* s = static_cast<PathSearch*>(ctx);
    Dl_info di{};
    if (info->dlpi_phnum && dladdr(info->dlpi_phdr, &di) && di.dli_fbase == s->base) {
        s->path = info->dlpi_name ? info->dlpi_name : "";
        return 1;
    }
    return 0;
}

}  // namespace

HMODULE LoadLibrary(LPCSTR path) {
    if (!path || path[0] != '/') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    struct stat st {};
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    HMODULE base = handle ? base_of(handle) : nullptr;
    if (!base) {
        if (handle) dlclose(handle);
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    std::lock_guard<std::mutex> g(g_mutex);
    Loaded& l = g_loaded[base];
    if (l.handle)
        dlclose(handle);  // the table already holds one reference
    else
        l.handle = handle;
    ++l.uses;
    return base;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (!name || IS_INTRESOURCE(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* found = nullptr;
    if (!module) {
        found = dlsym(RTLD_DEFAULT, name);
    } else {
        std::unique_lock<std::mutex> g(g_mutex);
        auto it = g_loaded.find(module);
        if (it != g_loaded.end()) {
            found = dlsym(it->second.handle, name);
        } else {
            g.unlock();
            // A library the program was linked with: reached through its file.
            PathSearch search{module, {}};
            dl_iterate_phdr(match_base, &search);
            void* handle =
                search.path.empty() ? nullptr : dlopen(search.path.c_str(), RTLD_NOW | RTLD_NOLOAD);
            if (!handle && search.path.empty() && module == GetModuleHandle(nullptr))
                handle = dlopen(nullptr, RTLD_NOW);
            if (handle) {
                found = dlsym(handle, name);
                dlclose(handle);
            }
        }
    }
    if (!found) SetLastError(ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(found);
}

BOOL FreeLibrary(HMODULE module) {
    void* handle = nullptr;
    {
        std::lock_guard<std::mutex> g(g_mutex);
        auto it = g_loaded.find(module);
        if (it == g_loaded.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (--it->second.uses == 0) {
            handle = it->second.handle;
            g_loaded.erase(it);
        }
    }
    if (handle) dlclose(handle);
    return TRUE;
}

UINT SetErrorMode(UINT mode) {
    return g_error_mode.exchange(mode);
}
