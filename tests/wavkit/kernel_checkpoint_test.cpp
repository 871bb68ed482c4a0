// The caller's checkpoint in the kernels' long loops: it runs between slices,
// never inside one; a checkpoint that throws ends the kernel there, with the
// rest of the data as it was; and it never changes a result.
#include <gtest/gtest.h>
#include <platform/platform.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "kernel_test_util.h"

namespace {

using namespace kernel_test;
using kern::ByteRange;

// Four whole slices of 16-bit values and a part of one more.
constexpr uint32_t kBytes = 8 * kern::kSliceValues + 4 * 37;
constexpr ByteRange kAll{0, kBytes};

struct Stopped {};

// What the checkpoint below sees: a plain function pointer carries no state.
struct Probe {
    int calls = 0;
    int throwAt = 0;  // throw on this call (1-based); 0: never
    const Bytes* data = nullptr;
    Bytes atFirstCall;
};
Probe g_probe;

void probe_checkpoint() {
    Probe& p = g_probe;
    if (++p.calls == 1 && p.data) p.atFirstCall = *p.data;
    if (p.calls == p.throwAt) throw Stopped{};
}

// How a kernel walks: forward kernels finish their data from the front, so at
// any checkpoint the bytes are final up to some point and untouched after it.
enum class Walk { kForward, kOther };

struct Case {
    std::string name;
    Walk walk;
    const Bytes& (*input)();
    std::function<void(uint8_t*, kern::Checkpoint)> run;
};

const Bytes& noise() {
    static const Bytes b = random_bytes(kBytes, 7);
    return b;
}

// Values at about half scale, so that the peak volume has room to scale.
const Bytes& half_scale() {
    static const Bytes b = [] {
        Bytes h = random_bytes(kBytes, 11);
        for (size_t i = 0; i < h.size(); i += 2) {
            h[i] = static_cast<uint8_t>(64 + h[i] % 128);
            h[i + 1] = static_cast<uint8_t>(h[i + 1] % 64);  // high byte of a value below 16384
        }
        return h;
    }();
    return b;
}

// Room for a stretch to twice the values.
const Bytes& noise_with_room() {
    static const Bytes b = random_bytes(2 * size_t{kBytes}, 13);
    return b;
}

std::vector<Case> cases() {
    std::vector<Case> c;
    for (int bits : {8, 16}) {
        std::string w = bits == 8 ? "8" : "16";
        uint32_t values = bits == 8 ? kBytes : kBytes / 2;
        c.push_back({"Volume" + w, Walk::kForward, noise, [bits](uint8_t* d, kern::Checkpoint k) {
                         kern::volume_kernel(d, bits, kAll, 1.5f, k);
                     }});
        c.push_back({"FadeIn" + w, Walk::kForward, noise, [bits](uint8_t* d, kern::Checkpoint k) {
                         kern::ramp_kernel(d, bits, kAll, kern::fade_in_ramp(10, kBytes, bits),
                                           true, k);
                     }});
        c.push_back({"Zeroize" + w, Walk::kForward, noise, [bits](uint8_t* d, kern::Checkpoint k) {
                         kern::zeroize_kernel(d, bits, kAll, kern::zeroize_thresholds(500), k);
                     }});
        c.push_back({"Silence" + w, Walk::kForward, noise, [bits](uint8_t* d, kern::Checkpoint k) {
                         kern::silence_kernel(d, bits, kAll, k);
                     }});
        c.push_back(
            {"ChannelFade" + w, Walk::kForward, noise, [bits](uint8_t* d, kern::Checkpoint k) {
                 kern::channel_fade_kernel(d, kBytes, bits, bits == 8 ? 2 : 4, kAll, 1.0f, true, k);
             }});
        c.push_back({"MovingAverage" + w, Walk::kForward, noise,
                     [bits, values](uint8_t* d, kern::Checkpoint k) {
                         kern::moving_average_kernel(d, bits, 0, values, 6, k);
                     }});
        c.push_back(
            {"Compress" + w, Walk::kForward, noise, [bits, values](uint8_t* d, kern::Checkpoint k) {
                 kern::resample_kernel(d, bits, values, values / 2, 2.0f, k);
             }});
        c.push_back({"Stretch" + w, Walk::kOther, noise_with_room,
                     [bits, values](uint8_t* d, kern::Checkpoint k) {
                         kern::resample_kernel(d, bits, values, 2 * values, 0.5f, k);
                     }});
        c.push_back({"Reverse" + w, Walk::kOther, noise, [bits](uint8_t* d, kern::Checkpoint k) {
                         kern::reverse_kernel(d, bits, kAll, k);
                     }});
        c.push_back({"Peak" + w, Walk::kOther, half_scale, [bits](uint8_t* d, kern::Checkpoint k) {
                         kern::peak_kernel(d, bits, kAll, k);
                     }});
    }
    constexpr uint32_t kGap = 3 * kern::kSliceValues / 2;
    c.push_back({"MoveDown", Walk::kForward, noise,
                 [](uint8_t* d, kern::Checkpoint k) { kern::move_down(d, 0, kGap, kBytes, k); }});
    c.push_back({"MoveUp", Walk::kOther, noise_with_room,
                 [](uint8_t* d, kern::Checkpoint k) { kern::move_up(d, 5, kGap, kBytes, k); }});
    // A tail that fits in the gap is swapped, one that does not is rotated.
    c.push_back({"BringDownSwapped", Walk::kOther, noise, [](uint8_t* d, kern::Checkpoint k) {
                     kern::bring_down(d, 0, kBytes / 2, kBytes, k);
                 }});
    return c;
}

// The whole result without a checkpoint.
Bytes finished(const Case& c, const Bytes& input) {
    Bytes b = input;
    c.run(b.data(), nullptr);
    return b;
}

size_t common_prefix(const Bytes& a, const Bytes& b) {
    size_t n = 0;
    while (n < a.size() && a[n] == b[n]) ++n;
    return n;
}

size_t common_suffix_start(const Bytes& a, const Bytes& b) {
    size_t n = a.size();
    while (n > 0 && a[n - 1] == b[n - 1]) --n;
    return n;
}

TEST(KernelCheckpoint, RunsBetweenSlicesAndNeverChangesTheResult) {
    for (const Case& c : cases()) {
        const Bytes input = c.input();
        const Bytes expect = finished(c, input);
        ASSERT_NE(expect, input) << c.name << ": the case must change its data";
        Bytes b = input;
        g_probe = Probe{};
        g_probe.data = &b;
        c.run(b.data(), probe_checkpoint);
        EXPECT_EQ(b, expect) << c.name;
        // Data of several slices: more than one checkpoint.
        EXPECT_GE(g_probe.calls, 2) << c.name;
        if (c.walk != Walk::kForward) continue;
        // At the first checkpoint the bytes are final up to a point and as
        // they were after it: it came between two slices, not inside one.
        const Bytes& seen = g_probe.atFirstCall;
        size_t done = common_prefix(seen, expect);
        size_t untouched = common_suffix_start(seen, input);
        EXPECT_LE(untouched, done) << c.name << ": a slice was cut short";
        EXPECT_NE(seen, input) << c.name << ": the first slice was not worked before the check";
        EXPECT_NE(seen, expect) << c.name << ": all slices were worked before the check";
    }
}

TEST(KernelCheckpoint, AThrowingCheckpointEndsTheKernelThere) {
    for (const Case& c : cases()) {
        const Bytes input = c.input();
        const Bytes expect = finished(c, input);
        Bytes b = input;
        g_probe = Probe{};
        g_probe.throwAt = 2;
        g_probe.data = &b;
        EXPECT_THROW(c.run(b.data(), probe_checkpoint), Stopped) << c.name;
        // No slice ran after the check that threw.
        EXPECT_EQ(g_probe.calls, 2) << c.name;
        EXPECT_NE(b, expect) << c.name << ": the kernel went on after the stop";
        if (c.walk == Walk::kForward) {
            size_t done = common_prefix(b, expect);
            EXPECT_LE(common_suffix_start(b, input), done) << c.name;
            // Two slices' work at least: more than at the first check.
            EXPECT_GT(done, common_prefix(g_probe.atFirstCall, expect)) << c.name;
        }
    }
}

// A kernel handed the thread layer's checkpoint, on a thread of its own.
struct Worker {
    Bytes data = noise();
    std::atomic<int> rounds{0};
    std::atomic<bool> unwound{false};
};

struct SetOnUnwind {
    std::atomic<bool>& flag;
    ~SetOnUnwind() { flag = true; }
};

DWORD scale_until_stopped(LPVOID p) {
    auto* w = static_cast<Worker*>(p);
    SetOnUnwind guard{w->unwound};
    for (;;) {
        kern::volume_kernel(w->data.data(), 16, kAll, 1.0f, [] { PlatformCheckpoint(); });
        ++w->rounds;
    }
}

TEST(KernelCheckpoint, AStopRequestEndsTheThreadInsideAKernelThroughTheCheckpoint) {
    Worker w;
    HANDLE h = CreateThread(nullptr, 0, scale_until_stopped, &w, 0, nullptr);
    ASSERT_NE(h, nullptr);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (w.rounds < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GE(w.rounds, 1);
    EXPECT_TRUE(TerminateThread(h, 23));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, 23u);
    // The end unwound the thread's stack through the kernel's frames.
    EXPECT_TRUE(w.unwound);
    CloseHandle(h);
}

}  // namespace
