// The disk clipboard's byte arithmetic: insertion and mixing.
#include <kernels/clipboard_kernels.h>
#include <kernels/kernels.h>

#include <cstring>

namespace clipk {

void insert_bytes(uint8_t* data, uint32_t size, uint32_t at, const uint8_t* clip,
                  uint32_t clipBytes) {
    if (clipBytes == 0) return;
    if (at < size) std::memmove(data + at + clipBytes, data + at, size - at);
    std::memcpy(data + at, clip, clipBytes);
}

void fill_zero_line(uint8_t* data, int bits, uint32_t at, uint32_t count) {
    std::memset(data + at, bits == 8 ? 128 : 0, count);
}

void mix_bytes(uint8_t* data, int bits, uint32_t at, const uint8_t* clip, uint32_t clipBytes,
               float gain) {
    uint8_t* out = data + at;
    if (bits == 8) {
        for (uint32_t i = 0; i < clipBytes; ++i) {
            int m = (int{clip[i]} + int{out[i]}) / 2;
            out[i] = static_cast<uint8_t>(kern::change_sample(m, 8, gain));
        }
        return;
    }
    for (uint32_t i = 0; i + 1 < clipBytes; i += 2) {
        int16_t a, b;
        std::memcpy(&a, clip + i, 2);
        std::memcpy(&b, out + i, 2);
        int16_t r = static_cast<int16_t>(kern::change_sample((int{a} + int{b}) / 2, 16, gain));
        std::memcpy(out + i, &r, 2);
    }
}

}  // namespace clipk
