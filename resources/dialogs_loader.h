// The loader window's template "HUGE" ("RevaZUD Loader"): a modeless window
// that loads a part of a large wave file.
#pragma once

#include <platform/platform.h>

void RegisterLoaderDialogTemplates(HINSTANCE inst);
