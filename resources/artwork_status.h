// Artwork of the position and status bars, drawn in code at registration:
// the lamp "RED" (10 x 10) that the position bar's multimedia buttons show,
// and "CDING1" (16 x 14), the resting frame of the CD animation on the
// status bar: a disc at rest.
#pragma once

#include <platform/platform.h>

void RegisterStatusArtwork(HINSTANCE inst);
