// Libraries loaded at run time by absolute path: the module handle, looking up
// exports, names that are refused, counting uses, and the error mode.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <string>

#include "test_support.h"

namespace {

const char* const kSample = PLATFORM_SAMPLE_LIBRARY;

TEST(Library, LoadsByAbsolutePathAndFindsExportsByName) {
    HMODULE lib = LoadLibrary(kSample);
    ASSERT_NE(lib, nullptr);
    auto answer = reinterpret_cast<int (*)(void)>(GetProcAddress(lib, "SampleAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    auto* counter = reinterpret_cast<int*>(GetProcAddress(lib, "sample_counter"));
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(*counter, 7);
    EXPECT_EQ(PlatformModuleOfAddress(reinterpret_cast<const void*>(answer)), lib)
        << "the handle is the module's instance";
    EXPECT_EQ(GetModuleHandle(kSample), lib);

    SetLastError(0);
    EXPECT_EQ(GetProcAddress(lib, "NoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(lib, MAKEINTRESOURCE(1)), nullptr) << "no ordinals";
    EXPECT_TRUE(FreeLibrary(lib));
}

TEST(Library, NamesThatAreNotAbsolutePathsAreNeverSearched) {
    std::string dir = testing_support::fresh_dir("library-names");
    std::string base = std::string(kSample).substr(std::string(kSample).rfind('/') + 1);
    const char* const names[] = {"", "libplatform-sample-library.so", base.c_str(), "./x.so",
                                 "sub/dir/x.so"};
    for (const char* name : names) {
        SetLastError(0);
        EXPECT_EQ(LoadLibrary(name), nullptr) << name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << name;
    }
    EXPECT_EQ(LoadLibrary(nullptr), nullptr);

    SetLastError(0);
    EXPECT_EQ(LoadLibrary((dir + "/missing.so").c_str()), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibrary(dir.c_str()), nullptr) << "a folder";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    std::string text = dir + "/not-a-library.so";
    testing_support::write_file(text, {'h', 'e', 'l', 'l', 'o'});
    SetLastError(0);
    EXPECT_EQ(LoadLibrary(text.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
}

TEST(Library, EachLoadIsOneUseAndTheLastFreeUnloads) {
    HMODULE a = LoadLibrary(kSample);
    HMODULE b = LoadLibrary(kSample);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_NE(GetProcAddress(a, "SampleAnswer"), nullptr) << "still one use left";
    EXPECT_TRUE(FreeLibrary(b));
    EXPECT_FALSE(FreeLibrary(a)) << "used up";
    EXPECT_EQ(GetProcAddress(a, "SampleAnswer"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_FALSE(FreeLibrary(GetModuleHandle(nullptr))) << "not loaded by LoadLibrary";
}

TEST(Library, LibrariesThePlatformWasLinkedWithAreReachedToo) {
    EXPECT_NE(GetProcAddress(nullptr, "PlatformInit"), nullptr);
    HMODULE platform = GetModuleHandle("libsonrel-platform.so");
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(platform, "LoadLibrary")),
              reinterpret_cast<void*>(&LoadLibrary));
}

TEST(Library, ErrorModeIsKeptAndHandedBack) {
    UINT before = SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(SetErrorMode(before), UINT(SEM_FAILCRITICALERRORS));
    EXPECT_EQ(SetErrorMode(before), before);
}

}  // namespace
