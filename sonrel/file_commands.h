// The procedures of the file and clipboard-file commands, as rows of the
// command table call them on the user-interface thread. Each runs only after
// its row's refusal rule: those that need a document get it in call.doc.
// A file dialog answered with "FALSE" (Cancel) changes nothing.
#pragma once

#include "command_table.h"

// New: a new empty document, numbered one higher than the last.
void NewCommand(const CommandCall& call);
// Opens path in the background: the path is stored in
// "Sonrel\NewFile\FileOpen", an empty document numbered `number` is made,
// and OpenCompressedWAV fills it on an operation thread ("Open File ").
// The thread handle, or null when nothing was started. For the open
// command, the recent files and UM_OPENPENDING.
HANDLE OpenInBackground(HWND frame, const char* path, int number);
// UM_OPENPENDING: the background open of the path already stored in
// "Sonrel\NewFile\FileOpen", with the current new-document number.
void OpenPending(HWND frame);
// Open: the open dialog, then the chosen file through the background open
// (with the current new-document number).
void OpenCommand(const CommandCall& call);
// Revert: after the question, the document's data is released and the
// background open reads its file again into it. Only for a changed document
// whose file exists (else "File not found. Please check the pathname.").
void RevertCommand(const CommandCall& call);
// Open path: the path in call.lp, as OpenPath.
void OpenPathCommand(const CommandCall& call);
// Save and Save as: write the document as a wave file and mark it saved;
// Save as also takes the chosen path as the document's path and title.
void SaveCommand(const CommandCall& call);
void SaveAsCommand(const CommandCall& call);
// Close: the save question, then the document window goes.
void CloseCommand(const CommandCall& call);
// The clipboard file: delete it after a question, write it to a chosen file,
// or replace it by a chosen file.
void DeleteClipboardCommand(const CommandCall& call);
void ExportClipboardCommand(const CommandCall& call);
void ImportClipboardCommand(const CommandCall& call);
