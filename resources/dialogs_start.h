// The dialog templates of the program's start: the splash "START" and the
// tips dialog "STARTASSISTANT".
#pragma once

#include <platform/platform.h>

// The start assistant's controls.
#define ASSISTANT_NEW 101
#define ASSISTANT_OPEN 102
#define ASSISTANT_WELCOME 103
#define ASSISTANT_NEXTTIP 104
#define ASSISTANT_DONTSHOW 201
#define ASSISTANT_EXIT 202

void RegisterStartDialogTemplates(HINSTANCE inst);
