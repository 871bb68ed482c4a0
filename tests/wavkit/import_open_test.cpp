// The background open of real files made by SoX, ffmpeg and lame: each kind
// opens to the format and samples those tools decode from the same file; the
// failures show their message and leave no document.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <sonrel/ids.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "import_fixture.h"

namespace {

using namespace importtest;
using testing_support::fresh_dir;
using testing_support::read_file;

struct Bits {
    explicit Bits(const char* value) { RegWriteString("Sonrel\\Settings\\CompressBits", value); }
    ~Bits() { RegWriteString("Sonrel\\Settings\\CompressBits", "8"); }
};

enum class Maker { sox, ffmpeg };

struct Kind {
    const char* name;
    const char* file;     // the file's name in its fresh folder
    const char* command;  // makes the file: {out} is its quoted path
    Maker reference;      // which tool decodes it for the comparison
    WORD source;          // INFO source format code
    WORD channels;
    DWORD rate;
    size_t padding;  // samples a codec may add or drop at the end
    int tolerance;   // largest difference in 16-bit steps (ffmpeg's IMA decoder rounds its
                     // steps a little differently from the one of SoX and libsndfile)
};

std::string with_out(std::string command, const std::string& out) {
    command.replace(command.find("{out}"), 5, shell_word(out));
    return command;
}

class KindsOfFile : public ::testing::TestWithParam<Kind> {};

TEST_P(KindsOfFile, OpenToTheSamplesTheirToolsDecode) {
    const Kind k = GetParam();
    std::string path = fresh_dir(k.name) + "/" + k.file;
    must_run(with_out(k.command, path));
    std::vector<int> want = k.reference == Maker::sox ? sox_samples(path) : ffmpeg_samples(path);

    Bits sixteen("16");
    OpenFrame f;
    Opened r = f.open(path);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_TRUE(r.messages.empty()) << r.messages[0];
    ASSERT_TRUE(r.alive);
    HeaderBlock h = wavtest::header_of(r.doc);
    EXPECT_EQ(h.channels, k.channels);
    EXPECT_EQ(h.samplesPerSec, k.rate);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.blockAlign, 2 * k.channels);
    EXPECT_EQ(h.bytesPerSec, k.rate * 2 * k.channels);
    EXPECT_EQ(h.fileLength, h.dataSize + 44);
    EXPECT_EQ(wavtest::info_of(r.doc).sourceFormat, k.source);
    EXPECT_EQ(wavtest::info_of(r.doc).working, 0u);
    EXPECT_EQ(wavtest::info_of(r.doc).saved, 1u);
    EXPECT_STREQ(wavtest::info_of(r.doc).path, path.c_str());
    char title[300] = {};
    GetWindowText(r.doc, title, sizeof title);
    EXPECT_EQ(std::string(title), path);
    expect_same_signal(s16(wavtest::data_of(r.doc)), want, k.padding * k.channels, k.tolerance);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    RealFiles, KindsOfFile,
    ::testing::Values(
        Kind{"ima", "ima.wav", "sox -V1 -n -r 8000 -c 1 -e ima-adpcm {out} synth 0.7 sine 300 vol 0.7",
             Maker::sox, SOURCE_COMPRESSED, 1, 8000, 1017, 0},
        Kind{"msadpcm", "ms.wav", "sox -V1 -n -r 22050 -c 2 -e ms-adpcm {out} synth 0.5 sine 440 sine 660 vol 0.7",
             Maker::sox, SOURCE_COMPRESSED, 2, 22050, 1017, 0},
        Kind{"gsm", "gsm.wav", "sox -V1 -n -r 8000 -c 1 -e gsm-full-rate {out} synth 0.6 sine 500 vol 0.6",
             Maker::sox, SOURCE_COMPRESSED, 1, 8000, 320, 8},
        Kind{"ulaw", "ulaw.wav", "sox -V1 -n -r 11025 -c 1 -e u-law {out} synth 0.3 sine 700 vol 0.6",
             Maker::sox, SOURCE_COMPRESSED, 1, 11025, 0, 0},
        Kind{"avipcm", "pcm.avi",
             "ffmpeg -v error -y -f lavfi -i color=c=blue:s=32x24:r=10:d=1 -f lavfi -i "
             "sine=frequency=440:sample_rate=22050:duration=1 -c:v mjpeg -c:a pcm_s16le -ac 2 -shortest {out}",
             Maker::ffmpeg, SOURCE_AVI, 2, 22050, 0, 0},
        Kind{"aviadpcm", "adpcm.avi",
             "ffmpeg -v error -y -f lavfi -i color=c=red:s=32x24:r=10:d=1 -f lavfi -i "
             "sine=frequency=330:sample_rate=11025:duration=1 -c:v mjpeg -c:a adpcm_ima_wav -ac 1 -shortest {out}",
             Maker::ffmpeg, SOURCE_AVI, 1, 11025, 2041, 32}),
    [](const ::testing::TestParamInfo<Kind>& i) { return std::string(i.param.name); });
