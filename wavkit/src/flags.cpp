// The document's saved and working flags (INFO block). Each call reads or
// writes one 32-bit field; the INFO block is never resized, so no guard is taken.
#include "document.h"
#include "entry.h"

namespace {

// Sets one flag and attaches the block again; nonzero when that succeeded.
BOOL set_flag(HWND w, DWORD InfoBlock::*field, DWORD value) {
    return entry::guarded(FALSE, [&] {
        HGLOBAL h = doc::block(w, PROP_INFO);
        doc::Pin<InfoBlock> info(h);
        if (!info) return FALSE;
        info.ptr->*field = value;
        info.release();
        return SetProp(w, PROP_INFO, h);
    });
}

// The flag's value, or the fallback when the document has no INFO block.
BOOL get_flag(HWND w, DWORD InfoBlock::*field, BOOL fallback) {
    return entry::guarded(fallback, [&] {
        doc::Pin<InfoBlock> info(w, PROP_INFO);
        if (!info) return fallback;
        return info.ptr->*field != 0 ? 1 : 0;
    });
}

}  // namespace

WAVKIT_API BOOL SetFileSaved(HWND doc) {
    return set_flag(doc, &InfoBlock::saved, 1);
}
WAVKIT_API BOOL SetFileNotSaved(HWND doc) {
    return set_flag(doc, &InfoBlock::saved, 0);
}
WAVKIT_API BOOL SetFileWorking(HWND doc) {
    return set_flag(doc, &InfoBlock::working, 1);
}
WAVKIT_API BOOL SetFileNotWorking(HWND doc) {
    return set_flag(doc, &InfoBlock::working, 0);
}

// A missing document counts as working, so commands without one are refused.
WAVKIT_API BOOL IsFileWorking(HWND doc) {
    if (!doc) return 1;
    return get_flag(doc, &InfoBlock::working, 0);
}

WAVKIT_API BOOL IsFileSaved(HWND doc) {
    return get_flag(doc, &InfoBlock::saved, 0);
}
