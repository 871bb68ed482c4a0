// ShellExecute: programs are found by path or on PATH and started with their
// parameters; what cannot be found gives a value of 32 or less.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "test_support.h"

namespace {

uintptr_t result(HINSTANCE h) {
    return reinterpret_cast<uintptr_t>(h);
}

bool wait_for_file(const std::string& path) {
    for (int i = 0; i < 2000 && access(path.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return access(path.c_str(), F_OK) == 0;
}

TEST(ShellExecute, MissingProgramsAreNotFound) {
    EXPECT_EQ(result(ShellExecute(nullptr, "open", "sndvol32.exe", nullptr, nullptr, SW_SHOW)),
              uintptr_t(SE_ERR_FNF));
    EXPECT_LE(result(ShellExecute(nullptr, "open", "/no/such/dir/TonboxCS.exe", nullptr, nullptr,
                                  SW_SHOW)),
              32u);
    EXPECT_LE(result(ShellExecute(nullptr, "open", "", nullptr, nullptr, SW_SHOW)), 32u);
}

TEST(ShellExecute, ProgramOnThePathStartsWithItsParameters) {
    std::string dir = testing_support::fresh_dir("shell");
    std::string marker = dir + "/out file.txt";
    EXPECT_EQ(result(ShellExecute(nullptr, "open", "touch", ("\"" + marker + "\"").c_str(), nullptr,
                                  SW_SHOW)),
              33u);
    EXPECT_TRUE(wait_for_file(marker));
}

TEST(ShellExecute, ProgramByPathStartsInTheGivenFolder) {
    std::string dir = testing_support::fresh_dir("shell-dir");
    EXPECT_EQ(
        result(ShellExecute(nullptr, "open", "/bin/sh", "-c \"touch here\"", dir.c_str(), SW_SHOW)),
        33u);
    EXPECT_TRUE(wait_for_file(dir + "/here"));
}

}  // namespace
