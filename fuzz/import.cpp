// Fuzz target for the background open: every input is a file that
// OpenCompressedWAV reads into a new document by its content (PCM or coded
// wave file, AVI sound, or RAW data with the RAW dialog answered OK). The
// thread must end; a document it leaves must have a WAVE block holding its
// data size and a file length of data size + 44.
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fixtures/mdi_frame.h"

namespace {

LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) ReleaseDocumentBlocks(hwnd);
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

std::string g_home;
void remove_home() {
    if (!g_home.empty()) std::system(("rm -rf '" + g_home + "'").c_str());
}

INT_PTR answer_ok(const PlatformQuestion*, void*) {
    return IDOK;
}

struct Harness {
    fixtures::MdiFrame* mdi = nullptr;
    std::string path;
    Harness() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        char tmpl[] = "/tmp/sonrel-fuzz-import-XXXXXX";
        if (const char* dir = mkdtemp(tmpl)) {
            setenv("SONREL_HOME", dir, 1);
            g_home = dir;
            std::atexit(remove_home);
            path = std::string(dir) + "/input.wav";
        }
        PlatformInit(nullptr, nullptr);
        PlatformSetQuestionHook(answer_ok, nullptr);
        PlatformSetAllocationLimit(64ull << 20);
        fixtures::register_document_class(child_proc);
        mdi = new fixtures::MdiFrame(640, 480);
        HWND client = mdi->client;
        mdi->answer = [client](UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
            *result = 0;
            if (msg == UM_GETMDICLIENT) {
                *result = reinterpret_cast<LRESULT>(client);
                return true;
            }
            if (msg == UM_DESTROYWINDOW) {
                DestroyWindow(reinterpret_cast<HWND>(lp));
                return true;
            }
            return msg == UM_THREADBEGIN || msg == UM_THREADEND;
        };
        RegWriteString("Sonrel\\Settings\\CompressBits", "16");
    }
};

Harness& harness() {
    static Harness h;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness& h = harness();
    if (h.path.empty() || !h.mdi->frame) return 0;
    FILE* f = std::fopen(h.path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    RegWriteString("Sonrel\\NewFile\\FileOpen", h.path.c_str());
    if (!NewFile(h.mdi->frame, h.mdi->client, 1)) return 0;
    HANDLE t = CreateThread(nullptr, 0, OpenCompressedWAV, h.mdi->frame, 0, nullptr);
    if (!t) return 0;
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    for (HWND doc : h.mdi->documents()) {
        check_document(doc);
        DestroyWindow(doc);
    }
    // Destroyed windows are freed by the event loop: run it, or long runs grow.
    PlatformProcessEvents();
    return 0;
}
