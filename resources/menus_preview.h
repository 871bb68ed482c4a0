// The preview bar's context menu "PREVIEWMENU": its first popup is shown.
#pragma once

#include <platform/platform.h>

void RegisterPreviewMenu(HINSTANCE inst);
