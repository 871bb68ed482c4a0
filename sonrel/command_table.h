// The frame's command table: one row per command id, or per range of ids,
// saying how the command runs, what refuses it and what it calls. The frame
// looks every WM_COMMAND up here (FrameCommand); an id without a row, and a
// row of HOW_DEFAULT, goes to the default frame handling.
//
// Adding a command: one row in the table of commands.cpp, its id in
// <sonrel/ids.h>, its menu item or accelerator in resources/menus.cpp and its
// help text (string id = command id) in resources/strings.cpp.
//
// Everything here runs on the user-interface thread.
#pragma once

#include <platform/platform.h>

#include <span>

// How a row runs, once its refusal rule let it.
enum CommandHow {
    HOW_THREAD,      // starts `thread` as an operation under `nameId`
    HOW_ASK_THREAD,  // `ask` on the frame first; 0 (Cancel) starts nothing
    HOW_FRAME,       // calls `procedure` on this thread
    HOW_ASK_FRAME,   // `ask` on the frame first; 0 calls nothing
    HOW_SPECIAL,     // calls `procedure`, which decides itself what to run
    HOW_DEFAULT,     // the default frame handling, as for an unknown id
};

// What refuses a row before it runs.
enum CommandRefusal {
    REFUSE_NONE,         // runs with or without an active document
    REFUSE_NO_DOCUMENT,  // does nothing without an active document
    REFUSE_BUSY,         // does nothing while IsFileWorking reports the active
                         // document (a missing document counts as working)
    REFUSE_OPERATING,    // as REFUSE_BUSY, and also while an operation the
                         // frame started on the active document still runs
};

// The argument an operation thread gets.
enum ThreadParam {
    PARAM_FRAME,     // the frame window (effects)
    PARAM_DOCUMENT,  // the document window (clipboard operations)
};

// One command as the frame received it.
struct CommandCall {
    HWND frame;
    HWND doc;  // the active document when the command came, or null
    WORD id;   // LOWORD(wp)
    WPARAM wp;
    LPARAM lp;
};

struct CommandRow {
    WORD id;  // the command, or the first of the range up to `last`
    CommandHow how;
    CommandRefusal refusal;
    DWORD nameId = 0;                         // display name of the operation (IDS_NAME_...)
    BOOL (*ask)(HWND frame) = nullptr;        // the asking dialog; 0 is Cancel
    LPTHREAD_START_ROUTINE thread = nullptr;  // the operation's thread procedure
    void (*procedure)(const CommandCall&) = nullptr;  // work on this thread
    WORD last = 0;                                    // last id of a range; 0: the row is one id
    ThreadParam param = PARAM_FRAME;
};

// The row that covers id (the first one, in table order), or null.
const CommandRow* FindCommand(std::span<const CommandRow> table, WORD id);

// Runs a row that is not HOW_DEFAULT: checks its refusal rule against the
// active document, asks, then starts its thread or calls its procedure.
// TRUE when the work started or was called; FALSE when refused, cancelled or
// no thread could be started.
BOOL RunCommand(const CommandRow& row, const CommandCall& call);

// Starts the row's operation thread on doc without checking anything. The
// thread handle, or null when none was started.
HANDLE StartCommandThread(const CommandRow& row, HWND frame, HWND doc);

// The program's table (commands.cpp).
std::span<const CommandRow> FrameCommands();
