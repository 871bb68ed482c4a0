// The procedures of the file and clipboard-file commands, as rows of the
// command table call them on the user-interface thread. Each runs only after
// its row's refusal rule: those that need a document get it in call.doc.
// A file dialog answered with "FALSE" (Cancel) changes nothing.
#pragma once

#include "command_table.h"

// New: a new empty document, numbered one higher than the last.
void NewCommand(const CommandCall& call);
// Open: the open dialog, then the chosen file is read at once (as OpenPath).
void OpenCommand(const CommandCall& call);
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
