// The one-level undo store of a document (UNDO block).
//
// A record names bytes of the data as it was when it was taken. Operations that
// change the data's length without recording (crop, speed, conversion) leave an
// older record behind, so every apply clips the record to the data as it is
// now: nothing is ever read or written outside the data or the saved copy.
//
// A large saved copy lives in a file-backed block and is written and read a
// piece at a time, each piece's pages leaving the process with its lock, so
// that an edit of the whole data does not hold the data twice in memory.
#include <platform/file_backed.h>

#include <algorithm>
#include <cstring>

#include "document.h"
#include "entry.h"

namespace {

// Copies at least this large go to a file-backed block, in pieces of kPiece.
constexpr DWORD kFileBackedBytes = 16u << 20;
constexpr ULONGLONG kPiece = 8u << 20;

// Copies n bytes between the saved copy (from offset 0) and `bytes`, a piece at
// a time, into the copy (in) or out of it; false when it cannot be locked.
bool copy_pieces(HGLOBAL copy, BYTE* bytes, ULONGLONG n, bool in) {
    for (ULONGLONG done = 0; done < n; done += kPiece) {
        ULONGLONG piece = std::min(kPiece, n - done);
        doc::Pin<BYTE> c(copy);
        if (!c) return false;
        if (in)
            std::memcpy(c.ptr + done, bytes + done, piece);
        else
            std::memmove(bytes + done, c.ptr + done, piece);
    }
    return true;
}

// The bytes a change of this kind at start may alter: the span itself for a
// change in place, everything from start on for an insertion or removal (the
// later bytes move), all of the data for anything else.
void changes_ahead(HWND w, WORD kind, DWORD start, DWORD length) {
    if (kind == UNDO_CHANGED)
        doc::peaks_out_of_date(w, start, start + std::min(length, 0xFFFFFFFFu - start));
    else if (kind == UNDO_INSERTED || kind == UNDO_REMOVED)
        doc::peaks_out_of_date(w, start, 0xFFFFFFFFu);
    else
        doc::peaks_out_of_date(w);
}

void clear_record(UndoBlock* u) {
    u->copy = nullptr;
    u->kind = UNDO_NONE;
    u->start = 0;
    u->length = 0;
}

// Copies the changed or removed bytes into a new saved copy; false without memory.
bool save_copy(HWND w, UndoBlock* u) {
    doc::Pin<HeaderBlock> header(w, PROP_HEADER);
    ULONGLONG size = header ? header->dataSize : 0;
    ULONGLONG start = std::min<ULONGLONG>(u->start, size);
    u->length = static_cast<DWORD>(std::min<ULONGLONG>(u->length, size - start));
    if (u->length == 0) return true;
    doc::Pin<BYTE> wave(w, PROP_WAVE);
    if (!wave) {
        u->length = 0;
        return true;
    }
    const bool large = u->length >= kFileBackedBytes;
    HGLOBAL h = large ? GlobalAlloc(GMEM_MOVEABLE | GMEM_FILEBACKED, u->length)
                      : doc::alloc_block(u->length, false);
    if (!h || !copy_pieces(h, wave.ptr + start, u->length, true)) {
        doc::free_block(h);
        return false;
    }
    u->copy = h;
    return true;
}

// Kind 1: the saved bytes go back in place; data size and mark stay.
BOOL restore_changed(HWND w, UndoBlock* u) {
    if (u->copy) {
        doc::Pin<HeaderBlock> header(w, PROP_HEADER);
        doc::Pin<BYTE> wave(w, PROP_WAVE);
        ULONGLONG size = header ? header->dataSize : 0;
        ULONGLONG n = std::min<ULONGLONG>(u->length, GlobalSize(u->copy));
        n = u->start < size ? std::min<ULONGLONG>(n, size - u->start) : 0;
        if (wave && n) copy_pieces(u->copy, wave.ptr + u->start, n, false);
        doc::free_block(u->copy);
    }
    clear_record(u);
    return 1;
}

// Kind 2: the inserted bytes are taken out again and the mark set to where they stood.
BOOL restore_inserted(HWND w, UndoBlock* u) {
    doc::Pin<HeaderBlock> header(w, PROP_HEADER);
    doc::Pin<PositionBlock> position(w, PROP_POSITION);
    if (!header) {
        clear_record(u);
        return 0;
    }
    DWORD size = header->dataSize;
    DWORD start = std::min(u->start, size);
    DWORD n = std::min(u->length, size - start);
    BOOL result = 1;
    if (n) {
        doc::Pin<BYTE> wave(w, PROP_WAVE);
        if (wave) std::memmove(wave.ptr + start, wave.ptr + start + n, size - start - n);
        wave.release();
        // The bytes are moved already: a block that cannot shrink keeps its
        // size (it still holds the data), and the record is discarded.
        if (!doc::resize_wave(w, size - n)) result = 0;
        doc::set_data_size(header.ptr, size - n);
    }
    if (position) {
        position->markStart = start;
        position->markLength = 0;
    }
    clear_record(u);
    return result;
}

// Kind 3: the removed bytes go back at start, the later bytes move up.
BOOL restore_removed(HWND w, UndoBlock* u) {
    if (u->length == 0 || !u->copy) return 1;
    doc::Pin<HeaderBlock> header(w, PROP_HEADER);
    if (!header) return 0;
    DWORD size = header->dataSize;
    DWORD start = std::min(u->start, size);
    ULONGLONG n = std::min<ULONGLONG>(u->length, GlobalSize(u->copy));
    if (!doc::data_size_fits(size + n)) return 0;
    if (!doc::resize_wave(w, size + n)) return 0;  // the record stays for another try
    doc::Pin<PositionBlock> position(w, PROP_POSITION);
    if (position && position->markStart > size) position->markStart = size;
    doc::set_data_size(header.ptr, static_cast<DWORD>(size + n));
    doc::Pin<BYTE> wave(w, PROP_WAVE);
    if (wave) {
        std::memmove(wave.ptr + start + n, wave.ptr + start, size - start);
        copy_pieces(u->copy, wave.ptr + start, n, false);
    }
    doc::free_block(u->copy);
    clear_record(u);
    return 1;
}

}  // namespace

