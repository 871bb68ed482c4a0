// The program's own artwork, drawn in code at registration: the splash
// picture (bitmap 218), the start assistant's picture "STARTASS", the icons
// "A1_ICON" and "CHILD", and the completion sound "signal" (a short rising
// chirp, a "WAVE" resource).
#pragma once

#include <platform/platform.h>

void RegisterArtwork(HINSTANCE inst);
