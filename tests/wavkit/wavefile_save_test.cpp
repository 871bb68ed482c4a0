// Saving: the exact file layout, the extension rule, the question for
// documents not made from a wave file, and failures that must leave the old
// file as it was and the document unsaved.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::fresh_dir;
using testing_support::QuestionRecorder;
using testing_support::read_file;
using testing_support::write_file;

const Format kMono8{1, 11025, 8};

std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                out.push_back(e->d_name);
        closedir(d);
    }
    return out;
}

struct SaveTest : ::testing::Test {
    Frame f;
    char path[INFO_PATH_CHARS] = {};
    BOOL save_to(const std::string& p) {
        std::snprintf(path, sizeof path, "%s", p.c_str());
        return SaveWAV(f.frame, path);
    }
};

TEST_F(SaveTest, WritesTheCanonicalLayoutWithAPadByteForAnOddDataSize) {
    const Bytes data{10, 20, 30};
    make_document(f, kMono8, data);
    std::string dir = fresh_dir("save");
    ASSERT_EQ(save_to(dir + "/odd.wav"), 1);
    Bytes b = read_file(path);
    ASSERT_EQ(b.size(), 48u);
    EXPECT_EQ(b[4] | (b[5] << 8), 37 + 3);
    EXPECT_EQ(b[20], 1);
    EXPECT_EQ(b[40], 3);
    EXPECT_EQ(b[47], 0);
    EXPECT_EQ(b, wav_file(kMono8, data));
}

TEST_F(SaveTest, AppendsWavOnlyWhenTheFourthCharacterFromTheEndIsNotADot) {
    std::string dir = fresh_dir("ext");
    make_document(f, kMono8, pattern(8));
    const std::pair<std::string, std::string> cases[] = {
        {"name", "name.wav"},     {"name.abc", "name.abc"}, {"a.b", "a.b.wav"},
        {"x.wave", "x.wave.wav"}, {"song.WAV", "song.WAV"}, {"z.", "z..wav"}};
    for (const auto& [given, expected] : cases) {
        ASSERT_EQ(save_to(dir + "/" + given), 1) << given;
        EXPECT_EQ(std::string(path), dir + "/" + expected);
        EXPECT_EQ(read_file(dir + "/" + expected), wav_file(kMono8, pattern(8)));
    }
}

TEST_F(SaveTest, ANewEmptyDocumentIsAskedForAndSavesAHeaderOnly) {
    HWND d = NewFile(f.frame, f.client, 1);
    ASSERT_NE(d, nullptr);
    std::string chosen = fresh_dir("empty") + "/empty.wav";
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::strcmp(q->kind, "SaveFile") == 0) return reinterpret_cast<INT_PTR>(chosen.c_str());
        return IDYES;
    };
    ASSERT_EQ(save_to("Unnamed -1-.WAV"), 1);
    EXPECT_EQ(rec.asked.size(), 2u) << "a new document has no wave file to keep";
    EXPECT_EQ(read_file(chosen), wav_file(Format{1, 22050, 8}, {}));
}

TEST_F(SaveTest, MarksTheDocumentSavedOnlyAfterSuccess) {
    HWND d = make_document(f, kMono8, pattern(20));
    SetFileNotSaved(d);
    QuestionRecorder rec;
    EXPECT_EQ(save_to("/nonexistent-folder/x.wav"), 0);
    EXPECT_EQ(IsFileSaved(d), 0);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "Cannot write. May be read-only.");
    EXPECT_EQ(rec.asked[0].caption, "Warning...");
    EXPECT_EQ(save_to(fresh_dir("ok") + "/x.wav"), 1);
    EXPECT_EQ(IsFileSaved(d), 1);
}

TEST_F(SaveTest, ReplacesAnExistingFileAndKeepsItsMode) {
    std::string dir = fresh_dir("replace");
    std::string target = dir + "/old.wav";
    write_file(target, Bytes(5000, 0x11));
    chmod(target.c_str(), 0640);
    make_document(f, kMono8, pattern(30));
    ASSERT_EQ(save_to(target), 1);
    EXPECT_EQ(read_file(target), wav_file(kMono8, pattern(30)));
    struct stat st {};
    stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(dir), std::vector<std::string>{"old.wav"});
}

