// Enumerating the subkeys of a registry key, as the extension list is read:
// the order of the names, the end code, buffers that are too small, and keys
// that exist only as part of a deeper key's path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

constexpr const char* kBase = "Software\\EnumTest\\Extensions";

void create(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                             &key, nullptr),
              ERROR_SUCCESS)
        << path;
    RegCloseKey(key);
}

std::vector<std::string> subkeys(HKEY key, LSTATUS* end) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[500];
        DWORD size = sizeof name;
        LSTATUS r = RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (r != ERROR_SUCCESS) {
            *end = r;
            return names;
        }
        EXPECT_EQ(size, std::string(name).size());
        names.push_back(name);
    }
}

TEST(RegistryKeys, SubkeysComeInNameOrderThenNoMoreItems) {
    std::string base = kBase;
    for (const char* name : {"echo.so", "Alpha.so", "bravo.so", "BRAVO.so"})
        create(base + "\\" + name);
    create(base + "\\charlie.so\\Deeper\\Deepest");
    HKEY opened = nullptr;
    {  // a value beside the subkeys is no subkey
        ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kBase, 0, KEY_WRITE, &opened), ERROR_SUCCESS);
        DWORD one = 1;
        RegSetValueEx(opened, "NotAKey", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
    }
    LSTATUS end = 0;
    EXPECT_EQ(subkeys(opened, &end),
              (std::vector<std::string>{"Alpha.so", "bravo.so", "charlie.so", "echo.so"}));
    EXPECT_EQ(end, ERROR_NO_MORE_ITEMS);
    RegCloseKey(opened);

    HKEY deeper = nullptr;
    ASSERT_EQ(
        RegOpenKeyEx(HKEY_CURRENT_USER, (base + "\\charlie.so").c_str(), 0, KEY_READ, &deeper),
        ERROR_SUCCESS);
    EXPECT_EQ(subkeys(deeper, &end), std::vector<std::string>{"Deeper"});
    RegCloseKey(deeper);
}

TEST(RegistryKeys, SmallBuffersBadHandlesAndEmptyKeys) {
    create("Software\\EnumTest\\Long\\a-rather-long-extension-name.so");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\EnumTest\\Long", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char name[8] = "keep";
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_STREQ(name, "keep") << "nothing copied";
    EXPECT_EQ(size, std::string("a-rather-long-extension-name.so").size() + 1);
    EXPECT_EQ(RegEnumKeyEx(key, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
    EXPECT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);

    create("Software\\EnumTest\\Empty");
    HKEY empty = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\EnumTest\\Empty", 0, KEY_READ, &empty),
              ERROR_SUCCESS);
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(empty, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(empty);
}

}  // namespace
