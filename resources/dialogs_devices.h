// The dialog templates of the sound devices: "SELECTWAVEOUT", the choice of
// the wave output device.
#pragma once

#include <platform/platform.h>

void RegisterDeviceDialogTemplates(HINSTANCE inst);
