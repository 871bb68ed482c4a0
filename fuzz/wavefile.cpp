// Fuzz target for the wave file reader: every input is opened into a new
// document and reloaded into an existing one. A document whose data size
// exceeds its WAVE block, or a header whose file length is not data size + 44,
// is a fault.
#include <platform/testing.h>
#include <sonrel/wavkit.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Harness {
    HWND frame = nullptr;
    HWND client = nullptr;
    HWND kept = nullptr;  // the document every input is reloaded into
    std::string path;
};

LRESULT frame_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefFrameProc(hwnd, nullptr, msg, wp, lp);
}

LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

std::string g_home;
HWND g_kept = nullptr;
void remove_home() {
    if (!g_home.empty()) std::system(("rm -rf '" + g_home + "'").c_str());
}

INT_PTR answer_ok(const PlatformQuestion*, void*) {
    return IDOK;
}

Harness& harness() {
    static Harness h = [] {
        Harness made;
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        char tmpl[] = "/tmp/sonrel-fuzz-XXXXXX";
        if (const char* dir = mkdtemp(tmpl)) {
            setenv("SONREL_HOME", dir, 1);
            g_home = dir;
            std::atexit(remove_home);
            made.path = std::string(dir) + "/input.wav";
        }
        PlatformInit(nullptr, nullptr);
        PlatformSetQuestionHook(answer_ok, nullptr);
        // Claims of huge data sizes are refused instead of filling the memory.
        PlatformSetAllocationLimit(64ull << 20);
        WNDCLASSEX wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = frame_proc;
        wc.lpszClassName = "FuzzFrame";
        RegisterClassEx(&wc);
        wc.lpfnWndProc = child_proc;
        wc.lpszClassName = "Child Window";
        RegisterClassEx(&wc);
        made.frame = CreateWindowEx(0, "FuzzFrame", "Fuzz", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                    nullptr, nullptr, nullptr, nullptr);
        CLIENTCREATESTRUCT ccs{};
        made.client = CreateWindowEx(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 640, 480,
                                     made.frame, nullptr, nullptr, &ccs);
        made.kept = NewFile(made.frame, made.client, 1);
        g_kept = made.kept;
        return made;
    }();
    return h;
}

void check_document(HWND doc) {
    HGLOBAL hh = GetProp(doc, PROP_HEADER);
    if (!hh) return;
    const auto* header = static_cast<const HeaderBlock*>(GlobalLock(hh));
    DWORD dataSize = header->dataSize, fileLength = header->fileLength;
    GlobalUnlock(hh);
    HGLOBAL wave = GetProp(doc, PROP_WAVE);
    if (dataSize && (!wave || GlobalSize(wave) < dataSize)) std::abort();
    if (wave && fileLength != dataSize + HEADER_BYTES) std::abort();
    if (wave && dataSize) {
        const auto* bytes = static_cast<const unsigned char*>(GlobalLock(wave));
        volatile unsigned char last = bytes[dataSize - 1];  // the whole range must be readable
        (void)last;
        GlobalUnlock(wave);
    }
}

BOOL collect_other(HWND w, LPARAM lp) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(lp);
    if (w != found->front() && GetWindowLongPtr(w, GWLP_USERDATA) == DOCUMENT_USERDATA)
        found->push_back(w);
    return TRUE;
}

// Checks and closes every document the input made besides the kept one.
void close_new_documents(Harness& h) {
    std::vector<HWND> found{h.kept};
    EnumChildWindows(h.client, collect_other, reinterpret_cast<LPARAM>(&found));
    for (size_t i = 1; i < found.size(); ++i) {
        check_document(found[i]);
        ReleaseDocumentBlocks(found[i]);
        DestroyWindow(found[i]);
    }
}

}  // namespace

extern "C" void FuzzTargetCleanup() {
    if (g_kept) ReleaseDocumentBlocks(g_kept);
    g_kept = nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness& h = harness();
    if (h.path.empty() || !h.frame) return 0;
    FILE* f = std::fopen(h.path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    OpenWAV(h.frame, h.client, h.path.c_str());
    close_new_documents(h);
    ReloadWAV(h.frame, h.kept, h.path.c_str());
    check_document(h.kept);
    // Destroyed windows are freed by the event loop: run it, or long runs grow.
    PlatformProcessEvents();
    return 0;
}
