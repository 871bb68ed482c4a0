// The per-document guard: one holder at a time across threads, recursive on
// one thread, waits that keep the user-interface thread serving, and waits on
// operation threads that end when the thread is stopped.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "document_fixture.h"

namespace {

using namespace wavtest;

TEST(DocumentLock, IsRecursiveOnOneThreadAndExclusiveAcrossThreads) {
    Frame f;
    HWND d = make_document(f, Format{}, pattern(8));
    ASSERT_TRUE(DocumentLockEnter(d));
    ASSERT_TRUE(DocumentLockTry(d));  // the same thread again
    BOOL other = TRUE;
    std::thread([&] { other = DocumentLockTry(d); }).join();
    EXPECT_FALSE(other);
    DocumentLockLeave(d);
    std::thread([&] { other = DocumentLockTry(d); }).join();
    EXPECT_FALSE(other) << "one hold is still taken";
    DocumentLockLeave(d);
    std::thread([&] {
        other = DocumentLockTry(d);
        if (other) DocumentLockLeave(d);
    }).join();
    EXPECT_TRUE(other);
}

TEST(DocumentLock, GuardsOfDifferentDocumentsAreIndependent) {
    Frame f;
    HWND a = make_document(f, Format{}, pattern(8));
    HWND b = make_document(f, Format{}, pattern(8));
    DocumentLock held(a);
    BOOL gotB = FALSE, gotA = TRUE;
    std::thread([&] {
        gotB = DocumentLockTry(b);
        if (gotB) DocumentLockLeave(b);
        gotA = DocumentLockTry(a);
    }).join();
    EXPECT_TRUE(gotB);
    EXPECT_FALSE(gotA);
    EXPECT_FALSE(DocumentLockEnter(nullptr));
}

// A holder on another thread sends to a window while the user-interface thread
// waits for the guard: the wait must serve that call, or both would hang.
TEST(DocumentLock, WaitOnTheUserInterfaceThreadServesSentMessages) {
    Frame f;
    HWND d = make_document(f, Format{}, pattern(8));
    std::atomic<bool> holding{false};
    std::atomic<LRESULT> answered{0};
    std::thread holder([&] {
        DocumentLock lock(d);
        holding = true;
        answered = SendMessage(f.client, WM_MDIGETACTIVE, 0, 0) + 1;
    });
    while (!holding) std::this_thread::yield();
    {
        DocumentLock lock(d);
        EXPECT_NE(answered.load(), 0) << "the holder's sent message was served during the wait";
    }
    holder.join();
}

DWORD wait_for_guard(LPVOID arg) {
    DocumentLock lock(static_cast<HWND>(arg));
    return 5;
}

TEST(DocumentLock, AnOperationThreadWaitingForTheGuardEndsWhenStopped) {
    Frame f;
    HWND d = make_document(f, Format{}, pattern(8));
    DocumentLockEnter(d);
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, wait_for_guard, d, 0, &id);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(WaitForSingleObject(t, 50), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(TerminateThread(t, 77));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(code, 77u);
    CloseHandle(t);
    DocumentLockLeave(d);
    // The stopped waiter never took the guard, so another thread can.
    BOOL got = FALSE;
    std::thread([&] {
        got = DocumentLockTry(d);
        if (got) DocumentLockLeave(d);
    }).join();
    EXPECT_TRUE(got);
}

TEST(DocumentLock, ReleasingTheBlocksWaitsForTheHolder) {
    Frame f;
    HWND d = make_document(f, Format{}, pattern(64));
    std::atomic<bool> holding{false}, done{false}, released{false};
    std::thread holder([&] {
        DocumentLock lock(d);
        holding = true;
        while (!done) std::this_thread::yield();
    });
    while (!holding) std::this_thread::yield();
    std::thread releaser([&] {
        ReleaseDocumentBlocks(d);
        released = true;
    });
    Sleep(50);  // long enough for a release that does not wait to have happened
    EXPECT_FALSE(released.load());
    EXPECT_NE(GetProp(d, PROP_WAVE), nullptr);
    done = true;
    holder.join();
    releaser.join();
    EXPECT_TRUE(released.load());
    EXPECT_EQ(GetProp(d, PROP_WAVE), nullptr);
}

}  // namespace
