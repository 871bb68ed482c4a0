// Kernels that move sample values: reverse, the forward moving average, the
// speed change's resampling and the byte moves of erase, crop and insertion.
#include <kernels/kernels.h>

#include <cstring>

#include "kernel_loop.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(SONREL_WIDE_UNITS)
#include <immintrin.h>
#endif

namespace kern {

namespace {

// Reverses values [first, last) in place, meeting in the middle.
template <typename T>
void reverse_values(T* v, uint32_t first, uint32_t last, Checkpoint check) {
    while (last - first > 1) {
        uint32_t pairs = std::min((last - first) / 2, kSliceValues);
        T* lo = v + first;
        T* hi = v + last - 1;
        for (uint32_t k = 0; k < pairs; ++k) {
            T t = lo[k];
            lo[k] = *(hi - k);
            *(hi - k) = t;
        }
        first += pairs;
        last -= pairs;
        after_slice(check);
    }
}

// Reverses bytes [first, last): eight bytes from each end at a time, each
// group reversed with a byte swap, then the middle one by one.
void reverse_bytes(uint8_t* v, size_t first, size_t last, Checkpoint check) {
    while (last - first >= 16) {
        size_t groups = std::min<size_t>((last - first) / 16, kSliceValues / 8);
        for (size_t g = 0; g < groups; ++g) {
            uint64_t lo, hi;
            std::memcpy(&lo, v + first, 8);
            std::memcpy(&hi, v + last - 8, 8);
            lo = __builtin_bswap64(lo);
            hi = __builtin_bswap64(hi);
            std::memcpy(v + first, &hi, 8);
            std::memcpy(v + last - 8, &lo, 8);
            first += 8;
            last -= 8;
        }
        after_slice(check);
    }
    reverse_values(v, static_cast<uint32_t>(first), static_cast<uint32_t>(last), check);
}

// The moving average of one width, one value after the other from `from`:
// every window starts at or after the value it replaces, so it holds values
// not yet averaged. The division by a constant width compiles to a
// multiplication.
template <unsigned Width, typename T, typename Sum>
void average_tail(T* v, size_t from, size_t stop) {
    for (size_t i = from; i < stop; ++i) {
        Sum sum = 0;
        for (size_t t = 0; t < Width; ++t) sum += v[i + t];
        v[i] = static_cast<T>(sum / static_cast<Sum>(Width));
    }
}

#if defined(__SSE2__)
// Blocks of averages at once: the block's windows reach only values at or
// after the block, none averaged yet, and all are read before the block is
// written. The sums are exact integers below 2^20, so their single-precision
// quotient by the width truncates to the integer quotient: a quotient that is
// not whole lies at least 1 / width from every integer, far more than its
// rounding error.
template <unsigned Width>
size_t average_blocks(uint8_t* v, size_t first, size_t stop, Checkpoint check) {
    const __m128i zero = _mm_setzero_si128();
    const __m128 width = _mm_set1_ps(static_cast<float>(Width));
    size_t blocks = first + (stop - first) / 16 * 16;
    in_slices(first, blocks, check, [&](size_t i, size_t end) {
        for (; i < end; i += 16) {
            __m128i lo = zero, hi = zero;
            for (size_t t = 0; t < Width; ++t) {
                __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i + t));
                lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(x, zero));
                hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(x, zero));
            }
            __m128i q[4];
            const __m128i sums[4] = {_mm_unpacklo_epi16(lo, zero), _mm_unpackhi_epi16(lo, zero),
                                     _mm_unpacklo_epi16(hi, zero), _mm_unpackhi_epi16(hi, zero)};
            for (int k = 0; k < 4; ++k)
                q[k] = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(sums[k]), width));
            __m128i r = _mm_packus_epi16(_mm_packs_epi32(q[0], q[1]), _mm_packs_epi32(q[2], q[3]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i), r);
        }
    });
    return blocks;
}

