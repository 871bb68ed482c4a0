// Real wave files made with sox open with the right header and data, and save
// back to files whose samples sox reads exactly as it read the originals.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::fresh_dir;
using testing_support::read_file;
using testing_support::run;

struct SoxCase {
    int rate, bits, channels, samples;
};

std::string encoding(int bits) {
    return bits == 8 ? "-e unsigned-integer -b 8" : "-e signed-integer -b 16 -L";
}

// A sox command's first output line.
std::string sox_output(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char line[256];
        if (fgets(line, sizeof line, p)) out = line;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

class SoxFiles : public ::testing::TestWithParam<SoxCase> {};

TEST_P(SoxFiles, OpenWithTheirFormatAndSamplesAndSaveBackToTheSameSamples) {
    const SoxCase c = GetParam();
    std::string dir = fresh_dir("sox");
    std::string src = dir + "/src.wav", raw = dir + "/src.raw";
    std::string synth = c.channels == 2
                            ? "synth " + std::to_string(c.samples) + "s sine 440 sine 660"
                            : "synth " + std::to_string(c.samples) + "s sine 440";
    const std::string rate = std::to_string(c.rate), channels = std::to_string(c.channels);
    // The rate and channels go on the null input too, so the length in samples is exact.
    ASSERT_EQ(run("sox -V1 -r " + rate + " -c " + channels + " -n -r " + rate + " " +
                  encoding(c.bits) + " -c " + channels + " '" + src + "' " + synth + " vol 0.8"),
              0);
    ASSERT_EQ(run("sox -V1 '" + src + "' -t raw " + encoding(c.bits) + " '" + raw + "'"), 0);
    const Bytes expected = read_file(raw);
    ASSERT_EQ(expected.size(), size_t(c.samples) * c.channels * c.bits / 8);

    Frame f;
    ASSERT_EQ(OpenWAV(f.frame, f.client, src.c_str()), 1);
    ASSERT_EQ(f.documents().size(), 1u);
    HWND d = f.documents()[0];
    HeaderBlock h = header_of(d);
    EXPECT_EQ(h.channels, c.channels);
    EXPECT_EQ(h.samplesPerSec, DWORD(c.rate));
    EXPECT_EQ(h.bitsPerSample, c.bits);
    EXPECT_EQ(h.blockAlign, c.channels * c.bits / 8);
    EXPECT_EQ(h.bytesPerSec, DWORD(c.rate * c.channels * c.bits / 8));
    EXPECT_EQ(h.dataSize, expected.size());
    EXPECT_EQ(h.fileLength, expected.size() + 44);
    EXPECT_EQ(data_of(d), expected);
    char title[300] = {};
    GetWindowText(d, title, sizeof title);
    EXPECT_EQ(std::string(title), src);
    EXPECT_STREQ(info_of(d).path, src.c_str());
    EXPECT_EQ(info_of(d).sourceFormat, SOURCE_PCM_WAVE);

    char path[INFO_PATH_CHARS] = {};
    std::snprintf(path, sizeof path, "%s/copy.wav", dir.c_str());
    ASSERT_EQ(SaveWAV(f.frame, path), 1);
    Format fmt{WORD(c.channels), DWORD(c.rate), WORD(c.bits)};
    EXPECT_EQ(read_file(path), wav_file(fmt, expected))
        << "the canonical layout, pad byte included";
    EXPECT_EQ(read_file(path), read_file(src)) << "sox writes these formats canonically too";
    std::string again = dir + "/copy.raw";
    ASSERT_EQ(
        run(std::string("sox -V1 '") + path + "' -t raw " + encoding(c.bits) + " '" + again + "'"),
        0);
    EXPECT_EQ(read_file(again), expected);
    EXPECT_EQ(sox_output(std::string("soxi -r '") + path + "'"), std::to_string(c.rate));
    EXPECT_EQ(sox_output(std::string("soxi -c '") + path + "'"), std::to_string(c.channels));
    EXPECT_EQ(sox_output(std::string("soxi -b '") + path + "'"), std::to_string(c.bits));
}

INSTANTIATE_TEST_SUITE_P(RatesWidthsAndChannels, SoxFiles,
                         ::testing::Values(SoxCase{8000, 8, 1, 2401}, SoxCase{11025, 8, 2, 3000},
                                           SoxCase{22050, 16, 1, 4410},
                                           SoxCase{44100, 16, 2, 44101}, SoxCase{48000, 8, 1, 4801},
                                           SoxCase{32000, 16, 2, 321}));

}  // namespace
