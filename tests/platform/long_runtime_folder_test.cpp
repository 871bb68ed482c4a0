// A per-user runtime folder whose path is longer than the platform's usual
// buffers (260 characters) and than a socket address (108 bytes): named
// mutexes and the single running copy still work there, and nothing lands in
// the current folder.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "test_support.h"

namespace {

using testing_support::spawn_child;
using testing_support::wait_child;

std::set<std::string> names_in(const std::string& dir) {
    std::set<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) out.insert(e->d_name);
        closedir(d);
    }
    return out;
}

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// SONREL_HOME points at a folder of more than 300 characters for the life of
// the fixture; child processes inherit it.
class LongRuntimeFolder : public ::testing::Test {
protected:
    void SetUp() override {
        saved = getenv("SONREL_HOME");
        home = testing_support::fresh_dir("long");
        for (char c : {'d', 'e', 'f'}) {
            home += "/" + std::string(100, c);
            ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
        }
        ASSERT_GT(home.size(), 300u);
        char cwd[4096];
        ASSERT_TRUE(getcwd(cwd, sizeof cwd));
        here = cwd;
        before = names_in(here);
        setenv("SONREL_HOME", home.c_str(), 1);
    }
    void TearDown() override { setenv("SONREL_HOME", saved.c_str(), 1); }
    std::string saved, home, here;
    std::set<std::string> before;
};

TEST_F(LongRuntimeFolder, NamedMutexesAndTheRunningCopyWorkAndLeaveTheCurrentFolderAlone) {
    EXPECT_EQ(PlatformFolder(PlatformRuntimePath), home + "/tmp/");

    std::string mutex = "LongFolderMutex" + std::to_string(getpid());
    HANDLE m = CreateMutex(nullptr, TRUE, mutex.c_str());
    ASSERT_TRUE(m);
    EXPECT_TRUE(exists(home + "/tmp/" + mutex + ".lock"));
    EXPECT_EQ(wait_child(spawn_child("mutex-try", {mutex, "0"})), 1)
        << "another process finds the mutex held";
    ReleaseMutex(m);
    EXPECT_EQ(wait_child(spawn_child("mutex-try", {mutex, "0"})), 0) << "and free once released";
    CloseHandle(m);

    std::string name = "LongFolderCopy" + std::to_string(getpid());
    std::string out = testing_support::fresh_dir("long-copy") + "/received";
    int pid = spawn_child("instance-listen", {name, out});
    std::string socket = home + "/tmp/" + name + ".sock";
    for (int i = 0; i < 4000 && !exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(exists(socket)) << "the running copy listens in the long folder";
    EXPECT_TRUE(PlatformInstanceStart(name.c_str(), "handed over")) << "a later copy reaches it";
    EXPECT_EQ(wait_child(pid), 0);
    auto bytes = testing_support::read_file(out);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "handed over");

    EXPECT_EQ(names_in(here), before) << "no lock or socket file in the current folder";
}

}  // namespace
