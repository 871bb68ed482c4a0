// The buffered file behind an HMMIO handle, shared by the file and chunk units.
// Positions and sizes are 64-bit; a handle is used by one thread at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "internal.h"

namespace plat::mmio {

struct File {
    int fd = -1;
    bool readable = false;
    bool writable = false;
    bool failed = false;  // a write failed once: every later flush and close reports it
    int64_t pos = 0;      // logical position
    int64_t size = 0;     // file length including buffered writes
    // One window of the file: read-ahead bytes, or pending writes when dirty.
    std::vector<char> buf;
    int64_t bufStart = 0;
    int64_t bufLen = 0;
    bool dirty = false;
};

// The file of a live handle, or null for any other value.
File* file_of(HMMIO h);
// Reads up to n bytes at the position; bytes read (0 at the end), -1 on error.
int64_t read_at_pos(File* f, char* out, int64_t n);
// Writes n bytes at the position; false on failure (also marks the file failed).
bool write_at_pos(File* f, const char* in, int64_t n);
// Writes out pending bytes; false on failure.
bool flush(File* f);
// Moves the position; a read-only file stops at its end. False for a negative target.
bool seek_to(File* f, int64_t pos);

}  // namespace plat::mmio
