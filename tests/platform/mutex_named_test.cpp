// Named mutexes: existence, recursion, ownership across threads and across
// processes, release when the holder dies, and no inheritance by children.
#include <gtest/gtest.h>
#include <platform/platform.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "test_support.h"

extern char** environ;

namespace {

using testing_support::register_child_role;
using testing_support::spawn_child;
using testing_support::wait_child;

std::string unique_name(const char* what) {
    return std::string("Test") + what + std::to_string(getpid());
}

std::string read_text(const std::string& path) {
    std::ifstream f(path);
    std::string s;
    std::getline(f, s);
    return s;
}

void write_text(const std::string& path, const std::string& text) {
    std::string tmp = path + ".tmp";
    std::ofstream(tmp) << text;
    rename(tmp.c_str(), path.c_str());
}

// Waits (up to about 20 s) for another process to write a file.
bool wait_for_file(const std::string& path) {
    for (int i = 0; i < 4000; ++i) {
        if (access(path.c_str(), F_OK) == 0) return true;
        usleep(5000);
    }
    return false;
}

// args: name, timeout in ms. 0 acquired, 1 timed out, 2 no such mutex.
int role_try(const std::vector<std::string>& a) {
    HANDLE m = OpenMutex(MUTEX_ALL_ACCESS, FALSE, a[0].c_str());
    if (!m) return 2;
    DWORD r = WaitForSingleObject(m, static_cast<DWORD>(std::stoul(a[1])));
    if (r != WAIT_OBJECT_0) return 1;
    ReleaseMutex(m);
    return 0;
}

// args: name, ready file. Holds the mutex until killed.
int role_hold(const std::vector<std::string>& a) {
    HANDLE m = OpenMutex(MUTEX_ALL_ACCESS, FALSE, a[0].c_str());
    if (!m || WaitForSingleObject(m, INFINITE) != WAIT_OBJECT_0) return 2;
    write_text(a[1], "held");
    for (;;) pause();
}

// args: name, pid file. Takes the mutex, starts a long-lived program and ends
// without releasing anything.
int role_hold_and_spawn(const std::vector<std::string>& a) {
    HANDLE m = OpenMutex(MUTEX_ALL_ACCESS, FALSE, a[0].c_str());
    if (!m || WaitForSingleObject(m, INFINITE) != WAIT_OBJECT_0) return 2;
    pid_t pid;
    char prog[] = "sleep";
    char secs[] = "30";
    char* argv[] = {prog, secs, nullptr};
    if (posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ) != 0) return 3;
    write_text(a[1], std::to_string(pid));
    _exit(0);
}

// args: name, counter file, rounds. Read-modify-write of the counter under the mutex.
int increment_under_mutex(HANDLE m, const std::string& file, int rounds) {
    for (int i = 0; i < rounds; ++i) {
        if (WaitForSingleObject(m, INFINITE) != WAIT_OBJECT_0) return 2;
        int v = std::stoi(read_text(file));
        usleep(200);
        write_text(file, std::to_string(v + 1));
        ReleaseMutex(m);
    }
    return 0;
}

int role_increment(const std::vector<std::string>& a) {
    HANDLE m = OpenMutex(MUTEX_ALL_ACCESS, FALSE, a[0].c_str());
    if (!m) return 2;
    return increment_under_mutex(m, a[1], std::stoi(a[2]));
}

const bool g_roles = [] {
    register_child_role("mutex-try", role_try);
    register_child_role("mutex-hold", role_hold);
    register_child_role("mutex-hold-spawn", role_hold_and_spawn);
    register_child_role("mutex-increment", role_increment);
    return true;
}();

