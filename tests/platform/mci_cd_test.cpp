// The cdaudio device on CD images built here (three SoX tones, one shorter
// than a second; and twenty short tracks): the table of contents in tmsf, msf
// and milliseconds, seeking, playing a track to the output (children whose SDL
// output goes to a file) with its samples unchanged and in little-endian
// order, pause and the end of the disc, a disc taken away while it plays, and
// a device with no drive and no image.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "audio_test_support.h"
#include "test_support.h"
#include "window_test_log.h"

namespace {

using atest::Bytes;
using atest::mci;

constexpr size_t kSector = 2352;

std::string error(MCIERROR code) {
    return "error " + std::to_string(code);
}

// Three tones: 2.0 s (150 sectors), 0.6 s (45) and 1.4 s (105).
std::vector<Bytes> three_tracks() {
    return {atest::sox_tone(2.0, 440), atest::sox_tone(0.6, 880), atest::sox_tone(1.4, 660)};
}

// Twenty tracks of 15 sectors, each its own tone.
std::vector<Bytes> twenty_tracks() {
    std::vector<Bytes> tracks;
    for (int t = 0; t < 20; ++t) {
        Bytes b;
        for (size_t i = 0; i < 15 * kSector / 4; ++i) {
            double v = 12000 * std::sin(double(i) * (0.02 + 0.01 * t));
            for (int sample : {int(v), int(-v / 2)}) {
                b.push_back(static_cast<unsigned char>(sample & 0xFF));
                b.push_back(static_cast<unsigned char>((sample >> 8) & 0xFF));
            }
        }
        tracks.push_back(b);
    }
    return tracks;
}

// Child: plays tracks [from, to) of the image the setting names (to 0: to the
// end of the disc) and checks where the device then stands.
int play_tracks(int from, int to, const std::string& end_position) {
    HWND window = wtest::top_window();
    if (atest::mci("open cdaudio alias cd shareable").rfind("error", 0) == 0) return 2;
    if (!mci("set cd time format tmsf wait").empty()) return 3;
    std::string command = "play cd from " + std::to_string(from) + ":0:0:0";
    if (to) command += " to " + std::to_string(to);
    if (!mci(command + " notify", window).empty()) return 4;
    if (!atest::wait_for([] { return !wtest::of(MM_MCINOTIFY).empty(); })) return 5;
    if (wtest::of(MM_MCINOTIFY)[0].wp != MCI_NOTIFY_SUCCESSFUL) return 6;
    if (mci("status cd position") != end_position) return 7;
    if (mci("status cd mode") != "stopped") return 8;
    return mci("close cd").empty() ? 0 : 9;
}

// Child: plays the whole disc slowly with a pause on the way; at the end the
// position is the end of the disc, and a new play starts it again.
int play_disc_with_pause() {
    HWND window = wtest::top_window();
    if (mci("open cdaudio alias cd shareable").rfind("error", 0) == 0) return 2;
    mci("set cd time format tmsf");
    if (!mci("play cd notify", window).empty() || mci("status cd mode") != "playing") return 3;
    if (!atest::wait_for([] { return mci("status cd current track") == "2"; })) return 4;
    if (!mci("pause cd").empty() || mci("status cd mode") != "paused") return 5;
    std::string held = mci("status cd position");
    Sleep(150);
    if (mci("status cd position") != held) return 6;
    if (!mci("play cd").empty() || mci("status cd mode") != "playing") return 7;
    if (!atest::wait_for([] { return !wtest::of(MM_MCINOTIFY).empty(); })) return 8;
    if (wtest::of(MM_MCINOTIFY)[0].wp != MCI_NOTIFY_SUCCESSFUL) return 9;
    if (mci("status cd position") != "03:00:01:30") return 10;
    mci("set cd time format msf");
    if (mci("status cd position") != "00:06:00") return 11;
    if (!mci("play cd").empty() || mci("status cd current track") != "1") return 12;
    if (!mci("stop cd wait").empty() || !mci("close cd wait").empty()) return 13;
    return 0;
}

// Child: takes the image's data file away while the disc plays, then puts it
// back.
int take_disc_away(const std::string& bin) {
    HWND window = wtest::top_window();
    if (mci("open cdaudio alias cd shareable").rfind("error", 0) == 0) return 2;
    if (!mci("play cd notify", window).empty()) return 3;
    if (!atest::wait_for([] { return mci("status cd position") != "00:02:00"; })) return 4;
    if (std::rename(bin.c_str(), (bin + ".away").c_str()) != 0) return 5;
    if (!atest::wait_for([] { return !wtest::of(MM_MCINOTIFY).empty(); })) return 6;
    if (wtest::of(MM_MCINOTIFY)[0].wp != MCI_NOTIFY_FAILURE) return 7;
    if (mci("status cd mode") != "not ready") return 8;
    if (mci("status cd media present") != "false") return 9;
    if (mci("status cd number of tracks") != error(MCIERR_DEVICE_NOT_READY)) return 10;
    if (mci("play cd") != error(MCIERR_DEVICE_NOT_READY)) return 11;
    if (std::rename((bin + ".away").c_str(), bin.c_str()) != 0) return 12;
    if (!atest::wait_for([] { return mci("status cd media present") == "true"; }, 5)) return 13;
    if (mci("status cd number of tracks") != "3" || mci("status cd mode") != "stopped") return 14;
    return mci("close cd").empty() ? 0 : 15;
}

const bool g_roles = [] {
    testing_support::register_child_role("cd-play", [](const std::vector<std::string>& a) {
        return a.size() == 3 ? play_tracks(std::stoi(a[0]), std::stoi(a[1]), a[2]) : 1;
    });
    testing_support::register_child_role(
        "cd-pause", [](const std::vector<std::string>&) { return play_disc_with_pause(); });
    testing_support::register_child_role("cd-away", [](const std::vector<std::string>& a) {
        return a.size() == 1 ? take_disc_away(a[0]) : 1;
    });
    return true;
}();

// Bytes that are all zero: 16-bit silence.
bool silent(const Bytes& b, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (b[i]) return false;
    return true;
}

class MciCd : public ::testing::Test {
protected:
    void SetUp() override {
        atest::pump();
        wtest::log().clear();
    }
    void TearDown() override {
        mciSendString("close all", nullptr, 0, nullptr);
        atest::set_cd_image("");
        PlatformTestSetCdDrive(nullptr);
        atest::pump();
    }
    std::string image(const std::vector<Bytes>& tracks) {
        for (const Bytes& t : tracks) EXPECT_FALSE(t.empty()) << "SoX made every tone";
        dir = testing_support::fresh_dir("cd");
        std::string cue = atest::make_cd_image(dir, tracks);
        atest::set_cd_image(cue);
        return cue;
    }
    std::string dir;
};

struct Exchange {
    std::string command, answer;
};

TEST_F(MciCd, TableOfContentsInEveryTimeFormat) {
    image(three_tracks());
    ASSERT_EQ(mci("open cdaudio alias cd shareable").rfind("error", 0), std::string::npos);
    const Exchange exchanges[] = {
        {"status cd time format", "msf"},
        {"status cd media present", "true"},
        {"status cd ready", "true"},
        {"status cd mode", "stopped"},
        {"status cd number of tracks", "3"},
        {"status cd current track", "1"},
        {"status cd position", "00:02:00"},
        {"status cd start position", "00:02:00"},
        {"status cd length", "00:04:00"},
        {"status cd position track 1", "00:02:00"},
        {"status cd position track 2", "00:04:00"},
        {"status cd position track 3", "00:04:45"},
        {"status cd length track 1", "00:02:00"},
        {"status cd length track 2", "00:00:45"},
        {"status cd length track 3", "00:01:30"},
        {"set cd time format tmsf", ""},
        {"status cd time format", "tmsf"},
        {"status cd position", "01:00:00:00"},
        {"status cd position track 2", "02:00:00:00"},
        {"status cd position track 3", "03:00:00:00"},
        {"status cd length track 2", "00:00:45"},
        {"status cd length", "00:04:00"},
        {"seek cd to 2:0:0:30", ""},
        {"status cd position", "02:00:00:30"},
        {"status cd current track", "2"},
        {"seek cd to 3", ""},
        {"status cd position", "03:00:00:00"},
        {"seek cd to end", ""},
        {"status cd position", "03:00:01:30"},
        {"seek cd to start", ""},
        {"status cd position", "01:00:00:00"},
        {"set cd time format milliseconds", ""},
        {"status cd position track 2", "4000"},
        {"status cd length track 2", "600"},
        {"status cd length", "4000"},
        {"seek cd to 4600", ""},
        {"status cd current track", "3"},
        {"set cd time format msf wait", ""},
        {"seek cd to 00:04:44", ""},
        {"status cd current track", "2"},
        {"status cd position", "00:04:44"},
    };
    for (const Exchange& e : exchanges) EXPECT_EQ(mci(e.command), e.answer) << e.command;
}

TEST_F(MciCd, PositionsOffTheDiscAndOtherDevicesCommandsAreRefused) {
    image(three_tracks());
    ASSERT_EQ(mci("open cdaudio alias cd shareable").rfind("error", 0), std::string::npos);
    const Exchange refusals[] = {
        {"status cd length track 4", error(MCIERR_OUTOFRANGE)},
        {"status cd position track 0", error(MCIERR_OUTOFRANGE)},
        {"seek cd to 00:01:74", error(MCIERR_OUTOFRANGE)},
        {"seek cd to 00:06:01", error(MCIERR_OUTOFRANGE)},
        {"play cd from 1:99", error(MCIERR_OUTOFRANGE)},
        {"play cd from 00:05:00 to 00:04:00", error(MCIERR_OUTOFRANGE)},
        {"play cd from 1:2:3:4", error(MCIERR_BAD_INTEGER)},
        {"play cd from 1:256", error(MCIERR_OUTOFRANGE)},
        {"set cd time format bytes", error(MCIERR_BAD_TIME_FORMAT)},
        {"set cd channels 2", error(MCIERR_UNSUPPORTED_FUNCTION)},
        {"record cd", error(MCIERR_UNSUPPORTED_FUNCTION)},
        {"save cd x.wav", error(MCIERR_UNSUPPORTED_FUNCTION)},
        {"status cd bitspersample", error(MCIERR_UNSUPPORTED_FUNCTION)},
        {"open cdaudio alias cd shareable", error(MCIERR_DUPLICATE_ALIAS)},
        {"set cd time format tmsf", ""},
        {"seek cd to 4", error(MCIERR_OUTOFRANGE)},
        {"seek cd to 0", error(MCIERR_OUTOFRANGE)},
        {"play cd from 3 to 2", error(MCIERR_OUTOFRANGE)},
        {"play cd from 2 to 2", ""},
        {"status cd mode", "stopped"},
        {"status cd position", "02:00:00:00"},
    };
    for (const Exchange& e : refusals) EXPECT_EQ(mci(e.command), e.answer) << e.command;
}

TEST_F(MciCd, TwentyTracksAreCountedAndAddressed) {
    image(twenty_tracks());
    ASSERT_EQ(mci("open cdaudio alias cd shareable").rfind("error", 0), std::string::npos);
    const Exchange exchanges[] = {
        {"status cd number of tracks", "20"},
        {"status cd position track 20", "00:05:60"},
        {"status cd length track 20", "00:00:15"},
        {"status cd length track 19", "00:00:15"},
        {"status cd length", "00:04:00"},
        {"set cd time format tmsf", ""},
        {"status cd position track 19", "19:00:00:00"},
        {"seek cd to 20:0:0:14", ""},
        {"status cd current track", "20"},
        {"status cd position", "20:00:00:14"},
        {"seek cd to 21", error(MCIERR_OUTOFRANGE)},
    };
    for (const Exchange& e : exchanges) EXPECT_EQ(mci(e.command), e.answer) << e.command;
}

TEST_F(MciCd, PlayedTrackReachesTheOutputExactlyInLittleEndianOrder) {
    struct Case {
        bool twenty;
        int from, to;  // tracks; to 0: the end of the disc
        const char* end_position;
    } cases[] = {
        {false, 2, 3, "03:00:00:00"},
        {false, 3, 0, "03:00:01:30"},
        {true, 19, 20, "20:00:00:00"},
        {true, 20, 0, "20:00:00:15"},
    };
    for (const Case& c : cases) {
        std::vector<Bytes> tracks = c.twenty ? twenty_tracks() : three_tracks();
        image(tracks);
        atest::DiskAudio audio{"", dir + "/output.raw", 0};
        ASSERT_EQ(
            atest::run_with_disk_audio(
                "cd-play", {std::to_string(c.from), std::to_string(c.to), c.end_position}, audio),
            0)
            << c.from;
        const Bytes& track = tracks[size_t(c.from - 1)];
        Bytes played = testing_support::read_file(audio.out);
        long at = atest::find(played, track);
        ASSERT_GE(at, 0) << c.from << ": the track's samples reached the output";
        EXPECT_TRUE(silent(played, 0, size_t(at))) << "nothing before the track";
        EXPECT_TRUE(silent(played, size_t(at) + track.size(), played.size()))
            << "nothing after the track";
        // Read as little-endian the left channel is a smooth tone of the
        // level SoX made it; swapped bytes would jump all over the range.
        int peak = 0, jump = 0;
        for (size_t i = size_t(at); i + 4 < size_t(at) + track.size(); i += 4) {
            int now = int16_t(played[i] | played[i + 1] << 8);
            int next = int16_t(played[i + 4] | played[i + 5] << 8);
            peak = std::max(peak, std::abs(now));
            jump = std::max(jump, std::abs(next - now));
        }
        EXPECT_GT(peak, 10000) << c.from;
        EXPECT_LT(peak, 17000) << c.from;
        EXPECT_LT(jump, 3000) << c.from;
    }
}

TEST_F(MciCd, PausedPlayHoldsItsPositionAndEndsAtTheEndOfTheDisc) {
    image(three_tracks());
    atest::DiskAudio audio{"", dir + "/output.raw", 5};
    EXPECT_EQ(atest::run_with_disk_audio("cd-pause", {}, audio), 0);
}

TEST_F(MciCd, DiscTakenAwayWhilePlayingStopsItAndComesBack) {
    image(three_tracks());
    atest::DiskAudio audio{"", dir + "/output.raw", 10};
    EXPECT_EQ(atest::run_with_disk_audio("cd-away", {dir + "/disc.bin"}, audio), 0);
}

TEST_F(MciCd, PlayerSeekStripArithmeticPlaysFromInsideTheTrack) {
    image(three_tracks());
    HWND window = wtest::top_window();
    ASSERT_EQ(mci("open cdaudio alias cd shareable").rfind("error", 0), std::string::npos);
    // The player's strip: the track's start and length in whole seconds, and
    // a target part of the way in, played from in msf.
    ASSERT_EQ(mci("set cd time format msf"), "");
    std::string length = mci("status cd length track 1"), start = mci("status cd position track 1");
    int l = std::stoi(length.substr(0, 2)) * 60 + std::stoi(length.substr(3, 2));
    int s = std::stoi(start.substr(0, 2)) * 60 + std::stoi(start.substr(3, 2));
    ASSERT_EQ(l, 2);
    ASSERT_EQ(s, 2);
    int target = s + int(120 * l * 0.006451613);
    char play[64];
    std::snprintf(play, sizeof(play), "play cd from %d:%d:00 notify", target / 60, target % 60);
    ASSERT_EQ(mci("set cd time format msf wait"), "");
    ASSERT_EQ(mci(play, window), "");
    EXPECT_EQ(mci("status cd mode"), "playing");
    EXPECT_EQ(mci("status cd current track"), "1");
    ASSERT_TRUE(atest::wait_for([&] { return mci("status cd position") > "00:03:10"; }));
    ASSERT_EQ(mci("stop cd wait"), "");
    std::string stopped = mci("status cd position");
    EXPECT_GT(stopped, "00:03:10");
    EXPECT_LT(stopped, "00:06:00");
    Sleep(50);
    EXPECT_EQ(mci("status cd position"), stopped) << "a stopped disc stays where it stopped";
    atest::pump();
    auto notices = wtest::of(MM_MCINOTIFY, window);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].wp, WPARAM(MCI_NOTIFY_ABORTED));
    DestroyWindow(window);
}

