// Settings: "Sonrel\Settings\Main\X" is key "X" of section
// "Sonrel\Settings\Main" in the settings file "Sonrel.ini".
#include <kit/rvg32.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kFile = "Sonrel.ini";

struct Address {
    std::string section, key;
};

Address split(const char* path) {
    std::string p = path ? path : "";
    size_t slash = p.find_last_of('\\');
    if (slash == std::string::npos) return {"", p};
    return {p.substr(0, slash), p.substr(slash + 1)};
}

// The stored text, or false when the value is absent. A sentinel default that
// no stored text can equal tells the two apart.
bool read_value(const char* path, std::string* out) {
    static const char kAbsent[] =
        "\x01\x02"
        "absent"
        "\x02\x01";
    Address a = split(path);
    std::string buf(256, '\0');
    for (;;) {
        DWORD n = GetPrivateProfileString(a.section.c_str(), a.key.c_str(), kAbsent, buf.data(),
                                          static_cast<DWORD>(buf.size()), kFile);
        if (n + 1 < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.assign(buf.size() * 2, '\0');
    }
    if (buf == kAbsent) return false;
    *out = std::move(buf);
    return true;
}

// Decimal text as written by "%d" or "%lu", taken modulo 2^32 so that "-1"
// and "4294967295" give the same bits. False for anything else.
bool parse_number(const std::string& text, DWORD* out) {
    const char* s = text.c_str();
    while (*s == ' ' || *s == '\t') ++s;
    bool negative = *s == '-';
    const char* digits = (negative || *s == '+') ? s + 1 : s;
    if (*digits < '0' || *digits > '9') return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(digits, &end, 10);
    if (errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != 0) return false;
    *out = static_cast<DWORD>(negative ? 0ull - v : v);
    return true;
}

}  // namespace

RVG32_API const char* RegGetString(const char* path, const char* def) {
    thread_local std::string value;
    if (!read_value(path, &value)) return def;
    return value.c_str();
}

RVG32_API WORD RegGetWord(const char* path, WORD def) {
    std::string text;
    DWORD v;
    if (!read_value(path, &text) || !parse_number(text, &v)) return def;
    return static_cast<WORD>(v);
}

RVG32_API DWORD RegGetDWord(const char* path, DWORD def) {
    std::string text;
    DWORD v;
    if (!read_value(path, &text) || !parse_number(text, &v)) return def;
    return v;
}

RVG32_API BOOL RegGetBool(const char* path, BOOL def) {
    std::string text;
    if (!read_value(path, &text)) return def;
    if (text == "1") return TRUE;
    if (text == "0") return FALSE;
    return def;
}

RVG32_API BOOL RegWriteString(const char* path, const char* text) {
    Address a = split(path);
    if (a.key.empty()) return FALSE;
    return WritePrivateProfileString(a.section.c_str(), a.key.c_str(), text ? text : "", kFile);
}
