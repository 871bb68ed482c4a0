// The best format a wave device's format flags (WAVE_FORMAT_1M08 ...) offer,
// as the sound drivers' page shows it: "<bits> Bit <rate> Hz STEREO|MONO".
// 16 bits when a 16-bit mono flag is set; stereo when any stereo flag is; the
// rate 11025 Hz times the multiplier of the last present flag of 1M08, 2M08,
// 4M08, 1M16, 2M16, 4M16 in that order (0 Hz when none is present).
#pragma once

#include <platform/wave.h>

#include <cstdio>
#include <string>

// Format flags of a device's capabilities (dwFormats): rate 11025 (1),
// 22050 (2) or 44100 Hz (4), mono (M) or stereo (S), 8 or 16 bits.
#ifndef WAVE_FORMAT_1M08
#define WAVE_FORMAT_1M08 0x00000001
#define WAVE_FORMAT_1S08 0x00000002
#define WAVE_FORMAT_1M16 0x00000004
#define WAVE_FORMAT_1S16 0x00000008
#define WAVE_FORMAT_2M08 0x00000010
#define WAVE_FORMAT_2S08 0x00000020
#define WAVE_FORMAT_2M16 0x00000040
#define WAVE_FORMAT_2S16 0x00000080
#define WAVE_FORMAT_4M08 0x00000100
#define WAVE_FORMAT_4S08 0x00000200
#define WAVE_FORMAT_4M16 0x00000400
#define WAVE_FORMAT_4S16 0x00000800
#endif

namespace devcaps {

inline std::string best_format(DWORD flags) {
    constexpr DWORD kSixteen = WAVE_FORMAT_1M16 | WAVE_FORMAT_2M16 | WAVE_FORMAT_4M16;
    constexpr DWORD kStereo = WAVE_FORMAT_1S08 | WAVE_FORMAT_1S16 | WAVE_FORMAT_2S08 |
                              WAVE_FORMAT_2S16 | WAVE_FORMAT_4S08 | WAVE_FORMAT_4S16;
    struct Step {
        DWORD flag;
        unsigned multiplier;
    };
    constexpr Step kSteps[] = {{WAVE_FORMAT_1M08, 1}, {WAVE_FORMAT_2M08, 2}, {WAVE_FORMAT_4M08, 4},
                               {WAVE_FORMAT_1M16, 1}, {WAVE_FORMAT_2M16, 2}, {WAVE_FORMAT_4M16, 4}};
    unsigned multiplier = 0;
    for (const Step& s : kSteps)
        if (flags & s.flag) multiplier = s.multiplier;
    char text[64];
    std::snprintf(text, sizeof text,
                  (flags & kStereo) ? "%d Bit %u Hz STEREO" : "%d Bit %u Hz MONO",
                  (flags & kSixteen) ? 16 : 8, 11025u * multiplier);
    return text;
}

}  // namespace devcaps
