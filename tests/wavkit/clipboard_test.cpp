// The disk clipboard on documents: copy to "SnrCLIP.WAV", paste and mix from
// it (with conversion and into empty documents), the loader's messages for bad
// files, the move within a document, the file copies, and the clipboard lock.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "effects_fixture.h"
#include "test_support.h"

namespace {

using namespace fxtest;
using testing_support::QuestionRecorder;
using wavtest::data_of;
using wavtest::Format;
using wavtest::header_of;
using wavtest::info_of;
using wavtest::position_of;
using wavtest::set_mark;
using wavtest::undo_of;

const Format kMono8{1, 22050, 8};
const Format kMono16{1, 22050, 16};
const Format kStereo16{2, 44100, 16};

std::string clip_path() {
    return testing_support::temp_path("SnrCLIP.WAV");
}

void write_clip(const Bytes& file) {
    testing_support::write_file(clip_path(), file);
}

Bytes read_clip() {
    return testing_support::read_file(clip_path());
}

uint32_t le32_at(const Bytes& b, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// Documents answer UM_GETFRAME with the recording frame, as the view does.
std::mutex g_docs_mutex;
std::map<HWND, std::pair<WNDPROC, HWND>> g_docs;

LRESULT document_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    std::pair<WNDPROC, HWND> entry;
    {
        std::lock_guard<std::mutex> lock(g_docs_mutex);
        auto it = g_docs.find(w);
        if (it != g_docs.end()) entry = it->second;
    }
    if (msg == UM_GETFRAME) return reinterpret_cast<LRESULT>(entry.second);
    if (!entry.first) return DefMDIChildProc(w, msg, wp, lp);  // after the session's end
    return CallWindowProc(entry.first, w, msg, wp, lp);
}

struct Session {
    wavtest::Frame docs;
    RecordingFrame rf;
    Session() { DeleteFile(clip_path().c_str()); }
    ~Session() {
        std::lock_guard<std::mutex> lock(g_docs_mutex);
        g_docs.clear();
    }
    HWND doc(const Format& fmt, const Bytes& data) {
        HWND d = wavtest::make_document(docs, fmt, data);
        WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtr(d, GWLP_WNDPROC));
        {
            std::lock_guard<std::mutex> lock(g_docs_mutex);
            g_docs[d] = {previous, rf.frame};
        }
        SetWindowLongPtr(d, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(document_proc));
        rf.watch(d);
        return d;
    }
    DWORD run(LPTHREAD_START_ROUTINE proc, HWND d) { return run_operation(proc, d).exitCode; }
};

void expect_sizes(HWND d, DWORD size) {
    HeaderBlock h = header_of(d);
    EXPECT_EQ(h.dataSize, size);
    EXPECT_EQ(h.fileLength, size + 44);
}

Bytes slice(const Bytes& b, size_t from, size_t n) {
    return Bytes(b.begin() + from, b.begin() + from + n);
}

TEST(ClipboardCopy, AMarkIsWrittenWithItsLengthInBothHeaderFields) {
    Session s;
    const Bytes data = wavtest::pattern(1000, 4);
    HWND d = s.doc(kMono8, data);
    set_mark(d, 100, 300);
    EXPECT_EQ(s.run(CopyToClipboard, d), 1u);
    Bytes file = read_clip();
    ASSERT_EQ(file.size(), 344u);
    EXPECT_EQ(le32_at(file, 4), 344u);
    EXPECT_EQ(le32_at(file, 40), 300u);
    HeaderBlock h = header_of(d);
    EXPECT_EQ(std::memcmp(file.data() + 8, reinterpret_cast<const char*>(&h) + 8, 32), 0);
    EXPECT_EQ(slice(file, 44, 300), slice(data, 100, 300));
    EXPECT_EQ(data_of(d), data) << "the document is not changed";
    EXPECT_EQ(info_of(d).saved, 1u);
    std::vector<Call> calls = s.rf.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front().msg, UINT(UM_THREADBEGIN));
    EXPECT_EQ(calls.front().wp, reinterpret_cast<WPARAM>(d));
    EXPECT_EQ(calls.front().lp, IDS_NAME_COPY);
    EXPECT_EQ(calls.back().msg, UINT(UM_THREADEND));
}

