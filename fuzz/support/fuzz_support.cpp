#include "fuzz_support.h"

#include <platform/testing.h>
#include <sonrel/blocks.h>
#include <unistd.h>

#include <cstdlib>

namespace fuzzing {

namespace {

std::string g_home;

void remove_home() {
    if (!g_home.empty()) std::system(("rm -rf '" + g_home + "'").c_str());
}

INT_PTR answer_ok(const PlatformQuestion*, void*) {
    return IDOK;
}

}  // namespace

const std::string& start_platform() {
    static const bool started = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        char tmpl[] = "/tmp/sonrel-fuzz-XXXXXX";
        if (const char* dir = mkdtemp(tmpl)) {
            setenv("SONREL_HOME", dir, 1);
            g_home = dir;
            std::atexit(remove_home);
        }
        PlatformInit(nullptr, nullptr);
        PlatformSetQuestionHook(answer_ok, nullptr);
        return true;
    }();
    (void)started;
    return g_home;
}

void check_document(HWND doc, bool whole_frames) {
    HGLOBAL hh = GetProp(doc, PROP_HEADER);
    const auto* header = static_cast<const HeaderBlock*>(GlobalLock(hh));
    if (!header) return;
    DWORD dataSize = header->dataSize, fileLength = header->fileLength;
    unsigned frame = header->channels * header->bitsPerSample / 8u;
    GlobalUnlock(hh);
    HGLOBAL wave = GetProp(doc, PROP_WAVE);
    if (dataSize && (!wave || GlobalSize(wave) < dataSize)) std::abort();
    if (wave && fileLength != dataSize + HEADER_BYTES) std::abort();
    if (whole_frames && frame && dataSize % frame != 0) std::abort();
    if (wave && dataSize) {
        const auto* bytes = static_cast<const unsigned char*>(GlobalLock(wave));
        volatile unsigned char last = bytes[dataSize - 1];  // the whole range must be readable
        (void)last;
        GlobalUnlock(wave);
    }
}

}  // namespace fuzzing
