// Compression streams from coded sources: wave files that SoX encodes are
// decoded through the layer and compared with what SoX decodes from the same
// file, for every codec, channel count and target; the "fact" count, partial
// blocks, float scaling and clipping, and the records that are refused.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::acm_convert;
using testing_support::AcmResult;
using testing_support::pcm_format;
using testing_support::samples16;

// A wave file split into what a loader hands the layer.
struct Wave {
    Bytes format, data;
    DWORD fact = 0;
};

Wave read_wave(const std::string& path) {
    Wave w;
    Bytes file = testing_support::read_file(path), fact;
    EXPECT_TRUE(testing_support::riff_chunk(file, "fmt ", &w.format)) << path;
    EXPECT_TRUE(testing_support::riff_chunk(file, "data", &w.data)) << path;
    if (testing_support::riff_chunk(file, "fact", &fact) && fact.size() >= 4)
        w.fact = DWORD(fact[0] | fact[1] << 8 | fact[2] << 16 | DWORD(fact[3]) << 24);
    if (w.format.size() < sizeof(WAVEFORMATEX)) w.format.resize(sizeof(WAVEFORMATEX), 0);
    return w;
}

const WAVEFORMATEX& header_of(const Wave& w) {
    return *reinterpret_cast<const WAVEFORMATEX*>(w.format.data());
}

struct Codec {
    const char* name;
    const char* sox_encoding;  // SoX options that write it
    bool block;                // a block codec: the "fact" count cuts the last block
    int tolerance;             // largest difference from SoX's decoding, in 16-bit steps
    bool stereo;               // the codec holds two channels
};

const Codec kCodecs[] = {
    {"ImaAdpcm", "-e ima-adpcm -b 4", true, 0, true},
    {"MsAdpcm", "-e ms-adpcm -b 4", true, 0, true},
    {"Gsm610", "-e gsm-full-rate", true, 0, false},
    {"Alaw", "-e a-law", false, 0, true},
    {"Ulaw", "-e u-law", false, 0, true},
    {"Float32", "-e floating-point -b 32", false, 1, true},
    {"Float64", "-e floating-point -b 64", false, 1, true},
    {"Pcm24", "-e signed-integer -b 24", false, 0, true},  // SoX writes extensible records
    {"Pcm32", "-e signed-integer -b 32", false, 0, true},
};

struct CodedCase {
    Codec codec;
    int channels;
};

std::vector<CodedCase> coded_cases() {
    std::vector<CodedCase> out;
    for (const Codec& c : kCodecs) {
        out.push_back({c, 1});
        if (c.stereo) out.push_back({c, 2});
    }
    return out;
}

// The largest difference between two outputs of the same size, in their own steps.
int largest_difference(const Bytes& a, const Bytes& b, int bits) {
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size()) return INT32_MAX;
    int worst = 0;
    if (bits == 8) {
        for (size_t i = 0; i < a.size(); ++i)
            worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
        return worst;
    }
    std::vector<int> x = samples16(a), y = samples16(b);
    for (size_t i = 0; i < x.size(); ++i) worst = std::max(worst, std::abs(x[i] - y[i]));
    return worst;
}

class AcmCodedAgainstSox : public testing::TestWithParam<CodedCase> {
protected:
    // A 0.3 s sound (not a whole number of blocks) with a different tone per
    // channel, the coded file SoX makes of it, and SoX's 16-bit decoding.
    void SetUp() override {
        const CodedCase& p = GetParam();
        const std::string dir = testing_support::fresh_dir(std::string("coded-") + p.codec.name);
        const std::string src = dir + "/src.wav", coded = dir + "/coded.wav",
                          ref = dir + "/ref.wav";
        const std::string tones = p.channels == 2 ? "sine 440 sine 1230" : "sine 440";
        ASSERT_EQ(testing_support::run("sox -n -r 8000 -c " + std::to_string(p.channels) +
                                       " -b 16 " + src + " synth 0.3 " + tones + " vol 0.7"),
                  0);
        ASSERT_EQ(testing_support::run("sox " + src + " " + p.codec.sox_encoding + " " + coded), 0);
        ASSERT_EQ(testing_support::run("sox -D " + coded + " -e signed-integer -b 16 " + ref), 0);
        wave = read_wave(coded);
        Bytes ref_file = testing_support::read_file(ref), ref_data;
        ASSERT_TRUE(testing_support::riff_chunk(ref_file, "data", &ref_data));
        sox = samples16(ref_data);
        frames = p.codec.block ? wave.fact : DWORD(sox.size() / size_t(p.channels));
        ASSERT_EQ(frames, 2400u) << "the sound's own length";
    }
    Wave wave;
    std::vector<int> sox;  // interleaved
    DWORD frames = 0;
};

