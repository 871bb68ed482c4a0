// Registers the program's resources (strings, bitmaps, cursors, templates,
// menus) with the layer under the program's module instance.
#pragma once

#include <platform/platform.h>

void RegisterProgramResources(HINSTANCE inst);
