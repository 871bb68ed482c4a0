// The frame's clipboard commands: copy, paste and mix on threads of their own,
// drops of the clipboard onto a document, deleting, exporting and importing
// the clipboard file.
#include <gtest/gtest.h>
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <cstring>
#include <string>
#include <vector>

#include "operations.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

std::string clipboard_path() {
    return testing_support::temp_path("SnrCLIP.WAV");
}

bool exists(const std::string& path) {
    return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<short> values(HWND doc) {
    auto bytes = wave_bytes(doc);
    std::vector<short> v(bytes.size() / 2);
    std::memcpy(v.data(), bytes.data(), v.size() * 2);
    return v;
}

const std::vector<short> kRamp = {100, 200, 300, 400, 500, 600, 700, 800};

class ClipboardCommands : public ::testing::Test {
protected:
    void SetUp() override { DeleteFile(clipboard_path().c_str()); }
    void TearDown() override { DeleteFile(clipboard_path().c_str()); }
    Shell s;
};

}  // namespace

TEST_F(ClipboardCommands, CopyThenPasteInsertsTheMarkAtTheCursor) {
    HWND doc = open_document(s.frame, write_wave("copy.wav", kRamp));
    ASSERT_TRUE(doc);
    set_mark(doc, 4, 4);
    command(s.frame, IDM_COPY);
    ASSERT_TRUE(serve_until(operations_done));
    ASSERT_TRUE(exists(clipboard_path()));
    EXPECT_EQ(values(doc), kRamp) << "copying leaves the document as it was";

    set_mark(doc, 2, 0);
    command(s.frame, IDM_PASTE);
    ASSERT_TRUE(serve_until(operations_done));
    EXPECT_EQ(values(doc), (std::vector<short>{100, 300, 400, 200, 300, 400, 500, 600, 700, 800}));
    EXPECT_FALSE(IsFileSaved(doc));
    ASSERT_TRUE(UndoDescription(doc));
    EXPECT_STREQ(UndoDescription(doc), "Paste From Clipboard");

    command(s.frame, IDM_MIX);
    ASSERT_TRUE(serve_until(operations_done));
    // The clip (300, 400) mixed onto itself at the cursor: the average, 1.5 times.
    EXPECT_EQ(values(doc)[1], 450);
    EXPECT_EQ(values(doc)[2], 600);
    EXPECT_EQ(values(doc)[3], 200);
    EXPECT_FALSE(IsUndoPossible(doc)) << "mixing clears the older record";
}

TEST_F(ClipboardCommands, ClipboardCommandsAreRefusedWhileTheDocumentIsBusyButADropIsNot) {
    HWND doc = open_document(s.frame, write_wave("busy.wav", kRamp));
    ASSERT_TRUE(doc);
    command(s.frame, IDM_COPY);
    ASSERT_TRUE(serve_until(operations_done));
    SetFileWorking(doc);
    for (int id : {IDM_COPY, IDM_PASTE, IDM_MIX}) command(s.frame, id);
    EXPECT_EQ(live_operations(), 0);
    SetFileNotWorking(doc);
    EXPECT_EQ(values(doc), kRamp);

    set_mark(doc, 0, 0);
    SendMessage(s.frame, UM_STARTPASTE, reinterpret_cast<WPARAM>(doc), 0);
    ASSERT_TRUE(serve_until(operations_done));
    EXPECT_EQ(values(doc).size(), kRamp.size() * 2) << "the drop pasted the whole clip";
    SendMessage(s.frame, UM_STARTPASTEMIX, reinterpret_cast<WPARAM>(doc), 0);
    ASSERT_TRUE(serve_until(operations_done));
    EXPECT_EQ(values(doc)[0], 150) << "(100 + 100) / 2 * 1.5";
}

TEST_F(ClipboardCommands, DeletingTheClipboardAsksFirst) {
    testing_support::write_file(clipboard_path(), {'R', 'I', 'F', 'F'});
    QuestionRecorder rec;
    rec.answers = {IDNO, IDYES};
    command(s.frame, IDM_CLIPDELETE);
    EXPECT_TRUE(exists(clipboard_path())) << "No keeps the file";
    command(s.frame, IDM_CLIPDELETE);
    EXPECT_FALSE(exists(clipboard_path()));
    ASSERT_EQ(rec.asked.size(), 2u);
    EXPECT_EQ(rec.asked[0].text, "Are you sure?");
    EXPECT_EQ(rec.asked[0].caption, "Delete Clipboard");
    EXPECT_EQ(rec.asked[0].style & 0xF0u, static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(rec.asked[0].style & 0x0Fu, static_cast<UINT>(MB_YESNO));
}

TEST_F(ClipboardCommands, ExportAndImportCopyTheFileThroughTheFileDialogs) {
    std::string dir = testing_support::fresh_dir("clipboard-files");
    std::string target = dir + "/exported.wav";
    std::string source = write_wave("import.wav", {7, 8, 9});
    testing_support::write_file(clipboard_path(), testing_support::read_file(source));
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::strcmp(q->kind, "SaveFile") == 0) return reinterpret_cast<INT_PTR>(target.c_str());
        if (std::strcmp(q->kind, "OpenFile") == 0) return reinterpret_cast<INT_PTR>(source.c_str());
        return IDOK;
    };
    command(s.frame, IDM_CLIPEXPORT);
    EXPECT_EQ(testing_support::read_file(target), testing_support::read_file(clipboard_path()));
    DeleteFile(clipboard_path().c_str());
    command(s.frame, IDM_CLIPIMPORT);
    EXPECT_EQ(testing_support::read_file(clipboard_path()), testing_support::read_file(source));
    rec.on_ask = [](const PlatformQuestion*) -> INT_PTR { return 0; };
    DeleteFile(target.c_str());
    command(s.frame, IDM_CLIPEXPORT);
    EXPECT_FALSE(exists(target)) << "a cancelled dialog copies nothing";
}
