// Extensions: filter libraries named in the registry store, loaded when the
// frame is created and released when it is destroyed. Each loaded extension
// has one record (<sonrel/extension.h>), command id 1001 + its load index, an
// item in the extensions popup and, while extension icons are shown, a button
// at the end of the function bar's toolbar.
//
// The table is filled once and then only read; everything here runs on the
// user-interface thread, except the threaded filters it starts.
#pragma once

#include <platform/platform.h>
#include <sonrel/extension.h>

#include <span>
#include <string>

// Loads every extension named under EXTENSIONS_KEY in the order the store
// enumerates them, at most EXTENSIONS_MAX, appending one item per extension
// to popup. Names that hold a '/' or name no file in the extensions folders
// are skipped silently, as are libraries that cannot be loaded; a library
// without GetExtensionInformation gets an error box and is released. Any
// extensions loaded before are released first. Gives the count loaded.
int LoadExtensions(HMENU popup);
// Releases every loaded library; the table is empty afterwards.
void ReleaseExtensions(void);

// The loaded extensions' records, in load order (the function bar's buttons:
// commandId, the tooltip through ExtensionTooltipText, bitmap).
std::span<const ExtensionInfo> LoadedExtensions(void);
// Where a library of this file name is looked for: the user's extensions
// folder first, then the installed one. Empty for a name with a '/' or none.
std::string FindExtensionLibrary(const char* fileName);

// The command of an extension id (1001 up): nothing for an inactive record or
// an id without an extension; else its dialog on the frame, then, unless the
// active document is missing or working, its filter: started as an operation
// ("Sonrel2003 Extension Filter") or called directly. "Could not display
// dialog box." when the library has no ShowDialogBox.
void ExtensionCommand(HWND frame, WORD id);

// Adds one button per extension (its image added to the toolbar's images
// again) at the end of the toolbar in one request, then resizes it.
void AddExtensionButtons(HWND toolbar);
// Removes the toolbar's last n buttons, n the number of extensions (none when
// the toolbar has fewer).
void RemoveExtensionButtons(HWND toolbar);

// Puts the buttons on the function bar's toolbar (UM_GETFUNCTOOLBAR) or takes
// them off, and checks or unchecks its button 755 to match.
void ShowExtensionButtons(BOOL shown);
// Only checks or unchecks the function bar's button 755.
void CheckExtensionsButton(BOOL shown);

// The highlighted menu item's help for ids 1000 to 1128 on the status bar:
// the description up to its first carriage return (nothing for an id without
// an extension).
void ShowExtensionStatusText(HWND statusBar, UINT id);
// The button's tooltip for id: the description after its first carriage
// return, or all of it without one; "" for an id without an extension. The
// text stays in a buffer of 256 bytes until the next call.
const char* ExtensionTooltipText(UINT id);
