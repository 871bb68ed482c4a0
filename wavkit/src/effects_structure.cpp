// Erase, crop and insert silence: the operations that change the data's length
// by moving bytes within the one WAVE block.
//
// Erase and crop move their bytes reversibly (kern::bring_down) before they
// shrink the block, so a block that cannot be resized gets its bytes back and
// the document stays as it was. Insert silence grows the block first and moves
// nothing when it cannot.
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include <algorithm>

#include "entry.h"
#include "operation.h"

namespace {

using kern::ByteRange;

constexpr UINT kInsertSilenceName = IDS_NAME_INSERTSILENCE;

enum class Outcome { kDone, kNothing, kFailed };

Outcome erase_mark(HWND doc) {
    doc::Work work(doc);
    op::Samples s = op::samples_of(work);
    if (!work.header || s.markLength == 0) return Outcome::kNothing;
    ByteRange r = kern::clip_range(ByteRange{s.markStart, s.markLength}, s.size);
    if (r.length == 0) return Outcome::kDone;
    SaveUndoInformation(doc, r.start, r.length, UNDO_REMOVED, UNDO_TEXT_DELETE);
    uint32_t kept = s.size - r.length;
    kern::bring_down(s.data, r.start, r.start + r.length, s.size, op::checkpoint);
    work.unpin();
    bool resized = doc::resize_wave(doc, kept);
    work.repin();
    if (!resized) {
        kern::restore_down(work.wave.ptr, r.start, r.start + r.length, s.size, op::checkpoint);
        ForbidUndo(doc);  // under the guard, so no later record is cleared
        return Outcome::kFailed;
    }
    doc::set_data_size(work.header.ptr, kept);
    if (work.position) work.position->markLength = 0;
    return Outcome::kDone;
}

Outcome crop_to_mark(HWND doc) {
    doc::Work work(doc);
    op::Samples s = op::samples_of(work);
    if (s.size == 0 || s.markLength == 0) return Outcome::kDone;
    ByteRange r = kern::clip_range(ByteRange{s.markStart, s.markLength}, s.size);
    if (r.length == 0) return Outcome::kDone;
    kern::bring_down(s.data, 0, r.start, r.start + r.length, op::checkpoint);
    work.unpin();
    bool resized = doc::resize_wave(doc, r.length);
    work.repin();
    if (!resized) {
        kern::restore_down(work.wave.ptr, 0, r.start, r.start + r.length, op::checkpoint);
        return Outcome::kFailed;
    }
    doc::set_data_size(work.header.ptr, r.length);
    if (work.position) {
        work.position->markStart = r.length;
        work.position->markLength = 0;
    }
    // The older undo record names bytes that are no longer where it says.
    ForbidUndo(doc);
    return Outcome::kDone;
}

// The insertion itself, under the guard the caller holds.
bool insert_silence_guarded(HWND doc, unsigned seconds, unsigned milliseconds, bool* wasEmpty) {
    doc::Work work(doc);
    op::Samples s = op::samples_of(work);
    *wasEmpty = s.size == 0;
    if (!work.header) return true;
    uint64_t count = uint64_t{kern::bytes_per_ms(work.header->bytesPerSec)} *
                     (uint64_t{seconds} * 1000 + milliseconds);
    uint32_t at = std::min(s.markStart, s.size);
    if (s.bits != 8) {
        // 16-bit data gains whole values only, at a value boundary, so the
        // values after the insertion keep their alignment.
        count &= ~uint64_t{1};
        at &= ~1u;
    }
    if (!doc::data_size_fits(uint64_t{s.size} + count)) return false;
    SaveUndoInformation(doc, at, static_cast<DWORD>(count), UNDO_INSERTED, UNDO_TEXT_INSERTSILENCE);
    uint32_t added = static_cast<uint32_t>(count);
    if (s.size == 0) {
        HGLOBAL made = doc::alloc_block(uint64_t{added} + WAVE_SPARE_BYTES, false);
        doc::Pin<BYTE> fresh(made);
        if (!fresh) {
            doc::free_block(made);
            return false;
        }
        kern::fill_silence(fresh.ptr, s.bits, 0, added, op::checkpoint);
        fresh.release();
        work.unpin();
        if (!doc::replace(doc, PROP_WAVE, made)) {
            doc::free_block(made);
            return false;
        }
    } else {
        work.unpin();
        if (!doc::resize_wave(doc, uint64_t{s.size} + added)) return false;
    }
    work.repin();
    if (s.size != 0) {
        kern::move_up(work.wave.ptr, at, added, s.size, op::checkpoint);
        kern::fill_silence(work.wave.ptr, s.bits, at, added, op::checkpoint);
    }
    doc::set_data_size(work.header.ptr, s.size + added);
    if (work.position) work.position->markStart = at;
    return true;
}

// Inserts the silence of the settings at the cursor. False when the memory for
// it cannot be had; the data is then as it was and the undo record cleared.
bool insert_silence(HWND doc, unsigned seconds, unsigned milliseconds, bool* wasEmpty) {
    DocumentLock guard(doc);
    if (insert_silence_guarded(doc, seconds, milliseconds, wasEmpty)) return true;
    ForbidUndo(doc);
    return false;
}

void insert_silence_body(HWND frame) {
    unsigned seconds = SettingWord(SET_FILTERS_SILENCE_SEC);
    unsigned milliseconds = SettingWord(SET_FILTERS_SILENCE_MS);
    HWND doc = doc::active_document(frame);
    op::announce_start(frame, doc, kInsertSilenceName);
    if (!doc) op::finish(frame);
    bool wasEmpty = false;
    if (!insert_silence(doc, seconds, milliseconds, &wasEmpty)) {
        entry::not_enough_memory(doc);
        BreakThread(frame);
    }
    if (wasEmpty) EnableScrollBar(doc, SB_HORZ, ESB_ENABLE_BOTH);
    SetFileNotSaved(doc);
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    op::repaint(doc);
    op::repaint(op::ask_preview(frame));
    op::repaint(op::ask_status(frame));
    op::finish(frame);
}

int report(HWND doc, Outcome outcome) {
    if (outcome == Outcome::kFailed) {
        ErrorBox(doc, "No success.");
        return 0;
    }
    return 1;
}

}  // namespace

EFFECTS_API int Erase(HWND doc) {
    if (!doc) return 1;
    return entry::guarded(0, [&] {
        Outcome outcome = erase_mark(doc);
        if (outcome == Outcome::kNothing) return 0;
        if (outcome == Outcome::kFailed) return report(doc, outcome);
        SetFileNotSaved(doc);
        return 1;
    });
}

EFFECTS_API int Crop(HWND doc) {
    if (!doc) return 1;
    return entry::guarded(0, [&] {
        Outcome outcome = crop_to_mark(doc);
        if (outcome == Outcome::kFailed) return report(doc, outcome);
        SetFileNotSaved(doc);
        return 1;
    });
}

EFFECTS_API DWORD InsertSilence(LPVOID frame) {
    op::thread_body(frame, insert_silence_body);
}
