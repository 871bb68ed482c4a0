// Opening and saving a 600 MB 16-bit stereo wave file, beside plain read() and
// write() of the same bytes in the same run, so the figures are ratios. The
// open also reports the process's resident memory after it, against the data
// size. Set SONREL_BENCH_DIR to choose the folder (default /tmp).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sonrel/wavkit.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fixtures/mdi_frame.h"
#include "support/large_wave.h"

namespace {

constexpr uint32_t kDataBytes = 600u << 20;

LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

// The folder, the files and the frame (UM_GETACTIVEDOC answers `active`, the
// document being saved). Made once, on first use.
struct Harness {
    std::string dir, source, target;
    fixtures::MdiFrame* mdi = nullptr;  // kept for the process's life
    Harness() {
        dir = benchfiles::start_bench_folder();
        source = dir + "/source.wav";
        target = dir + "/saved.wav";
        PlatformInit(nullptr, nullptr);
        fixtures::register_document_class(child_proc);
        mdi = new fixtures::MdiFrame(640, 480);
    }
};

Harness& harness() {
    static Harness h;
    return h;
}

HWND open_document(Harness& h) {
    if (!OpenWAV(h.mdi->frame, h.mdi->client, h.source.c_str())) return nullptr;
    std::vector<HWND> docs = h.mdi->documents();
    return docs.empty() ? nullptr : docs.back();
}

void close_document(HWND doc) {
    ReleaseDocumentBlocks(doc);
    DestroyWindow(doc);
}

// Plain read() of the whole file into one buffer that every iteration reuses.
void BM_ReadPlain(benchmark::State& state) {
    Harness& h = harness();
    benchfiles::write_ramp_wave(h.source, kDataBytes);
    std::vector<char> buffer(kDataBytes + 44);
    for (auto _ : state) {
        benchfiles::read_plain(h.source, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kDataBytes);
}

void BM_OpenWAV(benchmark::State& state) {
    Harness& h = harness();
    benchfiles::write_ramp_wave(h.source, kDataBytes);
    double before = benchfiles::resident_mb(), after = 0;
    for (auto _ : state) {
        HWND doc = open_document(h);
        if (!doc) {
            state.SkipWithError("OpenWAV failed");
            break;
        }
        state.PauseTiming();
        after = benchfiles::resident_mb();
        close_document(doc);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kDataBytes);
    state.counters["rss_before_MB"] = before;
    state.counters["rss_after_open_MB"] = after;
    state.counters["data_MB"] = kDataBytes / double(1 << 20);
}

// Plain write() of the same bytes into a new file, then a rename over the target.
void BM_WritePlain(benchmark::State& state) {
    Harness& h = harness();
    benchfiles::write_ramp_wave(h.source, kDataBytes);
    std::vector<char> buffer(kDataBytes + 44, 1);
    std::string temp = h.target + ".tmp";
    for (auto _ : state) {
        int fd = open(temp.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        size_t done = 0;
        while (done < buffer.size()) {
            ssize_t n = write(fd, buffer.data() + done, buffer.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        close(fd);
        std::rename(temp.c_str(), h.target.c_str());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kDataBytes);
    unlink(h.target.c_str());
}

void BM_SaveWAV(benchmark::State& state) {
    Harness& h = harness();
    benchfiles::write_ramp_wave(h.source, kDataBytes);
    h.mdi->active = open_document(h);
    if (!h.mdi->active) {
        state.SkipWithError("OpenWAV failed");
        return;
    }
    char path[INFO_PATH_CHARS];
    for (auto _ : state) {
        std::snprintf(path, sizeof path, "%s", h.target.c_str());
        if (!SaveWAV(h.mdi->frame, path)) {
            state.SkipWithError("SaveWAV failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kDataBytes);
    close_document(h.mdi->active);
    h.mdi->active = nullptr;
    unlink(h.target.c_str());
}

BENCHMARK(BM_ReadPlain)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenWAV)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WritePlain)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveWAV)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Harness& h = harness();
    unlink(h.source.c_str());
    std::system(("rm -rf '" + h.dir + "'").c_str());
    return 0;
}