TEST_P(AcmCodedAgainstSox, SixteenBitOutputIsSoxsDecodingCutAtTheSoundsLength) {
    const CodedCase& p = GetParam();
    AcmResult r =
        acm_convert(wave.format.data(), pcm_format(16, p.channels, 8000), wave.data, wave.fact);
    ASSERT_EQ(r.open, MMSYSERR_NOERROR);
    ASSERT_EQ(r.convert, MMSYSERR_NOERROR);
    EXPECT_EQ(r.promised, frames * 2 * DWORD(p.channels));
    std::vector<int> got = samples16(r.out);
    ASSERT_EQ(got.size(), size_t(frames) * size_t(p.channels));
    ASSERT_LE(got.size(), sox.size());
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i) worst = std::max(worst, std::abs(got[i] - sox[i]));
    EXPECT_LE(worst, p.codec.tolerance);
    // Not silence: the tones came through at their height.
    int peak = 0;
    for (int v : got) peak = std::max(peak, std::abs(v));
    EXPECT_GT(peak, 15000);
}

TEST_P(AcmCodedAgainstSox, OtherTargetsMatchThePcmPathFromTheDecodedSound) {
    const CodedCase& p = GetParam();
    Bytes decoded;
    for (size_t i = 0; i < size_t(frames) * size_t(p.channels); ++i) {
        decoded.push_back(static_cast<unsigned char>(sox[i] & 0xFF));
        decoded.push_back(static_cast<unsigned char>((sox[i] >> 8) & 0xFF));
    }
    const WAVEFORMATEX pcm16 = pcm_format(16, p.channels, 8000);
    for (WAVEFORMATEX dst : {pcm_format(8, p.channels, 8000), pcm_format(16, 3 - p.channels, 8000),
                             pcm_format(8, 2, 11025), pcm_format(16, 1, 44100)}) {
        SCOPED_TRACE(testing::Message() << dst.wBitsPerSample << " bits, " << dst.nChannels
                                        << " channels, " << dst.nSamplesPerSec << " Hz");
        AcmResult coded = acm_convert(wave.format.data(), dst, wave.data, wave.fact);
        AcmResult plain = acm_convert(&pcm16, dst, decoded);
        ASSERT_EQ(coded.convert, MMSYSERR_NOERROR);
        ASSERT_EQ(plain.convert, MMSYSERR_NOERROR);
        EXPECT_EQ(coded.promised, plain.promised);
        if (p.codec.tolerance == 0) {
            EXPECT_EQ(coded.out, plain.out);
        } else {
            // One 16-bit step may move an 8-bit value by one, or a resampled value by a few.
            EXPECT_LE(largest_difference(coded.out, plain.out, dst.wBitsPerSample),
                      dst.wBitsPerSample == 8 ? 1 : 4);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, AcmCodedAgainstSox, testing::ValuesIn(coded_cases()),
                         [](const testing::TestParamInfo<CodedCase>& i) {
                             return std::string(i.param.codec.name) +
                                    (i.param.channels == 2 ? "Stereo" : "Mono");
                         });

// An IMA ADPCM file of 0.3 s at 8000 Hz: 5 blocks of 505 frames for 2400 frames.
class AcmCodedBlocks : public testing::Test {
protected:
    void SetUp() override {
        const std::string dir = testing_support::fresh_dir("coded-blocks");
        ASSERT_EQ(testing_support::run("sox -n -r 8000 -c 1 -e ima-adpcm -b 4 " + dir +
                                       "/ima.wav synth 0.3 sine 440"),
                  0);
        wave = read_wave(dir + "/ima.wav");
        ASSERT_EQ(header_of(wave).nBlockAlign, 256);
        ASSERT_EQ(wave.data.size(), 5u * 256);
        ASSERT_EQ(wave.fact, 2400u);
    }
    Wave wave;
};

TEST_F(AcmCodedBlocks, TheFactCountCutsThePaddingOfTheLastBlockOnly) {
    const WAVEFORMATEX dst = pcm_format(16, 1, 8000);
    EXPECT_EQ(acm_convert(wave.format.data(), dst, wave.data).promised, 2u * 5 * 505);
    EXPECT_EQ(acm_convert(wave.format.data(), dst, wave.data, 2400).promised, 2u * 2400);
    EXPECT_EQ(acm_convert(wave.format.data(), dst, wave.data, 1).promised, 2u);
    EXPECT_EQ(acm_convert(wave.format.data(), dst, wave.data, 999999).promised, 2u * 5 * 505)
        << "a count beyond the data changes nothing";

    // The cut output is the start of the uncut one.
    AcmResult all = acm_convert(wave.format.data(), dst, wave.data);
    AcmResult cut = acm_convert(wave.format.data(), dst, wave.data, 2400);
    ASSERT_EQ(cut.out.size(), 2u * 2400);
    EXPECT_TRUE(std::equal(cut.out.begin(), cut.out.end(), all.out.begin()));
    EXPECT_EQ(cut.src_used, 5u * 256);

    // A partial block after the last whole one is ignored; a short source counts whole blocks.
    Bytes longer = wave.data;
    longer.insert(longer.end(), 200, 0x77);
    EXPECT_EQ(acm_convert(wave.format.data(), dst, longer, 2400).out, cut.out);
    Bytes shorter(wave.data.begin(), wave.data.begin() + 3 * 256 - 1);
    AcmResult part = acm_convert(wave.format.data(), dst, shorter, 2400);
    ASSERT_EQ(part.out.size(), 2u * 2 * 505);
    EXPECT_TRUE(std::equal(part.out.begin(), part.out.end(), all.out.begin()));
    EXPECT_EQ(part.src_used, 2u * 256);
}

TEST_F(AcmCodedBlocks, DestinationSizesAreWholeBlocksWithinTheCount) {
    const WAVEFORMATEX dst = pcm_format(8, 2, 8000);
    HACMSTREAM s = nullptr;
    ASSERT_EQ(acmStreamOpen(&s, nullptr, &header_of(wave), &dst, nullptr, 0, 0, 0),
              MMSYSERR_NOERROR);
    ASSERT_EQ(PlatformAcmStreamSetSourceFrames(s, 2400), MMSYSERR_NOERROR);
    struct Want {
        DWORD output, input;
    };
    for (Want w : {Want{0, 0}, Want{1, 256}, Want{2 * 505, 256}, Want{2 * 505 + 1, 512},
                   Want{2 * 2400, 5 * 256}}) {
        DWORD input = 12345;
        EXPECT_EQ(acmStreamSize(s, w.output, &input, ACM_STREAMSIZEF_DESTINATION),
                  MMSYSERR_NOERROR);
        EXPECT_EQ(input, w.input) << w.output;
    }
    DWORD input = 0;
    EXPECT_EQ(acmStreamSize(s, 2 * 2401, &input, ACM_STREAMSIZEF_DESTINATION), ACMERR_NOTPOSSIBLE)
        << "no input gives more than the count";
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(PlatformAcmStreamSetSourceFrames(s, 2400), MMSYSERR_INVALHANDLE);
}

void put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A format record: the 18-byte head and the extra bytes.
Bytes record(WORD tag, int channels, int rate, int align, int bits, const Bytes& extra = {}) {
    Bytes b;
    put16(b, tag);
    put16(b, unsigned(channels));
    put32(b, uint32_t(rate));
    put32(b, uint32_t(rate * align));
    put16(b, unsigned(align));
    put16(b, unsigned(bits));
    put16(b, unsigned(extra.size()));
    b.insert(b.end(), extra.begin(), extra.end());
    return b;
}

Bytes words(std::initializer_list<unsigned> values) {
    Bytes b;
    for (unsigned v : values) put16(b, v);
    return b;
}

// IMA ADPCM is decoded by the layer's own decoder: blocks of random bytes
// (any first sample, any step index in the header, any codes) give exactly
// what libsndfile decodes from the same file.
TEST(AcmCodedValues, RandomImaBlocksDecodeAsLibsndfileDecodesThem) {
    std::mt19937 random(7);
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        const int align = 256 * channels, frames = (align - 4 * channels) * 2 / channels + 1;
        const Bytes fmt = record(0x11, channels, 8000, align, 4, words({unsigned(frames)}));
        Bytes data(size_t(align) * 9);
        for (auto& b : data) b = static_cast<unsigned char>(random());

        Bytes file;
        for (char c : std::string("RIFF")) file.push_back(static_cast<unsigned char>(c));
        put32(file, uint32_t(4 + 8 + fmt.size() + 8 + data.size()));
        for (char c : std::string("WAVEfmt ")) file.push_back(static_cast<unsigned char>(c));
        put32(file, uint32_t(fmt.size()));
        file.insert(file.end(), fmt.begin(), fmt.end());
        for (char c : std::string("data")) file.push_back(static_cast<unsigned char>(c));
        put32(file, uint32_t(data.size()));
        file.insert(file.end(), data.begin(), data.end());
        const std::string path = testing_support::fresh_dir("ima-random") + "/random.wav";
        testing_support::write_file(path, file);
        SF_INFO info{};
        SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
        std::vector<short> want(size_t(9 * frames * channels));
        ASSERT_EQ(sf_readf_short(f, want.data(), 9 * frames), 9 * frames);
        sf_close(f);

        AcmResult r = acm_convert(fmt.data(), pcm_format(16, channels, 8000), data);
        ASSERT_EQ(r.convert, MMSYSERR_NOERROR);
        const std::vector<int> got = samples16(r.out);
        ASSERT_EQ(got.size(), want.size());
        size_t differ = 0;
        for (size_t i = 0; i < got.size(); ++i) differ += got[i] != want[i];
        EXPECT_EQ(differ, 0u);
    }
}

TEST(AcmCodedValues, FloatIsScaledBy32768ClippedAndRounded) {
    const float in[] = {0.0f,
                        0.5f,
                        -0.5f,
                        1.0f,
                        -1.0f,
                        1.5f,
                        -3.0f,
                        1e30f,
                        0.75f / 32768,
                        -0.75f / 32768,
                        0.25f / 32768,
                        NAN,
                        32767.4f / 32768,
                        -32768.6f / 32768};
    const int want[] = {0,     16384, -16384, 32767, -32768, 32767, -32768,
                        32767, 1,     -1,     0,     0,      32767, -32768};
    Bytes data32, data64;
    for (float f : in) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        put32(data32, u);
        double d = f;
        uint64_t q;
        std::memcpy(&q, &d, 8);
        put32(data64, uint32_t(q));
        put32(data64, uint32_t(q >> 32));
    }
    for (int bits : {32, 64}) {
        SCOPED_TRACE(bits);
        Bytes fmt = record(3, 1, 22050, 99, bits);  // a wrong block align is not trusted
        AcmResult r =
            acm_convert(fmt.data(), pcm_format(16, 1, 22050), bits == 32 ? data32 : data64);
        ASSERT_EQ(r.convert, MMSYSERR_NOERROR);
        EXPECT_EQ(samples16(r.out), std::vector<int>(std::begin(want), std::end(want)));
    }
}

