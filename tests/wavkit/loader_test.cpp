// The loader of parts of large wave files: the times it reads, the parts it
// chooses, the layouts it finds (RIFF, RF64, a plain file past 4 GB, a cut
// file), and the window: a 10-second part at 20 minutes of a 3 GB file
// loaded byte for byte without reading the rest, bad times and parts refused
// with a message, Cancel through the owner, the file name remembered.
#include "../../wavkit/src/loader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/dialogs.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "../../resources/dialogs_loader.h"
#include "document_fixture.h"
#include "test_support.h"

namespace {

using testing_support::QuestionRecorder;
using wavtest::Bytes;

constexpr uint64_t kGB = 1ull << 30;

TEST(LoaderTimes, TypedTimesReadAsMillisecondsAndNothingElseDoes) {
    struct Case {
        const char* text;
        bool ok;
        uint64_t ms;
    };
    for (Case c :
         {Case{"20:00", true, 1200000}, Case{"10", true, 10000}, Case{"1:02:03.5", true, 3723500},
          Case{"0.25", true, 250}, Case{" 5 ", true, 5000}, Case{"0:00:10.000", true, 10000},
          Case{"3:07.0125", true, 187012}, Case{"90", true, 90000}, Case{"", false, 0},
          Case{"abc", false, 0}, Case{"1:60", false, 0}, Case{"1:2:3:4", false, 0},
          Case{"1.", false, 0}, Case{"-1", false, 0}, Case{"1,5", false, 0}, Case{"1:", false, 0},
          Case{":30", false, 0}, Case{"1234567890", false, 0}}) {
        uint64_t ms = 999;
        EXPECT_EQ(loader::parse_time(c.text, &ms), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(ms, c.ms) << c.text;
        }
    }
    EXPECT_EQ(loader::time_text(3723500), "1:02:03.500");
    EXPECT_EQ(loader::time_text(0), "0:00:00.000");
    EXPECT_EQ(loader::time_text(36000000 + 59999), "10:00:59.999");
}

loader::BigWave wave_of(WORD bits, WORD channels, DWORD rate, uint64_t dataBytes) {
    loader::BigWave w;
    w.bits = bits;
    w.channels = channels;
    w.rate = rate;
    w.blockAlign = WORD(bits / 8 * channels);
    w.dataOffset = 44;
    w.dataBytes = dataBytes;
    return w;
}

TEST(LoaderParts, APartIsTheWholeFramesOfItsTimeWithinTheFile) {
    loader::BigWave cd = wave_of(16, 2, 44100, 60ull * 176400);
    loader::BigWave odd = wave_of(8, 1, 22050, 22050);
    loader::BigWave huge = wave_of(16, 2, 48000, 8 * kGB);
    struct Case {
        const loader::BigWave* w;
        uint64_t start, length;
        const char* refusal;  // null: chosen
        uint64_t offset, bytes;
    };
    const char* outside = "The part does not lie within the file.";
    for (Case c :
         {Case{&cd, 0, 10000, nullptr, 0, 1764000},
          Case{&cd, 59000, 1000, nullptr, 59ull * 176400, 176400},
          Case{&cd, 59000, 1001, outside, 0, 0}, Case{&cd, 60000, 1, outside, 0, 0},
          Case{&cd, 0, 0, "The length of the part must be more than 0.", 0, 0},
          // 1 ms at 22050 Hz starts at frame 23 (22.05 rounded up); frames 23..66
          // begin before 3 ms.
          Case{&odd, 1, 2, nullptr, 23, 44},
          Case{&huge, 3600000, 7 * 3600000ull, "The part is too long for one document.", 0, 0},
          Case{&huge, 3600000, 3600000, nullptr, 3600ull * 192000, 3600ull * 192000}}) {
        SCOPED_TRACE(std::to_string(c.start) + " + " + std::to_string(c.length));
        loader::Part p;
        const char* refusal = loader::choose_part(*c.w, c.start, c.length, &p);
        EXPECT_STREQ(refusal, c.refusal);
        if (!c.refusal) {
            EXPECT_EQ(p.offset, c.offset);
            EXPECT_EQ(p.bytes, c.bytes);
        }
    }
}

void put(Bytes& b, uint64_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

Bytes fmt_chunk(WORD code, WORD channels, DWORD rate, WORD bits) {
    Bytes b = {'f', 'm', 't', ' '};
    put(b, 16, 4);
    put(b, code, 2);
    put(b, channels, 2);
    put(b, rate, 4);
    put(b, uint64_t(rate) * channels * bits / 8, 4);
    put(b, channels * bits / 8, 2);
    put(b, bits, 2);
    return b;
}

// A file of head, then data bytes up to totalBytes (sparse when written with
// a hole); the data bytes given are written at dataAt bytes into the data.
std::string write_file(const std::string& name, const Bytes& head, uint64_t totalBytes,
                       const Bytes& data = {}, uint64_t dataAt = 0) {
    std::string path = testing_support::fresh_dir("loader-" + name) + "/" + name + ".wav";
    int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(pwrite(fd, head.data(), head.size(), 0), ssize_t(head.size()));
    if (!data.empty()) {
        EXPECT_EQ(pwrite(fd, data.data(), data.size(), off_t(head.size() + dataAt)),
                  ssize_t(data.size()));
    }
    EXPECT_EQ(ftruncate(fd, off_t(totalBytes)), 0);
    close(fd);
    return path;
}

// RIFF head: fmt, then an odd chunk with its pad byte, then the data header.
Bytes riff_head(uint32_t dataField, WORD code = 1, WORD bits = 16) {
    Bytes b = {'R', 'I', 'F', 'F'};
    put(b, 0xFFFFFFFF, 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    Bytes f = fmt_chunk(code, 2, 44100, bits);
    b.insert(b.end(), f.begin(), f.end());
    b.insert(b.end(), {'j', 'u', 'n', 'k'});
    put(b, 3, 4);
    b.insert(b.end(), {1, 2, 3, 0});
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put(b, dataField, 4);
    return b;
}

Bytes rf64_head(uint64_t dataBytes) {
    Bytes b = {'R', 'F', '6', '4'};
    put(b, 0xFFFFFFFF, 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'd', 's', '6', '4'});
    put(b, 28, 4);
    put(b, dataBytes + 100, 8);
    put(b, dataBytes, 8);
    put(b, 0, 8);
    put(b, 0, 4);
    Bytes f = fmt_chunk(1, 1, 8000, 8);
    b.insert(b.end(), f.begin(), f.end());
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put(b, 0xFFFFFFFF, 4);
    return b;
}

TEST(LoaderFiles, TheDataIsFoundWithSixtyFourBitSizesAndHeldToTheFile) {
    struct Case {
        const char* name;
        Bytes head;
        uint64_t total;
        const char* refusal;
        uint64_t offset, bytes;
    };
    uint64_t big = 4 * kGB + 1000;  // past 4 GB: the size field wrapped
    Bytes plain = riff_head(4000);
    const uint64_t at = plain.size();
    Bytes wrapped = riff_head(uint32_t(big - at - 4 * kGB));
    Bytes rf = rf64_head(5 * kGB);
    const Case cases[] = {
        {"plain", plain, at + 4000 + 100, nullptr, at, 4000},
        {"cut", plain, at + 2001, nullptr, at, 2000},
        {"wrapped", wrapped, big, nullptr, at, (big - at) / 4 * 4},
        {"left-at-max", riff_head(0xFFFFFFFF), at + 5 * kGB, nullptr, at, 5 * kGB},
        {"rf64", rf, rf.size() + 5 * kGB + 7, nullptr, rf.size(), 5 * kGB},
        {"adpcm", riff_head(4000, 2), at + 4000,
         "This is no wave file of 8 or 16 bit PCM, mono or stereo.", 0, 0},
        {"24-bit", riff_head(4000, 1, 24), at + 4000,
         "This is no wave file of 8 or 16 bit PCM, mono or stereo.", 0, 0},
        {"no-data", Bytes(plain.begin(), plain.end() - 8), at - 8, "No data chunk found.", 0, 0},
        {"not-riff", Bytes{'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, 12,
         "File is not a wave file.", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = write_file(c.name, c.head, c.total);
        loader::BigWave w;
        EXPECT_STREQ(loader::probe(path.c_str(), &w), c.refusal);
        if (c.refusal) continue;
        EXPECT_EQ(w.dataOffset, c.offset);
        EXPECT_EQ(w.dataBytes, c.bytes);
        unlink(path.c_str());
    }
    loader::BigWave w;
    EXPECT_STREQ(loader::probe("/no/such/file.wav", &w), "File not found or something else.");
}

// --- The window -------------------------------------------------------------------

long resident_bytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

class LoaderWindow : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = (RegisterLoaderDialogTemplates(GetModuleHandle(nullptr)), true);
        (void)registered;
        auto threadEnds = f.answer;
        f.answer = [this, threadEnds](UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
            if (msg == UM_GETMDICLIENT) {
                *result = reinterpret_cast<LRESULT>(f.client);
                return true;
            }
            if (msg == WM_COMMAND) commands.push_back(LOWORD(wp));
            return threadEnds(msg, wp, lp, result);
        };
    }
    void TearDown() override {
        if (loader && IsWindow(loader)) DestroyWindow(loader);
    }
    HWND open_on(const std::string& path) {
        RegWriteString("Sonrel\\Settings\\RevaZud\\FileName", path.c_str());
        loader = ShowRevaZUD(f.frame);
        return loader;
    }
    void load(const char* start, const char* length) {
        SetDlgItemText(loader, 201, start);
        SetDlgItemText(loader, 202, length);
        SendMessage(loader, WM_COMMAND, IDOK, 0);
    }
    wavtest::Frame f;
    HWND loader = nullptr;
    std::vector<WORD> commands;
};

TEST_F(LoaderWindow, ATenSecondPartOfAThreeGigabyteFileIsLoadedByteForByteAndAlone) {
    const uint64_t total = 3 * kGB, perSecond = 176400, at = 20 * 60 * perSecond;
    Bytes head = riff_head(uint32_t(total - 68));
    // Known bytes around the part; the rest of the file is a hole.
    Bytes known = wavtest::pattern(12 * perSecond, 7);
    std::string path = write_file("three-gb", head, total, known, at - perSecond);
    ASSERT_TRUE(open_on(path));
    EXPECT_EQ(testing_support::item_text(loader, 101), path);
    EXPECT_EQ(testing_support::item_text(loader, 103), "16 Bit, 44100 Hz, STEREO");
    EXPECT_EQ(testing_support::item_text(loader, 104),
              loader::time_text((total - 68) / 4 * 1000 / 44100));
    long before = resident_bytes();
    QuestionRecorder rec;
    load("20:00", "10");
    long grown = resident_bytes() - before;
    EXPECT_TRUE(rec.asked.empty()) << rec.asked[0].text;
    std::vector<HWND> docs = f.documents();
    ASSERT_EQ(docs.size(), 1u);
    Bytes want(known.begin() + long(perSecond), known.begin() + long(11 * perSecond));
    EXPECT_TRUE(wavtest::data_of(docs[0]) == want) << "the part's bytes are the file's";
    HeaderBlock h = wavtest::header_of(docs[0]);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.samplesPerSec, 44100u);
    EXPECT_EQ(h.dataSize, 10 * perSecond);
    EXPECT_EQ(h.fileLength, 10 * perSecond + 44);
    InfoBlock info = wavtest::info_of(docs[0]);
    EXPECT_EQ(std::string(info.path), path.substr(0, path.size() - 4) + " part 0-20-00.000.wav");
    EXPECT_EQ(info.saved, 0u) << "a loaded part is not saved anywhere yet";
    EXPECT_LT(grown, long(10 * perSecond) + 8 * 1024 * 1024)
        << "memory grows by about the part only";
}

TEST_F(LoaderWindow, BadTimesAndPartsOutsideTheFileAreRefusedWithAMessage) {
    Bytes head = riff_head(uint32_t(60 * 176400));
    std::string path = write_file("minute", head, 68 + 60 * 176400);
    ASSERT_TRUE(open_on(path));
    struct Case {
        const char *start, *length, *message;
    };
    const char* help =
        "Type the start and the length as h:mm:ss.fff, m:ss or seconds, for example 20:00 and 10.";
    for (Case c :
         {Case{"2:00", "10", "The part does not lie within the file."},
          Case{"0:55", "10", "The part does not lie within the file."}, Case{"abc", "10", help},
          Case{"0", "", help}, Case{"0", "0", "The length of the part must be more than 0."}}) {
        SCOPED_TRACE(std::string(c.start) + " / " + c.length);
        QuestionRecorder rec;
        load(c.start, c.length);
        ASSERT_EQ(rec.asked.size(), 1u);
        EXPECT_EQ(rec.asked[0].caption, "Warning...");
        EXPECT_EQ(rec.asked[0].text, c.message);
    }
    EXPECT_TRUE(f.documents().empty()) << "nothing was loaded";
}

TEST_F(LoaderWindow, WithoutAUsableFileItSaysSoAndLoadsNothing) {
    ASSERT_TRUE(open_on(""));
    EXPECT_EQ(testing_support::item_text(loader, 103), "No file chosen");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(loader, IDOK)));
    QuestionRecorder rec;
    SendMessage(loader, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "Choose a wave file first.");
    EXPECT_TRUE(f.documents().empty());
}

