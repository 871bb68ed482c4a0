// Named mutexes across processes. Ownership is an exclusive flock on
// "<runtime>/<name>.lock"; within the process one record per name says which
// thread owns it and how often (flock alone cannot tell threads apart). Every
// process that has the name open keeps a shared flock on "<name>.users", which
// is how CreateMutex and OpenMutex tell whether the mutex exists anywhere.
// All files are opened close-on-exec; the kernel drops the locks of a process
// that dies.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <map>
#include <string>

#include "system_private.h"

namespace {

struct MutexRec {
    std::mutex m;
    int lock_fd = -1;   // owned: exclusive flock held
    int users_fd = -1;  // shared flock held while this record lives
    DWORD owner = 0;    // owning thread id, 0 when free
    int count = 0;      // recursion depth of the owner
    ~MutexRec() {
        if (lock_fd >= 0) close(lock_fd);
        if (users_fd >= 0) close(users_fd);
    }
};

std::mutex g_names_lock;
std::map<std::string, std::weak_ptr<MutexRec>> g_names;  // unnamed ones under "#<address>"

std::string file_base(const char* name) {
    std::string base = PlatformFolder(PlatformRuntimePath);
    for (const char* p = name; *p; ++p) base += (*p == '/' || *p == '\\') ? '_' : *p;
    return base;
}

std::shared_ptr<MutexRec> live(const std::string& key) {
    auto it = g_names.find(key);
    if (it == g_names.end()) return nullptr;
    auto rec = it->second.lock();
    if (!rec) g_names.erase(it);
    return rec;
}

// True when another process holds the name open. Leaves our shared lock on fd.
bool others_use(int users_fd) {
    bool others = flock(users_fd, LOCK_EX | LOCK_NB) != 0;
    flock(users_fd, LOCK_SH);
    return others;
}

// The record, and with it the flocks, goes when its last handle is closed: the
// name table holds it only weakly.

// Opens the files of a name; create says whether a missing name is made.
std::shared_ptr<MutexRec> open_named(const char* name, bool create, bool* existed) {
    std::string base = file_base(name);
    int users = open((base + ".users").c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (users < 0) {
        SetLastError(create ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    *existed = others_use(users);
    if (!create && !*existed) {
        close(users);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    int lock = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) {
        close(users);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    auto rec = std::make_shared<MutexRec>();
    rec->users_fd = users;
    rec->lock_fd = lock;
    return rec;
}

bool try_acquire(MutexRec& rec, DWORD me) {
    std::lock_guard<std::mutex> g(rec.m);
    if (rec.owner == me) {
        ++rec.count;
        return true;
    }
    if (rec.owner) return false;
    if (rec.lock_fd >= 0 && flock(rec.lock_fd, LOCK_EX | LOCK_NB) != 0) return false;
    rec.owner = me;
    rec.count = 1;
    return true;
}

// Called with rec.m held.
void give_up(MutexRec& rec) {
    rec.owner = 0;
    rec.count = 0;
    if (rec.lock_fd >= 0) flock(rec.lock_fd, LOCK_UN);
}

HANDLE make_handle(const std::shared_ptr<MutexRec>& rec, BOOL initialOwner) {
    if (initialOwner) try_acquire(*rec, GetCurrentThreadId());
    return plat::object_add(plat::ObjectKind::mutex, rec);
}

}  // namespace

PLATFORM_API HANDLE CreateMutex(void* security, BOOL initialOwner, LPCSTR name) {
    if (!name || !*name) {
        auto rec = std::make_shared<MutexRec>();
        {
            std::lock_guard<std::mutex> g(g_names_lock);
            g_names["#" + std::to_string(reinterpret_cast<uintptr_t>(rec.get()))] = rec;
        }
        SetLastError(ERROR_SUCCESS);
        return make_handle(rec, initialOwner);
    }
    std::shared_ptr<MutexRec> rec;
    bool existed = false;
    {
        std::lock_guard<std::mutex> g(g_names_lock);
        rec = live(name);
        existed = rec != nullptr;
        if (!rec) {
            rec = open_named(name, true, &existed);
            if (!rec) return nullptr;
            g_names[name] = rec;
        }
    }
    // An existing mutex is opened as it is; only a new one can start owned.
    HANDLE h = make_handle(rec, initialOwner && !existed);
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

PLATFORM_API HANDLE OpenMutex(DWORD access, BOOL inherit, LPCSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<MutexRec> rec;
    {
        std::lock_guard<std::mutex> g(g_names_lock);
        rec = live(name);
        if (!rec) {
            bool existed = false;
            rec = open_named(name, false, &existed);
            if (!rec) return nullptr;
            g_names[name] = rec;
        }
    }
    return make_handle(rec, FALSE);
}

PLATFORM_API BOOL ReleaseMutex(HANDLE mutex) {
    auto rec = std::static_pointer_cast<MutexRec>(plat::object_get(mutex, plat::ObjectKind::mutex));
    if (!rec) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> g(rec->m);
        if (rec->owner != GetCurrentThreadId()) {
            SetLastError(ERROR_NOT_OWNER);
            return FALSE;
        }
        if (--rec->count == 0) give_up(*rec);
    }
    plat::wake_waiters();
    return TRUE;
}

namespace plat {

DWORD mutex_wait(const std::shared_ptr<void>& obj, DWORD timeoutMs) {
    auto rec = std::static_pointer_cast<MutexRec>(obj);
    DWORD me = GetCurrentThreadId();
    return wait_until([&] { return try_acquire(*rec, me); }, timeoutMs) ? WAIT_OBJECT_0
                                                                        : WAIT_TIMEOUT;
}

void mutexes_abandon(DWORD threadId) {
    bool released = false;
    {
        std::lock_guard<std::mutex> g(g_names_lock);
        for (auto it = g_names.begin(); it != g_names.end();) {
            auto rec = it->second.lock();
            if (!rec) {
                it = g_names.erase(it);
                continue;
            }
            ++it;
            std::lock_guard<std::mutex> r(rec->m);
            if (rec->owner == threadId) {
                give_up(*rec);
                released = true;
            }
        }
    }
    if (released) wake_waiters();
}

}  // namespace plat
