// The guard around the library's entry points: the body's result, or on an
// exception the entry point's failure result and report; the end of the
// calling thread always passes through.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "../../wavkit/src/entry.h"
#include "test_support.h"

namespace {

struct Thrower {
    const char* name;
    void (*raise)();
};

const Thrower kThrowers[] = {
    {"runtime_error", [] { throw std::runtime_error("x"); }},
    {"bad_alloc", [] { throw std::bad_alloc(); }},
    {"int", [] { throw 7; }},
    {"nothing", nullptr},
};

TEST(EntryGuard, GivesTheBodysResultOrTheFallbackForAnyException) {
    for (const Thrower& t : kThrowers) {
        int ran = 0;
        int got = entry::guarded(-1, [&] {
            ++ran;
            if (t.raise) t.raise();
            return 5;
        });
        EXPECT_EQ(ran, 1) << t.name;
        EXPECT_EQ(got, t.raise ? -1 : 5) << t.name;
        // Pointer results, as the dialogs and devices give them.
        const char* text = entry::guarded("FALSE", [&]() -> const char* {
            if (t.raise) t.raise();
            return "path";
        });
        EXPECT_EQ(std::string(text), t.raise ? "FALSE" : "path") << t.name;
        HWND w = entry::guarded(nullptr, [&]() -> HWND {
            if (t.raise) t.raise();
            return reinterpret_cast<HWND>(uintptr_t{0x10});
        });
        EXPECT_EQ(w, t.raise ? nullptr : reinterpret_cast<HWND>(uintptr_t{0x10})) << t.name;
        // The form without a result lets nothing out.
        EXPECT_NO_THROW(entry::guarded([&] {
            if (t.raise) t.raise();
        })) << t.name;
    }
}

TEST(EntryGuard, AFailureFunctionRunsOnlyOnFailureAndGivesItsResult) {
    for (const Thrower& t : kThrowers) {
        int failures = 0;
        int got = entry::guarded(
            [&] {
                ++failures;
                return 0;
            },
            [&] {
                if (t.raise) t.raise();
                return 1;
            });
        EXPECT_EQ(got, t.raise ? 0 : 1) << t.name;
        EXPECT_EQ(failures, t.raise ? 1 : 0) << t.name;
    }
}

TEST(EntryGuard, AnErrorBoxFailureShowsItsTextOnlyWhenTheBodyThrows) {
    testing_support::QuestionRecorder questions;
    HWND owner = reinterpret_cast<HWND>(uintptr_t{0});
    EXPECT_EQ(entry::guarded(entry::error_box(owner, "Cannot write data.", 0), [] { return 1; }),
              1);
    EXPECT_TRUE(questions.asked.empty());
    EXPECT_EQ(entry::guarded(entry::error_box(owner, "Cannot write data.", 0),
                             []() -> int { throw std::runtime_error("disk"); }),
              0);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].text, "Cannot write data.");
    EXPECT_EQ(questions.asked[0].caption, "Warning...");
    EXPECT_EQ(entry::not_enough_memory(owner), IDOK);
    ASSERT_EQ(questions.asked.size(), 2u);
    EXPECT_EQ(questions.asked[1].text, "Not enough memory.");
    EXPECT_EQ(questions.asked[1].caption, "Warning...");
}

TEST(EntryGuard, TheThreadsEndIsNeverCaught) {
    int failures = 0;
    auto count = [&] {
        ++failures;
        return 0;
    };
    EXPECT_THROW(entry::guarded(0, []() -> int { throw PlatformThreadEnd{}; }), PlatformThreadEnd);
    EXPECT_THROW(entry::guarded(count, []() -> int { throw PlatformThreadEnd{}; }),
                 PlatformThreadEnd);
    EXPECT_THROW(entry::guarded([] { throw PlatformThreadEnd{}; }), PlatformThreadEnd);
    EXPECT_EQ(failures, 0);
}

struct Flags {
    std::atomic<bool> started{false};
    std::atomic<bool> afterGuard{false};
    std::atomic<bool> failed{false};
};

// A guarded body that loops on the checkpoint until the thread is stopped.
DWORD guarded_loop(LPVOID p) {
    auto* f = static_cast<Flags*>(p);
    entry::guarded([f] { f->failed = true; },
                   [f] {
                       f->started = true;
                       for (;;) PlatformCheckpoint();
                   });
    f->afterGuard = true;
    return 1;
}

TEST(EntryGuard, AThreadStoppedInsideAGuardedBodyEndsThereWithItsCode) {
    Flags f;
    HANDLE h = CreateThread(nullptr, 0, guarded_loop, &f, 0, nullptr);
    ASSERT_NE(h, nullptr);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!f.started && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(f.started);
    EXPECT_TRUE(TerminateThread(h, 42));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_FALSE(f.failed) << "the guard took the thread's end for a failure";
    EXPECT_FALSE(f.afterGuard) << "the thread went on after the guard";
    CloseHandle(h);
}

}  // namespace
