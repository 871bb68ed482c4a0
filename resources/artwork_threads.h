// The switch's two pictures, drawn in code: "SWITCHPREVIEW" (the preview
// half raised) and "SWITCHTHREADS" (the thread list half raised). Each is
// 20 x 90 pixels: a wave symbol in the upper 50 rows (the switch's upper
// part when drawn 5 pixels down), a list symbol in the 40 below.
// Also "THREADS", the 16 x 16 icon of the thread manager's items.
#pragma once

#include <platform/platform.h>

void RegisterThreadArtwork(HINSTANCE inst);
