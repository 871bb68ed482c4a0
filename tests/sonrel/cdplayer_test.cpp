// The CD player in a running shell, on disc images built here: its buttons,
// its displays in every mode, the track buttons and the strip driving the
// device, no device at all, a disc taken out while it plays, and the sound
// of a track reaching SDL's disk output unchanged.
#include "cdplayer.h"

#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sonrel/settings.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../platform/audio_test_support.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using atest::Bytes;
using atest::mci;

namespace {

constexpr COLORREF kBlue = 0xBF4F1F;    // a track button's face, 0x00BBGGRR
constexpr COLORREF kYellow = 0x20C0E8;  // a lit one's
constexpr COLORREF kField = 0x120E0C;   // the track field where no button is

// 65 s (4875 frames), 0.6 s (45) and 12 s (900): minutes and a track under a
// second.
std::vector<Bytes> three_tracks() {
    return {atest::sox_tone(65.0, 440), atest::sox_tone(0.6, 880), atest::sox_tone(12.0, 660)};
}

// Twenty tracks of 15 frames each.
std::vector<Bytes> twenty_tracks() {
    std::vector<Bytes> tracks;
    for (int t = 0; t < 20; ++t)
        tracks.push_back(Bytes(15 * 2352, static_cast<unsigned char>(t + 1)));
    return tracks;
}

std::string make_image(const std::vector<Bytes>& tracks) {
    for (const Bytes& t : tracks) EXPECT_FALSE(t.empty()) << "SoX made every tone";
    return atest::make_cd_image(testing_support::fresh_dir("disc"), tracks);
}

Settings player_settings(const std::string& image) {
    static std::string kept;
    kept = image;
    return {{SET_CDPLAYER_DEVICE.path, kept.c_str()}, {SET_BOOLEAN_CDPLAYERVISIBLE.path, "1"}};
}

void click(int x, int y) {
    PlatformSimulateMouse(g_cdPlayer.player, WM_LBUTTONDOWN, x, y, 0);
    PlatformSimulateMouse(g_cdPlayer.player, WM_LBUTTONUP, x, y, 0);
}

COLORREF button_colour(int n) {
    POINT o = cdplayer::button_origin(n);
    return PlatformWindowPixel(g_cdPlayer.player, o.x + 3, o.y + 16);
}

void repaint() {
    InvalidateRect(g_cdPlayer.player, nullptr, TRUE);
    UpdateWindow(g_cdPlayer.player);
}

std::string time_text() {
    std::lock_guard lock(g_cdPlayer.display);
    return g_cdPlayer.timeText;
}

std::string track_text() {
    std::lock_guard lock(g_cdPlayer.display);
    return g_cdPlayer.trackText;
}

std::string notice() {
    std::lock_guard lock(g_cdPlayer.display);
    return g_cdPlayer.notice;
}

// What the device says in tmsf.
std::string tmsf(const char* query) {
    mci("set cd time format tmsf");
    return mci(query);
}

struct CdPlayer : ::testing::Test {
    void TearDown() override {
        atest::set_cd_image("");
        PlatformTestSetCdDrive(nullptr);
    }
};

}  // namespace

TEST_F(CdPlayer, ShowsOneButtonPerTrackAndTheTransport) {
    Shell s(player_settings(make_image(three_tracks())));
    ASSERT_TRUE(IsWindowVisible(g_cdPlayer.player));
    EXPECT_EQ(g_cdPlayer.trackCount, 3);
    cdplayer::end_worker();  // no blinking while the pixels are read
    repaint();
    for (int n = 1; n <= 3; ++n)  // the current track may be lit in this cycle
        EXPECT_EQ(button_colour(n), g_cdPlayer.lit[n] ? kYellow : kBlue) << n;
    EXPECT_EQ(button_colour(4), kField);
    EXPECT_EQ(button_colour(19), kField);
    RECT rc;
    GetClientRect(g_cdPlayer.player, &rc);
    EXPECT_EQ(rc.right, 321);
    EXPECT_EQ(rc.bottom, 126);
    EXPECT_EQ(child_rect(g_cdPlayer.player).left, 300);
    EXPECT_EQ(child_rect(g_cdPlayer.marker).left, 150);
    EXPECT_EQ(child_rect(g_cdPlayer.marker).top, 110);

    cdplayer::indicate_track(2);
    EXPECT_EQ(button_colour(2), kYellow) << "the current track lights";
    cdplayer::indicate_track(2);
    EXPECT_EQ(button_colour(2), kBlue) << "and goes out on the next cycle";
}

