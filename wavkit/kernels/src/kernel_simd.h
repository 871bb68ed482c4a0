// Blocks of values scaled by one gain each, for the kernels with a running
// gain. Each value becomes clamp(trunc(v * g)) exactly as scale_value gives
// it: the products are the same double-precision multiplications, the clamp
// the same comparisons (a NaN becomes the lower limit), the conversion the
// same truncation. On x86-64 they run two doubles at a time with SSE2, which
// every x86-64 has; other machines take the plain loop. The wide:: blocks do
// twice as many values with AVX2, for the kernels' wider copies (SONREL_WIDE),
// which run only on machines that have it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(SONREL_WIDE_UNITS)
#include <immintrin.h>
#endif

#include "kernel_loop.h"

namespace kern {

inline uint8_t scale_byte(uint8_t b, double g) {
    return static_cast<uint8_t>(clamp_trunc((b - 128) * g, -128, 127) + 128);
}

inline int16_t scale_word(int16_t v, double g) {
    return static_cast<int16_t>(clamp_trunc(v * g, -32768, 32767));
}

#if defined(__SSE2__)
namespace simd {

// Eight signed 16-bit values times their gains (two per register, in value
// order), clamped to lo..hi: eight 16-bit results.
inline __m128i scale8(__m128i x, __m128d g0, __m128d g1, __m128d g2, __m128d g3, __m128d lo,
                      __m128d hi) {
    __m128i sign = _mm_srai_epi16(x, 15);
    __m128i a = _mm_unpacklo_epi16(x, sign);
    __m128i b = _mm_unpackhi_epi16(x, sign);
    __m128d d0 = _mm_cvtepi32_pd(a);
    __m128d d1 = _mm_cvtepi32_pd(_mm_shuffle_epi32(a, 0xEE));
    __m128d d2 = _mm_cvtepi32_pd(b);
    __m128d d3 = _mm_cvtepi32_pd(_mm_shuffle_epi32(b, 0xEE));
    // max(x, lo) gives lo for a NaN x, as clamp_trunc does.
    d0 = _mm_min_pd(_mm_max_pd(_mm_mul_pd(d0, g0), lo), hi);
    d1 = _mm_min_pd(_mm_max_pd(_mm_mul_pd(d1, g1), lo), hi);
    d2 = _mm_min_pd(_mm_max_pd(_mm_mul_pd(d2, g2), lo), hi);
    d3 = _mm_min_pd(_mm_max_pd(_mm_mul_pd(d3, g3), lo), hi);
    __m128i r0 = _mm_unpacklo_epi64(_mm_cvttpd_epi32(d0), _mm_cvttpd_epi32(d1));
    __m128i r1 = _mm_unpacklo_epi64(_mm_cvttpd_epi32(d2), _mm_cvttpd_epi32(d3));
    return _mm_packs_epi32(r0, r1);
}

inline __m128i scale8(__m128i x, const double* g, __m128d lo, __m128d hi) {
    return scale8(x, _mm_loadu_pd(g), _mm_loadu_pd(g + 2), _mm_loadu_pd(g + 4), _mm_loadu_pd(g + 6),
                  lo, hi);
}

// Sixteen bytes as two registers of eight values centred on 0.
inline void split_bytes(__m128i x, __m128i* a, __m128i* b) {
    const __m128i zero = _mm_setzero_si128(), centre = _mm_set1_epi16(128);
    *a = _mm_sub_epi16(_mm_unpacklo_epi8(x, zero), centre);
    *b = _mm_sub_epi16(_mm_unpackhi_epi8(x, zero), centre);
}

inline __m128i join_bytes(__m128i a, __m128i b) {
    const __m128i centre = _mm_set1_epi16(128);
    return _mm_packus_epi16(_mm_add_epi16(a, centre), _mm_add_epi16(b, centre));
}

// Frame gains g and 1 - g as value gains in frame order: (left, right) pairs.
inline void frame_gains(__m128d g, bool leftToRight, __m128d* first, __m128d* second) {
    __m128d c = _mm_sub_pd(_mm_set1_pd(1.0), g);
    __m128d l = leftToRight ? g : c, r = leftToRight ? c : g;
    *first = _mm_unpacklo_pd(l, r);
    *second = _mm_unpackhi_pd(l, r);
}

// Sixteen bytes times one single-precision gain in single precision, clamped
// to -128..127 and truncated. Only where that gives the double-precision result
// for every byte (volume_kernel checks).
inline __m128i scale_bytes16_single(__m128i x, __m128 g) {
    const __m128 lo = _mm_set1_ps(-128.0f), hi = _mm_set1_ps(127.0f);
    __m128i a, b;
    split_bytes(x, &a, &b);
    __m128i sa = _mm_srai_epi16(a, 15), sb = _mm_srai_epi16(b, 15);
    __m128 f0 = _mm_cvtepi32_ps(_mm_unpacklo_epi16(a, sa));
    __m128 f1 = _mm_cvtepi32_ps(_mm_unpackhi_epi16(a, sa));
    __m128 f2 = _mm_cvtepi32_ps(_mm_unpacklo_epi16(b, sb));
    __m128 f3 = _mm_cvtepi32_ps(_mm_unpackhi_epi16(b, sb));
    f0 = _mm_min_ps(_mm_max_ps(_mm_mul_ps(f0, g), lo), hi);
    f1 = _mm_min_ps(_mm_max_ps(_mm_mul_ps(f1, g), lo), hi);
    f2 = _mm_min_ps(_mm_max_ps(_mm_mul_ps(f2, g), lo), hi);
    f3 = _mm_min_ps(_mm_max_ps(_mm_mul_ps(f3, g), lo), hi);
    a = _mm_packs_epi32(_mm_cvttps_epi32(f0), _mm_cvttps_epi32(f1));
    b = _mm_packs_epi32(_mm_cvttps_epi32(f2), _mm_cvttps_epi32(f3));
    return join_bytes(a, b);
}

}  // namespace simd
#endif

// Eight 16-bit values at p, each times its gain.
inline void scale_words8(int16_t* p, const double* g) {
#if defined(__SSE2__)
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i r = simd::scale8(x, g, _mm_set1_pd(-32768.0), _mm_set1_pd(32767.0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), r);
#else
    for (int j = 0; j < 8; ++j) p[j] = scale_word(p[j], g[j]);
#endif
}

// Sixteen 8-bit values at p, each times its gain.
inline void scale_bytes16(uint8_t* p, const double* g) {
#if defined(__SSE2__)
    const __m128d lo = _mm_set1_pd(-128.0), hi = _mm_set1_pd(127.0);
    __m128i a, b;
    simd::split_bytes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), &a, &b);
    __m128i r = simd::join_bytes(simd::scale8(a, g, lo, hi), simd::scale8(b, g + 8, lo, hi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), r);
