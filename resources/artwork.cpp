#include "artwork.h"

#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

using artwork::Canvas;

DWORD mix(DWORD a, DWORD b, double t) {
    auto ch = [&](int s) {
        double v = ((a >> s) & 0xFF) * (1 - t) + ((b >> s) & 0xFF) * t;
        return DWORD(v + 0.5) << s;
    };
    return ch(16) | ch(8) | ch(0);
}

// A vertical gradient with a damped wave drawn as filled columns about the middle.
void wave_picture(Canvas& c, DWORD top, DWORD bottom, DWORD wave, double cycles) {
    for (int y = 0; y < c.h; ++y) c.box(0, y, c.w, y + 1, mix(top, bottom, double(y) / c.h));
    int mid = c.h / 2;
    for (int x = 0; x < c.w; ++x) {
        double t = double(x) / c.w;
        double env = std::sin(kPi * t) * (0.55 + 0.45 * std::sin(6 * kPi * t));
        int a = int(env * std::sin(2 * kPi * cycles * t * t) * (c.h * 0.4));
        int lo = std::min(mid, mid - a), hi = std::max(mid, mid - a);
        for (int y = lo; y <= hi; ++y) c.set(x, y, wave);
    }
    c.box(0, mid, c.w, mid + 1, mix(wave, bottom, 0.5));
}

void frame_border(Canvas& c, DWORD light, DWORD dark) {
    c.box(0, 0, c.w, 1, light);
    c.box(0, 0, 1, c.h, light);
    c.box(0, c.h - 1, c.w, c.h, dark);
    c.box(c.w - 1, 0, c.w, c.h, dark);
}

void add(HINSTANCE inst, LPCSTR name, const Canvas& c) {
    PlatformAddBitmap(inst, name, c.w, c.h, c.px.data());
}

void register_pictures(HINSTANCE inst) {
    Canvas splash(400, 200, 0);
    wave_picture(splash, 0x0B1E4A, 0x2E6FB0, 0xF2C14E, 40);
    frame_border(splash, 0xFFFFFF, 0x000000);
    add(inst, MAKEINTRESOURCE(218), splash);

    Canvas side(70, 150, 0);
    wave_picture(side, 0x2E6FB0, 0xDCE8F5, 0x0B1E4A, 8);
    frame_border(side, 0xFFFFFF, 0x808080);
    add(inst, "STARTASS", side);

    Canvas main(32, 32, 0);
    wave_picture(main, 0x0B1E4A, 0x2E6FB0, 0xF2C14E, 4);
    add(inst, "A1_ICON", main);
    Canvas child(32, 32, 0);
    wave_picture(child, 0xFFFFFF, 0xC0C0C0, 0x0B1E4A, 4);
    add(inst, "CHILD", child);
}

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A 16-bit mono chirp from 700 to 1800 Hz over 0.25 s, faded in and out.
std::vector<uint8_t> signal_wave() {
    const uint32_t rate = 22050, frames = rate / 4, dataBytes = frames * 2;
    std::vector<uint8_t> b(44 + dataBytes);
    std::memcpy(&b[0], "RIFF", 4);
    put32(b, 4, 36 + dataBytes);
    std::memcpy(&b[8], "WAVEfmt ", 8);
    put32(b, 16, 16);
    put16(b, 20, 1);
    put16(b, 22, 1);
    put32(b, 24, rate);
    put32(b, 28, rate * 2);
    put16(b, 32, 2);
    put16(b, 34, 16);
    std::memcpy(&b[36], "data", 4);
    put32(b, 40, dataBytes);
    double phase = 0;
    for (uint32_t i = 0; i < frames; ++i) {
        double t = double(i) / frames;
        phase += 2 * kPi * (700 + 1100 * t) / rate;
        double fade = std::min(1.0, std::min(t, 1 - t) * 12);
        put16(b, 44 + 2 * i, uint16_t(int16_t(std::sin(phase) * fade * 12000)));
    }
    return b;
}

}  // namespace

void RegisterArtwork(HINSTANCE inst) {
    register_pictures(inst);
    static const std::vector<uint8_t> signal = signal_wave();
    PlatformAddData(inst, "WAVE", "signal", signal.data(), DWORD(signal.size()));
}