TEST_F(CdPlayer, TransportButtonsAndTheStripMoveThePosition) {
    Shell s(player_settings(make_image(three_tracks())));
    ASSERT_EQ(g_cdPlayer.trackCount, 3);
    click(250, 90);  // play
    EXPECT_EQ(mci("status cd mode"), "playing");
    EXPECT_EQ(tmsf("status cd current track"), "1");
    click(200, 90);  // stop
    EXPECT_EQ(mci("status cd mode"), "stopped");
    click(160, 90);  // previous from track 1: the last track
    EXPECT_EQ(mci("status cd mode"), "playing");
    EXPECT_EQ(tmsf("status cd current track"), "3");
    click(290, 90);  // next from the last track: the first
    EXPECT_EQ(tmsf("status cd current track"), "1");
    click(290, 90);
    EXPECT_EQ(tmsf("status cd current track"), "2");

    click(150, 115);  // the strip's left end: track 2 from its start
    EXPECT_EQ(tmsf("status cd current track"), "2");
    EXPECT_EQ(tmsf("status cd position").substr(0, 8), "02:00:00");
    click(305, 115);  // its right end: the next track's start
    EXPECT_EQ(tmsf("status cd current track"), "3");
    click(200, 90);
    mci("set cd time format msf");
    EXPECT_LT(mci("status cd position"), "01:07:60") << "near track 3's start at 01:07:45";

    click(228, 115);  // the middle of track 3: 6 s in
    click(200, 90);
    std::string at = tmsf("status cd position");
    EXPECT_EQ(at.substr(0, 7), "03:00:0") << at;
    EXPECT_GE(cdplayer::field(at, 6), 5) << at;
    EXPECT_LE(cdplayer::field(at, 6), 7) << at;
}

TEST_F(CdPlayer, TrackButtonLightsWhilePressedAndPlaysItsTrack) {
    Shell s(player_settings(make_image(three_tracks())));
    cdplayer::end_worker();
    repaint();
    POINT o = cdplayer::button_origin(2);
    PlatformSimulateMouse(g_cdPlayer.player, WM_LBUTTONDOWN, o.x + 10, o.y + 10, 0);
    EXPECT_EQ(button_colour(2), kYellow);
    EXPECT_EQ(mci("status cd mode"), "stopped") << "nothing plays before the release";
    PlatformSimulateMouse(g_cdPlayer.player, WM_LBUTTONUP, o.x + 10, o.y + 10, 0);
    EXPECT_EQ(button_colour(2), kBlue);
    EXPECT_EQ(tmsf("status cd current track"), "2");
    EXPECT_EQ(mci("status cd mode"), "playing");
}

TEST_F(CdPlayer, DisplayShowsEveryTimeModeAndBothTrackModes) {
    Shell s(player_settings(make_image(three_tracks())));
    cdplayer::end_worker();
    // 62 s into track 1 (the disc at 01:04 with its lead-in), stopped.
    ASSERT_EQ(tmsf("seek cd to 1:1:2:0"), "");
    struct Case {
        int mode;
        const char* shown;
    } cases[] = {
        {CD_TIME_OF_TRACK, "01:02"},   {CD_TIME_ON_DISK, "01:04"},   {CD_LENGTH_OF_DISK, "01:17"},
        {CD_LENGTH_OF_TRACK, "01:05"}, {CD_START_OF_TRACK, "00:02"}, {CD_LEFT_ON_TRACK, "00:03"},
        {CD_LEFT_ON_DISK, "00:15"},
    };
    for (const Case& c : cases) {
        SendMessage(g_cdPlayer.player, WM_COMMAND, c.mode, 0);
        cdplayer::refresh_display();
        EXPECT_EQ(time_text(), c.shown) << c.mode;
        EXPECT_EQ(track_text(), "01");
    }
    SendMessage(g_cdPlayer.player, WM_COMMAND, CD_SHOW_NUMBER_OF_TRACKS, 0);
    cdplayer::refresh_display();
    EXPECT_EQ(track_text(), "03");
    SendMessage(g_cdPlayer.player, WM_COMMAND, CD_SHOW_CURRENT_TRACK, 0);
    ASSERT_EQ(tmsf("seek cd to 2"), "");
    SendMessage(g_cdPlayer.player, WM_COMMAND, CD_LEFT_ON_TRACK, 0);
    cdplayer::refresh_display();
    EXPECT_EQ(track_text(), "02");
    EXPECT_EQ(time_text(), "00:00") << "track 2 is shorter than a second";
    atest::pump();
    EXPECT_EQ(child_rect(g_cdPlayer.marker).left, 150) << "the marker at the track's start";
    ASSERT_EQ(tmsf("seek cd to 3:0:6:0"), "");
    cdplayer::refresh_display();
    EXPECT_EQ(time_text(), "00:06");
    atest::pump();
    EXPECT_EQ(child_rect(g_cdPlayer.marker).left, 225) << "halfway along the strip";
}

