// Peak memory of one whole-file edit of a 600 MB 16-bit stereo document: the
// file is opened as the program opens it, then the edit runs as an operation
// does (its undo record of every byte, then the volume kernel over the whole
// data), then it is undone. Prints the process's resident memory after each
// step and its peak (VmHWM), each against the data size.
// Set SONREL_BENCH_DIR to choose the folder (default /tmp).
//
// Target: the peak after the edit at most 1.25 times the data.
#include <kernels/kernels.h>
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

// A "VmRSS:" or "VmHWM:" line of /proc/self/status in MB.
double status_mb(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double kb = 0;
    size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0) kb = std::atof(line + n);
    std::fclose(f);
    return kb / 1024.0;
}

void report(const char* step) {
    const double data = kDataBytes / double(1 << 20);
    double rss = status_mb("VmRSS:"), peak = status_mb("VmHWM:");
    std::printf("%-18s resident %7.0f MB (%.2fx data)  peak %7.0f MB (%.2fx data)\n", step, rss,
                rss / data, peak, peak / data);
}

// The edit as the volume operation makes it: the undo record, then the kernel.
bool whole_file_edit(HWND doc) {
    DocumentLockEnter(doc);
    bool ok = SaveUndoInformation(doc, 0, kDataBytes, UNDO_CHANGED, "Undo: Volume") != 0;
    HGLOBAL wave = GetProp(doc, PROP_WAVE);
    auto* data = static_cast<uint8_t*>(GlobalLock(wave));
    if (data) kern::volume_kernel(data, 16, kern::ByteRange{0, kDataBytes}, 1.5f, nullptr);
    GlobalUnlock(wave);
    DocumentLockLeave(doc);
    return ok && data && IsUndoPossible(doc);
}

}  // namespace

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* base = std::getenv("SONREL_BENCH_DIR");
    std::string tmpl = std::string(base ? base : "/tmp") + "/sonrel-bench-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    if (!mkdtemp(buf.data())) return 2;
    std::string dir = buf.data();
    setenv("SONREL_HOME", dir.c_str(), 1);
    std::string source = dir + "/source.wav";
    int status = 1;
    if (benchfiles::write_ramp_wave(source, kDataBytes)) {
        PlatformInit(nullptr, nullptr);
        fixtures::register_document_class(child_proc);
        auto* mdi = new fixtures::MdiFrame(640, 480);
        report("started");
        if (OpenWAV(mdi->frame, mdi->client, source.c_str()) && !mdi->documents().empty()) {
            HWND doc = mdi->documents().back();
            report("opened");
            if (whole_file_edit(doc)) {
                report("edited");
                if (RestoreUndoInformation(doc)) {
                    report("undone");
                    status = 0;
                }
            }
            ReleaseDocumentBlocks(doc);
            DestroyWindow(doc);
        }
    }
    std::system(("rm -rf '" + dir + "'").c_str());
    if (status != 0) std::fprintf(stderr, "the edit or its undo failed\n");
    return status;
}
