// Threads, named mutexes and time.
// Terminating a thread is cooperative: TerminateThread sets a stop request
// that SendMessage, Sleep, the layer's waits and PlatformCheckpoint honour by
// ending the thread (its stack unwinds); the caller waits, serving sent
// messages, until it has ended. Only threads made by CreateThread can be
// stopped or suspended. A thread that ends while it owns mutexes releases them.
#pragma once

#include <platform/window.h>

// Ending a thread throws PlatformThreadEnd from the layer's waits and
// checkpoints; it unwinds the thread's stack (destructors run) up to the
// thread's start, where the layer catches it. Every catch (...) in the system's
// code is preceded by the macro so that it lets the end pass:
//   try { ... } PLATFORM_RETHROW_THREAD_EXIT catch (...) { ... }
// A handler that swallows it anyway only delays the end to the next checkpoint.
// Destructors and noexcept functions must not wait or call PlatformCheckpoint.
struct __attribute__((visibility("default"))) PlatformThreadEnd {};
#define PLATFORM_RETHROW_THREAD_EXIT   \
    catch (const PlatformThreadEnd&) { \
        throw;                         \
    }

#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

// The thread runs fn(arg); its return value becomes its exit code. Created
// suspended with CREATE_SUSPENDED. The handle stays valid until CloseHandle,
// which does not stop the thread.
PLATFORM_API HANDLE CreateThread(void* security, SIZE_T stack, LPTHREAD_START_ROUTINE fn,
                                 LPVOID arg, DWORD flags, DWORD* threadId);
PLATFORM_API DWORD ResumeThread(HANDLE thread);   // previous suspend count
PLATFORM_API DWORD SuspendThread(HANDLE thread);  // takes effect at the next checkpoint
// Below normal and lowest are one and two steps more niceness than the process;
// above normal asks for less, as far as the system allows.
PLATFORM_API BOOL SetThreadPriority(HANDLE thread, int priority);
PLATFORM_API int GetThreadPriority(HANDLE thread);
PLATFORM_API DWORD GetCurrentThreadId(void);  // small, stable per thread, from 1
PLATFORM_API HANDLE GetCurrentThread(void);   // a pseudo-handle for the caller
PLATFORM_API void ExitThread(DWORD code) __attribute__((noreturn));
PLATFORM_API BOOL GetExitCodeThread(HANDLE thread, DWORD* code);  // STILL_ACTIVE while running
// Stops the thread (its exit code becomes code) and returns once it has ended.
PLATFORM_API BOOL TerminateThread(HANDLE thread, DWORD code);
// Ends the calling thread if a stop was requested for it; long loops call it.
// A suspended thread waits here until it is resumed.
PLATFORM_API void PlatformCheckpoint(void);
PLATFORM_API BOOL PlatformStopRequested(void);

// Waits on a thread (ends) or a mutex (acquires). On the user-interface thread
// the wait keeps serving sent messages.
PLATFORM_API DWORD WaitForSingleObject(HANDLE h, DWORD timeoutMs);
PLATFORM_API BOOL CloseHandle(HANDLE h);

// Named mutexes cross processes (flock on "<runtime>/<name>.lock", opened
// close-on-exec so child processes do not inherit it); a holder that dies
// releases it. Recursive per thread. CreateMutex sets ERROR_ALREADY_EXISTS when
// some process has the name open; OpenMutex gives null when none has.
PLATFORM_API HANDLE CreateMutex(void* security, BOOL initialOwner, LPCSTR name);
PLATFORM_API HANDLE OpenMutex(DWORD access, BOOL inherit, LPCSTR name);
PLATFORM_API BOOL ReleaseMutex(HANDLE mutex);

// Sleep ends a thread that is asked to stop while it sleeps.
PLATFORM_API void Sleep(DWORD ms);
PLATFORM_API DWORD GetTickCount(void);  // milliseconds of a monotonic clock
PLATFORM_API void GetLocalTime(SYSTEMTIME* st);
