// Per-user folders, free space, the program's path and file operations.
#include <gtest/gtest.h>
#include <platform/datafolder.h>
#include <platform/platform.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "test_support.h"

namespace {

using testing_support::fresh_dir;
using testing_support::home;
using testing_support::read_file;
using testing_support::write_file;

std::string temp_path() {
    char buf[MAX_PATH];
    DWORD n = GetTempPath(sizeof buf, buf);
    EXPECT_GT(n, 0u);
    return std::string(buf, n);
}

mode_t mode_of(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

// Sets or clears an environment variable for one scope.
struct EnvOverride {
    std::string name, old;
    bool had;
    EnvOverride(const char* n, const char* value) : name(n) {
        const char* o = std::getenv(n);
        had = o != nullptr;
        if (had) old = o;
        if (value) {
            setenv(n, value, 1);
        } else {
            unsetenv(n);
        }
    }
    ~EnvOverride() {
        if (had) {
            setenv(name.c_str(), old.c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
};

std::vector<unsigned char> bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST(Paths, FoldersLiveUnderSonrelHomeWhenItIsSet) {
    std::string tmp = temp_path();
    EXPECT_EQ(tmp, home() + "/tmp/");
    EXPECT_EQ(mode_of(tmp), 0700u);
    char buf[MAX_PATH];
    EXPECT_EQ(PlatformRuntimePath(sizeof buf, buf), tmp.size());
    EXPECT_EQ(std::string(buf), tmp);
    DWORD n = PlatformConfigPath(sizeof buf, buf);
    EXPECT_EQ(std::string(buf, n), home() + "/config");
    struct stat st {};
    EXPECT_EQ(stat(buf, &st), 0);
    n = PlatformDataPath(sizeof buf, buf);
    EXPECT_EQ(std::string(buf, n), home() + "/data");
    EXPECT_EQ(stat(buf, &st), 0);
}

TEST(Paths, TooSmallABufferGetsTheNeededSizeAndIsLeftAlone) {
    std::string tmp = temp_path();
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetTempPath(sizeof buf, buf), tmp.size() + 1);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(GetTempPath(0, nullptr), tmp.size() + 1);
}

TEST(Paths, WithoutSonrelHomeTheXdgFoldersAreUsed) {
    std::string base = fresh_dir("xdg");
    EnvOverride no_home("SONREL_HOME", nullptr);
    EnvOverride runtime("XDG_RUNTIME_DIR", base.c_str());
    EnvOverride config("XDG_CONFIG_HOME", (base + "/cfg").c_str());
    EnvOverride data("XDG_DATA_HOME", (base + "/share").c_str());
    EXPECT_EQ(temp_path(), base + "/sonrel/");
    EXPECT_EQ(mode_of(base + "/sonrel"), 0700u);
    char buf[MAX_PATH];
    DWORD n = PlatformConfigPath(sizeof buf, buf);
    EXPECT_EQ(std::string(buf, n), base + "/cfg/Sonrel");
    EXPECT_EQ(mode_of(base + "/cfg/Sonrel") & 0700u, 0700u);
    n = PlatformDataPath(sizeof buf, buf);
    EXPECT_EQ(std::string(buf, n), base + "/share/Sonrel");
    EXPECT_EQ(mode_of(base + "/share/Sonrel") & 0700u, 0700u);
}

TEST(Paths, WithoutAnyRuntimeFolderAPrivateTmpFolderIsUsed) {
    EnvOverride no_home("SONREL_HOME", nullptr);
    EnvOverride runtime("XDG_RUNTIME_DIR", nullptr);
    std::string expected = "/tmp/sonrel-" + std::to_string(getuid()) + "/";
    EXPECT_EQ(temp_path(), expected);
    EXPECT_EQ(mode_of(expected), 0700u);
}

TEST(Paths, FreeSpaceInClustersMultipliesOutToTheByteCounts) {
    std::string tmp = temp_path();
    DWORD spc = 0, bps = 0, free_clusters = 0, total_clusters = 0;
    ASSERT_TRUE(GetDiskFreeSpace(tmp.c_str(), &spc, &bps, &free_clusters, &total_clusters));
    ULONGLONG to_caller = 0, total = 0, total_free = 0;
    ASSERT_TRUE(GetDiskFreeSpaceEx(tmp.c_str(), &to_caller, &total, &total_free));
    ASSERT_GT(total, 0u);
    EXPECT_LE(to_caller, total_free);
    EXPECT_LE(total_free, total);
    ULONGLONG cluster = static_cast<ULONGLONG>(spc) * bps;
    ASSERT_GT(cluster, 0u);
    ULONGLONG total_from_clusters = cluster * total_clusters;
    EXPECT_LE(total_from_clusters, total);
    EXPECT_GT(total_from_clusters + cluster, total);
    EXPECT_LE(free_clusters, total_clusters);
    // A folder that does not exist is measured on the nearest one above it.
    EXPECT_TRUE(GetDiskFreeSpaceEx((tmp + "no/such/folder").c_str(), &to_caller, &total, nullptr));
}

TEST(Paths, ModuleFileNameIsTheProgramAndIsCutToTheBuffer) {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string expected(exe, static_cast<size_t>(n));
    char buf[PATH_MAX];
    EXPECT_EQ(GetModuleFileName(nullptr, buf, sizeof buf), expected.size());
    EXPECT_EQ(std::string(buf), expected);
    char small[6];
    EXPECT_EQ(GetModuleFileName(nullptr, small, sizeof small), sizeof small);
    EXPECT_EQ(std::string(small), expected.substr(0, 5));
}

TEST(Files, CopyReplacesOrRefusesAnExistingTarget) {
    std::string dir = fresh_dir("copy");
    std::string a = dir + "/a", b = dir + "/b";
    write_file(a, bytes("first"));
    ASSERT_TRUE(CopyFile(a.c_str(), b.c_str(), TRUE));
    EXPECT_EQ(read_file(b), bytes("first"));
    write_file(a, bytes("second version"));
    SetLastError(0);
    EXPECT_FALSE(CopyFile(a.c_str(), b.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(read_file(b), bytes("first"));
    EXPECT_TRUE(CopyFile(a.c_str(), b.c_str(), FALSE));
    EXPECT_EQ(read_file(b), bytes("second version"));
    // Copying a file onto itself must not destroy it.
    EXPECT_FALSE(CopyFile(a.c_str(), a.c_str(), FALSE));
    EXPECT_EQ(read_file(a), bytes("second version"));
    SetLastError(0);
    EXPECT_FALSE(CopyFile((dir + "/missing").c_str(), b.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(read_file(b), bytes("second version"));
}

TEST(Files, CopyKeepsEveryByteOfALargeFile) {
    std::string dir = fresh_dir("copybig");
    std::vector<unsigned char> data(3 * 1024 * 1024 + 17);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 31 + 7);
    write_file(dir + "/src", data);
    ASSERT_TRUE(CopyFile((dir + "/src").c_str(), (dir + "/dst").c_str(), FALSE));
    EXPECT_EQ(read_file(dir + "/dst"), data);
}

TEST(Files, MoveDeleteAndAttributes) {
    std::string dir = fresh_dir("move");
    std::string a = dir + "/a", b = dir + "/b";
    write_file(a, bytes("A"));
    write_file(b, bytes("B"));
    EXPECT_FALSE(MoveFileEx(a.c_str(), b.c_str(), 0));
    EXPECT_EQ(read_file(b), bytes("B"));
    EXPECT_TRUE(MoveFileEx(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(read_file(b), bytes("A"));
    EXPECT_EQ(GetFileAttributes(a.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributes(b.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributes(dir.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(DeleteFile(b.c_str()));
    SetLastError(0);
    EXPECT_FALSE(DeleteFile(b.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFile(dir.c_str()));
}

}  // namespace
