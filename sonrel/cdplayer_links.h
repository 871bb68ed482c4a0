// What the CD player's record and options buttons start in the sound library.
#pragma once

#include <platform/platform.h>

// Records from the CD into the frame's active document, the disc started at
// track, minutes and seconds once the recording runs.
void cd_record_track(HWND frame, int track, int minutes, int seconds);
// The options sheet, opened on its "Threads" page.
void cd_show_options(HWND frame);
