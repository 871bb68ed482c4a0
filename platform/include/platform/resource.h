// Resource registry: the program registers its string table, bitmaps and
// cursors under its module instance at start-up; libraries find them through
// the instance of a window they are given.
#pragma once

#include <platform/window.h>

// The instance of the main program, and of a shared library by an address in it.
PLATFORM_API HINSTANCE GetModuleHandle(LPCSTR name);  // null: the program
PLATFORM_API HINSTANCE PlatformModuleOfAddress(const void* addr);

// Registration (done by the program before it creates windows).
PLATFORM_API void PlatformAddString(HINSTANCE inst, UINT id, LPCSTR text);
// A bitmap as 32-bit 0x00RRGGBB pixels, rows top to bottom.
PLATFORM_API void PlatformAddBitmap(HINSTANCE inst, LPCSTR name, int w, int h, const DWORD* pixels);
// A cursor as 32-bit 0xAARRGGBB pixels with its hot spot.
PLATFORM_API void PlatformAddCursor(HINSTANCE inst, LPCSTR name, int w, int h, const DWORD* pixels,
                                    int hotX, int hotY);
// Any other named resource as bytes (templates, menus, waves): the layer keeps a pointer.
PLATFORM_API void PlatformAddData(HINSTANCE inst, LPCSTR type, LPCSTR name, const void* data,
                                  DWORD size);
PLATFORM_API const void* PlatformFindData(HINSTANCE inst, LPCSTR type, LPCSTR name, DWORD* size);

PLATFORM_API int LoadString(HINSTANCE inst, UINT id, LPSTR buf, int size);  // 0 when absent
PLATFORM_API HBITMAP LoadBitmap(HINSTANCE inst, LPCSTR name);
PLATFORM_API HCURSOR LoadCursor(HINSTANCE inst, LPCSTR name);  // null inst: standard cursors
PLATFORM_API HICON LoadIcon(HINSTANCE inst, LPCSTR name);
PLATFORM_API HCURSOR LoadCursorFromFile(LPCSTR path);
PLATFORM_API HCURSOR SetCursor(HCURSOR cursor);
PLATFORM_API HCURSOR GetCursor(void);
PLATFORM_API BOOL DestroyCursor(HCURSOR cursor);
PLATFORM_API int ShowCursor(BOOL show);
