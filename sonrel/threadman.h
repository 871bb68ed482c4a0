// The thread manager (class "ThreadMan": a list of the operations in the
// frame's table), the switch between it and the preview bar (class "Switch"),
// and the select bar's background thread that draws the running count with a
// stopwatch and keeps the list fresh.
//
// The list and the switch live on the user-interface thread. The background
// thread reaches the frame only by sent messages (UM_GETTHREADCOUNT,
// UM_GETTHREADMAN) and draws on the select bar through its own device context.
#pragma once

#include <platform/platform.h>

// The list view's control id inside the thread manager.
#define THREADMAN_LIST_ID 1001
// The switch's upper part, in client pixels from its top: a click at y <= this
// shows the preview bar, below it the thread manager.
#define SWITCH_PREVIEW_PART 55

// Starts the background thread for the select bar (suspended, lowest
// priority, then resumed). One per process: a second start replaces nothing
// and returns FALSE.
BOOL StartThreadCount(HWND selectBar);
// Sets the stop flag and ends the background thread; it releases its device
// context and font on the way out. Nothing when none runs.
void StopThreadCount(void);
// The select bar repainted its box: the next idle cycle draws "Threads" again.
void ThreadCountRepainted(void);
// Background threads that have started and not yet finished (0 or 1).
int ThreadCountThreads(void);
