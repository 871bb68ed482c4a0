// The per-user data folder: what the user adds to the program, such as
// extension libraries.
#pragma once

#include <platform/window.h>

// $SONREL_HOME/data, else $XDG_DATA_HOME/Sonrel, else ~/.local/share/Sonrel;
// created on demand, mode 0700. No trailing '/'. The length without the
// terminator when it fits, else the size needed (the buffer is left alone);
// PlatformFolder (sys.h) gives the whole text.
PLATFORM_API DWORD PlatformDataPath(DWORD size, LPSTR buf);
