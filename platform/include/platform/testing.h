// Hooks that exist only for tests. Production code never includes this header.
#pragma once

#include <platform/window.h>

// The CD device's first drive: device (a drive's device node, or any disc
// image libcdio opens) instead of the drive libcdio finds; "" for no drive at
// all; null to find the drive again.
PLATFORM_API void PlatformTestSetCdDrive(LPCSTR device);
