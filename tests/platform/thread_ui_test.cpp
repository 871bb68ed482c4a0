// Threads that talk to a window of the user-interface thread: waits on that
// thread keep serving their sent messages, and a thread blocked in SendMessage
// can be terminated.
#include <gtest/gtest.h>
#include <platform/platform.h>

#include <atomic>

namespace {

constexpr UINT kAdd = WM_USER + 1;        // returns wParam + 1
constexpr UINT kTerminate = WM_USER + 2;  // the procedure terminates the sender

std::atomic<int> g_served{0};
HANDLE g_sender = nullptr;

LRESULT probe_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kAdd) {
        ++g_served;
        return static_cast<LRESULT>(wp + 1);
    }
    if (msg == kTerminate) {
        // The sender is blocked in this very SendMessage; it must still end.
        TerminateThread(g_sender, 77);
        return 1;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

HWND make_probe_window() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = probe_proc;
        wc.lpszClassName = "ThreadProbe";
        registered = RegisterClassEx(&wc) != 0;
    }
    return CreateWindowEx(0, "ThreadProbe", "probe", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                          nullptr, nullptr);
}

struct Sender {
    HWND target;
    std::atomic<int> sent{0};
    std::atomic<bool> unwound{false};
};

struct SetOnDestroy {
    std::atomic<bool>& flag;
    ~SetOnDestroy() { flag = true; }
};

// Sends 500 messages and returns 1 when every answer was right.
DWORD send_many(LPVOID p) {
    auto* s = static_cast<Sender*>(p);
    for (WPARAM i = 0; i < 500; ++i) {
        if (SendMessage(s->target, kAdd, i, 0) != static_cast<LRESULT>(i + 1)) return 0;
        ++s->sent;
    }
    return 1;
}

DWORD send_forever(LPVOID p) {
    auto* s = static_cast<Sender*>(p);
    SetOnDestroy guard{s->unwound};
    for (;;) {
        SendMessage(s->target, kAdd, 0, 0);
        ++s->sent;
    }
}

DWORD send_terminate(LPVOID p) {
    auto* s = static_cast<Sender*>(p);
    SetOnDestroy guard{s->unwound};
    SendMessage(s->target, kTerminate, 0, 0);
    ++s->sent;
    return 1;
}

TEST(ThreadsAndWindows, WaitOnTheUiThreadServesMessagesTheThreadSends) {
    ASSERT_TRUE(PlatformIsUiThread());
    HWND w = make_probe_window();
    ASSERT_NE(w, nullptr);
    Sender s{w};
    g_served = 0;
    HANDLE h = CreateThread(nullptr, 0, send_many, &s, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, 1u);
    EXPECT_EQ(s.sent.load(), 500);
    EXPECT_EQ(g_served.load(), 500);
    CloseHandle(h);
    DestroyWindow(w);
}

TEST(ThreadsAndWindows, TerminateEndsAThreadThatKeepsSending) {
    HWND w = make_probe_window();
    Sender s{w};
    HANDLE h = CreateThread(nullptr, 0, send_forever, &s, 0, nullptr);
    while (s.sent.load() < 50) PlatformServeSentMessages();
    EXPECT_TRUE(TerminateThread(h, 12));
    DWORD code = 0;
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, 12u);
    EXPECT_TRUE(s.unwound);
    CloseHandle(h);
    DestroyWindow(w);
}

TEST(ThreadsAndWindows, ThreadBlockedInSendMessageCanBeTerminated) {
    HWND w = make_probe_window();
    Sender s{w};
    g_sender = CreateThread(nullptr, 0, send_terminate, &s, CREATE_SUSPENDED, nullptr);
    ResumeThread(g_sender);
    ASSERT_EQ(WaitForSingleObject(g_sender, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(g_sender, &code);
    EXPECT_EQ(code, 77u);
    EXPECT_TRUE(s.unwound);
    EXPECT_EQ(s.sent.load(), 0) << "the sender went on after being terminated";
    CloseHandle(g_sender);
    g_sender = nullptr;
    DestroyWindow(w);
}

}  // namespace
