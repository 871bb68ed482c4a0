// The channel editor's pictures, drawn in code at registration: "CSRIGHT"
// (the top of its drawing area) and "CSLEFT" (the bottom), each a loudspeaker
// with sound waves above the channel's letter.
#pragma once

#include <platform/platform.h>

// Picture size in pixels.
#define CURVE_PICTURE_WIDTH 16
#define CURVE_PICTURE_HEIGHT 24

void RegisterCurveArtwork(HINSTANCE inst);