TEST_F(CdPlayer, ModeMenusOfferTheirItemsAndSetTheMode) {
    Shell s(player_settings(make_image(three_tracks())));
    testing_support::QuestionRecorder rec;
    UINT def = 0;
    std::vector<UINT> checked;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        HMENU menu = static_cast<HMENU>(q->data);
        def = GetMenuDefaultItem(menu, FALSE, 0);
        checked.clear();
        for (UINT id : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 11u, 12u})
            if (UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
                state != UINT(-1) && (state & MF_CHECKED))
                checked.push_back(id);
        return std::string(q->text).find("Left on disk") != std::string::npos ? 7 : 12;
    };
    click(230, 70);
    ASSERT_TRUE(serve_until([] { return g_cdPlayer.timeMode == CD_LEFT_ON_DISK; }));
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text,
              "1\tTime of track\n2\tTime on disk\n4\tLength of current track\n3\tLength of "
              "disk\n5\tStart of track\n6\tLeft on current track\n7\tLeft on disk");
    EXPECT_EQ(def, 1u);
    EXPECT_EQ(checked, std::vector<UINT>{1});
    click(300, 70);
    ASSERT_TRUE(serve_until([] { return g_cdPlayer.trackMode == CD_SHOW_NUMBER_OF_TRACKS; }));
    ASSERT_EQ(rec.asked.size(), 2u);
    EXPECT_EQ(rec.asked[1].text, "11\tCurrent track\n12\tNumber of tracks on disk");
    EXPECT_EQ(checked, std::vector<UINT>{11});
    click(230, 70);
    EXPECT_EQ(checked, std::vector<UINT>{7}) << "the current mode is checked";
}

TEST_F(CdPlayer, TwentyTracksShowEighteenButtonsAndTheMoreButton) {
    Shell s(player_settings(make_image(twenty_tracks())));
    ASSERT_EQ(g_cdPlayer.trackCount, 20);
    cdplayer::end_worker();
    repaint();
    EXPECT_EQ(button_colour(18), kBlue);
    EXPECT_EQ(button_colour(19), kBlue) << "the more button in the 19th place";
    POINT o = cdplayer::button_origin(18);
    PlatformSimulateMouse(g_cdPlayer.player, WM_LBUTTONDOWN, o.x + 10, o.y + 10, 0);
    PlatformSimulateMouse(g_cdPlayer.player, WM_LBUTTONUP, o.x + 10, o.y + 10, 0);
    click(290, 90);
    EXPECT_EQ(tmsf("status cd current track"), "19") << "reached with next";
    cdplayer::indicate_track(19);
    EXPECT_EQ(button_colour(19), kYellow) << "lit while track 19 plays";
    click(290, 90);
    click(290, 90);
    EXPECT_EQ(tmsf("status cd current track"), "1") << "round the disc";
    EXPECT_EQ(button_colour(19), kBlue) << "the transport puts it out";
}

TEST_F(CdPlayer, WithoutDeviceItSaysSoOnceAndItsButtonsDoNothing) {
    PlatformTestSetCdDrive("");
    testing_support::QuestionRecorder rec;
    Shell s(Settings{{SET_BOOLEAN_CDPLAYERVISIBLE.path, "1"}});
    EXPECT_FALSE(g_cdPlayer.deviceOpen);
    EXPECT_EQ(g_cdPlayer.trackCount, 0);
    ASSERT_TRUE(serve_until([] { return notice() == CD_NO_DRIVE_TEXT; }));
    for (POINT p : std::vector<POINT>{{250, 90},
                                      {160, 90},
                                      {290, 90},
                                      {200, 90},
                                      {20, 35},
                                      {150, 40},
                                      {200, 115},
                                      {300, 10}})
        click(int(p.x), int(p.y));
    for (int i = 0; i < 20; ++i) PlatformProcessEvents();
    EXPECT_TRUE(rec.asked.empty()) << rec.asked[0].text;
    EXPECT_EQ(ActiveDocument(), nullptr) << "record made no document";
    EXPECT_EQ(notice(), CD_NO_DRIVE_TEXT);
    EXPECT_NE(mci("status cd mode").rfind("error", 0), std::string::npos);
}

TEST_F(CdPlayer, DiscTakenOutWhilePlayingStopsItAndComesBack) {
    std::string cue = make_image(three_tracks());
    std::string bin = cue.substr(0, cue.rfind('/')) + "/disc.bin";
    Shell s(player_settings(cue));
    click(250, 90);
    ASSERT_EQ(mci("status cd mode"), "playing");
    ASSERT_EQ(std::rename(bin.c_str(), (bin + ".away").c_str()), 0);
    EXPECT_TRUE(
        serve_until([] { return g_cdPlayer.trackCount == 0 && notice() == CD_NO_DISC_TEXT; }));
    EXPECT_EQ(mci("status cd mode"), "not ready");
    EXPECT_EQ(child_rect(g_cdPlayer.marker).left, 150) << "the marker back at the strip's start";
    click(250, 90);
    EXPECT_EQ(mci("status cd mode"), "not ready") << "play does nothing without a disc";
    ASSERT_EQ(std::rename((bin + ".away").c_str(), bin.c_str()), 0);
    EXPECT_TRUE(serve_until([] { return g_cdPlayer.trackCount == 3 && notice().empty(); }));
    EXPECT_EQ(mci("status cd mode"), "stopped");
}