TEST(ClipboardCopy, WithoutAMarkTheWholeDataIsWrittenAsTheDocumentHoldsIt) {
    Session s;
    const Bytes data = le16({1, -2, 300, -400, 5000, -6000});
    HWND d = s.doc(kStereo16, data);
    EXPECT_EQ(s.run(CopyToClipboard, d), 1u);
    Bytes file = read_clip();
    HeaderBlock h = header_of(d);
    Bytes expected(reinterpret_cast<const uint8_t*>(&h), reinterpret_cast<const uint8_t*>(&h) + 44);
    expected.insert(expected.end(), data.begin(), data.end());
    EXPECT_EQ(file, expected);
}

TEST(ClipboardCopy, AnEmptyDocumentLeavesTheClipboardFileUntouched) {
    Session s;
    const Bytes before = wavtest::wav_file(kMono8, Bytes(50, 7));
    write_clip(before);
    HWND d = s.doc(kMono8, {});
    EXPECT_EQ(s.run(CopyToClipboard, d), 0u) << "ends through BreakThread";
    EXPECT_EQ(read_clip(), before);
    ASSERT_FALSE(s.rf.messages().empty());
    EXPECT_EQ(s.rf.messages().back(), UINT(UM_THREADEND));
    // The lock went with the thread: the next copy does not wait for ever.
    HWND full = s.doc(kMono8, Bytes(20, 9));
    EXPECT_EQ(s.run(CopyToClipboard, full), 1u);
    EXPECT_EQ(read_clip().size(), 64u);
}

TEST(ClipboardCopy, AWriteThatCannotCompleteIsReportedAndLeavesNothingBehind) {
    QuestionRecorder q;
    Session s;
    // A folder in the clipboard file's place: the finished file cannot replace it.
    ASSERT_EQ(mkdir(clip_path().c_str(), 0700), 0);
    HWND d = s.doc(kMono8, Bytes(100, 3));
    EXPECT_EQ(s.run(CopyToClipboard, d), 0u);
    ASSERT_EQ(q.asked.size(), 1u);
    EXPECT_EQ(q.asked[0].text, "Cannot write data.");
    EXPECT_EQ(q.asked[0].owner, d);
    EXPECT_EQ(rmdir(clip_path().c_str()), 0);
    char dir[MAX_PATH] = {};
    GetTempPath(sizeof dir, dir);
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find("SnrCLIP.WAV."), std::string::npos)
            << "the partial file is removed: " << entry.path();
}

TEST(ClipboardPaste, TheClipGoesInAtTheCursorAndTheTailMovesUp) {
    Session s;
    const Bytes data = wavtest::pattern(5000, 1), clip = wavtest::pattern(300, 2);
    write_clip(wavtest::wav_file(kMono8, clip));
    HWND d = s.doc(kMono8, data);
    set_mark(d, 1000, 0);
    EXPECT_EQ(s.run(PasteFromClipboard, d), 1u);
    Bytes after = data_of(d);
    ASSERT_EQ(after.size(), 5300u);
    expect_sizes(d, 5300);
    EXPECT_EQ(slice(after, 0, 1000), slice(data, 0, 1000));
    EXPECT_EQ(slice(after, 1000, 300), clip);
    EXPECT_EQ(slice(after, 1300, 4000), slice(data, 1000, 4000));
    EXPECT_EQ(position_of(d).markStart, 1000u);
    EXPECT_EQ(info_of(d).saved, 0u);
    EXPECT_EQ(s.rf.doc_changes(), 1);
    UndoBlock u = undo_of(d);
    EXPECT_EQ(u.kind, UNDO_INSERTED);
    EXPECT_STREQ(u.description, "Paste From Clipboard");
    EXPECT_EQ(u.start, 1000u);
    EXPECT_EQ(u.length, 300u);
    EXPECT_EQ(s.rf.calls().front().lp, IDS_NAME_PASTE);
    ASSERT_TRUE(RestoreUndoInformation(d));
    EXPECT_EQ(data_of(d), data);
}

