// Starting programs, opening web pages, and the single running copy.
#pragma once

#include <platform/window.h>

#define SE_ERR_FNF 2
#define SE_ERR_NOASSOC 31

// "open" of a file or address: a web address or document goes to xdg-open; a
// program name is started when it is found on the path. Gives a value above 32
// on success, 2 (file not found) when nothing could be started.
PLATFORM_API HINSTANCE ShellExecute(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir,
                                    int show);

// Single running copy per user, over a local socket named after `name` in the
// per-user runtime folder. PlatformInstanceStart tries to hand the command line
// to a running copy (TRUE: handed over, the caller ends); otherwise this copy
// starts listening (a stale socket of a crashed copy is removed; the
// check-then-listen step is guarded by a named mutex) and gives FALSE.
PLATFORM_API BOOL PlatformInstanceStart(LPCSTR name, LPCSTR commandLine);
// Where the listening copy delivers what later copies hand over: each command
// line arrives as SendMessage(target, msg, 0, (LPARAM)text) on the
// user-interface thread (text valid during the call). Lines that arrive
// before a target is set wait for it.
PLATFORM_API void PlatformInstanceSetTarget(HWND target, UINT msg);
PLATFORM_API void PlatformInstanceStop(void);
