// NewFile: an empty document named after its number, every block as a new
// document has it, in the format of the NewFile settings, with its scroll bar
// disabled.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/messages.h>

#include <cstring>
#include <string>

#include "document_fixture.h"

namespace {

using namespace wavtest;

void write_new_file_settings(const char* rate, const char* bytesPerSec, const char* bits,
                             const char* channels, const char* align) {
    RegWriteString("Sonrel\\NewFile\\Samples", rate);
    RegWriteString("Sonrel\\NewFile\\BytesPerSec", bytesPerSec);
    RegWriteString("Sonrel\\NewFile\\Bit", bits);
    RegWriteString("Sonrel\\NewFile\\Channels", channels);
    RegWriteString("Sonrel\\NewFile\\BytesPerSample", align);
}

TEST(NewFileDocument, NumberThreeGivesEveryBlockOfAnEmptyDocumentAndADisabledScrollBar) {
    Frame f;
    HWND doc = NewFile(f.frame, f.client, 3);
    ASSERT_NE(doc, nullptr);
    char title[64];
    GetWindowText(doc, title, sizeof title);
    EXPECT_STREQ(title, "Unnamed -3-.WAV");
    EXPECT_EQ(GetWindowLongPtr(doc, GWLP_USERDATA), DOCUMENT_USERDATA);
    EXPECT_EQ(SendMessage(f.frame, UM_GETACTIVEDOC, 0, 0), LRESULT(doc)) << "the active document";

    HeaderBlock h = header_of(doc);
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
    EXPECT_EQ(h.fileLength, 0u) << "not 44: an empty new document has no file length";
    EXPECT_EQ(GetProp(doc, PROP_WAVE), nullptr);

    PositionBlock p = position_of(doc);
    EXPECT_EQ(p.markStart, 0u);
    EXPECT_EQ(p.markLength, 0u);
    EXPECT_EQ(p.viewStart, 0);
    EXPECT_EQ(p.viewEnd, 0);
    EXPECT_EQ(p.zoom, 100u);

    InfoBlock i = info_of(doc);
    EXPECT_STREQ(i.path, "Unnamed -3-.WAV");
    EXPECT_EQ(i.saved, 1u);
    EXPECT_EQ(i.working, 0u);
    EXPECT_EQ(i.sourceFormat, SOURCE_NEW);
    EXPECT_TRUE(IsFileSaved(doc));
    EXPECT_FALSE(IsFileWorking(doc));

    UndoBlock u = undo_of(doc);
    UndoBlock zero{};
    EXPECT_EQ(std::memcmp(&u, &zero, sizeof u), 0);

    FileInfoBlock fi = fileinfo_of(doc);
    EXPECT_EQ(fi.listFlag, 1u);
    EXPECT_STREQ(fi.software, "Sonrel2003 for Windows");
    for (const char* text :
         {fi.comment, fi.copyright, fi.subject, fi.name, fi.artist, fi.medium, fi.keywords})
        EXPECT_STREQ(text, "");

    EXPECT_TRUE(GetWindowLong(doc, GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(PlatformSimulateScroll(doc, SB_HORZ, SB_LINERIGHT, 0)) << "no arrow answers";
    EnableScrollBar(doc, SB_HORZ, ESB_ENABLE_BOTH);
    EXPECT_TRUE(PlatformSimulateScroll(doc, SB_HORZ, SB_LINERIGHT, 0)) << "the bar is there";
}

TEST(NewFileDocument, SettingsAreTakenAsGivenWithoutCheckingThemAgainstEachOther) {
    write_new_file_settings("8000", "12345", "8", "2", "7");
    HeaderBlock h{};
    {
        Frame f;
        HWND doc = NewFile(f.frame, f.client, 2);
        ASSERT_NE(doc, nullptr);
        h = header_of(doc);
    }
    write_new_file_settings("22050", "22050", "8", "1", "1");
    EXPECT_EQ(h.bytesPerSec, 12345u);
    EXPECT_EQ(h.blockAlign, 7);
    EXPECT_EQ(h.channels, 2);
}

}  // namespace
