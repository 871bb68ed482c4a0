// The thread manager's context menu "LISTMENU".
#pragma once

#include <platform/platform.h>

void RegisterThreadMenu(HINSTANCE inst);
