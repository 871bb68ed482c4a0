// Processes started from an argument vector: every argument arrives unchanged,
// programs are found on PATH or refused, waits and exit codes, and the child
// sees none of the parent's descriptors beyond /dev/null on 0 to 2.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::register_child_role;

std::string self_path() {
    char buf[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

void write_words(const std::string& path, const std::vector<std::string>& words) {
    std::ofstream f(path, std::ios::binary);
    for (const std::string& w : words) f << w << '\0';
}

std::vector<std::string> read_words(const std::string& path) {
    std::vector<unsigned char> b = testing_support::read_file(path);
    std::vector<std::string> out;
    std::string cur;
    for (unsigned char c : b) {
        if (c == 0) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += char(c);
        }
    }
    return out;
}

// args: output file, then words. Writes the words it was given.
int role_write_args(const std::vector<std::string>& a) {
    write_words(a[0], std::vector<std::string>(a.begin() + 1, a.end()));
    return 0;
}

// args: output file. Writes where each of its open descriptors leads.
int role_list_fds(const std::vector<std::string>& a) {
    std::vector<std::string> lines;
    for (int fd = 0; fd < 1024; ++fd) {
        char link[PATH_MAX] = {};
        std::string proc = "/proc/self/fd/" + std::to_string(fd);
        ssize_t n = readlink(proc.c_str(), link, sizeof link - 1);
        if (n > 0) lines.push_back(std::to_string(fd) + "=" + std::string(link, size_t(n)));
    }
    write_words(a[0], lines);
    return 0;
}

const bool g_roles = [] {
    register_child_role("process-write-args", role_write_args);
    register_child_role("process-list-fds", role_list_fds);
    return true;
}();

// Starts argv and waits for its end; gives the exit code (or -1 when it did not start).
long run_argv(const std::vector<std::string>& words) {
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);
    STARTUPINFO si;
    GetStartupInfo(&si);
    PROCESS_INFORMATION pi{};
    if (!PlatformCreateProcessArgv(argv.data(), CREATE_NO_WINDOW, &si, &pi)) return -1;
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    return long(code);
}

const char* const kOddNames[] = {
    "with space",        "quote\"inside",   "$HOME and $(id)",     "back`id`quote",
    "single'quote",      "back\\slash\\\"", "semi;colon|pipe&amp", "star*and?mark",
    "-starts-with-dash", "tab\tand\nline",
};

TEST(ProcessArguments, EveryArgumentReachesTheProgramUnchanged) {
    const std::string dir = testing_support::fresh_dir("process-args");
    const std::string out = dir + "/words";
    std::vector<std::string> words = {self_path(), "--child=process-write-args", out, ""};
    for (const char* name : kOddNames) words.push_back(name);
    words.push_back("  leading and trailing  ");
    ASSERT_EQ(run_argv(words), 0);
    EXPECT_EQ(read_words(out), std::vector<std::string>(words.begin() + 3, words.end()));
}

TEST(ProcessArguments, PathsWithShellCharactersCopyThroughCp) {
    const std::string dir = testing_support::fresh_dir("process-cp");
    for (const char* name : kOddNames) {
        SCOPED_TRACE(name);
        const std::string from = dir + "/from " + name, to = dir + "/to " + name;
        const std::vector<unsigned char> bytes(name, name + std::strlen(name));
        testing_support::write_file(from, bytes);
        EXPECT_EQ(run_argv({"cp", from, to}), 0);
        EXPECT_EQ(testing_support::read_file(to), bytes);
    }
}

