// The recording dialogs: the level check "BEFORERECORD" / "BEFORERECORDCD"
// and the recording "RECORDTOFILE" / "RECORDTOFILECD" (the CD forms add the
// CD start text), with the recording animation "RECORD": a pulsing red dot.
#pragma once

#include <platform/platform.h>

void RegisterRecordDialogTemplates(HINSTANCE inst);