// A process id that no process has any more.
pid_t dead_pid() {
    pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

TEST_F(SaveTest, RemovesWhatKilledSavesOfTheSameFileLeftAndNothingElse) {
    std::string dir = fresh_dir("leftovers");
    pid_t live = fork();
    if (live == 0) {
        pause();
        _exit(0);
    }
    const std::string dead = std::to_string(dead_pid()), running = std::to_string(live);
    const std::vector<std::string> gone = {".x.wav.saving-" + dead + "-0",
                                           ".x.wav.saving-" + dead + "-3"};
    const std::vector<std::string> kept = {
        ".x.wav.saving-" + running + "-0",  // a save in progress elsewhere
        ".y.wav.saving-" + dead + "-0",     // another file's
        ".x.wav.saving-notapid-0",          // not a name a save makes
        "x.wav.saving-" + dead + "-0",
    };
    for (const auto& name : gone) write_file(dir + "/" + name, Bytes(10, 1));
    for (const auto& name : kept) write_file(dir + "/" + name, Bytes(10, 1));
    make_document(f, kMono8, pattern(30));
    EXPECT_EQ(save_to(dir + "/x.wav"), 1);
    kill(live, SIGKILL);
    waitpid(live, nullptr, 0);
    std::vector<std::string> expected = kept;
    expected.push_back("x.wav");
    std::vector<std::string> left = entries(dir);
    std::sort(expected.begin(), expected.end());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, expected);
    EXPECT_EQ(read_file(dir + "/x.wav"), wav_file(kMono8, pattern(30)));
}

TEST_F(SaveTest, NothingIsSavedWithoutAnActiveDocument) {
    QuestionRecorder rec;
    EXPECT_EQ(save_to(fresh_dir("none") + "/x.wav"), 0);
    EXPECT_TRUE(rec.asked.empty());
}

TEST_F(SaveTest, ADocumentNotMadeFromAWaveFileAsksAtEverySave) {
    std::string dir = fresh_dir("raw");
    HWND d = make_document(f, kMono8, pattern(16), SOURCE_RAW, "/tmp/sound.raw");
    SetFileNotSaved(d);
    std::string chosen = dir + "/chosen";
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::strcmp(q->kind, "SaveFile") == 0) return reinterpret_cast<INT_PTR>(chosen.c_str());
        return IDYES;
    };
    ASSERT_EQ(save_to("/tmp/sound.raw"), 1);
    ASSERT_EQ(rec.asked.size(), 2u);
    EXPECT_EQ(rec.asked[0].kind, "MessageBox");
    EXPECT_EQ(
        rec.asked[0].text,
        "This file can not be saved in its original format.\rShall I save it as a .WAV file?");
    EXPECT_EQ(rec.asked[0].caption, "Save Problem");
    EXPECT_EQ(rec.asked[0].style & 0xFFu, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(rec.asked[1].kind, "SaveFile");
    EXPECT_EQ(rec.asked[1].caption, "Sonrel2003  -  Save File");
    EXPECT_EQ(std::string(path), chosen + ".wav");
    EXPECT_EQ(read_file(chosen + ".wav"), wav_file(kMono8, pattern(16)));
    EXPECT_STREQ(info_of(d).path, chosen.c_str()) << "the chosen path becomes the document's";
    char title[INFO_PATH_CHARS] = {};
    GetWindowText(d, title, sizeof title);
    EXPECT_EQ(std::string(title), chosen);
    EXPECT_EQ(info_of(d).sourceFormat, SOURCE_RAW);
    EXPECT_EQ(IsFileSaved(d), 1);

    rec.asked.clear();
    ASSERT_EQ(save_to(chosen + ".wav"), 1);
    EXPECT_EQ(rec.asked.size(), 2u) << "the question comes again";
}

TEST_F(SaveTest, DecliningOrCancellingWritesNothing) {
    std::string dir = fresh_dir("decline");
    HWND d = make_document(f, kMono8, pattern(16), SOURCE_COMPRESSED, "/tmp/c.wav");
    SetFileNotSaved(d);
    {
        QuestionRecorder rec;
        rec.answers = {IDNO};
        EXPECT_EQ(save_to(dir + "/a.wav"), 0);
        EXPECT_EQ(rec.asked.size(), 1u);
    }
    {
        QuestionRecorder rec;
        rec.answers = {IDYES, 0};  // the save dialog answers "FALSE"
        EXPECT_EQ(save_to(dir + "/a.wav"), 0);
        ASSERT_EQ(rec.asked.size(), 2u);
        EXPECT_EQ(rec.asked[1].kind, "SaveFile");
    }
    {
        QuestionRecorder rec;
        rec.answers = {IDYES};
        rec.default_answer = reinterpret_cast<INT_PTR>("FaLsE");
        EXPECT_EQ(save_to(dir + "/a.wav"), 0) << "the answer is compared without regard to case";
    }
    EXPECT_TRUE(entries(dir).empty());
    EXPECT_EQ(IsFileSaved(d), 0);
    EXPECT_STREQ(info_of(d).path, "/tmp/c.wav");
}

// A file size limit makes the disk look full to this process.
struct FileSizeLimit {
    rlimit old{};
    void (*oldHandler)(int);
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler = signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit lim = old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);
    }
};

