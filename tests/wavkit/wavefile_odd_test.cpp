// Odd wave files built byte by byte: which ones are accepted, which are refused
// with which message, and what the accepted ones give.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::QuestionRecorder;

const Format kMono8{1, 11025, 8};
const Format kStereo16{2, 44100, 16};

// Opens the bytes; the messages shown (each checked to be a warning with an
// error icon over the frame) and the result.
struct Opened {
    BOOL result = 0;
    std::vector<std::string> messages;
};
Opened open_bytes(Frame& f, const Bytes& bytes) {
    QuestionRecorder rec;
    Opened o;
    std::string path = file_with(bytes);
    o.result = OpenWAV(f.frame, f.client, path.c_str());
    for (const auto& q : rec.asked) {
        EXPECT_EQ(q.caption, "Warning...");
        EXPECT_EQ(q.style & 0xF0u, static_cast<UINT>(MB_ICONHAND));
        EXPECT_EQ(q.owner, f.frame);
        o.messages.push_back(q.text);
    }
    return o;
}

void expect_refused(const Bytes& bytes, const std::string& message) {
    Frame f;
    Opened o = open_bytes(f, bytes);
    EXPECT_EQ(o.result, 0);
    ASSERT_EQ(o.messages.size(), 1u);
    EXPECT_EQ(o.messages[0], message);
    EXPECT_TRUE(f.documents().empty()) << "no document is made";
}

Bytes with_fmt(const Bytes& fmtBody, const Bytes& data) {
    Bytes inner;
    put_chunk(inner, "fmt ", fmtBody);
    put_chunk(inner, "data", data);
    return riff("WAVE", inner);
}

TEST(OpenOddFiles, AFileTooShortForAChunkHeaderGivesANewEmptyDocumentAndNoMessage) {
    Frame f;
    Opened o = open_bytes(f, Bytes{'R', 'I', 'F', 'F', 1, 0});
    EXPECT_EQ(o.result, 0);
    EXPECT_TRUE(o.messages.empty());
    ASSERT_EQ(f.documents().size(), 1u);
    char title[64] = {};
    GetWindowText(f.documents()[0], title, sizeof title);
    EXPECT_STREQ(title, "Unnamed -0-.WAV");
    EXPECT_EQ(header_of(f.documents()[0]).dataSize, 0u);
}

TEST(OpenOddFiles, RefusesFilesThatAreNotRiffWave) {
    expect_refused(riff("AVI ", Bytes(20, 0)), "File is not a wave file.");
    Bytes rifx = wav_file(kMono8, Bytes(10, 128));
    std::memcpy(rifx.data(), "RIFX", 4);
    expect_refused(rifx, "File is not a wave file.");
}

TEST(OpenOddFiles, RefusesAMissingFile) {
    Frame f;
    QuestionRecorder rec;
    EXPECT_EQ(OpenWAV(f.frame, f.client, "/nonexistent/folder/none.wav"), 0);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "File not found or something else.");
}

TEST(OpenOddFiles, RefusesAFormatChunkShorterThanSixteenBytesOrNone) {
    Bytes shortFmt = fmt_body(1, kMono8);
    shortFmt.resize(14);
    expect_refused(with_fmt(shortFmt, Bytes(4, 128)), "File is in wrong format.");
    Bytes noFmt;
    put_chunk(noFmt, "data", Bytes(4, 128));
    expect_refused(riff("WAVE", noFmt), "File is in wrong format.");
}

TEST(OpenOddFiles, RefusesWidthsOtherThanEightAndSixteenBits) {
    for (WORD bits : {24, 32, 4}) {
        Format fmt{2, 44100, bits};
        expect_refused(with_fmt(fmt_body(bits == 4 ? 0x11 : 1, fmt), Bytes(12, 0)),
                       "File is neither 8 nor 16 bit.");
    }
}

