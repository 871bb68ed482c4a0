// Single running copy: a later copy hands its command line to the one that
// listens, byte for byte; a socket file left by a crashed copy is replaced;
// lines wait until the listening copy names its target window.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "test_support.h"

namespace {

using testing_support::register_child_role;
using testing_support::spawn_child;
using testing_support::wait_child;

constexpr UINT kLineMessage = WM_USER + 77;

std::vector<std::string>& received() {
    static std::vector<std::string> r;
    return r;
}

LRESULT CALLBACK target_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kLineMessage) received().push_back(reinterpret_cast<const char*>(lp));
    return DefWindowProc(hwnd, msg, wp, lp);
}

HWND make_target() {
    static const bool registered = [] {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = target_proc;
        wc.lpszClassName = "InstanceTarget";
        return RegisterClassEx(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowEx(0, "InstanceTarget", "Target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                          200, 100, nullptr, nullptr, nullptr, nullptr);
}

std::string socket_file(const std::string& name) {
    char dir[512] = "";
    PlatformRuntimePath(sizeof(dir), dir);
    return std::string(dir) + name + ".sock";
}

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// Serves the event loop until pred holds or about 20 s have passed.
template <typename Pred>
bool serve_until(Pred pred) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!pred() && std::chrono::steady_clock::now() < deadline) {
        PlatformProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return pred();
}

// Child: becomes the running copy of args[0] and writes the first line it
// receives to the file args[1].
int role_listen(const std::vector<std::string>& args) {
    if (PlatformInstanceStart(args[0].c_str(), "")) return 3;
    PlatformInstanceSetTarget(make_target(), kLineMessage);
    if (!serve_until([] { return !received().empty(); })) return 4;
    testing_support::write_file(
        args[1], std::vector<unsigned char>(received()[0].begin(), received()[0].end()));
    PlatformInstanceStop();
    return 0;
}

// Child: a later copy of args[0] handing over args[1].
int role_hand_over(const std::vector<std::string>& args) {
    return PlatformInstanceStart(args[0].c_str(), args[1].c_str()) ? 0 : 5;
}

const bool g_roles = [] {
    register_child_role("instance-listen", role_listen);
    register_child_role("instance-hand-over", role_hand_over);
    return true;
}();

std::string unique(const char* what) {
    return std::string("Inst") + what + std::to_string(getpid());
}

TEST(SingleInstance, LaterCopyHandsItsPathIntactToTheRunningCopy) {
    std::string name = unique("Handover");
    std::string out = testing_support::fresh_dir("instance") + "/received";
    int pid = spawn_child("instance-listen", {name, out});
    ASSERT_TRUE(serve_until([&] { return exists(socket_file(name)); }));
    const std::string path = "/home/user/My Sounds/\"quoted\" 'single' Schön – 音楽.wav";
    EXPECT_TRUE(PlatformInstanceStart(name.c_str(), path.c_str()));
    EXPECT_EQ(wait_child(pid), 0);
    auto bytes = testing_support::read_file(out);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), path);
    // The running copy took its socket away when it stopped.
    EXPECT_FALSE(exists(socket_file(name)));
}

TEST(SingleInstance, StaleSocketIsReplacedAndLinesWaitForTheTarget) {
    std::string name = unique("Stale");
    std::string file = socket_file(name);
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, file.c_str(), sizeof(addr.sun_path) - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    close(fd);
    ASSERT_TRUE(exists(file));

    received().clear();
    EXPECT_FALSE(PlatformInstanceStart(name.c_str(), "ignored"));
    int pid = spawn_child("instance-hand-over", {name, "second copy's line"});
    int status = -1;
    bool ended = false;
    ASSERT_TRUE(
        serve_until([&] { return ended || (ended = waitpid(pid, &status, WNOHANG) == pid); }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    PlatformProcessEvents();
    EXPECT_TRUE(received().empty());

    HWND target = make_target();
    PlatformInstanceSetTarget(target, kLineMessage);
    EXPECT_TRUE(serve_until([] { return !received().empty(); }));
    EXPECT_EQ(received(), std::vector<std::string>{"second copy's line"});

    PlatformInstanceSetTarget(nullptr, 0);
    PlatformInstanceStop();
    EXPECT_FALSE(exists(file));
    DestroyWindow(target);
}

}  // namespace
