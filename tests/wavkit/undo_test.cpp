// The one-level undo store: each kind taken back on real bytes, the failure
// paths, and records that no longer fit the data they were taken on.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <cstring>
#include <string>

#include "document_fixture.h"

namespace {

using namespace wavtest;

// Replaces the document's data as an operation would: a WAVE block of exactly
// the new bytes (none for no data), data size and file length set together.
void replace_data(HWND d, const Bytes& bytes) {
    GlobalFree(RemoveProp(d, PROP_WAVE));
    if (!bytes.empty()) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
        GlobalUnlock(h);
        SetProp(d, PROP_WAVE, h);
    }
    HGLOBAL hh = GetProp(d, PROP_HEADER);
    auto* header = static_cast<HeaderBlock*>(GlobalLock(hh));
    header->dataSize = static_cast<DWORD>(bytes.size());
    header->fileLength = header->dataSize + 44;
    GlobalUnlock(hh);
}

Bytes spliced(const Bytes& b, size_t at, const Bytes& in) {
    Bytes out(b.begin(), b.begin() + at);
    out.insert(out.end(), in.begin(), in.end());
    out.insert(out.end(), b.begin() + at, b.end());
    return out;
}

Bytes without(const Bytes& b, size_t at, size_t n) {
    Bytes out(b.begin(), b.begin() + at);
    out.insert(out.end(), b.begin() + at + n, b.end());
    return out;
}

size_t wave_block_size(HWND d) {
    return GlobalSize(GetProp(d, PROP_WAVE));
}

struct UndoTest : ::testing::Test {
    Frame f;
};

TEST_F(UndoTest, InPlaceChangeOfA16BitStereoRangeRestoresExactlyThatRange) {
    Format fmt{2, 44100, 16};
    const Bytes original = pattern(400, 3);
    HWND d = make_document(f, fmt, original);
    set_mark(d, 100, 40);
    EXPECT_EQ(SaveUndoInformation(d, 100, 40, UNDO_CHANGED, "Change Volume"), 1);
    EXPECT_EQ(IsUndoPossible(d), 1);
    ASSERT_NE(UndoDescription(d), nullptr);
    EXPECT_STREQ(UndoDescription(d), "Change Volume");

    Bytes changed = original;
    for (size_t i = 100; i < 140; ++i) changed[i] ^= 0xFF;
    changed[99] = 0x42;  // outside the range: undo must keep these
    changed[140] = 0x43;
    replace_data(d, changed);

    EXPECT_EQ(RestoreUndoInformation(d), 1);
    Bytes expected = original;
    expected[99] = 0x42;
    expected[140] = 0x43;
    EXPECT_EQ(data_of(d), expected);
    EXPECT_EQ(header_of(d).dataSize, 400u);
    EXPECT_EQ(position_of(d).markStart, 100u);
    EXPECT_EQ(position_of(d).markLength, 40u);
    UndoBlock u = undo_of(d);
    EXPECT_EQ(u.kind, UNDO_NONE);
    EXPECT_TRUE(u.copy == nullptr);
    EXPECT_EQ(IsUndoPossible(d), 0);
    EXPECT_EQ(RestoreUndoInformation(d), 0) << "a second undo has nothing to apply";
}

TEST_F(UndoTest, InsertionAtTheEndIsRemovedAndTheMarkStandsAtTheOldEnd) {
    const Bytes original = pattern(300, 4);
    HWND d = make_document(f, Format{}, original);
    set_mark(d, 10, 20);
    SaveUndoInformation(d, 300, 50, UNDO_INSERTED, "Paste From Clipboard");
    EXPECT_EQ(undo_copy_of(d), nullptr);
    replace_data(d, spliced(original, 300, pattern(50, 9)));

    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), original);
    EXPECT_EQ(header_of(d).dataSize, 300u);
    EXPECT_EQ(header_of(d).fileLength, 344u);
    EXPECT_EQ(wave_block_size(d), 300u + 128u);
    EXPECT_EQ(position_of(d).markStart, 300u);
    EXPECT_EQ(position_of(d).markLength, 0u);
    EXPECT_EQ(IsUndoPossible(d), 0);
}

TEST_F(UndoTest, InsertionInTheMiddleMovesTheTailBack) {
    const Bytes original = pattern(1000, 5);
    HWND d = make_document(f, Format{1, 8000, 16}, original);
    SaveUndoInformation(d, 200, 64, UNDO_INSERTED, "Insert Silence");
    replace_data(d, spliced(original, 200, Bytes(64, 0)));
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), original);
    EXPECT_EQ(position_of(d).markStart, 200u);
}

TEST_F(UndoTest, InsertionOfNothingOnlySetsTheMark) {
    const Bytes original = pattern(100, 6);
    HWND d = make_document(f, Format{}, original);
    set_mark(d, 5, 6);
    SaveUndoInformation(d, 40, 0, UNDO_INSERTED, "Paste From Same File");
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), original);
    EXPECT_EQ(position_of(d).markStart, 40u);
    EXPECT_EQ(position_of(d).markLength, 0u);
}