TEST(OpenOddFiles, RefusesAFormatChunkCutShortByTheFileEnd) {
    Bytes b = riff("WAVE", {});
    put_tag(b, "fmt ");
    put32(b, 16);
    b.insert(b.end(), 10, 1);
    b[4] = static_cast<unsigned char>(b.size() - 8);
    expect_refused(b, "File truncated.");
}

TEST(OpenOddFiles, RefusesDataBeforeTheFormatChunkOrNoDataAtAll) {
    Bytes before;
    put_chunk(before, "data", Bytes(8, 128));
    put_chunk(before, "fmt ", fmt_body(1, kMono8));
    expect_refused(riff("WAVE", before), "File bad. Data chunk not found.");
    Bytes none;
    put_chunk(none, "fmt ", fmt_body(1, kMono8));
    expect_refused(riff("WAVE", none), "File bad. Data chunk not found.");
}

TEST(OpenOddFiles, RefusesDataSizesWhoseFileLengthWouldOverflow) {
    Bytes inner;
    put_chunk(inner, "fmt ", fmt_body(1, kMono8));
    put_chunk(inner, "data", Bytes(16, 128), 0xFFFFFFF0);
    // The file really holds the bytes it claims (a sparse file of 4 GB).
    std::string path = file_with(riff("WAVE", inner));
    ASSERT_EQ(truncate(path.c_str(), 44 + 0xFFFFFFF0ll), 0);
    Frame f;
    QuestionRecorder rec;
    EXPECT_EQ(OpenWAV(f.frame, f.client, path.c_str()), 0);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "NOT ENOUGH MEMORY");
    EXPECT_TRUE(f.documents().empty());
}

TEST(OpenOddFiles, ReportsMissingMemoryForTheData) {
    PlatformSetAllocationLimit(4000);  // the data block cannot be had, the header can
    expect_refused(wav_file(kMono8, Bytes(5000, 128)), "NOT ENOUGH MEMORY");
    PlatformSetAllocationLimit(0);
    PlatformFailNextAllocations(1);
    expect_refused(wav_file(kMono8, Bytes(100, 128)), "NOT ENOUGH MEMORY");
    PlatformFailNextAllocations(0);
}

TEST(OpenOddFiles, AcceptsLongerFormatChunksAndSkipsTheirExtraBytes) {
    for (size_t extra : {2u, 24u}) {
        Frame f;
        const Bytes data = pattern(64, unsigned(extra));
        Opened o = open_bytes(f, with_fmt(fmt_body(1, kStereo16, extra), data));
        EXPECT_EQ(o.result, 1) << 16 + extra;
        EXPECT_TRUE(o.messages.empty());
        ASSERT_EQ(f.documents().size(), 1u);
        EXPECT_EQ(data_of(f.documents()[0]), data);
        EXPECT_EQ(header_of(f.documents()[0]).channels, 2);
    }
}

TEST(OpenOddFiles, TakesAnyFormatCodeOfEightOrSixteenBitsAsPcm) {
    Frame f;
    Opened o = open_bytes(f, with_fmt(fmt_body(2, kStereo16), pattern(32)));
    ASSERT_EQ(o.result, 1);
    HeaderBlock h = header_of(f.documents()[0]);
    EXPECT_EQ(h.formatCode, 1);
    EXPECT_EQ(h.bitsPerSample, 16);
}

TEST(OpenOddFiles, AnOddDataSizeIsFollowedByItsPadByte) {
    Bytes inner;
    put_chunk(inner, "fmt ", fmt_body(1, kMono8));
    put_chunk(inner, "data", Bytes{1, 2, 3});
    Bytes info;
    put_tag(info, "INFO");
    put_chunk(info, "INAM", Bytes{'t', 'u', 'n', 'e', 0});
    put_chunk(inner, "LIST", info);
    Frame f;
    Opened o = open_bytes(f, riff("WAVE", inner));
    ASSERT_EQ(o.result, 1);
    HWND d = f.documents()[0];
    EXPECT_EQ(data_of(d), (Bytes{1, 2, 3}));
    EXPECT_EQ(header_of(d).fileLength, 47u);
    EXPECT_STREQ(fileinfo_of(d).name, "tune");
}

