// Loading a part of a large wave file: the file's format and data place found
// with 64-bit offsets (RIFF, and RF64 with its "ds64" sizes), a start and a
// length in time turned into whole frames, and only those bytes read into a
// new document. Nothing else of the file is read.
#pragma once

#include <platform/platform.h>

#include <cstdint>
#include <string>

namespace loader {

struct BigWave {
    WORD channels = 0, bits = 0, blockAlign = 0;
    DWORD rate = 0;
    uint64_t dataOffset = 0;  // bytes from the file's start
    uint64_t dataBytes = 0;   // whole frames that the file holds
};

// Reads the chunk headers of path; null on success, else the message to show.
// A data size that claims more than the file holds is held to the file; a
// plain RIFF file longer than 4 GB whose "data" chunk is the last keeps the
// rest of the file as data (its size field wrapped or was left at 0xFFFFFFFF).
const char* probe(const char* path, BigWave* w);

// Reads n bytes at byte offset at of the file; false when the file cannot
// be opened or holds fewer bytes there.
bool read_bytes(const char* path, uint64_t at, void* out, size_t n);

// Milliseconds of data, rounded down.
uint64_t duration_ms(const BigWave& w);

// Reads a time: "s", "m:ss" or "h:mm:ss", each with an optional ".fff" of
// seconds; blanks around it are ignored. False for anything else.
bool parse_time(const char* text, uint64_t* ms);
// "h:mm:ss.fff" (hours without a leading zero).
std::string time_text(uint64_t ms);
// "16 Bit, 44100 Hz, STEREO".
std::string format_text(const BigWave& w);

// A part in bytes of the data: the first frame at or after start and the
// frames that begin within length. Null when it is a part the document can
// take, else the message to show.
struct Part {
    uint64_t offset = 0, bytes = 0;
};
const char* choose_part(const BigWave& w, uint64_t startMs, uint64_t lengthMs, Part* part);

// Reads the part into a new document made through the frame's MDI client,
// named after the file and the part (its path is a file beside the source
// that does not exist yet, so that saving never replaces the source). The
// document, or null after the message was shown over owner.
HWND load_part(HWND frame, HWND owner, const char* path, const BigWave& w, const Part& part);

}  // namespace loader