TEST(ClipboardPaste, SixteenBitPastesLandOnWholeFrames) {
    Session s;
    const Bytes data = le16({1, 2, 3, 4, 5, 6, 7, 8});
    Bytes clipFile = wavtest::wav_file(kStereo16, le16({-1, -2, -3, -4}));
    write_clip(clipFile);
    HWND d = s.doc(kStereo16, data);
    set_mark(d, 6, 0);  // inside the second frame
    EXPECT_EQ(s.run(PasteFromClipboard, d), 1u);
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{1, 2, -1, -2, -3, -4, 3, 4, 5, 6, 7, 8}));
}

TEST(ClipboardPaste, AnEmptyDocumentTakesTheClipAsItIs) {
    Session s;
    const Bytes clip = le16({100, -100, 200, -200});
    write_clip(wavtest::wav_file(kStereo16, clip));
    HWND d = s.doc(kMono8, {});
    EXPECT_EQ(s.run(PasteFromClipboard, d), 1u);
    HeaderBlock h = header_of(d);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.samplesPerSec, 44100u);
    expect_sizes(d, 8);
    EXPECT_EQ(data_of(d), clip);
    EXPECT_GE(GlobalSize(GetProp(d, PROP_WAVE)), 8u + 128u);
    EXPECT_EQ(info_of(d).saved, 0u);
}

TEST(ClipboardPaste, ADifferentFormatIsConvertedToTheDocuments) {
    Session s;
    // A tenth of a second of a steady 16-bit stereo value: 8192 is a quarter of
    // full scale, the 8-bit byte 160.
    std::vector<int16_t> values(2 * 4410, 8192);
    write_clip(wavtest::wav_file(kStereo16, le16(values)));
    const Bytes data(100, 128);
    HWND d = s.doc(kMono8, data);
    set_mark(d, 50, 0);
    EXPECT_EQ(s.run(PasteFromClipboard, d), 1u);
    HeaderBlock h = header_of(d);
    EXPECT_EQ(h.bitsPerSample, 8);
    EXPECT_EQ(h.channels, 1);
    EXPECT_EQ(h.samplesPerSec, 22050u);
    Bytes after = data_of(d);
    ASSERT_NEAR(double(after.size()), 100.0 + 2205.0, 2.0);
    for (size_t i = 50 + 100; i < after.size() - 100 - 50; ++i) ASSERT_NEAR(after[i], 160, 1) << i;
    EXPECT_EQ(slice(after, after.size() - 50, 50), Bytes(50, 128));
}

TEST(ClipboardPaste, AClipThatCannotBeConvertedIsReportedWithTheDocumentAsOwner) {
    QuestionRecorder q;
    Session s;
    write_clip(wavtest::wav_file(Format{1, 0, 8}, Bytes(40, 9)));  // a rate of 0 Hz
    const Bytes data = wavtest::pattern(60, 11);
    HWND d = s.doc(kMono8, data);
    EXPECT_EQ(s.run(PasteFromClipboard, d), 1u);
    EXPECT_EQ(data_of(d), data);
    ASSERT_EQ(q.asked.size(), 1u);
    EXPECT_EQ(q.asked[0].text, "COULD NOT CONVERT");
    EXPECT_EQ(q.asked[0].owner, d);
    EXPECT_EQ(info_of(d).saved, 0u);
}

TEST(ClipboardPaste, WithoutAClipboardFileNothingChangesButTheSavedFlag) {
    QuestionRecorder q;
    Session s;
    const Bytes data = wavtest::pattern(200, 5);
    for (LPTHREAD_START_ROUTINE proc : {PasteFromClipboard, PasteMixFromClipboard}) {
        HWND d = s.doc(kMono8, data);
        EXPECT_EQ(s.run(proc, d), 1u);
        EXPECT_EQ(data_of(d), data);
        EXPECT_EQ(info_of(d).saved, 0u);
    }
    EXPECT_TRUE(q.asked.empty());
}

