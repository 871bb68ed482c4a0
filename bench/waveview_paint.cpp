// One paint of a document window of 1600 x 400 client pixels holding 16-bit
// stereo sound at 44100 Hz, at "Whole File" (zoom 0) and at zoom 100, for
// one minute and for one hour of sound. The view samples one value per point
// (at most (width - 6) / line step points per channel), so the time of a
// paint does not depend on the file's length. With the peak display on (third
// argument 1) each column reads the document's peak summary, a few entries
// per column, so it does not depend on the length either.
#include <benchmark/benchmark.h>
#include <kit/rvg32.h>
#include <sonrel/blocks.h>
#include <sonrel/wavkit.h>

#include <cstdlib>

#include "fixtures/document_blocks.h"
#include "fixtures/mdi_frame.h"
#include "waveview.h"

namespace {

constexpr int kWidth = 1600, kHeight = 400;

struct Document {
    fixtures::MdiFrame mdi{1800, 700};
    HWND doc = nullptr;
    explicit Document(size_t minutes);
};

Document::Document(size_t minutes) {
    fixtures::register_document_class(WaveWindowProc);
    ShowWindow(mdi.frame, SW_SHOW);
    doc = CreateMDIWindow("Child Window", "bench.wav", WS_VISIBLE, 0, 0, kWidth + 8, kHeight + 28,
                          mdi.client, GetModuleHandle(nullptr), 0);
    const size_t frames = minutes * 60 * 44100;
    const size_t bytes = frames * 4;
    HGLOBAL wave = GlobalAlloc(GMEM_MOVEABLE, bytes);
    auto* p = static_cast<int16_t*>(GlobalLock(wave));
    uint32_t x = 12345;
    for (size_t i = 0; i < frames * 2; ++i) {
        x = x * 1664525u + 1013904223u;
        p[i] = static_cast<int16_t>(x >> 16);
    }
    GlobalUnlock(wave);
    HeaderBlock h = fixtures::pcm_header(2, 44100, 16, static_cast<DWORD>(bytes));
    SetProp(doc, PROP_HEADER, fixtures::block_with(&h, sizeof h));
    SetProp(doc, PROP_WAVE, wave);
    PositionBlock pos{};
    SetProp(doc, PROP_POSITION, fixtures::block_with(&pos, sizeof pos));
    SetProp(doc, PROP_INFO, fixtures::block_with(nullptr, sizeof(InfoBlock)));
    SetProp(doc, PROP_UNDO, fixtures::block_with(nullptr, sizeof(UndoBlock)));
    SetProp(doc, PROP_FILEINFO, fixtures::block_with(nullptr, sizeof(FileInfoBlock)));
    UpdatePeakSummary(doc);
}

void set_view(HWND doc, DWORD zoom, LONG viewStart) {
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    auto* p = static_cast<PositionBlock*>(GlobalLock(h));
    p->zoom = zoom;
    p->viewStart = viewStart;
    GlobalUnlock(h);
    fixtures::set_mark(doc, 1000000, 4000000);
}

// Arguments: minutes of sound, zoom (0: whole file), peak display (1: on).
void BM_Paint(benchmark::State& state) {
    static Document* docs[2] = {nullptr, nullptr};
    const size_t minutes = static_cast<size_t>(state.range(0));
    Document*& d = docs[minutes > 1 ? 1 : 0];
    if (!d) d = new Document(minutes);
    RECT rc{};
    GetClientRect(d->doc, &rc);
    if (rc.right != kWidth || rc.bottom != kHeight) {
        state.SkipWithError("the document window did not get its client size");
        return;
    }
    set_view(d->doc, static_cast<DWORD>(state.range(1)), 500000);
    RegWriteString("Sonrel\\Settings\\Boolean\\PeakDisplay", state.range(2) ? "1" : "0");
    for (auto _ : state) {
        InvalidateRect(d->doc, nullptr, FALSE);
        UpdateWindow(d->doc);
    }
    state.counters["values"] = static_cast<double>(minutes * 60 * 44100 * 2);
}
BENCHMARK(BM_Paint)->ArgsProduct({{1, 60}, {0, 100}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    PlatformInit(&argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
