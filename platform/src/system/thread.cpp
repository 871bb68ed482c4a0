// Threads: created suspended or running, small stable ids, niceness for
// priorities, exit codes, and cooperative termination. A stop request is
// honoured where the thread next waits or checks: PlatformThreadEnd is thrown
// there and caught at the thread's start, so the destructors on its stack run.
// (A forced unwind would do the same, but a handler for it binds a null
// reference, which the undefined-behaviour checker rejects.)
#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <exception>

#include "system_private.h"

namespace {

// One thread; every mutable field is guarded by plat::state_lock().
struct ThreadRec {
    DWORD id = 0;
    pid_t tid = 0;
    bool created = false;  // started by CreateThread (only those can be stopped)
    LPTHREAD_START_ROUTINE fn = nullptr;
    LPVOID arg = nullptr;
    int suspend = 0;
    int priority = THREAD_PRIORITY_NORMAL;
    int base_nice = 0;
    bool stop = false;
    DWORD stop_code = 0;
    bool exit_asked = false;  // ExitThread was called
    DWORD exit_asked_code = 0;
    bool ended = false;
    DWORD exit_code = STILL_ACTIVE;
};

std::atomic<DWORD> g_next_id{1};
thread_local std::shared_ptr<ThreadRec> t_self;

// A thread the layer did not start gives up its mutexes when it ends, as ours do.
struct ForeignEnd {
    DWORD id = 0;
    ~ForeignEnd() {
        if (id) plat::mutexes_abandon(id);
    }
};
thread_local ForeignEnd t_foreign;

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

pid_t current_tid() {
    return static_cast<pid_t>(syscall(SYS_gettid));
}

// The calling thread's record; threads the layer did not start get one on
// first use (the user-interface thread included).
const std::shared_ptr<ThreadRec>& self() {
    if (!t_self) {
        auto rec = std::make_shared<ThreadRec>();
        rec->id = g_next_id.fetch_add(1);
        rec->tid = current_tid();
        t_foreign.id = rec->id;
        t_self = std::move(rec);
    }
    return t_self;
}

std::shared_ptr<ThreadRec> resolve(HANDLE h) {
    if (h == kCurrentThread) return self();
    return std::static_pointer_cast<ThreadRec>(plat::object_get(h, plat::ObjectKind::thread));
}

// Maps a priority to niceness relative to the process: one step below normal
// is one more nice. Raising priority above the process usually is not allowed;
// then the nearest permitted value is used. Called with the state lock held.
void apply_priority(const ThreadRec& rec) {
    if (!rec.tid) return;
    int nice = rec.base_nice - rec.priority;
    nice = nice < -20 ? -20 : (nice > 19 ? 19 : nice);
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(rec.tid), nice) == 0) return;
    rlimit lim{};
    if (getrlimit(RLIMIT_NICE, &lim) != 0) return;
    int floor = 20 - static_cast<int>(lim.rlim_cur > 40 ? 40 : lim.rlim_cur);
    if (nice < floor) setpriority(PRIO_PROCESS, static_cast<id_t>(rec.tid), floor);
}

// Marks the thread ended once everything on its stack has been destroyed.
struct EndGuard {
    std::shared_ptr<ThreadRec> rec;
    DWORD code = 0;  // the procedure's result
    ~EndGuard() {
        plat::mutexes_abandon(rec->id);
        {
            std::lock_guard<std::mutex> g(plat::state_lock());
            rec->ended = true;
            if (rec->stop) {
                rec->exit_code = rec->stop_code;
            } else if (rec->exit_asked) {
                rec->exit_code = rec->exit_asked_code;
            } else {
                rec->exit_code = code;
            }
        }
        plat::wake_waiters();
    }
};

// True where throwing cannot end the thread: it is unwinding already (a
// destructor waits) or the layer did not start it.
bool cannot_end_here(const ThreadRec& rec) {
    return !rec.created || std::uncaught_exceptions() > 0;
}

[[noreturn]] void end_thread(ThreadRec& rec, DWORD code) {
    {
        std::lock_guard<std::mutex> g(plat::state_lock());
        if (!rec.exit_asked) {
            rec.exit_asked = true;
            rec.exit_asked_code = code;
        }
    }
    if (!rec.created) pthread_exit(nullptr);
    throw PlatformThreadEnd{};
}

void* trampoline(void* p) {
    auto* holder = static_cast<std::shared_ptr<ThreadRec>*>(p);
    std::shared_ptr<ThreadRec> rec = std::move(*holder);
    delete holder;
    t_self = rec;
    EndGuard guard{rec};
    {
        std::unique_lock<std::mutex> lk(plat::state_lock());
        rec->tid = current_tid();
        apply_priority(*rec);
        plat::state_cv().wait(lk, [&] { return rec->suspend == 0 || rec->stop; });
        if (rec->stop) return nullptr;
    }
    try {
        guard.code = rec->fn(rec->arg);
    } catch (const PlatformThreadEnd&) {
        // Stopped or ExitThread: the guard takes the code from the record.
    } catch (...) {
        guard.code = 0;
    }
    return nullptr;
}

}  // namespace

