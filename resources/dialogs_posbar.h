// The position bar's dialog "POSBAR": one row of start and length fields
// (minutes, seconds, milliseconds) each with its up-down, the read-only time
// under the mouse and the three mark buttons. A child panel: the bar places it.
#pragma once

#include <platform/platform.h>

void RegisterPosBarDialogTemplate(HINSTANCE inst);
