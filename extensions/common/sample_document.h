// What both sample extensions share: the document's samples in the working
// range, pinned while the document's guard is held, and the repaint after a
// change. Only the editor's shared headers and frame messages are used.
#pragma once

#include <platform/platform.h>
#include <sonrel/blocks.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

namespace sample {

// The sample bytes of a document pinned for the life of a scope; the caller
// holds the document's guard (DocumentLock) for at least as long.
struct Samples {
    HWND doc = nullptr;
    BYTE* data = nullptr;  // null when the document has no data
    DWORD start = 0;       // working range in bytes: the mark, or all data
    DWORD length = 0;      // whole sample values only
    WORD bits = 8;         // 8, or 16
    WORD channels = 1;

    explicit Samples(HWND d) : doc(d) {
        header = static_cast<HeaderBlock*>(GlobalLock(GetProp(doc, PROP_HEADER)));
        auto* pos = static_cast<PositionBlock*>(GlobalLock(GetProp(doc, PROP_POSITION)));
        data = static_cast<BYTE*>(GlobalLock(GetProp(doc, PROP_WAVE)));
        if (!header || !data || header->dataSize == 0) {
            if (pos) GlobalUnlock(GetProp(doc, PROP_POSITION));
            return;
        }
        bits = header->bitsPerSample == 16 ? 16 : 8;
        channels = header->channels ? header->channels : 1;
        DWORD size = header->dataSize;
        start = 0;
        length = size;
        if (pos && pos->markLength && pos->markStart < size) {
            start = pos->markStart;
            length = pos->markLength < size - start ? pos->markLength : size - start;
        }
        if (pos) GlobalUnlock(GetProp(doc, PROP_POSITION));
        if (bits == 16) {
            // Whole 16-bit values: a start in the middle of one moves back to it.
            if (start & 1) {
                --start;
                ++length;
            }
            if (start + length > size) length = size - start;
            length &= ~DWORD(1);
        }
    }
    ~Samples() {
        if (data) GlobalUnlock(GetProp(doc, PROP_WAVE));
        if (header) GlobalUnlock(GetProp(doc, PROP_HEADER));
    }
    Samples(const Samples&) = delete;
    Samples& operator=(const Samples&) = delete;

    bool empty() const { return !data || length == 0; }
    // Sample values in the range (bytes for 8-bit data, bytes / 2 for 16-bit).
    DWORD values() const { return bits == 16 ? length / 2 : length; }
    // Sample value i of the range as a signed value around 0.
    int get(DWORD i) const {
        if (bits == 16) {
            const BYTE* p = data + start + 2 * i;
            return static_cast<short>(p[0] | (p[1] << 8));
        }
        return int(data[start + i]) - 128;
    }
    // Stores v, held within the format's range.
    void put(DWORD i, int v) const {
        if (bits == 16) {
            v = v < -32768 ? -32768 : v > 32767 ? 32767 : v;
            BYTE* p = data + start + 2 * i;
            p[0] = BYTE(v & 0xFF);
            p[1] = BYTE((v >> 8) & 0xFF);
        } else {
            v = v < -128 ? -128 : v > 127 ? 127 : v;
            data[start + i] = BYTE(v + 128);
        }
    }

private:
    HeaderBlock* header = nullptr;
};

// After a change: the document is unsaved, the view reads it again and the
// document and the preview bar repaint. Sent without the guard held.
inline void changed(HWND frame, HWND doc) {
    SetFileNotSaved(doc);
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    InvalidateRect(doc, nullptr, TRUE);
    InvalidateRect(reinterpret_cast<HWND>(SendMessage(frame, UM_GETPREVIEW, 0, 0)), nullptr, TRUE);
}

// A 17 x 17 button image drawn by fn(x, y) -> 0x00RRGGBB on the button face.
template <typename Fn>
HBITMAP button_image(Fn fn) {
    DWORD pixels[17 * 17];
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 17; ++x) pixels[y * 17 + x] = fn(x, y);
    return PlatformCreateBitmap(17, 17, pixels);
}

}  // namespace sample