TEST(ClipboardPaste, MemoryFailureLeavesTheDataAndClearsTheUndoRecord) {
    QuestionRecorder q;
    Session s;
    const Bytes data = wavtest::pattern(5000, 6);
    write_clip(wavtest::wav_file(kMono8, Bytes(300, 1)));
    HWND d = s.doc(kMono8, data);
    PlatformSetAllocationLimit(1000);
    DWORD code = s.run(PasteFromClipboard, d);
    PlatformSetAllocationLimit(0);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(data_of(d), data);
    EXPECT_FALSE(IsUndoPossible(d));
    ASSERT_EQ(q.asked.size(), 1u);
    EXPECT_EQ(q.asked[0].text, "Not enough memory.");
    EXPECT_EQ(q.asked[0].owner, d);
    EXPECT_EQ(s.rf.messages().back(), UINT(UM_THREADEND));
}

struct BadFile {
    const char* message;
    Bytes file;
};

std::vector<BadFile> bad_files() {
    using namespace wavtest;
    Bytes noFmt, wide, noData;
    put_chunk(noFmt, "data", Bytes(10, 1));
    Format f24{1, 22050, 24};
    put_chunk(wide, "fmt ", fmt_body(1, f24));
    put_chunk(wide, "data", Bytes(9, 1));
    put_chunk(noData, "fmt ", fmt_body(1, kMono8));
    Bytes shortFmt;
    put_chunk(shortFmt, "fmt ", Bytes(12, 0));
    return {
        {"File too small.", Bytes{'R', 'I', 'F'}},
        {"File is not a wave file.", riff("AVI ", noFmt)},
        {"File is in wrong format.", riff("WAVE", noFmt)},
        {"File is in wrong format.", riff("WAVE", shortFmt)},
        {"File is neither 8 nor 16 bit.", riff("WAVE", wide)},
        {"File bad. Data chunk not found.", riff("WAVE", noData)},
    };
}

TEST(ClipboardLoader, BadFilesAreReportedWithoutAnOwnerAndPasteNothing) {
    Session s;
    const Bytes data = wavtest::pattern(64, 7);
    for (const BadFile& bad : bad_files()) {
        QuestionRecorder q;
        write_clip(bad.file);
        HWND d = s.doc(kMono8, data);
        EXPECT_EQ(s.run(PasteFromClipboard, d), 1u) << bad.message;
        EXPECT_EQ(data_of(d), data) << bad.message;
        ASSERT_EQ(q.asked.size(), 1u) << bad.message;
        EXPECT_EQ(q.asked[0].text, bad.message);
        EXPECT_EQ(q.asked[0].caption, "Warning...");
        EXPECT_EQ(q.asked[0].owner, nullptr);
    }
}

// As the wave file readers do: the clip keeps the bytes the file holds and
// nothing is made up (or allocated) for the rest of the claim.
TEST(ClipboardLoader, ADataChunkLongerThanTheFileGivesTheBytesItHolds) {
    Session s;
    for (uint32_t claimed : {500u, 0xE6000000u}) {
        Bytes inner;
        wavtest::put_chunk(inner, "fmt ", wavtest::fmt_body(1, kMono8));
        wavtest::put_chunk(inner, "data", Bytes(100, 7), claimed);
        write_clip(wavtest::riff("WAVE", inner));
        HWND d = s.doc(kMono8, {});
        EXPECT_EQ(s.run(PasteFromClipboard, d), 1u);
        EXPECT_EQ(data_of(d), Bytes(100, 7)) << claimed;
    }
}