TEST_F(LoaderWindow, CancelGoesThroughTheOwnerAndTheFileIsRememberedWhenItCloses) {
    Bytes head = riff_head(4000);
    std::string first = write_file("first", head, 68 + 4000);
    std::string second = write_file("second", head, 68 + 4000);
    ASSERT_TRUE(open_on(first));
    SendMessage(loader, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(commands, std::vector<WORD>{IDM_LOADER}) << "the frame takes the window down";
    EXPECT_TRUE(IsWindow(loader));
    // Browse picks another file; closing remembers it.
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        auto* ofn = static_cast<OPENFILENAME*>(q->data);
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", second.c_str());
        return IDOK;
    };
    SendMessage(loader, WM_COMMAND, 102, 0);
    EXPECT_EQ(testing_support::item_text(loader, 101), second);
    DestroyWindow(loader);
    EXPECT_STREQ(RegGetString("Sonrel\\Settings\\RevaZud\\FileName", "?"), second.c_str());
}

// "hwave" plays the chosen part; its end notice stops it and seeks back to the start.
TEST_F(LoaderWindow, PlayPartPlaysThroughTheOpenDeviceAndRewindsAtTheEnd) {
    Bytes head = riff_head(176400);
    std::string path = write_file("second", head, 68 + 176400);
    ASSERT_TRUE(open_on(path));
    auto answer = [](const char* command) {
        char text[64] = "";
        MCIERROR err = mciSendString(command, text, sizeof text, nullptr);
        return err ? "error " + std::to_string(err) : std::string(text);
    };
    EXPECT_EQ(answer("status hwave mode"), "stopped") << "open while the window is";
    SetDlgItemText(loader, 201, "0.5");
    SetDlgItemText(loader, 202, "0.2");
    QuestionRecorder rec;
    SendMessage(loader, WM_COMMAND, 105, 0);
    EXPECT_TRUE(rec.asked.empty());
    EXPECT_EQ(answer("status hwave mode"), "playing");
    bool ended = false;
    for (int i = 0; i < 500 && !ended; ++i) {
        PlatformProcessEvents();
        Sleep(10);
        ended = answer("status hwave mode") == "stopped" && answer("status hwave position") == "0";
    }
    EXPECT_TRUE(ended) << "stopped and back at the start after the part";
    DestroyWindow(loader);
    EXPECT_EQ(answer("status hwave mode"), "error " + std::to_string(MCIERR_INVALID_DEVICE_NAME))
        << "closed with the window";
}

}  // namespace
