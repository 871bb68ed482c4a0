// Ranges, single-sample routines and the in-place amplitude kernels: volume,
// peak volume, silence and zeroize.
#include <kernels/kernels.h>

#include <atomic>
#include <cmath>
#include <cstring>

#include "kernel_bytemap.h"
#include "kernel_loop.h"
#include "kernel_simd.h"

namespace kern {

namespace {

int16_t* values16(uint8_t* data) {
    return reinterpret_cast<int16_t*>(data);
}
const int16_t* values16(const uint8_t* data) {
    return reinterpret_cast<const int16_t*>(data);
}

#if defined(__SSE2__)
// True when the volume computed in single precision truncates to the same
// value as in double precision for every byte: the 8-bit volume may then
// work four values at a time instead of two.
bool single_precision_suffices(float gain) {
    for (int v = -128; v < 128; ++v) {
        float x = static_cast<float>(v) * gain;
        x = x > -128.0f ? x : -128.0f;
        x = x < 127.0f ? x : 127.0f;
        if (static_cast<int>(x) != clamp_trunc(v * static_cast<double>(gain), -128, 127))
            return false;
    }
    return true;
}
#endif

std::atomic<bool> g_wide{true};

#if defined(SONREL_WIDE_UNITS)
// Code in here, lambdas included, is AVX2 code.
#pragma GCC push_options
#pragma GCC target("avx2")
// The volume kernel's wider copy: blocks of 32 bytes or 16 values. 8-bit data
// goes through single precision when that gives every byte its result.
SONREL_WIDE void volume_wide(uint8_t* data, int bits, ByteRange r, float gain, Checkpoint check) {
    const double g = gain;
    __m256d gains[8];
    for (__m256d& x : gains) x = _mm256_set1_pd(g);
    if (bits == 8) {
        size_t i = r.start, end = size_t{r.start} + r.length;
        size_t blocks = i + (end - i) / 32 * 32;
        const __m256 single = _mm256_set1_ps(gain);
        if (blocks > i && bytemap::single_gain_suffices(single, g)) {
            in_slices(i, blocks, check, [&](size_t k, size_t stop) {
                for (; k < stop; k += 32) wide::store(data + k, bytemap::scale32(data + k, single));
            });
            i = blocks;
        }
        in_slices(i, blocks, check, [&](size_t k, size_t stop) {
            for (; k < stop; k += 32) wide::scale_bytes32(data + k, gains);
        });
        for (i = blocks; i < end; ++i) data[i] = scale_byte(data[i], g);
        return;
    }
    int16_t* v = values16(data);
    size_t first = r.start / 2, end = (size_t{r.start} + r.length) / 2;
    size_t blocks = first + (end - first) / 16 * 16;
    if (wide::pack_clamps(std::fabs(g))) {
        in_slices(first, blocks, check, [&](size_t i, size_t stop) {
            for (; i < stop; i += 16) wide::scale_words16<false>(v + i, gains);
        });
    } else {
        in_slices(first, blocks, check, [&](size_t i, size_t stop) {
            for (; i < stop; i += 16) wide::scale_words16(v + i, gains);
        });
    }
    for (size_t i = blocks; i < end; ++i) v[i] = scale_word(v[i], g);
}
#pragma GCC pop_options
#endif

}  // namespace

bool use_wide_units(bool on) {
    return g_wide.exchange(on);
}

bool wide_units() {
#if defined(SONREL_WIDE_UNITS)
    static const bool present = __builtin_cpu_supports("avx2");
    return present && g_wide.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

ByteRange clip_range(ByteRange r, uint32_t size) {
    if (r.start > size) r.start = size;
    if (r.length > size - r.start) r.length = size - r.start;
    return r;
}

ByteRange working_range(uint32_t markStart, uint32_t markLength, uint32_t size) {
    if (markLength == 0) return ByteRange{0, size};
    return clip_range(ByteRange{markStart, markLength}, size);
}

ByteRange value_span(ByteRange r, int bits) {
    if (bits == 8) return r;
    uint64_t end = (static_cast<uint64_t>(r.start) + r.length) / 2 * 2;
    uint32_t start = r.start / 2 * 2;
    return ByteRange{start, static_cast<uint32_t>(end - start)};
}

int change_sample(int sample, int bits, float gain) {
    if (bits == 8) return scale_clamped(sample - 128, gain, -128, 127) + 128;
    return scale_clamped(sample, gain, -32768, 32767);
}

int pixel_offset(int sample, int bits, int height) {
    if (bits == 16) {
        return static_cast<int>(static_cast<double>(height) * (1.0f / 65536.0f) * sample);
    }
    int b = sample & 0xFF;
    return static_cast<int>(static_cast<double>(height) * (1.0f / 256.0f) * (b - 128));
}

float volume_gain(unsigned percent) {
    return static_cast<float>(percent) * 0.01f;
}

void volume_kernel(uint8_t* data, int bits, ByteRange r, float gain, Checkpoint check) {
#if defined(SONREL_WIDE_UNITS)
    if (wide_units()) return volume_wide(data, bits, r, gain, check);
#endif
    const double g = gain;
    double gains[16];
    for (double& x : gains) x = g;
    if (bits == 8) {
        size_t i = r.start, end = size_t{r.start} + r.length;
        size_t blocks = i + (end - i) / 16 * 16;
#if defined(__SSE2__)
        if (blocks > i && single_precision_suffices(gain)) {
            const __m128 single = _mm_set1_ps(gain);
            in_slices(i, blocks, check, [&](size_t k, size_t stop) {
                for (; k < stop; k += 16) {
                    __m128i* p = reinterpret_cast<__m128i*>(data + k);
                    _mm_storeu_si128(p, simd::scale_bytes16_single(_mm_loadu_si128(p), single));
                }
            });
            i = blocks;
        }
#endif
        in_slices(i, blocks, check, [&](size_t k, size_t stop) {
            for (; k < stop; k += 16) scale_bytes16(data + k, gains);
        });
        for (i = blocks; i < end; ++i) data[i] = scale_byte(data[i], g);
        return;
    }
    int16_t* v = values16(data);
    size_t first = r.start / 2, end = (size_t{r.start} + r.length) / 2;
    size_t blocks = first + (end - first) / 8 * 8;
    in_slices(first, blocks, check, [&](size_t i, size_t stop) {
        for (; i < stop; i += 8) scale_words8(v + i, gains);
    });
    for (size_t i = blocks; i < end; ++i) v[i] = scale_word(v[i], g);
}

int peak_value(const uint8_t* data, int bits, ByteRange r, Checkpoint check) {
    int peak = -32767;
    if (bits == 8) {
        int top = -1;
        in_slices(r.start, r.start + r.length, check, [&](size_t i, size_t end) {
            uint8_t m = 0;
            for (; i < end; ++i) m = std::max(m, data[i]);
            top = std::max<int>(top, m);
        });
        return top < 0 ? peak : std::max(peak, top - 128);
    }
    const int16_t* v = values16(data);
    uint32_t first = r.start / 2, end = static_cast<uint32_t>((uint64_t{r.start} + r.length) / 2);
    in_slices(first, end, check, [&](size_t i, size_t stop) {
        int16_t m = -32767;
        for (; i < stop; ++i) m = std::max(m, v[i]);
        peak = std::max<int>(peak, m);
    });
    return peak;
}

bool peak_kernel(uint8_t* data, int bits, ByteRange r, Checkpoint check) {
    if (value_span(r, bits).length == 0) return false;
    int peak = peak_value(data, bits, r, check);
    int full = bits == 8 ? 127 : 32767;
    // A peak of 0 or below gives no usable scale: leave the range as it is.
    if (peak >= full || peak <= 0) return false;
    float factor = static_cast<float>(full) / static_cast<float>(peak);
    volume_kernel(data, bits, r, factor, check);
    return true;
}

void silence_kernel(uint8_t* data, int bits, ByteRange r, Checkpoint check) {
    ByteRange span = value_span(r, bits);
    fill_silence(data, bits, span.start, span.length, check);
}

void fill_silence(uint8_t* data, int bits, uint32_t at, uint32_t count, Checkpoint check) {
    int byte = bits == 8 ? 127 : 0;
    in_slices(at, at + count, check,
              [&](size_t i, size_t end) { std::memset(data + i, byte, end - i); });
}

ZeroizeThresholds zeroize_thresholds(unsigned tenthsPercent) {
    double x = tenthsPercent * 0.1;
    return ZeroizeThresholds{static_cast<int>(x * static_cast<double>(1.27f)),
                             static_cast<int>(x * static_cast<double>(327.67f))};
}

void zeroize_kernel(uint8_t* data, int bits, ByteRange r, ZeroizeThresholds t, Checkpoint check) {
    if (bits == 8) {
        // -t8 < b - 127 < t8, as an inclusive byte interval.
        int lo = std::max(128 - t.t8, 0), hi = std::min(126 + t.t8, 255);
        if (lo > hi) return;
        const uint8_t base = static_cast<uint8_t>(lo), width = static_cast<uint8_t>(hi - lo);
        in_slices(r.start, r.start + r.length, check, [&](size_t i, size_t end) {
            for (; i < end; ++i) {
                uint8_t b = data[i];
                data[i] = static_cast<uint8_t>(b - base) <= width ? 127 : b;
            }
        });
        return;
    }
    int lo = std::max(1 - t.t16, -32768), hi = std::min(t.t16 - 1, 32767);
    if (lo > hi) return;
    const uint16_t base = static_cast<uint16_t>(lo), width = static_cast<uint16_t>(hi - lo);
    int16_t* v = values16(data);
    uint32_t first = r.start / 2, end = static_cast<uint32_t>((uint64_t{r.start} + r.length) / 2);
    in_slices(first, end, check, [&](size_t i, size_t stop) {
        for (; i < stop; ++i) {
            int16_t s = v[i];
            v[i] = static_cast<uint16_t>(static_cast<uint16_t>(s) - base) <= width ? 0 : s;
        }
    });
}

}  // namespace kern
