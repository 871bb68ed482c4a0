// Compression streams, PCM to PCM: exact sample values for width and channel
// changes, the promised size filled exactly for every rate pair and length,
// resampling quality against an ideal sine and against SoX, short
// destinations, and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr unsigned char kCanary = 0xAB;
constexpr size_t kCanaryBytes = 16;

WAVEFORMATEX pcm(int bits, int channels, int rate) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = WORD(channels);
    f.nSamplesPerSec = DWORD(rate);
    f.nBlockAlign = WORD(bits / 8 * channels);
    f.nAvgBytesPerSec = DWORD(rate) * f.nBlockAlign;
    f.wBitsPerSample = WORD(bits);
    return f;
}

void put16(Bytes& b, int v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

Bytes s16(const std::vector<int>& values) {
    Bytes b;
    for (int v : values) put16(b, v);
    return b;
}

std::vector<int> samples16(const Bytes& b) {
    std::vector<int> v;
    for (size_t i = 0; i + 1 < b.size(); i += 2) v.push_back(int16_t(b[i] | (b[i + 1] << 8)));
    return v;
}

ACMSTREAMHEADER header(Bytes& in, Bytes& out, DWORD out_len) {
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof(h);
    h.pbSrc = in.data();
    h.cbSrcLength = DWORD(in.size());
    h.pbDst = out.data();
    h.cbDstLength = out_len;
    return h;
}

struct Result {
    DWORD promised = 0;
    DWORD src_used = 0;
    Bytes out;  // cbDstLengthUsed bytes
};

// The clipboard loader's sequence: open, size, prepare, convert, unprepare,
// close. The destination has a canary tail that must stay untouched.
Result convert(const WAVEFORMATEX& src, const WAVEFORMATEX& dst, Bytes in) {
    Result r;
    if (in.empty()) in.reserve(1);
    HACMSTREAM s = nullptr;
    EXPECT_EQ(acmStreamOpen(&s, nullptr, &src, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME),
              MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamSize(s, DWORD(in.size()), &r.promised, ACM_STREAMSIZEF_SOURCE),
              MMSYSERR_NOERROR);
    Bytes out(r.promised + kCanaryBytes, kCanary);
    ACMSTREAMHEADER h = header(in, out, r.promised);
    EXPECT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamConvert(s, &h, ACM_STREAMCONVERTF_START), MMSYSERR_NOERROR);
    EXPECT_TRUE(h.fdwStatus & ACMSTREAMHEADER_STATUSF_DONE);
    EXPECT_EQ(h.cbDstLengthUsed, r.promised);
    EXPECT_EQ(acmStreamUnprepareHeader(s, &h, 0), MMSYSERR_NOERROR);
    EXPECT_FALSE(h.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED);
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
    for (size_t i = r.promised; i < out.size(); ++i) EXPECT_EQ(out[i], kCanary) << "byte " << i;
    r.src_used = h.cbSrcLengthUsed;
    out.resize(h.cbDstLengthUsed);
    r.out = out;
    return r;
}

TEST(AcmStreamValues, SameFormatCopiesWholeFramesExactly) {
    Bytes in;
    for (int i = 0; i < 4 * 301 + 3; ++i) in.push_back(static_cast<unsigned char>(i * 37 + 11));
    Result r = convert(pcm(16, 2, 44100), pcm(16, 2, 44100), in);
    ASSERT_EQ(r.out.size(), 4u * 301);
    EXPECT_TRUE(std::equal(r.out.begin(), r.out.end(), in.begin()));
    EXPECT_EQ(r.src_used, 4u * 301);
}

