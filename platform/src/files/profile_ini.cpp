// The INI text format and its file handling for the settings and registry stores.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "files_private.h"
#include "product.h"

namespace plat {

namespace {

std::mutex g_write_lock;  // threads of this process; the flock serves other processes

bool needs_quotes(const std::string& s, const char* specials) {
    if (s.empty()) return false;
    if (s.front() == ' ' || s.front() == '\t' || s.back() == ' ' || s.back() == '\t') return true;
    if (s.front() == '"' || s.front() == ';' || s.front() == '#' || s.front() == '[') return true;
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7F || std::strchr(specials, static_cast<char>(c))) return true;
    }
    return false;
}

std::string encode(const std::string& s, const char* specials) {
    if (!needs_quotes(s, specials)) return s;
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at s[pos] == '"'; pos ends after the closing quote.
std::string decode_quoted(const std::string& s, size_t& pos) {
    std::string out;
    for (++pos; pos < s.size() && s[pos] != '"'; ++pos) {
        char c = s[pos];
        if (c != '\\' || pos + 1 >= s.size()) {
            out += c;
            continue;
        }
        char e = s[++pos];
        if (e == 'n') {
            out += '\n';
        } else if (e == 'r') {
            out += '\r';
        } else if (e == 't') {
            out += '\t';
        } else if (e == 'x' && pos + 2 < s.size() && hex_digit(s[pos + 1]) >= 0 &&
                   hex_digit(s[pos + 2]) >= 0) {
            out += static_cast<char>(hex_digit(s[pos + 1]) * 16 + hex_digit(s[pos + 2]));
            pos += 2;
        } else {
            out += e;
        }
    }
    if (pos < s.size()) ++pos;
    return out;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// A name ends at a NUL character: names are handed out as terminated texts,
// so a longer one could be listed but never found again.
std::string up_to_nul(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

void parse_line(const std::string& raw, IniFile& ini) {
    std::string line = trim(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') return;
    if (line[0] == '[') {
        size_t pos = 1;
        std::string name;
        if (pos < line.size() && line[pos] == '"') {
            name = decode_quoted(line, pos);
        } else {
            size_t close = line.rfind(']');
            name = trim(line.substr(
                1, close == std::string::npos || close < 1 ? std::string::npos : close - 1));
        }
        ini.sections.push_back({up_to_nul(name), {}});
        return;
    }
    if (ini.sections.empty()) ini.sections.push_back({"", {}});
    std::string key;
    size_t pos = 0;
    if (line[0] == '"') {
        key = decode_quoted(line, pos);
        pos = line.find('=', pos);
    } else {
        pos = line.find('=');
        key = trim(line.substr(0, pos));
    }
    if (pos == std::string::npos) return;
    std::string value = trim(line.substr(pos + 1));
    if (!value.empty() && value[0] == '"') {
        size_t vpos = 0;
        value = decode_quoted(value, vpos);
    }
    ini.sections.back().entries.push_back({up_to_nul(key), value});
}

}  // namespace

bool ini_same(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

IniSection* ini_section(IniFile& ini, const std::string& name) {
    for (auto& s : ini.sections) {
        if (ini_same(s.name, name)) return &s;
    }
    return nullptr;
}

IniEntry* ini_entry(IniSection& section, const std::string& key) {
    for (auto& e : section.entries) {
        if (ini_same(e.key, key)) return &e;
    }
    return nullptr;
}

std::string ini_format(const IniFile& ini) {
    std::string out;
    for (const auto& s : ini.sections) {
        if (!out.empty()) out += '\n';
        out += "[" + encode(s.name, "]") + "]\n";
        for (const auto& e : s.entries) {
            out += encode(e.key, "=") + "=" + encode(e.value, "") + "\n";
        }
    }
    return out;
}

IniFile ini_parse(const std::string& text) {
    IniFile ini;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        parse_line(text.substr(start, end - start), ini);
        start = end + 1;
    }
    return ini;
}

std::string ini_path(const char* name) {
    if (name && name[0] == '/') return name;
    return PlatformFolder(PlatformConfigPath) + "/" +
           (name && *name ? name : product::kDefaultIniFile);
}

bool ini_load(const std::string& path, IniFile* out) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *out = IniFile{};
        return errno == ENOENT;
    }
    std::string text;
    char buf[16384];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    *out = ini_parse(text);
    return true;
}

namespace {

bool save(const std::string& path, const IniFile& ini) {
    std::string text = ini_format(ini);
    std::string tmp = path + ".new-" + std::to_string(getpid());
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const char* p = text.data();
    size_t left = text.size();
    bool ok = true;
    while (left > 0 && ok) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= static_cast<size_t>(n);
        }
    }
    ok = close(fd) == 0 && ok;
    if (ok) ok = rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) unlink(tmp.c_str());
    return ok;
}

}  // namespace

bool ini_update(const std::string& path, const std::function<bool(IniFile&)>& change) {
    std::lock_guard<std::mutex> g(g_write_lock);
    int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) return false;
    while (flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }
    IniFile ini;
    bool ok = ini_load(path, &ini);
    if (ok && change(ini)) ok = save(path, ini);
    close(lock);
    return ok;
}

}  // namespace plat
