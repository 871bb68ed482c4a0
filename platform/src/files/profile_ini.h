// Private to the settings and registry stores: a small INI file kept as text
// sections of key=value lines. Writers rewrite the whole file under an
// exclusive flock on "<file>.lock" and replace it atomically (rename), so a
// reader always sees one complete version and every reader sees the last write
// of any process. Names compare without regard to ASCII case; order is kept.
#pragma once

#include <functional>
#include <string>
#include <vector>

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

}  // namespace plat