PLATFORM_API HANDLE CreateThread(void* security, SIZE_T stack, LPTHREAD_START_ROUTINE fn,
                                 LPVOID arg, DWORD flags, DWORD* threadId) {
    if (!fn) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    self();  // the creator takes its id before the new thread does
    auto rec = std::make_shared<ThreadRec>();
    rec->id = g_next_id.fetch_add(1);
    rec->created = true;
    rec->fn = fn;
    rec->arg = arg;
    rec->suspend = (flags & CREATE_SUSPENDED) ? 1 : 0;
    errno = 0;
    int base = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
    rec->base_nice = errno ? 0 : base;

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (stack >= static_cast<SIZE_T>(PTHREAD_STACK_MIN)) pthread_attr_setstacksize(&attr, stack);
    auto* holder = new std::shared_ptr<ThreadRec>(rec);
    pthread_t pt;
    int rc = pthread_create(&pt, &attr, trampoline, holder);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete holder;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) *threadId = rec->id;
    return plat::object_add(plat::ObjectKind::thread, rec);
}

PLATFORM_API DWORD ResumeThread(HANDLE thread) {
    auto rec = resolve(thread);
    if (!rec) {
        SetLastError(ERROR_INVALID_HANDLE);
        return static_cast<DWORD>(-1);
    }
    DWORD previous;
    {
        std::lock_guard<std::mutex> g(plat::state_lock());
        previous = static_cast<DWORD>(rec->suspend);
        if (rec->suspend > 0) --rec->suspend;
    }
    plat::wake_waiters();
    return previous;
}

PLATFORM_API DWORD SuspendThread(HANDLE thread) {
    auto rec = resolve(thread);
    if (!rec || !rec->created) {
        SetLastError(ERROR_INVALID_HANDLE);
        return static_cast<DWORD>(-1);
    }
    std::lock_guard<std::mutex> g(plat::state_lock());
    return static_cast<DWORD>(rec->suspend++);
}

PLATFORM_API BOOL SetThreadPriority(HANDLE thread, int priority) {
    auto rec = resolve(thread);
    if (!rec) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> g(plat::state_lock());
    rec->priority = priority;
    apply_priority(*rec);
    return TRUE;
}

PLATFORM_API int GetThreadPriority(HANDLE thread) {
    auto rec = resolve(thread);
    if (!rec) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    std::lock_guard<std::mutex> g(plat::state_lock());
    return rec->priority;
}

PLATFORM_API DWORD GetCurrentThreadId(void) {
    return self()->id;
}

PLATFORM_API HANDLE GetCurrentThread(void) {
    return kCurrentThread;
}

PLATFORM_API void ExitThread(DWORD code) {
    end_thread(*self(), code);
}

PLATFORM_API BOOL GetExitCodeThread(HANDLE thread, DWORD* code) {
    auto rec = resolve(thread);
    if (!rec || !code) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> g(plat::state_lock());
    *code = rec->ended ? rec->exit_code : STILL_ACTIVE;
    return TRUE;
}

PLATFORM_API BOOL TerminateThread(HANDLE thread, DWORD code) {
    auto rec = resolve(thread);
    if (!rec || !rec->created) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (rec == t_self) end_thread(*rec, code);
    {
        std::lock_guard<std::mutex> g(plat::state_lock());
        if (rec->ended) return TRUE;
        if (!rec->stop) {
            rec->stop = true;
            rec->stop_code = code;
        }
    }
    plat::wake_waiters();
    plat::wait_until(
        [&] {
            std::lock_guard<std::mutex> g(plat::state_lock());
            return rec->ended;
        },
        INFINITE);
    return TRUE;
}

namespace plat {

void checkpoint() {
    const std::shared_ptr<ThreadRec>& rec = self();
    if (cannot_end_here(*rec)) return;
    bool end;
    {
        std::unique_lock<std::mutex> lk(state_lock());
        state_cv().wait(lk, [&] { return rec->suspend == 0 || rec->stop; });
        end = rec->stop || rec->exit_asked;
    }
    if (end) throw PlatformThreadEnd{};
}

void sleep_interruptible(DWORD ms) {
    const std::shared_ptr<ThreadRec>& rec = self();
    checkpoint();
    bool can_end = !cannot_end_here(*rec);
    {
        std::unique_lock<std::mutex> lk(state_lock());
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        state_cv().wait_until(lk, until, [&] { return rec->stop && can_end; });
    }
    checkpoint();
}

}  // namespace plat

PLATFORM_API void PlatformCheckpoint(void) {
    plat::checkpoint();
}

PLATFORM_API BOOL PlatformStopRequested(void) {
    const std::shared_ptr<ThreadRec>& rec = self();
    std::lock_guard<std::mutex> g(plat::state_lock());
    return rec->stop;
}

PLATFORM_API DWORD WaitForSingleObject(HANDLE h, DWORD timeoutMs) {
    plat::ObjectKind kind;
    if (h == kCurrentThread) {
        kind = plat::ObjectKind::thread;
    } else if (!plat::object_kind(h, &kind)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    if (kind == plat::ObjectKind::mutex) {
        auto obj = plat::object_get(h, kind);
        if (!obj) return WAIT_FAILED;
        return plat::mutex_wait(obj, timeoutMs);
    }
    if (kind == plat::ObjectKind::process)
        return plat::process_wait(plat::object_get(h, kind), timeoutMs);
    auto rec = resolve(h);
    if (!rec) return WAIT_FAILED;
    bool ended = plat::wait_until(
        [&] {
            std::lock_guard<std::mutex> g(plat::state_lock());
            return rec->ended;
        },
        timeoutMs);
    return ended ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

PLATFORM_API BOOL CloseHandle(HANDLE h) {
    if (h == kCurrentThread) return TRUE;
    plat::ObjectKind kind;
    if (!plat::object_remove(h, &kind)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
