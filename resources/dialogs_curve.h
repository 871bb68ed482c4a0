// The dialog templates of the CurveSound editors, "CSVOLUME" and
// "CSFADECHANNELS", and of the progress window "PERCENTAGE".
//
// Both editors: room for the drawing area at the top left (the editor draws
// it), radio buttons 10 "Whole file" and 11 "Marked area" in the group
// "Use with...", the pin count in edit 113 (its up-down, id 114, is attached
// at run time), button 114 "Reset Pin Positions", the current value in text
// 115 followed by "%", OK, Cancel and "&?" (998). The channel editor shows the
// pictures "CSRIGHT" and "CSLEFT" at the top and bottom left of its area.
// The progress window: progress bar 101. The busy window "WAIT": animation
// 110, which plays the clip "WAIT" registered with it.
#pragma once

#include <platform/platform.h>

void RegisterCurveDialogTemplates(HINSTANCE inst);
