// 8-bit data under a gain that changes from value to value, as byte maps.
//
// A byte has 256 values, so under one gain the rule scale_byte is a map of
// 256 entries. Where the gain moves monotonically from item to item (a fade,
// a segment of the volume path), each entry keeps its result over a long run
// of items and changes only where the gain makes its product cross an
// integer; those crossings are few (about |b - 128| per entry over a full
// fade). The walk below finds, for every entry, the item where it next
// changes, exactly (each guess is checked with the rule itself), and between
// two such items every byte goes through a fixed map. Long runs apply that map
// with a single-precision gain per channel, 32 bytes at a time, after checking
// that it gives the map for all 256 bytes; other runs look the map up byte by
// byte. Either way each byte gets exactly what scale_byte gives it.
//
// Only for the wider copies (AVX2): the caller checks wide_units().
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "kernel_loop.h"
#include "kernel_simd.h"

#if defined(SONREL_WIDE_UNITS)
#pragma GCC push_options
#pragma GCC target("avx2")

namespace kern {
namespace bytemap {

// Items shorter than this go byte by byte: checking a single-precision gain
// costs about as much as looking up this many.
constexpr uint64_t kShortRun = 24;

// 32 bytes of interleaved channels times their single-precision gains
// (lanes: one gain per byte, in byte order), truncated and clamped to
// -128..127 by the saturating packs: the result as bytes again.
SONREL_AVX2 inline __m256i scale32(const uint8_t* p, __m256 gains) {
    const __m256i centre = _mm256_set1_epi32(128);
    __m256i q[4];
    for (int j = 0; j < 4; ++j) {
        __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 8 * j));
        __m256i v = _mm256_sub_epi32(_mm256_cvtepu8_epi32(eight), centre);
        q[j] = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(v), gains));
    }
    __m256i a = _mm256_permute4x64_epi64(_mm256_packs_epi32(q[0], q[1]), 0xD8);
    __m256i b = _mm256_permute4x64_epi64(_mm256_packs_epi32(q[2], q[3]), 0xD8);
    __m256i bytes = _mm256_permute4x64_epi64(_mm256_packs_epi16(a, b), 0xD8);
    return _mm256_xor_si256(bytes, _mm256_set1_epi8(static_cast<char>(0x80)));
}

// The walk over `count` items of `Channels` bytes each (the item's byte c
// takes channel c's gain). gain(c, k) is item k's gain of channel c, exactly
// as the rule forms it; it must not fall for one channel and rise for it
// elsewhere in the walk. slope[c] is about how much it changes per item, for
// the guesses only.
template <int Channels, typename Gain>
class Walk {
public:
    Walk(uint8_t* p, uint64_t count, const double* slope, Gain& gain)
        : p_(p), count_(count), gain_(gain) {
        for (int c = 0; c < Channels; ++c) slope_[c] = slope[c];
    }

    SONREL_AVX2 void run(Checkpoint check) {
        if (count_ == 0) return;
        for (int c = 0; c < Channels; ++c) {
            double g = gain_(c, 0);
            for (int b = 0; b < 256; ++b) {
                entry(c, b) = scale_byte(static_cast<uint8_t>(b), g);
                next_.push(Change{change_after(c, b, 0, entry(c, b)), c * 256 + b});
            }
        }
        uint64_t k = 0, sinceCheck = 0;
        while (k < count_) {
            uint64_t end = next_.top().item;
            // Slices of about kSliceValues bytes, with the checkpoint after each.
            while (k < end) {
                uint64_t stop = std::min(end, k + (kSliceValues - sinceCheck) / Channels + 1);
                apply(k, stop);
                sinceCheck += (stop - k) * Channels;
                k = stop;
                if (sinceCheck >= kSliceValues) {
                    sinceCheck = 0;
                    after_slice(check);
                }
            }
            while (end < count_ && next_.top().item == end) {
                int c = next_.top().entry / 256, b = next_.top().entry % 256;
                entry(c, b) = scale_byte(static_cast<uint8_t>(b), gain_(c, end));
                next_.replace_top(Change{change_after(c, b, end, entry(c, b)), c * 256 + b});
            }
        }
        if (sinceCheck != 0) after_slice(check);
    }

private:
    struct Change {
        uint64_t item;  // where the entry next changes (count_: not in the walk)
        int entry;      // channel * 256 + byte
    };

    // The entries by the item where they next change, the nearest on top: a
    // heap of four children per node, shallow for the few hundred entries.
    class Changes {
    public:
        const Change& top() const { return at_[0]; }
        void push(Change x) {
            size_t i = at_.size();
            at_.push_back(x);
            while (i > 0 && at_[(i - 1) / 4].item > x.item) {
                at_[i] = at_[(i - 1) / 4];
                i = (i - 1) / 4;
            }
            at_[i] = x;
        }
        // Replaces the top by x and sinks x to its place.
        void replace_top(Change x) {
            size_t i = 0, n = at_.size();
            for (;;) {
                size_t first = 4 * i + 1;
                if (first >= n) break;
                size_t least = first, last = std::min(first + 4, n);
                for (size_t j = first + 1; j < last; ++j)
                    if (at_[j].item < at_[least].item) least = j;
                if (at_[least].item >= x.item) break;
                at_[i] = at_[least];
                i = least;
            }
            at_[i] = x;
        }

