// Loading a chosen part of a large wave file into a new document.
#include "loader.h"

#include <sonrel/messages.h>

#include <cstdio>
#include <string>

#include "document.h"
#include "entry.h"
#include "wavefile.h"

namespace loader {

namespace {

// "<folder>/<name> part <start>.wav": a name beside the source for the part.
std::string part_path(const char* path, uint64_t startMs) {
    std::string p = path;
    size_t slash = p.rfind('/');
    size_t dot = p.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) p.resize(dot);
    std::string start = time_text(startMs);
    for (char& c : start)
        if (c == ':') c = '-';
    return p + " part " + start + ".wav";
}

HGLOBAL make_header(const BigWave& w, DWORD bytes) {
    HGLOBAL h = doc::alloc_block(sizeof(HeaderBlock), true);
    doc::Pin<HeaderBlock> p(h);
    if (!p) {
        doc::free_block(h);
        return nullptr;
    }
    doc::init_header(p.ptr, w.channels, w.rate, w.rate * w.blockAlign, w.blockAlign, w.bits, bytes);
    return h;
}

const char* read_part(const char* path, const BigWave& w, const Part& part, HGLOBAL data) {
    doc::Pin<char> out(data);
    if (!out) return entry::kNotEnoughMemory;
    if (!read_bytes(path, w.dataOffset + part.offset, out.ptr, size_t(part.bytes)))
        return "The part could not be read from the file.";
    return nullptr;
}

HWND make_document(HWND frame, const std::string& name, HGLOBAL header, HGLOBAL data) {
    auto client = reinterpret_cast<HWND>(SendMessage(frame, UM_GETMDICLIENT, 0, 0));
    HGLOBAL fileinfo = doc::alloc_block(sizeof(FileInfoBlock), true);
    HWND w = client && fileinfo
                 ? doc::create_document_window(frame, client, name.c_str(), WS_HSCROLL)
                 : nullptr;
    if (w && doc::attach_document(w, header, data, fileinfo, name.c_str(), SOURCE_PCM_WAVE)) {
        SetFileNotSaved(w);
        return w;
    }
    if (w) DestroyWindow(w);
    doc::free_block(fileinfo);
    return nullptr;
}

}  // namespace

HWND load_part(HWND frame, HWND owner, const char* path, const BigWave& w, const Part& part) {
    std::string name = part_path(path, part.offset / w.blockAlign * 1000 / w.rate);
    if (wave::refuse_long_path(owner, name.c_str())) return nullptr;
    HGLOBAL header = make_header(w, DWORD(part.bytes));
    HGLOBAL data = header ? doc::alloc_block(part.bytes + WAVE_SPARE_BYTES, false) : nullptr;
    const char* message = data ? nullptr : entry::kNotEnoughMemory;
    SetMouseWait(owner);
    if (!message) message = read_part(path, w, part, data);
    HWND doc = message ? nullptr : make_document(frame, name, header, data);
    SetMouseActive();
    if (doc) {
        SendMessage(doc, UM_DOCCHANGED, 0, 0);
        InvalidateRect(reinterpret_cast<HWND>(SendMessage(frame, UM_GETPREVIEW, 0, 0)), nullptr,
                       TRUE);
        InvalidateRect(reinterpret_cast<HWND>(SendMessage(frame, UM_GETSTATUSBAR, 0, 0)), nullptr,
                       TRUE);
        return doc;
    }
    doc::free_block(header);
    doc::free_block(data);
    ErrorBox(owner, message ? message : entry::kNotEnoughMemory);
    return nullptr;
}

}  // namespace loader
