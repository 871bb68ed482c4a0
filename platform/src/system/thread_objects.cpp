// The handle table of waitable objects and the shared wait loop.
#include <time.h>

#include <algorithm>
#include <unordered_map>

#include "system_private.h"

namespace plat {

namespace {

struct Entry {
    ObjectKind kind;
    std::shared_ptr<void> obj;
};

std::mutex g_objects_lock;
std::unordered_map<uintptr_t, Entry> g_objects;
// Memory handles are multiples of 0x10; these never collide with them.
uintptr_t g_next_object = 0x1002;

std::mutex g_state_lock;
std::condition_variable g_state_cv;
uint64_t g_wake_seq = 0;

}  // namespace

HANDLE object_add(ObjectKind kind, std::shared_ptr<void> obj) {
    std::lock_guard<std::mutex> g(g_objects_lock);
    uintptr_t key = g_next_object;
    g_next_object += 0x10;
    g_objects.emplace(key, Entry{kind, std::move(obj)});
    return reinterpret_cast<HANDLE>(key);
}

std::shared_ptr<void> object_get(HANDLE h, ObjectKind kind) {
    std::lock_guard<std::mutex> g(g_objects_lock);
    auto it = g_objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == g_objects.end() || it->second.kind != kind) return nullptr;
    return it->second.obj;
}

bool object_kind(HANDLE h, ObjectKind* kind) {
    std::lock_guard<std::mutex> g(g_objects_lock);
    auto it = g_objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == g_objects.end()) return false;
    *kind = it->second.kind;
    return true;
}

std::shared_ptr<void> object_remove(HANDLE h, ObjectKind* kind) {
    std::shared_ptr<void> obj;
    std::lock_guard<std::mutex> g(g_objects_lock);
    auto it = g_objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == g_objects.end()) return nullptr;
    *kind = it->second.kind;
    obj = std::move(it->second.obj);
    g_objects.erase(it);
    return obj;
}

std::mutex& state_lock() {
    return g_state_lock;
}

std::condition_variable& state_cv() {
    return g_state_cv;
}

void wake_waiters() {
    {
        std::lock_guard<std::mutex> g(g_state_lock);
        ++g_wake_seq;
    }
    g_state_cv.notify_all();
}

uint64_t monotonic_ms() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

bool wait_until(const std::function<bool()>& try_once, DWORD timeoutMs) {
    const bool ui = PlatformIsUiThread();
    const uint64_t start = monotonic_ms();
    // The UI thread looks at its sent-message queue often; other threads only
    // need to notice releases by other processes, which send no wake-up.
    const uint64_t slice = ui ? 1 : 5;
    for (;;) {
        uint64_t seq;
        {
            std::lock_guard<std::mutex> g(g_state_lock);
            seq = g_wake_seq;
        }
        if (try_once()) return true;
        if (ui) {
            PlatformServeSentMessages();
        } else {
            checkpoint();
        }
        uint64_t waited = monotonic_ms() - start;
        if (timeoutMs != INFINITE && waited >= timeoutMs) return false;
        uint64_t nap = slice;
        if (timeoutMs != INFINITE) nap = std::min<uint64_t>(nap, timeoutMs - waited);
        std::unique_lock<std::mutex> lk(g_state_lock);
        g_state_cv.wait_for(lk, std::chrono::milliseconds(nap), [&] { return g_wake_seq != seq; });
    }
}

}  // namespace plat