TEST(AcmCodedValues, WideIntegersRoundHalvesUpAndClip) {
    Bytes data24;
    for (uint32_t v : {0x000000u, 0x000080u, 0x00007Fu, 0xFFFF80u, 0xFFFF7Fu, 0x7FFFFFu, 0x7FFF7Fu,
                       0x800000u, 0x1234A0u}) {
        data24.push_back(static_cast<unsigned char>(v));
        data24.push_back(static_cast<unsigned char>(v >> 8));
        data24.push_back(static_cast<unsigned char>(v >> 16));
    }
    Bytes fmt = record(1, 1, 8000, 3, 24);
    AcmResult r = acm_convert(fmt.data(), pcm_format(16, 1, 8000), data24);
    ASSERT_EQ(r.convert, MMSYSERR_NOERROR);
    EXPECT_EQ(samples16(r.out), (std::vector<int>{0, 1, 0, 0, -1, 32767, 32767, -32768, 0x1235}));

    // Two channels of 32 bits to 8-bit mono: rounding to 16 bits, then the PCM rule.
    Bytes data32;
    for (uint32_t v : {0x40000000u, 0x40000000u, 0x80000000u, 0x7FFFFFFFu}) put32(data32, v);
    Bytes fmt32 = record(1, 2, 8000, 8, 32);
    AcmResult r8 = acm_convert(fmt32.data(), pcm_format(8, 1, 8000), data32);
    EXPECT_EQ(r8.out, (Bytes{0x80 + 0x40, 0x7F}));
}

