// Placeholders until the recording dialog and the options sheet are part of
// the program: each says what it would open.
#include "cdplayer_links.h"

#include <cstdio>

void cd_record_track(HWND frame, int track, int minutes, int seconds) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "Recording from the CD (track %d, %02d:%02d) is not available yet.", track,
                  minutes, seconds);
    MessageBox(frame, text, "CD Player", MB_OK | MB_ICONINFORMATION);
}

void cd_show_options(HWND frame) {
    MessageBox(frame, "The options are not available yet.", "CD Player",
               MB_OK | MB_ICONINFORMATION);
}