template <unsigned Width>
size_t average_blocks(int16_t* v, size_t first, size_t stop, Checkpoint check) {
    const __m128 width = _mm_set1_ps(static_cast<float>(Width));
    size_t blocks = first + (stop - first) / 8 * 8;
    in_slices(first, blocks, check, [&](size_t i, size_t end) {
        for (; i < end; i += 8) {
            __m128i lo = _mm_setzero_si128(), hi = _mm_setzero_si128();
            for (size_t t = 0; t < Width; ++t) {
                __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i + t));
                __m128i sign = _mm_srai_epi16(x, 15);
                lo = _mm_add_epi32(lo, _mm_unpacklo_epi16(x, sign));
                hi = _mm_add_epi32(hi, _mm_unpackhi_epi16(x, sign));
            }
            __m128i qlo = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(lo), width));
            __m128i qhi = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(hi), width));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i), _mm_packs_epi32(qlo, qhi));
        }
    });
    return blocks;
}
#else
template <unsigned Width, typename T>
size_t average_blocks(T*, size_t first, size_t, Checkpoint) {
    return first;
}
#endif

#if defined(SONREL_WIDE_UNITS)
// Code in here, lambdas included, is AVX2 code.
#pragma GCC push_options
#pragma GCC target("avx2")
// The wider copies of average_blocks: 32 bytes per block.
//
// 8-bit sums are below 2^13, and floor(sum / Width) is the high half of
// sum * magic shifted right, for a magic that divide_magic finds and checks
// for every sum the width can give.
struct DivideMagic {
    uint16_t multiplier;
    int shift;
};

DivideMagic divide_magic(unsigned width) {
    const unsigned largest = 255 * width;
    for (int shift = 0; shift < 16; ++shift) {
        uint64_t m = ((uint64_t{1} << (16 + shift)) + width - 1) / width;
        if (m > 0xFFFF) break;
        bool exact = true;
        for (unsigned sum = 0; sum <= largest && exact; ++sum)
            exact = ((sum * m) >> (16 + shift)) == sum / width;
        if (exact) return DivideMagic{static_cast<uint16_t>(m), shift};
    }
    return DivideMagic{0, -1};
}

template <unsigned Width>
SONREL_WIDE size_t average_blocks_wide(uint8_t* v, size_t first, size_t stop, Checkpoint check) {
    const DivideMagic magic = divide_magic(Width);
    if (magic.shift < 0) return first;
    const __m256i multiplier = _mm256_set1_epi16(static_cast<int16_t>(magic.multiplier));
    const __m128i shift = _mm_cvtsi32_si128(magic.shift);
    size_t blocks = first + (stop - first) / 32 * 32;
    in_slices(first, blocks, check, [&](size_t i, size_t end) {
        for (; i < end; i += 32) {
            __m256i lo = _mm256_setzero_si256(), hi = _mm256_setzero_si256();
            for (size_t t = 0; t < Width; ++t) {
                const __m128i* p = reinterpret_cast<const __m128i*>(v + i + t);
                lo = _mm256_add_epi16(lo, _mm256_cvtepu8_epi16(_mm_loadu_si128(p)));
                hi = _mm256_add_epi16(hi, _mm256_cvtepu8_epi16(_mm_loadu_si128(p + 1)));
            }
            lo = _mm256_srl_epi16(_mm256_mulhi_epu16(lo, multiplier), shift);
            hi = _mm256_srl_epi16(_mm256_mulhi_epu16(hi, multiplier), shift);
            __m256i r = _mm256_permute4x64_epi64(_mm256_packus_epi16(lo, hi), 0xD8);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(v + i), r);
        }
    });
    return blocks;
}

