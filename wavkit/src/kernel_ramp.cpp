// Kernels with a running gain: fade in, fade out and the channel fades.
//
// The gain is carried in double precision by adding (or subtracting) a
// single-precision step once per value. That sum is sequential; when every
// partial sum start + k * step is exactly representable, eight interleaved
// running gains that add 8 * step give the very same values without the chain
// of dependent additions, and the loop vectorises. ramp_is_exact decides that;
// otherwise the plain sequential sum runs.
#include <climits>
#include <cmath>

#include "kernel_loop.h"
#include "kernels.h"

namespace kern {

namespace {

constexpr int kLanes = 8;

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

// Calls apply(k, gain) for k in [0, count) with gain = start + k * step as the
// sequential double sum gives it (step already carries its sign). apply works
// on one value and is inlined; a stop checkpoint runs between slices.
template <typename Apply>
void run_ramp(float start, float step, uint32_t count, Apply&& apply) {
    const double s = step;
    if (count >= 4 * kLanes && ramp_is_exact(start, step, uint64_t{count} + kLanes)) {
        double g[kLanes];
        g[0] = start;
        for (int j = 1; j < kLanes; ++j) g[j] = g[j - 1] + s;
        const double wide = s * kLanes;
        uint32_t whole = count / kLanes * kLanes;
        in_slices(0, whole, [&](size_t k, size_t end) {
            for (; k < end; k += kLanes) {
                for (int j = 0; j < kLanes; ++j) apply(k + j, g[j]);
                for (int j = 0; j < kLanes; ++j) g[j] += wide;
            }
        });
        for (size_t k = whole; k < count; ++k) apply(k, g[k - whole]);
        return;
    }
    double g = start;
    in_slices(0, count, [&](size_t k, size_t end) {
        for (; k < end; ++k) {
            apply(k, g);
            g += s;
        }
    });
}

inline uint8_t scale_byte(uint8_t b, double g) {
    return static_cast<uint8_t>(clamp_trunc((b - 128) * g, -128, 127) + 128);
}

inline int16_t scale_word(int16_t v, double g) {
    return static_cast<int16_t>(clamp_trunc(v * g, -32768, 32767));
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

void ramp_kernel(uint8_t* data, int bits, ByteRange r, Ramp ramp, bool rising) {
    float step = rising ? ramp.step : -ramp.step;
    if (bits == 8) {
        uint8_t* p = data + r.start;
        run_ramp(ramp.start, step, r.length,
                 [p](size_t k, double g) { p[k] = scale_byte(p[k], g); });
        return;
    }
    uint32_t first = r.start / 2, end = static_cast<uint32_t>((uint64_t{r.start} + r.length) / 2);
    int16_t* v = reinterpret_cast<int16_t*>(data) + first;
    run_ramp(ramp.start, step, end - first,
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
                              ByteRange r, float startGain, bool leftToRight) {
    ChannelWalk w = plan_channel_walk(dataBytes, bits, blockAlign, r);
    const float start = startGain > 1.0f ? 1.0f : startGain;
    const float step = -w.step;
    if (w.count != 0 && bits == 8) {
        uint8_t* p = data + w.first;
        if (leftToRight) {
            run_ramp(start, step, w.count, [p](size_t k, double g) {
                p[2 * k] = scale_byte(p[2 * k], g);
                p[2 * k + 1] = scale_byte(p[2 * k + 1], 1.0 - g);
            });
        } else {
            run_ramp(start, step, w.count, [p](size_t k, double g) {
                p[2 * k] = scale_byte(p[2 * k], 1.0 - g);
                p[2 * k + 1] = scale_byte(p[2 * k + 1], g);
            });
        }
    } else if (w.count != 0) {
        int16_t* v = reinterpret_cast<int16_t*>(data + w.first);
        if (leftToRight) {
            run_ramp(start, step, w.count, [v](size_t k, double g) {
                v[2 * k] = scale_word(v[2 * k], g);
                v[2 * k + 1] = scale_word(v[2 * k + 1], 1.0 - g);
            });
        } else {
            run_ramp(start, step, w.count, [v](size_t k, double g) {
                v[2 * k] = scale_word(v[2 * k], 1.0 - g);
                v[2 * k + 1] = scale_word(v[2 * k + 1], g);
            });
        }
    }
    return walk_span(w, dataBytes);
}

}  // namespace kern