TEST_F(MciCd, CommandRecordsOpenByNumberAndAnswerPackedPositions) {
    image(three_tracks());
    HWND window = wtest::top_window();
    MCI_OPEN_PARMS open{};
    open.lpstrDeviceType = reinterpret_cast<LPCSTR>(uintptr_t(MCI_DEVTYPE_CD_AUDIO));
    open.lpstrAlias = "disc";
    ASSERT_EQ(mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE_ID | MCI_OPEN_ALIAS | MCI_OPEN_SHAREABLE,
                             DWORD_PTR(&open)),
              0u);
    MCIDEVICEID id = open.wDeviceID;
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    ASSERT_EQ(mciSendCommand(id, MCI_SET, MCI_SET_TIME_FORMAT, DWORD_PTR(&set)), 0u);
    struct Ask {
        DWORD flags, item, track;
        DWORD_PTR answer;
    } asks[] = {
        {MCI_STATUS_ITEM, MCI_STATUS_NUMBER_OF_TRACKS, 0, 3},
        {MCI_STATUS_ITEM | MCI_TRACK, MCI_STATUS_POSITION, 3, MCI_MAKE_TMSF(3, 0, 0, 0)},
        {MCI_STATUS_ITEM | MCI_TRACK, MCI_STATUS_LENGTH, 3, MCI_MAKE_MSF(0, 1, 30)},
        {MCI_STATUS_ITEM, MCI_STATUS_MODE, 0, MCI_MODE_STOP},
        {MCI_STATUS_ITEM, MCI_STATUS_MEDIA_PRESENT, 0, TRUE},
        {MCI_STATUS_ITEM, MCI_STATUS_TIME_FORMAT, 0, MCI_FORMAT_TMSF},
    };
    for (const Ask& a : asks) {
        MCI_STATUS_PARMS status{};
        status.dwItem = a.item;
        status.dwTrack = a.track;
        ASSERT_EQ(mciSendCommand(id, MCI_STATUS, a.flags, DWORD_PTR(&status)), 0u) << a.item;
        EXPECT_EQ(status.dwReturn, a.answer) << a.item;
    }
    MCI_PLAY_PARMS play{};
    play.dwCallback = DWORD_PTR(window);
    play.dwFrom = MCI_MAKE_TMSF(2, 0, 0, 0);
    play.dwTo = MCI_MAKE_TMSF(2, 0, 0, 20);
    ASSERT_EQ(
        mciSendCommand(id, MCI_PLAY, MCI_FROM | MCI_TO | MCI_NOTIFY | MCI_WAIT, DWORD_PTR(&play)),
        0u);
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_POSITION;
    ASSERT_EQ(mciSendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, DWORD_PTR(&status)), 0u);
    EXPECT_EQ(status.dwReturn, DWORD_PTR(MCI_MAKE_TMSF(2, 0, 0, 20))) << "a waited play is over";
    atest::pump();
    auto notices = wtest::of(MM_MCINOTIFY, window);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].wp, WPARAM(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(notices[0].lp, LPARAM(id));
    ASSERT_EQ(mciSendCommand(id, MCI_CLOSE, MCI_WAIT, 0), 0u);
    DestroyWindow(window);
}

