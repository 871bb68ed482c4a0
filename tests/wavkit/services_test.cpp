// The library's services: the message boxes with their exact texts, the busy
// cursor, the early end of an operation thread, and the library's instance.
#include <gtest/gtest.h>
#include <sonrel/messages.h>

#include <atomic>

#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::QuestionRecorder;

TEST(ErrorBox, ShowsTheTextAsAWarningWithAnErrorIconAndGivesTheAnswer) {
    Frame f;
    QuestionRecorder rec;
    rec.answers = {IDOK};
    EXPECT_EQ(ErrorBox(f.frame, "File truncated."), IDOK);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "MessageBox");
    EXPECT_EQ(rec.asked[0].text, "File truncated.");
    EXPECT_EQ(rec.asked[0].caption, "Warning...");
    EXPECT_EQ(rec.asked[0].style & 0xF0u, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(rec.asked[0].style & 0x0Fu, static_cast<UINT>(MB_OK));
    EXPECT_EQ(rec.asked[0].owner, f.frame);
}

TEST(ExceptionBox, NamesThePlaceInTheFixedText) {
    QuestionRecorder rec;
    ExceptionBox(nullptr, "Free memory");
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text,
              "A handled exception occured in function Free memory.\nSave your work and restart "
              "Sonrel as soon as possible.");
    EXPECT_EQ(rec.asked[0].caption, "Sonrel2003 Exception Handling...");
    EXPECT_EQ(rec.asked[0].style & 0xF0u, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST(BusyCursor, IsTheStandardWaitCursorWithoutAFileAndGoesBackAfterward) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    EXPECT_EQ(SetMouseWait(nullptr), arrow);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
    EXPECT_EQ(SetMouseActive(), LoadCursor(nullptr, IDC_WAIT));
    EXPECT_EQ(GetCursor(), arrow);
}

TEST(BusyCursor, ASecondWaitBeforeTheMatchingActiveLeavesTheBusyCursor) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);
    SetMouseWait(nullptr);
    SetMouseWait(nullptr);
    SetMouseActive();
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
    SetCursor(arrow);
}

std::atomic<DWORD> g_breaking_id{0};
std::atomic<bool> g_after_break{false};

DWORD breaking_thread(LPVOID frame) {
    g_breaking_id = GetCurrentThreadId();
    BreakThread(static_cast<HWND>(frame));
    g_after_break = true;  // never reached
    return 1;
}

TEST(BreakThread, SendsOneThreadEndWithTheThreadIdAndEndsWithCodeZero) {
    Frame f;
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, breaking_thread, f.frame, 0, &id);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(WaitForSingleObject(t, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 99;
    ASSERT_TRUE(GetExitCodeThread(t, &code));
    CloseHandle(t);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(g_after_break.load());
    EXPECT_EQ(g_breaking_id.load(), id);
    std::lock_guard<std::mutex> lock(f.mutex);
    ASSERT_EQ(f.threadEnds.size(), 1u);
    EXPECT_EQ(f.threadEnds[0], static_cast<WPARAM>(id));
}

TEST(Library, RecordsItsOwnModuleInstanceWhenLoaded) {
    HINSTANCE mine = WavkitModuleInstance();
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine, PlatformModuleOfAddress(reinterpret_cast<const void*>(&OpenWAV)));
    EXPECT_NE(mine, GetModuleHandle(nullptr));
}

}  // namespace
