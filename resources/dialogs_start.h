// The dialog templates of the program's start: the splash "START" and the
// tips dialog "STARTASSISTANT".
#pragma once

#include <platform/platform.h>

void RegisterStartDialogTemplates(HINSTANCE inst);
