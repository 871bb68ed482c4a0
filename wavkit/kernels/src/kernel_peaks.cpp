// The peak summary: building its levels and reading the extremes of a stretch.
#include <kernels/peaks.h>

#include <algorithm>
#include <limits>

namespace kern {

namespace {

// Extremes of frames [first, end) of C interleaved channels, folded into lo/hi.
// Plain loops with one accumulator per channel, which the compiler vectorises.
template <typename T, int C>
void scan_frames(const T* v, size_t first, size_t end, int* lo, int* hi) {
    const size_t n = end - first;
    for (int c = 0; c < C; ++c) {
        T mn = std::numeric_limits<T>::max();
        T mx = std::numeric_limits<T>::min();
        const T* p = v + first * C + c;
        for (size_t i = 0; i < n; ++i) {
            T x = p[i * C];
            mn = x < mn ? x : mn;
            mx = x > mx ? x : mx;
        }
        lo[c] = std::min(lo[c], static_cast<int>(mn));
        hi[c] = std::max(hi[c], static_cast<int>(mx));
    }
}

void scan_into(const uint8_t* data, int bits, int channels, size_t first, size_t end, int* lo,
               int* hi) {
    if (first >= end) return;
    if (bits == 8) {
        if (channels == 2)
            scan_frames<uint8_t, 2>(data, first, end, lo, hi);
        else
            scan_frames<uint8_t, 1>(data, first, end, lo, hi);
    } else {
        const auto* v = reinterpret_cast<const int16_t*>(data);
        if (channels == 2)
            scan_frames<int16_t, 2>(v, first, end, lo, hi);
        else
            scan_frames<int16_t, 1>(v, first, end, lo, hi);
    }
}

// Folds entries [first, end) of one level into lo/hi.
void merge_entries(const PeakLayout& l, const PeakPair* pairs, int level, uint32_t first,
                   uint32_t end, int* lo, int* hi) {
    const PeakPair* p = pairs + l.offset[level];
    for (uint32_t e = first; e < end; ++e)
        for (int c = 0; c < l.channels; ++c) {
            const PeakPair& q = p[size_t(e) * l.channels + c];
            lo[c] = std::min(lo[c], int(q.min));
            hi[c] = std::max(hi[c], int(q.max));
        }
}

constexpr int kEmptyLo = 0x10000, kEmptyHi = -0x10000;

}  // namespace

PeakLayout peak_layout(uint32_t values, int bits, int channels) {
    PeakLayout l{};
    l.bits = bits == 8 ? 8 : 16;
    l.channels = channels == 2 ? 2 : 1;
    l.frames = values / static_cast<uint32_t>(l.channels);
    uint32_t n = (l.frames + kPeakBlockFrames - 1) / kPeakBlockFrames;
    uint32_t at = 0;
    for (int k = 0; k < kPeakLevels; ++k) {
        l.count[k] = n;
        l.offset[k] = at;
        at += n * static_cast<uint32_t>(l.channels);
        n = (n + kPeakFactor - 1) / kPeakFactor;
    }
    l.pairs = at;
    return l;
}

void build_peaks(const uint8_t* data, const PeakLayout& l, PeakPair* pairs, uint32_t first,
                 uint32_t end) {
    end = std::min(end, l.frames);
    if (first >= end) return;
    uint32_t e0 = first / kPeakBlockFrames;
    uint32_t e1 = (end + kPeakBlockFrames - 1) / kPeakBlockFrames;
    PeakPair* level0 = pairs + l.offset[0];
    for (uint32_t e = e0; e < e1; ++e) {
        int lo[2] = {kEmptyLo, kEmptyLo}, hi[2] = {kEmptyHi, kEmptyHi};
        size_t a = size_t(e) * kPeakBlockFrames;
        scan_into(data, l.bits, l.channels, a, std::min<size_t>(a + kPeakBlockFrames, l.frames), lo,
                  hi);
        for (int c = 0; c < l.channels; ++c)
            level0[size_t(e) * l.channels + c] = PeakPair{int16_t(lo[c]), int16_t(hi[c])};
    }
    for (int k = 1; k < kPeakLevels; ++k) {
        e0 /= kPeakFactor;
        e1 = (e1 + kPeakFactor - 1) / kPeakFactor;
        PeakPair* level = pairs + l.offset[k];
        for (uint32_t e = e0; e < e1; ++e) {
            int lo[2] = {kEmptyLo, kEmptyLo}, hi[2] = {kEmptyHi, kEmptyHi};
            merge_entries(l, pairs, k - 1, e * kPeakFactor,
                          std::min(l.count[k - 1], (e + 1) * kPeakFactor), lo, hi);
            for (int c = 0; c < l.channels; ++c)
                level[size_t(e) * l.channels + c] = PeakPair{int16_t(lo[c]), int16_t(hi[c])};
        }
    }
}

void scan_peaks(const uint8_t* data, int bits, int channels, uint32_t first, uint32_t end,
                PeakPair* out) {
    const int ch = channels == 2 ? 2 : 1;
    int lo[2] = {kEmptyLo, kEmptyLo}, hi[2] = {kEmptyHi, kEmptyHi};
    scan_into(data, bits == 8 ? 8 : 16, ch, first, end, lo, hi);
    for (int c = 0; c < ch; ++c)
        out[c] = first < end ? PeakPair{int16_t(lo[c]), int16_t(hi[c])} : PeakPair{1, 0};
}

void query_peaks(const uint8_t* data, const PeakLayout& l, const PeakPair* pairs, uint32_t first,
                 uint32_t end, PeakPair* out) {
    end = std::min(end, l.frames);
    if (first >= end) {
        for (int c = 0; c < l.channels; ++c) out[c] = PeakPair{1, 0};
        return;
    }
    int lo[2] = {kEmptyLo, kEmptyLo}, hi[2] = {kEmptyHi, kEmptyHi};
    // Whole blocks [b0, b1) come from the summary, the frames around them from the data.
    uint32_t b0 = (first + kPeakBlockFrames - 1) / kPeakBlockFrames;
    uint32_t b1 = end / kPeakBlockFrames;
    if (b0 >= b1) {
        scan_into(data, l.bits, l.channels, first, end, lo, hi);
    } else {
        scan_into(data, l.bits, l.channels, first, size_t(b0) * kPeakBlockFrames, lo, hi);
        scan_into(data, l.bits, l.channels, size_t(b1) * kPeakBlockFrames, end, lo, hi);
        // Climb while the stretch still holds whole entries of the next level,
        // taking the entries left over at either side on the way.
        int k = 0;
        while (b0 < b1) {
            uint32_t up0 = (b0 + kPeakFactor - 1) / kPeakFactor;
            uint32_t up1 = b1 / kPeakFactor;
            if (k + 1 >= kPeakLevels || up0 >= up1) {
                merge_entries(l, pairs, k, b0, b1, lo, hi);
                break;
            }
            merge_entries(l, pairs, k, b0, up0 * kPeakFactor, lo, hi);
            merge_entries(l, pairs, k, up1 * kPeakFactor, b1, lo, hi);
            b0 = up0;
            b1 = up1;
            ++k;
        }
    }
    for (int c = 0; c < l.channels; ++c) out[c] = PeakPair{int16_t(lo[c]), int16_t(hi[c])};
}

}  // namespace kern
