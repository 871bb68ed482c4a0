// Test hook on the CD device: a disc image or no drive in place of the drive
// libcdio finds.
#include <platform/testing.h>

#include "audio/mci_private.h"

extern "C" PLATFORM_API void PlatformTestSetCdDrive(LPCSTR device) {
    plat::mci::set_test_drive(device);
}
