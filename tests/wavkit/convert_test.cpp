// Format conversion of a document: the format chooser's choice or a given
// format becomes the document's format, the samples follow SoX's conversion
// of the same file, and the refusals leave the document as it was.
#include <gtest/gtest.h>
#include <platform/acm.h>
#include <platform/testing.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "import_fixture.h"

namespace {

using namespace importtest;
using wavtest::Bytes;
using wavtest::Format;

WAVEFORMATEX pcm(WORD bits, WORD channels, DWORD rate) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = WORD(bits / 8 * channels);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

// A sine of frames frames in the format, as sample bytes.
Bytes sine(const Format& fmt, size_t frames) {
    Bytes b;
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < fmt.channels; ++c) {
            double v = 0.6 * std::sin(2 * M_PI * (440.0 + 110 * c) * double(i) / fmt.rate);
            if (fmt.bits == 8) {
                b.push_back(static_cast<unsigned char>(std::lround(128 + 127 * v)));
            } else {
                int s = int(std::lround(32767 * v));
                b.push_back(static_cast<unsigned char>(s & 0xFF));
                b.push_back(static_cast<unsigned char>((s >> 8) & 0xFF));
            }
        }
    }
    return b;
}

struct Case {
    Format from, to;
};

class Conversions : public ::testing::TestWithParam<Case> {};

// Every pair of widths, channel counts and rates: the header takes the target
// format, and the length follows the rates (frames rounded to nearest).
TEST_P(Conversions, GiveTheTargetFormatAndLength) {
    const Case c = GetParam();
    const size_t frames = 3001;
    OpenFrame f;
    HWND doc = wavtest::make_document(f, c.from, sine(c.from, frames));
    f.active = doc;
    WAVEFORMATEX target = pcm(c.to.bits, c.to.channels, c.to.rate);
    ASSERT_EQ(ConvertFileParam(f.frame, &target), 1);
    HeaderBlock h = wavtest::header_of(doc);
    EXPECT_EQ(h.bitsPerSample, c.to.bits);
    EXPECT_EQ(h.channels, c.to.channels);
    EXPECT_EQ(h.samplesPerSec, c.to.rate);
    EXPECT_EQ(h.blockAlign, c.to.blockAlign());
    EXPECT_EQ(h.bytesPerSec, c.to.bytesPerSec());
    size_t outFrames = (frames * c.to.rate * 2 + c.from.rate) / (2 * c.from.rate);
    EXPECT_EQ(h.dataSize, outFrames * c.to.blockAlign());
    EXPECT_EQ(h.fileLength, h.dataSize + 44);
    EXPECT_EQ(wavtest::info_of(doc).saved, 0u);
    EXPECT_FALSE(IsUndoPossible(doc));
    // The sine's level survives every change (peak within 10 % of 0.6 of full scale).
    Bytes data = wavtest::data_of(doc);
    std::vector<int> v = c.to.bits == 8 ? u8(data) : s16(data);
    int peak = 0;
    for (int s : v) peak = std::max(peak, std::abs(c.to.bits == 8 ? (s - 128) * 256 : s));
    EXPECT_NEAR(peak, 0.6 * 32768, 0.1 * 0.6 * 32768);
}

std::vector<Case> all_pairs() {
    std::vector<Case> out;
    const Format formats[] = {{1, 8000, 8}, {2, 22050, 16}, {1, 44100, 16}, {2, 11025, 8}};
    for (const Format& a : formats)
        for (const Format& b : formats)
            if (a.rate != b.rate || a.bits != b.bits || a.channels != b.channels)
                out.push_back(Case{a, b});
    return out;
}

INSTANTIATE_TEST_SUITE_P(WidthsChannelsRates, Conversions, ::testing::ValuesIn(all_pairs()));

