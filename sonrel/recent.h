// The recent-files list: the settings File1 .. FileN under RecentFiles, entry
// 1 the newest, N the stored NumberOfFiles held to at most 20 (the commands
// 3001 .. 3020 reach no further). Paths are compared exactly: on Linux two
// paths that differ only in case are two files. User-interface thread only.
#pragma once

#include <platform/platform.h>

#include <string>

#include "command_table.h"

// The number of entries the list holds: NumberOfFiles, at most 20.
int RecentFileCount(void);
// Entry number (from 1); "" when it is empty or beyond the list.
std::string RecentFile(int number);
// Puts path at the top unless the list holds it already (the order is then
// kept); the oldest entry drops out. A path ending in "mp3" is stored with
// "wav" in its place, the file the decoder wrote. Empty paths are ignored.
void AddRecentFile(const char* path);
// The rolldown: "&n path" with command 3000 + n for each stored entry, a
// separator after every fifth entry that is not the last. The caller
// destroys the menu.
HMENU BuildRecentMenu(void);
// Commands 3001 .. 3020: opens the entry as the Open command does; an empty
// entry does nothing. The list is not reordered.
void RecentFileCommand(const CommandCall& call);