TEST_F(UndoTest, DeletionOfTheFirstBytesPutsThemBackAtTheStart) {
    const Bytes original = pattern(500, 7);
    HWND d = make_document(f, Format{2, 22050, 16}, original);
    SaveUndoInformation(d, 0, 8, UNDO_REMOVED, "Delete");
    ASSERT_NE(undo_copy_of(d), nullptr);
    replace_data(d, without(original, 0, 8));
    set_mark(d, 0, 4);

    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), original);
    EXPECT_EQ(data_of(d)[8], original[8]) << "the byte at the deletion point follows the range";
    EXPECT_EQ(header_of(d).dataSize, 500u);
    EXPECT_EQ(header_of(d).fileLength, 544u);
    EXPECT_EQ(wave_block_size(d), 500u + 128u);
    EXPECT_EQ(position_of(d).markLength, 4u) << "undo of a deletion keeps the mark length";
    EXPECT_EQ(undo_copy_of(d), nullptr);
}

TEST_F(UndoTest, DeletionUndoBringsAMarkBeyondTheDataBackToItsEnd) {
    const Bytes original = pattern(200, 8);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 150, 50, UNDO_REMOVED, "Delete");
    replace_data(d, without(original, 150, 50));
    set_mark(d, 180, 0);  // beyond the 150 bytes left
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), original);
    EXPECT_EQ(position_of(d).markStart, 150u);
}

TEST_F(UndoTest, DeletionOfTheWholeDataComesBackIntoAnEmptyDocument) {
    const Bytes original = pattern(64, 10);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 0, 64, UNDO_REMOVED, "Delete");
    replace_data(d, Bytes{});
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), original);
}

TEST_F(UndoTest, ForbidUndoEmptiesTheRecordButKeepsTheCopyUntilTheNextRecord) {
    HWND d = make_document(f, Format{}, pattern(100, 11));
    SaveUndoInformation(d, 0, 10, UNDO_CHANGED, "Fade In");
    HGLOBAL copy = undo_copy_of(d);
    ASSERT_NE(copy, nullptr);
    ForbidUndo(d);
    EXPECT_EQ(IsUndoPossible(d), 0);
    EXPECT_EQ(UndoDescription(d), nullptr);
    EXPECT_EQ(RestoreUndoInformation(d), 0);
    EXPECT_EQ(undo_copy_of(d), copy);
    SaveUndoInformation(d, 0, 5, UNDO_INSERTED, "Insert Silence");
    EXPECT_EQ(undo_copy_of(d), nullptr);
}

TEST_F(UndoTest, OnlyTheLastOfTwoOperationsCanBeUndone) {
    const Bytes original = pattern(100, 12);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 0, 10, UNDO_CHANGED, "Fade In");
    Bytes first = original;
    std::fill(first.begin(), first.begin() + 10, 0);
    replace_data(d, first);
    SaveUndoInformation(d, 50, 10, UNDO_CHANGED, "Reverse");
    Bytes second = first;
    std::fill(second.begin() + 50, second.begin() + 60, 1);
    replace_data(d, second);
    EXPECT_STREQ(UndoDescription(d), "Reverse");
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), first);
    EXPECT_EQ(RestoreUndoInformation(d), 0);
}

TEST_F(UndoTest, TheTextIsKeptToFiftyOneCharacters) {
    HWND d = make_document(f, Format{}, pattern(10, 13));
    std::string longText(80, 'x');
    SaveUndoInformation(d, 0, 1, UNDO_CHANGED, longText.c_str());
    EXPECT_EQ(std::string(UndoDescription(d)), std::string(51, 'x'));
}

TEST_F(UndoTest, WithoutMemoryForTheCopyTheRecordIsClearedSilently) {
    HWND d = make_document(f, Format{}, pattern(100, 14));
    PlatformFailNextAllocations(1);
    EXPECT_EQ(SaveUndoInformation(d, 0, 50, UNDO_REMOVED, "Delete"), 1);
    PlatformFailNextAllocations(0);
    EXPECT_EQ(IsUndoPossible(d), 0);
    UndoBlock u = undo_of(d);
    EXPECT_EQ(u.start, 0u);
    EXPECT_EQ(u.length, 0u);
    EXPECT_TRUE(u.copy == nullptr);
}

TEST_F(UndoTest, AFailedGrowKeepsTheRecordForAnotherTry) {
    const Bytes original = pattern(300, 15);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 100, 30, UNDO_REMOVED, "Delete");
    const Bytes shorter = without(original, 100, 30);
    replace_data(d, shorter);
    PlatformFailNextAllocations(1);
    EXPECT_EQ(RestoreUndoInformation(d), 0);
    PlatformFailNextAllocations(0);
    EXPECT_EQ(IsUndoPossible(d), 1);
    EXPECT_EQ(data_of(d), shorter);
    EXPECT_EQ(header_of(d).fileLength, shorter.size() + 44);
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), original);
}

