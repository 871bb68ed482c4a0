// The program's string table.
#pragma once

#include <platform/platform.h>

void RegisterStringTable(HINSTANCE inst);
