// The settings store: values, defaults, odd texts, deletion, name lists, and
// what one writer or process leaves for another.
#include <gtest/gtest.h>
#include <platform/platform.h>

#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::register_child_role;
using testing_support::spawn_child;
using testing_support::wait_child;

std::string get(const char* section, const char* key, const char* def, const char* file) {
    std::vector<char> buf(4096);
    DWORD n = GetPrivateProfileString(section, key, def, buf.data(), static_cast<DWORD>(buf.size()),
                                      file);
    return std::string(buf.data(), n);
}

// A double-zero-terminated list as its parts.
std::vector<std::string> get_list(const char* section, const char* file) {
    std::vector<char> buf(4096);
    DWORD n = GetPrivateProfileString(section, nullptr, "", buf.data(),
                                      static_cast<DWORD>(buf.size()), file);
    std::vector<std::string> out;
    for (DWORD i = 0; i < n;) {
        std::string s(buf.data() + i);
        out.push_back(s);
        i += static_cast<DWORD>(s.size()) + 1;
    }
    return out;
}

// args: file, first key, count, value prefix. Writes keys K<first>..; 0 on success.
int role_write_keys(const std::vector<std::string>& a) {
    int first = std::stoi(a[1]), count = std::stoi(a[2]);
    for (int i = first; i < first + count; ++i) {
        std::string key = "K" + std::to_string(i);
        if (!WritePrivateProfileString("Many", key.c_str(), (a[3] + std::to_string(i)).c_str(),
                                       a[0].c_str()))
            return 1;
    }
    return 0;
}

// args: file, section, key, expected. 0 when the value reads as expected.
int role_expect(const std::vector<std::string>& a) {
    return get(a[1].c_str(), a[2].c_str(), "<absent>", a[0].c_str()) == a[3] ? 0 : 1;
}

const bool g_roles = [] {
    register_child_role("profile-write-keys", role_write_keys);
    register_child_role("profile-expect", role_expect);
    return true;
}();

TEST(ProfileStore, ValueReadsBackAndAbsentValuesGiveTheDefault) {
    const char* f = "basic.ini";
    EXPECT_EQ(get("Sonrel\\Settings\\Main", "X", "def", f), "def");
    EXPECT_EQ(get("Sonrel\\Settings\\Main", "X", nullptr, f), "");
    EXPECT_TRUE(WritePrivateProfileString("Sonrel\\Settings\\Main", "X", "120", f));
    EXPECT_EQ(get("Sonrel\\Settings\\Main", "X", "def", f), "120");
    EXPECT_EQ(get("sonrel\\settings\\main", "x", "def", f), "120") << "names ignore case";
    EXPECT_EQ(get("Sonrel\\Settings\\Main", "Y", "def", f), "def");
    EXPECT_EQ(get("Sonrel\\Settings", "X", "def", f), "def");
    EXPECT_TRUE(WritePrivateProfileString("Sonrel\\Settings\\Main", "X", "", f));
    EXPECT_EQ(get("Sonrel\\Settings\\Main", "X", "def", f), "") << "empty is not absent";
}

TEST(ProfileStore, OddTextsRoundTripUnchanged) {
    const char* f = "odd.ini";
    const std::vector<std::string> texts = {
        "  leading and trailing  ",
        "a=b=c",
        "\"quoted\"",
        "line\nbreak\r\nx",
        "[not a section]",
        ";not a comment",
        "#nor this",
        "back\\slash\\",
        "tab\there",
        "C:\\Sound\\file.wav",
        "caf\xc3\xa9",
        "\x01\x7f",
        "\"",
        "=",
    };
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string key = "v" + std::to_string(i);
        ASSERT_TRUE(WritePrivateProfileString("Odd", key.c_str(), texts[i].c_str(), f));
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string key = "v" + std::to_string(i);
        EXPECT_EQ(get("Odd", key.c_str(), "<absent>", f), texts[i]) << i;
    }
    // Odd names too.
    for (const std::string& name : {std::string("key=with"), std::string(" spaced "),
                                    std::string("[br]"), std::string("sec]tion")}) {
        ASSERT_TRUE(WritePrivateProfileString(name.c_str(), name.c_str(), "v", f));
        EXPECT_EQ(get(name.c_str(), name.c_str(), "<absent>", f), "v") << name;
    }
}

