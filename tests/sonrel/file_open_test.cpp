// The frame's background open: File > Open, UM_OPENPENDING, revert and
// convert, the "Open File" operation while a file loads, and the turn that
// "SnrFileOpen" gives across running copies.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "file_commands.h"
#include "operations.h"
#include "shell_fixture.h"
#include "startup.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

bool exists(const std::string& path) {
    return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void touch(const std::string& path) {
    if (FILE* f = std::fopen(path.c_str(), "w")) std::fclose(f);
}

// Another running copy's background open: holds "SnrFileOpen", says so with
// the file <dir>/held, and after a while writes <dir>/releasing and gives it up.
const bool kRoles = [] {
    testing_support::register_child_role("hold-file-open", [](const std::vector<std::string>& a) {
        HANDLE m = CreateMutex(nullptr, FALSE, "SnrFileOpen");
        if (!m || WaitForSingleObject(m, INFINITE) != WAIT_OBJECT_0) return 1;
        touch(a[0] + "/held");
        usleep(700 * 1000);
        touch(a[0] + "/releasing");
        ReleaseMutex(m);
        CloseHandle(m);
        return 0;
    });
    return true;
}();

std::string title_of(HWND w) {
    char text[512] = {};
    GetWindowText(w, text, sizeof text);
    return text;
}

std::string ima_file(const std::string& name) {
    std::string path = testing_support::fresh_dir("openima") + "/" + name;
    EXPECT_EQ(testing_support::run("sox -V1 -n -r 8000 -c 1 -e ima-adpcm '" + path +
                                   "' synth 0.5 sine 300 vol 0.5"),
              0);
    return path;
}

const OperationEntry* open_file_entry() {
    for (const auto& e : g_operations.table)
        if (IsOperationLive(e) && e.nameId == IDS_NAME_OPENFILE) return &e;
    return nullptr;
}

}  // namespace

TEST(BackgroundOpen, WaitsForAnotherCopysOpenAndIsListedAsOpenFileMeanwhile) {
    Shell s;
    std::string path = ima_file("turn.wav");
    std::string dir = testing_support::fresh_dir("turn");
    int pid = testing_support::spawn_child("hold-file-open", {dir});
    ASSERT_TRUE(serve_until([&] { return exists(dir + "/held"); }));

    ASSERT_TRUE(OpenInBackground(s.frame, path.c_str(), 3));
    HWND doc = ActiveDocument();
    ASSERT_TRUE(doc);
    EXPECT_EQ(title_of(doc), "Unnamed -3-.WAV");
    const OperationEntry* e = open_file_entry();
    ASSERT_TRUE(e) << "the thread manager lists it under \"Open File \"";
    EXPECT_EQ(e->document, doc);
    EXPECT_EQ(e->spare, -1);

    ASSERT_TRUE(serve_until(operations_done));
    EXPECT_TRUE(exists(dir + "/releasing")) << "the load waited for the other copy";
    EXPECT_EQ(testing_support::wait_child(pid), 0);
    EXPECT_EQ(title_of(doc), path);
    EXPECT_EQ(wave_bytes(doc).size(), 4000u) << "0.5 s at 8000 Hz, 8 bits";
    EXPECT_FALSE(IsFileWorking(doc));
}

TEST(BackgroundOpen, TheOpenCommandReadsTheChosenFileInTheBackground) {
    Shell s;
    std::string path = ima_file("chosen ima.wav");
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        return std::string(q->kind) == "OpenFile" ? reinterpret_cast<INT_PTR>(path.c_str()) : 0;
    };
    command(s.frame, IDM_OPEN);
    HWND doc = ActiveDocument();
    ASSERT_TRUE(doc);
    ASSERT_TRUE(serve_until(operations_done));
    EXPECT_EQ(title_of(doc), path);
    EXPECT_EQ(RegGetString("Sonrel\\NewFile\\FileOpen", ""), path);
    HGLOBAL h = GetProp(doc, PROP_INFO);
    auto* info = static_cast<InfoBlock*>(GlobalLock(h));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->sourceFormat, SOURCE_COMPRESSED);
    GlobalUnlock(h);
}

TEST(BackgroundOpen, OpenPendingOpensTheFileNamedInTheSettings) {
    Shell s;
    std::string path = write_wave("pending.wav", {1, 2, 3, 4});
    RegWriteString("Sonrel\\NewFile\\FileOpen", path.c_str());
    SendMessage(s.frame, UM_OPENPENDING, 0, 0);
    ASSERT_TRUE(serve_until(operations_done));
    HWND doc = ActiveDocument();
    ASSERT_TRUE(doc);
    EXPECT_EQ(title_of(doc), path);
    EXPECT_EQ(wave_bytes(doc), (std::vector<unsigned char>{1, 0, 2, 0, 3, 0, 4, 0}));
}

