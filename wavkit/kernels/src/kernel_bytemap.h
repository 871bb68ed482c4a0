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

// True when scale32 with `gains` (the same in every lane) gives every byte
// what scale_byte gives it under the gain g.
SONREL_AVX2 inline bool single_gain_suffices(__m256 gains, double g) {
    alignas(32) uint8_t in[256], want[256];
    for (int b = 0; b < 256; ++b) {
        in[b] = static_cast<uint8_t>(b);
        want[b] = scale_byte(static_cast<uint8_t>(b), g);
    }
    __m256i wrong = _mm256_setzero_si256();
    for (int i = 0; i < 256; i += 32)
        wrong =
            _mm256_or_si256(wrong, _mm256_xor_si256(scale32(in + i, gains), wide::load(want + i)));
    return _mm256_testz_si256(wrong, wrong);
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
        for (int c = 0; c < Channels; ++c) {
            slope_[c] = slope[c];
            perSlope_[c] = 1.0 / slope[c];
        }
        for (int b = 0; b < 256; ++b) perValue_[b] = b == 128 ? 0.0 : 1.0 / (b - 128);
    }

    SONREL_AVX2 void run(Checkpoint check) {
        if (count_ == 0) return;
        // The changes wait in buckets of consecutive items, each bucket a list
        // threaded through link_; a bucket's few changes are then taken in
        // item order.
        const uint64_t buckets = std::min<uint64_t>(count_, kBuckets);
        width_ = (count_ + buckets - 1) / buckets;
        head_.assign(buckets, -1);
        // With every gain within -1..1 no product reaches the clamp except
        // that of byte 0, so bytes 128 - u and 128 + u (u = 1 .. 127) give
        // results of opposite sign (the products are exact negatives), and
        // only the upper one is followed.
        mirrored_ = true;
        for (int c = 0; c < Channels; ++c) {
            for (uint64_t k : {uint64_t{0}, count_ - 1})
                mirrored_ = mirrored_ && std::fabs(gain_(c, k)) <= 1.0;
        }
        for (int c = 0; c < Channels; ++c) {
            double g = gain_(c, 0);
            for (int b = 0; b < 256; ++b) {
                entry(c, b) = scale_byte(static_cast<uint8_t>(b), g);
                if (!mirrored_ || b == 0 || b >= 128)
                    wait(c * 256 + b, change_after(c, b, 0, entry(c, b)));
            }
        }
        uint64_t k = 0;
        int due[256 * Channels];
        for (uint64_t bucket = 0; bucket < buckets; ++bucket) {
            int n = 0;
            for (int e = head_[bucket]; e >= 0; e = link_[e]) due[n++] = e;
            const uint64_t bucketEnd = std::min((bucket + 1) * width_, count_);
            while (n > 0) {
                uint64_t end = count_;
                for (int i = 0; i < n; ++i) end = std::min(end, when_[due[i]]);
                advance(k, end, check);
                k = end;
                // The entries that change here take their new results; those
                // that change again within the bucket stay due.
                int kept = 0;
                for (int i = 0; i < n; ++i) {
                    const int e = due[i], c = e / 256, b = e % 256;
                    if (when_[e] == end) {
                        entry(c, b) = scale_byte(static_cast<uint8_t>(b), gain_(c, end));
                        if (mirrored_ && b > 128) entry(c, 256 - b) = 256 - entry(c, b);
                        uint64_t next = change_after(c, b, end, entry(c, b));
                        if (next >= bucketEnd) {
                            wait(e, next);
                            continue;
                        }
                        when_[e] = next;
                    }
                    due[kept++] = e;
                }
                n = kept;
            }
        }
        advance(k, count_, check);
        if (sinceCheck_ != 0) after_slice(check);
    }

private:
    // Buckets of the changes to come: a few items each for long walks.
    static constexpr uint64_t kBuckets = 1u << 16;

    // Puts entry e in the bucket of item `when` (count_: never).
    void wait(int e, uint64_t when) {
        when_[e] = when;
        if (when >= count_) return;
        uint64_t bucket = when / width_;
        link_[e] = head_[bucket];
        head_[bucket] = e;
    }

    // Items [k, end) under the current maps, in slices of about kSliceValues
    // bytes with the checkpoint after each.
    SONREL_AVX2 void advance(uint64_t k, uint64_t end, Checkpoint check) {
        while (k < end) {
            uint64_t stop = std::min(end, k + (kSliceValues - sinceCheck_) / Channels + 1);
            apply(k, stop);
            sinceCheck_ += (stop - k) * Channels;
            k = stop;
            if (sinceCheck_ >= kSliceValues) {
                sinceCheck_ = 0;
                after_slice(check);
            }
        }
    }

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
                double ahead = std::ceil((target - x) * perSlope_[c] * perValue_[b]);
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
    double perSlope_[Channels];  // 1 / slope
    double perValue_[256];       // 1 / (b - 128), 0 for 128
    bool mirrored_ = false;
    alignas(32) uint8_t maps_[256 * Channels];
    uint64_t width_ = 1;        // items per bucket
    std::vector<int> head_;     // first entry waiting in each bucket, -1: none
    int link_[256 * Channels];  // the next entry in the same bucket
    uint64_t when_[256 * Channels];
    uint64_t sinceCheck_ = 0;  // bytes since the last checkpoint
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
