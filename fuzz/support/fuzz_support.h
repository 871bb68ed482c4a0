// What the fuzz targets share: a private settings home and the platform
// started once per process, and the consistency check of a document's blocks.
#pragma once

#include <platform/platform.h>

#include <string>

namespace fuzzing {

// Once per process: the offscreen Qt platform, a fresh settings home under
// /tmp (SONREL_HOME, removed at exit), the platform started and every
// question answered OK. The home folder, or "" when none could be made.
const std::string& start_platform();

// Aborts when the document's blocks disagree: a data size beyond its WAVE
// block, a file length other than data size + header, data not readable to
// its end, or (with whole_frames) a data size that is not whole frames.
void check_document(HWND doc, bool whole_frames = false);

}  // namespace fuzzing
