// What an extension library shares with the editor: its information record
// and the three entry points it exports. An extension is a shared library
// that adds one filter command; see docs/extensions.md for writing one.
//
// The record. The editor hands GetExtensionInformation a zeroed record of
// EXTENSION_RECORD_BYTES, the extension fills it, then the editor writes the
// command id and the module handle. The editor reads or writes only these
// fields; every other byte is the extension's own:
//
//   offset  size            written by   meaning
//   0       16-bit          editor       command id, 1001 + load index
//   4       491 (to 494)    extension    menu item text, NUL-terminated
//   495     125 (to 619)    extension    description: the text before the first
//                                        carriage return (13) is the status-bar
//                                        help, the text after it the button's
//                                        tooltip; without one, the whole text
//                                        is both
//   620     32-bit          extension    nonzero: Filter runs on a thread of its
//                                        own; zero: on the frame's thread
//   628     32-bit          extension    nonzero: the command is active; zero:
//                                        choosing it does nothing
//   632     pointer         editor       the loaded library (HMODULE)
//   632+P   pointer         extension    the function bar button's image
//                                        (HBITMAP, one image; may be null)
//
// P is the size of a pointer. The handles need a whole pointer on a 64-bit
// system, so the bitmap handle follows the module handle and the record is
// 632 + 2 P bytes: 648 on x86-64, 640 where pointers have 32 bits. The text
// and flag offsets are the same everywhere. The editor cuts both texts at
// their last byte, so an unterminated text cannot run past its field.
//
// The entry points (C linkage, exported by these exact names):
//   GetExtensionInformation(record)  once, right after loading; result unused
//   ShowDialogBox(frame)             each time the command is chosen; nonzero
//                                    goes on to the filter, zero stops
//   Filter(frame)                    after ShowDialogBox gave nonzero; on a
//                                    thread its result is the exit code
// Nothing may be thrown out of them: the editor catches what escapes, ends a
// threaded filter as an operation that gave up, and says so in a box.
#pragma once

#include <platform/platform.h>

#include <cstddef>

// Where the editor finds extensions: one subkey per library under this key of
// the current user's registry store; the subkey's name is the library's file
// name, looked for in the user's extensions folder (EXTENSIONS_USER_FOLDER
// under the data folder, PlatformDataPath) and then in the installed one
// (EXTENSIONS_INSTALLED_FOLDER beside the program's folder). Values are not read.
#define EXTENSIONS_KEY "Software\\Kestrowe\\Sonrel\\Extensions"
#define EXTENSIONS_USER_FOLDER "extensions"
#define EXTENSIONS_INSTALLED_FOLDER "../lib/sonrel/extensions"

// At most this many extensions load (command ids 1001 to 1128).
#define EXTENSIONS_MAX 128

#define EXTENSION_MENUTEXT_OFFSET 4
#define EXTENSION_MENUTEXT_BYTES 491
#define EXTENSION_DESCRIPTION_OFFSET 495
#define EXTENSION_DESCRIPTION_BYTES 125
#define EXTENSION_THREADED_OFFSET 620
#define EXTENSION_ACTIVE_OFFSET 628
#define EXTENSION_MODULE_OFFSET 632
#define EXTENSION_BITMAP_OFFSET (632 + sizeof(void*))
#define EXTENSION_RECORD_BYTES (632 + 2 * sizeof(void*))

struct ExtensionInfo {
    WORD commandId;  // editor
    BYTE own0[2];    // the extension's
    char menuText[EXTENSION_MENUTEXT_BYTES];
    char description[EXTENSION_DESCRIPTION_BYTES];
    DWORD threaded;
    BYTE own1[4];  // the extension's
    DWORD active;
    HMODULE module;  // editor
    HBITMAP bitmap;
};

static_assert(offsetof(ExtensionInfo, commandId) == 0);
static_assert(offsetof(ExtensionInfo, menuText) == EXTENSION_MENUTEXT_OFFSET);
static_assert(offsetof(ExtensionInfo, description) == EXTENSION_DESCRIPTION_OFFSET);
static_assert(offsetof(ExtensionInfo, threaded) == EXTENSION_THREADED_OFFSET);
static_assert(offsetof(ExtensionInfo, active) == EXTENSION_ACTIVE_OFFSET);
static_assert(offsetof(ExtensionInfo, module) == EXTENSION_MODULE_OFFSET);
static_assert(offsetof(ExtensionInfo, bitmap) == EXTENSION_BITMAP_OFFSET);
static_assert(sizeof(ExtensionInfo) == EXTENSION_RECORD_BYTES);
static_assert(sizeof(void*) != 4 || sizeof(ExtensionInfo) == 640);

// The entry points' names and types.
#define EXTENSION_GETINFO_NAME "GetExtensionInformation"
#define EXTENSION_SHOWDIALOG_NAME "ShowDialogBox"
#define EXTENSION_FILTER_NAME "Filter"
typedef void (*GetExtensionInformationProc)(ExtensionInfo* info);
typedef DWORD (*ShowDialogBoxProc)(HWND frame);
typedef DWORD (*FilterProc)(HWND frame);

// For an extension's own source: exports a function under its plain name.
#define EXTENSION_EXPORT extern "C" __attribute__((visibility("default")))
