// The frame's Record and loader commands: Record waits for no operation but
// is refused while one works on the document; the loader comes and goes with
// its command, by its own Cancel too, and the window menu's check follows.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>

#include <atomic>
#include <string>

#include "operations.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;

namespace {

std::atomic<bool> g_release{false};

DWORD wait_for_release(LPVOID) {
    while (!g_release) Sleep(5);
    return 1;
}

bool loader_checked() {
    return (GetMenuState(g_shell.windowPopup, IDM_LOADER, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

}  // namespace

TEST(RecordCommand, IsRefusedWhileAnOperationWorksOnTheDocumentAndAsksOtherwise) {
    Shell s;
    command(s.frame, IDM_NEW);
    HWND doc = ActiveDocument();
    ASSERT_TRUE(doc);
    testing_support::QuestionRecorder rec;
    rec.default_answer = IDCANCEL;
    g_release = false;
    HANDLE t = StartOperation(wait_for_release, nullptr, IDS_NAME_VOLUME, doc);
    ASSERT_TRUE(t);
    command(s.frame, IDM_RECORD);
    EXPECT_TRUE(rec.asked.empty()) << "refused while the operation runs";
    g_release = true;
    WaitForSingleObject(t, INFINITE);
    OperationEnded(g_operations.table[0].threadId);
    command(s.frame, IDM_RECORD);
    ASSERT_FALSE(rec.asked.empty());
    EXPECT_EQ(rec.asked[0].kind, "Dialog");
    EXPECT_EQ(rec.asked[0].text, "BEFORERECORD") << "the level check comes first";
}

TEST(LoaderCommand, TogglesTheWindowAndItsCheckAndCancelClosesItThroughTheFrame) {
    Shell s;
    command(s.frame, IDM_LOADER);
    HWND first = g_shell.loader;
    ASSERT_TRUE(first && IsWindowVisible(first));
    EXPECT_TRUE(loader_checked());
    command(s.frame, IDM_LOADER);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(g_shell.loader, nullptr);
    EXPECT_FALSE(loader_checked());

    command(s.frame, IDM_LOADER);
    HWND second = g_shell.loader;
    ASSERT_TRUE(second && IsWindowVisible(second));
    SendMessage(second, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(second)) << "Cancel sends the command to the frame";
    EXPECT_FALSE(loader_checked());
}
