// Reading RIFF wave files: the steps that opening a file into a new document
// and reloading one into an existing document share.
//
// Each step gives null when it went well, or the message the user is shown.
// A WaveSource closes its file when it goes out of scope.
#pragma once

#include "document.h"

namespace wave {

struct WaveSource {
    HMMIO mmio = nullptr;
    MMCKINFO riff{};
    MMCKINFO data{};
    HeaderBlock header{};
    ULONGLONG fileBytes = 0;  // the file's length when it was opened
    WaveSource() = default;
    ~WaveSource() { close(); }
    WaveSource(const WaveSource&) = delete;
    WaveSource& operator=(const WaveSource&) = delete;
    void close();
};

// How the start of a file turned out.
enum class Start { ok, cannot_open, too_short, not_wave };
// Opens the file and enters its "RIFF" chunk of form type "WAVE".
Start open_riff(const char* path, WaveSource& s);
// Finds and reads the "fmt " chunk (at least 16 bytes, 8 or 16 bits per
// sample), leaves it, and builds the HEADER image with data size 0.
const char* read_format(WaveSource& s);
// Finds the "data" chunk after "fmt " and sets the header's data size from it:
// its size field, held to the bytes that follow it in the file when it claims
// more (a cut file keeps what it has; nothing is made up for the rest).
const char* find_data(WaveSource& s);
// Allocates the WAVE block for the header's data size; null without memory.
HGLOBAL alloc_wave(const HeaderBlock& header);
// Reads the data into the block (bytes that cannot be read become silence)
// and leaves the "data" chunk; false when leaving it failed.
bool read_data(WaveSource& s, HGLOBAL wave);
// Makes the FILEINFO block from a "LIST" chunk after "data"; null without memory.
HGLOBAL read_file_info(WaveSource& s);

// Shows PATH_TOO_LONG_TEXT over owner and gives true when the path does not
// fit a document's INFO block; false (and nothing shown) when it fits.
bool refuse_long_path(HWND owner, const char* path);

// The fixed messages of the readers.
extern const char kCannotOpen[];
extern const char kNotWave[];
extern const char kNoMemory[];

}  // namespace wave
