// The select bar ("SELECTBAR"): rolldowns for the recent files, the
// extensions and the open windows; the disk clipboard's state, with a drag of
// the clipboard onto a document (paste, with Ctrl a mix); the active
// document's zoom with its buttons and menu; the thread count, which the
// thread manager's background thread draws. User-interface thread only.
//
// Fields are fixed x ranges of the bar's client area, the right-hand ones
// counted from the right edge R, so they stay in place as the frame widens.
#pragma once

#include <platform/platform.h>

#include <string>
#include <vector>

enum SelectField {
    FIELD_NONE,
    FIELD_RECENT,      // 0 .. 80
    FIELD_EXTENSIONS,  // 80 .. 170
    FIELD_WINDOWS,     // 170 .. 275
    FIELD_CLIPBOARD,   // R - 320 .. R - 220
    FIELD_INFO,        // R - 220 .. R - 200
    FIELD_ZOOMIN,      // R - 200 .. R - 184
    FIELD_ZOOM,        // R - 184 .. R - 116
    FIELD_ZOOMOUT,     // R - 116 .. R - 100
};

// The field a click at client x hits on a bar of width w; borders belong to
// no field (the ranges are open).
SelectField SelectFieldAt(int x, int w);

// The clipboard file's size in bytes; -1 when it is missing. A file of at
// most 10 bytes counts as empty: it shows so and cannot be dragged.
long long ClipboardFileSize(void);
// The clipboard field's texts for a file of bytes (see ClipboardFileSize),
// longest first; the field shows the first that fits it. "Clipboard" when
// empty, else the size in whole KB and the top folder of the temporary
// directory, where the file lives: "2 KB  (on /tmp)", "2 KB (/tmp)", "2 KB".
std::vector<std::string> ClipboardFieldTexts(long long bytes, const char* tempDir);

// The zoom a zoom menu command stores (sample values per pixel column, 0 the
// whole file); FALSE for an id that stores none (User Defined asks instead).
BOOL ZoomOfCommand(WORD id, DWORD* zoom);
// The zoom field's text: "%u x", "Whole File" for 0.
std::string ZoomText(DWORD zoom);

// The sample-value step and byte offset a drop at client x of a document
// window of width w lands on: x is held within [3, w - 3], less 3; step =
// zoom, or the sample values / (w - 6) for the whole file; the offset =
// step * x + view start, doubled for 16-bit data, at most dataSize, rounded
// down to a multiple of 4.
DWORD DocumentDropOffset(int x, int w, DWORD zoom, LONG viewStart, DWORD dataSize, WORD bits);
// The byte offset a drop at x of the preview bar of width w lands on:
// dataSize / (w - 26) * (x - 20), x held within [20, w - 6], rounded down to
// a multiple of 4.
DWORD PreviewDropOffset(int x, int w, DWORD dataSize);
