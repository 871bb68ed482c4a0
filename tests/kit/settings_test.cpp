// Settings through the kit: numbers and flags as decimal text, defaults, the
// string pointer's lifetime, and values handed between processes.
#include <gtest/gtest.h>
#include <kit/rvg32.h>

#include <climits>
#include <cstdio>
#include <string>
#include <thread>

#include "test_support.h"

namespace {

using testing_support::register_child_role;
using testing_support::spawn_child;
using testing_support::wait_child;

std::string fmt_d(long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(v));
    return buf;
}

std::string fmt_lu(unsigned long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lu", v);
    return buf;
}

// The values one process writes and the other checks, as (path, text).
const std::vector<std::pair<std::string, std::string>>& exchange() {
    static const std::vector<std::pair<std::string, std::string>> values = {
        {"Sonrel\\Settings\\Test\\WordMax", "65535"},
        {"Sonrel\\Settings\\Test\\DWordMax", "4294967295"},
        {"Sonrel\\Settings\\Test\\MinusOne", "-1"},
        {"Sonrel\\Settings\\Boolean\\On", "1"},
        {"Sonrel\\Settings\\Boolean\\Off", "0"},
        {"Sonrel\\Directories\\Open", "/home/user/My Sounds"},
    };
    return values;
}

// Checks what exchange() wrote; the exit code counts the mismatches.
int check_exchange() {
    int bad = 0;
    bad += RegGetWord("Sonrel\\Settings\\Test\\WordMax", 1) != 65535;
    bad += RegGetDWord("Sonrel\\Settings\\Test\\DWordMax", 1) != 4294967295u;
    bad += RegGetDWord("Sonrel\\Settings\\Test\\MinusOne", 1) != 0xFFFFFFFFu;
    bad += RegGetBool("Sonrel\\Settings\\Boolean\\On", FALSE) == FALSE;
    bad += RegGetBool("Sonrel\\Settings\\Boolean\\Off", TRUE) != FALSE;
    bad += std::string(RegGetString("Sonrel\\Directories\\Open", "")) != "/home/user/My Sounds";
    return bad;
}

int role_write(const std::vector<std::string>&) {
    for (const auto& [path, text] : exchange()) {
        if (!RegWriteString(path.c_str(), text.c_str())) return 100;
    }
    return 0;
}

int role_check(const std::vector<std::string>&) {
    return check_exchange();
}

const bool g_roles = [] {
    register_child_role("kit-write", role_write);
    register_child_role("kit-check", role_check);
    return true;
}();

TEST(KitSettings, ValuesWrittenByOneProcessReadBackInAnother) {
    ASSERT_EQ(wait_child(spawn_child("kit-write")), 0);
    EXPECT_EQ(check_exchange(), 0);
    // And the other way round, after changing them here.
    RegWriteString("Sonrel\\Settings\\Boolean\\On", "0");
    EXPECT_NE(wait_child(spawn_child("kit-check")), 0);
    RegWriteString("Sonrel\\Settings\\Boolean\\On", "1");
    EXPECT_EQ(wait_child(spawn_child("kit-check")), 0);
}

TEST(KitSettings, NumbersFormattedAsDecimalReadBackUnchanged) {
    const char* path = "Sonrel\\Settings\\Test\\Number";
    for (long long w : {0LL, 1LL, 150LL, 999LL, 32767LL, 32768LL, 65535LL}) {
        ASSERT_TRUE(RegWriteString(path, fmt_d(w).c_str()));
        EXPECT_EQ(RegGetWord(path, 7), static_cast<WORD>(w)) << w;
        EXPECT_EQ(RegGetDWord(path, 7), static_cast<DWORD>(w)) << w;
    }
    for (unsigned long d : {0UL, 2147483647UL, 2147483648UL, 4000000000UL, 4294967295UL}) {
        ASSERT_TRUE(RegWriteString(path, fmt_lu(d).c_str()));
        EXPECT_EQ(RegGetDWord(path, 7), static_cast<DWORD>(d)) << d;
    }
    for (long long i : {-1LL, -2LL, -32768LL, static_cast<long long>(INT_MIN)}) {
        ASSERT_TRUE(RegWriteString(path, fmt_d(i).c_str()));
        EXPECT_EQ(RegGetDWord(path, 7), static_cast<DWORD>(static_cast<int>(i))) << i;
    }
    ASSERT_TRUE(RegWriteString(path, "-1"));
    EXPECT_EQ(RegGetWord(path, 7), 0xFFFF);
}

TEST(KitSettings, AbsentOrUnreadableValuesGiveTheDefault) {
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\Absent\\W", 150), 150);
    EXPECT_EQ(RegGetDWord("Sonrel\\Settings\\Absent\\D", 4294967295u), 4294967295u);
    EXPECT_EQ(RegGetBool("Sonrel\\Settings\\Absent\\B", TRUE), TRUE);
    EXPECT_EQ(RegGetBool("Sonrel\\Settings\\Absent\\B", FALSE), FALSE);
    const char* def = "default text";
    EXPECT_EQ(RegGetString("Sonrel\\Settings\\Absent\\S", def), def);

    const char* path = "Sonrel\\Settings\\Test\\Junk";
    for (const char* junk : {"", "abc", "12abc", "yes", "true", " "}) {
        ASSERT_TRUE(RegWriteString(path, junk));
        EXPECT_EQ(RegGetWord(path, 42), 42) << junk;
        EXPECT_EQ(RegGetDWord(path, 42), 42u) << junk;
        EXPECT_EQ(RegGetBool(path, 5), 5) << junk;
    }
    ASSERT_TRUE(RegWriteString(path, "2"));
    EXPECT_EQ(RegGetBool(path, 5), 5) << "only \"1\" and \"0\" are flags";
}

TEST(KitSettings, StringStaysValidUntilTheNextCallOnTheSameThread) {
    RegWriteString("Sonrel\\RecentFiles\\File1", "/a/first.wav");
    RegWriteString("Sonrel\\RecentFiles\\File2", "/b/second.wav");
    const char* first = RegGetString("Sonrel\\RecentFiles\\File1", "");
    std::string seen_by_other;
    std::thread other([&] { seen_by_other = RegGetString("Sonrel\\RecentFiles\\File2", ""); });
    other.join();
    EXPECT_EQ(seen_by_other, "/b/second.wav");
    EXPECT_STREQ(first, "/a/first.wav") << "another thread's call must not disturb it";

    std::string big(10000, 'x');
    big += "end";
    RegWriteString("Sonrel\\Settings\\Test\\Big", big.c_str());
    EXPECT_EQ(std::string(RegGetString("Sonrel\\Settings\\Test\\Big", "")), big);
}

TEST(KitSettings, PathsBecomeSectionAndKeyOfTheSettingsFile) {
    ASSERT_TRUE(RegWriteString("Sonrel\\Settings\\Main\\X", "321"));
    char buf[32];
    GetPrivateProfileString("Sonrel\\Settings\\Main", "X", "", buf, sizeof buf, "Sonrel.ini");
    EXPECT_STREQ(buf, "321");
    EXPECT_FALSE(RegWriteString("Sonrel\\Settings\\Main\\", "no key"));
}

}  // namespace
