// The program's menus and its accelerator table.
#pragma once

#include <platform/platform.h>

void RegisterMenus(HINSTANCE inst);
