// The document's peak summary (PEAKS block): made when a document gets its
// data, marked out of date where a change is announced (undo records, undo,
// a replaced WAVE block) and brought up to date when the work on the document
// ends, under its guard. The view reads it through ColumnPeaks; a summary that
// does not fit the data as it is now is never read.
#include <kernels/peaks.h>

#include <algorithm>

#include "document.h"
#include "entry.h"

namespace {

// The block: this record, then the layout's pairs.
struct PeaksBlock {
    DWORD dataSize;   // the data it was made for
    WORD bits;        // 8 or 16
    WORD channels;    // 1 or 2
    DWORD staleFrom;  // bytes of the data whose entries are out of date: [staleFrom, staleEnd)
    DWORD staleEnd;   // staleFrom >= staleEnd: none
};
static_assert(sizeof(kern::PeakPair) == 4, "pairs are two 16-bit values");
static_assert(sizeof(PeaksBlock) % alignof(kern::PeakPair) == 0, "pairs follow aligned");

constexpr DWORD kToEnd = 0xFFFFFFFFu;

kern::PeakPair* pairs_of(PeaksBlock* p) {
    return reinterpret_cast<kern::PeakPair*>(p + 1);
}

// A stretch without a summary is read from the samples when it holds at most
// this many frames (about a millisecond of reading).
constexpr uint64_t kDirectFrames = 1u << 20;

// The data of a document as the summary sees it.
struct Data {
    const uint8_t* bytes = nullptr;
    DWORD size = 0;
    int bits = 16;
    int channels = 1;
};

Data data_of(const HeaderBlock* h, const BYTE* wave, HGLOBAL waveBlock) {
    Data d;
    if (!h || !wave || GlobalSize(waveBlock) < h->dataSize) return d;
    d.bytes = wave;
    d.size = h->dataSize;
    d.bits = h->bitsPerSample == 8 ? 8 : 16;
    d.channels = h->channels == 2 ? 2 : 1;
    return d;
}

kern::PeakLayout layout_of(const Data& d) {
    return kern::peak_layout(d.bits == 8 ? d.size : d.size / 2, d.bits, d.channels);
}

uint32_t frame_bytes(const Data& d) {
    return static_cast<uint32_t>(d.bits / 8 * d.channels);
}

// True when the block was made for this data and holds its whole layout.
bool fits(HGLOBAL h, const PeaksBlock* p, const Data& d, const kern::PeakLayout& l) {
    return p && p->dataSize == d.size && p->bits == d.bits && p->channels == d.channels &&
           GlobalSize(h) >= sizeof(PeaksBlock) + size_t(l.pairs) * sizeof(kern::PeakPair);
}

// Makes the whole summary in a new block and attaches it.
void build_whole(HWND w, const Data& d, const kern::PeakLayout& l) {
    HGLOBAL h =
        doc::alloc_block(sizeof(PeaksBlock) + uint64_t(l.pairs) * sizeof(kern::PeakPair), false);
    doc::Pin<PeaksBlock> p(h);
    if (!p) {
        doc::free_block(h);
        doc::free_block(static_cast<HGLOBAL>(RemoveProp(w, PROP_PEAKS)));
        return;
    }
    *p = PeaksBlock{d.size, WORD(d.bits), WORD(d.channels), 0, 0};
    kern::build_peaks(d.bytes, l, pairs_of(p.ptr), 0, l.frames);
    p.release();
    if (!doc::replace(w, PROP_PEAKS, h)) {
        doc::free_block(h);
        doc::free_block(static_cast<HGLOBAL>(RemoveProp(w, PROP_PEAKS)));
    }
}

// Widens the block's out-of-date bytes by [from, end).
void widen(PeaksBlock* p, DWORD from, DWORD end) {
    if (p->staleFrom >= p->staleEnd) {
        p->staleFrom = from;
        p->staleEnd = end;
    } else {
        p->staleFrom = std::min(p->staleFrom, from);
        p->staleEnd = std::max(p->staleEnd, end);
    }
}

}  // namespace