TEST_F(CdPlayer, ReinitialiseAreaOpensTheDeviceAgain) {
    PlatformTestSetCdDrive("");
    Shell s(Settings{{SET_BOOLEAN_CDPLAYERVISIBLE.path, "1"}});
    ASSERT_FALSE(g_cdPlayer.deviceOpen);
    atest::set_cd_image(make_image(three_tracks()));
    click(300, 10);
    EXPECT_TRUE(g_cdPlayer.deviceOpen);
    EXPECT_EQ(g_cdPlayer.trackCount, 3);
    EXPECT_TRUE(serve_until([] { return notice().empty(); }));
}

TEST_F(CdPlayer, RecordMakesADocumentFirstAndPassesTheDiscPosition) {
    Shell s(player_settings(make_image(three_tracks())));
    testing_support::QuestionRecorder rec;
    std::string level;  // what the level check shows of the disc
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::strncmp(q->text, "BEFORERECORDCD", 14) == 0)
            level = testing_support::item_text(static_cast<HWND>(q->data), 103);
        return IDCANCEL;
    };
    ASSERT_EQ(tmsf("seek cd to 3:0:5:0"), "");
    ASSERT_EQ(ActiveDocument(), nullptr);
    click(150, 32);
    HWND doc = ActiveDocument();
    EXPECT_NE(doc, nullptr) << "a new document to record into";
    ASSERT_FALSE(rec.asked.empty());
    EXPECT_EQ(level, "Track 3, Position 00:05");
    click(150, 32);
    EXPECT_EQ(ActiveDocument(), doc) << "a usable document is recorded into";
    size_t before = rec.asked.size();
    click(60, 115);
    ASSERT_EQ(rec.asked.size(), before + 1) << "the options button";
    EXPECT_EQ(rec.asked.back().owner, s.frame);
}

TEST_F(CdPlayer, DestroyingThePlayerClosesTheDevice) {
    Shell s(player_settings(make_image(three_tracks())));
    EXPECT_EQ(mci("status cd mode"), "stopped");
    DestroyWindow(g_cdPlayer.player);
    EXPECT_EQ(g_cdPlayer.thread, nullptr);
    EXPECT_EQ(mci("status cd mode"), "error " + std::to_string(MCIERR_INVALID_DEVICE_NAME));
}

namespace {

// Child: a shell whose player plays track 2 (to the end of the disc) to SDL's
// disk output.
int play_track_two(const std::string& cue) {
    Shell s(player_settings(cue));
    if (g_cdPlayer.trackCount != 3) return 2;
    POINT o = cdplayer::button_origin(2);
    PlatformSimulateMouse(g_cdPlayer.player, WM_LBUTTONDOWN, o.x + 10, o.y + 10, 0);
    PlatformSimulateMouse(g_cdPlayer.player, WM_LBUTTONUP, o.x + 10, o.y + 10, 0);
    if (mci("status cd mode") != "playing") return 3;
    if (!serve_until([] { return mci("status cd mode") == "stopped"; })) return 4;
    return 0;
}

const bool kRoles = [] {
    testing_support::register_child_role(
        "cdplayer-track-two",
        [](const std::vector<std::string>& a) { return a.size() == 1 ? play_track_two(a[0]) : 1; });
    return true;
}();

}  // namespace

TEST_F(CdPlayer, APlayedTrackReachesTheOutputUnchanged) {
    std::vector<Bytes> tracks = {atest::sox_tone(2.0, 440), atest::sox_tone(0.6, 880),
                                 atest::sox_tone(1.4, 660)};
    std::string cue = make_image(tracks);
    std::string dir = cue.substr(0, cue.rfind('/'));
    atest::DiskAudio audio{"", dir + "/output.raw", 0};
    ASSERT_EQ(atest::run_with_disk_audio("cdplayer-track-two", {cue}, audio), 0);
    Bytes played = testing_support::read_file(audio.out);
    long at = atest::find(played, tracks[1]);
    ASSERT_GE(at, 0) << "track 2's samples reached the output";
    for (long i = 0; i < at; ++i) ASSERT_EQ(played[size_t(i)], 0) << "nothing before it";
    long third = atest::find(played, tracks[2]);
    EXPECT_GT(third, at) << "the disc plays on to its end";
    EXPECT_EQ(atest::find(played, Bytes(tracks[0].begin(), tracks[0].begin() + 4096)), -1)
        << "track 1 did not play";
}