TEST_F(UndoTest, AFailedShrinkDiscardsTheRecordAndLeavesConsistentData) {
    const Bytes original = pattern(300, 16);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 100, 20, UNDO_INSERTED, "Paste From Clipboard");
    replace_data(d, spliced(original, 100, pattern(20, 17)));
    PlatformFailNextAllocations(1);
    EXPECT_EQ(RestoreUndoInformation(d), 0);
    PlatformFailNextAllocations(0);
    EXPECT_EQ(IsUndoPossible(d), 0);
    EXPECT_EQ(data_of(d), original);
    EXPECT_GE(wave_block_size(d), header_of(d).dataSize);
}

// Crop, speed change and conversion change the data without a record, so an
// older record may point past the data: it is clipped to the data as it is.
TEST_F(UndoTest, AnOlderChangeRecordIsClippedToShorterData) {
    const Bytes original = pattern(100, 18);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 80, 20, UNDO_CHANGED, "Silence");
    const Bytes cropped(original.begin() + 0, original.begin() + 90);
    Bytes changed = cropped;
    std::fill(changed.begin() + 80, changed.end(), 0);
    replace_data(d, changed);
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), cropped);

    SaveUndoInformation(d, 60, 20, UNDO_CHANGED, "Silence");
    replace_data(d, Bytes(original.begin(), original.begin() + 40));
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), Bytes(original.begin(), original.begin() + 40));
}

TEST_F(UndoTest, AnOlderInsertionRecordRemovesOnlyBytesThatExist) {
    const Bytes original = pattern(100, 19);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 40, 30, UNDO_INSERTED, "Paste From Same File");
    replace_data(d, Bytes(original.begin(), original.begin() + 50));
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), Bytes(original.begin(), original.begin() + 40));

    SaveUndoInformation(d, 70, 10, UNDO_INSERTED, "Paste From Same File");
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    EXPECT_EQ(data_of(d), Bytes(original.begin(), original.begin() + 40));
    EXPECT_EQ(position_of(d).markStart, 40u);
}

TEST_F(UndoTest, AnOlderDeletionRecordBeyondTheDataPutsItsBytesAtTheEnd) {
    const Bytes original = pattern(200, 20);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 150, 20, UNDO_REMOVED, "Delete");
    const Bytes removed(original.begin() + 150, original.begin() + 170);
    const Bytes cropped(original.begin(), original.begin() + 60);
    replace_data(d, cropped);
    EXPECT_EQ(RestoreUndoInformation(d), 1);
    Bytes expected = cropped;
    expected.insert(expected.end(), removed.begin(), removed.end());
    EXPECT_EQ(data_of(d), expected);
}

TEST_F(UndoTest, RangesPastTheDataAreCopiedOnlyAsFarAsTheDataGoes) {
    const Bytes original = pattern(100, 21);
    HWND d = make_document(f, Format{}, original);
    SaveUndoInformation(d, 90, 50, UNDO_CHANGED, "Zeroize");
    EXPECT_EQ(undo_of(d).length, 10u);
    SaveUndoInformation(d, 200, 50, UNDO_REMOVED, "Delete");
    EXPECT_EQ(undo_of(d).length, 0u);
    EXPECT_EQ(RestoreUndoInformation(d), 1) << "a deletion of nothing changes nothing";
    EXPECT_EQ(data_of(d), original);
}

TEST_F(UndoTest, UnknownKindsMakeNoRecord) {
    HWND d = make_document(f, Format{}, pattern(10, 22));
    EXPECT_EQ(SaveUndoInformation(d, 0, 5, 7, "Strange"), 1);
    EXPECT_EQ(IsUndoPossible(d), 0);
    EXPECT_EQ(IsUndoPossible(nullptr), 0);
    EXPECT_EQ(RestoreUndoInformation(nullptr), 0);
}

}  // namespace

// Copies of 16 MB and more live in a file-backed block and move a piece at a
// time: a change and a deletion of 20 MB (pieces and a part piece) come back exactly.
TEST(UndoLargeCopy, ChangesAndDeletionsOfManyMegabytesComeBackExactly) {
    Frame f;
    const size_t size = (20u << 20) + 12345;
    const Bytes original = pattern(size, 11);
    for (WORD kind : {UNDO_CHANGED, UNDO_REMOVED}) {
        SCOPED_TRACE(kind);
        HWND d = make_document(f, Format{2, 44100, 16}, original);
        const DWORD start = 1000, length = static_cast<DWORD>(size - 3000);
        ASSERT_EQ(SaveUndoInformation(d, start, length, kind, "Large"), 1);
        ASSERT_NE(undo_copy_of(d), nullptr);
        EXPECT_EQ(GlobalSize(undo_copy_of(d)), length);
        if (kind == UNDO_CHANGED) {
            Bytes changed = original;
            for (size_t i = start; i < start + length; ++i)
                changed[i] = static_cast<uint8_t>(~changed[i]);
            replace_data(d, changed);
        } else {
            replace_data(d, without(original, start, length));
        }
        EXPECT_EQ(RestoreUndoInformation(d), 1);
        EXPECT_TRUE(data_of(d) == original) << "the data differs from the original after undo";
        EXPECT_EQ(header_of(d).dataSize, size);
    }
}
