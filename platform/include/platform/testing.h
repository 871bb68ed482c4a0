// Names that exist for tests only: question hooks use them to answer the
// layer's own dialogs. Production code never includes this header.
#pragma once

#include <platform/platform.h>

// The format chooser (acmFormatChoose): the combo box that lists the formats
// (CB_GETLBTEXT gives each entry's text, CB_SETCURSEL picks one before the
// hook answers IDOK) and the static that names the format tag.
#define PLATFORM_IDC_FORMATCHOOSE_TAG 1000
#define PLATFORM_IDC_FORMATCHOOSE_LIST 1001
