// The disk clipboard inside wavkit: where the clipboard file lives, the lock
// that serialises its use across threads and running copies, and the loader
// that reads it as a clip in a document's format.
#pragma once

#include <string>

#include "document.h"

namespace clip {

// GetTempPath() + "SnrCLIP.WAV".
std::string clipboard_path();

// The named mutex "SnrClipboard", opened (or made, when no running copy made
// it) and owned from acquire() until release() or the end of the scope.
struct ClipboardLock {
    HANDLE mutex = nullptr;
    bool held = false;
    ClipboardLock() = default;
    ~ClipboardLock() { release(); }
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;
    // Waits without a time limit; a stop request ends the thread here.
    void acquire();
    void release();
};

// A clip in memory: a 44-byte HEADER image and a data block of data size +
// WAVE_SPARE_BYTES bytes. Both are the holder's until taken; the destructor
// releases what is left.
struct Clip {
    HGLOBAL header = nullptr;
    HGLOBAL data = nullptr;
    Clip() = default;
    ~Clip();
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;
    void reset();
};

// Reads the clipboard file. With anyFormat clear the clip is converted to the
// document's format when its bits, rate or channels differ. The clip's data
// size is held to whole frames of its format. False (clip empty) when the file
// is missing (no message) or bad, or the conversion or memory failed (after
// the message).
bool load(HWND doc, bool anyFormat, Clip& out);

// The frame of a document window (UM_GETFRAME), or null.
HWND frame_of(HWND doc);
// Repaints the select bar, which shows the clipboard (UM_GETSELECTBAR).
void repaint_select_bar(HWND frame);

}  // namespace clip