TEST(ProcessStart, ProgramsThatCannotStartGiveFalse) {
    const std::string dir = testing_support::fresh_dir("process-missing");
    const std::string plain = dir + "/not-executable";
    testing_support::write_file(plain, {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'});
    struct Case {
        std::string program;
        DWORD error;
    };
    const Case cases[] = {
        {"sonrel-no-such-program", ERROR_FILE_NOT_FOUND},
        {dir + "/absent", ERROR_FILE_NOT_FOUND},
        {plain, ERROR_FILE_NOT_FOUND},
        {dir, ERROR_FILE_NOT_FOUND},
        {"", ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        const char* argv[] = {c.program.c_str(), "x", nullptr};
        PROCESS_INFORMATION pi{};
        SetLastError(0);
        EXPECT_FALSE(PlatformCreateProcessArgv(argv, 0, nullptr, &pi));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(pi.hProcess, nullptr);
    }
    const char* ok[] = {"true", nullptr};
    PROCESS_INFORMATION pi{};
    STARTUPINFO si{};
    si.dwFlags = STARTF_USESTDHANDLES;
    EXPECT_FALSE(PlatformCreateProcessArgv(ok, 0, &si, &pi));
    EXPECT_FALSE(PlatformCreateProcessArgv(ok, 0x10, nullptr, &pi));
    EXPECT_FALSE(PlatformCreateProcessArgv(ok, 0, nullptr, nullptr));
    EXPECT_FALSE(PlatformCreateProcessArgv(nullptr, 0, nullptr, &pi));
}

TEST(ProcessWait, ExitCodesFollowTheEnd) {
    EXPECT_EQ(run_argv({"true"}), 0);
    EXPECT_EQ(run_argv({"false"}), 1);
    EXPECT_EQ(run_argv({"/bin/sh", "-c", "exit 77"}), 77);

    const char* argv[] = {"sleep", "30", nullptr};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(PlatformCreateProcessArgv(argv, 0, nullptr, &pi));
    EXPECT_EQ(pi.hThread, nullptr);
    EXPECT_GT(pi.dwProcessId, 0u);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(code, DWORD(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30), WAIT_TIMEOUT);
    ASSERT_EQ(kill(pid_t(pi.dwProcessId), SIGTERM), 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(code, DWORD(128 + SIGTERM));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_OBJECT_0) << "an ended process stays ended";
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    EXPECT_FALSE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(pi.hProcess));
}

TEST(ProcessWait, ClosingARunningProcessLeavesNoZombie) {
    const char* argv[] = {"sleep", "0.2", nullptr};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(PlatformCreateProcessArgv(argv, 0, nullptr, &pi));
    const pid_t pid = pid_t(pi.dwProcessId);
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    // Once reaped, the process id no longer names a process of ours.
    bool gone = false;
    for (int i = 0; i < 500 && !gone; ++i) {
        gone = kill(pid, 0) != 0 && errno == ESRCH;
        if (!gone) usleep(10000);
    }
    EXPECT_TRUE(gone);
}

TEST(ProcessDescriptors, ChildGetsNullStandardStreamsAndNothingElseOfOurs) {
    const std::string dir = testing_support::fresh_dir("process-fds");
    const std::string out = dir + "/fds", plain = dir + "/open-without-cloexec";
    testing_support::write_file(plain, {'x'});
    const int fd = open(plain.c_str(), O_RDONLY);  // inheritable on purpose
    ASSERT_GE(fd, 0);
    const std::string name = "ProcessFds" + std::to_string(getpid());
    HANDLE mutex = CreateMutex(nullptr, TRUE, name.c_str());
    ASSERT_NE(mutex, nullptr);

    ASSERT_EQ(run_argv({self_path(), "--child=process-list-fds", out}), 0);
    std::vector<std::string> fds = read_words(out);
    ASSERT_GE(fds.size(), 3u);
    EXPECT_EQ(fds[0], "0=/dev/null");
    EXPECT_EQ(fds[1], "1=/dev/null");
    EXPECT_EQ(fds[2], "2=/dev/null");
    for (const std::string& line : fds) {
        EXPECT_EQ(line.find(plain), std::string::npos) << line;
        EXPECT_EQ(line.find(name), std::string::npos) << line;
    }
    close(fd);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace
