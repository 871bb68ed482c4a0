// The per-user registry store on an INI file: each key is a section named by
// its full path ("HKEY_CURRENT_USER\Software\..."), each value an entry whose
// text is "sz:<text>", "dword:<decimal>" or "hex<type>:<bytes in hex>".
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>
#include <string>

#include "files_private.h"

namespace {

std::mutex g_keys_lock;
std::map<uintptr_t, std::string> g_keys;  // open key handles and their paths
uintptr_t g_next_key = 0x10;

std::string store_path() {
    return plat::ini_path("registry.ini");
}

bool key_path(HKEY key, std::string* out) {
    uintptr_t v = reinterpret_cast<uintptr_t>(key);
    if (v == 0x80000000u)
        *out = "HKEY_CLASSES_ROOT";
    else if (v == 0x80000001u)
        *out = "HKEY_CURRENT_USER";
    else if (v == 0x80000002u)
        *out = "HKEY_LOCAL_MACHINE";
    else {
        std::lock_guard<std::mutex> g(g_keys_lock);
        auto it = g_keys.find(v);
        if (it == g_keys.end()) return false;
        *out = it->second;
    }
    return true;
}

// The full path of sub below base, without empty components.
std::string join(const std::string& base, LPCSTR sub) {
    std::string out = base;
    std::string part;
    for (const char* p = sub ? sub : "";; ++p) {
        if (*p == '\\' || *p == 0) {
            if (!part.empty()) out += "\\" + part;
            part.clear();
            if (*p == 0) break;
        } else {
            part += *p;
        }
    }
    return out;
}

bool key_exists(plat::IniFile& ini, const std::string& path) {
    if (path.find('\\') == std::string::npos) return true;  // a root
    for (const auto& s : ini.sections) {
        if (plat::ini_same(s.name, path)) return true;
        if (s.name.size() > path.size() && s.name[path.size()] == '\\' &&
            plat::ini_same(s.name.substr(0, path.size()), path))
            return true;
    }
    return false;
}

HKEY new_handle(const std::string& path) {
    std::lock_guard<std::mutex> g(g_keys_lock);
    uintptr_t v = g_next_key;
    g_next_key += 0x10;
    g_keys[v] = path;
    return reinterpret_cast<HKEY>(v);
}

std::string encode_value(DWORD type, const BYTE* data, DWORD size) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        const char* text = reinterpret_cast<const char*>(data);
        size_t n = data ? strnlen(text, size) : 0;
        return "sz:" + std::string(text ? text : "", n);
    }
    if (type == REG_DWORD && size >= 4 && data) {
        DWORD v = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<DWORD>(data[3]) << 24);
        return "dword:" + std::to_string(v);
    }
    static const char kHex[] = "0123456789abcdef";
    std::string out = "hex" + std::to_string(type) + ":";
    for (DWORD i = 0; data && i < size; ++i) {
        out += kHex[data[i] >> 4];
        out += kHex[data[i] & 15];
    }
    return out;
}

void decode_value(const std::string& text, DWORD* type, std::string* bytes) {
    if (text.compare(0, 3, "sz:") == 0) {
        *type = REG_SZ;
        *bytes = text.substr(3);
        bytes->push_back('\0');
    } else if (text.compare(0, 6, "dword:") == 0) {
        *type = REG_DWORD;
        DWORD v = static_cast<DWORD>(std::strtoul(text.c_str() + 6, nullptr, 10));
        bytes->assign(4, '\0');
        for (int i = 0; i < 4; ++i) (*bytes)[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    } else if (text.compare(0, 3, "hex") == 0 && text.find(':') != std::string::npos) {
        size_t colon = text.find(':');
        *type = static_cast<DWORD>(std::strtoul(text.c_str() + 3, nullptr, 10));
        bytes->clear();
        for (size_t i = colon + 1; i + 1 < text.size(); i += 2) {
            char pair[3] = {text[i], text[i + 1], 0};
            bytes->push_back(static_cast<char>(std::strtoul(pair, nullptr, 16)));
        }
    } else {
        *type = REG_SZ;  // text written by hand
        *bytes = text;
        bytes->push_back('\0');
    }
}

// Hands out a value's bytes by the platform's rules for data and size.
LSTATUS give_value(const std::string& bytes, DWORD type, DWORD* outType, BYTE* data, DWORD* size) {
    if (outType) *outType = type;
    DWORD n = static_cast<DWORD>(bytes.size());
    if (data) {
        if (!size) return ERROR_INVALID_PARAMETER;
        if (*size < n) {
            *size = n;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, bytes.data(), n);
    }
    if (size) *size = n;
    return ERROR_SUCCESS;
}

}  // namespace

PLATFORM_API LSTATUS RegOpenKeyEx(HKEY key, LPCSTR sub, DWORD opts, DWORD access, HKEY* out) {
    std::string base;
    if (!out) return ERROR_INVALID_PARAMETER;
    *out = nullptr;
    if (!key_path(key, &base)) return ERROR_INVALID_HANDLE;
    std::string path = join(base, sub);
    plat::IniFile ini;
    plat::ini_load(store_path(), &ini);
    if (!key_exists(ini, path)) return ERROR_FILE_NOT_FOUND;
    *out = new_handle(path);
    return ERROR_SUCCESS;
}

PLATFORM_API LSTATUS RegCreateKeyEx(HKEY key, LPCSTR sub, DWORD reserved, LPSTR cls, DWORD opts,
                                    DWORD access, void* sec, HKEY* out, DWORD* disposition) {
    std::string base;
    if (!out) return ERROR_INVALID_PARAMETER;
    *out = nullptr;
    if (!key_path(key, &base)) return ERROR_INVALID_HANDLE;
    std::string path = join(base, sub);
    bool created = false;
    bool ok = plat::ini_update(store_path(), [&](plat::IniFile& ini) {
        if (key_exists(ini, path)) return false;
        ini.sections.push_back({path, {}});
        created = true;
        return true;
    });
    if (!ok) return ERROR_ACCESS_DENIED;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *out = new_handle(path);
    return ERROR_SUCCESS;
}

PLATFORM_API LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type,
                                     BYTE* data, DWORD* size) {
    std::string path;
    if (!key_path(key, &path)) return ERROR_INVALID_HANDLE;
    plat::IniFile ini;
    plat::ini_load(store_path(), &ini);
    plat::IniSection* sec = plat::ini_section(ini, path);
    plat::IniEntry* entry = sec ? plat::ini_entry(*sec, name ? name : "") : nullptr;
    if (!entry) return ERROR_FILE_NOT_FOUND;
    DWORD t;
    std::string bytes;
    decode_value(entry->value, &t, &bytes);
    return give_value(bytes, t, type, data, size);
}

PLATFORM_API LSTATUS RegSetValueEx(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                   const BYTE* data, DWORD size) {
    std::string path;
    if (!key_path(key, &path)) return ERROR_INVALID_HANDLE;
    if (type == REG_DWORD && (size < 4 || !data)) return ERROR_INVALID_PARAMETER;
    std::string value = encode_value(type, data, size);
    std::string value_name = name ? name : "";
    bool ok = plat::ini_update(store_path(), [&](plat::IniFile& ini) {
        plat::IniSection* sec = plat::ini_section(ini, path);
        if (!sec) {
            ini.sections.push_back({path, {}});
            sec = &ini.sections.back();
        }
        plat::IniEntry* entry = plat::ini_entry(*sec, value_name);
        if (entry) {
            entry->value = value;
        } else {
            sec->entries.push_back({value_name, value});
        }
        return true;
    });
    return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

PLATFORM_API LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR name, DWORD* nameSize,
                                  DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
    std::string path;
    if (!key_path(key, &path)) return ERROR_INVALID_HANDLE;
    if (!name || !nameSize) return ERROR_INVALID_PARAMETER;
    plat::IniFile ini;
    plat::ini_load(store_path(), &ini);
    plat::IniSection* sec = plat::ini_section(ini, path);
    if (!sec || index >= sec->entries.size()) return ERROR_NO_MORE_ITEMS;
    const plat::IniEntry& entry = sec->entries[index];
    if (entry.key.size() + 1 > *nameSize) {
        *nameSize = static_cast<DWORD>(entry.key.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, entry.key.c_str(), entry.key.size() + 1);
    *nameSize = static_cast<DWORD>(entry.key.size());
    DWORD t;
    std::string bytes;
    decode_value(entry.value, &t, &bytes);
    return give_value(bytes, t, type, data, dataSize);
}

PLATFORM_API LSTATUS RegDeleteValue(HKEY key, LPCSTR name) {
    std::string path;
    if (!key_path(key, &path)) return ERROR_INVALID_HANDLE;
    std::string value_name = name ? name : "";
    bool found = false;
    bool ok = plat::ini_update(store_path(), [&](plat::IniFile& ini) {
        plat::IniSection* sec = plat::ini_section(ini, path);
        if (!sec) return false;
        for (auto it = sec->entries.begin(); it != sec->entries.end(); ++it) {
            if (plat::ini_same(it->key, value_name)) {
                sec->entries.erase(it);
                found = true;
                return true;
            }
        }
        return false;
    });
    if (!ok) return ERROR_ACCESS_DENIED;
    return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

PLATFORM_API LSTATUS RegCloseKey(HKEY key) {
    uintptr_t v = reinterpret_cast<uintptr_t>(key);
    if (v >= 0x80000000u && v <= 0x80000002u) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> g(g_keys_lock);
    return g_keys.erase(v) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

PLATFORM_API LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, DWORD* nameSize,
                                  DWORD* reserved, LPSTR cls, DWORD* clsSize, FILETIME* lastWrite) {
    std::string path;
    if (!key_path(key, &path)) return ERROR_INVALID_HANDLE;
    if (!name || !nameSize) return ERROR_INVALID_PARAMETER;
    plat::IniFile ini;
    plat::ini_load(store_path(), &ini);
    // A section names its key and, by its path, every key above it.
    std::map<std::string, std::string> subkeys;  // by upper-case name
    std::string prefix = path + "\\";
    for (const auto& sec : ini.sections) {
        if (sec.name.size() <= prefix.size() ||
            !plat::ini_same(sec.name.substr(0, prefix.size()), prefix))
            continue;
        std::string child = sec.name.substr(prefix.size());
        child = child.substr(0, child.find('\\'));
        std::string upper = child;
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        subkeys.emplace(upper, child);
    }
    if (index >= subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const std::string& found = std::next(subkeys.begin(), long(index))->second;
    if (found.size() + 1 > *nameSize) {
        *nameSize = static_cast<DWORD>(found.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameSize = static_cast<DWORD>(found.size());
    if (cls && clsSize && *clsSize) cls[0] = '\0';
    if (clsSize) *clsSize = 0;
    if (lastWrite) *lastWrite = FILETIME{0, 0};
    return ERROR_SUCCESS;
}