TEST(AcmCodedRefusals, RecordsThatCouldMisleadTheDecoderAreNotPossible) {
    const Bytes guid_tail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                             0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    auto extensible = [&](uint32_t sub, int bits, int align) {
        Bytes extra = words({unsigned(bits), 4, 0});
        put32(extra, sub);
        extra.insert(extra.end(), guid_tail.begin(), guid_tail.end());
        return record(0xFFFE, 1, 8000, align, bits, extra);
    };
    struct Case {
        const char* what;
        Bytes format;
        bool possible;
    };
    const Case cases[] = {
        {"IMA ADPCM as written", record(0x11, 1, 8000, 256, 4, words({505})), true},
        {"IMA ADPCM stereo", record(0x11, 2, 8000, 512, 4, words({505})), true},
        {"IMA samples per block too few", record(0x11, 1, 8000, 256, 4, words({2})), false},
        {"IMA samples per block too many", record(0x11, 1, 8000, 256, 4, words({506})), false},
        {"IMA block not whole groups", record(0x11, 1, 8000, 258, 4, words({509})), false},
        {"IMA block of header only", record(0x11, 1, 8000, 4, 4, words({1})), false},
        {"IMA 3 bits", record(0x11, 1, 8000, 256, 3, words({505})), false},
        {"IMA without extra bytes", record(0x11, 1, 8000, 256, 4), false},
        {"IMA three channels", record(0x11, 3, 8000, 768, 4, words({505})), false},
        {"MS ADPCM as written", record(2, 1, 8000, 256, 4, words({500, 0})), true},
        {"MS ADPCM seven coefficients",
         record(2, 2, 8000, 512, 4, words({500, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14})),
         true},
        {"MS ADPCM coefficients cut", record(2, 1, 8000, 256, 4, words({500, 7, 1, 2})), false},
        {"MS ADPCM wrong samples per block", record(2, 1, 8000, 256, 4, words({498, 0})), false},
        {"MS ADPCM block too small", record(2, 1, 8000, 6, 4, words({0, 0})), false},
        {"GSM as written", record(0x31, 1, 8000, 65, 0, words({320})), true},
        {"GSM other block", record(0x31, 1, 8000, 64, 0, words({320})), false},
        {"GSM stereo", record(0x31, 2, 8000, 65, 0, words({320})), false},
        {"GSM other samples per block", record(0x31, 1, 8000, 65, 0, words({160})), false},
        {"A-law of 16 bits", record(6, 1, 8000, 2, 16), false},
        {"float of 16 bits", record(3, 1, 8000, 2, 16), false},
        {"PCM of 20 bits", record(1, 1, 8000, 3, 20), false},
        {"PCM of 24 bits, rate 0", record(1, 1, 0, 3, 24), false},
        {"u-law of three channels", record(7, 3, 8000, 3, 8), false},
        {"unknown tag", record(0x55, 1, 8000, 1, 0), false},
        {"extensible float", extensible(3, 32, 4), true},
        {"extensible 16-bit PCM", extensible(1, 16, 2), true},
        {"extensible unknown sub-format", extensible(0x11, 4, 256), false},
        {"extensible cut short", record(0xFFFE, 1, 8000, 2, 16, words({16, 4, 0, 1, 0})), false},
    };
    const WAVEFORMATEX dst = pcm_format(16, 1, 8000);
    for (const Case& c : cases) {
        Bytes f = c.format;
        f.resize(f.size() + 64, 0);  // room beyond the record: nothing may be read from it
        EXPECT_EQ(acmStreamOpen(nullptr, nullptr, reinterpret_cast<const WAVEFORMATEX*>(f.data()),
                                &dst, nullptr, 0, 0, ACM_STREAMOPENF_QUERY),
                  c.possible ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE)
            << c.what;
    }
    // Coded formats are sources only.
    const WAVEFORMATEX src = pcm_format(16, 1, 8000);
    for (const Bytes& target :
         {record(0x11, 1, 8000, 256, 4, words({505})), record(1, 1, 8000, 3, 24)}) {
        EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &src,
                                reinterpret_cast<const WAVEFORMATEX*>(target.data()), nullptr, 0, 0,
                                ACM_STREAMOPENF_QUERY),
                  ACMERR_NOTPOSSIBLE);
    }
}

}  // namespace
