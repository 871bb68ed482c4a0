#include "command_table.h"

#include <sonrel/wavkit.h>

#include "frame.h"
#include "operations.h"

namespace {

bool covers(const CommandRow& row, WORD id) {
    return row.last ? id >= row.id && id <= row.last : id == row.id;
}

bool operation_runs_on(HWND doc) {
    for (const OperationEntry& e : g_operations.table)
        if (IsOperationLive(e) && e.document == doc) return true;
    return false;
}

bool refused(CommandRefusal refusal, HWND doc) {
    switch (refusal) {
        case REFUSE_NONE:
            return false;
        case REFUSE_NO_DOCUMENT:
            return doc == nullptr;
        case REFUSE_BUSY:
            return IsFileWorking(doc) != FALSE;
        case REFUSE_OPERATING:
            return IsFileWorking(doc) != FALSE || operation_runs_on(doc);
    }
    return true;
}

bool asks(CommandHow how) {
    return how == HOW_ASK_THREAD || how == HOW_ASK_FRAME;
}

bool threaded(CommandHow how) {
    return how == HOW_THREAD || how == HOW_ASK_THREAD;
}

}  // namespace

const CommandRow* FindCommand(std::span<const CommandRow> table, WORD id) {
    for (const CommandRow& row : table)
        if (covers(row, id)) return &row;
    return nullptr;
}

HANDLE StartCommandThread(const CommandRow& row, HWND frame, HWND doc) {
    if (!row.thread) return nullptr;
    LPVOID param = row.param == PARAM_DOCUMENT ? static_cast<LPVOID>(doc) : frame;
    return StartOperation(row.thread, param, row.nameId, doc);
}

BOOL RunCommand(const CommandRow& row, const CommandCall& call) {
    if (row.how == HOW_DEFAULT || refused(row.refusal, call.doc)) return FALSE;
    if (asks(row.how) && (!row.ask || !row.ask(call.frame))) return FALSE;
    if (threaded(row.how)) return StartCommandThread(row, call.frame, call.doc) ? TRUE : FALSE;
    if (!row.procedure) return FALSE;
    row.procedure(call);
    return TRUE;
}
