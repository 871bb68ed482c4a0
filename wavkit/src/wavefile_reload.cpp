// Reading a wave file into an existing document (the recorder's take-over).
// The new format and data are read completely first and only then put into
// the document, so a failure leaves the document exactly as it was.
#include "entry.h"
#include "wavefile.h"

namespace {

// Puts the header image and the new WAVE block into the document under its guard.
bool install(HWND doc, const HeaderBlock& header, HGLOBAL data) {
    DocumentLock guard(doc);
    HGLOBAL h = doc::block(doc, PROP_HEADER);
    const bool made = !h;
    if (made) h = doc::alloc_block(sizeof(HeaderBlock), false);
    doc::Pin<HeaderBlock> p(h);
    if (!p || (made && !SetProp(doc, PROP_HEADER, h))) {
        p.release();
        if (made) doc::free_block(h);
        return false;
    }
    if (!doc::replace(doc, PROP_WAVE, data)) {
        if (made) RemoveProp(doc, PROP_HEADER);
        p.release();
        if (made) doc::free_block(h);
        return false;
    }
    *p = header;
    p.release();
    SetWindowLongPtr(doc, GWLP_USERDATA, DOCUMENT_USERDATA);
    doc::update_peaks(doc);
    return true;
}

// The message to show, null on success, "" for a failure without a message.
const char* reload(HWND frame, HWND doc, const char* path) {
    wave::WaveSource s;
    switch (wave::open_riff(path, s)) {
        case wave::Start::cannot_open:
            return wave::kCannotOpen;
        case wave::Start::too_short:
            return "File too small.";
        case wave::Start::not_wave:
            return wave::kNotWave;
        case wave::Start::ok:
            break;
    }
    if (const char* m = wave::read_format(s)) return m;
    if (const char* m = wave::find_data(s)) return m;
    HGLOBAL data = wave::alloc_wave(s.header);
    if (!data) return wave::kNoMemory;
    SetMouseWait(frame);
    bool ok = wave::read_data(s, data);
    s.close();
    if (ok) ok = install(doc, s.header, data);
    SetMouseActive();
    if (!ok) {
        doc::free_block(data);
        return "";
    }
    return nullptr;
}

}  // namespace

WAVKIT_API BOOL ReloadWAV(HWND frame, HWND doc, LPCSTR path) {
    return entry::guarded(entry::error_box(frame, wave::kNoMemory, 0), [&] {
        const char* message = reload(frame, doc, path);
        if (!message) return 1;
        if (*message) ErrorBox(frame, message);
        return 0;
    });
}
