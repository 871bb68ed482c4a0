// Test hooks on movable memory (failing allocations, a size limit) and on the
// sound PlaySound plays.
#include <platform/testing.h>

#include "audio/audio_private.h"
#include "system/system_private.h"

extern "C" {

void PlatformFailNextAllocations(int n) {
    plat::fail_next_allocations(n);
}

void PlatformSetAllocationLimit(ULONGLONG bytes) {
    plat::set_allocation_limit(bytes);
}

BOOL PlatformIsSoundPlaying(void) {
    return plat::sound_playing() ? TRUE : FALSE;
}
}