// A cut file is accepted without a word (as the readers always did) but keeps
// only the bytes it has: nothing is allocated or made up for the rest of the
// claim, which can be gigabytes in a file of a few bytes.
TEST(OpenOddFiles, DataClaimingMoreThanTheFileHoldsIsHeldToTheBytesItHolds) {
    struct Case {
        Format fmt;
        size_t present;
        uint32_t claimed;
    };
    const Case cases[] = {
        {kMono8, 40, 1000},           {kStereo16, 40, 1000},
        {kMono8, 50, 0xE6000000u},  // a 94-byte file that claims 3.6 GB
        {kStereo16, 50, 0xFFFFFFF0u}, {kStereo16, 0, 64},
    };
    for (const Case& c : cases) {
        Bytes inner;
        put_chunk(inner, "fmt ", fmt_body(1, c.fmt));
        const Bytes present = pattern(c.present, 3);
        put_chunk(inner, "data", present, c.claimed);
        Frame f;
        Bytes file = riff("WAVE", inner);
        Opened o = open_bytes(f, file);
        ASSERT_EQ(o.result, 1) << c.claimed;
        EXPECT_TRUE(o.messages.empty());
        HWND d = f.documents()[0];
        EXPECT_EQ(header_of(d).dataSize, c.present) << c.claimed;
        EXPECT_EQ(header_of(d).fileLength, c.present + 44) << c.claimed;
        EXPECT_EQ(data_of(d), present);
        EXPECT_LE(GlobalSize(GetProp(d, PROP_WAVE)), file.size() + WAVE_SPARE_BYTES)
            << "no block for the claimed size";
    }
}

Bytes info_list(std::initializer_list<std::pair<const char*, std::string>> texts) {
    Bytes info;
    put_tag(info, "INFO");
    for (const auto& [id, text] : texts) put_chunk(info, id, Bytes(text.begin(), text.end()));
    Bytes list;
    put_chunk(list, "LIST", info);
    return list;
}

TEST(OpenOddFiles, ReadsTheInformationListOnlyWhenItFollowsTheData) {
    Bytes after;
    put_chunk(after, "fmt ", fmt_body(1, kMono8));
    put_chunk(after, "data", Bytes(10, 128));
    Bytes list = info_list({{"ICMT", "a comment"}, {"IART", "someone"}, {"IKEY", "k1"}});
    after.insert(after.end(), list.begin(), list.end());
    Frame f;
    ASSERT_EQ(open_bytes(f, riff("WAVE", after)).result, 1);
    FileInfoBlock fi = fileinfo_of(f.documents()[0]);
    EXPECT_EQ(fi.listFlag, 1u);
    EXPECT_STREQ(fi.comment, "a comment");
    EXPECT_STREQ(fi.artist, "someone");
    EXPECT_STREQ(fi.keywords, "k1") << "searches that found nothing do not hide later texts";
    EXPECT_STREQ(fi.copyright, "");

    Bytes before;
    put_chunk(before, "fmt ", fmt_body(1, kMono8));
    before.insert(before.end(), list.begin(), list.end());
    put_chunk(before, "data", Bytes(10, 128));
    Frame g;
    ASSERT_EQ(open_bytes(g, riff("WAVE", before)).result, 1);
    FileInfoBlock gi = fileinfo_of(g.documents()[0]);
    EXPECT_EQ(gi.listFlag, 0u);
    EXPECT_STREQ(gi.comment, "");
}

TEST(OpenOddFiles, SkipsTextsOf128BytesOrMoreAndTextsBeforeOnesReadEarlier) {
    Bytes inner;
    put_chunk(inner, "fmt ", fmt_body(1, kMono8));
    put_chunk(inner, "data", Bytes(4, 128));
    Bytes list = info_list({{"ISFT", "early software"},
                            {"ICMT", std::string(127, 'c')},
                            {"ICOP", std::string(128, 'x')},
                            {"INAM", "name"}});
    inner.insert(inner.end(), list.begin(), list.end());
    Frame f;
    ASSERT_EQ(open_bytes(f, riff("WAVE", inner)).result, 1);
    FileInfoBlock fi = fileinfo_of(f.documents()[0]);
    EXPECT_EQ(std::string(fi.comment), std::string(127, 'c'));
    EXPECT_STREQ(fi.copyright, "");
    EXPECT_STREQ(fi.name, "name");
    EXPECT_STREQ(fi.software, "") << "it stands before the comment, which was read first";
}

