// The disk clipboard's operations: copy to "SnrCLIP.WAV", paste and mix from
// it, move the mark within a document, and the clipboard file to a file and
// back.
//
// The thread procedures take the document window, find the frame through it
// and otherwise run the operation protocol. Each holds the clipboard lock from
// its start to its end; a thread that gives up releases it as its stack
// unwinds. Document changes happen under the document's guard, and messages
// (boxes included) are shown only after the guard is let go.
#include "clipboard.h"

#include <kernels/clipboard_kernels.h>
#include <kit/rvg32.h>
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "entry.h"
#include "operation.h"

namespace {

using kern::ByteRange;

constexpr UINT kCopyName = IDS_NAME_COPY;
constexpr UINT kPasteName = IDS_NAME_PASTE;
constexpr UINT kMixName = IDS_NAME_MIX;
const char kIncompatible[] = "Incompatible format.";
const char kCannotWrite[] = "Cannot write data.";

// kNothing: refused or nothing to work on; kUnchanged: done without a change.
enum class Outcome {
    kDone,
    kUnchanged,
    kNothing,
    kNoSpace,
    kCannotWrite,
    kNoMemory,
    kIncompatible
};

// Frame bytes of the document's format (at least 1).
unsigned frame_bytes(const HeaderBlock& h) {
    unsigned n = h.channels * h.bitsPerSample / 8u;
    return n ? n : 1;
}

// --- Copy.

ULONGLONG free_bytes(const std::string& folder) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpace(folder.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                          &totalClusters))
        return ~0ull;  // unknown: the write itself will tell
    return ULONGLONG{sectorsPerCluster} * bytesPerSector * freeClusters;
}

// Writes header and data to a file beside the clipboard and renames it over
// the clipboard once complete, so a failed write loses nothing.
bool write_clipboard(const std::string& path, const HeaderBlock& h, const BYTE* data) {
    std::string temp =
        path + ".writing-" + std::to_string(getpid()) + "-" + std::to_string(GetCurrentThreadId());
    HMMIO m = mmioOpen(const_cast<LPSTR>(temp.c_str()), nullptr, MMIO_CREATE | MMIO_WRITE);
    if (!m) return false;
    bool ok = mmioWrite(m, reinterpret_cast<const char*>(&h), HEADER_BYTES) == LONG{HEADER_BYTES};
    for (ULONGLONG done = 0; ok && done < h.dataSize;) {
        LONG n = static_cast<LONG>(std::min<ULONGLONG>(h.dataSize - done, 1u << 30));
        ok = mmioWrite(m, reinterpret_cast<const char*>(data + done), n) == n;
        done += static_cast<ULONGLONG>(n);
    }
    ok = mmioClose(m, 0) == MMSYSERR_NOERROR && ok;
    ok = ok && MoveFileEx(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!ok) DeleteFile(temp.c_str());
    return ok;
}

// Copies the mark (or all data) under the guard; *shortBy gets the missing KB.
Outcome copy_document(HWND doc, const std::string& path, ULONGLONG freeBytes, long* shortBy) {
    doc::Work work(doc);
    op::Samples s = op::samples_of(work);
    if (!work.header || s.size == 0) return Outcome::kNothing;
    ULONGLONG fileLength = ULONGLONG{s.size} + HEADER_BYTES;
    if (freeBytes <= fileLength) {
        *shortBy = static_cast<long>((fileLength - freeBytes) / 1024);
        return Outcome::kNoSpace;
    }
    ByteRange r{0, s.size};
    if (s.markLength) r = kern::clip_range(ByteRange{s.markStart, s.markLength}, s.size);
    HeaderBlock h = *work.header;
    doc::set_data_size(&h, r.length);
    return write_clipboard(path, h, s.data + r.start) ? Outcome::kDone : Outcome::kCannotWrite;
}

void copy_body(HWND doc, HWND frame, clip::ClipboardLock& lock) {
    op::announce_start(frame, doc, kCopyName);
    std::string path = clip::clipboard_path();
    ULONGLONG freeBytes = free_bytes(path.substr(0, path.rfind('/') + 1));
    long shortBy = 0;
    Outcome o = copy_document(doc, path, freeBytes, &shortBy);
    if (o == Outcome::kNoSpace) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "Not enough free memory on specified drive.\nYou need %ld KB more.", shortBy);
        ErrorBox(doc, text);
    }
    if (o == Outcome::kCannotWrite) ErrorBox(doc, kCannotWrite);
    if (o != Outcome::kDone) BreakThread(frame);
    clip::repaint_select_bar(frame);
    lock.release();
}

// --- Paste and mix.

// The clip's header and a pinned view of its data.
struct ClipView {
    HeaderBlock header{};
    doc::Pin<BYTE> data;
    explicit ClipView(const clip::Clip& c) : data(c.data) {
        doc::Pin<HeaderBlock> h(c.header);
        if (h) header = *h;
        // Never more than the data block holds.
        header.dataSize = static_cast<DWORD>(
            std::min<SIZE_T>(header.dataSize, data ? GlobalSize(data.handle) : 0));
    }
};

