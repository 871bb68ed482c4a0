// The settings store: GetPrivateProfileString / WritePrivateProfileString over
// an INI file in the configuration folder. Every call reads or rewrites the
// file itself, so values written by another running copy are seen at once.
#include <cstring>
#include <string>

#include "files_private.h"

namespace {

// Copies a single text; the platform's convention gives the characters copied.
DWORD give_text(const std::string& text, LPSTR buf, DWORD size) {
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buf, text.data(), n);
    buf[n] = 0;
    return static_cast<DWORD>(n);
}

// Copies a list of names, each terminated, with one more terminator at the
// end. A list that does not fit is cut and the result is size - 2.
DWORD give_list(const std::vector<std::string>& names, LPSTR buf, DWORD size) {
    if (size < 2) {
        buf[0] = 0;
        return 0;
    }
    size_t used = 0;
    for (const auto& name : names) {
        if (used + name.size() + 2 > size) {
            size_t room = size - 2 - used;
            std::memcpy(buf + used, name.data(), room);
            buf[size - 2] = 0;
            buf[size - 1] = 0;
            return size - 2;
        }
        std::memcpy(buf + used, name.c_str(), name.size() + 1);
        used += name.size() + 1;
    }
    buf[used] = 0;
    if (used == 0) buf[1] = 0;
    return static_cast<DWORD>(used);
}

}  // namespace

PLATFORM_API DWORD GetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buf,
                                           DWORD size, LPCSTR file) {
    if (!buf || size == 0) return 0;
    plat::IniFile ini;
    plat::ini_load(plat::ini_path(file), &ini);
    std::vector<std::string> names;
    if (!section) {
        for (const auto& s : ini.sections) names.push_back(s.name);
        return give_list(names, buf, size);
    }
    plat::IniSection* sec = plat::ini_section(ini, section);
    if (!key) {
        if (sec) {
            for (const auto& e : sec->entries) names.push_back(e.key);
        }
        return give_list(names, buf, size);
    }
    plat::IniEntry* entry = sec ? plat::ini_entry(*sec, key) : nullptr;
    return give_text(entry ? entry->value : std::string(def ? def : ""), buf, size);
}

// A null key removes the section, a null value removes the key.
PLATFORM_API BOOL WritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    if (!section) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string sec_name = section;
    bool ok = plat::ini_update(plat::ini_path(file), [&](plat::IniFile& ini) {
        plat::IniSection* sec = plat::ini_section(ini, sec_name);
        if (!key) {
            if (!sec) return false;
            ini.sections.erase(ini.sections.begin() + (sec - ini.sections.data()));
            return true;
        }
        if (!value) {
            if (!sec) return false;
            for (auto it = sec->entries.begin(); it != sec->entries.end(); ++it) {
                if (plat::ini_same(it->key, key)) {
                    sec->entries.erase(it);
                    return true;
                }
            }
            return false;
        }
        if (!sec) {
            ini.sections.push_back({sec_name, {}});
            sec = &ini.sections.back();
        }
        plat::IniEntry* entry = plat::ini_entry(*sec, key);
        if (entry) {
            if (entry->value == value) return false;
            entry->value = value;
        } else {
            sec->entries.push_back({key, value});
        }
        return true;
    });
    if (!ok) SetLastError(ERROR_ACCESS_DENIED);
    return ok ? TRUE : FALSE;
}
