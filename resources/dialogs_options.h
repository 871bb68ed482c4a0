// The pages of the options sheet (templates 119 "User", 120 "New Files",
// 121 "Design", 124 "General", 123 "Threads", registered under their numbers)
// and the sound drivers' page "DEVCAPS".
#pragma once

#include <platform/platform.h>

void RegisterOptionsDialogTemplates(HINSTANCE inst);