#else
    for (int j = 0; j < 16; ++j) p[j] = scale_byte(p[j], g[j]);
#endif
}

// Four 16-bit stereo frames at p: left and right take g and 1 - g of their
// frame's gain (leftToRight), or 1 - g and g.
inline void fade_words4(int16_t* p, const double* g, bool leftToRight) {
#if defined(__SSE2__)
    __m128d a0, a1, b0, b1;
    simd::frame_gains(_mm_loadu_pd(g), leftToRight, &a0, &a1);
    simd::frame_gains(_mm_loadu_pd(g + 2), leftToRight, &b0, &b1);
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i r = simd::scale8(x, a0, a1, b0, b1, _mm_set1_pd(-32768.0), _mm_set1_pd(32767.0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), r);
#else
    for (int j = 0; j < 4; ++j) {
        double l = leftToRight ? g[j] : 1.0 - g[j], r = leftToRight ? 1.0 - g[j] : g[j];
        p[2 * j] = scale_word(p[2 * j], l);
        p[2 * j + 1] = scale_word(p[2 * j + 1], r);
    }
#endif
}

// Eight 8-bit stereo frames at p, as fade_words4.
inline void fade_bytes8(uint8_t* p, const double* g, bool leftToRight) {
#if defined(__SSE2__)
    const __m128d lo = _mm_set1_pd(-128.0), hi = _mm_set1_pd(127.0);
    __m128d v[8];
    for (int q = 0; q < 4; ++q)
        simd::frame_gains(_mm_loadu_pd(g + 2 * q), leftToRight, &v[2 * q], &v[2 * q + 1]);
    __m128i a, b;
    simd::split_bytes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), &a, &b);
    a = simd::scale8(a, v[0], v[1], v[2], v[3], lo, hi);
    b = simd::scale8(b, v[4], v[5], v[6], v[7], lo, hi);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), simd::join_bytes(a, b));
#else
    for (int j = 0; j < 8; ++j) {
        double l = leftToRight ? g[j] : 1.0 - g[j], r = leftToRight ? 1.0 - g[j] : g[j];
        p[2 * j] = scale_byte(p[2 * j], l);
        p[2 * j + 1] = scale_byte(p[2 * j + 1], r);
    }
#endif
}

