// The background open on large files, beside the plain reading of the same
// bytes and SoX's decoding of the same file in the same run, so the figures
// are ratios: a 600 MB 16-bit stereo PCM wave file (with the resident memory
// after the open against the data size), and a 100 MB IMA ADPCM wave file.
// Set SONREL_BENCH_DIR to choose the folder (default /tmp).
#include <benchmark/benchmark.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fixtures/mdi_frame.h"
#include "support/large_wave.h"

namespace {

constexpr uint32_t kPcmBytes = 600u << 20;
constexpr uint32_t kImaBytes = 100u << 20;

LRESULT child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) ReleaseDocumentBlocks(hwnd);
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

struct Harness {
    std::string dir, pcm, ima;
    fixtures::MdiFrame* mdi = nullptr;  // kept for the process's life
    Harness() {
        dir = benchfiles::start_bench_folder();
        pcm = dir + "/pcm.wav";
        ima = dir + "/ima.wav";
        PlatformInit(nullptr, nullptr);
        fixtures::register_document_class(child_proc);
        mdi = new fixtures::MdiFrame(640, 480);
        HWND client = mdi->client;
        mdi->answer = [client](UINT msg, WPARAM, LPARAM, LRESULT* result) {
            *result = msg == UM_GETMDICLIENT ? reinterpret_cast<LRESULT>(client) : 0;
            return msg == UM_GETMDICLIENT || msg == UM_THREADBEGIN || msg == UM_THREADEND;
        };
        RegWriteString("Sonrel\\Settings\\CompressBits", "16");
    }
};

Harness& harness() {
    static Harness h;
    return h;
}

// About kImaBytes of IMA ADPCM (4 bits a sample) at 44100 Hz stereo.
void make_ima(const std::string& path) {
    if (access(path.c_str(), R_OK) == 0) return;
    double seconds = double(kImaBytes) * 2 / (44100.0 * 2);
    std::string cmd = "sox -V1 -n -r 44100 -c 2 -e ima-adpcm '" + path + "' synth " +
                      std::to_string(seconds) + " sine 440 sine 660 vol 0.5";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "sox failed\n");
}

// One background open of path into a new document, as the frame starts it.
HWND open_in_background(Harness& h, const std::string& path) {
    RegWriteString("Sonrel\\NewFile\\FileOpen", path.c_str());
    HWND doc = NewFile(h.mdi->frame, h.mdi->client, 1);
    HANDLE t = CreateThread(nullptr, 0, OpenCompressedWAV, h.mdi->frame, 0, nullptr);
    WaitForSingleObject(t, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(t, &code);
    CloseHandle(t);
    return code == 1 ? doc : nullptr;
}

void BM_ReadPlain600MB(benchmark::State& state) {
    Harness& h = harness();
    benchfiles::write_ramp_wave(h.pcm, kPcmBytes);
    std::vector<char> buffer(kPcmBytes + 44);
    for (auto _ : state) {
        benchfiles::read_plain(h.pcm, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kPcmBytes);
}

void BM_BackgroundOpenPcm600MB(benchmark::State& state) {
    Harness& h = harness();
    benchfiles::write_ramp_wave(h.pcm, kPcmBytes);
    double before = benchfiles::resident_mb(), after = 0;
    for (auto _ : state) {
        HWND doc = open_in_background(h, h.pcm);
        if (!doc) {
            state.SkipWithError("the open failed");
            break;
        }
        state.PauseTiming();
        after = benchfiles::resident_mb();
        DestroyWindow(doc);
        PlatformProcessEvents();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kPcmBytes);
    state.counters["rss_before_MB"] = before;
    state.counters["rss_after_open_MB"] = after;
    state.counters["data_MB"] = kPcmBytes / double(1 << 20);
}

void BM_SoxDecodeIma100MB(benchmark::State& state) {
    Harness& h = harness();
    make_ima(h.ima);
    std::string out = h.dir + "/sox-out.wav";
    std::string cmd = "sox '" + h.ima + "' -e signed-integer '" + out + "'";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("sox failed");
    unlink(out.c_str());
}

void BM_BackgroundOpenIma100MB(benchmark::State& state) {
    Harness& h = harness();
    make_ima(h.ima);
    for (auto _ : state) {
        HWND doc = open_in_background(h, h.ima);
        if (!doc) {
            state.SkipWithError("the open failed");
            break;
        }
        state.PauseTiming();
        DestroyWindow(doc);
        PlatformProcessEvents();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ReadPlain600MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BackgroundOpenPcm600MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SoxDecodeIma100MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BackgroundOpenIma100MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Harness& h = harness();
    std::system(("rm -rf '" + h.dir + "'").c_str());
    return 0;
}
