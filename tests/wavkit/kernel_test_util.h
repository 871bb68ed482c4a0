// Byte buffers for the kernel tests: 8-bit bytes and 16-bit values side by side.
#pragma once

#include <kernels/kernels.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace kernel_test {

// The kernels' results do not depend on a checkpoint; most tests give none.
constexpr kern::Checkpoint kNoCheck = nullptr;

using Bytes = std::vector<uint8_t>;
using Words = std::vector<int16_t>;

inline Bytes bytes_of(const Words& w) {
    Bytes b(w.size() * 2);
    std::memcpy(b.data(), w.data(), b.size());
    return b;
}

inline Words words_of(const Bytes& b) {
    Words w(b.size() / 2);
    std::memcpy(w.data(), b.data(), w.size() * 2);
    return w;
}

inline Bytes random_bytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

inline Words random_words(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Words w(n);
    for (auto& x : w) x = static_cast<int16_t>(rng());
    return w;
}

}  // namespace kernel_test
