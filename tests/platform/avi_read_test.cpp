// The AVI reader: the sound of AVI files that ffmpeg makes (PCM and ADPCM,
// with a video stream first or alone) read through the layer and decoded as
// ffmpeg decodes it; odd files built byte by byte (streams out of order,
// "rec " lists, extensions, truncated and oversized chunks); and the reading
// calls' sizes, refusals and handles.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::acm_convert;
using testing_support::AcmResult;
using testing_support::pcm_format;

struct Opened {
    HRESULT hr = AVIERR_OK;
    PAVISTREAM s = nullptr;
    AVISTREAMINFO info{};
    Bytes format, data;
    LONG length = -1;
};

// Opens audio stream `which`, reads its information, whole format and data.
Opened open_and_read(const std::string& path, LONG which = 0) {
    Opened o;
    AVIFileInit();
    o.hr = AVIStreamOpenFromFile(&o.s, path.c_str(), streamtypeAUDIO, which, OF_READ, nullptr);
    if (o.hr != AVIERR_OK) return o;
    EXPECT_EQ(AVIStreamInfo(o.s, &o.info, sizeof o.info), AVIERR_OK);
    LONG size = 0;
    EXPECT_EQ(AVIStreamReadFormat(o.s, 0, nullptr, &size), AVIERR_OK);
    o.format.assign(size_t(size), 0);
    EXPECT_EQ(AVIStreamReadFormat(o.s, 0, o.format.data(), &size), AVIERR_OK);
    o.length = AVIStreamLength(o.s);
    LONG bytes = 0, samples = 0;
    EXPECT_EQ(AVIStreamRead(o.s, 0, o.length, nullptr, 0, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(samples, o.length);
    o.data.assign(size_t(bytes) + 1, 0);
    LONG got_bytes = 0, got_samples = 0;
    EXPECT_EQ(AVIStreamRead(o.s, 0, o.length, o.data.data(), bytes, &got_bytes, &got_samples),
              AVIERR_OK);
    EXPECT_EQ(got_bytes, bytes);
    EXPECT_EQ(got_samples, o.length);
    o.data.resize(size_t(got_bytes));
    return o;
}

void close_stream(Opened& o) {
    if (o.s) {
        EXPECT_EQ(AVIStreamRelease(o.s), 0u);
    }
    AVIFileExit();
}

struct MadeAvi {
    const char* name;
    const char* audio;  // ffmpeg's audio options
    bool video;         // a video stream comes first, so the sound is stream 1
    // ffmpeg's IMA ADPCM decoder rounds its steps more finely than the reference
    // decoder; that sound is compared with SoX's decoding of the same stream
    // copied into a wave file, and with ffmpeg's within this distance.
    int ffmpeg_tolerance;
};

class AviFromFfmpeg : public testing::TestWithParam<MadeAvi> {};

TEST_P(AviFromFfmpeg, SoundDecodesAsFfmpegDecodesIt) {
    const MadeAvi& m = GetParam();
    const std::string dir = testing_support::fresh_dir(std::string("avi-") + m.name);
    const std::string avi = dir + "/made.avi", raw = dir + "/ref.raw";
    const std::string video = m.video ? "-f lavfi -i testsrc=size=32x32:rate=10 -c:v mjpeg " : "";
    ASSERT_EQ(testing_support::run("ffmpeg -hide_banner -loglevel error -y " + video +
                                   "-f lavfi -i sine=frequency=440:sample_rate=44100 -t 1 "
                                   "-c:a " +
                                   m.audio + " " + avi),
              0);
    ASSERT_EQ(testing_support::run("ffmpeg -hide_banner -loglevel error -y -i " + avi +
                                   " -map 0:a -f s16le " + raw),
              0);
    std::vector<int> ref = testing_support::samples16(testing_support::read_file(raw));
    std::vector<int> sox;
    if (m.ffmpeg_tolerance) {
        const std::string copy = dir + "/copy.wav", decoded = dir + "/sox.wav";
        ASSERT_EQ(testing_support::run("ffmpeg -hide_banner -loglevel error -y -i " + avi +
                                       " -map 0:a -c:a copy " + copy),
                  0);
        ASSERT_EQ(testing_support::run("sox -D " + copy + " -e signed-integer -b 16 " + decoded),
                  0);
        Bytes body;
        ASSERT_TRUE(
            testing_support::riff_chunk(testing_support::read_file(decoded), "data", &body));
        sox = testing_support::samples16(body);
    }

    Opened o = open_and_read(avi);
    ASSERT_EQ(o.hr, AVIERR_OK);
    ASSERT_GE(o.format.size(), 16u);
    WAVEFORMATEX f;
    std::memcpy(&f, o.format.data(), 16);
    EXPECT_EQ(o.info.fccType, streamtypeAUDIO);
    EXPECT_EQ(o.info.dwSampleSize, f.nBlockAlign);
    EXPECT_EQ(o.info.dwLength, DWORD(o.length));
    EXPECT_EQ(o.data.size(), size_t(o.length) * f.nBlockAlign);

    // The data as the loader takes it: PCM as is, a coded format through a compression stream.
    o.format.resize(std::max<size_t>(o.format.size(), sizeof(WAVEFORMATEX)), 0);
    AcmResult r =
        acm_convert(o.format.data(), pcm_format(16, f.nChannels, int(f.nSamplesPerSec)), o.data);
    ASSERT_EQ(r.open, MMSYSERR_NOERROR);
    ASSERT_EQ(r.size, MMSYSERR_NOERROR);
    ASSERT_EQ(r.convert, MMSYSERR_NOERROR);
    std::vector<int> got = testing_support::samples16(r.out);
    if (!m.ffmpeg_tolerance) {
        EXPECT_EQ(got, ref);
    } else {
        EXPECT_EQ(got, sox);
        ASSERT_EQ(got.size(), ref.size());
        int worst = 0;
        for (size_t i = 0; i < got.size(); ++i) worst = std::max(worst, std::abs(got[i] - ref[i]));
        EXPECT_LE(worst, m.ffmpeg_tolerance);
    }
    close_stream(o);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AviFromFfmpeg,
    testing::Values(MadeAvi{"Pcm16StereoAfterVideo", "pcm_s16le -ac 2 -ar 22050", true, 0},
                    MadeAvi{"Pcm8MonoAfterVideo", "pcm_u8 -ac 1 -ar 11025", true, 0},
                    MadeAvi{"ImaAdpcmStereoAfterVideo", "adpcm_ima_wav -ac 2 -ar 22050", true, 64},
                    MadeAvi{"MsAdpcmMonoAfterVideo", "adpcm_ms -ac 1 -ar 22050", true, 0},
                    MadeAvi{"MsAdpcmStereoAlone", "adpcm_ms -ac 2 -ar 11025", false, 0},
                    MadeAvi{"Pcm16MonoAlone", "pcm_s16le -ac 1 -ar 8000", false, 0}),
    [](const testing::TestParamInfo<MadeAvi>& i) { return std::string(i.param.name); });

// --- Files built byte by byte ------------------------------------------------

void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A chunk with its pad byte; `size` overrides the size field when not -1.
Bytes chunk(const char* id, const Bytes& body, int64_t size = -1) {
    Bytes b(id, id + 4);
    put32(b, uint32_t(size >= 0 ? size : int64_t(body.size())));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
    return b;
}

Bytes list(const char* id, const char* form, const std::vector<Bytes>& parts, int64_t size = -1) {
    Bytes body(form, form + 4);
    for (const Bytes& p : parts) body.insert(body.end(), p.begin(), p.end());
    return chunk(id, body, size);
}

// Handler, flags, priority and language, initial frames, scale 1, rate 8000,
// start, a length the data does not have, buffer size, quality, sample size,
// and the frame rectangle 0, 10, 20, 30.
Bytes strh(const char* type, uint32_t sample_size) {
    Bytes b(type, type + 4);
    for (uint32_t v : {0u, 0u, 0u, 0u, 1u, 8000u, 0u, 999999u, 0u, 0u, sample_size}) put32(b, v);
    for (unsigned v : {0u, 10u, 20u, 30u}) put16(b, v);
    return b;
}

Bytes strf(int bits, int channels) {
    Bytes b;
    put16(b, 1);
    put16(b, unsigned(channels));
    put32(b, 8000);
    put32(b, uint32_t(8000 * bits / 8 * channels));
    put16(b, unsigned(bits / 8 * channels));
    put16(b, unsigned(bits));
    return b;
}

Bytes audio_strl(int bits = 16, int channels = 1, uint32_t sample_size = 2, const char* name = "") {
    std::vector<Bytes> parts = {chunk("strh", strh("auds", sample_size)),
                                chunk("strf", strf(bits, channels))};
    if (*name) parts.push_back(chunk("strn", text(std::string(name) + '\0')));
    return list("LIST", "strl", parts);
}

Bytes video_strl() {
    return list("LIST", "strl", {chunk("strh", strh("vids", 0)), chunk("strf", Bytes(40, 0))});
}

Bytes avi(const std::vector<Bytes>& streams, const std::vector<Bytes>& movi,
          const std::vector<Bytes>& after = {}) {
    std::vector<Bytes> hdrl = {chunk("avih", Bytes(56, 0))};
    hdrl.insert(hdrl.end(), streams.begin(), streams.end());
    std::vector<Bytes> top = {list("LIST", "hdrl", hdrl), list("LIST", "movi", movi)};
    top.insert(top.end(), after.begin(), after.end());
    return list("RIFF", "AVI ", top);
}

Bytes cat(std::vector<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct OddFile {
    const char* what;
    Bytes file;
    LONG which;
    HRESULT hr;
    std::string data;  // the stream's bytes when it opens
};

std::vector<OddFile> odd_files() {
    const Bytes movi2 = list("LIST", "movi", {chunk("00wb", text("ijkl"))});
    // The file ends inside the last chunk: it, the movi list and the form claim more.
    Bytes truncated =
        avi({audio_strl()}, {chunk("00wb", text("abcd")), chunk("00wb", text("efghijklmnop"))});
    truncated.resize(truncated.size() - 6);
    Bytes oversized_riff = avi({audio_strl()}, {chunk("00wb", text("abcd"))});
    oversized_riff[4] = 0xF0, oversized_riff[5] = 0xFF, oversized_riff[6] = 0xFF,
    oversized_riff[7] = 0x7F;
    return {
        {"plain", avi({audio_strl()}, {chunk("00wb", text("abcd")), chunk("00wb", text("efgh"))}),
         0, AVIERR_OK, "abcdefgh"},
        {"after a video stream, among other chunks",
         avi({video_strl(), audio_strl()},
             {chunk("00dc", text("VIDEO1")), chunk("01wb", text("ab")), chunk("JUNK", Bytes(7, 0)),
              chunk("ix01", text("index!")), chunk("00wb", text("xx")), chunk("01wb", text("cd"))}),
         0, AVIERR_OK, "abcd"},
        {"inside rec lists",
         avi({audio_strl()},
             {list("LIST", "rec ", {chunk("00wb", text("ab")), chunk("00dc", text("zz"))}),
              list("LIST", "rec ", {list("LIST", "rec ", {chunk("00wb", text("cd"))})}),
              chunk("00wb", text("ef"))}),
         0, AVIERR_OK, "abcdef"},
        {"odd chunks with pad bytes, one-byte samples",
         avi({audio_strl(8, 1, 1)}, {chunk("00wb", text("abc")), chunk("00wb", text("d"))}), 0,
         AVIERR_OK, "abcd"},
        {"second audio stream",
         avi({audio_strl(), video_strl(), audio_strl()},
             {chunk("00wb", text("aaaa")), chunk("02wb", text("bbbb"))}),
         1, AVIERR_OK, "bbbb"},
        {"extension forms after the first",
         cat({avi({audio_strl()}, {chunk("00wb", text("abcd"))}), list("RIFF", "AVIX", {movi2}),
              list("RIFF", "AVIX", {chunk("JUNK", text("no"))})}),
         0, AVIERR_OK, "abcdijkl"},
        {"a data chunk cut by the file's end", truncated, 0, AVIERR_OK, "abcdefghij"},
        {"a movi list claiming more than its form",
         cat({list("RIFF", "AVI ",
                   {list("LIST", "hdrl", {audio_strl()}),
                    list("LIST", "movi", {chunk("00wb", text("abcd"))}, 1000)})}),
         0, AVIERR_OK, "abcd"},
        {"a RIFF size past the end", oversized_riff, 0, AVIERR_OK, "abcd"},
        {"a huge chunk in the stream list",
         avi({audio_strl(), chunk("JUNK", text("zz"), 0xFFFFFFF0)}, {chunk("00wb", text("ab"))}), 0,
         AVIERR_OK, "ab"},
        {"a huge chunk hiding the movi list",
         list("RIFF", "AVI ",
              {list("LIST", "hdrl", {audio_strl()}), chunk("JUNK", text("zz"), 0xFFFFFFF0),
               list("LIST", "movi", {chunk("00wb", text("ab"))})}),
         0, AVIERR_OK, ""},
        {"no audio stream", avi({video_strl()}, {chunk("00dc", text("abcd"))}), 0, AVIERR_NODATA,
         ""},
        {"no second audio stream", avi({audio_strl()}, {chunk("00wb", text("abcd"))}), 1,
         AVIERR_NODATA, ""},
        {"format too short",
         avi({list("LIST", "strl", {chunk("strh", strh("auds", 2)), chunk("strf", Bytes(10, 1))})},
             {}),
         0, AVIERR_BADFORMAT, ""},
        {"stream header too short",
         avi({list("LIST", "strl", {chunk("strh", text("auds")), chunk("strf", strf(16, 1))})}, {}),
         0, AVIERR_BADFORMAT, ""},
        {"a wave file", list("RIFF", "WAVE", {chunk("fmt ", strf(16, 1))}), 0, AVIERR_BADFORMAT,
         ""},
        {"no header list", list("RIFF", "AVI ", {list("LIST", "movi", {})}), 0, AVIERR_BADFORMAT,
         ""},
        {"empty", {}, 0, AVIERR_BADFORMAT, ""},
    };
}

TEST(AviOddFiles, EverySizeIsCutToTheFileAndOnlyTheStreamsChunksCount) {
    const std::string dir = testing_support::fresh_dir("avi-odd");
    int n = 0;
    for (const OddFile& f : odd_files()) {
        SCOPED_TRACE(f.what);
        const std::string path = dir + "/" + std::to_string(++n) + ".avi";
        testing_support::write_file(path, f.file);
        Opened o = open_and_read(path, f.which);
        ASSERT_EQ(o.hr, f.hr);
        if (f.hr != AVIERR_OK) {
            EXPECT_EQ(o.s, nullptr);
            continue;
        }
        EXPECT_EQ(std::string(o.data.begin(), o.data.end()), f.data);
        EXPECT_EQ(o.info.dwLength, DWORD(f.data.size() / o.info.dwSampleSize));
        close_stream(o);
    }
    PAVISTREAM s = reinterpret_cast<PAVISTREAM>(uintptr_t(0x77));
    EXPECT_EQ(AVIStreamOpenFromFile(&s, (dir + "/absent.avi").c_str(), streamtypeAUDIO, 0, OF_READ,
                                    nullptr),
              AVIERR_FILEOPEN);
    EXPECT_EQ(s, nullptr);
}

class AviReading : public testing::Test {
protected:
    // Stereo 16-bit: four-byte samples "s0..s5" over three chunks, a name and a frame.
    void SetUp() override {
        path = testing_support::fresh_dir("avi-reading") + "/six.avi";
        testing_support::write_file(
            path, avi({audio_strl(16, 2, 4, "Narration")},
                      {chunk("00wb", text("s0s0s1s1")), chunk("00wb", text("s2s2")),
                       chunk("00wb", text("s3s3s4s4s5s5"))}));
        ASSERT_EQ(AVIStreamOpenFromFile(&s, path.c_str(), streamtypeAUDIO, 0,
                                        OF_READ | OF_SHARE_DENY_WRITE, nullptr),
                  AVIERR_OK);
    }
    void TearDown() override { AVIStreamRelease(s); }
    // Reads and gives the text read, the code and the counts.
    std::string read(LONG start, LONG count, LONG size, HRESULT* hr, LONG* bytes, LONG* samples) {
        std::string buf(size_t(std::max<LONG>(size, 0)) + 4, '#');
        *hr = AVIStreamRead(s, start, count, buf.data(), size, bytes, samples);
        return buf.substr(0, size_t(*bytes)) +
               (buf[size_t(std::max<LONG>(size, 0))] == '#' ? "" : "!");
    }
    std::string path;
    PAVISTREAM s = nullptr;
};

TEST_F(AviReading, ReadsWholeSamplesAcrossChunksWithinTheBuffer) {
    struct Case {
        LONG start, count, size;
        HRESULT hr;
        std::string got;
        LONG samples;
    };
    const Case cases[] = {
        {0, 6, 24, AVIERR_OK, "s0s0s1s1s2s2s3s3s4s4s5s5", 6},
        {1, 3, 100, AVIERR_OK, "s1s1s2s2s3s3", 3},
        {2, AVISTREAMREAD_CONVENIENT, 11, AVIERR_OK, "s2s2s3s3", 2},
        {4, 10, 100, AVIERR_OK, "s4s4s5s5", 2},
        {6, 1, 100, AVIERR_OK, "", 0},
        {600, 1, 100, AVIERR_OK, "", 0},
        {0, 2, 3, AVIERR_BUFFERTOOSMALL, "", 0},
        {0, 0, 100, AVIERR_OK, "", 0},
        {-1, 1, 100, AVIERR_BADPARAM, "", 0},
        {0, -2, 100, AVIERR_BADPARAM, "", 0},
        {0, 1, -1, AVIERR_BADPARAM, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.count << " " << c.size);
        HRESULT hr;
        LONG bytes = -5, samples = -5;
        EXPECT_EQ(read(c.start, c.count, c.size, &hr, &bytes, &samples), c.got);
        EXPECT_EQ(hr, c.hr);
        EXPECT_EQ(samples, c.samples);
    }
    LONG bytes = 0, samples = 0;
    EXPECT_EQ(AVIStreamRead(s, 1, AVISTREAMREAD_CONVENIENT, nullptr, 0, &bytes, &samples),
              AVIERR_OK);
    EXPECT_EQ(bytes, 20);
    EXPECT_EQ(samples, 5);
}

TEST_F(AviReading, InformationAndFormatComeFromTheStreamList) {
    AVISTREAMINFO info;
    std::memset(&info, 0x5A, sizeof info);
    ASSERT_EQ(AVIStreamInfo(s, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeAUDIO);
    EXPECT_EQ(info.dwRate, 8000u);
    EXPECT_EQ(info.dwScale, 1u);
    EXPECT_EQ(info.dwLength, 6u) << "the data's count, not the header's claim";
    EXPECT_EQ(info.dwSampleSize, 4u);
    EXPECT_EQ(info.rcFrame.left, 0);
    EXPECT_EQ(info.rcFrame.bottom, 30);
    EXPECT_STREQ(info.szName, "Narration");
    EXPECT_EQ(AVIStreamLength(s), 6);

    unsigned char f[18];
    std::memset(f, 0xEE, sizeof f);
    LONG size = 18;
    ASSERT_EQ(AVIStreamReadFormat(s, 0, f, &size), AVIERR_OK);
    EXPECT_EQ(size, 16) << "the whole format, shorter than the buffer";
    EXPECT_EQ(f[16], 0xEE);
    size = 4;
    ASSERT_EQ(AVIStreamReadFormat(s, 0, f, &size), AVIERR_OK);
    EXPECT_EQ(size, 4);
    const auto* wf = reinterpret_cast<const WAVEFORMATEX*>(f);
    EXPECT_EQ(wf->nChannels, 2);
    EXPECT_EQ(wf->nBlockAlign, 4);
    EXPECT_EQ(AVIStreamReadFormat(s, 0, f, nullptr), AVIERR_BADPARAM);
}

TEST_F(AviReading, AFileCutAfterOpeningReportsTheSamplesRead) {
    // Cut inside the last chunk's fourth sample (s3): three whole samples remain readable.
    Bytes file = testing_support::read_file(path);
    const size_t cut = file.size() - 12 + 2;
    ASSERT_EQ(truncate(path.c_str(), off_t(cut)), 0);
    HRESULT hr;
    LONG bytes = 0, samples = 0;
    EXPECT_EQ(read(0, 6, 24, &hr, &bytes, &samples), "s0s0s1s1s2s2");
    EXPECT_EQ(hr, AVIERR_FILEREAD);
    EXPECT_EQ(samples, 3);
}

TEST_F(AviReading, ReleasedAndForgedHandlesAreRefused) {
    PAVISTREAM forged = reinterpret_cast<PAVISTREAM>(uintptr_t(0x5EED));
    AVISTREAMINFO info;
    LONG size = 16, bytes = 0;
    char buf[16];
    for (PAVISTREAM h : {forged, static_cast<PAVISTREAM>(nullptr)}) {
        EXPECT_EQ(AVIStreamInfo(h, &info, sizeof info), AVIERR_BADHANDLE);
        EXPECT_EQ(AVIStreamReadFormat(h, 0, buf, &size), AVIERR_BADHANDLE);
        EXPECT_EQ(AVIStreamLength(h), -1);
        EXPECT_EQ(AVIStreamRead(h, 0, 1, buf, 16, &bytes, nullptr), AVIERR_BADHANDLE);
    }
    PAVISTREAM second = nullptr;
    ASSERT_EQ(AVIStreamOpenFromFile(&second, path.c_str(), streamtypeAUDIO, 0, OF_READ, nullptr),
              AVIERR_OK);
    EXPECT_NE(second, s);
    EXPECT_EQ(AVIStreamRelease(second), 0u);
    EXPECT_EQ(AVIStreamLength(second), -1);
    EXPECT_EQ(AVIStreamLength(s), 6) << "the other stream stays open";

    PAVISTREAM t = nullptr;
    EXPECT_EQ(AVIStreamOpenFromFile(&t, path.c_str(), streamtypeAUDIO, 0, OF_READWRITE, nullptr),
              AVIERR_READONLY);
    EXPECT_EQ(AVIStreamOpenFromFile(&t, path.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr),
              AVIERR_UNSUPPORTED);
    EXPECT_EQ(AVIStreamOpenFromFile(&t, path.c_str(), streamtypeAUDIO, -1, OF_READ, nullptr),
              AVIERR_BADPARAM);
    EXPECT_EQ(AVIStreamOpenFromFile(nullptr, path.c_str(), streamtypeAUDIO, 0, OF_READ, nullptr),
              AVIERR_BADPARAM);
    EXPECT_EQ(t, nullptr);
}

TEST(AviChunkSamples, AStreamWithoutSampleSizeHasOneSamplePerChunk) {
    const std::string path = testing_support::fresh_dir("avi-vbr") + "/vbr.avi";
    testing_support::write_file(
        path,
        avi({audio_strl(16, 1, 0)}, {chunk("00wb", text("a")), chunk("00wb", text("bcd")),
                                     chunk("00wb", text("")), chunk("00wb", text("efghij"))}));
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIStreamOpenFromFile(&s, path.c_str(), streamtypeAUDIO, 0, OF_READ, nullptr),
              AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(s), 4);
    char buf[16] = {};
    LONG bytes = 0, samples = 0;
    EXPECT_EQ(AVIStreamRead(s, 1, 3, buf, 8, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(std::string(buf, size_t(bytes)), "bcd") << "the last chunk does not fit";
    EXPECT_EQ(samples, 2);
    EXPECT_EQ(AVIStreamRead(s, 3, 1, buf, 5, &bytes, &samples), AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(AVIStreamRead(s, 0, 4, nullptr, 0, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 10);
    EXPECT_EQ(samples, 4);
    AVIStreamRelease(s);
}

}  // namespace