// clang-format on

TEST(CompressedWave, DecodesToEightBitsByDefault) {
    std::string path = fresh_dir("ima8") + "/ima.wav";
    must_run("sox -V1 -n -r 11025 -c 2 -e ima-adpcm " + shell_word(path) +
             " synth 0.3 sine 300 vol 0.5");
    std::vector<int> want = sox_samples(path);
    OpenFrame f;
    Opened r = f.open(path);
    ASSERT_TRUE(r.alive);
    HeaderBlock h = wavtest::header_of(r.doc);
    EXPECT_EQ(h.bitsPerSample, 8);
    EXPECT_EQ(h.blockAlign, 2);
    EXPECT_EQ(h.bytesPerSec, 22050u);
    std::vector<int> narrowed;
    for (int v : want) narrowed.push_back((v >> 8) + 128);
    expect_same_signal(u8(wavtest::data_of(r.doc)), narrowed, 2 * 1017, 1);
}

TEST(Mp3, IsDecodedBesideItselfWithPathsHoldingBlanksQuotesAndDollars) {
    std::string dir = fresh_dir("mp3") + "/my songs 'n \"stuff\" $HOME";
    must_run("mkdir -p " + shell_word(dir));
    std::string source = dir + "/src.wav", mp3 = dir + "/tune $1.mp3";
    must_run("sox -V1 -n -r 44100 -c 2 -b 16 " + shell_word(source) +
             " synth 0.5 sine 440 sine 550 vol 0.5");
    must_run("lame --quiet " + shell_word(source) + " " + shell_word(mp3));
    std::string expected = dir + "/expected.wav";
    must_run("lame --quiet --decode " + shell_word(mp3) + " " + shell_word(expected));

    Bits sixteen("16");
    OpenFrame f;
    Opened r = f.open(mp3);
    EXPECT_EQ(r.exitCode, 1u);
    ASSERT_TRUE(r.alive);
    std::string wav = dir + "/tune $1.wav";
    EXPECT_STREQ(wavtest::info_of(r.doc).path, wav.c_str());
    EXPECT_EQ(wavtest::info_of(r.doc).sourceFormat, SOURCE_PCM_WAVE) << "saving asks nothing";
    HeaderBlock h = wavtest::header_of(r.doc);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.samplesPerSec, 44100u);
    expect_same_signal(s16(wavtest::data_of(r.doc)), sox_samples(expected), 0, 0);
}

TEST(Mp3, AnExistingDecodedNameIsLeftAloneAndANewNameIsUsed) {
    std::string dir = fresh_dir("mp3name");
    std::string source = dir + "/src.wav", mp3 = dir + "/song.mp3";
    must_run("sox -V1 -n -r 22050 -c 1 -b 16 " + shell_word(source) + " synth 0.3 sine 440");
    must_run("lame --quiet " + shell_word(source) + " " + shell_word(mp3));
    const Bytes mine = {'m', 'i', 'n', 'e'};
    for (const char* name : {"/song.wav", "/song-1.wav"}) {
        FILE* out = std::fopen((dir + name).c_str(), "wb");
        ASSERT_TRUE(out);
        std::fwrite(mine.data(), 1, mine.size(), out);
        std::fclose(out);
    }
    OpenFrame f;
    Opened r = f.open(mp3);
    ASSERT_TRUE(r.alive);
    EXPECT_EQ(std::string(wavtest::info_of(r.doc).path), dir + "/song-2.wav");
    EXPECT_EQ(read_file(dir + "/song.wav"), mine);
    EXPECT_EQ(read_file(dir + "/song-1.wav"), mine);
    EXPECT_GT(wavtest::header_of(r.doc).dataSize, 10000u);
}

