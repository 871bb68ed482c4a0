// Fuzz target for the settings file reader: the input is the settings file.
// Every section and key it lists is read back, several settings are read
// through the kit's number, boolean and text readers, and one value is
// written. A key listed must be found again, a written value must read back
// exactly, and the write must leave every other value the file gave as it was.
#include <kit/rvg32.h>
#include <platform/platform.h>
#include <sonrel/settings.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/fuzz_support.h"

namespace {

constexpr char kFile[] = "Sonrel.ini";
constexpr DWORD kRoom = 1 << 16;

struct Harness {
    std::string path;
    Harness() {
        const std::string& home = fuzzing::start_platform();
        if (!home.empty()) {
            std::system(("mkdir -p '" + home + "/config'").c_str());
            path = home + "/config/" + kFile;
        }
    }
};

Harness& harness() {
    static Harness h;
    return h;
}

// The names of a list result: each terminated, the list by an empty name.
std::vector<std::string> names_of(const std::vector<char>& buf, DWORD n) {
    std::vector<std::string> out;
    for (DWORD at = 0; at < n && buf[at];) {
        out.emplace_back(&buf[at]);
        at += static_cast<DWORD>(out.back().size()) + 1;
    }
    return out;
}

std::vector<std::string> list(const char* section) {
    std::vector<char> buf(kRoom);
    DWORD n = GetPrivateProfileString(section, nullptr, "", buf.data(), kRoom, kFile);
    if (n >= kRoom) std::abort();  // a result never claims more than the buffer
    return names_of(buf, n);
}

// Every value the file gives, by section and key (the first of equal names).
std::map<std::pair<std::string, std::string>, std::string> values() {
    std::map<std::pair<std::string, std::string>, std::string> out;
    std::vector<char> buf(kRoom);
    for (const std::string& section : list(nullptr)) {
        for (const std::string& key : list(section.c_str())) {
            // A listed key is found: a value is given whatever the default.
            DWORD n = GetPrivateProfileString(section.c_str(), key.c_str(), "\x01", buf.data(),
                                              kRoom, kFile);
            if (n >= kRoom) std::abort();
            if (n == 1 && buf[0] == '\x01') {
                char other[4];
                GetPrivateProfileString(section.c_str(), key.c_str(), "\x02", other, sizeof other,
                                        kFile);
                if (other[0] == '\x02') std::abort();
            }
            out.emplace(std::make_pair(section, key), std::string(buf.data(), n));
        }
    }
    return out;
}

// Reads through the kit as the program does; small buffers must not overflow.
void read_settings() {
    SettingWord(SET_FILTERS_VOLUME);
    SettingDWord(SET_FILTERS_SILENCE_SEC);
    SettingBool(SET_FILTERS_VELOCITYSMOOTH);
    SettingText(TextSetting{"Sonrel\\Settings\\Design\\Font", "x"});
    char tiny[3];
    GetPrivateProfileString("Sonrel\\Settings\\Boolean", "StartAssistant", "", tiny, sizeof tiny,
                            kFile);
    if (std::strlen(tiny) > 2) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness& h = harness();
    if (h.path.empty()) return 0;
    FILE* f = std::fopen(h.path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    auto before = values();
    read_settings();
    // A value with the characters a file must quote, written under a fresh key.
    const char written[] = " \"a=b;c\\d\"\t[e] ";
    if (!WritePrivateProfileString("Fuzz\\Written", "Value", written, kFile)) return 0;
    char back[64];
    GetPrivateProfileString("Fuzz\\Written", "Value", "", back, sizeof back, kFile);
    if (std::strcmp(back, written) != 0) std::abort();
    auto after = values();
    for (const auto& [where, value] : before) {
        if (where.first == "Fuzz\\Written") continue;
        auto it = after.find(where);
        if (it == after.end() || it->second != value) std::abort();
    }
    return 0;
}
