// Opening a wave file into a new document window.
#include "entry.h"
#include "wavefile.h"

namespace {

// Reads the file into new blocks and makes the document; the message to show
// on failure, or null. *empty is set when the file is too short for a chunk
// header, which makes a new empty document instead.
const char* open_into_document(HWND frame, HWND client, const char* path, bool* empty) {
    wave::WaveSource s;
    switch (wave::open_riff(path, s)) {
        case wave::Start::cannot_open:
            return wave::kCannotOpen;
        case wave::Start::too_short:
            *empty = true;
            return nullptr;
        case wave::Start::not_wave:
            return wave::kNotWave;
        case wave::Start::ok:
            break;
    }
    if (const char* m = wave::read_format(s)) return m;
    if (const char* m = wave::find_data(s)) return m;

    HGLOBAL header = doc::alloc_block(sizeof(HeaderBlock), false);
    HGLOBAL data = header ? wave::alloc_wave(s.header) : nullptr;
    if (!data) {
        doc::free_block(header);
        return wave::kNoMemory;
    }
    {
        doc::Pin<HeaderBlock> h(header);
        *h = s.header;
    }
    SetMouseWait(frame);
    HGLOBAL fileinfo = nullptr;
    HWND w = nullptr;
    const char* message = nullptr;
    if (!wave::read_data(s, data)) {
        message = "can't ascend.";
    } else if (!(fileinfo = wave::read_file_info(s))) {
        message = wave::kNoMemory;
    } else {
        s.close();
        w = doc::create_document_window(frame, client, path, 0);
        if (w && !doc::attach_document(w, header, data, fileinfo, path, SOURCE_PCM_WAVE)) {
            DestroyWindow(w);
            w = nullptr;
            message = wave::kNoMemory;
        }
    }
    SetMouseActive();
    if (!w) {
        doc::free_block(header);
        doc::free_block(data);
        doc::free_block(fileinfo);
        return message ? message : "";
    }
    return nullptr;
}

}  // namespace

WAVKIT_API BOOL OpenWAV(HWND frame, HWND client, LPCSTR path) {
    return entry::guarded(entry::error_box(frame, wave::kNoMemory, 0), [&] {
        if (wave::refuse_long_path(frame, path)) return 0;
        bool empty = false;
        const char* message = open_into_document(frame, client, path, &empty);
        if (empty) {
            NewFile(frame, client, 0);
            return 0;
        }
        if (!message) return 1;
        if (*message) ErrorBox(frame, message);
        return 0;
    });
}