bool same_format(const HeaderBlock& a, const HeaderBlock& b) {
    return a.bitsPerSample == b.bitsPerSample && a.samplesPerSec == b.samplesPerSec &&
           a.channels == b.channels;
}

Outcome paste_into(HWND doc, const clip::Clip& c) {
    doc::Work work(doc);
    ClipView v(c);
    op::Samples s = op::samples_of(work);
    if (!work.header || !v.data) return Outcome::kNothing;
    unsigned frame = frame_bytes(*work.header);
    uint32_t at = clipk::insertion_point(s.markStart, s.size, frame);
    uint32_t count = clipk::whole_frames(v.header.dataSize, frame);
    SaveUndoInformation(doc, at, count, UNDO_INSERTED, UNDO_TEXT_PASTE);
    if (!same_format(v.header, *work.header)) return Outcome::kIncompatible;
    if (count == 0) return Outcome::kDone;
    work.unpin();
    if (!doc::data_size_fits(uint64_t{s.size} + count) ||
        !doc::resize_wave(doc, uint64_t{s.size} + count))
        return Outcome::kNoMemory;
    work.repin();
    clipk::insert_bytes(work.wave.ptr, s.size, at, v.data.ptr, count);
    doc::set_data_size(work.header.ptr, s.size + count);
    return Outcome::kDone;
}

Outcome mix_into(HWND doc, const clip::Clip& c, float gain) {
    doc::Work work(doc);
    ClipView v(c);
    op::Samples s = op::samples_of(work);
    if (!work.header || !v.data) return Outcome::kNothing;
    if (!same_format(v.header, *work.header)) return Outcome::kIncompatible;
    unsigned frame = frame_bytes(*work.header);
    uint32_t at = clipk::insertion_point(s.markStart, s.size, frame);
    uint32_t count = clipk::whole_frames(v.header.dataSize, frame);
    uint32_t grow = clipk::mix_overhang(at, count, s.size);
    if (grow) {
        work.unpin();
        if (!doc::data_size_fits(uint64_t{s.size} + grow) ||
            !doc::resize_wave(doc, uint64_t{s.size} + grow))
            return Outcome::kNoMemory;
        work.repin();
        clipk::fill_zero_line(work.wave.ptr, s.bits, s.size, grow);
        doc::set_data_size(work.header.ptr, s.size + grow);
    }
    clipk::mix_bytes(work.wave.ptr, s.bits, at, v.data.ptr, count, gain);
    // Mixing records no undo; an older record no longer fits the data.
    ForbidUndo(doc);
    return Outcome::kDone;
}

// An empty document takes the clip's blocks, and with them its format.
void take_over(HWND doc, clip::Clip& c) {
    DocumentLock guard(doc);
    if (!doc::replace(doc, PROP_WAVE, c.data)) return;
    c.data = nullptr;
    if (doc::replace(doc, PROP_HEADER, c.header)) c.header = nullptr;
    ForbidUndo(doc);
    doc::update_peaks(doc);
}

bool is_empty(HWND doc) {
    DocumentLock guard(doc);
    doc::Pin<HeaderBlock> h(doc, PROP_HEADER);
    return !h || h->dataSize == 0;
}

using Merge = Outcome (*)(HWND doc, const clip::Clip& c, float gain);

// Paste and mix: load, merge (or take over), refresh. A failure ends the
// thread through BreakThread.
void merge_body(HWND doc, HWND frame, UINT name, Merge merge, float gain) {
    op::announce_start(frame, doc, name);
    clip::Clip c;
    if (!is_empty(doc)) {
        Outcome o = clip::load(doc, false, c) ? merge(doc, c, gain) : Outcome::kNothing;
        if (o == Outcome::kIncompatible || o == Outcome::kNoMemory) {
            ForbidUndo(doc);
            c.reset();
            ErrorBox(doc, o == Outcome::kIncompatible ? kIncompatible : entry::kNotEnoughMemory);
            BreakThread(frame);
        }
    } else {
        EnableScrollBar(doc, SB_HORZ, ESB_ENABLE_BOTH);
        if (clip::load(doc, true, c)) take_over(doc, c);
    }
    c.reset();
    SetFileNotSaved(doc);
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    op::repaint(doc);
    op::repaint(op::ask_preview(frame));
    op::repaint(op::ask_status(frame));
}

Outcome paste_merge(HWND doc, const clip::Clip& c, float) {
    return paste_into(doc, c);
}

void paste_body(HWND doc, HWND frame, clip::ClipboardLock&) {
    merge_body(doc, frame, kPasteName, paste_merge, 1.0f);
}

void mix_body(HWND doc, HWND frame, clip::ClipboardLock&) {
    float gain = clipk::mix_gain(SettingWord(SET_FILTERS_PASTEMIXLOUDER));
    merge_body(doc, frame, kMixName, mix_into, gain);
}

using Body = void (*)(HWND doc, HWND frame, clip::ClipboardLock& lock);

