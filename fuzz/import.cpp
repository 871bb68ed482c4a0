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
#include "support/fuzz_support.h"

namespace {

LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) ReleaseDocumentBlocks(hwnd);
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

struct Harness {
    fixtures::MdiFrame* mdi = nullptr;
    std::string path;
    Harness() {
        const std::string& home = fuzzing::start_platform();
        if (!home.empty()) path = home + "/input.wav";
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
        fuzzing::check_document(doc);
        DestroyWindow(doc);
    }
    // Destroyed windows are freed by the event loop: run it, or long runs grow.
    PlatformProcessEvents();
    return 0;
}