TEST(AcmStreamValues, WidthChangesMapZeroAndExtremesExactly) {
    Bytes in8 = {0x80, 0xFF, 0x00, 0x01, 0x7F, 0x81};
    Result up = convert(pcm(8, 1, 22050), pcm(16, 1, 22050), in8);
    EXPECT_EQ(samples16(up.out), (std::vector<int>{0, 0x7F00, -32768, -32512, -256, 256}));

    // 16 to 8 keeps the high byte: v >> 8 rounds toward minus infinity.
    Bytes in16 = s16({0, 0x7F00, -32768, 32767, -1, 255, 256, -256, -257});
    Result down = convert(pcm(16, 1, 22050), pcm(8, 1, 22050), in16);
    EXPECT_EQ(down.out, (Bytes{0x80, 0xFF, 0x00, 0xFF, 0x7F, 0x80, 0x81, 0x7F, 0x7E}));

    // Every byte survives the way up and back.
    Bytes all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<unsigned char>(b));
    Result there = convert(pcm(8, 2, 8000), pcm(16, 2, 8000), all);
    Result back = convert(pcm(16, 2, 8000), pcm(8, 2, 8000), there.out);
    EXPECT_EQ(back.out, all);
}

TEST(AcmStreamValues, MonoToStereoRepeatsAndStereoToMonoAverages) {
    Result dup = convert(pcm(16, 1, 11025), pcm(16, 2, 11025), s16({5, -7, 32767, -32768}));
    EXPECT_EQ(samples16(dup.out), (std::vector<int>{5, 5, -7, -7, 32767, 32767, -32768, -32768}));

    Result dup8 = convert(pcm(8, 1, 11025), pcm(16, 2, 11025), Bytes{0x00, 0xC0});
    EXPECT_EQ(samples16(dup8.out), (std::vector<int>{-32768, -32768, 0x4000, 0x4000}));

    // The average is the floor of (l + r) / 2.
    Result avg = convert(pcm(16, 2, 11025), pcm(16, 1, 11025),
                         s16({100, 300, -3, 0, 32767, 32767, -32768, 32767, 7, -8}));
    EXPECT_EQ(samples16(avg.out), (std::vector<int>{200, -2, 32767, -1, -1}));

    Result avg8 =
        convert(pcm(8, 2, 11025), pcm(8, 1, 11025), Bytes{0x00, 0xFF, 0x90, 0x70, 0xFF, 0xFF});
    EXPECT_EQ(avg8.out, (Bytes{0x7F, 0x80, 0xFF}));
}

TEST(AcmStreamValues, FormatBlockAlignAndByteRateAreNotTrusted) {
    WAVEFORMATEX src = pcm(16, 2, 22050), dst = pcm(8, 1, 22050);
    src.nBlockAlign = 1;
    src.nAvgBytesPerSec = 0;
    dst.nBlockAlign = 7;
    Result r = convert(src, dst, s16({256, 768, -512, -1024}));
    EXPECT_EQ(r.out, (Bytes{0x82, 0x7D}));
}

struct RatePair {
    int src_rate, dst_rate;
};

class AcmStreamSizes : public testing::TestWithParam<RatePair> {};

// Rounds frames * dst / src to nearest, halves up.
uint64_t expected_frames(uint64_t frames, const RatePair& p) {
    return (2 * frames * uint64_t(p.dst_rate) + uint64_t(p.src_rate)) / (2 * uint64_t(p.src_rate));
}

TEST_P(AcmStreamSizes, ConvertFillsExactlyThePromisedSize) {
    const RatePair p = GetParam();
    struct Shape {
        int src_bits, src_ch, dst_bits, dst_ch;
    };
    for (Shape sh :
         {Shape{16, 1, 16, 1}, Shape{8, 2, 16, 1}, Shape{16, 2, 8, 2}, Shape{8, 1, 8, 2}}) {
        const int sb = sh.src_bits / 8 * sh.src_ch, db = sh.dst_bits / 8 * sh.dst_ch;
        for (int frames : {0, 1, 2, 3, 7, 1001, 20011}) {
            SCOPED_TRACE(testing::Message()
                         << "frames " << frames << " shape " << sh.src_bits << "/" << sh.src_ch
                         << " -> " << sh.dst_bits << "/" << sh.dst_ch);
            Bytes in(size_t(frames * sb + sb - 1));
            for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<unsigned char>(i * 13);
            Result r = convert(pcm(sh.src_bits, sh.src_ch, p.src_rate),
                               pcm(sh.dst_bits, sh.dst_ch, p.dst_rate), in);
            EXPECT_EQ(r.promised, expected_frames(uint64_t(frames), p) * uint64_t(db));
            EXPECT_EQ(r.out.size(), r.promised);
            EXPECT_EQ(r.src_used, DWORD(frames * sb));
        }
    }
}

