// Processes started with an argument vector through posix_spawn, which is safe
// in a threaded process (no code of ours runs between fork and exec). The
// child's descriptors are set by file actions: 0 to 2 on /dev/null, every
// other one closed, whatever its close-on-exec flag says.
//
// A child is reaped by whoever looks at it first (a wait or an exit-code
// query, under the state lock, without blocking); a handle closed while its
// child still runs hands the child to a small thread that reaps it.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>
#include <vector>

#include "system_private.h"

extern char** environ;

namespace plat {

namespace {

constexpr DWORD kAllowedFlags = CREATE_NO_WINDOW;
// Exit code reported when the child was reaped elsewhere (SIGCHLD ignored).
constexpr DWORD kUnknownExit = 1;

// One child; ended and exit_code are guarded by state_lock().
struct ProcessRec {
    pid_t pid = 0;
    bool ended = false;
    DWORD exit_code = STILL_ACTIVE;
    ~ProcessRec() {
        if (ended) return;
        pid_t child = pid;
        try {
            std::thread([child] {
                int status;
                while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
                }
            }).detach();
        } catch (...) {
            // No thread to spare: the child stays a zombie until this process ends.
        }
    }
};

DWORD exit_code_of(int status) {
    if (WIFEXITED(status)) return DWORD(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return DWORD(128 + WTERMSIG(status));
    return kUnknownExit;
}

// True once the child has ended; reaps it the first time.
bool poll_ended(ProcessRec& rec) {
    std::lock_guard<std::mutex> g(state_lock());
    if (rec.ended) return true;
    int status = 0;
    pid_t r = waitpid(rec.pid, &status, WNOHANG);
    if (r == rec.pid) {
        rec.ended = true;
        rec.exit_code = exit_code_of(status);
    } else if (r < 0 && errno == ECHILD) {
        rec.ended = true;
        rec.exit_code = kUnknownExit;
    }
    return rec.ended;
}

bool is_program(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

DWORD error_of(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
        case ENOEXEC:
            return ERROR_ACCESS_DENIED;
        default:
            return ERROR_NOT_ENOUGH_MEMORY;
    }
}

// posix_spawn's descriptor and signal set-up for a child without a console.
struct SpawnSetup {
    posix_spawn_file_actions_t fa;
    posix_spawnattr_t attr;
    SpawnSetup() {
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&fa, 1, 2);
        posix_spawn_file_actions_addclosefrom_np(&fa, 3);
        posix_spawnattr_init(&attr);
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        sigdelset(&all, SIGKILL);
        sigdelset(&all, SIGSTOP);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &all);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&fa);
        posix_spawnattr_destroy(&attr);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

BOOL fail(DWORD err) {
    SetLastError(err);
    return FALSE;
}

BOOL create_process(const char* const* argv, DWORD flags, const STARTUPINFO* si,
                    PROCESS_INFORMATION* pi) {
    if (!argv || !argv[0] || !*argv[0] || !pi || (flags & ~kAllowedFlags) ||
        (si && (si->dwFlags & STARTF_USESTDHANDLES))) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    std::string program = argv[0];
    if (program.find('/') == std::string::npos) {
        program = find_on_path(program);
    } else if (!is_program(program)) {
        program.clear();
    }
    if (program.empty()) return fail(ERROR_FILE_NOT_FOUND);

    std::vector<char*> args;
    for (const char* const* a = argv; *a; ++a) args.push_back(const_cast<char*>(*a));
    args.push_back(nullptr);
    auto rec = std::make_shared<ProcessRec>();
    SpawnSetup setup;
    int rc = posix_spawn(&rec->pid, program.c_str(), &setup.fa, &setup.attr, args.data(), environ);
    if (rc != 0) {
        rec->ended = true;  // nothing to reap
        return fail(error_of(rc));
    }
    pi->dwProcessId = DWORD(rec->pid);
    pi->hProcess = object_add(ObjectKind::process, std::move(rec));
    pi->hThread = nullptr;
    pi->dwThreadId = 0;
    return TRUE;
}

}  // namespace

std::string find_on_path(const std::string& name) {
    const char* env = std::getenv("PATH");
    std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        std::string dir = path.substr(start, end - start);
        std::string full = (dir.empty() ? "." : dir) + "/" + name;
        if (is_program(full)) return full;
        start = end + 1;
    }
    return std::string();
}

DWORD process_wait(const std::shared_ptr<void>& obj, DWORD timeoutMs) {
    auto rec = std::static_pointer_cast<ProcessRec>(obj);
    if (!rec) return WAIT_FAILED;
    return wait_until([&] { return poll_ended(*rec); }, timeoutMs) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

}  // namespace plat

extern "C" {

void GetStartupInfo(LPSTARTUPINFO si) {
    if (!si) return;
    *si = STARTUPINFO{};
    si->cb = sizeof(STARTUPINFO);
}

BOOL PlatformCreateProcessArgv(const char* const* argv, DWORD flags, const STARTUPINFO* si,
                               PROCESS_INFORMATION* pi) {
    try {
        return plat::create_process(argv, flags, si, pi);
    } catch (const std::bad_alloc&) {
        return plat::fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* code) {
    auto rec = std::static_pointer_cast<plat::ProcessRec>(
        plat::object_get(process, plat::ObjectKind::process));
    if (!rec || !code) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *code = plat::poll_ended(*rec) ? rec->exit_code : STILL_ACTIVE;
    return TRUE;
}

}  // extern "C"
