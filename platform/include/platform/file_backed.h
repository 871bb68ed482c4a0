// File-backed movable blocks: the layer's own GlobalAlloc flag.
#pragma once

#include <platform/memory.h>

// The block's bytes live in an unnamed file in the per-user temporary folder
// (GetTempPath), mapped while the block is locked and handed back to the
// system whenever its last lock ends, so a large block that is written once
// and read rarely does not stay in the process's memory. Its disk space is
// reserved when it is made; without the space (or the folder) the block is an
// ordinary one. Starts zeroed, like GMEM_ZEROINIT.
#define GMEM_FILEBACKED 0x4000