#if defined(SONREL_WIDE_UNITS)
namespace wide {

// Gains of at most this size leave every product of a 16-bit value within
// the range of a 32-bit integer, so that truncating it is exact and the
// saturating pack to 16 bits is the clamp to -32768..32767.
constexpr double kPackedClampGain = 65535.0;

// Whether every gain of at most `largest` in size may skip the explicit clamp
// (not for a NaN or an infinity).
inline bool pack_clamps(double largest) {
    return largest <= kPackedClampGain;
}

// Sixteen signed 16-bit values times their gains (four per register, in value
// order), clamped to lo..hi as simd::scale8 does: sixteen 16-bit results.
// Without Clamp, for gains that pack_clamps allows, the saturating pack clamps
// to -32768..32767.
template <bool Clamp = true>
SONREL_AVX2 inline __m256i scale16(__m256i x, __m256d g0, __m256d g1, __m256d g2, __m256d g3,
                                   __m256d lo, __m256d hi) {
    __m256i a = _mm256_cvtepi16_epi32(_mm256_castsi256_si128(x));
    __m256i b = _mm256_cvtepi16_epi32(_mm256_extracti128_si256(x, 1));
    __m256d d0 = _mm256_cvtepi32_pd(_mm256_castsi256_si128(a));
    __m256d d1 = _mm256_cvtepi32_pd(_mm256_extracti128_si256(a, 1));
    __m256d d2 = _mm256_cvtepi32_pd(_mm256_castsi256_si128(b));
    __m256d d3 = _mm256_cvtepi32_pd(_mm256_extracti128_si256(b, 1));
    d0 = _mm256_mul_pd(d0, g0);
    d1 = _mm256_mul_pd(d1, g1);
    d2 = _mm256_mul_pd(d2, g2);
    d3 = _mm256_mul_pd(d3, g3);
    if constexpr (Clamp) {
        d0 = _mm256_min_pd(_mm256_max_pd(d0, lo), hi);
        d1 = _mm256_min_pd(_mm256_max_pd(d1, lo), hi);
        d2 = _mm256_min_pd(_mm256_max_pd(d2, lo), hi);
        d3 = _mm256_min_pd(_mm256_max_pd(d3, lo), hi);
    }
    __m128i r0 = _mm_packs_epi32(_mm256_cvttpd_epi32(d0), _mm256_cvttpd_epi32(d1));
    __m128i r1 = _mm_packs_epi32(_mm256_cvttpd_epi32(d2), _mm256_cvttpd_epi32(d3));
    return _mm256_set_m128i(r1, r0);
}

// Thirty-two bytes as two registers of sixteen values centred on 0, and back.
SONREL_AVX2 inline void split_bytes(__m256i x, __m256i* a, __m256i* b) {
    const __m256i centre = _mm256_set1_epi16(128);
    *a = _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm256_castsi256_si128(x)), centre);
    *b = _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm256_extracti128_si256(x, 1)), centre);
}

SONREL_AVX2 inline __m256i join_bytes(__m256i a, __m256i b) {
    const __m256i centre = _mm256_set1_epi16(128);
    __m256i packed = _mm256_packus_epi16(_mm256_add_epi16(a, centre), _mm256_add_epi16(b, centre));
    return _mm256_permute4x64_epi64(packed, 0xD8);  // the pack works per 128-bit lane
}

SONREL_AVX2 inline __m256i load(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

SONREL_AVX2 inline void store(void* p, __m256i x) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), x);
}

// The blocks below take their gains as registers of four, in value (or frame)
// order, so that running gains stay in registers from block to block.

// Sixteen 16-bit values at p, each times its gain (g[0..3]).
template <bool Clamp = true>
SONREL_AVX2 inline void scale_words16(int16_t* p, const __m256d* g) {
    store(p, scale16<Clamp>(load(p), g[0], g[1], g[2], g[3], _mm256_set1_pd(-32768.0),
                            _mm256_set1_pd(32767.0)));
}

// Thirty-two 8-bit values at p, each times its gain (g[0..7]).
SONREL_AVX2 inline void scale_bytes32(uint8_t* p, const __m256d* g) {
    const __m256d lo = _mm256_set1_pd(-128.0), hi = _mm256_set1_pd(127.0);
    __m256i a, b;
    split_bytes(load(p), &a, &b);
    a = scale16(a, g[0], g[1], g[2], g[3], lo, hi);
    b = scale16(b, g[4], g[5], g[6], g[7], lo, hi);
    store(p, join_bytes(a, b));
}

// Frame gains g and 1 - g of four frames as value gains in frame order.
SONREL_AVX2 inline void frame_gains(__m256d f, bool leftToRight, __m256d* first, __m256d* second) {
    __m256d c = _mm256_sub_pd(_mm256_set1_pd(1.0), f);
    __m256d l = leftToRight ? f : c, r = leftToRight ? c : f;
    __m256d lo = _mm256_unpacklo_pd(l, r), hi = _mm256_unpackhi_pd(l, r);
    *first = _mm256_permute2f128_pd(lo, hi, 0x20);
    *second = _mm256_permute2f128_pd(lo, hi, 0x31);
}

// Eight 16-bit stereo frames at p (frame gains g[0..1]), as fade_words4.
template <bool Clamp = true>
SONREL_AVX2 inline void fade_words8(int16_t* p, const __m256d* g, bool leftToRight) {
    __m256d v[4];
    frame_gains(g[0], leftToRight, &v[0], &v[1]);
    frame_gains(g[1], leftToRight, &v[2], &v[3]);
    scale_words16<Clamp>(p, v);
}

// Sixteen 8-bit stereo frames at p (frame gains g[0..3]), as fade_bytes8.
SONREL_AVX2 inline void fade_bytes16(uint8_t* p, const __m256d* g, bool leftToRight) {
    __m256d v[8];
    for (int q = 0; q < 4; ++q) frame_gains(g[q], leftToRight, &v[2 * q], &v[2 * q + 1]);
    scale_bytes32(p, v);
}

}  // namespace wide
#endif

}  // namespace kern
