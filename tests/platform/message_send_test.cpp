// Sent messages across threads: the user-interface thread serves them while it
// waits, in the program's loop, and in the layer's waits.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "window_test_log.h"

namespace {

std::atomic<int> g_calls{0};
std::atomic<int> g_in_send_seen{-1};

LRESULT CALLBACK echo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER + 10) {
        ++g_calls;
        return LRESULT(wp) * 2 + 1;
    }
    if (msg == WM_USER + 11) {
        g_in_send_seen = InSendMessage() ? 1 : 0;
        return 0;
    }
    if (msg == WM_USER + 12) {
        PostQuitMessage(int(wp));
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

HWND echo_window() {
    static std::string cls = wtest::register_class("WTestEcho", echo_proc);
    return CreateWindowEx(0, cls.c_str(), "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                          nullptr, nullptr);
}

// Sends count messages alternating between two windows; counts wrong answers.
void send_many(HWND a, HWND b, int base, int count, std::atomic<int>* wrong) {
    for (int i = 0; i < count; ++i) {
        WPARAM v = WPARAM(base + i);
        if (SendMessage(i % 2 ? a : b, WM_USER + 10, v, 0) != LRESULT(v * 2 + 1)) ++*wrong;
    }
}

class MessageSend : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls = 0;
        a = echo_window();
        b = echo_window();
    }
    void TearDown() override {
        DestroyWindow(a);
        DestroyWindow(b);
    }
    HWND a = nullptr, b = nullptr;
};

TEST_F(MessageSend, FourThreadsSendThousandsWhileTheUiThreadServesThem) {
    constexpr int kPerThread = 2500;
    std::atomic<int> wrong{0}, finished{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            send_many(a, b, t * 100000, kPerThread, &wrong);
            ++finished;
        });
    while (finished < 4) {
        PlatformServeSentMessages();
        std::this_thread::yield();
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(g_calls, 4 * kPerThread);
}

DWORD sender_thread(LPVOID arg) {
    auto* wins = static_cast<HWND*>(arg);
    std::atomic<int> wrong{0};
    send_many(wins[0], wins[1], 7, 2000, &wrong);
    return wrong == 0 ? 1 : 0;
}

TEST_F(MessageSend, WaitingForThreadsOnTheUiThreadKeepsServingTheirSends) {
    HWND wins[2] = {a, b};
    HANDLE threads[4];
    for (HANDLE& h : threads) h = CreateThread(nullptr, 0, sender_thread, wins, 0, nullptr);
    for (HANDLE h : threads) {
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(h, &code));
        EXPECT_EQ(code, 1u) << "a thread got a wrong answer";
        CloseHandle(h);
    }
    EXPECT_EQ(g_calls, 4 * 2000);
}

TEST_F(MessageSend, SendsAreServedWhileTheProgramLoopWaitsInGetMessage) {
    std::atomic<int> wrong{0};
    std::thread t([&] {
        send_many(a, b, 0, 300, &wrong);
        PostMessage(a, WM_USER + 12, 42, 0);
    });
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
    t.join();
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(42));
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(g_calls, 300);
}

TEST_F(MessageSend, ADestroyedTargetAnswersZeroToAnotherThread) {
    DestroyWindow(b);
    LRESULT r = -1;
    std::thread t([&] { r = SendMessage(b, WM_USER + 10, 5, 0); });
    t.join();
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g_calls, 0);
    b = echo_window();
}

TEST_F(MessageSend, InSendMessageTellsCallsFromOtherThreads) {
    SendMessage(a, WM_USER + 11, 0, 0);
    EXPECT_EQ(g_in_send_seen, 0);
    std::atomic<bool> done{false};
    std::thread t([&] {
        SendMessage(a, WM_USER + 11, 0, 0);
        done = true;
    });
    while (!done) PlatformServeSentMessages();
    t.join();
    EXPECT_EQ(g_in_send_seen, 1);
}

DWORD endless_sender(LPVOID arg) {
    HWND hwnd = static_cast<HWND>(arg);
    for (;;) SendMessage(hwnd, WM_USER + 10, 1, 0);
    return 0;
}

TEST_F(MessageSend, AThreadSendingInALoopCanBeStopped) {
    HANDLE h = CreateThread(nullptr, 0, endless_sender, a, 0, nullptr);
    ASSERT_NE(h, nullptr);
    while (g_calls < 10) PlatformServeSentMessages();
    EXPECT_TRUE(TerminateThread(h, 77));
    EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, 77u);
    CloseHandle(h);
}

}  // namespace
