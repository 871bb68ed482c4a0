// Operation threads: the start, the table, the running count, the busy
// animation and the completion sound.
#include "operations.h"

#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;

namespace {

// Records the animation messages the icon bar receives.
std::vector<UINT> g_spin;
WNDPROC g_iconBarProc = nullptr;

LRESULT CALLBACK recording_icon_bar(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == UM_SPINSTART || msg == UM_SPINSTOP) g_spin.push_back(msg);
    return CallWindowProc(g_iconBarProc, hwnd, msg, wp, lp);
}

void record_icon_bar() {
    g_spin.clear();
    g_iconBarProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
        g_shell.iconBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recording_icon_bar)));
}

std::atomic<bool> g_release{false};

DWORD wait_for_release(LPVOID) {
    while (!g_release) Sleep(5);
    return 7;
}

DWORD ends_at_once(LPVOID) {
    return 3;
}

// A sound long enough to be still playing while a test looks.
std::vector<unsigned char> long_silence() {
    std::vector<unsigned char> b(44 + 8000 * 2 * 10, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
    };
    std::memcpy(&b[0], "RIFF", 4);
    put32(4, uint32_t(b.size() - 8));
    std::memcpy(&b[8], "WAVEfmt ", 8);
    put32(16, 16);
    b[20] = 1;
    b[22] = 1;
    put32(24, 8000);
    put32(28, 16000);
    b[32] = 2;
    b[34] = 16;
    std::memcpy(&b[36], "data", 4);
    put32(40, uint32_t(b.size() - 44));
    return b;
}

}  // namespace

TEST(Operations, AStartedOperationIsEnteredBelowNormalPriority) {
    Shell s;
    g_release = false;
    HWND doc = reinterpret_cast<HWND>(0x1234);
    HANDLE t = StartOperation(wait_for_release, nullptr, IDS_NAME_VOLUME, doc);
    ASSERT_TRUE(t);
    const OperationEntry& e = g_operations.table[0];
    EXPECT_EQ(e.thread, t);
    EXPECT_NE(e.threadId, 0u);
    EXPECT_EQ(e.nameId, 15002u);
    EXPECT_EQ(e.document, doc);
    EXPECT_EQ(e.spare, -1);
    EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_BELOW_NORMAL);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE)) << "resumed and running";
    EXPECT_EQ(g_operations.running, 0) << "counted only when it announces itself";
    g_release = true;
    WaitForSingleObject(t, INFINITE);
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, 7u);
}

TEST(Operations, ANewEntryTakesTheFirstSlotThatIsNotLive) {
    Shell s;
    g_release = false;
    HANDLE a = StartOperation(wait_for_release, nullptr, IDS_NAME_VOLUME, nullptr);
    HANDLE b = StartOperation(wait_for_release, nullptr, IDS_NAME_FADEIN, nullptr);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(g_operations.table[1].thread, b);
    SendMessage(s.frame, UM_THREADEND, g_operations.table[0].threadId, 0);
    EXPECT_FALSE(IsOperationLive(g_operations.table[0]));
    HANDLE c = StartOperation(wait_for_release, nullptr, IDS_NAME_FADEOUT, nullptr);
    EXPECT_EQ(g_operations.table[0].thread, c);
    EXPECT_EQ(g_operations.table[0].nameId, 15004u);
    g_release = true;
}

