// ShellExecute: web addresses and documents open with xdg-open; a program is
// started when it is found (by its path, or on PATH for a bare name). Started
// processes run detached: they inherit no descriptors but 0-2, nobody waits
// for them except a small thread that reaps each one when it ends.
#include <fcntl.h>
#include <platform/platform.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "system_private.h"

extern char** environ;

namespace plat {

namespace {

constexpr uintptr_t kStarted = 33;

bool is_address(const std::string& s) {
    for (const char* scheme : {"http://", "https://", "mailto:", "file://", "ftp://"})
        if (s.compare(0, std::strlen(scheme), scheme) == 0) return true;
    return false;
}

bool is_file(const std::string& path, bool executable) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return !executable || access(path.c_str(), X_OK) == 0;
}

// Splits parameters at blanks; double quotes group words, as a command line.
std::vector<std::string> split_params(const char* params) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false, any = false;
    for (const char* p = params ? params : ""; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            any = true;
        } else if ((*p == ' ' || *p == '\t') && !quoted) {
            if (any) out.push_back(cur);
            cur.clear();
            any = false;
        } else {
            cur += *p;
            any = true;
        }
    }
    if (any) out.push_back(cur);
    return out;
}

bool spawn_detached(const std::string& program, const std::vector<std::string>& args,
                    const char* dir) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    // Descriptors of the layer (sockets, lock files) stay with this process.
    posix_spawn_file_actions_addclosefrom_np(&fa, 3);
    if (dir && *dir) posix_spawn_file_actions_addchdir_np(&fa, dir);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return false;
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

uintptr_t open_with_desktop(const std::string& target) {
    std::string opener = find_on_path("xdg-open");
    if (opener.empty()) return SE_ERR_NOASSOC;
    return spawn_detached(opener, {target}, nullptr) ? kStarted : SE_ERR_NOASSOC;
}

uintptr_t shell_execute(const char* file, const char* params, const char* dir) {
    if (!file || !*file) return SE_ERR_FNF;
    std::string f = file;
    if (is_address(f)) return open_with_desktop(f);
    std::string full = f;
    if (f.find('/') == std::string::npos) {
        std::string found = find_on_path(f);
        if (!found.empty())
            return spawn_detached(found, split_params(params), dir) ? kStarted : SE_ERR_FNF;
        if (dir && *dir) full = std::string(dir) + "/" + f;
    }
    if (is_file(full, true))
        return spawn_detached(full, split_params(params), dir) ? kStarted : SE_ERR_FNF;
    if (is_file(full, false)) return open_with_desktop(full);
    return SE_ERR_FNF;
}

}  // namespace

}  // namespace plat

extern "C" {

HINSTANCE ShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR params, LPCSTR dir, int) {
    return reinterpret_cast<HINSTANCE>(plat::shell_execute(file, params, dir));
}
}
