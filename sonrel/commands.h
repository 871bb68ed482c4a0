// The frame's commands (WM_COMMAND) and the frame messages it answers for
// any sender. Both run on the user-interface thread.
#pragma once

#include <platform/platform.h>

// Acts on the command in LOWORD(wp) by its row of the command table; an id
// without a row, or with a default-handling row, goes to the default frame
// handling. Gives the message result.
LRESULT FrameCommand(HWND frame, WPARAM wp, LPARAM lp);
// Answers a frame message (UM_GETACTIVEDOC ... UM_GETTHREADMAN); FALSE when
// msg is none of them.
BOOL FrameMessage(HWND frame, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
// A command line handed over by a later copy: raises the frame, then opens
// each path (one per line) as IDM_OPENPATH does or passes a CD switch's track
// as IDM_CDTRACK.
void FrameHandOver(HWND frame, const char* line);
// Opens a wave file into a new document, as IDM_OPENPATH and the command line
// do; an empty path does nothing.
void OpenPath(HWND frame, const char* path);
// Opens the files named on the command line of this copy, each as OpenPath
// does, and forgets them.
void OpenCommandLineFiles(HWND frame);
// UM_STARTPASTE and UM_STARTPASTEMIX: pastes (or, with mix, mixes) the
// clipboard into doc on a thread of its own, even while doc is busy.
void StartPaste(HWND doc, BOOL mix);