    private:
        std::vector<Change> at_;
    };

    bool differs(int c, int b, uint64_t k, uint8_t now) {
        return scale_byte(static_cast<uint8_t>(b), gain_(c, k)) != now;
    }

    // The first item after k where byte b of channel c no longer gives `now`,
    // or count_. Entries change monotonically along the walk, so the items
    // that differ follow all those that do not: a bracket (same, diff]
    // narrows on guesses where the product crosses the next integer; where
    // there is no such guess, the walk's last item is tried once, then the
    // bracket is halved.
    SONREL_AVX2 uint64_t change_after(int c, int b, uint64_t k, uint8_t now) {
        uint64_t same = k, diff = count_;  // count_ stands for "past the walk"
        const double dx = (b - 128) * slope_[c];
        const bool guessing = dx != 0.0 && std::isfinite(dx);
        bool triedLast = false;
        while (diff - same > 1) {
            uint64_t guess = 0;
            if (guessing) {
                // The next integer the product reaches; past the clamp, the limit.
                double x = (b - 128) * gain_(c, same);
                double target = dx > 0 ? std::max(std::floor(x) + 1.0, -128.0)
                                       : std::min(std::ceil(x) - 1.0, 127.0);
                double ahead = std::ceil((target - x) / dx);
                if (ahead >= 1.0 && ahead < static_cast<double>(diff - same))
                    guess = same + static_cast<uint64_t>(ahead);
            }
            if (guess == 0) {
                guess = triedLast ? same + (diff - same) / 2 : diff - 1;
                triedLast = true;
            }
            if (differs(c, b, guess, now)) {
                diff = guess;
                if (guess - 1 > same && !differs(c, b, guess - 1, now)) same = guess - 1;
            } else {
                same = guess;
                if (guess + 1 < diff && differs(c, b, guess + 1, now)) diff = guess + 1;
            }
        }
        return diff;
    }

    // Items [k, end) under the current maps.
    SONREL_AVX2 void apply(uint64_t k, uint64_t end) {
        uint8_t* first = p_ + k * Channels;
        uint8_t* last = p_ + end * Channels;
        __m256 gains;
        if (end - k >= kShortRun && single_gains(k, end, &gains)) {
            for (; last - first >= 32; first += 32) wide::store(first, scale32(first, gains));
        }
        for (; first < last; first += Channels)
            for (int c = 0; c < Channels; ++c) first[c] = entry(c, first[c]);
    }

    // Single-precision gains (one per byte lane) that give the current maps
    // for every byte, tried from the gains in the middle and at the ends of
    // the items.
    SONREL_AVX2 bool single_gains(uint64_t k, uint64_t end, __m256* gains) {
        const uint64_t at[] = {k + (end - k) / 2, k, end - 1};
        for (uint64_t item : at) {
            float g[Channels];
            for (int c = 0; c < Channels; ++c) g[c] = static_cast<float>(gain_(c, item));
            alignas(32) float lanes[8];
            for (int j = 0; j < 8; ++j) lanes[j] = g[j % Channels];
            *gains = _mm256_load_ps(lanes);
            if (gives_maps(*gains)) return true;
        }
        return false;
    }

    // Whether the gains give the maps for every byte value: the maps are laid
    // out as the bytes of every value in every channel's lanes would be.
    SONREL_AVX2 bool gives_maps(__m256 gains) {
        __m256i wrong = _mm256_setzero_si256();
        for (int i = 0; i < 256 * Channels; i += 32) {
            __m256i got = scale32(kValues + i, gains);
            wrong = _mm256_or_si256(wrong, _mm256_xor_si256(got, wide::load(maps_ + i)));
        }
        return _mm256_testz_si256(wrong, wrong);
    }

    // The map of channel c for byte b.
    uint8_t& entry(int c, int b) { return maps_[Channels * b + c]; }

    // Every byte value once in every channel's lanes: value b at Channels * b + c.
    static constexpr struct Values {
        uint8_t at[256 * Channels];
        constexpr Values() : at() {
            for (int i = 0; i < 256 * Channels; ++i) at[i] = static_cast<uint8_t>(i / Channels);
        }
    } kValueTable{};
    static constexpr const uint8_t* kValues = kValueTable.at;

    uint8_t* p_;
    uint64_t count_;
    Gain& gain_;
    double slope_[Channels];
    alignas(32) uint8_t maps_[256 * Channels];
    Changes next_;
};

// Runs the walk over count items of Channels bytes at p.
template <int Channels, typename Gain>
SONREL_AVX2 void map_bytes(uint8_t* p, uint64_t count, const double* slope, Gain&& gain,
                           Checkpoint check) {
    Walk<Channels, std::remove_reference_t<Gain>> walk(p, count, slope, gain);
    walk.run(check);
}

}  // namespace bytemap
}  // namespace kern

#pragma GCC pop_options
#endif