TEST(ClipboardMix, EightBitMixGrowsTheDataWithTheZeroLine) {
    Session s;
    write_clip(wavtest::wav_file(kMono8, Bytes(300, 200)));
    HWND d = s.doc(kMono8, Bytes(1000, 100));
    set_mark(d, 900, 0);
    SaveUndoInformation(d, 0, 10, UNDO_CHANGED, "Change Volume");
    EXPECT_EQ(s.run(PasteMixFromClipboard, d), 1u);
    Bytes after = data_of(d);
    ASSERT_EQ(after.size(), 1200u);
    expect_sizes(d, 1200);
    EXPECT_EQ(slice(after, 0, 900), Bytes(900, 100));
    EXPECT_EQ(slice(after, 900, 100), Bytes(100, 161));
    // 200 over the zero line 128: (164 - 128) * 1.5 = 54.
    EXPECT_EQ(slice(after, 1000, 200), Bytes(200, 182));
    EXPECT_FALSE(IsUndoPossible(d)) << "the older record no longer fits";
    EXPECT_EQ(info_of(d).saved, 0u);
    EXPECT_EQ(s.rf.calls().front().lp, IDS_NAME_MIX);
}

TEST(ClipboardMix, SixteenBitValuesAreAveragedAndScaledBySetting) {
    Session s;
    write_clip(wavtest::wav_file(kMono16, le16({1000, 1000})));
    HWND d = s.doc(kMono16, le16({3001, 3001, 50}));
    EXPECT_EQ(s.run(PasteMixFromClipboard, d), 1u);
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{3000, 3000, 50}));
    Setting louder("Sonrel\\Settings\\Filters\\PasteMixLouder", "100", "150");
    HWND e = s.doc(kMono16, le16({3001}));
    EXPECT_EQ(s.run(PasteMixFromClipboard, e), 1u);
    EXPECT_EQ(values16(data_of(e)), (std::vector<int16_t>{2000, 500}));
}

TEST(ClipboardMove, ATargetInsideTheMarkIsRefused) {
    Session s;
    const Bytes data = wavtest::pattern(100, 8);
    HWND d = s.doc(kMono8, data);
    set_mark(d, 10, 20);
    EXPECT_EQ(CopyAndPaste(d, 11), 0);
    EXPECT_EQ(CopyAndPaste(d, 29), 0);
    EXPECT_EQ(data_of(d), data);
    EXPECT_EQ(info_of(d).saved, 1u);
    EXPECT_FALSE(IsUndoPossible(d));
}

TEST(ClipboardMove, TheMarkIsInsertedAgainAtTheTarget) {
    Session s;
    const Bytes data = wavtest::pattern(100, 9);
    for (DWORD target : {10u, 30u, 70u, 0u}) {
        HWND d = s.doc(kMono8, data);
        set_mark(d, 10, 20);
        EXPECT_EQ(CopyAndPaste(d, target), 1) << target;
        Bytes expected = data;
        expected.insert(expected.begin() + target, data.begin() + 10, data.begin() + 30);
        EXPECT_EQ(data_of(d), expected) << target;
        expect_sizes(d, 120);
        EXPECT_EQ(position_of(d).markStart, target);
        EXPECT_EQ(position_of(d).markLength, 0u);
        EXPECT_EQ(info_of(d).saved, 0u);
        EXPECT_STREQ(undo_of(d).description, "Paste From Same File");
        ASSERT_TRUE(RestoreUndoInformation(d));
        EXPECT_EQ(data_of(d), data) << target;
    }
}

TEST(ClipboardMove, WithoutAMarkNothingChangesButTheViewsRefresh) {
    Session s;
    const Bytes data = wavtest::pattern(40, 10);
    HWND d = s.doc(kMono8, data);
    EXPECT_EQ(CopyAndPaste(d, 5), 1);
    EXPECT_EQ(data_of(d), data);
    EXPECT_EQ(s.rf.doc_changes(), 1);
    EXPECT_EQ(info_of(d).saved, 1u);
}