TEST(Operations, TwoEffectsOnTwoDocumentsAreTabledThenClearedAndTheAnimationStops) {
    Shell s;
    record_icon_bar();
    HWND first = open_document(s.frame, write_wave("a.wav", {1, 2, 3, 4, 5, 6}));
    HWND second = open_document(s.frame, write_wave("b.wav", {100, -200, 300, -400}));
    ASSERT_TRUE(first && second);
    SendMessage(g_shell.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
    ASSERT_EQ(ActiveDocument(), first);
    // Holding the first document's guard keeps the reverse from finishing
    // before the second effect starts.
    ASSERT_TRUE(DocumentLockEnter(first));
    SendMessage(s.frame, WM_COMMAND, IDM_REVERSE, 0);
    ASSERT_EQ(live_operations(), 1);
    ASSERT_TRUE(serve_until([] { return g_operations.running == 1; }));
    SendMessage(g_shell.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(second), 0);
    SendMessage(s.frame, WM_COMMAND, IDM_MAXVOLUME, 0);
    ASSERT_EQ(live_operations(), 2);
    EXPECT_EQ(g_operations.table[0].nameId, 15007u);
    EXPECT_EQ(g_operations.table[0].document, first);
    EXPECT_EQ(g_operations.table[1].nameId, 15006u);
    EXPECT_EQ(g_operations.table[1].document, second);
    DocumentLockLeave(first);

    ASSERT_TRUE(serve_until(operations_done));
    EXPECT_EQ(g_operations.running, 0);
    for (const auto& e : g_operations.table) EXPECT_FALSE(IsOperationLive(e));
    ASSERT_FALSE(g_spin.empty());
    EXPECT_EQ(g_spin.front(), static_cast<UINT>(UM_SPINSTART));
    EXPECT_EQ(g_spin.back(), static_cast<UINT>(UM_SPINSTOP));
    EXPECT_TRUE(IsUndoPossible(first));
    EXPECT_TRUE(IsUndoPossible(second));
    EXPECT_STREQ(UndoDescription(first), "Reverse");
}

TEST(Operations, EndOfAnUnknownThreadLowersTheCountButNotBelowZeroAndPlaysNothing) {
    Shell s(Settings{{"Sonrel\\Settings\\Boolean\\PlayThreadComplete", "1"}});
    record_icon_bar();
    SendMessage(s.frame, UM_THREADBEGIN, 0, IDS_NAME_VOLUME);
    SendMessage(s.frame, UM_THREADBEGIN, 0, IDS_NAME_VOLUME);
    EXPECT_EQ(SendMessage(s.frame, UM_GETTHREADCOUNT, 0, 0), 2);
    auto sound = long_silence();
    ASSERT_TRUE(PlaySound(reinterpret_cast<LPCSTR>(sound.data()), nullptr, SND_MEMORY | SND_ASYNC));
    SendMessage(s.frame, UM_THREADEND, 9999, 0);
    EXPECT_EQ(SendMessage(s.frame, UM_GETTHREADCOUNT, 0, 0), 1);
    EXPECT_TRUE(PlatformIsSoundPlaying()) << "no signal replaced the playing sound";
    EXPECT_EQ(g_spin.back(), static_cast<UINT>(UM_SPINSTART)) << "still busy";
    SendMessage(s.frame, UM_THREADEND, 9999, 0);
    SendMessage(s.frame, UM_THREADEND, 9998, 0);
    EXPECT_EQ(SendMessage(s.frame, UM_GETTHREADCOUNT, 0, 0), 0);
    EXPECT_EQ(g_spin.back(), static_cast<UINT>(UM_SPINSTOP));
    EXPECT_TRUE(PlatformIsSoundPlaying());
    PlaySound(nullptr, nullptr, 0);
}

TEST(Operations, EndOfATabledThreadPlaysTheSignalWhenTheSettingAsks) {
    Shell s(Settings{{"Sonrel\\Settings\\Boolean\\PlayThreadComplete", "1"}});
    HANDLE t = StartOperation(ends_at_once, nullptr, IDS_NAME_REVERSE, nullptr);
    ASSERT_TRUE(t);
    DWORD id = g_operations.table[0].threadId;
    auto sound = long_silence();
    ASSERT_TRUE(PlaySound(reinterpret_cast<LPCSTR>(sound.data()), nullptr, SND_MEMORY | SND_ASYNC));
    SendMessage(s.frame, UM_THREADEND, id, 0);
    EXPECT_FALSE(PlatformIsSoundPlaying()) << "the signal replaced it and played to its end";
    EXPECT_FALSE(IsOperationLive(g_operations.table[0]));
    EXPECT_EQ(g_operations.table[0].threadId, 0u) << "the whole entry is cleared";
}

TEST(Operations, EndOfATabledThreadIsSilentWhenTheSettingIsOff) {
    Shell s(Settings{{"Sonrel\\Settings\\Boolean\\PlayThreadComplete", "0"}});
    HANDLE t = StartOperation(ends_at_once, nullptr, IDS_NAME_REVERSE, nullptr);
    ASSERT_TRUE(t);
    DWORD id = g_operations.table[0].threadId;
    auto sound = long_silence();
    ASSERT_TRUE(PlaySound(reinterpret_cast<LPCSTR>(sound.data()), nullptr, SND_MEMORY | SND_ASYNC));
    SendMessage(s.frame, UM_THREADEND, id, 0);
    EXPECT_TRUE(PlatformIsSoundPlaying());
    EXPECT_FALSE(IsOperationLive(g_operations.table[0]));
    PlaySound(nullptr, nullptr, 0);
}

TEST(Operations, TheSignalResourceIsAPlayableWave) {
    Shell s;
    DWORD size = 0;
    const void* data = PlatformFindData(g_shell.instance, "WAVE", "signal", &size);
    ASSERT_TRUE(data);
    ASSERT_GT(size, 44u);
    EXPECT_EQ(std::memcmp(data, "RIFF", 4), 0);
    EXPECT_TRUE(PlaySound("signal", g_shell.instance, SND_RESOURCE | SND_ASYNC));
    EXPECT_TRUE(PlatformIsSoundPlaying());
    PlaySound(nullptr, nullptr, 0);
}
