// The dialog templates of choosing files: the open dialog's preview panel
// "RV_OPENFILE" and the RAW format dialog "RAW".
#pragma once

#include <platform/platform.h>

void RegisterFileDialogTemplates(HINSTANCE inst);