TEST(Mp3, WithoutTheDecoderOnThePathTheEmptyDocumentStays) {
    std::string dir = fresh_dir("nolame");
    std::string mp3 = dir + "/a.mp3";
    FILE* out = std::fopen(mp3.c_str(), "wb");
    ASSERT_TRUE(out);
    std::fputs("ID3", out);
    std::fclose(out);
    std::string path = std::getenv("PATH");
    setenv("PATH", dir.c_str(), 1);
    OpenFrame f;
    Opened r = f.open(mp3);
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.messages, std::vector<std::string>{"Could not decode MP3"});
    ASSERT_TRUE(r.alive);
    EXPECT_EQ(wavtest::header_of(r.doc).dataSize, 0u);
    char title[300] = {};
    GetWindowText(r.doc, title, sizeof title);
    EXPECT_EQ(std::string(title), "Unnamed -1-.WAV");
    EXPECT_TRUE(f.threadEnds.empty()) << "it never announced itself";
}

TEST(Raw, KeepsItsOwnHeaderBytesAsSamplesInTheGivenFormat) {
    Bytes bytes = {'H', 'D', 'R', '!', 0, 1, 2, 3};
    for (int i = 0; i < 1000; ++i) bytes.push_back(static_cast<unsigned char>(i * 7));
    // A path ending in upper-case "MP3" is not decoded: it is read by content.
    std::string path = wavtest::file_with(bytes, "sound.MP3");
    OpenFrame f;
    f.rec.on_ask = [](const PlatformQuestion* q) -> INT_PTR {
        if (std::string(q->kind) != "Dialog") return IDOK;
        auto dlg = static_cast<HWND>(q->data);
        SendDlgItemMessage(dlg, 101, CB_SETCURSEL, 1, 0);
        SendDlgItemMessage(dlg, 102, CB_SETCURSEL, 1, 0);
        SetDlgItemText(dlg, 103, "16000");
        return IDOK;
    };
    Opened r = f.open(path);
    EXPECT_EQ(r.exitCode, 1u);
    ASSERT_TRUE(r.alive);
    EXPECT_EQ(RegGetString("Sonrel\\RawFile\\FileLength", ""), std::to_string(bytes.size()));
    HeaderBlock h = wavtest::header_of(r.doc);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.samplesPerSec, 16000u);
    EXPECT_EQ(h.blockAlign, 4);
    EXPECT_EQ(h.bytesPerSec, 64000u);
    EXPECT_EQ(h.dataSize, bytes.size());
    EXPECT_EQ(wavtest::data_of(r.doc), bytes);
    EXPECT_EQ(wavtest::info_of(r.doc).sourceFormat, SOURCE_RAW);
}

TEST(Raw, CancelClosesTheDocumentWithoutAMessage) {
    std::string path = wavtest::file_with(Bytes(100, 7), "x.raw");
    OpenFrame f;
    f.rec.default_answer = IDCANCEL;
    Opened r = f.open(path);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_FALSE(r.alive);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(f.threadEnds.size(), 1u);
}

// A file that cannot be read as what it says it is.
struct Bad {
    const char* name;
    Bytes bytes;
    const char* message;
};

Bytes riff_of(const char* type, const Bytes& inner) {
    return wavtest::riff(type, inner);
}

Bytes coded_wave(WORD code) {
    Bytes inner;
    wavtest::put_chunk(inner, "fmt ", wavtest::fmt_body(code, wavtest::Format{1, 8000, 4}, 4));
    wavtest::put_chunk(inner, "data", Bytes(256, 0x55));
    return riff_of("WAVE", inner);
}

Bytes no_format() {
    Bytes inner;
    wavtest::put_chunk(inner, "data", Bytes(16, 1));
    return riff_of("WAVE", inner);
}

