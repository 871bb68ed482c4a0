// Document access: block lookup, allocation, attachment and the header image.
#include "document.h"

#include <sonrel/messages.h>
#include <sonrel/settings.h>

#include <cstring>
#include <exception>

namespace doc {

HGLOBAL block(HWND w, const char* name) {
    return w ? static_cast<HGLOBAL>(GetProp(w, name)) : nullptr;
}

HGLOBAL alloc_block(ULONGLONG bytes, bool zero) {
    if (bytes > static_cast<ULONGLONG>(SIZE_MAX)) return nullptr;
    return GlobalAlloc(GMEM_MOVEABLE | (zero ? GMEM_ZEROINIT : 0), static_cast<SIZE_T>(bytes));
}

void free_block(HGLOBAL h) {
    if (h) GlobalFree(h);
}

bool replace(HWND w, const char* name, HGLOBAL h) {
    HGLOBAL old = block(w, name);
    if (!SetProp(w, name, h)) return false;
    if (std::strcmp(name, PROP_WAVE) == 0) peaks_out_of_date(w);
    if (old && old != h) free_block(old);
    return true;
}

void init_header(HeaderBlock* h, WORD channels, DWORD samplesPerSec, DWORD bytesPerSec,
                 WORD blockAlign, WORD bitsPerSample, DWORD dataSize) {
    std::memset(h, 0, sizeof *h);
    std::memcpy(h->riffTag, "RIFF", 4);
    std::memcpy(h->waveTag, "WAVEfmt ", 8);  // the WAVE and fmt tags stand together
    h->formatLength = 16;
    h->formatCode = 1;
    h->channels = channels;
    h->samplesPerSec = samplesPerSec;
    h->bytesPerSec = bytesPerSec;
    h->blockAlign = blockAlign;
    h->bitsPerSample = bitsPerSample;
    std::memcpy(h->dataTag, "data", 4);
    set_data_size(h, dataSize);
}

void set_data_size(HeaderBlock* h, DWORD dataSize) {
    h->dataSize = dataSize;
    h->fileLength = dataSize + HEADER_BYTES;
}

bool data_size_fits(ULONGLONG dataSize) {
    return dataSize <= 0xFFFFFFFFull - WAVE_SPARE_BYTES;
}

BYTE silence_byte(WORD bitsPerSample) {
    return bitsPerSample == 8 ? 128 : 0;
}

bool resize_wave(HWND w, ULONGLONG dataSize) {
    ULONGLONG bytes = dataSize + WAVE_SPARE_BYTES;
    if (bytes > static_cast<ULONGLONG>(SIZE_MAX)) return false;
    HGLOBAL h = block(w, PROP_WAVE);
    if (!h) {
        HGLOBAL made = alloc_block(bytes, true);
        if (!made) return false;
        if (!replace(w, PROP_WAVE, made)) {
            free_block(made);
            return false;
        }
        return true;
    }
    return GlobalReAlloc(h, static_cast<SIZE_T>(bytes), GMEM_MOVEABLE) != nullptr;
}

HWND active_document(HWND frame) {
    return reinterpret_cast<HWND>(SendMessage(frame, UM_GETACTIVEDOC, 0, 0));
}

HWND create_document_window(HWND frame, HWND client, const char* title, DWORD style) {
    MDICREATESTRUCT mcs{};
    mcs.szClass = "Child Window";
    mcs.szTitle = title;
    mcs.hOwner = reinterpret_cast<HANDLE>(GetWindowLongPtr(frame, GWLP_HINSTANCE));
    mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
    mcs.style = style;
    HWND made = reinterpret_cast<HWND>(
        SendMessage(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    if (!made) return nullptr;
    HWND active = reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, 0));
    return active ? active : made;
}

namespace {

HGLOBAL make_position() {
    HGLOBAL h = alloc_block(sizeof(PositionBlock), true);
    Pin<PositionBlock> p(h);
    if (!p) {
        free_block(h);
        return nullptr;
    }
    p->zoom = SettingWord(SET_STARTUP_ZOOM);
    return h;
}

HGLOBAL make_info(const char* path, WORD sourceFormat) {
    HGLOBAL h = alloc_block(sizeof(InfoBlock), true);
    Pin<InfoBlock> p(h);
    if (!p) {
        free_block(h);
        return nullptr;
    }
    std::strncpy(p->path, path ? path : "", INFO_PATH_CHARS - 1);
    p->saved = 1;
    p->working = 0;
    p->sourceFormat = sourceFormat;
    return h;
}

}  // namespace

bool attach_document(HWND w, HGLOBAL header, HGLOBAL wave, HGLOBAL fileinfo, const char* path,
                     WORD sourceFormat) {
    HGLOBAL position = make_position();
    HGLOBAL undo = alloc_block(sizeof(UndoBlock), true);
    HGLOBAL info = make_info(path, sourceFormat);
    struct Entry {
        const char* name;
        HGLOBAL h;
    };
    const Entry entries[] = {{PROP_WAVE, wave},         {PROP_HEADER, header},
                             {PROP_FILEINFO, fileinfo}, {PROP_POSITION, position},
                             {PROP_UNDO, undo},         {PROP_INFO, info}};
    bool ok = position && undo && info;
    size_t attached = 0;
    for (; ok && attached < sizeof entries / sizeof entries[0]; ++attached) {
        if (entries[attached].h && !SetProp(w, entries[attached].name, entries[attached].h)) {
            ok = false;
            break;
        }
    }
    if (!ok) {
        for (size_t i = 0; i < attached; ++i) RemoveProp(w, entries[i].name);
        free_block(position);
        free_block(undo);
        free_block(info);
        return false;
    }
    SetWindowLongPtr(w, GWLP_USERDATA, DOCUMENT_USERDATA);
    if (wave) update_peaks(w);
    return true;
}

Work::Work(HWND w) : hwnd(w), guard(w) {
    repin();
}

Work::~Work() {
    if (guard.held && std::uncaught_exceptions() == 0) update_peaks(hwnd);
}

void Work::unpin() {
    position.release();
    wave.release();
    header.release();
}

void Work::repin() {
    unpin();
    header = Pin<HeaderBlock>(hwnd, PROP_HEADER);
    wave = Pin<BYTE>(hwnd, PROP_WAVE);
    position = Pin<PositionBlock>(hwnd, PROP_POSITION);
}

}  // namespace doc
