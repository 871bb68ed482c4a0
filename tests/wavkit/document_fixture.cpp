#include "document_fixture.h"

#include <gtest/gtest.h>
#include <sonrel/messages.h>

#include <cstring>

#include "test_support.h"

namespace wavtest {

namespace {

// A document closed by the code under test takes its blocks with it, as the
// program's view does.
LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) ReleaseDocumentBlocks(hwnd);
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

template <typename T>
T read_block(HWND doc, const char* name) {
    T out{};
    HGLOBAL h = GetProp(doc, name);
    if (!h) return out;
    if (void* p = GlobalLock(h)) {
        std::memcpy(&out, p, sizeof out);
        GlobalUnlock(h);
    }
    return out;
}

}  // namespace

Frame::Frame() {
    fixtures::register_document_class(child_proc);
    answer = [this](UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
        if (msg != UM_THREADEND) return false;
        std::lock_guard<std::mutex> lock(mutex);
        threadEnds.push_back(wp);
        *result = 0;
        return true;
    };
}

Frame::~Frame() {
    for (HWND d : documents()) {
        ReleaseDocumentBlocks(d);
        DestroyWindow(d);
    }
}

HWND make_document(Frame& f, const Format& fmt, const Bytes& data, WORD sourceFormat,
                   const char* path) {
    HWND w = CreateMDIWindow("Child Window", path, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, f.client, GetModuleHandle(nullptr), 0);
    HeaderBlock h =
        fixtures::pcm_header(fmt.channels, fmt.rate, fmt.bits, static_cast<DWORD>(data.size()));
    SetProp(w, PROP_HEADER, fixtures::block_with(&h, sizeof h));
    if (!data.empty()) SetProp(w, PROP_WAVE, fixtures::block_with(data.data(), data.size()));
    PositionBlock pos{};
    pos.zoom = 100;
    SetProp(w, PROP_POSITION, fixtures::block_with(&pos, sizeof pos));
    InfoBlock info{};
    std::strncpy(info.path, path, sizeof info.path - 1);
    info.saved = 1;
    info.sourceFormat = sourceFormat;
    SetProp(w, PROP_INFO, fixtures::block_with(&info, sizeof info));
    SetProp(w, PROP_UNDO, fixtures::block_with(nullptr, sizeof(UndoBlock)));
    SetProp(w, PROP_FILEINFO, fixtures::block_with(nullptr, sizeof(FileInfoBlock)));
    SetWindowLongPtr(w, GWLP_USERDATA, DOCUMENT_USERDATA);
    return w;
}

HeaderBlock header_of(HWND doc) {
    return read_block<HeaderBlock>(doc, PROP_HEADER);
}
PositionBlock position_of(HWND doc) {
    return read_block<PositionBlock>(doc, PROP_POSITION);
}
InfoBlock info_of(HWND doc) {
    return read_block<InfoBlock>(doc, PROP_INFO);
}
UndoBlock undo_of(HWND doc) {
    return read_block<UndoBlock>(doc, PROP_UNDO);
}
HGLOBAL undo_copy_of(HWND doc) {
    HGLOBAL copy = undo_of(doc).copy;
    return copy;
}
FileInfoBlock fileinfo_of(HWND doc) {
    return read_block<FileInfoBlock>(doc, PROP_FILEINFO);
}

Bytes data_of(HWND doc) {
    HGLOBAL h = GetProp(doc, PROP_WAVE);
    if (!h) return {};
    size_t n = header_of(doc).dataSize;
    EXPECT_GE(GlobalSize(h), n) << "the WAVE block must hold the data size";
    n = std::min<size_t>(n, GlobalSize(h));
    const unsigned char* p = static_cast<const unsigned char*>(GlobalLock(h));
    Bytes out(p, p + n);
    GlobalUnlock(h);
    return out;
}

void put16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void put_tag(Bytes& b, const char* tag) {
    b.insert(b.end(), tag, tag + 4);
}

void put_chunk(Bytes& b, const char* id, const Bytes& body, int64_t claimed) {
    put_tag(b, id);
    put32(b, claimed >= 0 ? static_cast<uint32_t>(claimed) : static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
}

Bytes fmt_body(WORD code, const Format& fmt, size_t extra) {
    Bytes b;
    put16(b, code);
    put16(b, fmt.channels);
    put32(b, fmt.rate);
    put32(b, fmt.bytesPerSec());
    put16(b, fmt.blockAlign());
    put16(b, fmt.bits);
    b.insert(b.end(), extra, 0xEE);
    return b;
}

Bytes riff(const char* type, const Bytes& inner) {
    Bytes b;
    put_tag(b, "RIFF");
    put32(b, static_cast<uint32_t>(inner.size() + 4));
    put_tag(b, type);
    b.insert(b.end(), inner.begin(), inner.end());
    return b;
}

Bytes wav_file(const Format& fmt, const Bytes& data) {
    Bytes inner;
    put_chunk(inner, "fmt ", fmt_body(1, fmt));
    put_chunk(inner, "data", data);
    return riff("WAVE", inner);
}

Bytes pattern(size_t n, unsigned seed) {
    Bytes b(n);
    uint32_t x = seed * 2654435761u + 12345u;
    for (auto& v : b) {
        x = x * 1103515245u + 12345u;
        v = static_cast<unsigned char>(x >> 16);
    }
    return b;
}

std::string file_with(const Bytes& bytes, const char* name) {
    std::string path = testing_support::fresh_dir("wav") + "/" + name;
    testing_support::write_file(path, bytes);
    return path;
}

}  // namespace wavtest