// 16-bit sums lie within +-655360 and are exact in single precision. Moving
// each sum half a unit away from zero and multiplying by the single-precision
// 1 / Width truncates to the quotient: a whole quotient moves up by 0.5 / Width
// (at least 0.025), one that is not whole stays below the next integer by as
// much, and the two roundings are off by at most 32768.5 * 2^-23 (below
// 0.004).
template <unsigned Width>
SONREL_WIDE size_t average_blocks_wide(int16_t* v, size_t first, size_t stop, Checkpoint check) {
    const __m256 inverse = _mm256_set1_ps(1.0f / static_cast<float>(Width));
    const __m256 half = _mm256_set1_ps(0.5f), sign = _mm256_set1_ps(-0.0f);
    auto quotient = [&](__m256i sum) {
        __m256 s = _mm256_cvtepi32_ps(sum);
        __m256 away = _mm256_or_ps(half, _mm256_and_ps(s, sign));
        return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(s, away), inverse));
    };
    size_t blocks = first + (stop - first) / 16 * 16;
    in_slices(first, blocks, check, [&](size_t i, size_t end) {
        for (; i < end; i += 16) {
            __m256i lo = _mm256_setzero_si256(), hi = _mm256_setzero_si256();
            for (size_t t = 0; t < Width; ++t) {
                const __m128i* p = reinterpret_cast<const __m128i*>(v + i + t);
                lo = _mm256_add_epi32(lo, _mm256_cvtepi16_epi32(_mm_loadu_si128(p)));
                hi = _mm256_add_epi32(hi, _mm256_cvtepi16_epi32(_mm_loadu_si128(p + 1)));
            }
            __m256i r = _mm256_packs_epi32(quotient(lo), quotient(hi));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(v + i),
                                _mm256_permute4x64_epi64(r, 0xD8));
        }
    });
    return blocks;
}
#pragma GCC pop_options
#endif

template <unsigned Width, typename T, typename Sum>
void average_values(T* v, size_t first, size_t end, Checkpoint check) {
    const size_t stop = end - Width;  // the last Width values keep theirs
    size_t done = first;
#if defined(SONREL_WIDE_UNITS)
    if (wide_units()) done = average_blocks_wide<Width>(v, done, stop, check);
#endif
    done = average_blocks<Width>(v, done, stop, check);
    average_tail<Width, T, Sum>(v, done, stop);
}

template <typename T, typename Sum>
void average_dispatch(T* v, uint32_t first, uint32_t end, unsigned width, Checkpoint check) {
    switch (width) {
#define SONREL_AVERAGE_CASE(n) \
    case n:                    \
        return average_values<n, T, Sum>(v, first, end, check);
        SONREL_AVERAGE_CASE(1)
        SONREL_AVERAGE_CASE(2)
        SONREL_AVERAGE_CASE(3)
        SONREL_AVERAGE_CASE(4)
        SONREL_AVERAGE_CASE(5)
        SONREL_AVERAGE_CASE(6)
        SONREL_AVERAGE_CASE(7)
        SONREL_AVERAGE_CASE(8)
        SONREL_AVERAGE_CASE(9)
        SONREL_AVERAGE_CASE(10)
        SONREL_AVERAGE_CASE(11)
        SONREL_AVERAGE_CASE(12)
        SONREL_AVERAGE_CASE(13)
        SONREL_AVERAGE_CASE(14)
        SONREL_AVERAGE_CASE(15)
        SONREL_AVERAGE_CASE(16)
        SONREL_AVERAGE_CASE(17)
        SONREL_AVERAGE_CASE(18)
        SONREL_AVERAGE_CASE(19)
        SONREL_AVERAGE_CASE(20)
#undef SONREL_AVERAGE_CASE
        default:
            return;
    }
}

// Exchanges two disjoint byte ranges of equal length.
void swap_bytes(uint8_t* a, uint8_t* b, uint32_t count, Checkpoint check) {
    in_slices(0, count, check,
              [&](size_t i, size_t stop) { std::swap_ranges(a + i, a + stop, b + i); });
}

inline uint32_t source_index(uint32_t i, double speed, uint32_t last) {
    double x = static_cast<double>(i) * speed;
    return x < static_cast<double>(last) ? static_cast<uint32_t>(x) : last;
}

template <typename T>
void resample_values(T* v, uint32_t oldCount, uint32_t newCount, double speed, Checkpoint check) {
    const uint32_t last = oldCount - 1;
    if (newCount > oldCount) {
        // Stretching: every source lies before its target, so walk down from the end.
        uint32_t i = newCount - 1;
        while (i >= 1) {
            uint32_t stop = i > kSliceValues ? i - kSliceValues : 0;
            for (; i > stop; --i) v[i] = v[source_index(i, speed, last)];
            after_slice(check);
        }
        return;
    }
    // Compressing: every source lies at or after its target, so walk up from the front.
    in_slices(0, newCount, check, [&](size_t i, size_t stop) {
        for (; i < stop; ++i) v[i] = v[source_index(i, speed, last)];
    });
}

}  // namespace

