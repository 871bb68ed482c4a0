#include "operations.h"

#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include "frame.h"

OperationState g_operations;

BOOL IsOperationLive(const OperationEntry& e) {
    return e.thread && e.threadId && e.nameId;
}

namespace {

OperationEntry* free_slot() {
    for (auto& e : g_operations.table)
        if (!IsOperationLive(e)) return &e;
    return nullptr;
}

}  // namespace

HANDLE StartOperation(LPTHREAD_START_ROUTINE proc, LPVOID param, DWORD nameId, HWND doc) {
    OperationEntry* slot = free_slot();
    if (!slot) return nullptr;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, proc, param, CREATE_SUSPENDED, &id);
    if (!thread) return nullptr;
    SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
    *slot = OperationEntry{thread, id, nameId, doc, -1};
    ResumeThread(thread);
    return thread;
}

void OperationBegun(void) {
    ++g_operations.running;
    SendMessage(g_shell.iconBar, UM_SPINSTART, 0, 0);
}

void OperationEnded(DWORD threadId) {
    if (--g_operations.running <= 0) {
        g_operations.running = 0;
        InvalidateRect(g_shell.selectBar, nullptr, TRUE);
        SendMessage(g_shell.iconBar, UM_SPINSTOP, 0, 0);
    }
    for (auto& e : g_operations.table) {
        if (e.threadId != threadId || !IsOperationLive(e)) continue;
        // The finishing thread waits in its send while the sound plays.
        if (SettingBool(SET_BOOLEAN_PLAYTHREADCOMPLETE))
            PlaySound("signal", g_shell.instance, SND_RESOURCE | SND_SYNC | SND_NODEFAULT);
        CloseHandle(e.thread);
        e = OperationEntry{};
        return;
    }
}

void TerminateAllOperations(void) {
    for (auto& e : g_operations.table)
        if (e.thread) TerminateThread(e.thread, 0);
}
