// The waveaudio device: recording from the wave input into a saved wave file
// (children whose SDL input is a file holding a known signal), by strings and
// by command records; playing a wave file to the output; recording ranges
// inserted and written over; and the notices of plays that end or are cut.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio_test_support.h"
#include "test_support.h"
#include "window_test_log.h"

namespace {

using atest::Bytes;
using atest::mci;

std::string error(MCIERROR code) {
    return "error " + std::to_string(code);
}

long number(const std::string& s) {
    return s.empty() || s.find_first_not_of("0123456789") != std::string::npos ? -1 : std::stol(s);
}

struct RecordCase {
    const char* name;
    int bits, channels, rate;
    Bytes signal;
};

RecordCase record_case(const std::string& name) {
    if (name == "records-stereo16")
        return {"records-stereo16", 16, 2, 22050, atest::signal16(5000)};
    return {"strings-mono8", 8, 1, 8000, atest::signal8(6000)};
}

// Child: records by strings until the signal and a second more are in, then
// saves to out.
int record_by_strings(const RecordCase& c, const std::string& out) {
    char set[128];
    std::snprintf(set, sizeof(set), "set rec bitspersample %d channels %d samplespersec %d", c.bits,
                  c.channels, c.rate);
    if (mci("open new type waveaudio alias rec").empty() || !mci(set).empty()) return 2;
    if (!mci("set rec time format bytes").empty() || !mci("record rec").empty()) return 3;
    long enough = long(c.signal.size()) + c.rate * c.bits / 8 * c.channels;
    if (!atest::wait_for([&] { return number(mci("status rec position")) >= enough; })) return 4;
    if (mci("status rec mode") != "recording") return 5;
    if (!mci("stop rec").empty() || mci("status rec mode") != "stopped") return 6;
    if (mci("status rec length") != mci("status rec position")) return 7;
    if (!mci("save rec \"" + out + "\"").empty() || !mci("close rec").empty()) return 8;
    return 0;
}

// Child: records with command records as the recording dialog does: the
// format from a header, insert, position in milliseconds, pause and resume.
int record_by_records(const RecordCase& c, const std::string& out) {
    MCI_OPEN_PARMS open{};
    open.lpstrDeviceType = "waveaudio";
    open.lpstrElementName = "";
    if (mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, DWORD_PTR(&open))) return 2;
    MCIDEVICEID id = open.wDeviceID;
    WAVEFORMATEX f = atest::pcm(c.bits, c.channels, c.rate);
    MCI_WAVE_SET_PARMS set{};
    set.nChannels = f.nChannels;
    set.nSamplesPerSec = f.nSamplesPerSec;
    set.nAvgBytesPerSec = f.nAvgBytesPerSec;
    set.nBlockAlign = f.nBlockAlign;
    set.wBitsPerSample = f.wBitsPerSample;
    if (mciSendCommand(id, MCI_SET, 0x3E0000, DWORD_PTR(&set))) return 3;
    MCI_RECORD_PARMS rec{};
    if (mciSendCommand(id, MCI_RECORD, MCI_RECORD_INSERT, DWORD_PTR(&rec))) return 4;
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_POSITION;
    auto ms = [&] {
        mciSendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, DWORD_PTR(&status));
        return status.dwReturn;
    };
    DWORD_PTR signal_ms = c.signal.size() * 1000 / f.nAvgBytesPerSec;
    // Sound in flight when an input stops is lost, so the pause comes after the signal.
    if (!atest::wait_for([&] { return ms() > signal_ms + 200; })) return 5;
    MCI_GENERIC_PARMS generic{};
    if (mciSendCommand(id, MCI_PAUSE, MCI_WAIT, DWORD_PTR(&generic))) return 6;
    DWORD_PTR held = ms();
    Sleep(50);
    if (ms() != held) return 7;
    if (mciSendCommand(id, MCI_RESUME, MCI_WAIT, DWORD_PTR(&generic))) return 8;
    if (!atest::wait_for([&] { return ms() > signal_ms + 1000; })) return 9;
    if (mciSendCommand(id, MCI_STOP, MCI_WAIT, DWORD_PTR(&generic))) return 10;
    MCI_SAVE_PARMS save{};
    save.lpfilename = out.c_str();
    if (mciSendCommand(id, MCI_SAVE, MCI_SAVE_FILE | MCI_WAIT, DWORD_PTR(&save))) return 11;
    if (mciSendCommand(id, MCI_CLOSE, 0, 0)) return 12;
    return 0;
}

// Child: plays a wave file as the loader window opens it, to the end.
int play_file(const std::string& path, const std::string& length) {
    HWND window = wtest::top_window();
    if (mci("open \"" + path + "\" type waveaudio alias hwave") == "") return 2;
    if (mci("status hwave length") != length) return 3;
    if (!mci("play hwave notify", window).empty()) return 4;
    if (!atest::wait_for([] { return !wtest::of(MM_MCINOTIFY).empty(); })) return 5;
    if (wtest::of(MM_MCINOTIFY)[0].wp != MCI_NOTIFY_SUCCESSFUL) return 6;
    if (mci("status hwave position") != length || mci("status hwave mode") != "stopped") return 7;
    if (!mci("stop hwave").empty() || !mci("seek hwave to start").empty()) return 8;
    if (mci("status hwave position") != "0") return 9;
    if (!mci("stop hwave wait").empty() || !mci("close hwave").empty()) return 10;
    return 0;
}