TEST(ProfileStore, SmallBufferGetsTheStartOfTheValue) {
    const char* f = "small.ini";
    WritePrivateProfileString("S", "K", "abcdefgh", f);
    char buf[5];
    EXPECT_EQ(GetPrivateProfileString("S", "K", "", buf, sizeof buf, f), 4u);
    EXPECT_STREQ(buf, "abcd");
}

TEST(ProfileStore, KeysAndSectionsCanBeRemovedAndListed) {
    const char* f = "lists.ini";
    WritePrivateProfileString("One", "a", "1", f);
    WritePrivateProfileString("One", "b", "2", f);
    WritePrivateProfileString("One", "c", "3", f);
    WritePrivateProfileString("Two", "z", "9", f);
    EXPECT_EQ(get_list(nullptr, f), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(get_list("One", f), (std::vector<std::string>{"a", "b", "c"}));
    WritePrivateProfileString("One", "a", "changed", f);
    EXPECT_EQ(get_list("One", f), (std::vector<std::string>{"a", "b", "c"})) << "order kept";
    EXPECT_TRUE(WritePrivateProfileString("One", "b", nullptr, f));
    EXPECT_EQ(get("One", "b", "gone", f), "gone");
    EXPECT_EQ(get_list("One", f), (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(WritePrivateProfileString("Two", nullptr, nullptr, f));
    EXPECT_EQ(get("Two", "z", "gone", f), "gone");
    EXPECT_EQ(get_list(nullptr, f), (std::vector<std::string>{"One"}));
    EXPECT_TRUE(get_list("Nothing", f).empty());
}

TEST(ProfileStore, ConcurrentWritersInThreadsLoseNothing) {
    const char* f = "threads.ini";
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, f] {
            for (int i = 0; i < 25; ++i) {
                std::string key = "T" + std::to_string(t) + "_" + std::to_string(i);
                WritePrivateProfileString("Many", key.c_str(), key.c_str(), f);
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(get_list("Many", f).size(), 100u);
    EXPECT_EQ(get("Many", "T3_24", "", f), "T3_24");
}

TEST(ProfileStore, ProcessesSeeEachOthersWritesAndLoseNone) {
    const std::string f = "procs.ini";
    int child = spawn_child("profile-write-keys", {f, "0", "40", "child"});
    EXPECT_EQ(role_write_keys({f, "40", "40", "parent"}), 0);
    EXPECT_EQ(wait_child(child), 0);
    EXPECT_EQ(get_list("Many", f.c_str()).size(), 80u);
    EXPECT_EQ(get("Many", "K0", "", f.c_str()), "child0");
    EXPECT_EQ(get("Many", "K79", "", f.c_str()), "parent79");
    // Alternating values of the same length are seen at once by the other process.
    for (const char* v : {"1", "0", "1", "0"}) {
        WritePrivateProfileString("Flip", "Flag", v, f.c_str());
        EXPECT_EQ(wait_child(spawn_child("profile-expect", {f, "Flip", "Flag", v})), 0) << v;
    }
}

}  // namespace

namespace {

// A name with a NUL character in the file (raw or as a quoted \x00) ends at
// it, so every listed name is found again.
TEST(ProfileStore, NamesEndAtANulCharacterSoListedNamesAreFound) {
    char folder[1024];
    DWORD n = PlatformConfigPath(sizeof folder, folder);
    ASSERT_GT(n, 0u);
    const char raw[] = "[S\0x]\nk\0y=1\n\"q\\x00r\"=2\n";
    const std::string text(raw, sizeof raw - 1);
    testing_support::write_file(std::string(folder) + "/nul.ini",
                                std::vector<uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(get_list(nullptr, "nul.ini"), (std::vector<std::string>{"S"}));
    EXPECT_EQ(get_list("S", "nul.ini"), (std::vector<std::string>{"k", "q"}));
    EXPECT_EQ(get("S", "k", "absent", "nul.ini"), "1");
    EXPECT_EQ(get("S", "q", "absent", "nul.ini"), "2");
}

}  // namespace
