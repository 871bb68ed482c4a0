// Sleeping and clocks.
#include <sched.h>
#include <time.h>

#include "system_private.h"

PLATFORM_API void Sleep(DWORD ms) {
    plat::sleep_interruptible(ms);
    if (ms == 0) sched_yield();
}

PLATFORM_API DWORD GetTickCount(void) {
    return static_cast<DWORD>(plat::monotonic_ms());
}

PLATFORM_API void GetLocalTime(SYSTEMTIME* st) {
    if (!st) return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    st->wYear = static_cast<WORD>(local.tm_year + 1900);
    st->wMonth = static_cast<WORD>(local.tm_mon + 1);
    st->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    st->wDay = static_cast<WORD>(local.tm_mday);
    st->wHour = static_cast<WORD>(local.tm_hour);
    st->wMinute = static_cast<WORD>(local.tm_min);
    st->wSecond = static_cast<WORD>(local.tm_sec);
    st->wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1000000);
}