const bool g_roles = [] {
    testing_support::register_child_role("mci-record", [](const std::vector<std::string>& a) {
        if (a.size() != 2) return 1;
        RecordCase c = record_case(a[0]);
        return a[0] == "records-stereo16" ? record_by_records(c, a[1]) : record_by_strings(c, a[1]);
    });
    testing_support::register_child_role("mci-play", [](const std::vector<std::string>& a) {
        return a.size() == 2 ? play_file(a[0], a[1]) : 1;
    });
    return true;
}();

TEST(MciWaveRecording, SavedFileHoldsTheSignalTheInputGave) {
    for (const char* name : {"strings-mono8", "records-stereo16"}) {
        RecordCase c = record_case(name);
        std::string dir = testing_support::fresh_dir(std::string("mci-rec-") + name);
        // A little pacing keeps the capture from running far ahead of the checks.
        atest::DiskAudio audio{dir + "/input.raw", dir + "/output.raw", 1};
        testing_support::write_file(audio.in, c.signal);
        std::string saved = dir + "/saved take.wav";
        ASSERT_EQ(atest::run_with_disk_audio("mci-record", {name, saved}, audio), 0) << name;
        atest::Wave w = atest::read_wave(saved);
        ASSERT_TRUE(w.ok) << name << ": a wave file with its sizes right";
        EXPECT_EQ(w.format_tag, WAVE_FORMAT_PCM);
        EXPECT_EQ(w.bits, c.bits);
        EXPECT_EQ(w.channels, c.channels);
        EXPECT_EQ(w.rate, c.rate);
        EXPECT_EQ(w.align, c.bits / 8 * c.channels);
        EXPECT_EQ(w.avg, c.rate * w.align);
        EXPECT_GE(atest::find(w.data, c.signal), 0) << name << ": the signal was recorded whole";
        EXPECT_EQ(w.data.size() % size_t(w.align), 0u);
    }
}

TEST(MciWavePlayback, WaveFilePlaysToTheOutputAndNotifiesItsEnd) {
    struct Case {
        int bits, channels, rate;
        Bytes data;
        int delay_ms;  // the longer sound needs its ring of buffers refilled in time
    } cases[] = {
        {8, 1, 8000, atest::signal8(6000), 0},
        {16, 2, 22050, atest::signal16(66150), 5},
    };
    for (const Case& c : cases) {
        std::string dir = testing_support::fresh_dir("mci-play");
        std::string path = dir + "/large file.wav";
        testing_support::write_file(path, atest::wave_file(c.bits, c.channels, c.rate, c.data));
        atest::DiskAudio audio{"", dir + "/output.raw", c.delay_ms};
        long ms = long(c.data.size()) * 1000 / (c.rate * c.bits / 8 * c.channels);
        ASSERT_EQ(atest::run_with_disk_audio("mci-play", {path, std::to_string(ms)}, audio), 0)
            << c.bits;
        Bytes played = testing_support::read_file(audio.out);
        long at = atest::find(played, c.data);
        ASSERT_GE(at, 0) << c.bits << ": the samples reached the output in one piece";
        unsigned char silence = c.bits == 8 ? 0x80 : 0;
        for (size_t i = size_t(at) + c.data.size(); i < played.size(); ++i)
            ASSERT_EQ(played[i], silence) << "nothing more is played after the end";
    }
}

class MciWave : public ::testing::Test {
protected:
    void SetUp() override {
        atest::pump();
        wtest::log().clear();
        window = wtest::top_window();
    }
    void TearDown() override {
        mciSendString("close all", nullptr, 0, nullptr);
        DestroyWindow(window);
        atest::pump();
    }
    std::vector<WPARAM> notices() {
        atest::pump();
        std::vector<WPARAM> out;
        for (auto& e : wtest::of(MM_MCINOTIFY, window)) out.push_back(e.wp);
        return out;
    }
    HWND window = nullptr;
};

