// Movable memory blocks. A handle is a number that is never reused; the table
// maps it to the block record, so a freed or forged handle is simply not found.
// Small blocks live on the heap; blocks of 1 MB and more are anonymous
// mappings, so fresh pages are zero for free and growing uses mremap. Blocks
// asked for with GMEM_FILEBACKED are shared mappings of an unnamed file in the
// temporary folder; their pages leave the process when the last lock ends.
#include <fcntl.h>
#include <platform/file_backed.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "system_private.h"

namespace {

constexpr uint64_t kMapThreshold = 1u << 20;
// Mappings of this size and more ask for huge pages: filling a fresh block of
// hundreds of megabytes then takes a fault per 2 MB instead of one per 4 KB.
constexpr uint64_t kHugePageThreshold = 8u << 20;

void ask_for_huge_pages(void* p, uint64_t bytes) {
    if (bytes >= kHugePageThreshold) madvise(p, bytes, MADV_HUGEPAGE);
}

// One allocation; it outlives its block while a device still holds it.
struct Allocation {
    uint8_t* data = nullptr;
    uint64_t capacity = 0;  // bytes usable at data
    bool mapped = false;
    bool fileBacked = false;  // a shared mapping of an unnamed temporary file
    int holds = 0;
};

struct Block {
    Allocation* alloc = nullptr;
    uint64_t size = 0;  // bytes the owner asked for
    int locks = 0;
};

std::mutex g_lock;
std::unordered_map<uintptr_t, Block> g_blocks;
std::vector<Allocation*> g_retired;  // freed or moved while held
uintptr_t g_next_handle = 0x10;
std::atomic<int> g_fail_next{0};
std::atomic<uint64_t> g_limit{0};

uint64_t page_round(uint64_t bytes) {
    static const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

// True when the test switch or the size limit says this request must fail.
bool refuse(uint64_t bytes) {
    uint64_t limit = g_limit.load();
    if (limit && bytes > limit) return true;
    int n = g_fail_next.load();
    while (n > 0) {
        if (g_fail_next.compare_exchange_weak(n, n - 1)) return true;
    }
    return false;
}

// An unnamed file of `bytes` reserved bytes in the temporary folder, or -1.
int reserved_temp_file(uint64_t bytes) {
    char folder[4096];
    DWORD n = GetTempPath(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return -1;
    int fd = ::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    // Reserved now, so that writing through the mapping never meets a full disk.
    if (posix_fallocate(fd, 0, static_cast<off_t>(bytes)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

Allocation* allocate_file_backed(uint64_t bytes) {
    uint64_t cap = page_round(bytes ? bytes : 1);
    int fd = reserved_temp_file(cap);
    if (fd < 0) return nullptr;
    void* p = mmap(nullptr, cap, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);  // the mapping keeps the file
    if (p == MAP_FAILED) return nullptr;
    auto* a = new (std::nothrow) Allocation;
    if (!a) {
        munmap(p, cap);
        return nullptr;
    }
    a->data = static_cast<uint8_t*>(p);
    a->capacity = cap;
    a->mapped = true;
    a->fileBacked = true;
    return a;
}

// The pages of a file-backed block leave the process; its bytes stay in the file.
void hand_back_pages(Allocation* a) {
    if (a->fileBacked) madvise(a->data, a->capacity, MADV_DONTNEED);
}

Allocation* allocate(uint64_t bytes, bool zero, bool fileBacked = false) {
    if (fileBacked) {
        if (Allocation* a = allocate_file_backed(bytes)) return a;
    }
    uint64_t want = bytes ? bytes : 1;
    auto* a = new (std::nothrow) Allocation;
    if (!a) return nullptr;
    if (want >= kMapThreshold) {
        uint64_t cap = page_round(want);
        void* p = mmap(nullptr, cap, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) {
            delete a;
            return nullptr;
        }
        ask_for_huge_pages(p, cap);
        a->data = static_cast<uint8_t*>(p);
        a->capacity = cap;
        a->mapped = true;
        return a;
    }
    a->data = static_cast<uint8_t*>(zero ? std::calloc(1, want) : std::malloc(want));
    if (!a->data) {
        delete a;
        return nullptr;
    }
    a->capacity = want;
    return a;
}

void release(Allocation* a) {
    if (a->mapped) {
        munmap(a->data, a->capacity);
    } else {
        std::free(a->data);
    }
    delete a;
}

constexpr uint64_t kNothingClean = ~uint64_t{0} >> 1;

// Resizes the allocation where it is (it may move in memory); false leaves it
// untouched. *clean_from: the offset from which the content is known zero.
bool resize_in_place(Allocation* a, uint64_t bytes, uint64_t* clean_from) {
    uint64_t want = bytes ? bytes : 1;
    *clean_from = kNothingClean;
    if (a->mapped) {
        uint64_t cap = page_round(want);
        if (cap == a->capacity) return true;
        void* p = mremap(a->data, a->capacity, cap, MREMAP_MAYMOVE);
        if (p == MAP_FAILED) return false;
        if (cap > a->capacity) *clean_from = a->capacity;
        if (!a->fileBacked) ask_for_huge_pages(p, cap);
        a->data = static_cast<uint8_t*>(p);
        a->capacity = cap;
        return true;
    }
    void* p = std::realloc(a->data, want);
    if (!p) return false;
    a->data = static_cast<uint8_t*>(p);
    a->capacity = want;
    return true;
}

// Moves the block into a fresh allocation: a held allocation must stay where
// it is, and a heap block that grows past the threshold becomes a mapping.
bool move_to_new(Block& b, uint64_t bytes, uint64_t* clean_from) {
    Allocation* fresh = allocate(bytes, false, b.alloc->fileBacked);
    if (!fresh) return false;
    uint64_t keep = b.size < bytes ? b.size : bytes;
    std::memcpy(fresh->data, b.alloc->data, keep);
    hand_back_pages(fresh);
    *clean_from = fresh->mapped ? keep : kNothingClean;
    if (b.alloc->holds > 0) {
        g_retired.push_back(b.alloc);
    } else {
        release(b.alloc);
    }
    b.alloc = fresh;
    return true;
}

Block* find(HGLOBAL h) {
    auto it = g_blocks.find(reinterpret_cast<uintptr_t>(h));
    return it == g_blocks.end() ? nullptr : &it->second;
}

}  // namespace

PLATFORM_API HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (refuse(bytes)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Allocation* a = allocate(bytes, (flags & GMEM_ZEROINIT) != 0, (flags & GMEM_FILEBACKED) != 0);
    if (!a) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::lock_guard<std::mutex> g(g_lock);
    uintptr_t key = g_next_handle;
    g_next_handle += 0x10;
    g_blocks.emplace(key, Block{a, bytes, 0});
    return reinterpret_cast<HGLOBAL>(key);
}

PLATFORM_API LPVOID GlobalLock(HGLOBAL h) {
    std::lock_guard<std::mutex> g(g_lock);
    Block* b = find(h);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++b->locks;
    return b->alloc->data;
}

PLATFORM_API BOOL GlobalUnlock(HGLOBAL h) {
    std::lock_guard<std::mutex> g(g_lock);
    Block* b = find(h);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (b->locks > 0) --b->locks;
    if (b->locks == 0) hand_back_pages(b->alloc);
    return b->locks > 0;
}

PLATFORM_API HGLOBAL GlobalReAlloc(HGLOBAL h, SIZE_T bytes, UINT flags) {
    std::lock_guard<std::mutex> g(g_lock);
    Block* b = find(h);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (refuse(bytes)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Allocation* a = b->alloc;
    uint64_t old_size = b->size;
    uint64_t clean_from = kNothingClean;
    bool grows_out_of_heap = !a->mapped && bytes >= kMapThreshold;
    // A file-backed block moves into a fresh file: its file cannot follow a mremap.
    bool ok = (a->holds > 0 || grows_out_of_heap || a->fileBacked)
                  ? move_to_new(*b, bytes, &clean_from)
                  : resize_in_place(a, bytes, &clean_from);
    if (!ok) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if ((flags & GMEM_ZEROINIT) && bytes > old_size) {
        // Pages a mapping gained are zero already; only the old tail may be stale.
        uint64_t end = bytes < clean_from ? bytes : clean_from;
        if (end > old_size) std::memset(b->alloc->data + old_size, 0, end - old_size);
    }
    b->size = bytes;
    return h;
}

PLATFORM_API SIZE_T GlobalSize(HGLOBAL h) {
    std::lock_guard<std::mutex> g(g_lock);
    Block* b = find(h);
    return b ? static_cast<SIZE_T>(b->size) : 0;
}

PLATFORM_API HGLOBAL GlobalFree(HGLOBAL h) {
    std::lock_guard<std::mutex> g(g_lock);
    auto it = g_blocks.find(reinterpret_cast<uintptr_t>(h));
    if (it == g_blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return h;
    }
    Allocation* a = it->second.alloc;
    g_blocks.erase(it);
    if (a->holds > 0) {
        g_retired.push_back(a);
    } else {
        release(a);
    }
    return nullptr;
}

PLATFORM_API UINT GlobalFlags(HGLOBAL h) {
    std::lock_guard<std::mutex> g(g_lock);
    Block* b = find(h);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GMEM_INVALID_HANDLE;
    }
    return static_cast<UINT>(b->locks > 0xFF ? 0xFF : b->locks);
}

namespace plat {

void fail_next_allocations(int n) {
    g_fail_next.store(n > 0 ? n : 0);
}

void set_allocation_limit(uint64_t bytes) {
    g_limit.store(bytes);
}

bool hold_memory(const void* addr) {
    auto* p = static_cast<const uint8_t*>(addr);
    std::lock_guard<std::mutex> g(g_lock);
    for (auto& [key, b] : g_blocks) {
        Allocation* a = b.alloc;
        if (p >= a->data && p < a->data + a->capacity) {
            ++a->holds;
            return true;
        }
    }
    return false;
}

void release_memory(const void* addr) {
    auto* p = static_cast<const uint8_t*>(addr);
    std::lock_guard<std::mutex> g(g_lock);
    for (size_t i = 0; i < g_retired.size(); ++i) {
        Allocation* a = g_retired[i];
        if (p >= a->data && p < a->data + a->capacity) {
            if (--a->holds == 0) {
                release(a);
                g_retired.erase(g_retired.begin() + static_cast<std::ptrdiff_t>(i));
            }
            return;
        }
    }
    for (auto& [key, b] : g_blocks) {
        Allocation* a = b.alloc;
        if (p >= a->data && p < a->data + a->capacity && a->holds > 0) {
            --a->holds;
            return;
        }
    }
}

}  // namespace plat

namespace {
thread_local DWORD t_last_error = 0;
}

PLATFORM_API DWORD GetLastError(void) {
    return t_last_error;
}

PLATFORM_API void SetLastError(DWORD err) {
    t_last_error = err;
}
