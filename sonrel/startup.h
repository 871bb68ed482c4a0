// Start-up: the command line, the window classes, the splash and the start
// assistant.
#pragma once

#include <platform/platform.h>

#include "frame.h"

enum CommandLineKind {
    COMMANDLINE_NONE,    // empty, or a switch other than the CD switch
    COMMANDLINE_PATH,    // a file to open
    COMMANDLINE_CDTRACK  // "/CD": a track number to pass on
};

struct CommandLine {
    CommandLineKind kind;
    char path[PENDING_PATH_CHARS];  // the whole line for COMMANDLINE_PATH (cut to 255)
    int track;  // the two characters at positions 12 and 13 (from 1); 0 when absent
};

// Reads the text after the program's name, unquoted and untrimmed. A switch
// starts with '/' and has no other '/' in its first word; anything else that
// is not empty is a path.
CommandLine ParseCommandLine(const char* line);

// Registers the eleven window classes of the program under inst.
void RegisterShellClasses(HINSTANCE inst);

// The splash "START": topmost, gone after 2.2 s; on its end the start
// assistant opens unless "Sonrel\Settings\Boolean\StartAssistant" is set.
HWND CreateSplash(HINSTANCE inst);
// The tips dialog "STARTASSISTANT", modeless, owned by the frame. When one is
// open it is brought to the front instead.
HWND CreateStartAssistant(HWND owner);
