// Processes: a program started with an argument vector, waited for through its
// handle (WaitForSingleObject, CloseHandle) and asked for its exit code.
//
// The program is started without a shell: each argument reaches it unchanged,
// whatever characters it holds (spaces, quotes, '$', backquotes). A single
// command line cannot promise that on Linux, where a path may contain any
// character but '/' and the zero byte, quotes included; so the layer takes the
// words one by one instead of splitting a command line.
#pragma once

#include <platform/thread.h>

struct STARTUPINFO {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX, dwY, dwXSize, dwYSize;
    DWORD dwXCountChars, dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput, hStdOutput, hStdError;
};
typedef STARTUPINFO* LPSTARTUPINFO;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;  // always null: a Linux process has no handle of its own for its first thread
    DWORD dwProcessId;
    DWORD dwThreadId;  // always 0
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

#define CREATE_NO_WINDOW 0x08000000
#define STARTF_USESHOWWINDOW 0x00000001
#define STARTF_USESTDHANDLES 0x00000100

// The start-up record of this process: all zero but cb.
PLATFORM_API void GetStartupInfo(LPSTARTUPINFO si);

// Starts argv[0] with the arguments argv[0..] (a null-ended vector), no shell.
// argv[0] without '/' is looked up on PATH; with '/' it is the program's path.
// The child gets /dev/null as standard input, output and error (it has no
// console), the default signal handling, and no descriptor of this process
// beyond those three: the layer's lock files and sockets stay here. flags may
// be 0 or CREATE_NO_WINDOW; si may be null (STARTF_USESTDHANDLES is refused).
// TRUE with pi filled; FALSE when the program is not found or cannot start
// (GetLastError: ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ...). Close
// pi->hProcess with CloseHandle; the child is reaped even when nobody waits.
PLATFORM_API BOOL PlatformCreateProcessArgv(const char* const* argv, DWORD flags,
                                            const STARTUPINFO* si, PROCESS_INFORMATION* pi);

// The child's exit status (0 to 255), 128 + the signal number when a signal
// ended it, or STILL_ACTIVE while it runs. FALSE for a handle that is no process.
PLATFORM_API BOOL GetExitCodeProcess(HANDLE process, DWORD* code);
