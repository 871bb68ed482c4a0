// Kernels with a running gain: fade in, fade out and the channel fades.
//
// The gain is carried in double precision by adding (or subtracting) a
// single-precision step once per value. That sum is sequential; when every
// partial sum start + k * step is exactly representable, a block of running
// gains, each adding (block size) * step, gives the very same values without
// the chain of dependent additions, and a whole block of values is scaled at
// once. ramp_is_exact decides that; otherwise the plain sequential sum runs.
// The wider copies take exact 8-bit ramps through byte maps (kernel_bytemap.h),
// each gain then formed from its index alone.
#include <kernels/kernels.h>

#include <climits>
#include <cmath>
#include <type_traits>

#include "kernel_bytemap.h"
#include "kernel_loop.h"
#include "kernel_simd.h"

namespace kern {

namespace {

// Exponent of the lowest bit a float can carry: x is an integer multiple of it.
int lowest_bit(float x) {
    int e = 0;
    std::frexp(x, &e);
    return e - 24;
}

// True when start + k * step is a double without rounding for every k in
// [0, count]: all of them are multiples of the smaller lowest bit of start and
// step, and none exceeds the 53 bits a double holds above that bit.
bool ramp_is_exact(float start, float step, uint64_t count) {
    if (!std::isfinite(start) || !std::isfinite(step)) return false;
    int low = INT_MAX;
    if (start != 0.0f) low = std::min(low, lowest_bit(start));
    if (step != 0.0f) low = std::min(low, lowest_bit(step));
    if (low == INT_MAX) return true;
    double largest = std::fabs(static_cast<double>(start)) +
                     static_cast<double>(count) * std::fabs(static_cast<double>(step));
    return largest * (1.0 + 1e-9) < std::ldexp(1.0, low + 53);
}

// Calls one(k, gain) for items [0, count), the gain the sequential double sum
// of start and step.
template <typename One>
void run_sequential(float start, float step, uint32_t count, Checkpoint check, One&& one) {
    const double s = step;
    double g = start;
    in_slices(0, count, check, [&](size_t k, size_t end) {
        for (; k < end; ++k) {
            one(k, g);
            g += s;
        }
    });
}

// Calls block(k, g) for the items k .. k + Lanes - 1 with their gains in g,
// and one(k, gain) for single items, over items [0, count), each item's gain
// being start + k * step as the sequential double sum gives it (step already
// carries its sign). The checkpoint runs after each slice.
template <int Lanes, typename Block, typename One>
void run_ramp(float start, float step, uint32_t count, Checkpoint check, Block&& block, One&& one) {
    static_assert(kSliceValues % Lanes == 0, "slices hold whole blocks");
    const double s = step;
    if (count >= 4 * Lanes && ramp_is_exact(start, step, uint64_t{count} + Lanes)) {
        double g[Lanes];
        g[0] = start;
        for (int j = 1; j < Lanes; ++j) g[j] = g[j - 1] + s;
        const double wide = s * Lanes;
        size_t whole = count / Lanes * Lanes;
        in_slices(0, whole, check, [&](size_t k, size_t end) {
            for (; k < end; k += Lanes) {
                block(k, g);
                for (int j = 0; j < Lanes; ++j) g[j] += wide;
            }
        });
        for (size_t k = whole; k < count; ++k) one(k, g[k - whole]);
        return;
    }
    run_sequential(start, step, count, check, one);
}

// The channel fade over count frames of 8-bit (2 bytes) or 16-bit (2 values)
// stereo data: left and right take g and 1 - g, or the other way round.
void fade_frames8(uint8_t* p, uint32_t count, float start, float step, bool leftToRight,
                  Checkpoint check) {
    const int l = leftToRight ? 0 : 1, r = 1 - l;
    run_ramp<8>(
        start, step, count, check,
        [p, leftToRight](size_t k, const double* g) { fade_bytes8(p + 2 * k, g, leftToRight); },
        [p, l, r](size_t k, double g) {
            p[2 * k + l] = scale_byte(p[2 * k + l], g);
            p[2 * k + r] = scale_byte(p[2 * k + r], 1.0 - g);
        });
}

void fade_frames16(int16_t* v, uint32_t count, float start, float step, bool leftToRight,
                   Checkpoint check) {
    const int l = leftToRight ? 0 : 1, r = 1 - l;
    run_ramp<4>(
        start, step, count, check,
        [v, leftToRight](size_t k, const double* g) { fade_words4(v + 2 * k, g, leftToRight); },
        [v, l, r](size_t k, double g) {
            v[2 * k + l] = scale_word(v[2 * k + l], g);
            v[2 * k + r] = scale_word(v[2 * k + r], 1.0 - g);
        });
}

}  // namespace

Ramp fade_in_ramp(unsigned percent, uint32_t rangeBytes, int bits) {
    float depth = static_cast<float>(static_cast<int>(100 - percent)) * 0.01f;
    uint32_t n = bits == 8 ? rangeBytes : rangeBytes / 2;
    return Ramp{1.0f - depth, depth / static_cast<float>(n)};
}

Ramp fade_out_ramp(unsigned percent, uint32_t rangeBytes, int bits) {
    Ramp in = fade_in_ramp(percent, rangeBytes, bits);
    return Ramp{1.0f, in.step};
}

#if defined(SONREL_WIDE_UNITS)
// Code in here, lambdas included, is AVX2 code.
#pragma GCC push_options
#pragma GCC target("avx2")
namespace {

// A bound on the size of every gain of a ramp of count items (NaN for a NaN
// start or step).
double largest_gain(float start, float step, uint64_t count) {
    return (std::fabs(static_cast<double>(start)) +
            static_cast<double>(count) * std::fabs(static_cast<double>(step))) *
           (1.0 + 1e-9);
}

// run_ramp for the wider copies: the block gets its Lanes gains as registers
// of four, which stay in registers from block to block. The same gains as
// run_ramp's, from the same sums.
template <int Lanes, typename Block, typename One>
void run_ramp_wide(float start, float step, uint32_t count, Checkpoint check, Block&& block,
                   One&& one) {
    static_assert(Lanes % 4 == 0 && kSliceValues % Lanes == 0, "whole registers and blocks");
    const double s = step;
    if (count < 4 * Lanes || !ramp_is_exact(start, step, uint64_t{count} + Lanes)) {
        run_sequential(start, step, count, check, one);
        return;
    }
    alignas(32) double first[Lanes];
    first[0] = start;
    for (int j = 1; j < Lanes; ++j) first[j] = first[j - 1] + s;
    __m256d g[Lanes / 4];
    for (int q = 0; q < Lanes / 4; ++q) g[q] = _mm256_load_pd(first + 4 * q);
    const __m256d wide = _mm256_set1_pd(s * Lanes);
    size_t whole = count / Lanes * Lanes;
    in_slices(0, whole, check, [&](size_t k, size_t end) {
        for (; k < end; k += Lanes) {
            block(k, g);
            for (__m256d& x : g) x = _mm256_add_pd(x, wide);
        }
    });
    for (int q = 0; q < Lanes / 4; ++q) _mm256_store_pd(first + 4 * q, g[q]);
    for (size_t k = whole; k < count; ++k) one(k, first[k - whole]);
}

// The wider copies of the fades: blocks of 32 bytes, 16 values or 8 to 16 frames.
SONREL_WIDE void ramp_wide(uint8_t* data, int bits, ByteRange r, float start, float step,
                           Checkpoint check) {
    if (bits == 8) {
        uint8_t* p = data + r.start;
        if (ramp_is_exact(start, step, r.length)) {
            // Every gain start + k * step is exact, so it is formed from k alone.
            const double s = step, slope[] = {s};
            bytemap::map_bytes<1>(
                p, r.length, slope, [start, s](int, uint64_t k) { return start + k * s; }, check);
            return;
        }
        run_ramp_wide<32>(
            start, step, r.length, check,
            [p](size_t k, const __m256d* g) { wide::scale_bytes32(p + k, g); },
            [p](size_t k, double g) { p[k] = scale_byte(p[k], g); });
        return;
    }
    uint32_t first = r.start / 2, end = static_cast<uint32_t>((uint64_t{r.start} + r.length) / 2);
    int16_t* v = reinterpret_cast<int16_t*>(data) + first;
    auto words = [&](auto clamp) {
        run_ramp_wide<16>(
            start, step, end - first, check,
            [v](size_t k, const __m256d* g) {
                wide::scale_words16<decltype(clamp)::value>(v + k, g);
            },
            [v](size_t k, double g) { v[k] = scale_word(v[k], g); });
    };
    if (wide::pack_clamps(largest_gain(start, step, end - first))) {
        words(std::false_type{});
    } else {
        words(std::true_type{});
    }
}

SONREL_WIDE void fade_frames_wide(uint8_t* data, int bits, uint32_t count, float start, float step,
                                  bool leftToRight, Checkpoint check) {
    const int l = leftToRight ? 0 : 1, r = 1 - l;
    if (bits == 8) {
        uint8_t* p = data;
        if (ramp_is_exact(start, step, count)) {
            const double s = step;
            const double slope[] = {leftToRight ? s : -s, leftToRight ? -s : s};
            bytemap::map_bytes<2>(
                p, count, slope,
                [start, s, leftToRight](int c, uint64_t k) {
                    double g = start + k * s;
                    return (c == 0) == leftToRight ? g : 1.0 - g;
                },
                check);
            return;
        }
        run_ramp_wide<16>(
            start, step, count, check,
            [p, leftToRight](size_t k, const __m256d* g) {
                wide::fade_bytes16(p + 2 * k, g, leftToRight);
            },
            [p, l, r](size_t k, double g) {
                p[2 * k + l] = scale_byte(p[2 * k + l], g);
                p[2 * k + r] = scale_byte(p[2 * k + r], 1.0 - g);
            });
        return;
    }
    int16_t* v = reinterpret_cast<int16_t*>(data);
    auto frames = [&](auto clamp) {
        run_ramp_wide<8>(
            start, step, count, check,
            [v, leftToRight](size_t k, const __m256d* g) {
                wide::fade_words8<decltype(clamp)::value>(v + 2 * k, g, leftToRight);
            },
            [v, l, r](size_t k, double g) {
                v[2 * k + l] = scale_word(v[2 * k + l], g);
                v[2 * k + r] = scale_word(v[2 * k + r], 1.0 - g);
            });
    };
    // 1 - g is at most 1 + |g| in size.
    if (wide::pack_clamps(1.0 + largest_gain(start, step, count))) {
        frames(std::false_type{});
    } else {
        frames(std::true_type{});
    }
}

}  // namespace
#pragma GCC pop_options
#endif

void ramp_kernel(uint8_t* data, int bits, ByteRange r, Ramp ramp, bool rising, Checkpoint check) {
    float step = rising ? ramp.step : -ramp.step;
#if defined(SONREL_WIDE_UNITS)
    if (wide_units()) return ramp_wide(data, bits, r, ramp.start, step, check);
#endif
    if (bits == 8) {
        uint8_t* p = data + r.start;
        run_ramp<16>(
            ramp.start, step, r.length, check,
            [p](size_t k, const double* g) { scale_bytes16(p + k, g); },
            [p](size_t k, double g) { p[k] = scale_byte(p[k], g); });
        return;
    }
    uint32_t first = r.start / 2, end = static_cast<uint32_t>((uint64_t{r.start} + r.length) / 2);
    int16_t* v = reinterpret_cast<int16_t*>(data) + first;
    run_ramp<8>(
        ramp.start, step, end - first, check,
        [v](size_t k, const double* g) { scale_words8(v + k, g); },
        [v](size_t k, double g) { v[k] = scale_word(v[k], g); });
}

namespace {

// Where a channel fade walks: the aligned first frame, the frames that fit in
// the data, the step between frames and the per-frame gain step.
struct ChannelWalk {
    uint64_t first;    // byte offset of the first frame
    uint32_t count;    // frames walked
    unsigned advance;  // bytes from one frame to the next
    unsigned width;    // bytes of one sample value
    float step;
};

ChannelWalk plan_channel_walk(uint32_t dataBytes, int bits, unsigned blockAlign, ByteRange r) {
    ChannelWalk w{r.start, 0, 2, 1, 0.0f};
    if (r.length == 0) return w;
    uint64_t frames;
    if (bits == 8) {
        if (blockAlign != 0 && r.start % blockAlign != 0) w.first += 1;
        frames = (r.length - 1) / 2 + 1;
        w.step = 1.0f / static_cast<float>(r.length / 2);
    } else {
        uint64_t start = blockAlign != 0 ? uint64_t{r.start} + r.start % blockAlign : r.start;
        uint64_t i0 = start / 2, end = (start + r.length) / 2;
        frames = end > i0 ? (end - i0 + 1) / 2 : 0;
        w.first = i0 * 2;
        w.step = 1.0f / static_cast<float>(r.length / 4);
        w.advance = 4;
        w.width = 2;
    }
    // Only frames whose right value ends within the data are walked.
    uint64_t frame = 2 * w.width;
    uint64_t fit = w.first + frame <= dataBytes ? (dataBytes - w.first - frame) / w.advance + 1 : 0;
    w.count = static_cast<uint32_t>(std::min(frames, fit));
    return w;
}

ByteRange walk_span(const ChannelWalk& w, uint32_t dataBytes) {
    if (w.count == 0)
        return ByteRange{static_cast<uint32_t>(std::min<uint64_t>(w.first, dataBytes)), 0};
    uint64_t last = w.first + uint64_t{w.count - 1} * w.advance + 2 * w.width;
    return ByteRange{static_cast<uint32_t>(w.first), static_cast<uint32_t>(last - w.first)};
}

}  // namespace

ByteRange channel_fade_span(uint32_t dataBytes, int bits, unsigned blockAlign, ByteRange r) {
    return walk_span(plan_channel_walk(dataBytes, bits, blockAlign, r), dataBytes);
}

ByteRange channel_fade_kernel(uint8_t* data, uint32_t dataBytes, int bits, unsigned blockAlign,
                              ByteRange r, float startGain, bool leftToRight, Checkpoint check) {
    ChannelWalk w = plan_channel_walk(dataBytes, bits, blockAlign, r);
    const float start = startGain > 1.0f ? 1.0f : startGain;
#if defined(SONREL_WIDE_UNITS)
    if (w.count != 0 && wide_units()) {
        fade_frames_wide(data + w.first, bits, w.count, start, -w.step, leftToRight, check);
        return walk_span(w, dataBytes);
    }
#endif
    if (w.count != 0 && bits == 8) {
        fade_frames8(data + w.first, w.count, start, -w.step, leftToRight, check);
    } else if (w.count != 0) {
        fade_frames16(reinterpret_cast<int16_t*>(data + w.first), w.count, start, -w.step,
                      leftToRight, check);
    }
    return walk_span(w, dataBytes);
}

}  // namespace kern