namespace doc {

void peaks_out_of_date(HWND w, DWORD from, DWORD end) {
    if (from >= end) return;
    Pin<PeaksBlock> p(w, PROP_PEAKS);
    if (p) widen(p.ptr, from, end);
}

void peaks_out_of_date(HWND w) {
    peaks_out_of_date(w, 0, kToEnd);
}

void update_peaks(HWND w) {
    DocumentLock guard(w);
    Pin<HeaderBlock> header(w, PROP_HEADER);
    HGLOBAL waveBlock = block(w, PROP_WAVE);
    Pin<BYTE> wave(waveBlock);
    Data d = data_of(header.ptr, wave.ptr, waveBlock);
    if (d.size == 0) {
        free_block(static_cast<HGLOBAL>(RemoveProp(w, PROP_PEAKS)));
        return;
    }
    const kern::PeakLayout l = layout_of(d);
    HGLOBAL h = block(w, PROP_PEAKS);
    Pin<PeaksBlock> p(h);
    if (!fits(h, p.ptr, d, l) || p->staleEnd == kToEnd) {
        // A new length or format moves every entry after the change: make it all again.
        p.release();
        build_whole(w, d, l);
        return;
    }
    if (p->staleFrom >= p->staleEnd) return;
    const uint32_t fb = frame_bytes(d);
    kern::build_peaks(d.bytes, l, pairs_of(p.ptr), p->staleFrom / fb,
                      uint32_t((uint64_t(p->staleEnd) + fb - 1) / fb));
    p->staleFrom = p->staleEnd = 0;
}

}  // namespace doc

WAVKIT_API BOOL UpdatePeakSummary(HWND doc) {
    return entry::guarded(0, [&] {
        doc::update_peaks(doc);
        return 1;
    });
}

WAVKIT_API int ColumnPeaks(HWND doc, LONGLONG firstValue, LONGLONG valuesPerColumn, int columns,
                           ValueRange* out) {
    return entry::guarded(-1, [&]() -> int {
        if (!doc || !out || columns <= 0 || valuesPerColumn <= 0 || firstValue < 0) return -1;
        DocumentLock guard(doc);
        doc::Pin<HeaderBlock> header(doc, PROP_HEADER);
        HGLOBAL waveBlock = doc::block(doc, PROP_WAVE);
        doc::Pin<BYTE> wave(waveBlock);
        Data d = data_of(header.ptr, wave.ptr, waveBlock);
        const kern::PeakLayout l = layout_of(d);
        HGLOBAL h = doc::block(doc, PROP_PEAKS);
        doc::Pin<PeaksBlock> p(h);
        const bool current = fits(h, p.ptr, d, l) && p->staleFrom >= p->staleEnd;
        const LONGLONG ch = d.channels;
        auto frame = [&](LONGLONG value) {
            return static_cast<uint32_t>(std::min<LONGLONG>(value / ch, l.frames));
        };
        if (!current &&
            uint64_t(columns) * uint64_t(valuesPerColumn) / uint64_t(ch) > kDirectFrames)
            return -1;
        int filled = 0;
        for (; filled < columns; ++filled) {
            LONGLONG start = firstValue + filled * valuesPerColumn;
            uint32_t a = frame(start);
            if (a >= l.frames) break;
            uint32_t b = std::max(a + 1, frame(start + valuesPerColumn));
            kern::PeakPair r[2] = {{1, 0}, {1, 0}};
            if (current)
                kern::query_peaks(d.bytes, l, pairs_of(p.ptr), a, b, r);
            else
                kern::scan_peaks(d.bytes, d.bits, d.channels, a, b, r);
            for (int c = 0; c < 2; ++c) out[2 * filled + c] = ValueRange{r[c].min, r[c].max};
        }
        return filled;
    });
}
