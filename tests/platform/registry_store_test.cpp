// The per-user registry store: keys, typed values, the platform's buffer rules
// and a stable enumeration order.
#include <gtest/gtest.h>
#include <platform/platform.h>

#include <cstring>
#include <string>

#include "test_support.h"

namespace {

const char* kExtensions = "Software\\Kestrowe\\Sonrel\\Extensions";

HKEY create(const char* path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &key, disposition),
              ERROR_SUCCESS);
    return key;
}

void set_text(HKEY key, const char* name, const char* text) {
    ASSERT_EQ(RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                            static_cast<DWORD>(std::strlen(text) + 1)),
              ERROR_SUCCESS);
}

// args: value name, expected text. 0 when this process reads it back.
int role_read_extension(const std::vector<std::string>& a) {
    HKEY key;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, kExtensions, 0, KEY_READ, &key) != ERROR_SUCCESS) return 2;
    char buf[256];
    DWORD size = sizeof buf, type = 0;
    LSTATUS rc =
        RegQueryValueEx(key, a[0].c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ && a[1] == buf ? 0 : 1;
}

const bool g_roles = [] {
    testing_support::register_child_role("registry-read", role_read_extension);
    return true;
}();

TEST(RegistryStore, AbsentKeyIsNotFoundUntilCreated) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Nobody\\Here", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    DWORD disposition = 0;
    HKEY made = create("Software\\Nobody\\Here", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(made);
    made = create("Software\\Nobody\\Here", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(made);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Nobody\\Here", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    // The keys above a created key exist too, opened relative to each other.
    HKEY parent;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Nobody", 0, KEY_READ, &parent),
              ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyEx(parent, "Here", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    RegCloseKey(parent);
}

TEST(RegistryStore, TextValuesCountTheirTerminatorAndReportShortBuffers) {
    HKEY key = create("Software\\Test\\Text");
    set_text(key, "Path", "/usr/lib/ext.so");
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "Path", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 16u);
    char small[8] = "unused";
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 16u);
    char buf[64];
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueEx(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, "/usr/lib/ext.so");
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(RegQueryValueEx(key, "Missing", nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST(RegistryStore, NumbersKeepAllTheirBits) {
    HKEY key = create("Software\\Test\\Numbers");
    for (DWORD v : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        ASSERT_EQ(RegSetValueEx(key, "N", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4),
                  ERROR_SUCCESS);
        DWORD out = 0, type = 0, size = sizeof out;
        ASSERT_EQ(RegQueryValueEx(key, "N", nullptr, &type, reinterpret_cast<BYTE*>(&out), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(size, 4u);
        EXPECT_EQ(out, v);
    }
    BYTE blob[] = {0, 1, 0xFE, 0xFF};
    ASSERT_EQ(RegSetValueEx(key, "B", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    BYTE back[8] = {};
    DWORD type = 0, size = sizeof back;
    ASSERT_EQ(RegQueryValueEx(key, "B", nullptr, &type, back, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::memcmp(back, blob, 4), 0);
    RegCloseKey(key);
}

TEST(RegistryStore, EnumerationFollowsTheOrderValuesWereAdded) {
    HKEY key = create("Software\\Test\\Order");
    const char* names[] = {"zeta", "alpha", "mid"};
    for (const char* n : names) set_text(key, n, n);
    set_text(key, "alpha", "replaced keeps its place");
    for (DWORD i = 0; i < 3; ++i) {
        char name[32];
        DWORD name_size = sizeof name, type = 0;
        char data[64];
        DWORD data_size = sizeof data;
        ASSERT_EQ(RegEnumValue(key, i, name, &name_size, nullptr, &type,
                               reinterpret_cast<BYTE*>(data), &data_size),
                  ERROR_SUCCESS);
        EXPECT_STREQ(name, names[i]);
        EXPECT_EQ(name_size, std::strlen(names[i]));
    }
    char tiny[3];
    DWORD tiny_size = sizeof tiny;
    EXPECT_EQ(RegEnumValue(key, 0, tiny, &tiny_size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    char name[32];
    DWORD name_size = sizeof name;
    EXPECT_EQ(RegEnumValue(key, 3, name, &name_size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegDeleteValue(key, "alpha"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, "alpha"), ERROR_FILE_NOT_FOUND);
    name_size = sizeof name;
    ASSERT_EQ(RegEnumValue(key, 1, name, &name_size, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "mid");
    RegCloseKey(key);
}

TEST(RegistryStore, ClosedKeyIsRefused) {
    HKEY key = create("Software\\Test\\Closed");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueEx(key, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("a"), 2),
              ERROR_INVALID_HANDLE);
}

TEST(RegistryStore, AnotherProcessReadsTheExtensionList) {
    HKEY key = create(kExtensions);
    set_text(key, "Echo", "/opt/ext/libecho.so");
    RegCloseKey(key);
    EXPECT_EQ(testing_support::wait_child(
                  testing_support::spawn_child("registry-read", {"Echo", "/opt/ext/libecho.so"})),
              0);
}

}  // namespace