WAVKIT_API BOOL SaveUndoInformation(HWND doc, DWORD start, DWORD length, WORD kind, LPCSTR text) {
    return entry::guarded(1, [&] {
        DocumentLock guard(doc);
        doc::Pin<UndoBlock> u(doc, PROP_UNDO);
        if (!u) return 1;
        changes_ahead(doc, kind, start, length);
        HGLOBAL old = u->copy;
        std::memset(u->description, 0, sizeof u->description);
        std::strncpy(u->description, text ? text : "", UNDO_TEXT_CHARS - 1);
        u->copy = nullptr;
        u->start = start;
        u->length = length;
        u->kind = kind;
        doc::free_block(old);
        if (kind == UNDO_CHANGED || kind == UNDO_REMOVED) {
            if (!save_copy(doc, u.ptr)) clear_record(u.ptr);
        } else if (kind != UNDO_INSERTED) {
            clear_record(u.ptr);
        }
        return 1;
    });
}

WAVKIT_API BOOL IsUndoPossible(HWND doc) {
    doc::Pin<UndoBlock> u(doc, PROP_UNDO);
    return u && u->kind != UNDO_NONE ? 1 : 0;
}

WAVKIT_API LPCSTR UndoDescription(HWND doc) {
    doc::Pin<UndoBlock> u(doc, PROP_UNDO);
    if (!u || u->kind == UNDO_NONE) return nullptr;
    return u->description;  // the UNDO block is never resized, so this stays in place
}

WAVKIT_API void ForbidUndo(HWND doc) {
    entry::guarded([&] {
        // Under the guard, so a record being taken or applied is never half cleared.
        DocumentLock guard(doc);
        // Called where a change leaves no record that fits: take it as changing everything.
        doc::peaks_out_of_date(doc);
        doc::Pin<UndoBlock> u(doc, PROP_UNDO);
        if (!u) return;
        u->kind = UNDO_NONE;
        u->start = 0;
        u->length = 0;
    });
}

WAVKIT_API BOOL RestoreUndoInformation(HWND doc) {
    return entry::guarded(0, [&] {
        DocumentLock guard(doc);
        doc::Pin<UndoBlock> u(doc, PROP_UNDO);
        if (!u) return 0;
        if (u->kind == UNDO_NONE) return 0;
        changes_ahead(doc, u->kind, u->start, u->length);
        BOOL done = 0;
        switch (u->kind) {
            case UNDO_CHANGED:
                done = restore_changed(doc, u.ptr);
                break;
            case UNDO_INSERTED:
                done = restore_inserted(doc, u.ptr);
                break;
            case UNDO_REMOVED:
                done = restore_removed(doc, u.ptr);
                break;
        }
        u.release();
        doc::update_peaks(doc);
        return done;
    });
}
