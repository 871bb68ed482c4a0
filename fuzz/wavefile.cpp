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

#include "fixtures/mdi_frame.h"
#include "support/fuzz_support.h"

namespace {

LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

HWND g_kept = nullptr;
// The frame with its MDI client, and the document every input is reloaded
// into. Made once, on first use, and kept for the process's life.
struct Harness {
    fixtures::MdiFrame* mdi = nullptr;
    HWND kept = nullptr;
    std::string path;
    Harness() {
        const std::string& home = fuzzing::start_platform();
        if (!home.empty()) path = home + "/input.wav";
        // Claims of huge data sizes are refused instead of filling the memory.
        PlatformSetAllocationLimit(64ull << 20);
        fixtures::register_document_class(child_proc);
        mdi = new fixtures::MdiFrame(640, 480);
        kept = NewFile(mdi->frame, mdi->client, 1);
        g_kept = kept;
    }
};

Harness& harness() {
    static Harness h;
    return h;
}

// Checks and closes every document the input made besides the kept one.
void close_new_documents(Harness& h) {
    for (HWND doc : h.mdi->documents()) {
        if (doc == h.kept) continue;
        fuzzing::check_document(doc);
        ReleaseDocumentBlocks(doc);
        DestroyWindow(doc);
    }
}

}  // namespace

extern "C" void FuzzTargetCleanup() {
    if (g_kept) ReleaseDocumentBlocks(g_kept);
    g_kept = nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness& h = harness();
    if (h.path.empty() || !h.mdi->frame) return 0;
    FILE* f = std::fopen(h.path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    OpenWAV(h.mdi->frame, h.mdi->client, h.path.c_str());
    close_new_documents(h);
    ReloadWAV(h.mdi->frame, h.kept, h.path.c_str());
    fuzzing::check_document(h.kept);
    // Destroyed windows are freed by the event loop: run it, or long runs grow.
    PlatformProcessEvents();
    return 0;
}
