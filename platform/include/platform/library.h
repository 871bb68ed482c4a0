// Libraries loaded at run time (dlopen), and the error mode.
//
// A module handle is the base address of the loaded object, the same value
// GetModuleHandle and PlatformModuleOfAddress give for it, so resources an
// extension registers under its own instance are found through it. Loading
// takes an absolute path only: the caller finds a bare file name in the
// folders it trusts; the working folder is never searched. Any thread.
#pragma once

#include <platform/window.h>

typedef INT_PTR (*FARPROC)(void);

#define ERROR_MOD_NOT_FOUND 126
#define ERROR_PROC_NOT_FOUND 127
#define ERROR_BAD_EXE_FORMAT 193

// Loads the library at an absolute path with all its symbols bound now and
// kept to itself (RTLD_NOW | RTLD_LOCAL); loading it again counts one more
// use. Null on failure, with GetLastError ERROR_INVALID_PARAMETER for a
// relative path or none, ERROR_MOD_NOT_FOUND for a missing file,
// ERROR_BAD_EXE_FORMAT for a file that cannot be loaded.
PLATFORM_API HMODULE LoadLibrary(LPCSTR path);
// The address of an exported function or variable by name, or null
// (ERROR_PROC_NOT_FOUND; ordinals are not supported). A null module searches
// the program and the libraries it was linked with.
PLATFORM_API FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// Ends one use of a library made by LoadLibrary; the last use unloads it.
// FALSE for a handle LoadLibrary did not give (or that is used up).
PLATFORM_API BOOL FreeLibrary(HMODULE module);

// The error mode: kept and handed back only, since no system error boxes
// exist on Linux. Gives the previous mode.
#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOOPENFILEERRORBOX 0x8000
PLATFORM_API UINT SetErrorMode(UINT mode);
