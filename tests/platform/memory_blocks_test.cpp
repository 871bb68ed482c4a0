// Movable memory blocks: handles, resizing, zeroing and the failure switches.
#include <gtest/gtest.h>
#include <platform/file_backed.h>
#include <platform/platform.h>
#include <platform/testing.h>

#include <cstdio>
#include <cstring>
#include <set>

namespace {

struct FailSwitchReset {
    ~FailSwitchReset() {
        PlatformFailNextAllocations(0);
        PlatformSetAllocationLimit(0);
    }
};

void fill(HGLOBAL h, BYTE value) {
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    std::memset(p, value, GlobalSize(h));
    GlobalUnlock(h);
}

// Counts bytes in [from, to) that differ from value.
size_t count_not(HGLOBAL h, size_t from, size_t to, BYTE value) {
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    size_t n = 0;
    for (size_t i = from; i < to; ++i) n += p[i] != value;
    GlobalUnlock(h);
    return n;
}

TEST(MemoryBlocks, ZeroInitialisedBlockHasTheAskedSizeAndOnlyZeros) {
    for (SIZE_T size : {SIZE_T{1}, SIZE_T{1000}, SIZE_T{3} << 20}) {
        HGLOBAL h = GlobalAlloc(GHND, size);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GlobalSize(h), size);
        EXPECT_EQ(count_not(h, 0, size, 0), 0u);
        EXPECT_EQ(GlobalFree(h), nullptr);
    }
}

TEST(MemoryBlocks, ResizedBlockKeepsHandleContentAndZeroesNewBytes) {
    // heap -> heap, heap -> mapping, mapping -> bigger mapping, back down
    const SIZE_T steps[] = {100, 5000, 2u << 20, 9u << 20, 3000};
    HGLOBAL h = GlobalAlloc(GHND, 10);
    ASSERT_NE(h, nullptr);
    fill(h, 0x5A);
    SIZE_T filled = 10;
    for (SIZE_T size : steps) {
        ASSERT_EQ(GlobalReAlloc(h, size, GMEM_MOVEABLE | GMEM_ZEROINIT), h) << size;
        EXPECT_EQ(GlobalSize(h), size);
        SIZE_T kept = filled < size ? filled : size;
        EXPECT_EQ(count_not(h, 0, kept, 0x5A), 0u) << size;
        if (size > filled) {
            EXPECT_EQ(count_not(h, filled, size, 0), 0u) << size;
        }
        fill(h, 0x5A);
        filled = size;
    }
    GlobalFree(h);
}

TEST(MemoryBlocks, ShrinkThenGrowGivesZerosNotOldBytes) {
    for (SIZE_T big : {SIZE_T{4096}, SIZE_T{3} << 20}) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, big);
        fill(h, 0xAB);
        ASSERT_EQ(GlobalReAlloc(h, 10, GMEM_MOVEABLE), h);
        ASSERT_EQ(GlobalReAlloc(h, big, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
        EXPECT_EQ(count_not(h, 0, 10, 0xAB), 0u);
        EXPECT_EQ(count_not(h, 10, big, 0), 0u) << big;
        GlobalFree(h);
    }
}

TEST(MemoryBlocks, LargeBlockGrowsToHundredsOfMegabytesKeepingBothEnds) {
    const SIZE_T first = 8u << 20, second = 300u << 20;
    HGLOBAL h = GlobalAlloc(GHND, first);
    ASSERT_NE(h, nullptr);
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    p[0] = 1;
    p[first - 1] = 2;
    GlobalUnlock(h);
    ASSERT_EQ(GlobalReAlloc(h, second, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
    p = static_cast<BYTE*>(GlobalLock(h));
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[first - 1], 2);
    EXPECT_EQ(p[first], 0);
    EXPECT_EQ(p[second / 2], 0);
    EXPECT_EQ(p[second - 1], 0);
    GlobalUnlock(h);
    GlobalFree(h);
}

TEST(MemoryBlocks, FreedOrForgedHandleIsRefusedEverywhere) {
    HGLOBAL h = GlobalAlloc(GHND, 64);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(GlobalFree(h), nullptr);
    for (HGLOBAL bad : {h, reinterpret_cast<HGLOBAL>(0x12345), HGLOBAL{nullptr}}) {
        SetLastError(0);
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(GlobalUnlock(bad));
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalReAlloc(bad, 128, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GlobalFlags(bad), static_cast<UINT>(GMEM_INVALID_HANDLE));
        EXPECT_EQ(GlobalFree(bad), bad);
    }
}

TEST(MemoryBlocks, HandlesAreNotReusedAfterFree) {
    HGLOBAL old = GlobalAlloc(GHND, 16);
    GlobalFree(old);
    std::set<HGLOBAL> fresh;
    for (int i = 0; i < 200; ++i) fresh.insert(GlobalAlloc(GHND, 16));
    EXPECT_EQ(fresh.count(old), 0u);
    EXPECT_EQ(GlobalLock(old), nullptr);
    for (HGLOBAL h : fresh) GlobalFree(h);
}

TEST(MemoryBlocks, LockCountIsKeptAndReported) {
    HGLOBAL h = GlobalAlloc(GHND, 8);
    EXPECT_EQ(GlobalFlags(h) & 0xFF, 0u);
    void* a = GlobalLock(h);
    void* b = GlobalLock(h);
    EXPECT_EQ(a, b);
    EXPECT_EQ(GlobalFlags(h) & 0xFF, 2u);
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GlobalFlags(h) & 0xFF, 0u);
    GlobalFree(h);
}