void reverse_kernel(uint8_t* data, int bits, ByteRange r, Checkpoint check) {
    if (bits == 8) {
        if (r.length > 1) reverse_bytes(data, r.start + 1, size_t{r.start} + r.length, check);
        return;
    }
    uint32_t first = r.start / 2, end = static_cast<uint32_t>((uint64_t{r.start} + r.length) / 2);
    if (end > first + 1) reverse_values(reinterpret_cast<int16_t*>(data), first + 1, end, check);
}

void moving_average_kernel(uint8_t* data, int bits, uint32_t firstValue, uint32_t endValue,
                           unsigned width, Checkpoint check) {
    if (width == 0 || endValue <= firstValue || endValue - firstValue <= width) return;
    if (bits == 8) {
        average_dispatch<uint8_t, uint32_t>(data, firstValue, endValue, width, check);
    } else {
        average_dispatch<int16_t, int32_t>(reinterpret_cast<int16_t*>(data), firstValue, endValue,
                                           width, check);
    }
}

SpeedFactors speed_factors(unsigned percent) {
    float speed = static_cast<float>(percent) * 0.01f;
    return SpeedFactors{speed, 1.0f / speed};
}

uint64_t scaled_size(uint32_t bytes, float factor) {
    double x = static_cast<double>(bytes) * static_cast<double>(factor);
    if (!(x > 0.0)) return 0;
    if (x >= 18446744073709551615.0) return UINT64_MAX;
    return static_cast<uint64_t>(x);
}

void resample_kernel(uint8_t* data, int bits, uint32_t oldCount, uint32_t newCount, float speed,
                     Checkpoint check) {
    if (oldCount == 0 || newCount == 0) return;
    if (bits == 8) {
        resample_values(data, oldCount, newCount, speed, check);
    } else {
        resample_values(reinterpret_cast<int16_t*>(data), oldCount, newCount, speed, check);
    }
}

void move_down(uint8_t* data, uint32_t to, uint32_t from, uint32_t size, Checkpoint check) {
    if (from >= size || to >= from) return;
    // Ascending slices: a slice's source lies above every earlier destination.
    in_slices(from, size, check, [&](size_t i, size_t stop) {
        std::memmove(data + to + (i - from), data + i, stop - i);
    });
}

void move_up(uint8_t* data, uint32_t at, uint32_t count, uint32_t size, Checkpoint check) {
    if (at >= size || count == 0) return;
    // Descending slices: a slice's source lies below every earlier destination.
    uint32_t end = size;
    while (end > at) {
        uint32_t begin = end - at > kSliceValues ? end - kSliceValues : at;
        std::memmove(data + begin + count, data + begin, end - begin);
        end = begin;
        after_slice(check);
    }
}

void rotate_bytes(uint8_t* data, uint32_t first, uint32_t middle, uint32_t last, Checkpoint check) {
    if (first >= middle || middle >= last) return;
    std::rotate(data + first, data + middle, data + last);
    after_slice(check);
}

void bring_down(uint8_t* data, uint32_t to, uint32_t from, uint32_t end, Checkpoint check) {
    if (to >= from || from >= end) return;
    uint32_t moved = end - from, gap = from - to;
    if (moved <= gap) {
        swap_bytes(data + to, data + from, moved, check);
    } else {
        rotate_bytes(data, to, from, end, check);
    }
}

void restore_down(uint8_t* data, uint32_t to, uint32_t from, uint32_t end, Checkpoint check) {
    if (to >= from || from >= end) return;
    uint32_t moved = end - from, gap = from - to;
    if (moved <= gap) {
        swap_bytes(data + to, data + from, moved, check);
    } else {
        rotate_bytes(data, to, end - gap, end, check);
    }
}

uint32_t bytes_per_ms(uint32_t bytesPerSec) {
    return static_cast<uint32_t>(static_cast<double>(bytesPerSec) * static_cast<double>(0.001f));
}

}  // namespace kern
