// Start-up: the command line, the window classes, the splash and the start
// assistant.
#pragma once

#include <platform/platform.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frame.h"

enum CommandLineKind {
    COMMANDLINE_NONE,    // empty, or a switch other than the CD switch
    COMMANDLINE_PATH,    // a file to open
    COMMANDLINE_CDTRACK  // "/CD": a track number to pass on
};

struct CommandLine {
    CommandLineKind kind;
    std::string path;  // the whole line for COMMANDLINE_PATH, however long
    int track;         // the two characters at positions 12 and 13 (from 1); 0 when absent
};

// Reads the text after the program's name, unquoted and untrimmed. A switch
// starts with '/' and has no other '/' in its first word; anything else that
// is not empty is a path.
CommandLine ParseCommandLine(const char* line);
// A path of the command line as the folder it was given in names it: a
// relative path is joined to the current folder (and "." and ".." taken
// out), so that a running copy started elsewhere opens the same file.
std::string AbsolutePath(const std::string& path);

// The paths of a path command line: one per line (several files), or the
// whole line.
std::vector<std::string> CommandLinePaths(const std::string& line);
// The command line of the program's arguments: joined by blanks, except when
// several arguments are given that together name no file: then each is a
// path of its own and they are joined one per line.
std::string CommandLineOf(int argc, char** argv);

// "--help" and "--version" as the only argument: prints the usage, or the
// version, to out and gives TRUE; nothing else is started.
BOOL PrintInformation(int argc, char** argv, FILE* out);

// Registers the eleven window classes of the program under inst.
void RegisterShellClasses(HINSTANCE inst);

// The splash "START": topmost, gone after 2.2 s; on its end the start
// assistant opens unless "Sonrel\Settings\Boolean\StartAssistant" is set.
HWND CreateSplash(HINSTANCE inst);
// The tips dialog "STARTASSISTANT", modeless, owned by the frame. When one is
// open it is brought to the front instead.
HWND CreateStartAssistant(HWND owner);