// A clipboard thread: takes the lock, waits pauseMs, finds the frame, runs
// the body and ends; whatever escapes the body ends it through BreakThread.
[[noreturn]] void clipboard_thread(LPVOID arg, DWORD pauseMs, Body body) {
    HWND doc = static_cast<HWND>(arg);
    HWND frame = nullptr;
    entry::guarded([&] {
        clip::ClipboardLock lock;
        lock.acquire();
        if (pauseMs) Sleep(pauseMs);
        frame = clip::frame_of(doc);
        body(doc, frame, lock);
        op::finish(frame);
    });
    BreakThread(frame);
}

// --- Move within a document.

Outcome move_mark(HWND doc, DWORD target) {
    doc::Work work(doc);
    op::Samples s = op::samples_of(work);
    if (!work.header) return Outcome::kNothing;
    if (s.markStart < target && uint64_t{target} < uint64_t{s.markStart} + s.markLength)
        return Outcome::kNothing;
    if (s.markLength == 0) return Outcome::kUnchanged;
    unsigned frame = frame_bytes(*work.header);
    ByteRange r = kern::clip_range(ByteRange{s.markStart, s.markLength}, s.size);
    r.start = clipk::whole_frames(r.start, frame);
    r.length = clipk::whole_frames(r.length, frame);
    uint32_t at = clipk::insertion_point(target, s.size, frame);
    SaveUndoInformation(doc, at, r.length, UNDO_INSERTED, UNDO_TEXT_PASTESAME);
    HGLOBAL temp = doc::alloc_block(std::max<uint32_t>(r.length, 1), false);
    doc::Pin<BYTE> copy(temp);
    work.unpin();
    if (!copy || !doc::data_size_fits(uint64_t{s.size} + r.length) ||
        !doc::resize_wave(doc, uint64_t{s.size} + r.length)) {
        copy.release();
        doc::free_block(temp);
        return Outcome::kNoMemory;
    }
    work.repin();
    std::memcpy(copy.ptr, work.wave.ptr + r.start, r.length);
    clipk::insert_bytes(work.wave.ptr, s.size, at, copy.ptr, r.length);
    copy.release();
    doc::free_block(temp);
    doc::set_data_size(work.header.ptr, s.size + r.length);
    if (work.position) {
        work.position->markStart = at;
        work.position->markLength = 0;
    }
    return Outcome::kDone;
}

int copy_and_paste(HWND doc, DWORD target) {
    HWND frame = clip::frame_of(doc);
    Outcome o = move_mark(doc, target);
    if (o == Outcome::kNothing) return 0;
    if (o == Outcome::kNoMemory) {
        ForbidUndo(doc);
        entry::not_enough_memory(doc);
        return 0;
    }
    if (o == Outcome::kDone) SetFileNotSaved(doc);
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    op::repaint(doc);
    op::repaint(op::ask_preview(frame));
    op::repaint(op::ask_status(frame));
    return 1;
}

}  // namespace

namespace clip {

std::string clipboard_path() {
    return PlatformFolder(GetTempPath) + "SnrCLIP.WAV";
}

void ClipboardLock::acquire() {
    mutex = OpenMutex(MUTEX_ALL_ACCESS, FALSE, "SnrClipboard");
    // Without the program (tests, a library user) nobody made it: make it here.
    if (!mutex) mutex = CreateMutex(nullptr, FALSE, "SnrClipboard");
    if (mutex) held = WaitForSingleObject(mutex, INFINITE) == WAIT_OBJECT_0;
}

void ClipboardLock::release() {
    if (held) ReleaseMutex(mutex);
    held = false;
    if (mutex) CloseHandle(mutex);
    mutex = nullptr;
}

HWND frame_of(HWND doc) {
    return reinterpret_cast<HWND>(SendMessage(doc, UM_GETFRAME, 0, 0));
}

void repaint_select_bar(HWND frame) {
    if (frame) op::repaint(reinterpret_cast<HWND>(SendMessage(frame, UM_GETSELECTBAR, 0, 0)));
}

}  // namespace clip

EFFECTS_API DWORD CopyToClipboard(LPVOID doc) {
    clipboard_thread(doc, 0, copy_body);
}

EFFECTS_API DWORD PasteFromClipboard(LPVOID doc) {
    clipboard_thread(doc, 100, paste_body);
}

EFFECTS_API DWORD PasteMixFromClipboard(LPVOID doc) {
    clipboard_thread(doc, 100, mix_body);
}

EFFECTS_API int ClipboardToFile(HWND, LPCSTR path) {
    entry::guarded([&] {
        if (path) CopyFile(clip::clipboard_path().c_str(), path, FALSE);
    });
    return 1;
}

EFFECTS_API int FileToClipboard(HWND, LPCSTR path) {
    entry::guarded([&] {
        if (path) CopyFile(path, clip::clipboard_path().c_str(), FALSE);
    });
    return 1;
}

EFFECTS_API int CopyAndPaste(HWND doc, DWORD target) {
    if (!doc) return 0;
    return entry::guarded(0, [&] { return copy_and_paste(doc, target); });
}