TEST_F(MciWave, RecordingRangesAreInsertedOrWrittenOver) {
    ASSERT_NE(mci("open new type waveaudio alias w"), "");
    ASSERT_EQ(mci("set w bitspersample 8 channels 1 samplespersec 8000"), "");
    ASSERT_EQ(mci("set w time format bytes"), "");
    const struct {
        const char* command;
        const char* length;
        const char* position;
    } steps[] = {
        {"record w to 800 wait", "800", "800"},
        {"seek w to start", "800", "0"},
        {"record w to 400 overwrite wait", "800", "400"},
        {"record w from 600 to 1000 overwrite wait", "1000", "1000"},
        {"record w from 200 to 500 insert wait", "1300", "500"},
        {"seek w to end", "1300", "1300"},
        {"record w to 1500 wait", "1500", "1500"},
    };
    for (const auto& s : steps) {
        ASSERT_EQ(mci(s.command), "") << s.command;
        EXPECT_EQ(mci("status w length"), s.length) << s.command;
        EXPECT_EQ(mci("status w position"), s.position) << s.command;
        EXPECT_EQ(mci("status w mode"), "stopped") << s.command;
    }
    EXPECT_EQ(mci("record w from 1600"), error(MCIERR_OUTOFRANGE));
    ASSERT_EQ(mci("set w time format samples"), "");
    EXPECT_EQ(mci("status w length"), "1500");
    ASSERT_EQ(mci("set w time format ms"), "");
    EXPECT_EQ(mci("status w length"), "187") << "1500 bytes at 8000 a second";
    EXPECT_EQ(mci("set w channels 2"), error(MCIERR_NONAPPLICABLE_FUNCTION))
        << "the format of recorded samples stays";
}

TEST_F(MciWave, RecordingToAnEndNotifiesAndPauseHoldsTheLength) {
    ASSERT_NE(mci("open new type waveaudio alias w"), "");
    ASSERT_EQ(mci("set w bitspersample 16 channels 2 samplespersec 8000"), "");
    ASSERT_EQ(mci("set w time format bytes"), "");
    ASSERT_EQ(mci("record w to 3200 notify", window), "");
    ASSERT_TRUE(atest::wait_for([&] { return !notices().empty(); }));
    EXPECT_EQ(notices(), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    EXPECT_EQ(mci("status w length"), "3200");

    ASSERT_EQ(mci("record w notify", window), "");
    ASSERT_TRUE(atest::wait_for([&] { return number(mci("status w position")) > 3200; }));
    ASSERT_EQ(mci("pause w"), "");
    EXPECT_EQ(mci("status w mode"), "paused");
    std::string held = mci("status w length");
    Sleep(60);
    EXPECT_EQ(mci("status w length"), held) << "a paused recording takes nothing in";
    ASSERT_EQ(mci("resume w"), "");
    EXPECT_EQ(mci("status w mode"), "recording");
    ASSERT_TRUE(atest::wait_for([&] { return number(mci("status w length")) > number(held); }));
    ASSERT_EQ(mci("stop w"), "");
    long length = number(mci("status w length"));
    EXPECT_GT(length, number(held));
    EXPECT_EQ(length % 4, 0) << "whole frames";
    EXPECT_EQ(notices(), (std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL, MCI_NOTIFY_ABORTED}));
    std::string path = testing_support::fresh_dir("mci-save") + "/silence.wav";
    ASSERT_EQ(mci("save w \"" + path + "\""), "");
    atest::Wave w = atest::read_wave(path);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(long(w.data.size()), length);
    EXPECT_EQ(mci("save w"), "") << "the sound now has a file of its own";
}

// Plays a short file with a notice, does one thing to it, and gives the
// notices that came.
TEST_F(MciWave, PlayNoticeEndsSuccessfulAbortedOrSuperseded) {
    std::string path = testing_support::fresh_dir("mci-notice") + "/short.wav";
    testing_support::write_file(path, atest::wave_file(8, 1, 8000, atest::signal8(2400)));
    const struct {
        const char* then;
        std::vector<WPARAM> expected;
    } cases[] = {
        {"", {MCI_NOTIFY_SUCCESSFUL}},
        {"stop w", {MCI_NOTIFY_ABORTED}},
        {"stop w notify", {MCI_NOTIFY_ABORTED, MCI_NOTIFY_SUCCESSFUL}},
        {"seek w to start", {MCI_NOTIFY_ABORTED}},
        {"play w from 0", {MCI_NOTIFY_ABORTED}},
        {"play w from 0 notify", {MCI_NOTIFY_SUPERSEDED, MCI_NOTIFY_SUCCESSFUL}},
        {"status w mode notify", {MCI_NOTIFY_SUPERSEDED, MCI_NOTIFY_SUCCESSFUL}},
        {"pause w", {MCI_NOTIFY_SUCCESSFUL}},
        {"close w", {MCI_NOTIFY_ABORTED}},
    };
    for (const auto& c : cases) {
        wtest::log().clear();
        ASSERT_GT(number(mci("open \"" + path + "\" type waveaudio alias w")), 0);
        ASSERT_EQ(mci("play w notify", window), "");
        EXPECT_EQ(mci("status w mode"), "playing");
        if (*c.then) {
            ASSERT_EQ(mci(c.then, window).rfind("error", 0), std::string::npos) << c.then;
        }
        if (std::string(c.then) == "pause w") {
            EXPECT_EQ(mci("status w mode"), "paused");
            EXPECT_TRUE(notices().empty()) << "a paused play still owes its notice";
            ASSERT_EQ(mci("resume w"), "");
        }
        atest::wait_for([&] { return notices().size() >= c.expected.size(); });
        Sleep(20);
        EXPECT_EQ(notices(), c.expected) << c.then;
        mciSendString("close w", nullptr, 0, nullptr);
    }
}

}  // namespace
