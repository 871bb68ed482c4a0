// The figures and texts the recording dialogs show, and the take's file name.
// Pure functions apart from the folder query.
#include <unistd.h>

#include <cstdio>

#include "recording.h"

namespace rec {

int level_of(BYTE sample) {
    return sample >= 127 ? sample - 127 : 127 - sample;
}

bool is_peak(BYTE left) {
    return left > 253;
}

std::string length_text(DWORD ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lu:%02lu", static_cast<unsigned long>(ms / 60000),
                  static_cast<unsigned long>(ms % 60000 / 1000));
    return text;
}

std::string kilobytes_text(DWORD ms, DWORD bytesPerSec) {
    char text[32];
    unsigned long long kb = 1ull * (ms / 1000) * bytesPerSec / 1000;
    std::snprintf(text, sizeof text, "%6lu", static_cast<unsigned long>(kb));
    return text;
}

DWORD free_megabytes(DWORD bytesPerSector, DWORD freeClusters, DWORD sectorsPerCluster) {
    unsigned long long kb = 1ull * bytesPerSector * freeClusters / 1024;
    return DWORD(kb * sectorsPerCluster / 1024);
}

std::string level_format_text(WORD bits, DWORD rate, WORD channels) {
    char text[64];
    std::snprintf(text, sizeof text,
                  channels == 1 ? "%d Bit, %u Hz, MONO" : "%d Bit, %u Hz, STEREO", int(bits),
                  unsigned(rate));
    return text;
}

std::string record_format_text(WORD bits, DWORD rate, WORD channels) {
    char text[64];
    std::snprintf(text, sizeof text, channels == 2 ? "%d Bit, %u Hz STEREO" : "%d Bit, %u Hz MONO",
                  int(bits), unsigned(rate));
    return text;
}

std::string cd_start_text(int track, int minutes, int seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "Track %d, Position %02d:%02d", track, minutes, seconds);
    return text;
}

std::string temp_file(void) {
    return PlatformFolder(GetTempPath) + "SnrTemp-" + std::to_string(getpid()) + ".WAV";
}

}  // namespace rec