TEST(MemoryBlocks, FailSwitchFailsExactlyTheNextAllocations) {
    FailSwitchReset reset;
    PlatformFailNextAllocations(1);
    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GHND, 10), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    HGLOBAL ok = GlobalAlloc(GHND, 10);
    EXPECT_NE(ok, nullptr);
    GlobalFree(ok);

    PlatformFailNextAllocations(2);
    EXPECT_EQ(GlobalAlloc(GHND, 10), nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, 10), nullptr);
    ok = GlobalAlloc(GHND, 10);
    EXPECT_NE(ok, nullptr);
    GlobalFree(ok);

    PlatformFailNextAllocations(3);
    PlatformFailNextAllocations(0);
    ok = GlobalAlloc(GHND, 10);
    EXPECT_NE(ok, nullptr);
    GlobalFree(ok);
}

TEST(MemoryBlocks, FailedReallocationLeavesTheBlockAsItWas) {
    FailSwitchReset reset;
    for (SIZE_T size : {SIZE_T{100}, SIZE_T{2} << 20}) {
        HGLOBAL h = GlobalAlloc(GHND, size);
        fill(h, 0x77);
        void* before = GlobalLock(h);
        GlobalUnlock(h);
        PlatformFailNextAllocations(1);
        EXPECT_EQ(GlobalReAlloc(h, size * 4, GMEM_MOVEABLE | GMEM_ZEROINIT), nullptr);
        EXPECT_EQ(GlobalSize(h), size);
        EXPECT_EQ(GlobalLock(h), before);
        GlobalUnlock(h);
        EXPECT_EQ(count_not(h, 0, size, 0x77), 0u);
        EXPECT_EQ(GlobalReAlloc(h, size * 4, GMEM_MOVEABLE), h);
        EXPECT_EQ(GlobalFree(h), nullptr);
    }
}

TEST(MemoryBlocks, SizeLimitRefusesOnlyBlocksAboveIt) {
    FailSwitchReset reset;
    PlatformSetAllocationLimit(1000);
    EXPECT_EQ(GlobalAlloc(GHND, 1001), nullptr);
    HGLOBAL h = GlobalAlloc(GHND, 1000);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalReAlloc(h, 5000, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(h), 1000u);
    PlatformSetAllocationLimit(0);
    EXPECT_EQ(GlobalReAlloc(h, 5000, GMEM_MOVEABLE), h);
    GlobalFree(h);
}

}  // namespace

namespace {

// Resident memory of this process in MB.
double resident_mb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4096.0 / (1 << 20);
}

// A file-backed block keeps its bytes from lock to lock, yet its pages leave
// the process when the last lock ends; it starts zeroed and grows zeroed.
TEST(FileBackedBlock, KeepsItsBytesWhileItsPagesLeaveTheProcess) {
    const SIZE_T size = 48u << 20;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_FILEBACKED, size);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), size);
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0] | p[size / 2] | p[size - 1], 0);
    for (SIZE_T i = 0; i < size; i += 4096) p[i] = static_cast<BYTE>(i >> 12);
    double locked = resident_mb();
    GlobalUnlock(h);
    EXPECT_LT(resident_mb(), locked - 40) << "the written pages stayed in the process";

    ASSERT_NE(GlobalReAlloc(h, size + 8192, GMEM_MOVEABLE | GMEM_ZEROINIT), nullptr);
    p = static_cast<BYTE*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    SIZE_T wrong = 0;
    for (SIZE_T i = 0; i < size; i += 4096) wrong += p[i] != static_cast<BYTE>(i >> 12);
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(p[size] | p[size + 8191], 0) << "grown bytes are zero";
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

}  // namespace
