// Loop helpers shared by the kernels: work in slices with the caller's
// checkpoint between them, and the clamp of the tight loops.
#pragma once

#include <kernels/kernels.h>

#include <algorithm>
#include <cstdint>

namespace kern {

// True when the kernels take their wider copies: the machine has the wider
// vector units and nothing turned them off (use_wide_units).
bool wide_units();

// The wider copies of the hot kernels: compiled for AVX2 with every call inside
// them inlined, so that the inlined loops and helpers are AVX2 code too, while
// the same helpers stay plain x86-64 code everywhere else. They run only when
// wide_units() says so. Built by GCC, whose flatten takes in the lambdas.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define SONREL_WIDE_UNITS 1
#define SONREL_WIDE __attribute__((target("avx2"), flatten))
#define SONREL_AVX2 __attribute__((target("avx2")))
#endif

// Calls the caller's checkpoint, when it gave one.
inline void after_slice(Checkpoint check) {
    if (check) check();
}

// Calls work(first, stop) for consecutive slices of [first, end) and the
// checkpoint after each, never inside the tight loop. The bounds are size_t so
// that the loops inside index without wrapping and the compiler can vectorise
// them.
template <typename Work>
inline void in_slices(size_t first, size_t end, Checkpoint check, Work&& work) {
    while (first < end) {
        size_t stop = end - first > kSliceValues ? first + kSliceValues : end;
        work(first, stop);
        first = stop;
        after_slice(check);
    }
}

// trunc(x) clamped to lo..hi, in a form the compiler turns into vector
// max/min: the comparison order makes a NaN come out as lo, an infinity as the
// nearer limit, so the conversion to int is always defined.
inline int clamp_trunc(double x, double lo, double hi) {
    double y = x > lo ? x : lo;
    return static_cast<int>(y < hi ? y : hi);
}

}  // namespace kern
