// Ranges, single-sample routines and the in-place amplitude kernels: volume,
// peak volume, silence and zeroize.
#include <cstring>

#include "kernel_loop.h"
#include "kernels.h"

namespace kern {

namespace {

// From this many values on, the volume looks its results up in a table of
// every input (built once per call) instead of computing each.
constexpr size_t kWideTableValues = size_t{1} << 16;

int16_t* values16(uint8_t* data) {
    return reinterpret_cast<int16_t*>(data);
}
const int16_t* values16(const uint8_t* data) {
    return reinterpret_cast<const int16_t*>(data);
}

// The 8-bit volume of every byte, computed once per call.
void byte_table(double gain, uint8_t table[256]) {
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<uint8_t>(clamp_trunc((b - 128) * gain, -128, 127) + 128);
}

}  // namespace

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

void volume_kernel(uint8_t* data, int bits, ByteRange r, float gain) {
    const double g = gain;
    if (bits == 8) {
        uint8_t table[256];
        byte_table(g, table);
        size_t i = r.start, end = size_t{r.start} + r.length;
        if (r.length >= kWideTableValues) {
            // Two bytes per lookup in a table of every byte pair.
            uint16_t pairs[65536];
            for (size_t x = 0; x < 65536; ++x)
                pairs[x] = static_cast<uint16_t>(table[x & 0xFF] | table[x >> 8] << 8);
            size_t evenEnd = i + (end - i) / 2 * 2;
            in_slices(i, evenEnd, [&](size_t k, size_t stop) {
                for (; k < stop; k += 2) {
                    uint16_t w;
                    std::memcpy(&w, data + k, 2);
                    w = pairs[w];
                    std::memcpy(data + k, &w, 2);
                }
            });
            i = evenEnd;
        }
        in_slices(i, end, [&](size_t k, size_t stop) {
            for (; k < stop; ++k) data[k] = table[data[k]];
        });
        return;
    }
    int16_t* v = values16(data);
    size_t first = r.start / 2, end = (size_t{r.start} + r.length) / 2;
    if (end - first >= kWideTableValues) {
        // Every 16-bit value's result, looked up by its bits.
        int16_t table[65536];
        for (size_t x = 0; x < 65536; ++x) {
            table[x] =
                static_cast<int16_t>(clamp_trunc(static_cast<int16_t>(x) * g, -32768, 32767));
        }
        uint16_t* bitsOf = reinterpret_cast<uint16_t*>(data);
        in_slices(first, end, [&](size_t i, size_t stop) {
            for (; i < stop; ++i) v[i] = table[bitsOf[i]];
        });
        return;
    }
    in_slices(first, end, [&](size_t i, size_t stop) {
        for (; i < stop; ++i) v[i] = static_cast<int16_t>(clamp_trunc(v[i] * g, -32768, 32767));
    });
}

int peak_value(const uint8_t* data, int bits, ByteRange r) {
    int peak = -32767;
    if (bits == 8) {
        int top = -1;
        in_slices(r.start, r.start + r.length, [&](size_t i, size_t end) {
            uint8_t m = 0;
            for (; i < end; ++i) m = std::max(m, data[i]);
            top = std::max<int>(top, m);
        });
        return top < 0 ? peak : std::max(peak, top - 128);
    }
    const int16_t* v = values16(data);
    uint32_t first = r.start / 2, end = static_cast<uint32_t>((uint64_t{r.start} + r.length) / 2);
    in_slices(first, end, [&](size_t i, size_t stop) {
        int16_t m = -32767;
        for (; i < stop; ++i) m = std::max(m, v[i]);
        peak = std::max<int>(peak, m);
    });
    return peak;
}

bool peak_kernel(uint8_t* data, int bits, ByteRange r) {
    if (value_span(r, bits).length == 0) return false;
    int peak = peak_value(data, bits, r);
    int full = bits == 8 ? 127 : 32767;
    // A peak of 0 or below gives no usable scale: leave the range as it is.
    if (peak >= full || peak <= 0) return false;
    float factor = static_cast<float>(full) / static_cast<float>(peak);
    volume_kernel(data, bits, r, factor);
    return true;
}

void silence_kernel(uint8_t* data, int bits, ByteRange r) {
    ByteRange span = value_span(r, bits);
    fill_silence(data, bits, span.start, span.length);
}

void fill_silence(uint8_t* data, int bits, uint32_t at, uint32_t count) {
    int byte = bits == 8 ? 127 : 0;
    in_slices(at, at + count, [&](size_t i, size_t end) { std::memset(data + i, byte, end - i); });
}

ZeroizeThresholds zeroize_thresholds(unsigned tenthsPercent) {
    double x = tenthsPercent * 0.1;
    return ZeroizeThresholds{static_cast<int>(x * static_cast<double>(1.27f)),
                             static_cast<int>(x * static_cast<double>(327.67f))};
}

void zeroize_kernel(uint8_t* data, int bits, ByteRange r, ZeroizeThresholds t) {
    if (bits == 8) {
        // -t8 < b - 127 < t8, as an inclusive byte interval.
        int lo = std::max(128 - t.t8, 0), hi = std::min(126 + t.t8, 255);
        if (lo > hi) return;
        const uint8_t base = static_cast<uint8_t>(lo), width = static_cast<uint8_t>(hi - lo);
        in_slices(r.start, r.start + r.length, [&](size_t i, size_t end) {
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
    in_slices(first, end, [&](size_t i, size_t stop) {
        for (; i < stop; ++i) {
            int16_t s = v[i];
            v[i] = static_cast<uint16_t>(static_cast<uint16_t>(s) - base) <= width ? 0 : s;
        }
    });
}

}  // namespace kern