Bytes no_data() {
    Bytes inner;
    wavtest::put_chunk(inner, "fmt ", wavtest::fmt_body(1, wavtest::Format{}));
    return riff_of("WAVE", inner);
}

class BadFiles : public ::testing::TestWithParam<Bad> {};

TEST_P(BadFiles, ShowTheirMessageAndLeaveNoDocument) {
    const Bad b = GetParam();
    std::string path = wavtest::file_with(b.bytes, "bad.wav");
    OpenFrame f;
    Opened r = f.open(path);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_FALSE(r.alive);
    EXPECT_EQ(r.messages, std::vector<std::string>{b.message});
    EXPECT_EQ(f.threadEnds.size(), 1u) << "its end is announced once";
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BadFiles,
    ::testing::Values(
        Bad{"short", Bytes{'R', 'I', 'F', 'F', 1}, "File too small."},
        Bad{"nofmt", no_format(), "File is in wrong format."},
        Bad{"nodata", no_data(), "File bad. Data chunk not found."},
        Bad{"unknowncode", coded_wave(0x55), "Sorry. This file cannnot be decompressed."},
        Bad{"midi", riff_of("RMID", Bytes(12, 0)), "File is neither a wave file nor an AVI file."},
        Bad{"notriff", Bytes{'r', 'a', 'w', 'x', 'y', 'z', 1, 2, 3, 4, 5, 6, 7, 8},
            "File is neither a wave file nor an AVI file."},
        Bad{"avinosound", riff_of("AVI ", Bytes(12, 0)), "This AVI file holds no sound."}),
    [](const ::testing::TestParamInfo<Bad>& i) { return std::string(i.param.name); });

TEST(Open, AMissingFileIsReportedAndTheDocumentClosed) {
    OpenFrame f;
    Opened r = f.open(fresh_dir("missing") + "/none.wav");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_FALSE(r.alive);
    EXPECT_EQ(r.messages, std::vector<std::string>{"File not found. Please check the pathname."});
}

TEST(Open, NoPathDestroysTheEmptyDocument) {
    OpenFrame f;
    Opened r = f.open("FALSE");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_FALSE(r.alive);
    EXPECT_TRUE(r.messages.empty());
}

TEST(Open, ATruncatedCompressedFileOpensWhatItHolds) {
    std::string path = fresh_dir("cut") + "/ima.wav";
    must_run("sox -V1 -n -r 8000 -c 1 -e ima-adpcm " + shell_word(path) +
             " synth 1 sine 300 vol 0.5");
    Bytes whole = read_file(path);
    Bytes cut(whole.begin(), whole.begin() + long(whole.size() / 2));
    std::string cutPath = wavtest::file_with(cut, "cut.wav");
    Bits sixteen("16");
    OpenFrame f;
    Opened r = f.open(cutPath);
    EXPECT_EQ(r.exitCode, 1u);
    ASSERT_TRUE(r.alive);
    std::vector<int> got = s16(wavtest::data_of(r.doc)), want = sox_samples(path);
    EXPECT_GT(got.size(), want.size() / 3);
    EXPECT_LT(got.size(), want.size() * 2 / 3);
    want.resize(got.size());
    expect_same_signal(got, want, 0, 0);
}

TEST(Open, APcmWaveReplacesTheDocumentsFormerContent) {
    wavtest::Format fmt{2, 11025, 16};
    Bytes data = wavtest::pattern(4000, 3);
    std::string path = wavtest::file_with(wavtest::wav_file(fmt, data), "p.wav");
    OpenFrame f;
    HWND doc = wavtest::make_document(f, wavtest::Format{1, 8000, 8}, Bytes(50, 9));
    wavtest::set_mark(doc, 10, 20);
    SaveUndoInformation(doc, 0, 10, UNDO_CHANGED, "Change Volume");
    Opened r = f.reopen(doc, path);
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(wavtest::data_of(doc), data);
    EXPECT_EQ(wavtest::header_of(doc).channels, 2);
    EXPECT_EQ(wavtest::position_of(doc).markLength, 0u);
    EXPECT_FALSE(IsUndoPossible(doc));
    EXPECT_EQ(wavtest::info_of(doc).sourceFormat, SOURCE_PCM_WAVE);
}

}  // namespace
