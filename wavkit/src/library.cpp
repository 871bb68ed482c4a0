// The library's start-up work: recording its own module instance when it is
// loaded into a process.
#include "document.h"

namespace {

HINSTANCE g_instance = nullptr;

__attribute__((constructor)) void record_instance() {
    g_instance = PlatformModuleOfAddress(reinterpret_cast<const void*>(&record_instance));
}

}  // namespace

WAVKIT_API HINSTANCE WavkitModuleInstance(void) {
    return g_instance;
}
