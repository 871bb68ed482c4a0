// The player's side of the MCI device "cd": command strings out, answers in.
// A failed command answers "", which the player reads as 0.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "cdplayer.h"

namespace cdplayer {

std::string ask(const char* format, ...) {
    char command[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(command, sizeof command, format, args);
    va_end(args);
    char answer[32] = "";
    if (mciSendString(command, answer, sizeof answer, g_cdPlayer.player) != 0) return "";
    return answer;
}

void open_device() {
    std::lock_guard lock(g_cdPlayer.mci);
    g_cdPlayer.deviceOpen =
        mciSendString("open cdaudio alias cd shareable", nullptr, 0, g_cdPlayer.player) == 0;
    ask("set cd time format tmsf");
    g_cdPlayer.trackCount = std::atoi(ask("status cd number of tracks").c_str());
    g_cdPlayer.discPresent = g_cdPlayer.trackCount > 0;
}

int current_track() {
    ask("set cd time format tmsf");
    int t = std::atoi(ask("status cd current track").c_str());
    ask("set cd time format msf");
    return t;
}

}  // namespace cdplayer
