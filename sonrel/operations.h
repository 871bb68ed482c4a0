// The operation table and the running count: which editing operations the
// frame started on threads of their own, and how many have announced
// themselves. Both are read and written only on the user-interface thread
// (operation threads reach them by sending frame messages).
#pragma once

#include <platform/platform.h>

#define OPERATION_SLOTS 32

struct OperationEntry {
    HANDLE thread;  // handle from the thread's creation; kept open
    DWORD threadId;
    DWORD nameId;  // display-name string id (IDS_NAME_...)
    HWND document;
    LONG spare;  // always -1 in a live entry
};

struct OperationState {
    OperationEntry table[OPERATION_SLOTS];
    LONG running;  // operations that announced their start and not yet their end; >= 0
};

extern OperationState g_operations;

// An entry is live when its handle, thread id and display name are all nonzero.
BOOL IsOperationLive(const OperationEntry& e);

// Creates the thread on proc(param) suspended, one step below normal, enters it
// for document `doc` under the display name, then resumes it. The frame does
// not wait for it. Gives the thread handle, or null when no thread could be
// made or all slots are live (nothing is started then).
HANDLE StartOperation(LPTHREAD_START_ROUTINE proc, LPVOID param, DWORD nameId, HWND doc);

// UM_THREADBEGIN: one more running; the icon bar starts its animation.
void OperationBegun(void);
// UM_THREADEND: one less running (never below 0); at 0 the select bar is
// repainted and the animation stops; the thread's entry, if any, is cleared
// after the completion sound (when "PlayThreadComplete" is set).
void OperationEnded(DWORD threadId);

// Terminates every thread of the table that has a handle (exit code 0),
// waiting for each to end. The entries stay as they are.
void TerminateAllOperations(void);
