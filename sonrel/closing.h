// Closing the program and its documents: the running-operations question, the
// frame's placement, the save question per document, and the cleanup when the
// frame is destroyed. Everything here runs on the user-interface thread.
#pragma once

#include <platform/platform.h>

// With live operations asks "Not all running actions have been terminated..."
// and on Yes terminates them (entries stay). 1: go on closing; 0: stop.
BOOL ConfirmClose(HWND frame);
// Writes the frame's show state and normal placement, and the function bar's
// and the CD player's normal left and top, to the settings.
void SavePlacement(HWND frame, HWND funcBar);
// For an unsaved document asks whether to save it (and saves it on Yes).
// 0: Cancel, stop closing; 1: go on (saved, declined, or the save dialog
// cancelled). A document with nothing to save gives 1 without asking.
BOOL CloseDocumentPrompt(HWND doc);
// Walks every document of the frame: the save question, then the MDI destroy
// request. FALSE when a question was cancelled (that document and the ones
// after it stay open).
BOOL CloseAllDocuments(HWND frame);
// Deletes a file of this name in the temporary folder ("SnrCLIP.WAV", ...).
void DeleteTemporaryFile(const char* name);
// WM_DESTROY of the frame: temporary files, the start assistant, the CD
// player, flags, menus, and the quit message.
void FrameDestroyed(HWND frame);
// WM_ENDSESSION: asks the session to start the program once at the next logon.
void RememberLogonStart(void);
