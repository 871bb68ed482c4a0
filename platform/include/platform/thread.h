// Threads, named mutexes and time.
// Terminating a thread is cooperative: TerminateThread sets a stop request
// that SendMessage, Sleep, the layer's waits and PlatformCheckpoint honour by
// ending the thread (its stack unwinds); the caller waits, serving sent
// messages, until it has ended.
#pragma once

#include <platform/window.h>

PLATFORM_API HANDLE CreateThread(void* security, SIZE_T stack, LPTHREAD_START_ROUTINE fn,
                                 LPVOID arg, DWORD flags, DWORD* threadId);
PLATFORM_API DWORD ResumeThread(HANDLE thread);
PLATFORM_API DWORD SuspendThread(HANDLE thread);  // takes effect at the next checkpoint
PLATFORM_API BOOL SetThreadPriority(HANDLE thread, int priority);  // maps to niceness
PLATFORM_API int GetThreadPriority(HANDLE thread);
PLATFORM_API DWORD GetCurrentThreadId(void);  // small, stable per thread
PLATFORM_API HANDLE GetCurrentThread(void);
PLATFORM_API void ExitThread(DWORD code) __attribute__((noreturn));
PLATFORM_API BOOL GetExitCodeThread(HANDLE thread, DWORD* code);  // STILL_ACTIVE while running
PLATFORM_API BOOL TerminateThread(HANDLE thread, DWORD code);
// Ends the calling thread if a stop was requested for it; long loops call it.
PLATFORM_API void PlatformCheckpoint(void);
PLATFORM_API BOOL PlatformStopRequested(void);

// Waits on a thread (ends) or a mutex (acquires). On the user-interface thread
// the wait keeps serving sent messages.
PLATFORM_API DWORD WaitForSingleObject(HANDLE h, DWORD timeoutMs);
PLATFORM_API BOOL CloseHandle(HANDLE h);

// Named mutexes cross processes (flock on a lock file in the per-user runtime
// folder, close-on-exec); a holder that dies releases it. Recursive per thread.
PLATFORM_API HANDLE CreateMutex(void* security, BOOL initialOwner, LPCSTR name);
PLATFORM_API HANDLE OpenMutex(DWORD access, BOOL inherit, LPCSTR name);
PLATFORM_API BOOL ReleaseMutex(HANDLE mutex);

PLATFORM_API void Sleep(DWORD ms);
PLATFORM_API DWORD GetTickCount(void);
PLATFORM_API void GetLocalTime(SYSTEMTIME* st);