TEST(ClipboardFiles, TheClipboardFileIsCopiedToAFileAndBack) {
    const Bytes first = wavtest::wav_file(kMono8, Bytes(10, 1));
    write_clip(first);
    std::string out = testing_support::fresh_dir("clipfiles") + "/saved.wav";
    EXPECT_EQ(ClipboardToFile(nullptr, out.c_str()), 1);
    EXPECT_EQ(testing_support::read_file(out), first);
    const Bytes second = wavtest::wav_file(kMono16, le16({5, 6}));
    std::string in = wavtest::file_with(second, "load.wav");
    EXPECT_EQ(FileToClipboard(nullptr, in.c_str()), 1);
    EXPECT_EQ(read_clip(), second);
    EXPECT_EQ(FileToClipboard(nullptr, "/nonexistent/none.wav"), 1);
    EXPECT_EQ(read_clip(), second);
}

TEST(ClipboardLock, CopiesWaitForTheLockAndRacingCopiesWriteOneWholeFile) {
    Session s;
    HWND a = s.doc(kMono8, Bytes(3000, 1));
    HWND b = s.doc(kMono8, Bytes(5000, 2));
    HANDLE held = CreateMutex(nullptr, FALSE, "SnrClipboard");
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(WaitForSingleObject(held, 0), WAIT_OBJECT_0);
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, CopyToClipboard, a, 0, &id);
    // Waiting here serves the copy's messages, so only the lock can hold it up.
    EXPECT_EQ(WaitForSingleObject(t, 300), DWORD(WAIT_TIMEOUT));
    EXPECT_TRUE(read_clip().empty()) << "the copy waits while another holds the lock";
    ReleaseMutex(held);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    CloseHandle(held);
    EXPECT_EQ(read_clip().size(), 3044u);
    for (int round = 0; round < 5; ++round) {
        run_together({CopyToClipboard, CopyToClipboard}, {a, b});
        Bytes file = read_clip();
        ASSERT_TRUE(file.size() == 3044u || file.size() == 5044u) << file.size();
        uint8_t value = file.size() == 3044u ? 1 : 2;
        EXPECT_EQ(le32_at(file, 40), file.size() - 44);
        EXPECT_EQ(slice(file, 44, file.size() - 44), Bytes(file.size() - 44, value));
    }
}

// Child role: holds the clipboard lock from writing `held` until `release` exists.
int hold_clipboard_child(const std::vector<std::string>& args) {
    if (args.size() != 2) return 2;
    HANDLE m = CreateMutex(nullptr, FALSE, "SnrClipboard");
    if (!m || WaitForSingleObject(m, 0) != WAIT_OBJECT_0) return 3;
    testing_support::write_file(args[0], {1});
    for (int i = 0; i < 2000 && access(args[1].c_str(), F_OK) != 0; ++i) usleep(10000);
    ReleaseMutex(m);
    CloseHandle(m);
    return 0;
}

const bool g_roles =
    (testing_support::register_child_role("clipboard-hold", hold_clipboard_child), true);

TEST(ClipboardLock, ACopyWaitsWhileAnotherRunningCopyHoldsTheLock) {
    Session s;
    HWND d = s.doc(kMono8, Bytes(700, 5));
    std::string dir = testing_support::fresh_dir("cliphold");
    std::string held = dir + "/held", release = dir + "/release";
    int pid = testing_support::spawn_child("clipboard-hold", {held, release});
    for (int i = 0; i < 1000 && access(held.c_str(), F_OK) != 0; ++i) Sleep(10);
    ASSERT_EQ(access(held.c_str(), F_OK), 0) << "the other process took the lock";
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, CopyToClipboard, d, 0, &id);
    EXPECT_EQ(WaitForSingleObject(t, 300), DWORD(WAIT_TIMEOUT));
    EXPECT_TRUE(read_clip().empty());
    testing_support::write_file(release, {1});
    WaitForSingleObject(t, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(t, &code);
    CloseHandle(t);
    EXPECT_EQ(testing_support::wait_child(pid), 0);
    EXPECT_EQ(code, 1u);
    EXPECT_EQ(read_clip().size(), 744u);
}

}  // namespace