TEST(NamedMutex, ExistsOnlyAfterSomeoneCreatedIt) {
    std::string name = unique_name("Exists");
    SetLastError(0);
    EXPECT_EQ(OpenMutex(MUTEX_ALL_ACCESS, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    HANDLE a = CreateMutex(nullptr, FALSE, name.c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE b = CreateMutex(nullptr, FALSE, name.c_str());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    HANDLE c = OpenMutex(MUTEX_ALL_ACCESS, FALSE, name.c_str());
    EXPECT_NE(c, nullptr);
    // Another process sees it while we have it open, and not after we closed it.
    int child = spawn_child("mutex-try", {name, "0"});
    EXPECT_EQ(wait_child(child), 0);
    CloseHandle(a);
    CloseHandle(b);
    CloseHandle(c);
    child = spawn_child("mutex-try", {name, "0"});
    EXPECT_EQ(wait_child(child), 2);
}

TEST(NamedMutex, IsRecursiveForItsOwnerAndClosedToOtherThreads) {
    std::string name = unique_name("Recursive");
    HANDLE m = CreateMutex(nullptr, FALSE, name.c_str());
    ASSERT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
    DWORD other = 0;
    auto try_from_thread = [&] {
        std::thread t([&] { other = WaitForSingleObject(m, 0); });
        t.join();
        return other;
    };
    EXPECT_EQ(try_from_thread(), WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_EQ(try_from_thread(), WAIT_TIMEOUT) << "released once, still held once";
    EXPECT_TRUE(ReleaseMutex(m));
    SetLastError(0);
    EXPECT_FALSE(ReleaseMutex(m));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    HANDLE other_handle = OpenMutex(MUTEX_ALL_ACCESS, FALSE, name.c_str());
    std::thread t([&] { other = WaitForSingleObject(other_handle, 0); });
    t.join();
    EXPECT_EQ(other, WAIT_OBJECT_0);
    CloseHandle(other_handle);
    CloseHandle(m);
}

TEST(NamedMutex, InitialOwnerHoldsANewMutex) {
    std::string name = unique_name("Initial");
    HANDLE m = CreateMutex(nullptr, TRUE, name.c_str());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(wait_child(spawn_child("mutex-try", {name, "0"})), 1);
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_EQ(wait_child(spawn_child("mutex-try", {name, "0"})), 0);
    CloseHandle(m);
}

struct Holder {
    HANDLE m;
    std::atomic<bool> holding{false};
};

DWORD take_and_end(LPVOID p) {
    auto* h = static_cast<Holder*>(p);
    if (WaitForSingleObject(h->m, INFINITE) != WAIT_OBJECT_0) return 0;
    h->holding = true;
    return 1;  // ends without ReleaseMutex
}

DWORD take_and_spin(LPVOID p) {
    auto* h = static_cast<Holder*>(p);
    if (WaitForSingleObject(h->m, INFINITE) != WAIT_OBJECT_0) return 0;
    h->holding = true;
    for (;;) Sleep(5);
}

std::atomic<int> g_answered{0};

LRESULT CALLBACK answering_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER + 7) return LRESULT(++g_answered);
    return DefWindowProc(hwnd, msg, wp, lp);
}

TEST(NamedMutex, UiThreadWaitingForAMutexAnswersTheHolderMeanwhile) {
    static const bool registered = [] {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = answering_proc;
        wc.lpszClassName = "TestMutexAnswer";
        return RegisterClassEx(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    HWND w = CreateWindowEx(0, "TestMutexAnswer", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr, nullptr);
    std::string name = unique_name("UiWait");
    HANDLE m = CreateMutex(nullptr, FALSE, name.c_str());
    std::atomic<bool> held{false};
    LRESULT last = 0;
    g_answered = 0;
    std::thread holder([&] {
        HANDLE mine = OpenMutex(SYNCHRONIZE, FALSE, name.c_str());
        WaitForSingleObject(mine, INFINITE);
        held = true;
        for (int i = 0; i < 50; ++i) last = SendMessage(w, WM_USER + 7, 0, 0);
        ReleaseMutex(mine);
        CloseHandle(mine);
    });
    while (!held) Sleep(1);
    EXPECT_EQ(WaitForSingleObject(m, 20000), WAIT_OBJECT_0) << "no deadlock";
    holder.join();
    EXPECT_EQ(last, 50);
    ReleaseMutex(m);
    CloseHandle(m);
    DestroyWindow(w);
}

TEST(NamedMutex, ThreadThatEndsOrIsTerminatedGivesItsMutexUp) {
    std::string name = unique_name("Ends");
    HANDLE m = CreateMutex(nullptr, FALSE, name.c_str());
    for (auto proc : {take_and_end, take_and_spin}) {
        Holder h{m};
        HANDLE t = CreateThread(nullptr, 0, proc, &h, 0, nullptr);
        if (proc == take_and_spin) {
            while (!h.holding) Sleep(1);
            EXPECT_EQ(wait_child(spawn_child("mutex-try", {name, "0"})), 1);
            TerminateThread(t, 0);
        }
        WaitForSingleObject(t, INFINITE);
        EXPECT_TRUE(h.holding);
        EXPECT_EQ(wait_child(spawn_child("mutex-try", {name, "0"})), 0);
        EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
        EXPECT_TRUE(ReleaseMutex(m));
        CloseHandle(t);
    }
    CloseHandle(m);
}

TEST(NamedMutex, ThreadStartedElsewhereGivesItsMutexUpWhenItEnds) {
    std::string name = unique_name("Foreign");
    HANDLE m = CreateMutex(nullptr, FALSE, name.c_str());
    DWORD got = WAIT_FAILED;
    std::thread t([&] { got = WaitForSingleObject(m, 0); });
    t.join();
    ASSERT_EQ(got, WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
    ReleaseMutex(m);
    CloseHandle(m);
}

TEST(NamedMutex, WaiterThreadCanBeTerminated) {
    std::string name = unique_name("Waiter");
    HANDLE m = CreateMutex(nullptr, TRUE, name.c_str());
    Holder h{m};
    HANDLE t = CreateThread(nullptr, 0, take_and_end, &h, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(t, 30), WAIT_TIMEOUT);
    EXPECT_TRUE(TerminateThread(t, 5));
    DWORD code = 0;
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, 5u);
    EXPECT_FALSE(h.holding);
    ReleaseMutex(m);
    CloseHandle(t);
    CloseHandle(m);
}

TEST(NamedMutex, SerialisesTwoProcesses) {
    std::string name = unique_name("Serial");
    std::string counter = testing_support::fresh_dir("serial") + "/counter";
    write_text(counter, "0");
    HANDLE m = CreateMutex(nullptr, TRUE, name.c_str());
    // While we hold it the other process waits in vain.
    EXPECT_EQ(wait_child(spawn_child("mutex-try", {name, "50"})), 1);
    ReleaseMutex(m);
    const int rounds = 60;
    int child = spawn_child("mutex-increment", {name, counter, std::to_string(rounds)});
    EXPECT_EQ(increment_under_mutex(m, counter, rounds), 0);
    EXPECT_EQ(wait_child(child), 0);
    EXPECT_EQ(read_text(counter), std::to_string(2 * rounds));
    CloseHandle(m);
}

TEST(NamedMutex, IsReleasedWhenItsHolderIsKilled) {
    std::string name = unique_name("Killed");
    std::string ready = testing_support::fresh_dir("killed") + "/ready";
    HANDLE m = CreateMutex(nullptr, FALSE, name.c_str());
    int child = spawn_child("mutex-hold", {name, ready});
    ASSERT_TRUE(wait_for_file(ready));
    EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_TIMEOUT);
    kill(child, SIGKILL);
    wait_child(child);
    EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
    ReleaseMutex(m);
    CloseHandle(m);
}

TEST(NamedMutex, ChildProgramOfTheHolderDoesNotKeepIt) {
    std::string name = unique_name("Inherit");
    std::string pid_file = testing_support::fresh_dir("inherit") + "/pid";
    HANDLE m = CreateMutex(nullptr, FALSE, name.c_str());
    EXPECT_EQ(wait_child(spawn_child("mutex-hold-spawn", {name, pid_file})), 0);
    pid_t sleeper = static_cast<pid_t>(std::stol(read_text(pid_file)));
    ASSERT_EQ(kill(sleeper, 0), 0) << "the spawned program should still run";
    // The spawned program runs for 30 s; a short wait allows for a loaded machine.
    EXPECT_EQ(WaitForSingleObject(m, 2000), WAIT_OBJECT_0);
    ReleaseMutex(m);
    kill(sleeper, SIGKILL);
    CloseHandle(m);
}

}  // namespace
