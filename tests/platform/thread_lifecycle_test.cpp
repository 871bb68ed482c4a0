// Threads: suspended start, ids, exit codes, waits, suspension, priorities and
// cooperative termination.
#include <gtest/gtest.h>
#include <platform/platform.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <set>
#include <thread>

namespace {

// Runs until fn() holds or about ten seconds pass; for conditions that another
// thread makes true soon.
template <typename F>
bool eventually(F fn) {
    for (int i = 0; i < 2000; ++i) {
        if (fn()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return fn();
}

DWORD exit_code(HANDLE h) {
    DWORD code = 12345;
    EXPECT_TRUE(GetExitCodeThread(h, &code));
    return code;
}

struct Flags {
    std::atomic<bool> started{false};
    std::atomic<bool> release{false};
    std::atomic<bool> unwound{false};
    std::atomic<bool> caught{false};
    std::atomic<DWORD> seen_id{0};
    std::atomic<int> nice{-100};
    std::atomic<long> count{0};
};

struct SetOnDestroy {
    std::atomic<bool>& flag;
    ~SetOnDestroy() { flag = true; }
};

DWORD returns_42(LPVOID p) {
    auto* f = static_cast<Flags*>(p);
    f->seen_id = GetCurrentThreadId();
    f->started = true;
    return 42;
}

[[noreturn]] void leave_from_deep_inside(Flags* f) {
    SetOnDestroy guard{f->unwound};
    ExitThread(7);
}

DWORD exits_with_7(LPVOID p) {
    leave_from_deep_inside(static_cast<Flags*>(p));
}

DWORD waits_for_release(LPVOID p) {
    auto* f = static_cast<Flags*>(p);
    f->started = true;
    while (!f->release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    f->count = 1;
    return 5;
}

DWORD loops_on_checkpoint(LPVOID p) {
    auto* f = static_cast<Flags*>(p);
    SetOnDestroy guard{f->unwound};
    try {
        f->started = true;
        for (;;) {
            ++f->count;
            PlatformCheckpoint();
        }
    }
    PLATFORM_RETHROW_THREAD_EXIT
    catch (...) {
        f->caught = true;
    }
    return 1;
}

// A careless catch-all that does not let the end pass.
DWORD swallows_then_checks(LPVOID p) {
    auto* f = static_cast<Flags*>(p);
    try {
        f->started = true;
        for (;;) PlatformCheckpoint();
    } catch (...) {
        f->caught = true;
    }
    ++f->count;
    PlatformCheckpoint();
    f->count += 100;
    return 1;
}

DWORD sleeps_long(LPVOID p) {
    auto* f = static_cast<Flags*>(p);
    SetOnDestroy guard{f->unwound};
    f->started = true;
    Sleep(600000);
    return 1;
}

DWORD reports_niceness(LPVOID p) {
    auto* f = static_cast<Flags*>(p);
    errno = 0;
    f->nice = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
    return 0;
}

TEST(Threads, SuspendedThreadRunsOnlyAfterResume) {
    Flags f;
    DWORD id = 0;
    HANDLE h = CreateThread(nullptr, 0, returns_42, &f, CREATE_SUSPENDED, &id);
    ASSERT_NE(h, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(f.started);
    EXPECT_EQ(exit_code(h), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(h, 10), WAIT_TIMEOUT);
    EXPECT_EQ(ResumeThread(h), 1u);
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(f.started);
    EXPECT_EQ(exit_code(h), 42u);
    EXPECT_EQ(f.seen_id, id);
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Threads, IdsAreSmallStableAndDistinct) {
    DWORD mine = GetCurrentThreadId();
    EXPECT_EQ(GetCurrentThreadId(), mine);
    EXPECT_GE(mine, 1u);
    std::set<DWORD> ids{mine};
    Flags f[5];
    for (auto& fl : f) {
        DWORD id = 0;
        HANDLE h = CreateThread(nullptr, 0, returns_42, &fl, 0, &id);
        ASSERT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(fl.seen_id, id);
        ids.insert(id);
        CloseHandle(h);
    }
    EXPECT_EQ(ids.size(), 6u);
    EXPECT_LT(*ids.rbegin(), 10000u);
}

TEST(Threads, ExitThreadGivesItsCodeAndUnwindsTheStack) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, exits_with_7, &f, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(exit_code(h), 7u);
    EXPECT_TRUE(f.unwound);
    CloseHandle(h);
}

TEST(Threads, WaitTimesOutWhileTheThreadRunsAndClosingDoesNotStopIt) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, waits_for_release, &f, 0, nullptr);
    ASSERT_TRUE(eventually([&] { return f.started.load(); }));
    EXPECT_EQ(WaitForSingleObject(h, 20), WAIT_TIMEOUT);
    EXPECT_EQ(exit_code(h), static_cast<DWORD>(STILL_ACTIVE));
    HANDLE second = h;
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_FAILED);
    DWORD code;
    EXPECT_FALSE(GetExitCodeThread(second, &code));
    EXPECT_FALSE(CloseHandle(second));
    f.release = true;
    EXPECT_TRUE(eventually([&] { return f.count.load() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

TEST(Threads, TerminateEndsALoopAtItsCheckpointWithTheGivenCode) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, loops_on_checkpoint, &f, 0, nullptr);
    ASSERT_TRUE(eventually([&] { return f.count.load() > 100; }));
    EXPECT_TRUE(TerminateThread(h, 99));
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
    EXPECT_EQ(exit_code(h), 99u);
    EXPECT_TRUE(f.unwound);
    EXPECT_FALSE(f.caught) << "a catch-all swallowed the thread's end";
    CloseHandle(h);
}

TEST(Threads, SwallowedEndStillEndsTheThreadAtItsNextCheckpoint) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, swallows_then_checks, &f, 0, nullptr);
    ASSERT_TRUE(eventually([&] { return f.started.load(); }));
    EXPECT_TRUE(TerminateThread(h, 8));
    EXPECT_TRUE(f.caught);
    EXPECT_EQ(f.count.load(), 1);
    EXPECT_EQ(exit_code(h), 8u);
    CloseHandle(h);
}

TEST(Threads, TerminateWakesASleepingThread) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, sleeps_long, &f, 0, nullptr);
    ASSERT_TRUE(eventually([&] { return f.started.load(); }));
    EXPECT_TRUE(TerminateThread(h, 3));
    EXPECT_EQ(exit_code(h), 3u);
    EXPECT_TRUE(f.unwound);
    CloseHandle(h);
}

