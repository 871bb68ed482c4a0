// Start of the layer when no window system can be reached.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "test_support.h"

namespace {

const bool kRoles = [] {
    testing_support::register_child_role("started",
                                         [](const std::vector<std::string>&) { return 0; });
    return true;
}();

// Runs a child that starts the layer under the environment given; its exit
// code and what it wrote to its error output.
std::pair<int, std::string> start_child(const char* platform, const char* display) {
    std::string log = testing_support::fresh_dir("init-display") + "/stderr.txt";
    std::string old_platform = getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "";
    const char* old_display = getenv("DISPLAY");
    std::string saved_display = old_display ? old_display : "";
    setenv("QT_QPA_PLATFORM", platform, 1);
    setenv("DISPLAY", display, 1);
    int saved_err = dup(2);
    int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    dup2(fd, 2);
    close(fd);
    int pid = testing_support::spawn_child("started");
    dup2(saved_err, 2);
    close(saved_err);
    setenv("QT_QPA_PLATFORM", old_platform.c_str(), 1);
    if (old_display)
        setenv("DISPLAY", saved_display.c_str(), 1);
    else
        unsetenv("DISPLAY");
    int code = testing_support::wait_child(pid);
    auto bytes = testing_support::read_file(log);
    return {code, std::string(bytes.begin(), bytes.end())};
}

TEST(LayerStart, ADisplayThatCannotBeReachedEndsWithStatusOneAndAMessage) {
    auto [code, text] = start_child("xcb", ":4711");
    EXPECT_EQ(code, 1) << "no abort (134) and no core dump\n" << text;
    EXPECT_NE(text.find("window system cannot be reached"), std::string::npos) << text;
    auto [fine, quiet] = start_child("offscreen", ":4711");
    EXPECT_EQ(fine, 0) << "a reachable platform starts as before\n" << quiet;
}

}  // namespace
