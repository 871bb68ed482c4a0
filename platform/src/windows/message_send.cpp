// Sent messages: direct calls on the user-interface thread, and calls that
// other threads hand over and wait for. The user-interface thread serves
// handed-over calls from its event loop (a wake event), from every nested Qt
// loop (modal boxes) and from the layer's waits (PlatformServeSentMessages).
#include <cxxabi.h>

#include <QCoreApplication>
#include <QEvent>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>

#include "system/system_private.h"
#include "windows_private.h"

namespace plat {

namespace {

struct PendingCall {
    std::function<LRESULT()> fn;
    LRESULT result = 0;
    bool taken = false;
    bool done = false;
};

std::mutex g_send_mutex;
std::condition_variable g_send_cv;
std::deque<std::shared_ptr<PendingCall>> g_send_queue;

std::atomic<bool> g_wake_pending{false};
LayerObject* g_layer = nullptr;
int g_proc_depth = 0;
int g_serving = 0;

const int kWakeEvent = QEvent::registerEventType();

// Removes a call that was never taken when its sender unwinds (a stopped thread).
struct CallGuard {
    std::shared_ptr<PendingCall> call;
    ~CallGuard() {
        std::lock_guard lock(g_send_mutex);
        if (call->taken) return;
        for (auto it = g_send_queue.begin(); it != g_send_queue.end(); ++it)
            if (*it == call) {
                g_send_queue.erase(it);
                break;
            }
    }
};

}  // namespace

int wake_event_type() {
    return kWakeEvent;
}

int proc_depth() {
    return g_proc_depth;
}

void create_layer_object() {
    if (!g_layer) g_layer = new LayerObject;
}

QObject* layer_object() {
    return g_layer;
}

void wake_ui() {
    if (!g_layer) return;
    if (g_wake_pending.exchange(true)) return;
    QCoreApplication::postEvent(g_layer, new QEvent(QEvent::Type(kWakeEvent)));
}

bool LayerObject::event(QEvent* e) {
    if (e->type() != kWakeEvent) return QObject::event(e);
    g_wake_pending = false;
    dispatch_step();
    return true;
}

LRESULT call_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC proc;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w) return 0;
        proc = w->proc;
    }
    if (!proc) return 0;
    struct Depth {
        Depth() { ++g_proc_depth; }
        ~Depth() { --g_proc_depth; }
    } depth;
    // A fault escaping a procedure must not unwind through Qt's event code.
    try {
        return proc(hwnd, msg, wp, lp);
    } catch (abi::__forced_unwind&) {
        throw;
    } catch (...) {
        return 0;
    }
}

LRESULT run_on_ui(const std::function<LRESULT()>& fn) {
    if (PlatformIsUiThread() || !g_layer) return fn();
    auto call = std::make_shared<PendingCall>();
    call->fn = fn;
    {
        std::lock_guard lock(g_send_mutex);
        g_send_queue.push_back(call);
    }
    CallGuard guard{call};
    wake_ui();
    std::unique_lock lock(g_send_mutex);
    while (!call->done) {
        g_send_cv.wait_for(lock, std::chrono::milliseconds(10));
        if (call->done) break;
        // A stop request may end this thread here; the guard withdraws the call.
        lock.unlock();
        checkpoint();
        lock.lock();
    }
    return call->result;
}

}  // namespace plat

using namespace plat;

extern "C" {

void PlatformServeSentMessages(void) {
    if (!PlatformIsUiThread()) return;
    for (;;) {
        std::shared_ptr<PendingCall> call;
        {
            std::lock_guard lock(g_send_mutex);
            if (g_send_queue.empty()) return;
            call = g_send_queue.front();
            g_send_queue.pop_front();
            call->taken = true;
        }
        ++g_serving;
        LRESULT r = 0;
        try {
            r = call->fn();
        } catch (...) {
            r = 0;
        }
        --g_serving;
        {
            std::lock_guard lock(g_send_mutex);
            call->result = r;
            call->done = true;
        }
        g_send_cv.notify_all();
    }
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!IsWindow(hwnd)) return 0;
    if (PlatformIsUiThread()) return call_proc(hwnd, msg, wp, lp);
    checkpoint();
    return run_on_ui([=] { return call_proc(hwnd, msg, wp, lp); });
}

BOOL InSendMessage(void) {
    return PlatformIsUiThread() && g_serving > 0;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return proc ? proc(hwnd, msg, wp, lp) : 0;
}
}