TEST_F(MciCd, WithoutDriveOrReadableImageOpenFailsClearly) {
    std::string folder = testing_support::fresh_dir("cd-bad");
    std::string garbage = folder + "/garbage.cue";
    testing_support::write_file(garbage, {'n', 'o', 't', ' ', 'a', ' ', 'c', 'u', 'e'});
    std::string good = atest::make_cd_image(folder, three_tracks());
    struct Case {
        std::string setting, drive;
        std::string answer;
    } cases[] = {
        {"", "", error(MCIERR_DEVICE_NOT_INSTALLED)},
        {folder + "/missing.cue", "", error(MCIERR_DEVICE_NOT_READY)},
        {garbage, "", error(MCIERR_DEVICE_NOT_READY)},
        {"", good, ""},  // the first drive, which libcdio reads like any disc
    };
    for (const Case& c : cases) {
        atest::set_cd_image(c.setting);
        PlatformTestSetCdDrive(c.drive.c_str());
        std::string opened = mci("open cdaudio alias cd shareable");
        if (!c.answer.empty()) {
            EXPECT_EQ(opened, c.answer) << c.setting;
            EXPECT_EQ(mci("status cd mode"), error(MCIERR_INVALID_DEVICE_NAME));
            continue;
        }
        EXPECT_EQ(opened.rfind("error", 0), std::string::npos) << opened;
        EXPECT_EQ(mci("status cd number of tracks"), "3");
        EXPECT_EQ(mci("close cd"), "");
    }
    char text[256];
    ASSERT_TRUE(mciGetErrorString(MCIERR_DEVICE_NOT_INSTALLED, text, sizeof(text)));
    EXPECT_NE(std::string(text).find("CD"), std::string::npos) << text;
}

}  // namespace
