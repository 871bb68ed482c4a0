// Drawn paths: the volume path, value by value with an interpolated gain, and
// the channel path as a sequence of full channel fades.
//
// Each gain of a volume segment is computed from its index alone (no running
// sum), so a block of values takes its gains side by side and is scaled at
// once; the gains are the very expression the plain loop computes. The wider
// copy takes 8-bit segments through byte maps (kernel_bytemap.h).
#include <kernels/kernels.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "kernel_bytemap.h"
#include "kernel_loop.h"
#include "kernel_simd.h"

namespace kern {

namespace {

constexpr float kPixelShare = 0.0033333334f;  // 1 / kCurveWidth in single precision
constexpr float kPercent = 0.01f;

float factor_of(CurvePin p) {
    return static_cast<float>(kCurveHeight - p.y) * kPercent;
}

// The gains of one segment of `values` values.
struct SegmentGains {
    double start;
    double step;
    float last;
    uint64_t values;

    // Value k (1 .. values - 1) of the segment, and its gain before the
    // rounding to single precision.
    double inner(uint64_t k) const { return static_cast<float>(exact(k)); }
    double exact(uint64_t k) const { return start + static_cast<double>(k) * step; }
    double at(uint64_t k) const { return k == values ? static_cast<double>(last) : inner(k); }
};

SegmentGains gains_of(CurvePin a, CurvePin b, uint64_t values) {
    float t = factor_of(a), e = factor_of(b);
    double step = (static_cast<double>(e) - t) / static_cast<double>(values);
    return SegmentGains{t, step, e, values};
}

// Calls block(i, g) for the items i .. i + Lanes - 1 with their gains in g and
// one(i, gain) for single items, over items [0, count) of a segment; item i is
// value i + 1. The last value of the segment (exactly e) is always single.
template <int Lanes, typename Block, typename One>
void run_segment(const SegmentGains& sg, uint64_t count, Checkpoint check, Block&& block,
                 One&& one) {
    static_assert(kSliceValues % Lanes == 0, "slices hold whole blocks");
    if (count == 0) return;
    uint64_t inner = std::min(count, sg.values - 1);
    size_t whole = static_cast<size_t>(inner / Lanes * Lanes);
    in_slices(0, whole, check, [&](size_t i, size_t end) {
        double g[Lanes];
        for (; i < end; i += Lanes) {
            // The index as a double: a whole number far below 2^53, exact.
            const double k = static_cast<double>(static_cast<int64_t>(i + 1));
#if defined(__SSE2__)
            // Two at a time, the same product, sum and rounding as inner().
            const __m128d start = _mm_set1_pd(sg.start), step = _mm_set1_pd(sg.step);
            for (int j = 0; j < Lanes; j += 2) {
                __m128d kk = _mm_setr_pd(k + j, k + j + 1);
                __m128d exact = _mm_add_pd(start, _mm_mul_pd(kk, step));
                _mm_storeu_pd(g + j, _mm_cvtps_pd(_mm_cvtpd_ps(exact)));
            }
#else
            for (int j = 0; j < Lanes; ++j)
                g[j] = static_cast<float>(sg.start + (k + j) * sg.step);
#endif
            block(i, g);
        }
    });
    for (uint64_t i = whole; i < count; ++i) one(static_cast<size_t>(i), sg.at(i + 1));
}

uint32_t to_u32(uint64_t v) {
    return static_cast<uint32_t>(std::min<uint64_t>(v, std::numeric_limits<uint32_t>::max()));
}

ByteRange join(ByteRange a, ByteRange b) {
    if (a.length == 0) return b;
    if (b.length == 0) return a;
    uint64_t start = std::min(a.start, b.start);
    uint64_t end = std::max(uint64_t{a.start} + a.length, uint64_t{b.start} + b.length);
    return ByteRange{static_cast<uint32_t>(start), to_u32(end - start)};
}

#if defined(SONREL_WIDE_UNITS)
// Code in here, lambdas included, is AVX2 code.
#pragma GCC push_options
#pragma GCC target("avx2")
// The binade a run of sums start + k * step lies in, when all of them lie in
// one: their rounding to single precision is then the rounding to a multiple
// of one power of two, ulp, which adding and subtracting 1.5 * 2^52 * ulp does
// in double precision (the sum lies where doubles are that far apart, and
// rounds to nearest with ties to even just as the conversion does). 0 when
// the run's ends lie in different binades, or outside the normal numbers of
// single precision.
double single_rounder(double first, double last) {
    int e0 = 0, e1 = 0;
    std::frexp(first, &e0);
    std::frexp(last, &e1);
    const double low = std::numeric_limits<float>::min(), high = 1e30;
    auto normal = [&](double x) { return std::fabs(x) >= low && std::fabs(x) < high; };
    if (e0 != e1 || (first < 0) != (last < 0) || !normal(first) || !normal(last)) return 0.0;
    return std::ldexp(1.5, e0 + 28);  // ulp 2^(e0 - 24), times 1.5 * 2^52
}

// run_segment for the wider copy: four gains at a time from four indices, with
// the same double-precision product and sum and the same rounding to single
// precision as SegmentGains::inner; the block gets them as registers of four.
// Runs of kRun values whose gains lie in one binade round by addition.
template <int Lanes, typename Block, typename One>
void run_segment_wide(const SegmentGains& sg, uint64_t count, Checkpoint check, Block&& block,
                      One&& one) {
    static_assert(Lanes % 4 == 0 && kSliceValues % Lanes == 0, "whole registers and blocks");
    constexpr size_t kRun = 4096;
    static_assert(kSliceValues % kRun == 0 && kRun % Lanes == 0, "whole runs and blocks");
    if (count == 0) return;
    uint64_t inner = std::min(count, sg.values - 1);
    size_t whole = static_cast<size_t>(inner / Lanes * Lanes);
    const __m256d start = _mm256_set1_pd(sg.start), step = _mm256_set1_pd(sg.step);
    // The indices of each register of four advance by Lanes per block, each
    // register on its own, so that no chain of additions runs through a block.
    // They are whole numbers far below 2^53: every sum is exact.
    const __m256d advance = _mm256_set1_pd(static_cast<double>(Lanes));
    in_slices(0, whole, check, [&](size_t i, size_t end) {
        __m256d k[Lanes / 4];
        for (int q = 0; q < Lanes / 4; ++q) {
            double k0 = static_cast<double>(i + 1 + 4 * q);
            k[q] = _mm256_setr_pd(k0, k0 + 1, k0 + 2, k0 + 3);
        }
        while (i < end) {
            const size_t stop = std::min(end, i + kRun);
            const double rounder = single_rounder(sg.exact(i + 1), sg.exact(stop));
            if (rounder != 0.0) {
                const __m256d r = _mm256_set1_pd(rounder);
                for (; i < stop; i += Lanes) {
                    __m256d g[Lanes / 4];
                    for (int q = 0; q < Lanes / 4; ++q) {
                        __m256d exact = _mm256_add_pd(start, _mm256_mul_pd(k[q], step));
                        g[q] = _mm256_sub_pd(_mm256_add_pd(exact, r), r);
                        k[q] = _mm256_add_pd(k[q], advance);
                    }
                    block(i, g);
                }
                continue;
            }
            for (; i < stop; i += Lanes) {
                __m256d g[Lanes / 4];
                for (int q = 0; q < Lanes / 4; ++q) {
                    __m256d exact = _mm256_add_pd(start, _mm256_mul_pd(k[q], step));
                    g[q] = _mm256_cvtps_pd(_mm256_cvtpd_ps(exact));
                    k[q] = _mm256_add_pd(k[q], advance);
                }
                block(i, g);
            }
        }
    });
    for (uint64_t i = whole; i < count; ++i) one(static_cast<size_t>(i), sg.at(i + 1));
}

// The volume path's wider copy of one segment: 8-bit data through byte maps,
// 16-bit data in blocks of 16 values.
SONREL_WIDE void segment_wide(uint8_t* data, int bits, uint64_t first, uint64_t count,
                              const SegmentGains& sg, Checkpoint check) {
    if (bits == 8) {
        uint8_t* p = data + first;
        // Item i is value i + 1; the segment's last value (gain e) goes alone.
        const uint64_t inner = std::min(count, sg.values - 1);
        const double slope[] = {sg.step};
        bytemap::map_bytes<1>(
            p, inner, slope, [&sg](int, uint64_t i) { return sg.inner(i + 1); }, check);
        for (uint64_t i = inner; i < count; ++i) p[i] = scale_byte(p[i], sg.at(i + 1));
        return;
    }
    int16_t* v16 = reinterpret_cast<int16_t*>(data) + first;
    auto words = [&](auto clamp) {
        run_segment_wide<16>(
            sg, count, check,
            [v16](size_t i, const __m256d* g) {
                wide::scale_words16<decltype(clamp)::value>(v16 + i, g);
            },
            [v16](size_t i, double g) { v16[i] = scale_word(v16[i], g); });
    };
    // Every gain lies between the segment's end factors.
    if (wide::pack_clamps(std::max(std::fabs(sg.start), std::fabs(double{sg.last})))) {
        words(std::false_type{});
    } else {
        words(std::true_type{});
    }
}
#pragma GCC pop_options
#endif

}  // namespace

uint64_t curve_share(int32_t dx, uint64_t length) {
    if (dx <= 0) return 0;
    long double x = static_cast<long double>(dx) * static_cast<long double>(kPixelShare) *
                    static_cast<long double>(length);
    return static_cast<uint64_t>(x);
}

CurveWalk curve_volume_walk(int bits, ByteRange r, uint32_t dataBytes) {
    unsigned width = bits == 8 ? 1 : 2;
    uint64_t first = r.start / width, values = r.length / width, data = dataBytes / width;
    return CurveWalk{first, std::min(first + values, data), values};
}

void curve_volume_segment(uint8_t* data, int bits, CurveWalk& walk, CurvePin a, CurvePin b,
                          Checkpoint check) {
    uint64_t v = curve_share(b.x - a.x, walk.values);
    uint64_t first = walk.next;
    walk.next += v;
    if (v == 0 || first >= walk.end) return;
    uint64_t count = std::min(v, walk.end - first);
    SegmentGains sg = gains_of(a, b, v);
#if defined(SONREL_WIDE_UNITS)
    if (wide_units()) return segment_wide(data, bits, first, count, sg, check);
#endif
    if (bits == 8) {
        uint8_t* p = data + first;
        run_segment<16>(
            sg, count, check, [p](size_t i, const double* g) { scale_bytes16(p + i, g); },
            [p](size_t i, double g) { p[i] = scale_byte(p[i], g); });
        return;
    }
    int16_t* v16 = reinterpret_cast<int16_t*>(data) + first;
    run_segment<8>(
        sg, count, check, [v16](size_t i, const double* g) { scale_words8(v16 + i, g); },
        [v16](size_t i, double g) { v16[i] = scale_word(v16[i], g); });
}

void curve_volume_kernel(uint8_t* data, int bits, ByteRange r, uint32_t dataBytes,
                         const CurvePin* pins, int count, Checkpoint check) {
    CurveWalk walk = curve_volume_walk(bits, r, dataBytes);
    for (int i = 0; i + 1 < count; ++i)
        curve_volume_segment(data, bits, walk, pins[i], pins[i + 1], check);
}

ByteRange curve_volume_span(int bits, ByteRange r, uint32_t dataBytes) {
    CurveWalk walk = curve_volume_walk(bits, r, dataBytes);
    unsigned width = bits == 8 ? 1 : 2;
    if (walk.next >= walk.end) return ByteRange{std::min(r.start, dataBytes), 0};
    return ByteRange{static_cast<uint32_t>(walk.next * width),
                     static_cast<uint32_t>((walk.end - walk.next) * width)};
}

CurveChannelSegment curve_channel_segment(ByteRange r, CurvePin a, CurvePin b) {
    uint64_t start = uint64_t{r.start} + curve_share(a.x, r.length);
    uint64_t length = curve_share(b.x - a.x, r.length);
    CurveFade fade = b.y <= a.y - 2 ? CurveFade::kLeftToRight
                     : b.y >= a.y   ? CurveFade::kRightToLeft
                                    : CurveFade::kNone;
    return CurveChannelSegment{ByteRange{to_u32(start), to_u32(length)}, fade};
}

ByteRange curve_channel_apply(uint8_t* data, uint32_t dataBytes, int bits, unsigned blockAlign,
                              const CurveChannelSegment& segment, Checkpoint check) {
    if (segment.fade == CurveFade::kNone) return ByteRange{segment.range.start, 0};
    return channel_fade_kernel(data, dataBytes, bits, blockAlign, segment.range, 1.0f,
                               segment.fade == CurveFade::kLeftToRight, check);
}

ByteRange curve_channel_kernel(uint8_t* data, uint32_t dataBytes, int bits, unsigned blockAlign,
                               ByteRange r, const CurvePin* pins, int count, Checkpoint check) {
    ByteRange touched{r.start, 0};
    for (int i = 0; i + 1 < count; ++i) {
        CurveChannelSegment s = curve_channel_segment(r, pins[i], pins[i + 1]);
        touched = join(touched, curve_channel_apply(data, dataBytes, bits, blockAlign, s, check));
    }
    return touched;
}

ByteRange curve_channel_span(uint32_t dataBytes, int bits, unsigned blockAlign, ByteRange r,
                             const CurvePin* pins, int count) {
    ByteRange touched{r.start, 0};
    for (int i = 0; i + 1 < count; ++i) {
        CurveChannelSegment s = curve_channel_segment(r, pins[i], pins[i + 1]);
        if (s.fade != CurveFade::kNone)
            touched = join(touched, channel_fade_span(dataBytes, bits, blockAlign, s.range));
    }
    return touched;
}

}  // namespace kern
