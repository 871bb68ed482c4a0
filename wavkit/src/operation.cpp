// The operation thread protocol around the kernels.
#include "operation.h"

#include <sonrel/messages.h>

#include <algorithm>

#include "entry.h"

namespace op {

HWND ask_preview(HWND frame) {
    return reinterpret_cast<HWND>(SendMessage(frame, UM_GETPREVIEW, 0, 0));
}

HWND ask_status(HWND frame) {
    return reinterpret_cast<HWND>(SendMessage(frame, UM_GETSTATUSBAR, 0, 0));
}

void announce_start(HWND frame, HWND doc, UINT displayId) {
    SendMessage(frame, UM_THREADBEGIN, reinterpret_cast<WPARAM>(doc),
                static_cast<LPARAM>(displayId));
}

void repaint(HWND w) {
    if (w) InvalidateRect(w, nullptr, FALSE);
}

void finish(HWND frame) {
    SendMessage(frame, UM_THREADEND, static_cast<WPARAM>(GetCurrentThreadId()), 0);
    ExitThread(1);
}

void checkpoint() {
    PlatformCheckpoint();
}

Samples samples_of(const doc::Work& w) {
    Samples s{};
    s.bits = 8;
    if (w.header) {
        s.bits = w.header->bitsPerSample == 8 ? 8 : 16;
        s.channels = w.header->channels;
        s.blockAlign = w.header->blockAlign;
        if (w.wave) {
            SIZE_T held = GlobalSize(w.wave.handle);
            s.data = w.wave.ptr;
            s.size = static_cast<uint32_t>(std::min<SIZE_T>(w.header->dataSize, held));
        }
    }
    if (w.position) {
        s.markStart = w.position->markStart;
        s.markLength = w.position->markLength;
    }
    s.range = kern::working_range(s.markStart, s.markLength, s.size);
    return s;
}

kern::ByteRange change_span(kern::ByteRange r, int bits) {
    if (bits == 8 || r.length == 0) return r;
    uint32_t start = r.start & ~1u;
    return kern::ByteRange{start, r.length + (r.start - start)};
}

kern::ByteRange span_union(kern::ByteRange a, kern::ByteRange b) {
    if (a.length == 0) return b;
    if (b.length == 0) return a;
    uint64_t start = std::min(a.start, b.start);
    uint64_t end = std::max(uint64_t{a.start} + a.length, uint64_t{b.start} + b.length);
    return kern::ByteRange{static_cast<uint32_t>(start), static_cast<uint32_t>(end - start)};
}

void Edit::record(kern::ByteRange span) const {
    SaveUndoInformation(doc, span.start, span.length, UNDO_CHANGED, undoText);
}

void run_in_place(HWND frame, const InPlace& op) {
    HWND doc = doc::active_document(frame);
    HWND preview = ask_preview(frame);
    announce_start(frame, doc, op.displayId);
    if (doc) {
        {
            doc::Work work(doc);
            Edit edit{doc, op.undoText, samples_of(work)};
            op.change(edit, op.setting);
        }
        repaint(doc);
        repaint(preview);
        SetFileNotSaved(doc);
    }
    finish(frame);
}

void thread_body(LPVOID frame, void (*body)(HWND frame)) {
    HWND f = static_cast<HWND>(frame);
    entry::guarded([f] { BreakThread(f); }, [&] { body(f); });
    finish(f);
}

}  // namespace op
