// Closing the program: running operations, the save question per document,
// the placement and the cleanup.
#include "closing.h"

#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <sonrel/ids.h>
#include <sonrel/wavkit.h>

#include <atomic>
#include <string>

#include "operations.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

const char kRunningQuestion[] =
    "Not all running actions have been terminated.\rNevertheless, do you want to close "
    "Sonrel2003?";

std::string save_question(const std::string& path) {
    return "The file " + path +
           " has not been saved yet.\rDo you want to save the changes before quitting?";
}

void close_frame(HWND frame) {
    SendMessage(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::atomic<bool> g_stop{false};

DWORD runs_until_stopped(LPVOID) {
    while (!g_stop) Sleep(5);
    return 1;
}

DWORD exit_code(HANDLE t) {
    DWORD code = 0;
    GetExitCodeThread(t, &code);
    return code;
}

std::string temp_file(const char* name) {
    return testing_support::temp_path(name);
}

bool exists(const std::string& path) {
    return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(Closing, CancelInTheSaveQuestionKeepsEverythingOpen) {
    Shell s;
    std::string path = write_wave("unsaved.wav", {1, 2, 3, 4});
    HWND doc = open_document(s.frame, path);
    ASSERT_TRUE(doc);
    SetFileNotSaved(doc);
    QuestionRecorder rec;
    rec.default_answer = IDCANCEL;
    close_frame(s.frame);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, save_question(path));
    EXPECT_EQ(rec.asked[0].caption, "Close File");
    EXPECT_EQ(rec.asked[0].style, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(rec.asked[0].owner, doc);
    EXPECT_TRUE(IsWindow(s.frame));
    EXPECT_TRUE(IsWindow(doc));
}

TEST(Closing, NoClosesTheUnsavedDocumentAndTheFrame) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("discard.wav", {1, 2, 3, 4}));
    ASSERT_TRUE(doc);
    SetFileNotSaved(doc);
    QuestionRecorder rec;
    rec.default_answer = IDNO;
    close_frame(s.frame);
    EXPECT_EQ(rec.asked.size(), 1u);
    EXPECT_FALSE(IsWindow(doc));
    EXPECT_FALSE(IsWindow(s.frame));
}

TEST(Closing, YesSavesUnderTheChosenPathBeforeClosing) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("tosave.wav", {5, 6, 7, 8}));
    ASSERT_TRUE(doc);
    SetFileNotSaved(doc);
    std::string target = testing_support::fresh_dir("closing") + "/saved.wav";
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::string(q->kind) == "SaveFile") return reinterpret_cast<INT_PTR>(target.c_str());
        return IDYES;
    };
    close_frame(s.frame);
    EXPECT_FALSE(IsWindow(s.frame));
    EXPECT_EQ(testing_support::read_file(target).size(), 44u + 8u);
}

TEST(Closing, SavedDocumentsCloseWithoutAQuestion) {
    Shell s;
    ASSERT_TRUE(open_document(s.frame, write_wave("clean.wav", {1, 2})));
    QuestionRecorder rec;
    close_frame(s.frame);
    EXPECT_TRUE(rec.asked.empty());
    EXPECT_FALSE(IsWindow(s.frame));
}

TEST(Closing, CloseAllStopsAtTheFirstCancelledQuestion) {
    Shell s;
    HWND a = open_document(s.frame, write_wave("one.wav", {1, 2}));
    HWND b = open_document(s.frame, write_wave("two.wav", {3, 4}));
    ASSERT_TRUE(a && b);
    SetFileNotSaved(a);
    SetFileNotSaved(b);
    QuestionRecorder rec;
    rec.answers = {IDNO, IDCANCEL};
    SendMessage(s.frame, WM_COMMAND, IDM_CLOSEALL, 0);
    EXPECT_EQ(rec.asked.size(), 2u);
    EXPECT_EQ(IsWindow(a) + IsWindow(b), 1) << "the first closed, the cancelled one stays";
    EXPECT_TRUE(IsWindow(s.frame)) << "close all leaves the frame";
}

