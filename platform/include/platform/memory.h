// Movable memory blocks: a handle to a resizable allocation with a lock count.
// GlobalReAlloc keeps the handle. Failure is a null result, never an exception.
// Sizes are 64-bit inside the layer. Tests make allocations fail through
// <platform/testing.h>.
#pragma once

#include <platform/window.h>

PLATFORM_API HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);  // GMEM_ZEROINIT zeroes
PLATFORM_API LPVOID GlobalLock(HGLOBAL h);                   // null for a bad handle
PLATFORM_API BOOL GlobalUnlock(HGLOBAL h);                   // TRUE while still locked
// Resizes in place (same handle); new bytes are zero with GMEM_ZEROINIT.
// On failure the block is left as it was and the result is null.
PLATFORM_API HGLOBAL GlobalReAlloc(HGLOBAL h, SIZE_T bytes, UINT flags);
PLATFORM_API SIZE_T GlobalSize(HGLOBAL h);   // 0 for a bad handle
PLATFORM_API HGLOBAL GlobalFree(HGLOBAL h);  // null on success, the handle on failure
PLATFORM_API UINT GlobalFlags(HGLOBAL h);    // lock count in the low byte
#define GMEM_INVALID_HANDLE 0x8000           // GlobalFlags of a bad handle

PLATFORM_API DWORD GetLastError(void);
PLATFORM_API void SetLastError(DWORD err);
