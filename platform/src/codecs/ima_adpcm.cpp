// IMA ADPCM blocks of wave files, decoded here instead of by libsndfile: the
// same arithmetic, several times faster. A block holds per channel a 4-byte
// header (the first sample and the step index), then groups of 4 bytes per
// channel, each 8 samples, low nibble first.
#include <algorithm>
#include <cstring>

#include "codecs_private.h"

namespace plat::acm {

namespace {

constexpr int kLastIndex = 88;

constexpr int16_t kStep[kLastIndex + 1] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr int8_t kIndexStep[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// The signed difference each step index and code add to the predictor: the
// sum of step/8, step/4, step/2 and step as the code's bits say, each part
// truncated on its own. A table, so that random codes cost no branches.
struct Differences {
    int32_t value[kLastIndex + 1][16];  // up to 61436 in size
    constexpr Differences() : value{} {
        for (int i = 0; i <= kLastIndex; ++i) {
            const int step = kStep[i];
            for (int code = 0; code < 16; ++code) {
                int diff = step >> 3;
                if (code & 1) diff += step >> 2;
                if (code & 2) diff += step >> 1;
                if (code & 4) diff += step;
                value[i][code] = (code & 8) ? -diff : diff;
            }
        }
    }
};
constexpr Differences kDifferences;

struct Channel {
    int predictor;
    int index;
};

inline int16_t expand(Channel& c, unsigned code) {
    c.predictor = std::clamp(c.predictor + kDifferences.value[c.index][code], -32768, 32767);
    c.index = std::clamp(c.index + kIndexStep[code], 0, kLastIndex);
    return int16_t(c.predictor);
}

}  // namespace

void decode_ima_block(const BYTE* block, uint32_t align, int channels, int16_t* out) {
    const uint32_t ch = uint32_t(channels);
    Channel state[2];
    for (uint32_t c = 0; c < ch; ++c) {
        const BYTE* h = block + 4 * c;
        state[c].predictor = int16_t(uint16_t(h[0] | h[1] << 8));
        state[c].index = std::min<int>(h[2], kLastIndex);
        out[c] = int16_t(state[c].predictor);
    }
    const BYTE* data = block + 4 * ch;
    const uint32_t groups = (align - 4 * ch) / (4 * ch);
    for (uint32_t g = 0; g < groups; ++g) {
        int16_t* frames = out + (1 + 8 * size_t(g)) * ch;
        for (uint32_t c = 0; c < ch; ++c, data += 4) {
            for (int k = 0; k < 4; ++k) {
                frames[(2 * k) * ch + c] = expand(state[c], data[k] & 0xF);
                frames[(2 * k + 1) * ch + c] = expand(state[c], data[k] >> 4);
            }
        }
    }
}

}  // namespace plat::acm
