// The resource registry: strings, bitmaps and data registered per module
// instance, and module instances themselves (the base address of each loaded
// object; the program's is that of the main executable).
#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>

#include <QString>
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "resources_private.h"

namespace res {

namespace {

struct BitmapEntry {
    int w = 0, h = 0;
    std::vector<DWORD> pixels;
};
struct DataEntry {
    const void* data = nullptr;
    DWORD size = 0;
};

struct Registry {
    std::mutex m;
    std::map<std::pair<HINSTANCE, UINT>, const std::string*> strings;
    std::deque<std::string> texts;  // never moved, so LoadString can hand out pointers
    std::map<std::pair<HINSTANCE, std::string>, BitmapEntry> bitmaps;
    std::map<std::pair<HINSTANCE, std::string>, DataEntry> data;
};

Registry& reg() {
    static Registry r;
    return r;
}

HINSTANCE fallback_instance() {
    return reinterpret_cast<HINSTANCE>(uintptr_t{0x400000});
}

HINSTANCE base_of(const void* addr) {
    Dl_info info{};
    if (!addr || !dladdr(addr, &info) || !info.dli_fbase) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

// The loaded object's name without folder, "lib" prefix and extension, lower case.
std::string stem(const char* path) {
    std::string s = path ? path : "";
    if (auto slash = s.rfind('/'); slash != std::string::npos) s.erase(0, slash + 1);
    if (auto bslash = s.rfind('\\'); bslash != std::string::npos) s.erase(0, bslash + 1);
    if (auto dot = s.find('.'); dot != std::string::npos) s.erase(dot);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    if (s.rfind("lib", 0) == 0 && s.size() > 3) s.erase(0, 3);
    return s;
}

struct NameSearch {
    std::string wanted;
    const void* found = nullptr;
};

int match_object(dl_phdr_info* info, size_t, void* ctx) {
    auto* search = static_cast<NameSearch*>(ctx);
    if (info->dlpi_name && *info->dlpi_name && stem(info->dlpi_name) == search->wanted) {
        search->found = info->dlpi_phdr;
        return 1;
    }
    return 0;
}

}  // namespace

std::string key(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    std::string s = name;
    if (s.size() > 1 && s[0] == '#' && std::all_of(s.begin() + 1, s.end(), ::isdigit))
        return "#" + std::to_string(std::stoul(s.substr(1)));
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

HINSTANCE program() {
    static HINSTANCE inst = [] {
        HINSTANCE h = base_of(reinterpret_cast<const void*>(getauxval(AT_PHDR)));
        return h ? h : fallback_instance();
    }();
    return inst;
}

HINSTANCE instance(HINSTANCE inst) {
    return inst ? inst : program();
}

bool find_bitmap(HINSTANCE inst, LPCSTR name, int* w, int* h, std::vector<DWORD>* pixels) {
    if (!name) return false;
    Registry& r = reg();
    std::lock_guard<std::mutex> g(r.m);
    auto it = r.bitmaps.find({instance(inst), key(name)});
    if (it == r.bitmaps.end()) return false;
    *w = it->second.w;
    *h = it->second.h;
    *pixels = it->second.pixels;
    return true;
}

}  // namespace res

using namespace res;

HINSTANCE GetModuleHandle(LPCSTR name) {
    if (!name) return program();
    NameSearch search{stem(name)};
    dl_iterate_phdr(match_object, &search);
    return search.found ? base_of(search.found) : nullptr;
}

HINSTANCE PlatformModuleOfAddress(const void* addr) {
    HINSTANCE h = base_of(addr);
    if (h && h == base_of(reinterpret_cast<const void*>(getauxval(AT_PHDR)))) return program();
    return h;
}

void PlatformAddString(HINSTANCE inst, UINT id, LPCSTR text) {
    Registry& r = reg();
    std::lock_guard<std::mutex> g(r.m);
    r.texts.emplace_back(text ? text : "");
    r.strings[{instance(inst), id}] = &r.texts.back();
}

void PlatformAddBitmap(HINSTANCE inst, LPCSTR name, int w, int h, const DWORD* pixels) {
    if (!name || w <= 0 || h <= 0 || !pixels) return;
    Registry& r = reg();
    std::lock_guard<std::mutex> g(r.m);
    r.bitmaps[{instance(inst), key(name)}] =
        BitmapEntry{w, h, std::vector<DWORD>(pixels, pixels + size_t(w) * h)};
}

void PlatformAddData(HINSTANCE inst, LPCSTR type, LPCSTR name, const void* data, DWORD size) {
    if (!type || !name) return;
    Registry& r = reg();
    std::lock_guard<std::mutex> g(r.m);
    r.data[{instance(inst), key(type) + "/" + key(name)}] = DataEntry{data, size};
}

const void* PlatformFindData(HINSTANCE inst, LPCSTR type, LPCSTR name, DWORD* size) {
    if (!type || !name) return nullptr;
    Registry& r = reg();
    std::lock_guard<std::mutex> g(r.m);
    auto it = r.data.find({instance(inst), key(type) + "/" + key(name)});
    if (it == r.data.end()) return nullptr;
    if (size) *size = it->second.size;
    return it->second.data;
}

int LoadString(HINSTANCE inst, UINT id, LPSTR buf, int size) {
    if (!buf || size < 0) return 0;
    Registry& r = reg();
    std::lock_guard<std::mutex> g(r.m);
    auto it = r.strings.find({instance(inst), id});
    if (it == r.strings.end()) {
        if (size > 0) buf[0] = '\0';
        return 0;
    }
    const std::string& s = *it->second;
    if (size == 0) {  // the text itself, read-only
        const char* p = s.c_str();
        std::memcpy(buf, &p, sizeof p);
        return static_cast<int>(s.size());
    }
    int n = std::min(static_cast<int>(s.size()), size - 1);
    std::memcpy(buf, s.data(), size_t(n));
    buf[n] = '\0';
    return n;
}

HBITMAP LoadBitmap(HINSTANCE inst, LPCSTR name) {
    int w = 0, h = 0;
    std::vector<DWORD> pixels;
    if (!find_bitmap(inst, name, &w, &h, &pixels)) return nullptr;
    return PlatformCreateBitmap(w, h, pixels.data());
}
