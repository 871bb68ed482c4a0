// The CD player's pictures, drawn in code: the background "CDBACK" (321 x 126,
// caption strip, track field, display windows and their labels, the record
// and options buttons, the position groove), the track buttons "CD1BLUE" ..
// "CD18BLUE" and "CD1YELLOW" .. "CD18YELLOW" and the "more" button
// "CDMOREBLUE" / "CDMOREYELLOW" (20 x 20 each), the transport buttons
// "CDSEEKBACK", "CDSTOP", "CDPLAY", "CDSEEKFORWARD" (40 x 23), the display
// digits "DIG0" .. "DIG9" (16 x 24) and colon "DIGD" (6 x 24), and the
// position marker "CDPOS" (6 x 12).
#pragma once

#include <platform/platform.h>

void RegisterCdArtwork(HINSTANCE inst);
