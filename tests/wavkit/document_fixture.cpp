#include "document_fixture.h"

#include <gtest/gtest.h>
#include <sonrel/messages.h>

#include <cstring>

#include "test_support.h"

namespace wavtest {

namespace {

Frame* g_frame = nullptr;  // the frame whose procedure is running (one at a time)

LRESULT frame_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Frame* f = g_frame;
    if (f && msg == UM_GETACTIVEDOC) {
        if (f->active) return reinterpret_cast<LRESULT>(f->active);
        return SendMessage(f->client, WM_MDIGETACTIVE, 0, 0);
    }
    if (f && msg == UM_THREADEND) {
        std::lock_guard<std::mutex> lock(f->mutex);
        f->threadEnds.push_back(wp);
        return 0;
    }
    return DefFrameProc(hwnd, f ? f->client : nullptr, msg, wp, lp);
}

LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

void register_classes() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = frame_proc;
    wc.hInstance = GetModuleHandle(nullptr);
    wc.lpszClassName = "WavTestFrame";
    RegisterClassEx(&wc);
    wc.lpfnWndProc = child_proc;
    wc.lpszClassName = "Child Window";
    RegisterClassEx(&wc);
}

BOOL collect_document(HWND w, LPARAM lp) {
    if (GetWindowLongPtr(w, GWLP_USERDATA) == DOCUMENT_USERDATA)
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
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

HGLOBAL block_with(const void* bytes, size_t n) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n);
    void* p = GlobalLock(h);
    if (p && bytes) std::memcpy(p, bytes, n);
    GlobalUnlock(h);
    return h;
}

}  // namespace

Frame::Frame() {
    register_classes();
    g_frame = this;
    frame = CreateWindowEx(0, "WavTestFrame", "Frame", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                           nullptr, GetModuleHandle(nullptr), nullptr);
    CLIENTCREATESTRUCT ccs{};
    client = CreateWindowEx(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, frame,
                            nullptr, GetModuleHandle(nullptr), &ccs);
}

Frame::~Frame() {
    for (HWND d : documents()) {
        ReleaseDocumentBlocks(d);
        DestroyWindow(d);
    }
    DestroyWindow(frame);
    g_frame = nullptr;
}

std::vector<HWND> Frame::documents() const {
    std::vector<HWND> out;
    EnumChildWindows(client, collect_document, reinterpret_cast<LPARAM>(&out));
    return out;
}

HWND make_document(Frame& f, const Format& fmt, const Bytes& data, WORD sourceFormat,
                   const char* path) {
    HWND w = CreateMDIWindow("Child Window", path, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, f.client, GetModuleHandle(nullptr), 0);
    HeaderBlock h{};
    std::memcpy(h.riffTag, "RIFF", 4);
    std::memcpy(h.waveTag, "WAVEfmt ", 8);
    h.formatLength = 16;
    h.formatCode = 1;
    h.channels = fmt.channels;
    h.samplesPerSec = fmt.rate;
    h.bytesPerSec = fmt.bytesPerSec();
    h.blockAlign = fmt.blockAlign();
    h.bitsPerSample = fmt.bits;
    std::memcpy(h.dataTag, "data", 4);
    h.dataSize = static_cast<DWORD>(data.size());
    h.fileLength = h.dataSize + 44;
    SetProp(w, PROP_HEADER, block_with(&h, sizeof h));
    if (!data.empty()) SetProp(w, PROP_WAVE, block_with(data.data(), data.size()));
    PositionBlock pos{};
    pos.zoom = 100;
    SetProp(w, PROP_POSITION, block_with(&pos, sizeof pos));
    InfoBlock info{};
    std::strncpy(info.path, path, sizeof info.path - 1);
    info.saved = 1;
    info.sourceFormat = sourceFormat;
    SetProp(w, PROP_INFO, block_with(&info, sizeof info));
    SetProp(w, PROP_UNDO, block_with(nullptr, sizeof(UndoBlock)));
    SetProp(w, PROP_FILEINFO, block_with(nullptr, sizeof(FileInfoBlock)));
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

void set_mark(HWND doc, DWORD start, DWORD length) {
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    auto* p = static_cast<PositionBlock*>(GlobalLock(h));
    p->markStart = start;
    p->markLength = length;
    GlobalUnlock(h);
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
