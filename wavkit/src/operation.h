// The operation thread protocol: how an editing operation started by the frame
// on a thread of its own speaks to the frame, written once for every thread
// procedure.
//
// An operation asks the frame for the active document (UM_GETACTIVEDOC) and
// the windows it repaints, announces its start (UM_THREADBEGIN with the
// document and its display-name string id), works on the document while it
// holds the document's guard, repaints, clears the saved flag, announces its
// end (UM_THREADEND with its thread id) and ends its thread with exit code 1.
// One that gives up ends through BreakThread (exit code 0) instead.
//
// Messages are sent only while the guard is not held: a window that answers
// them may take the guard itself (the view painting the document).
#pragma once

#include <kernels/kernels.h>
#include <platform/platform.h>

#include <cstdint>

#include "document.h"

namespace op {

// --- Single steps (the active document is doc::active_document).
HWND ask_preview(HWND frame);  // UM_GETPREVIEW: the preview bar
HWND ask_status(HWND frame);   // UM_GETSTATUSBAR: the status bar
// UM_THREADBEGIN: the frame counts one more running operation.
void announce_start(HWND frame, HWND doc, UINT displayId);
// Repaints the whole client area, without erasing; null is ignored.
void repaint(HWND w);
// UM_THREADEND with this thread's id, then the thread ends with exit code 1.
[[noreturn]] void finish(HWND frame);
// The stop check an operation hands its kernels (PlatformCheckpoint): between
// their slices a thread asked to stop ends and one asked to wait waits.
void checkpoint();

// A document's sample data, pinned under its guard for one piece of work.
struct Samples {
    uint8_t* data;          // null when the document has no data
    uint32_t size;          // bytes of data, never more than the WAVE block holds
    int bits;               // 8, or 16 for any other bits per sample
    unsigned channels;      // as the HEADER gives it
    unsigned blockAlign;    // bytes per frame, as the HEADER gives it
    uint32_t markStart;     // bytes, as the POSITION block gives them
    uint32_t markLength;    // bytes; 0: no mark
    kern::ByteRange range;  // the working range, within the data
};
Samples samples_of(const doc::Work& w);

// The bytes a walk over the range's sample values may change: the range, with
// a 16-bit start rounded down to a whole value.
kern::ByteRange change_span(kern::ByteRange r, int bits);
// The smallest range holding both.
kern::ByteRange span_union(kern::ByteRange a, kern::ByteRange b);

// One in-place change, made under the document's guard.
struct Edit {
    HWND doc;
    const char* undoText;
    Samples s;
    // Records undo kind 1 over the bytes about to change; call before changing.
    void record(kern::ByteRange span) const;
};

// An operation that changes sample values in place without changing the length.
struct InPlace {
    UINT displayId;        // the name under which the frame lists it
    const char* undoText;  // text of the undo record it makes
    unsigned setting;      // a setting read before the protocol started, for change
    // Decides and makes the change: records undo (Edit::record) before any byte changes.
    void (*change)(const Edit& e, unsigned setting);
};

// The whole protocol around an in-place change; ends the thread.
[[noreturn]] void run_in_place(HWND frame, const InPlace& op);

// Runs a thread procedure's body; whatever escapes it ends the thread through
// BreakThread so that the frame still hears of its end.
[[noreturn]] void thread_body(LPVOID frame, void (*body)(HWND frame));

}  // namespace op