// ReloadWAV: the same acceptance rules, into an existing document.
struct ReloadTest : ::testing::Test {
    Frame f;
    HWND d = nullptr;
    Bytes original = pattern(50, 30);
    void SetUp() override {
        d = make_document(f, kMono8, original);
        set_mark(d, 5, 10);
    }
    std::vector<std::string> reload(const Bytes& bytes, BOOL expected) {
        QuestionRecorder rec;
        std::string path = file_with(bytes);
        EXPECT_EQ(ReloadWAV(f.frame, d, path.c_str()), expected);
        std::vector<std::string> out;
        for (const auto& q : rec.asked) out.push_back(q.text);
        return out;
    }
    void expect_unchanged() {
        EXPECT_EQ(data_of(d), original);
        EXPECT_EQ(header_of(d).bitsPerSample, 8);
        EXPECT_EQ(header_of(d).dataSize, 50u);
    }
};

TEST_F(ReloadTest, ReplacesFormatAndDataAndKeepsTheOtherBlocks) {
    SaveUndoInformation(d, 0, 4, UNDO_CHANGED, "Fade In");
    const Bytes data = pattern(400, 31);
    EXPECT_TRUE(reload(wav_file(kStereo16, data), 1).empty());
    HeaderBlock h = header_of(d);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.samplesPerSec, 44100u);
    EXPECT_EQ(h.dataSize, 400u);
    EXPECT_EQ(h.fileLength, 444u);
    EXPECT_EQ(data_of(d), data);
    EXPECT_EQ(position_of(d).markStart, 5u);
    EXPECT_EQ(position_of(d).markLength, 10u);
    EXPECT_STREQ(info_of(d).path, "/tmp/doc.wav");
    EXPECT_STREQ(UndoDescription(d), "Fade In");
}

TEST_F(ReloadTest, DataClaimingMoreThanTheFileHoldsIsHeldToTheBytesItHolds) {
    Bytes inner;
    put_chunk(inner, "fmt ", fmt_body(1, kStereo16));
    const Bytes present = pattern(48, 9);
    put_chunk(inner, "data", present, 0xE6000000u);
    EXPECT_TRUE(reload(riff("WAVE", inner), 1).empty());
    EXPECT_EQ(header_of(d).dataSize, 48u);
    EXPECT_EQ(data_of(d), present);
}

TEST_F(ReloadTest, RefusesWithTheMessagesOfTheOpenAndLeavesTheDocumentAsItWas) {
    EXPECT_EQ(reload(Bytes{'R', 'I'}, 0), std::vector<std::string>{"File too small."});
    expect_unchanged();
    EXPECT_EQ(reload(riff("WAVX", Bytes(8, 0)), 0),
              std::vector<std::string>{"File is not a wave file."});
    Bytes noData;
    put_chunk(noData, "fmt ", fmt_body(1, kStereo16));
    EXPECT_EQ(reload(riff("WAVE", noData), 0),
              std::vector<std::string>{"File bad. Data chunk not found."});
    EXPECT_EQ(reload(with_fmt(fmt_body(1, Format{1, 8000, 24}), Bytes(6, 0)), 0),
              std::vector<std::string>{"File is neither 8 nor 16 bit."});
    PlatformFailNextAllocations(1);
    EXPECT_EQ(reload(wav_file(kStereo16, pattern(100)), 0),
              std::vector<std::string>{"NOT ENOUGH MEMORY"});
    PlatformFailNextAllocations(0);
    expect_unchanged();
}

}  // namespace
