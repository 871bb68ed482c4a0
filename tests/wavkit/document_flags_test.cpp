// The document's state flags, new documents, and the release of a document.
#include <gtest/gtest.h>
#include <kit/rvg32.h>

#include <cstring>

#include "document_fixture.h"

namespace {

using namespace wavtest;

TEST(DocumentFlags, NullDocumentCountsAsWorkingAndNotSaved) {
    EXPECT_EQ(IsFileWorking(nullptr), 1);
    EXPECT_EQ(IsFileSaved(nullptr), 0);
    EXPECT_EQ(SetFileSaved(nullptr), 0);
}

TEST(DocumentFlags, EachSetterChangesOnlyItsOwnFlag) {
    Frame f;
    HWND d = make_document(f, Format{}, pattern(10));
    EXPECT_EQ(IsFileSaved(d), 1);
    EXPECT_EQ(IsFileWorking(d), 0);

    EXPECT_NE(SetFileNotSaved(d), 0);
    EXPECT_EQ(IsFileSaved(d), 0);
    EXPECT_EQ(IsFileWorking(d), 0);

    EXPECT_NE(SetFileWorking(d), 0);
    EXPECT_EQ(IsFileWorking(d), 1);
    EXPECT_EQ(IsFileSaved(d), 0);
    EXPECT_EQ(info_of(d).working, 1u);

    SetFileSaved(d);
    SetFileNotWorking(d);
    EXPECT_EQ(IsFileSaved(d), 1);
    EXPECT_EQ(IsFileWorking(d), 0);
    EXPECT_EQ(info_of(d).saved, 1u);
    EXPECT_STREQ(info_of(d).path, "/tmp/doc.wav");  // the rest of INFO is untouched
}

TEST(DocumentFlags, AWindowWithoutInfoBlockIsNeitherSavedNorWorking) {
    Frame f;
    HWND d = make_document(f, Format{}, pattern(4));
    HGLOBAL info = RemoveProp(d, PROP_INFO);
    EXPECT_EQ(IsFileWorking(d), 0);
    EXPECT_EQ(IsFileSaved(d), 0);
    EXPECT_EQ(SetFileSaved(d), 0);
    GlobalFree(info);
}

TEST(NewFile, MakesAnEmptyDocumentInTheDefaultFormat) {
    Frame f;
    HWND d = NewFile(f.frame, f.client, 3);
    ASSERT_NE(d, nullptr);
    char title[64] = {};
    GetWindowText(d, title, sizeof title);
    EXPECT_STREQ(title, "Unnamed -3-.WAV");
    EXPECT_EQ(GetWindowLongPtr(d, GWLP_USERDATA), 1);
    EXPECT_EQ(GetProp(d, PROP_WAVE), nullptr);

    HeaderBlock h = header_of(d);
    EXPECT_EQ(std::memcmp(h.riffTag, "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(h.waveTag, "WAVEfmt ", 8), 0);
    EXPECT_EQ(std::memcmp(h.dataTag, "data", 4), 0);
    EXPECT_EQ(h.formatLength, 16u);
    EXPECT_EQ(h.formatCode, 1);
    EXPECT_EQ(h.samplesPerSec, 22050u);
    EXPECT_EQ(h.bytesPerSec, 22050u);
    EXPECT_EQ(h.bitsPerSample, 8);
    EXPECT_EQ(h.channels, 1);
    EXPECT_EQ(h.blockAlign, 1);
    EXPECT_EQ(h.dataSize, 0u);
    EXPECT_EQ(h.fileLength, 0u);

    EXPECT_EQ(position_of(d).zoom, 100u);
    InfoBlock info = info_of(d);
    EXPECT_STREQ(info.path, "Unnamed -3-.WAV");
    EXPECT_EQ(info.saved, 1u);
    EXPECT_EQ(info.working, 0u);
    EXPECT_EQ(info.sourceFormat, SOURCE_NEW);
    EXPECT_EQ(undo_of(d).kind, UNDO_NONE);
    FileInfoBlock fi = fileinfo_of(d);
    EXPECT_EQ(fi.listFlag, 1u);
    EXPECT_STREQ(fi.software, "Sonrel2003 for Windows");
    EXPECT_STREQ(fi.comment, "");
}

TEST(NewFile, TakesFormatAndZoomFromTheSettings) {
    RegWriteString("Sonrel\\NewFile\\Samples", "44100");
    RegWriteString("Sonrel\\NewFile\\BytesPerSec", "176400");
    RegWriteString("Sonrel\\NewFile\\Bit", "16");
    RegWriteString("Sonrel\\NewFile\\Channels", "2");
    RegWriteString("Sonrel\\NewFile\\BytesPerSample", "4");
    RegWriteString("Sonrel\\Settings\\StartUp\\Zoom", "500");
    Frame f;
    HWND d = NewFile(f.frame, f.client, 0);
    HeaderBlock h = header_of(d);
    EXPECT_EQ(h.samplesPerSec, 44100u);
    EXPECT_EQ(h.bytesPerSec, 176400u);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.blockAlign, 4);
    EXPECT_EQ(position_of(d).zoom, 500u);
    for (const char* key :
         {"Sonrel\\NewFile\\Samples", "Sonrel\\NewFile\\BytesPerSec", "Sonrel\\NewFile\\Bit",
          "Sonrel\\NewFile\\Channels", "Sonrel\\NewFile\\BytesPerSample"})
        RegWriteString(key, "");
    RegWriteString("Sonrel\\Settings\\StartUp\\Zoom", "100");
}

TEST(ReleaseDocumentBlocks, DetachesEveryBlockButLeavesTheScrollWindowProperty) {
    Frame f;
    HWND d = make_document(f, Format{}, pattern(100));
    SaveUndoInformation(d, 10, 20, UNDO_CHANGED, "Change Volume");
    ASSERT_NE(undo_copy_of(d), nullptr);
    HANDLE marker = reinterpret_cast<HANDLE>(f.frame);
    SetProp(d, PROP_SCROLLHWND, marker);
    ReleaseDocumentBlocks(d);
    for (const char* name :
         {PROP_HEADER, PROP_WAVE, PROP_POSITION, PROP_INFO, PROP_UNDO, PROP_FILEINFO})
        EXPECT_EQ(GetProp(d, name), nullptr) << name;
    EXPECT_EQ(GetProp(d, PROP_SCROLLHWND), marker);
    RemoveProp(d, PROP_SCROLLHWND);
    // A released document reads as empty, and releasing again is harmless.
    EXPECT_EQ(IsUndoPossible(d), 0);
    ReleaseDocumentBlocks(d);
}

}  // namespace