TEST(BackgroundOpen, RevertReadsTheSavedFileAgainAfterTheQuestion) {
    Shell s;
    const std::vector<short> values = {100, 200, 300, 400, 500, 600};
    std::string path = write_wave("revert.wav", values);
    ASSERT_TRUE(OpenInBackground(s.frame, path.c_str(), 1));
    ASSERT_TRUE(serve_until(operations_done));
    HWND doc = ActiveDocument();
    const std::vector<unsigned char> original = wave_bytes(doc);

    QuestionRecorder rec;
    command(s.frame, IDM_REVERT);
    EXPECT_TRUE(rec.asked.empty()) << "an unchanged document is not reverted";

    command(s.frame, IDM_REVERSE);
    ASSERT_TRUE(serve_until(operations_done));
    ASSERT_NE(wave_bytes(doc), original);
    rec.answers = {IDNO, IDYES};
    command(s.frame, IDM_REVERT);
    ASSERT_TRUE(serve_until(operations_done));
    EXPECT_NE(wave_bytes(doc), original) << "No keeps the change";

    command(s.frame, IDM_REVERT);
    ASSERT_TRUE(serve_until(operations_done));
    ASSERT_EQ(rec.asked.size(), 2u);
    EXPECT_EQ(rec.asked[1].text, "Do you really want to revert\rto the previoulsy saved version?");
    EXPECT_EQ(rec.asked[1].caption, "Confirmation");
    EXPECT_EQ(ActiveDocument(), doc) << "the same document is filled again";
    EXPECT_EQ(wave_bytes(doc), original);
    EXPECT_TRUE(IsFileSaved(doc));
    EXPECT_FALSE(IsUndoPossible(doc));
}

TEST(BackgroundOpen, RevertKeepsADocumentWithoutAFile) {
    Shell s;
    command(s.frame, IDM_NEW);
    HWND doc = ActiveDocument();
    ASSERT_TRUE(doc);
    QuestionRecorder rec;
    rec.on_ask = [](const PlatformQuestion* q) -> INT_PTR {
        return std::string(q->kind) == "Dialog" ? IDOK : IDYES;
    };
    command(s.frame, IDM_INSERTSILENCE);
    ASSERT_TRUE(serve_until(operations_done));
    ASSERT_FALSE(wave_bytes(doc).empty());
    SetFileNotSaved(doc);
    std::vector<unsigned char> before = wave_bytes(doc);
    command(s.frame, IDM_REVERT);
    ASSERT_TRUE(serve_until(operations_done));
    EXPECT_TRUE(IsWindow(doc)) << "nothing to go back to: the document stays";
    EXPECT_EQ(wave_bytes(doc), before);
    ASSERT_EQ(rec.asked.size(), 3u);
    EXPECT_EQ(rec.asked[2].text, "File not found. Please check the pathname.");
}

TEST(BackgroundOpen, ConvertChangesTheActiveDocumentsFormat) {
    Shell s;
    std::string path = write_wave("convert.wav", std::vector<short>(2000, 1000));
    HWND doc = open_document(s.frame, path);
    ASSERT_TRUE(doc);
    QuestionRecorder rec;
    rec.on_ask = [](const PlatformQuestion* q) -> INT_PTR {
        if (std::string(q->kind) != "Dialog") return IDOK;
        auto dlg = static_cast<HWND>(q->data);
        auto items = testing_support::combo_items(dlg, PLATFORM_IDC_FORMATCHOOSE_LIST);
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i] == "8000 Hz, 16 Bit, Stereo")
                SendDlgItemMessage(dlg, PLATFORM_IDC_FORMATCHOOSE_LIST, CB_SETCURSEL, i, 0);
        return IDOK;
    };
    SetFileWorking(doc);
    command(s.frame, IDM_CONVERT);
    EXPECT_TRUE(rec.asked.empty()) << "refused while the document loads";
    SetFileNotWorking(doc);
    command(s.frame, IDM_CONVERT);
    std::vector<unsigned char> bytes = wave_bytes(doc);
    ASSERT_EQ(bytes.size(), 2000u * 4) << "mono 8000 Hz becomes stereo at the same rate";
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), 1000);
    EXPECT_EQ(bytes[2] | (bytes[3] << 8), 1000) << "both channels";
    EXPECT_FALSE(IsFileSaved(doc));
}

TEST(BackgroundOpen, SeveralFilesOnTheCommandLineAreEachAPath) {
    std::string a = write_wave("one.wav", {1}), b = write_wave("two.wav", {2});
    std::vector<std::string> words = {"sonrel", a, b};
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    EXPECT_EQ(CommandLineOf(3, argv.data()), a + "\n" + b);
    EXPECT_EQ(CommandLinePaths(a + "\n" + b), (std::vector<std::string>{a, b}));

    // Blanks inside one path given in pieces still name that one file.
    std::string spaced = write_wave("with blank.wav", {3});
    std::string first = spaced.substr(0, spaced.find(' ')),
                rest = spaced.substr(spaced.find(' ') + 1);
    words = {"sonrel", first, rest};
    argv.clear();
    for (auto& w : words) argv.push_back(w.data());
    EXPECT_EQ(CommandLineOf(3, argv.data()), spaced);

    Shell s;
    FrameHandOver(s.frame, (a + "\n" + b).c_str());
    std::vector<std::string> titles;
    EnumChildWindows(
        g_shell.mdiClient,
        [](HWND w, LPARAM lp) -> BOOL {
            if (GetWindowLongPtr(w, GWLP_USERDATA) == DOCUMENT_USERDATA)
                reinterpret_cast<std::vector<std::string>*>(lp)->push_back(title_of(w));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&titles));
    std::vector<std::string> expected = {a, b};
    std::sort(titles.begin(), titles.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(titles, expected);
}
