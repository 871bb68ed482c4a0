// RAW sample data for the background open: the whole file, in the format the
// user gives in the RAW dialog.
#include <sonrel/dialogs.h>
#include <sonrel/settings.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "import.h"
#include "wavefile.h"

namespace import {

namespace {

struct File {
    FILE* f;
    ~File() {
        if (f) std::fclose(f);
    }
};

}  // namespace

Outcome load_raw(HWND owner, const char* path, Loaded* out) {
    struct stat st {};
    if (stat(path, &st) != 0) return {kNotFound};
    ULONGLONG length = static_cast<ULONGLONG>(st.st_size);
    RegWriteString(SET_RAWFILE_FILELENGTH.path, std::to_string(length).c_str());
    if (!ShowRaw(owner)) return {nullptr, true};

    if (!doc::data_size_fits(length)) return {wave::kNoMemory};
    HeaderBlock h{};
    doc::init_header(
        &h, SettingWord(SET_RAWFILE_CHANNELS),
        static_cast<DWORD>(std::strtoul(SettingText(SET_RAWFILE_SAMPLES), nullptr, 10)),
        SettingDWord(SET_RAWFILE_BYTESPERSEC), SettingWord(SET_RAWFILE_BYTESPERSAMPLE),
        SettingWord(SET_RAWFILE_BIT), static_cast<DWORD>(length));
    out->wave = wave::alloc_wave(h);
    doc::Pin<BYTE> data(out->wave);
    if (!data) return {wave::kNoMemory};
    File file{std::fopen(path, "rb")};
    if (!file.f) return {kNotFound};
    size_t got = std::fread(data.ptr, 1, static_cast<size_t>(length), file.f);
    // A file cut meanwhile: the rest is silence.
    if (got < length) std::memset(data.ptr + got, doc::silence_byte(h.bitsPerSample), length - got);
    out->header = h;
    out->source = SOURCE_RAW;
    return {};
}

}  // namespace import
