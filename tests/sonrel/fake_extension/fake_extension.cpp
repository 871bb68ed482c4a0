// Extensions for the loader's tests, one library per kind (FAKE_<KIND>). Each
// writes its record by byte offsets, as an extension written against the
// documented layout alone would, and counts the calls it gets.
#include <platform/platform.h>
#include <sonrel/extension.h>

#include <cstring>
#include <stdexcept>

#if defined(FAKE_NOINFO)
#define HAS_INFO 0
#else
#define HAS_INFO 1
#endif
#if defined(FAKE_NODIALOG)
#define HAS_DIALOG 0
#else
#define HAS_DIALOG 1
#endif
#if defined(FAKE_NOFILTER)
#define HAS_FILTER 0
#else
#define HAS_FILTER 1
#endif
#if defined(FAKE_INACTIVE)
#define ACTIVE 0
#else
#define ACTIVE 1
#endif
#if defined(FAKE_THROWS_THREADED)
#define THREADED 1
#else
#define THREADED 0
#endif

#define FAKE_VARIABLE __attribute__((visibility("default")))
extern "C" {
FAKE_VARIABLE int fake_dialog_calls = 0;
FAKE_VARIABLE int fake_filter_calls = 0;
FAKE_VARIABLE DWORD fake_dialog_answer = 1;
}

namespace {

[[maybe_unused]] void put32(unsigned char* record, size_t offset, DWORD value) {
    std::memcpy(record + offset, &value, sizeof value);
}

}  // namespace

#if HAS_INFO
EXTENSION_EXPORT void GetExtensionInformation(void* info) {
    auto* record = static_cast<unsigned char*>(info);
#if defined(FAKE_LONGTEXT)
    // Both texts fill their fields without a terminating zero.
    std::memset(record + 4, 'M', 491);
    std::memset(record + 495, 'D', 125);
#else
    std::strcpy(reinterpret_cast<char*>(record + 4), "Fake &Filter");
    std::strcpy(reinterpret_cast<char*>(record + 495), "Fake help line\rFake tip");
#endif
    put32(record, 620, THREADED);
    put32(record, 628, ACTIVE);
    // The extension's own bytes, which the editor leaves alone.
    record[2] = record[3] = 0xAB;
    put32(record, 624, 0xCDCDCDCD);
    DWORD pixels[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0};
    HBITMAP image = PlatformCreateBitmap(2, 2, pixels);
    std::memcpy(record + 632 + sizeof(void*), &image, sizeof image);
}
#endif

#if HAS_DIALOG
EXTENSION_EXPORT DWORD ShowDialogBox(HWND) {
    ++fake_dialog_calls;
    return fake_dialog_answer;
}
#endif

#if HAS_FILTER
EXTENSION_EXPORT DWORD Filter(HWND) {
    ++fake_filter_calls;
#if defined(FAKE_THROWS_THREADED) || defined(FAKE_THROWS_DIRECT)
    throw std::runtime_error("fake filter fails");
#endif
    return 7;
}
#endif
