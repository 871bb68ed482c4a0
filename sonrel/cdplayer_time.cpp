// The player's arithmetic on the device's answers and its click layout.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "cdplayer.h"

namespace cdplayer {

int field(const std::string& answer, size_t at) {
    int v = 0;
    for (size_t i = at; i < at + 2 && i < answer.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(answer[i]))) break;
        v = v * 10 + (answer[i] - '0');
    }
    return v;
}

long msf_frames(const std::string& answer) {
    return (field(answer, 0) * 60L + field(answer, 3)) * 75 + field(answer, 6);
}

std::string minutes_seconds(long frames) {
    long seconds = std::max(0L, frames) / 75;
    char text[16];
    std::snprintf(text, sizeof text, "%02ld:%02ld", seconds / 60 % 100, seconds % 60);
    return text;
}

std::string first_five(const std::string& answer) {
    return answer.size() >= 5 ? answer.substr(0, 5) : "00:00";
}

std::string time_text(int mode, const Readings& r) {
    const long into = msf_frames(r.position) - msf_frames(r.trackStart);
    switch (mode) {
        case CD_TIME_OF_TRACK:
            return minutes_seconds(into);
        case CD_TIME_ON_DISK:
            return first_five(r.position);
        case CD_LENGTH_OF_DISK:
            return first_five(r.discLength);
        case CD_LENGTH_OF_TRACK:
            return first_five(r.trackLength);
        case CD_START_OF_TRACK:
            return first_five(r.trackStart);
        case CD_LEFT_ON_TRACK:
            return minutes_seconds(msf_frames(r.trackLength) - into);
        case CD_LEFT_ON_DISK:
            // Positions count the disc's lead-in, its length does not.
            return minutes_seconds(msf_frames(r.discLength) -
                                   (msf_frames(r.position) - msf_frames(r.discStart)));
        default:
            return "00:00";
    }
}

int marker_x(long position, long start, long length) {
    if (length <= 0) return 150;
    long into = std::clamp(position - start, 0L, length);
    return 150 + int(into * 150 / length);
}

long seek_target(int offset, long start, long length) {
    return start + long(offset) * std::max(0L, length) / 155;
}

POINT button_origin(int n) {
    return POINT{10 + 20 * ((n - 1) % 5), 25 + 20 * ((n - 1) / 5)};
}

Hit hit_test(int x, int y, int trackCount) {
    for (int n = 1; n <= std::min(trackCount, CD_MAX_BUTTONS); ++n) {
        POINT o = button_origin(n);
        if (x > o.x && x < o.x + 20 && y > o.y && y < o.y + 20) return {HIT_TRACK, n, 0};
    }
    if (x > 290 && y < 20) return {HIT_REINIT, 0, 0};
    if (y >= 82 && y <= 105) {
        if (x >= 148 && x <= 187) return {HIT_PREVIOUS, 0, 0};
        if (x >= 189 && x <= 228) return {HIT_STOP, 0, 0};
        if (x >= 230 && x <= 269) return {HIT_PLAY, 0, 0};
        if (x >= 271 && x <= 309) return {HIT_NEXT, 0, 0};
    }
    if (y >= 61 && y <= 79) {
        if (x >= 191 && x <= 269) return {HIT_TIME_MENU, 0, 0};
        if (x >= 271) return {HIT_TRACK_MENU, 0, 0};
    }
    if (x >= 20 && x <= 100 && y >= 105) return {HIT_OPTIONS, 0, 0};
    if (x >= 135 && x <= 180 && y >= 25 && y <= 40) return {HIT_RECORD, 0, 0};
    if (x >= 150 && x <= 305 && y >= 108 && y <= 122) return {HIT_SEEK, 0, x - 150};
    return {HIT_NONE, 0, 0};
}

}  // namespace cdplayer
