// Document access: the one way wavkit units reach a sound document's blocks.
//
// A unit looks each block up by name when its work starts (never keeps a handle
// across messages), pins it with Pin<T> for the span of a scope, and holds the
// document's guard (DocumentLock, wavkit.h) while it reads data that another
// thread may resize, or while it changes data. Resizing a block moves its
// memory: drop every pin of it first and pin again after.
#pragma once

#include <platform/platform.h>
#include <sonrel/blocks.h>
#include <sonrel/wavkit.h>

#include <utility>

namespace doc {

// The block attached to the window under name, or null.
HGLOBAL block(HWND w, const char* name);

// A block pinned for the life of a scope; empty when the block is absent or
// cannot be locked. The block itself stays the window's.
template <typename T>
struct Pin {
    HGLOBAL handle = nullptr;
    T* ptr = nullptr;

    Pin() = default;
    explicit Pin(HGLOBAL h) : handle(h), ptr(h ? static_cast<T*>(GlobalLock(h)) : nullptr) {}
    Pin(HWND w, const char* name) : Pin(block(w, name)) {}
    ~Pin() { release(); }
    Pin(const Pin&) = delete;
    Pin& operator=(const Pin&) = delete;
    Pin(Pin&& o) noexcept
        : handle(std::exchange(o.handle, nullptr)), ptr(std::exchange(o.ptr, nullptr)) {}
    Pin& operator=(Pin&& o) noexcept {
        if (this != &o) {
            release();
            handle = std::exchange(o.handle, nullptr);
            ptr = std::exchange(o.ptr, nullptr);
        }
        return *this;
    }
    void release() {
        if (ptr) GlobalUnlock(handle);
        ptr = nullptr;
    }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    explicit operator bool() const { return ptr != nullptr; }
};

// A new movable block of bytes, zeroed when zero is set; null on failure
// (also for sizes the platform cannot address).
HGLOBAL alloc_block(ULONGLONG bytes, bool zero);
// Releases a block (null is allowed).
void free_block(HGLOBAL h);
// Attaches h under name; the block it replaces, if another, is released.
// False when the window refused the property (h then stays the caller's).
bool replace(HWND w, const char* name, HGLOBAL h);

// Fills a HEADER image: tags, format length 16, format code 1, the five format
// values as given, and data size / file length.
void init_header(HeaderBlock* h, WORD channels, DWORD samplesPerSec, DWORD bytesPerSec,
                 WORD blockAlign, WORD bitsPerSample, DWORD dataSize);
// Sets data size and file length (data size + 44) together.
void set_data_size(HeaderBlock* h, DWORD dataSize);
// Data sizes whose file length and spare bytes still fit 32 bits.
bool data_size_fits(ULONGLONG dataSize);
// The byte value that means silence: 128 for 8-bit data, 0 for 16-bit data.
BYTE silence_byte(WORD bitsPerSample);
// Resizes the WAVE block in place to dataSize + WAVE_SPARE_BYTES bytes, making
// it when absent. No pin of it may be held. False leaves it as it was.
bool resize_wave(HWND w, ULONGLONG dataSize);

// The peak summary (PEAKS). Marks bytes [from, end) of the data, or all of
// it, as changed: the summary is not read again until it is brought up to
// date. Call under the document's guard; nothing happens without a summary.
void peaks_out_of_date(HWND w, DWORD from, DWORD end);
void peaks_out_of_date(HWND w);
// Makes the summary fit the data as it is now: the changed entries again, or
// all of it when it is missing or the length or format changed. Takes the guard.
void update_peaks(HWND w);

// The frame's active document (UM_GETACTIVEDOC), or null.
HWND active_document(HWND frame);

// Creates a document window through the MDI client (class "Child Window",
// owned by the frame's module instance, default position and size) and gives
// the client's active child, which is the new window.
HWND create_document_window(HWND frame, HWND client, const char* title, DWORD style);
// Makes POSITION (zoom from the settings), UNDO (zero) and INFO (path, saved
// flag 1, working flag 0, source code) and attaches them with the blocks given
// (wave may be null); sets the window's user data to 1. On failure nothing of
// it is attached and the given blocks stay the caller's.
bool attach_document(HWND w, HGLOBAL header, HGLOBAL wave, HGLOBAL fileinfo, const char* path,
                     WORD sourceFormat);

// A document held for one piece of work: its guard taken first (released
// last), then HEADER, WAVE and POSITION pinned. repin() pins them again after
// the work resized or replaced a block.
struct Work {
    HWND hwnd;
    DocumentLock guard;
    Pin<HeaderBlock> header;
    Pin<BYTE> wave;
    Pin<PositionBlock> position;

    explicit Work(HWND w);
    // Brings the peak summary up to date before the guard is released (not
    // while an exception ends the work: the summary then stays unread).
    ~Work();
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;
    void unpin();
    void repin();
    // The data size in bytes, or 0 without a HEADER.
    DWORD data_size() const { return header ? header->dataSize : 0; }
};

}  // namespace doc
