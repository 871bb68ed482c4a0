// The files area: RIFF files, file operations, the per-user paths and the
// settings and registry stores. Nothing here is used by other areas.
#pragma once

#include <platform/platform.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// --- RIFF files (mmio_file.cpp, mmio_chunk.cpp) ---
// The buffered file behind an HMMIO handle. Positions and sizes are 64-bit; a
// handle is used by one thread at a time.
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

// --- INI files (profile_ini.cpp), for the settings and registry stores ---
// A small INI file kept as text sections of key=value lines. Writers rewrite
// the whole file under an exclusive flock on "<file>.lock" and replace it
// atomically (rename), so a reader always sees one complete version and every
// reader sees the last write of any process. Names compare without regard to
// ASCII case; order is kept.
namespace plat {

struct IniEntry {
    std::string key, value;
};

struct IniSection {
    std::string name;
    std::vector<IniEntry> entries;
};

struct IniFile {
    std::vector<IniSection> sections;
};

// "<config>/<name>" for a bare name; an absolute path stays as it is.
std::string ini_path(const char* name);
// Reads the file as it is now (a missing file is empty); false when unreadable.
bool ini_load(const std::string& path, IniFile* out);
// Loads, lets change() edit, and saves when change() returns true; all under
// the file's write lock. False when the file could not be written.
bool ini_update(const std::string& path, const std::function<bool(IniFile&)>& change);

IniSection* ini_section(IniFile& ini, const std::string& name);
IniEntry* ini_entry(IniSection& section, const std::string& key);
bool ini_same(const std::string& a, const std::string& b);

// The text form of a file, and back. Names and values that could not stand
// raw (line breaks, outer spaces, quotes, '=' in a key, ']' in a section) are
// written in double quotes with backslash escapes.
std::string ini_format(const IniFile& ini);
IniFile ini_parse(const std::string& text);

// Opens a regular file without ever blocking the caller: a named pipe, a
// device or a folder is refused, both before the open (stat) and after it
// (fstat: it could have been swapped in meanwhile); the open itself is
// non-blocking. flags as for open(2) (O_CLOEXEC is added; a missing file is
// created only with O_CREAT). The descriptor (blocking again), or -1 with errno
// set (EINVAL for a file that is not regular).
int open_regular(const char* path, int flags, mode_t perms);

}  // namespace plat