TEST_P(AcmStreamSizes, SilenceStaysSilenceThroughThePadding) {
    const RatePair p = GetParam();
    for (int frames : {1, 2, 5, 300}) {
        Result r8 = convert(pcm(8, 1, p.src_rate), pcm(8, 2, p.dst_rate), Bytes(frames, 0x80));
        ASSERT_EQ(r8.out.size(), 2 * expected_frames(uint64_t(frames), p));
        for (unsigned char b : r8.out) ASSERT_EQ(b, 0x80) << frames << " frames";
        Result r16 = convert(pcm(8, 1, p.src_rate), pcm(16, 1, p.dst_rate), Bytes(frames, 0x80));
        for (unsigned char b : r16.out) ASSERT_EQ(b, 0) << frames << " frames";
    }
}

TEST_P(AcmStreamSizes, DestinationSizeIsTheFewestInputBytesForThatOutput) {
    const RatePair p = GetParam();
    WAVEFORMATEX src = pcm(16, 2, p.src_rate), dst = pcm(8, 1, p.dst_rate);
    HACMSTREAM s = nullptr;
    ASSERT_EQ(acmStreamOpen(&s, nullptr, &src, &dst, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    for (DWORD want : {0u, 1u, 2u, 3u, 100u, 4097u, 1000000u}) {
        DWORD need = 0, got = 0, less = 0;
        ASSERT_EQ(acmStreamSize(s, want, &need, ACM_STREAMSIZEF_DESTINATION), MMSYSERR_NOERROR);
        EXPECT_EQ(need % 4, 0u);
        ASSERT_EQ(acmStreamSize(s, need, &got, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
        EXPECT_GE(got, want) << want;
        if (need >= 4) {
            ASSERT_EQ(acmStreamSize(s, need - 4, &less, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
            EXPECT_LT(less, want) << want;
        }
    }
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
}

INSTANTIATE_TEST_SUITE_P(Rates, AcmStreamSizes,
                         testing::Values(RatePair{44100, 22050}, RatePair{22050, 44100},
                                         RatePair{8000, 44100}, RatePair{11025, 48000},
                                         RatePair{48000, 8000}, RatePair{44100, 44100}),
                         [](const testing::TestParamInfo<RatePair>& i) {
                             return std::to_string(i.param.src_rate) + "to" +
                                    std::to_string(i.param.dst_rate);
                         });

TEST(AcmStreamExtremeRates, FillThePromisedSizeOrRefuseSizesPastFourGigabytes) {
    Bytes ramp = s16({-20000, 0, 20000});
    Result up = convert(pcm(16, 1, 1), pcm(16, 1, 384000), ramp);
    EXPECT_EQ(up.out.size(), 2u * 3 * 384000);
    Bytes dc(2 * 48000 * 3, 0);
    Result down = convert(pcm(16, 1, 48000), pcm(8, 1, 10), dc);
    EXPECT_EQ(down.out, Bytes(30, 0x80));

    WAVEFORMATEX src = pcm(8, 1, 1), dst = pcm(16, 2, 384000);
    HACMSTREAM s = nullptr;
    ASSERT_EQ(acmStreamOpen(&s, nullptr, &src, &dst, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    DWORD size = 7;
    EXPECT_EQ(acmStreamSize(s, 2796, &size, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
    EXPECT_EQ(size, 2796u * 384000 * 4);
    EXPECT_EQ(acmStreamSize(s, 2797, &size, ACM_STREAMSIZEF_SOURCE), ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
}

TEST(AcmStreamShortDestination, FillsWhatFitsAndReportsTheInputItNeeds) {
    WAVEFORMATEX src = pcm(16, 1, 44100), dst = pcm(16, 1, 22050);
    Bytes in(2 * 1000);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<unsigned char>(i * 5);
    HACMSTREAM s = nullptr;
    ASSERT_EQ(acmStreamOpen(&s, nullptr, &src, &dst, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    Bytes full(1000, 0);
    ACMSTREAMHEADER hf = header(in, full, 1000);
    ASSERT_EQ(acmStreamPrepareHeader(s, &hf, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(acmStreamConvert(s, &hf, 0), MMSYSERR_NOERROR);

    Bytes part(301 + kCanaryBytes, kCanary);
    ACMSTREAMHEADER h = header(in, part, 301);
    ASSERT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(acmStreamConvert(s, &h, ACM_STREAMCONVERTF_START), MMSYSERR_NOERROR);
    EXPECT_EQ(h.cbDstLengthUsed, 300u);
    EXPECT_EQ(h.cbSrcLengthUsed, 2u * 299);  // 299 frames round to 150
    EXPECT_TRUE(std::equal(part.begin(), part.begin() + 300, full.begin()));
    for (size_t i = 300; i < part.size(); ++i) EXPECT_EQ(part[i], kCanary);

    // The lengths may shrink after preparing but not grow.
    h.cbDstLength = 302;
    EXPECT_EQ(acmStreamConvert(s, &h, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamUnprepareHeader(s, &h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamUnprepareHeader(s, &hf, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
}

// Reads the samples of a 16-bit wave file's "data" chunk.
std::vector<int> wave_samples(const std::string& path) {
    Bytes f = testing_support::read_file(path);
    for (size_t pos = 12; pos + 8 <= f.size();) {
        uint32_t size =
            f[pos + 4] | f[pos + 5] << 8 | f[pos + 6] << 16 | uint32_t(f[pos + 7]) << 24;
        if (std::memcmp(&f[pos], "data", 4) == 0) {
            size_t end = std::min(f.size(), pos + 8 + size);
            return samples16(Bytes(f.begin() + long(pos) + 8, f.begin() + long(end)));
        }
        pos += 8 + size + (size & 1);
    }
    return {};
}

struct SineFit {
    double amplitude, phase, residual_rms;
};

// Least-squares fit of a sin + b cos + c at `freq` over [from, to).
SineFit fit_sine(const std::vector<double>& x, double freq, double rate, size_t from, size_t to) {
    double ss = 0, cc = 0, sc = 0, sx = 0, cx = 0, mean = 0;
    for (size_t n = from; n < to; ++n) mean += x[n];
    mean /= double(to - from);
    for (size_t n = from; n < to; ++n) {
        double w = 2 * M_PI * freq * double(n) / rate, s = std::sin(w), c = std::cos(w);
        ss += s * s, cc += c * c, sc += s * c, sx += s * (x[n] - mean), cx += c * (x[n] - mean);
    }
    double det = ss * cc - sc * sc, a = (sx * cc - cx * sc) / det, b = (cx * ss - sx * sc) / det;
    double err = 0;
    for (size_t n = from; n < to; ++n) {
        double w = 2 * M_PI * freq * double(n) / rate;
        double e = x[n] - mean - a * std::sin(w) - b * std::cos(w);
        err += e * e;
    }
    return {std::hypot(a, b), std::atan2(b, a), std::sqrt(err / double(to - from))};
}

struct Quality {
    int src_rate, dst_rate, dst_bits, dst_channels;
};

class AcmStreamQuality : public testing::TestWithParam<Quality> {};

TEST_P(AcmStreamQuality, ResampledSineMatchesTheIdealAndSox) {
    const Quality q = GetParam();
    const std::string dir = testing_support::fresh_dir("acm-sine");
    const std::string in = dir + "/in.wav", ref = dir + "/ref.wav";
    ASSERT_EQ(testing_support::run("sox -n -r " + std::to_string(q.src_rate) + " -c 1 -b 16 " + in +
                                   " synth 0.5 sine 1000 vol 0.5"),
              0);
    ASSERT_EQ(testing_support::run("sox -D " + in + " -r " + std::to_string(q.dst_rate) + " " +
                                   ref + " rate -h"),
              0);
    Bytes data;
    for (int v : wave_samples(in)) put16(data, v);
    ASSERT_EQ(data.size() / 2, size_t(q.src_rate / 2));
    Result r = convert(pcm(16, 1, q.src_rate), pcm(q.dst_bits, q.dst_channels, q.dst_rate), data);
    const size_t frames = r.out.size() / size_t(q.dst_bits / 8 * q.dst_channels);
    ASSERT_EQ(frames, expected_frames(data.size() / 2, {q.src_rate, q.dst_rate}));

    std::vector<double> left, right;
    for (size_t n = 0; n < frames; ++n) {
        for (int c = 0; c < q.dst_channels; ++c) {
            size_t i = n * size_t(q.dst_channels) + size_t(c);
            double v = q.dst_bits == 8 ? (int(r.out[i]) - 128) * 256.0
                                       : double(int16_t(r.out[2 * i] | r.out[2 * i + 1] << 8));
            (c == 0 ? left : right).push_back(v);
        }
    }
    if (q.dst_channels == 2) {
        EXPECT_EQ(left, right);
    }

    // Away from the edges the output is the same sine, in phase, at full height.
    const size_t from = frames / 10, to = frames - frames / 10;
    SineFit fit = fit_sine(left, 1000, q.dst_rate, from, to);
    EXPECT_NEAR(fit.amplitude, 16384, 164);
    EXPECT_NEAR(fit.phase, 0, 0.02);
    // 16-bit output keeps the error near one step; 8-bit output within 1% of full scale.
    const double tolerance = q.dst_bits == 8 ? 0.01 * 32768 : 0.001 * 32768;
    EXPECT_LT(fit.residual_rms, tolerance);

    std::vector<int> sox = wave_samples(ref);
    ASSERT_GE(sox.size(), to);
    double diff = 0;
    for (size_t n = from; n < to; ++n) diff += (left[n] - sox[n]) * (left[n] - sox[n]);
    EXPECT_LT(std::sqrt(diff / double(to - from)), tolerance);
}

INSTANTIATE_TEST_SUITE_P(Rates, AcmStreamQuality,
                         testing::Values(Quality{44100, 22050, 16, 1}, Quality{22050, 44100, 16, 1},
                                         Quality{8000, 44100, 16, 2}, Quality{11025, 48000, 8, 1}),
                         [](const testing::TestParamInfo<Quality>& i) {
                             return std::to_string(i.param.src_rate) + "to" +
                                    std::to_string(i.param.dst_rate) + "_" +
                                    std::to_string(i.param.dst_bits) + "bit" +
                                    std::to_string(i.param.dst_channels);
                         });

TEST(AcmStreamErrors, UnsupportedFormatsAreNotPossible) {
    HACMSTREAM s = nullptr;
    WAVEFORMATEX good = pcm(16, 2, 44100);
    WAVEFORMATEX adpcm = pcm(16, 2, 44100);
    adpcm.wFormatTag = 2;
    // 24- and 32-bit PCM are coded sources now; widths no decoder knows stay refused.
    WAVEFORMATEX bad[] = {adpcm,         pcm(20, 2, 44100),  pcm(16, 3, 44100), pcm(16, 0, 44100),
                          pcm(16, 1, 0), pcm(16, 1, 384001), pcm(12, 1, 44100)};
    for (const WAVEFORMATEX& f : bad) {
        EXPECT_EQ(acmStreamOpen(&s, nullptr, &f, &good, nullptr, 0, 0, 0), ACMERR_NOTPOSSIBLE);
        EXPECT_EQ(acmStreamOpen(&s, nullptr, &good, &f, nullptr, 0, 0, 0), ACMERR_NOTPOSSIBLE);
        EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &f, &good, nullptr, 0, 0, ACM_STREAMOPENF_QUERY),
                  ACMERR_NOTPOSSIBLE);
    }
    EXPECT_EQ(s, nullptr);
    WAVEFORMATEX edge = pcm(8, 1, 1), top = pcm(16, 2, 384000);
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &edge, &top, nullptr, 0, 0, ACM_STREAMOPENF_QUERY),
              MMSYSERR_NOERROR);
}

TEST(AcmStreamErrors, BadArgumentsAndQueryOpenNothing) {
    WAVEFORMATEX f = pcm(16, 1, 22050);
    HACMSTREAM s = nullptr;
    int dummy = 0;
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, &f, &f, nullptr, 0, 0, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamOpen(&s, nullptr, nullptr, &f, nullptr, 0, 0, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamOpen(&s, nullptr, &f, nullptr, nullptr, 0, 0, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamOpen(&s, reinterpret_cast<HACMDRIVER>(&dummy), &f, &f, nullptr, 0, 0, 0),
              MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamOpen(&s, nullptr, &f, &f, &dummy, 0, 0, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamOpen(&s, nullptr, &f, &f, nullptr, 0, 0, 0x80), MMSYSERR_INVALFLAG);
    EXPECT_EQ(s, nullptr);

    HACMSTREAM sentinel = reinterpret_cast<HACMSTREAM>(uintptr_t(0x5EED));
    s = sentinel;
    EXPECT_EQ(acmStreamOpen(&s, nullptr, &f, &f, nullptr, 0, 0, ACM_STREAMOPENF_QUERY),
              MMSYSERR_NOERROR);
    EXPECT_EQ(s, sentinel);
    DWORD size = 0;
    EXPECT_EQ(acmStreamSize(s, 100, &size, 0), MMSYSERR_INVALHANDLE);

    ASSERT_EQ(acmStreamOpen(&s, nullptr, &f, &f, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamSize(s, 100, nullptr, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamSize(s, 100, &size, 2), MMSYSERR_INVALFLAG);
    Bytes in(8), out(8);
    ACMSTREAMHEADER h = header(in, out, 8);
    h.cbStruct = sizeof(h) - 1;
    EXPECT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_INVALPARAM);
    h = header(in, out, 8);
    h.pbDst = nullptr;
    EXPECT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamPrepareHeader(s, nullptr, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
}

TEST(AcmStreamErrors, HeadersMustBePreparedOnTheirStream) {
    WAVEFORMATEX f = pcm(16, 1, 22050);
    HACMSTREAM a = nullptr, b = nullptr;
    ASSERT_EQ(acmStreamOpen(&a, nullptr, &f, &f, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(acmStreamOpen(&b, nullptr, &f, &f, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    Bytes in(8, 1), out(8, 0);
    ACMSTREAMHEADER h = header(in, out, 8);
    EXPECT_EQ(acmStreamConvert(a, &h, 0), ACMERR_UNPREPARED);
    EXPECT_EQ(acmStreamUnprepareHeader(a, &h, 0), ACMERR_UNPREPARED);
    EXPECT_EQ(out, Bytes(8, 0));
    ASSERT_EQ(acmStreamPrepareHeader(a, &h, 0), MMSYSERR_NOERROR);
    EXPECT_TRUE(h.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED);
    EXPECT_EQ(acmStreamConvert(b, &h, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamConvert(a, &h, 0x40000000), MMSYSERR_INVALFLAG);
    EXPECT_EQ(acmStreamConvert(a, &h, ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END),
              MMSYSERR_NOERROR);
    EXPECT_EQ(out, in);
    EXPECT_EQ(acmStreamUnprepareHeader(b, &h, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmStreamUnprepareHeader(a, &h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamConvert(a, &h, 0), ACMERR_UNPREPARED);
    EXPECT_EQ(acmStreamClose(a, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamClose(b, 0), MMSYSERR_NOERROR);
}

TEST(AcmStreamErrors, ClosedHandlesAreDeadAndNeverReused) {
    WAVEFORMATEX f = pcm(8, 1, 8000);
    HACMSTREAM s = nullptr;
    ASSERT_EQ(acmStreamOpen(&s, nullptr, &f, &f, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    Bytes in(4), out(4);
    ACMSTREAMHEADER h = header(in, out, 4);
    ASSERT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamClose(s, 1), MMSYSERR_INVALFLAG);
    ASSERT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
    DWORD size = 0;
    EXPECT_EQ(acmStreamSize(s, 4, &size, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamConvert(s, &h, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamUnprepareHeader(s, &h, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamClose(nullptr, 0), MMSYSERR_INVALHANDLE);
    HACMSTREAM again = nullptr;
    ASSERT_EQ(acmStreamOpen(&again, nullptr, &f, &f, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
    EXPECT_NE(again, s);
    EXPECT_EQ(acmStreamClose(again, 0), MMSYSERR_NOERROR);
}

}  // namespace
