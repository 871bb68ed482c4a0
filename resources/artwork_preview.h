// Artwork of the preview bar, drawn in code at registration: the channel
// labels "LEFTCHANNEL", "RIGHTCHANNEL", "MONOCHANNEL" (12 x 40), the 27 x 4
// position markers "POSITION" and "POSITION24" (the played frame 4 pixels from
// the left edge), the status bar's playing animation "playing1".."playing9"
// (16 x 14), and the cursors "PREVIEWCURSOR", "PREVIEWMOVE", "DRAGFROMCURSOR",
// "DRAGCURSOR", "DRAGCURSORMIX" and "NODROPCURSOR".
#pragma once

#include <platform/platform.h>

void RegisterPreviewArtwork(HINSTANCE inst);
