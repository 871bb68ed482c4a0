// Artwork of the frame's bars, drawn in code at registration:
// - "TOOLBAR24": the icon bar's strip, 24 images of 17 x 17 on light grey
//   (192, 192, 192), the toolbar's mask colour; image i serves the button
//   the icon bar's table gives it (4 and 22 are spare).
// - bitmap 111: the function bar's 16 images of 17 x 17, in button order.
// - the select bar's small pictures on the button face: "ROLLDOWN" and
//   "ROLLUP" (12 x 9), "EMPTYCLP" and "FULLCLP" (13 x 11), "INFOROLL"
//   (16 x 14), "ZOOMIN" and "ZOOMOUT" (13 x 10), "IDTHREADS" (12 x 10).
// - "SNRSPIN": the busy clip, 12 frames of 28 x 28 on black, frame 0 the
//   resting picture.
// - the virtual desktop's "COLOREDBACK" (400 x 240, its left and bottom edges
//   in the desktop colour) and "COLOREDSNR2003" (400 x 100).
#pragma once

#include <platform/platform.h>

void RegisterBarArtwork(HINSTANCE inst);