// 16-bit stereo 44100 Hz to 8-bit mono 22050 Hz and back, each step against
// SoX's conversion of the same file.
TEST(Convert, FollowsSoxDownAndBack) {
    std::string dir = testing_support::fresh_dir("convert");
    std::string src = dir + "/src.wav", down = dir + "/down.wav", up = dir + "/up.wav";
    must_run("sox -V1 -n -r 44100 -c 2 -b 16 " + shell_word(src) + " synth 0.5 sine 440 vol 0.5");
    must_run("sox -V1 -D " + shell_word(src) + " -r 22050 -c 1 -b 8 -e unsigned " +
             shell_word(down));
    must_run("sox -V1 -D " + shell_word(down) + " -r 44100 -c 2 -b 16 -e signed " + shell_word(up));

    OpenFrame f;
    Opened r = f.open(src);
    ASSERT_TRUE(r.alive);
    f.active = r.doc;
    WAVEFORMATEX small = pcm(8, 1, 22050), big = pcm(16, 2, 44100);
    ASSERT_EQ(ConvertFileParam(f.frame, &small), 1);
    std::vector<int> want = sox_samples(down), got;
    for (int v : u8(wavtest::data_of(r.doc))) got.push_back((v - 128) * 256);
    expect_same_signal(got, want, 1, 2 * 256);

    ASSERT_EQ(ConvertFileParam(f.frame, &big), 1);
    EXPECT_EQ(wavtest::header_of(r.doc).dataSize, 44100u * 4 / 2);
    expect_same_signal(s16(wavtest::data_of(r.doc)), sox_samples(up), 2, 3 * 256);
}

TEST(Convert, TheChoosersChoiceIsTakenAndCancelChangesNothing) {
    OpenFrame f;
    Format fmt{2, 22050, 16};
    Bytes data = sine(fmt, 2205);
    HWND doc = wavtest::make_document(f, fmt, data);
    f.active = doc;
    std::vector<std::string> titles;
    std::string pick;
    f.rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::string(q->kind) != "Dialog") return IDOK;
        titles.push_back(q->text);
        if (pick.empty()) return IDCANCEL;
        auto dlg = static_cast<HWND>(q->data);
        std::vector<std::string> items =
            testing_support::combo_items(dlg, PLATFORM_IDC_FORMATCHOOSE_LIST);
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i] == pick)
                SendDlgItemMessage(dlg, PLATFORM_IDC_FORMATCHOOSE_LIST, CB_SETCURSEL, i, 0);
        return IDOK;
    };
    EXPECT_EQ(ConvertFile(f.frame), 0);
    EXPECT_EQ(titles, std::vector<std::string>{"Format Selection for Converting"});
    EXPECT_EQ(wavtest::data_of(doc), data);
    EXPECT_EQ(wavtest::info_of(doc).saved, 1u);

    pick = "11025 Hz, 8 Bit, Mono";
    EXPECT_EQ(ConvertFile(f.frame), 1);
    HeaderBlock h = wavtest::header_of(doc);
    EXPECT_EQ(h.bitsPerSample, 8);
    EXPECT_EQ(h.channels, 1);
    EXPECT_EQ(h.samplesPerSec, 11025u);
    EXPECT_EQ(h.dataSize, 1103u);
    EXPECT_EQ(wavtest::info_of(doc).saved, 0u);
}

TEST(Convert, NoDataAsksNothingAndDoesNothing) {
    OpenFrame f;
    HWND doc = wavtest::make_document(f, Format{1, 8000, 8}, Bytes{});
    f.active = doc;
    WAVEFORMATEX target = pcm(16, 2, 44100);
    EXPECT_EQ(ConvertFile(f.frame), 0);
    EXPECT_EQ(ConvertFileParam(f.frame, &target), 0);
    EXPECT_TRUE(f.rec.asked.empty());
    EXPECT_EQ(wavtest::header_of(doc).bitsPerSample, 8);
    f.active = nullptr;
    EXPECT_EQ(ConvertFileParam(f.frame, &target), 0) << "no document at all";
}

TEST(Convert, AnImpossibleTargetIsReportedAndChangesNothing) {
    OpenFrame f;
    Format fmt{1, 8000, 8};
    Bytes data = sine(fmt, 800);
    HWND doc = wavtest::make_document(f, fmt, data);
    f.active = doc;
    WAVEFORMATEX target = pcm(24, 1, 8000);
    EXPECT_EQ(ConvertFileParam(f.frame, &target), 0);
    ASSERT_EQ(f.rec.asked.size(), 1u);
    EXPECT_EQ(f.rec.asked[0].text, "COULD NOT CONVERT");
    EXPECT_EQ(wavtest::data_of(doc), data);
    EXPECT_EQ(wavtest::header_of(doc).bitsPerSample, 8);
}

}  // namespace
