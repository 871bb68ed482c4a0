// Fuzz target for the clipboard loader: the input is the clipboard file. It is
// pasted and mixed into a 16-bit stereo document (converted when its format
// differs) and pasted into an empty document, which takes it as it is, each on
// an operation thread as the frame starts them. Afterwards a document whose
// data size exceeds its WAVE block, whose file length is not data size + 44,
// or that holds a part of a frame, is a fault.
#include <platform/testing.h>
#include <sonrel/effects.h>
#include <sonrel/wavkit.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fixtures/document_blocks.h"
#include "fixtures/mdi_frame.h"
#include "support/fuzz_support.h"

namespace {

constexpr DWORD kDocumentBytes = 4000;

LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

struct Harness {
    fixtures::MdiFrame* mdi = nullptr;
    std::string clip;
    Harness() {
        const std::string& home = fuzzing::start_platform();
        (void)home;
        // Claims of huge data sizes are refused instead of filling the memory.
        PlatformSetAllocationLimit(64ull << 20);
        fixtures::register_document_class(child_proc);
        mdi = new fixtures::MdiFrame(640, 480);
        char temp[1024];
        DWORD n = GetTempPath(sizeof temp, temp);
        if (n > 0 && n < sizeof temp) clip = std::string(temp) + "SnrCLIP.WAV";
    }
};

Harness& harness() {
    static Harness h;
    return h;
}

// A document window with the blocks of 16-bit stereo data (or none: empty).
HWND make_document(Harness& h, bool withData) {
    HWND doc = CreateMDIWindow("Child Window", "fuzz.wav", 0, 0, 0, 300, 200, h.mdi->client,
                               GetModuleHandle(nullptr), 0);
    DWORD bytes = withData ? kDocumentBytes : 0;
    std::vector<BYTE> data(bytes + WAVE_SPARE_BYTES);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i * 7);
    HeaderBlock header = fixtures::pcm_header(2, 44100, 16, bytes);
    SetProp(doc, PROP_HEADER, fixtures::block_with(&header, sizeof header));
    if (withData) SetProp(doc, PROP_WAVE, fixtures::block_with(data.data(), data.size()));
    PositionBlock position{};
    SetProp(doc, PROP_POSITION, fixtures::block_with(&position, sizeof position));
    SetProp(doc, PROP_INFO, fixtures::block_with(nullptr, sizeof(InfoBlock)));
    SetProp(doc, PROP_UNDO, fixtures::block_with(nullptr, sizeof(UndoBlock)));
    SetProp(doc, PROP_FILEINFO, fixtures::block_with(nullptr, sizeof(FileInfoBlock)));
    if (withData) fixtures::set_mark(doc, 1000, 0);
    return doc;
}

void run_operation(LPTHREAD_START_ROUTINE proc, HWND doc) {
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, proc, doc, 0, &id);
    if (!thread) return;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

void close_document(HWND doc) {
    ReleaseDocumentBlocks(doc);
    DestroyWindow(doc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness& h = harness();
    if (h.clip.empty() || !h.mdi->frame) return 0;
    FILE* f = std::fopen(h.clip.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    HWND doc = make_document(h, true);
    run_operation(PasteFromClipboard, doc);
    fuzzing::check_document(doc, true);
    run_operation(PasteMixFromClipboard, doc);
    fuzzing::check_document(doc, true);
    close_document(doc);

    HWND empty = make_document(h, false);
    run_operation(PasteFromClipboard, empty);
    fuzzing::check_document(empty, true);
    close_document(empty);
    // Destroyed windows are freed by the event loop: run it, or long runs grow.
    PlatformProcessEvents();
    return 0;
}
