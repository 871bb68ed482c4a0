// The per-document guard and the release of a document's blocks.
//
// One recursive mutex per document window, kept in a process-wide map keyed by
// the window handle, made on first use and forgotten when the document's
// blocks are released. Each thread remembers the guards it holds, so a hold
// taken before the release is still given back to the right mutex.
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "document.h"
#include "entry.h"

namespace {

struct Guard {
    std::recursive_timed_mutex mutex;
};

std::mutex g_map_mutex;
std::map<HWND, std::shared_ptr<Guard>>& guards() {
    static auto* map = new std::map<HWND, std::shared_ptr<Guard>>;  // lives to the process end
    return *map;
}

struct Held {
    HWND hwnd;
    std::shared_ptr<Guard> guard;
};
thread_local std::vector<Held> t_held;

std::shared_ptr<Guard> guard_of(HWND w) {
    std::lock_guard<std::mutex> lock(g_map_mutex);
    auto& slot = guards()[w];
    if (!slot) slot = std::make_shared<Guard>();
    return slot;
}

void forget_guard(HWND w) {
    std::lock_guard<std::mutex> lock(g_map_mutex);
    guards().erase(w);
}

// Waits for the mutex. The user-interface thread serves the calls other threads
// hand to it meanwhile (the holder may be waiting for one); other threads end
// here when they are asked to stop.
void wait_for(Guard& g) {
    const bool ui = PlatformIsUiThread();
    const auto slice = std::chrono::milliseconds(ui ? 2 : 20);
    while (!g.mutex.try_lock_for(slice)) {
        if (ui)
            PlatformServeSentMessages();
        else
            PlatformCheckpoint();
    }
}

void release_blocks(HWND w) {
    static const char* const names[] = {PROP_HEADER, PROP_WAVE,     PROP_POSITION, PROP_INFO,
                                        PROP_UNDO,   PROP_FILEINFO, PROP_PEAKS};
    if (HGLOBAL undo = doc::block(w, PROP_UNDO)) {
        doc::Pin<UndoBlock> u(undo);
        if (u && u->copy) {
            doc::free_block(u->copy);
            u->copy = nullptr;
        }
    }
    for (const char* name : names) doc::free_block(static_cast<HGLOBAL>(RemoveProp(w, name)));
}

}  // namespace

WAVKIT_API BOOL DocumentLockEnter(HWND doc) {
    if (!doc) return FALSE;
    std::shared_ptr<Guard> g = guard_of(doc);
    wait_for(*g);
    t_held.push_back({doc, std::move(g)});
    return TRUE;
}

WAVKIT_API BOOL DocumentLockTry(HWND doc) {
    if (!doc) return FALSE;
    std::shared_ptr<Guard> g = guard_of(doc);
    if (!g->mutex.try_lock()) return FALSE;
    t_held.push_back({doc, std::move(g)});
    return TRUE;
}

WAVKIT_API void DocumentLockLeave(HWND doc) {
    for (auto it = t_held.rbegin(); it != t_held.rend(); ++it) {
        if (it->hwnd != doc) continue;
        it->guard->mutex.unlock();
        t_held.erase(std::next(it).base());
        return;
    }
}

WAVKIT_API void ReleaseDocumentBlocks(HWND doc) {
    if (!doc) return;
    entry::guarded([&] {
        DocumentLock lock(doc);
        release_blocks(doc);
        forget_guard(doc);
    });
}
