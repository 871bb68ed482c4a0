// Entry of every test program: a fresh SONREL_HOME, offscreen Qt, silent audio,
// the platform layer started on this (the user-interface) thread. With
// "--child=<role>" the program runs a registered child role instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace testing_support {
int run_child_role(const std::string& role, const std::vector<std::string>& args);
}

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (argc >= 2 && std::strncmp(argv[1], "--child=", 8) == 0) {
        PlatformInit(&argc, argv);
        std::vector<std::string> args(argv + 2, argv + argc);
        return testing_support::run_child_role(argv[1] + 8, args);
    }
    char tmpl[] = "/tmp/sonrel-test-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir) return 2;
    setenv("SONREL_HOME", dir, 1);
    ::testing::InitGoogleTest(&argc, argv);
    PlatformInit(&argc, argv);
    int rc = RUN_ALL_TESTS();
    if (!std::getenv("SONREL_KEEP_HOME")) testing_support::run(std::string("rm -rf '") + dir + "'");
    return rc;
}