TEST(Threads, TerminatingANeverResumedThreadSkipsItsProcedure) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, returns_42, &f, CREATE_SUSPENDED, nullptr);
    EXPECT_TRUE(TerminateThread(h, 0));
    EXPECT_EQ(exit_code(h), 0u);
    EXPECT_FALSE(f.started);
    CloseHandle(h);
}

TEST(Threads, TerminatingAnEndedThreadKeepsItsOwnCode) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, returns_42, &f, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(TerminateThread(h, 9));
    EXPECT_EQ(exit_code(h), 42u);
    CloseHandle(h);
}

TEST(Threads, SuspendStopsALoopAtItsCheckpointUntilResumed) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, loops_on_checkpoint, &f, 0, nullptr);
    ASSERT_TRUE(eventually([&] { return f.count.load() > 100; }));
    EXPECT_EQ(SuspendThread(h), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    long parked = f.count;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(f.count.load(), parked);
    EXPECT_EQ(ResumeThread(h), 1u);
    EXPECT_TRUE(eventually([&] { return f.count.load() > parked; }));
    // A suspended thread can still be terminated.
    SuspendThread(h);
    EXPECT_TRUE(TerminateThread(h, 4));
    EXPECT_EQ(exit_code(h), 4u);
    CloseHandle(h);
}

TEST(Threads, PrioritiesBelowNormalRaiseTheThreadsNiceness) {
    errno = 0;
    int base = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
    ASSERT_EQ(errno, 0);
    if (base > 17) GTEST_SKIP() << "process already runs at the lowest niceness";
    struct Case {
        int priority, nice_step;
    } cases[] = {{THREAD_PRIORITY_NORMAL, 0},
                 {THREAD_PRIORITY_BELOW_NORMAL, 1},
                 {THREAD_PRIORITY_LOWEST, 2}};
    for (const Case& c : cases) {
        Flags f;
        HANDLE h = CreateThread(nullptr, 0, reports_niceness, &f, CREATE_SUSPENDED, nullptr);
        EXPECT_TRUE(SetThreadPriority(h, c.priority));
        EXPECT_EQ(GetThreadPriority(h), c.priority);
        ResumeThread(h);
        WaitForSingleObject(h, INFINITE);
        EXPECT_EQ(f.nice.load(), base + c.nice_step) << c.priority;
        CloseHandle(h);
    }
}

TEST(Threads, BadHandlesAreRefused) {
    HANDLE bad = reinterpret_cast<HANDLE>(0x7777);
    DWORD code;
    EXPECT_EQ(WaitForSingleObject(bad, 0), WAIT_FAILED);
    EXPECT_FALSE(GetExitCodeThread(bad, &code));
    EXPECT_EQ(ResumeThread(bad), static_cast<DWORD>(-1));
    EXPECT_FALSE(TerminateThread(bad, 0));
    EXPECT_FALSE(SetThreadPriority(bad, THREAD_PRIORITY_LOWEST));
    EXPECT_FALSE(CloseHandle(bad));
    // A memory block's handle is not a thread.
    HGLOBAL mem = GlobalAlloc(GHND, 4);
    EXPECT_EQ(WaitForSingleObject(mem, 0), WAIT_FAILED);
    GlobalFree(mem);
}

}  // namespace