TEST(Closing, NoToTheRunningActionsQuestionLeavesThemRunning) {
    Shell s;
    g_stop = false;
    HANDLE t = StartOperation(runs_until_stopped, nullptr, IDS_NAME_VOLUME, nullptr);
    ASSERT_TRUE(t);
    QuestionRecorder rec;
    rec.default_answer = IDNO;
    close_frame(s.frame);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, kRunningQuestion);
    EXPECT_EQ(rec.asked[0].caption, "Close Sonrel2003");
    EXPECT_EQ(rec.asked[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(IsWindow(s.frame));
    EXPECT_EQ(exit_code(t), static_cast<DWORD>(STILL_ACTIVE));
    g_stop = true;
}

TEST(Closing, YesEndsTheRunningActionsBeforeAnySaveQuestion) {
    Shell s;
    g_stop = false;
    HWND doc = open_document(s.frame, write_wave("running.wav", {1, 2}));
    ASSERT_TRUE(doc);
    SetFileNotSaved(doc);
    HANDLE a = StartOperation(runs_until_stopped, nullptr, IDS_NAME_VOLUME, doc);
    HANDLE b = StartOperation(runs_until_stopped, nullptr, IDS_NAME_FADEIN, doc);
    ASSERT_TRUE(a && b);
    QuestionRecorder rec;
    DWORD codeWhenAsked[2] = {1, 1};
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::string(q->caption) == "Close File") {
            codeWhenAsked[0] = exit_code(a);
            codeWhenAsked[1] = exit_code(b);
            return IDCANCEL;
        }
        return IDYES;
    };
    close_frame(s.frame);
    ASSERT_EQ(rec.asked.size(), 2u);
    EXPECT_EQ(rec.asked[0].caption, "Close Sonrel2003");
    EXPECT_EQ(codeWhenAsked[0], 0u) << "terminated with exit code 0";
    EXPECT_EQ(codeWhenAsked[1], 0u);
    EXPECT_TRUE(IsWindow(s.frame)) << "Cancel in the save question keeps the program open";
    EXPECT_TRUE(IsOperationLive(g_operations.table[0])) << "entries are not cleared";
    g_stop = true;
}

TEST(Closing, ThePlacementIsStoredWhenTheFrameCloses) {
    Shell s;
    SetWindowPos(s.frame, nullptr, 20, 30, 800, 600, SWP_NOZORDER);
    close_frame(s.frame);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\Main\\ShowState", 0), 5);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\Main\\X", 0), 20);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\Main\\Y", 0), 30);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\Main\\Width", 0), 800);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\Main\\Height", 0), 600);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\FuncBar\\Y", 0), 46);
    EXPECT_STREQ(RegGetString("Sonrel\\Settings\\Boolean\\CDPlayerVisible", "?"), "0");
    EXPECT_STREQ(RegGetString("Sonrel\\Settings\\Boolean\\ShowExtensions", "?"), "1");
}

TEST(Closing, DestroyingTheFrameDeletesTheTemporaryFiles) {
    std::string temp = temp_file("SnrTemp.WAV"), clip = temp_file("SnrCLIP.WAV");
    {
        Shell s;
        testing_support::write_file(temp, {1});
        testing_support::write_file(clip, {1});
        DestroyWindow(s.frame);
        EXPECT_FALSE(exists(temp));
        EXPECT_TRUE(exists(clip)) << "the clipboard stays unless the setting says";
    }
    {
        Shell s(Settings{{"Sonrel\\Settings\\Boolean\\DeleteTempClipboard", "1"}});
        DestroyWindow(s.frame);
        EXPECT_FALSE(exists(clip));
    }
}

TEST(Closing, EndOfSessionAsksToStartOnceAtTheNextLogon) {
    Shell s;
    SendMessage(s.frame, WM_ENDSESSION, 1, 0);
    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0,
                     KEY_READ, &key),
        0);
    char value[MAX_PATH] = {};
    DWORD size = sizeof value, type = 0;
    ASSERT_EQ(RegQueryValueEx(key, "Sonrel", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
              0);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    char self[MAX_PATH] = {};
    GetModuleFileName(nullptr, self, sizeof self);
    EXPECT_STREQ(value, self);
    EXPECT_TRUE(IsWindow(s.frame)) << "nothing is closed by the message";
}
