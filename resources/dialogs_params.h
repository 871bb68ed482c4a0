// The dialog templates of the editing operations' parameters: "VOLUME",
// "FADEIN", "FADEOUT", "VELOCITY", "LOWPASS", "SILENCE", "ZOOMBY"; the format
// dialogs "HEADER" and "CLIPBOARDHEADER"; and the about box "ABOUT".
#pragma once

#include <platform/platform.h>

void RegisterParamDialogTemplates(HINSTANCE inst);