TEST_F(SaveTest, AFullDiskLeavesTheOldFileAndTheDocumentUnsaved) {
    std::string dir = fresh_dir("full");
    std::string target = dir + "/old.wav";
    const Bytes old = pattern(3000, 40);
    write_file(target, old);
    HWND d = make_document(f, kMono8, pattern(200000, 41));
    SetFileNotSaved(d);
    QuestionRecorder rec;
    {
        FileSizeLimit limit(100000);
        EXPECT_EQ(save_to(target), 0);
    }
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "Cannot write data.");
    EXPECT_EQ(read_file(target), old);
    EXPECT_EQ(IsFileSaved(d), 0);
    EXPECT_EQ(entries(dir), std::vector<std::string>{"old.wav"}) << "no partial file is left";
}

// Runs in a child process: drops root rights (root writes anywhere), saves the
// document to the path given, and checks the refusal. Exit code 0 when the
// save gave 0, showed exactly the expected message and left the document unsaved.
int save_refused_child(const std::vector<std::string>& args) {
    if (args.size() != 2) return 10;
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 11;
    Frame f;
    HWND d = make_document(f, kMono8, pattern(500, 42));
    SetFileNotSaved(d);
    QuestionRecorder rec;
    char path[INFO_PATH_CHARS];
    std::snprintf(path, sizeof path, "%s", args[0].c_str());
    if (SaveWAV(f.frame, path) != 0) return 12;
    if (rec.asked.size() != 1) return 13;
    if (rec.asked[0].text != args[1]) return 14;
    if (IsFileSaved(d) != 0) return 15;
    return 0;
}
const bool g_registered = [] {
    testing_support::register_child_role("save-refused", save_refused_child);
    return true;
}();

struct ProtectedFolder {
    std::string base;
    ProtectedFolder() {
        char tmpl[] = "/tmp/sonrel-save-XXXXXX";
        base = mkdtemp(tmpl);
        chmod(base.c_str(), 0755);
    }
    ~ProtectedFolder() {
        testing_support::run("chmod -R u+w '" + base + "'; rm -rf '" + base + "'");
    }
};

TEST(SaveRefused, AReadOnlyFolderLeavesTheOldFileAsItWas) {
    ProtectedFolder p;
    std::string dir = p.base + "/ro";
    mkdir(dir.c_str(), 0755);
    const Bytes old = pattern(777, 43);
    write_file(dir + "/old.wav", old);
    chmod((dir + "/old.wav").c_str(), 0644);
    chmod(dir.c_str(), 0555);
    int pid = testing_support::spawn_child("save-refused",
                                           {dir + "/old.wav", "Cannot write. May be read-only."});
    EXPECT_EQ(testing_support::wait_child(pid), 0);
    EXPECT_EQ(read_file(dir + "/old.wav"), old);
    EXPECT_EQ(entries(dir), std::vector<std::string>{"old.wav"});
}

TEST(SaveRefused, AReadOnlyFileIsNotReplaced) {
    ProtectedFolder p;
    std::string dir = p.base + "/rw";
    mkdir(dir.c_str(), 0777);
    chmod(dir.c_str(), 0777);
    const Bytes old = pattern(321, 44);
    write_file(dir + "/locked.wav", old);
    chmod((dir + "/locked.wav").c_str(), 0444);
    int pid = testing_support::spawn_child(
        "save-refused", {dir + "/locked.wav", "Cannot write. May be read-only."});
    EXPECT_EQ(testing_support::wait_child(pid), 0);
    EXPECT_EQ(read_file(dir + "/locked.wav"), old);
    EXPECT_EQ(entries(dir), std::vector<std::string>{"locked.wav"});
}

// The free-space check needs a small file system: a tmpfs mounted for the test.
TEST(SaveRefused, TooLittleFreeSpaceShowsTheShortfallAndWritesNothing) {
    ProtectedFolder p;
    std::string dir = p.base + "/small";
    mkdir(dir.c_str(), 0755);
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no permission to mount a small file system here";
    struct statvfs vfs {};
    statvfs(dir.c_str(), &vfs);
    const unsigned long long freeBytes = 1ull * vfs.f_bavail * vfs.f_frsize;
    Frame f;
    const size_t size = 100000;
    HWND d = make_document(f, kMono8, pattern(size, 45));
    SetFileNotSaved(d);
    QuestionRecorder rec;
    char path[INFO_PATH_CHARS];
    std::snprintf(path, sizeof path, "%s/big.wav", dir.c_str());
    EXPECT_EQ(SaveWAV(f.frame, path), 0);
    ASSERT_EQ(rec.asked.size(), 1u);
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "Not enough free memory on specified drive.\nYou need %ld KB more.",
                  static_cast<long>((size + 44 - freeBytes) / 1024));
    EXPECT_EQ(rec.asked[0].text, expected);
    EXPECT_EQ(rec.asked[0].caption, "Warning...");
    EXPECT_EQ(rec.asked[0].style & 0xF0u, static_cast<UINT>(MB_ICONHAND));
    EXPECT_TRUE(entries(dir).empty());
    EXPECT_EQ(IsFileSaved(d), 0);
    umount(dir.c_str());
}

}  // namespace
