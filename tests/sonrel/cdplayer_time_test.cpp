// The CD player's arithmetic on device answers and where its clicks land.
#include <gtest/gtest.h>

#include "cdplayer.h"

using namespace cdplayer;

TEST(CdPlayerAnswers, TwoDigitFieldsAreReadAtTheirPositions) {
    EXPECT_EQ(field("12:34:56:07", 0), 12);
    EXPECT_EQ(field("12:34:56:07", 3), 34);
    EXPECT_EQ(field("12:34:56:07", 6), 56);
    EXPECT_EQ(field("3", 0), 3) << "a track number alone";
    EXPECT_EQ(field("", 0), 0) << "a failed query reads as 0";
    EXPECT_EQ(field("12:3", 3), 3);
    EXPECT_EQ(field("12:34", 6), 0);
    EXPECT_EQ(msf_frames("01:02:03"), (62 * 75) + 3);
    EXPECT_EQ(msf_frames(""), 0);
    EXPECT_EQ(first_five("01:02:03"), "01:02");
    EXPECT_EQ(first_five("1:2"), "00:00");
    EXPECT_EQ(minutes_seconds(62 * 75 + 74), "01:02") << "seconds are truncated";
    EXPECT_EQ(minutes_seconds(-75), "00:00");
}

TEST(CdPlayerAnswers, EveryTimeModeShowsItsValue) {
    // Track from 03:10:20 for 04:05:50, the disc from 00:02:00 for 42:30:00,
    // the position at 05:20:10: 9740 frames into the track.
    const Readings r{"05:20:10", "03:10:20", "04:05:50", "42:30:00", "00:02:00"};
    struct Case {
        int mode;
        const char* shown;
    } cases[] = {
        {CD_TIME_OF_TRACK, "02:09"},   {CD_TIME_ON_DISK, "05:20"},   {CD_LENGTH_OF_DISK, "42:30"},
        {CD_LENGTH_OF_TRACK, "04:05"}, {CD_START_OF_TRACK, "03:10"}, {CD_LEFT_ON_TRACK, "01:55"},
        {CD_LEFT_ON_DISK, "37:11"},
    };
    for (const Case& c : cases) EXPECT_EQ(time_text(c.mode, r), c.shown) << c.mode;

    Readings atStart = r;
    atStart.position = atStart.trackStart;
    EXPECT_EQ(time_text(CD_LEFT_ON_TRACK, atStart), "04:05") << "the track's length at its start";
    EXPECT_EQ(time_text(CD_TIME_OF_TRACK, atStart), "00:00");
    Readings atDiscStart = r;
    atDiscStart.position = "00:02:00";
    EXPECT_EQ(time_text(CD_LEFT_ON_DISK, atDiscStart), "42:30")
        << "the disc's length at its start: the lead-in is not counted";
    Readings past = r;
    past.position = "09:00:00";
    EXPECT_EQ(time_text(CD_LEFT_ON_TRACK, past), "00:00") << "never below zero";
    for (int mode = 1; mode <= 7; ++mode)
        EXPECT_EQ(time_text(mode, Readings{}), "00:00") << "failed queries, mode " << mode;
}

TEST(CdPlayerAnswers, MarkerAndSeekStripSpanTheTrack) {
    const long start = 345, length = 900;
    struct Marker {
        long position;
        int x;
    } markers[] = {{345, 150}, {345 + 450, 225}, {345 + 900, 300}, {345 + 2000, 300}, {0, 150}};
    for (const Marker& m : markers)
        EXPECT_EQ(marker_x(m.position, start, length), m.x) << m.position;
    EXPECT_EQ(marker_x(500, 345, 0), 150) << "an empty track divides by nothing";
    EXPECT_EQ(marker_x(372, 345, 45), 240) << "a track under a second is measured in frames";

    EXPECT_EQ(seek_target(0, start, length), start) << "the strip's left end: the track's start";
    EXPECT_EQ(seek_target(155, start, length), start + length) << "its right end: the next start";
    EXPECT_EQ(seek_target(31, start, length), start + 180);
    EXPECT_EQ(seek_target(100, 345, 45), 345 + 29);
}

TEST(CdPlayerLayout, ClicksLandWhereThePlayerDrawsItsParts) {
    struct Case {
        int x, y, tracks;
        HitKind kind;
        int value;  // track or seek offset
    } cases[] = {
        {20, 35, 3, HIT_TRACK, 1},       {11, 26, 3, HIT_TRACK, 1},
        {10, 35, 3, HIT_NONE, 0},  // on the cell's edge: not strictly inside
        {55, 30, 3, HIT_TRACK, 3},       {50, 30, 3, HIT_NONE, 0},  // between buttons 2 and 3
        {75, 30, 3, HIT_NONE, 0},  // button 4 is not drawn for three tracks
        {75, 30, 4, HIT_TRACK, 4},       {55, 100, 20, HIT_TRACK, 18},
        {75, 95, 20, HIT_NONE, 0},  // the "more" button starts nothing
        {291, 19, 3, HIT_REINIT, 0},     {290, 10, 3, HIT_NONE, 0},
        {148, 82, 3, HIT_PREVIOUS, 0},   {187, 105, 3, HIT_PREVIOUS, 0},
        {188, 90, 3, HIT_NONE, 0},       {189, 90, 3, HIT_STOP, 0},
        {250, 90, 3, HIT_PLAY, 0},       {309, 90, 3, HIT_NEXT, 0},
        {250, 81, 3, HIT_NONE, 0},       {191, 61, 3, HIT_TIME_MENU, 0},
        {269, 79, 3, HIT_TIME_MENU, 0},  {271, 70, 3, HIT_TRACK_MENU, 0},
        {320, 70, 3, HIT_TRACK_MENU, 0}, {20, 105, 3, HIT_OPTIONS, 0},
        {100, 125, 3, HIT_OPTIONS, 0},   {135, 25, 3, HIT_RECORD, 0},
        {180, 40, 3, HIT_RECORD, 0},     {150, 108, 3, HIT_SEEK, 0},
        {305, 122, 3, HIT_SEEK, 155},    {228, 115, 3, HIT_SEEK, 78},
        {306, 115, 3, HIT_NONE, 0},
    };
    for (const Case& c : cases) {
        Hit hit = hit_test(c.x, c.y, c.tracks);
        EXPECT_EQ(hit.kind, c.kind) << c.x << "," << c.y;
        const int value = c.kind == HIT_TRACK ? hit.track : c.kind == HIT_SEEK ? hit.offset : 0;
        EXPECT_EQ(value, c.value) << c.x << "," << c.y;
    }
    EXPECT_EQ(button_origin(1).x, 10);
    EXPECT_EQ(button_origin(1).y, 25);
    EXPECT_EQ(button_origin(19).x, 70) << "the more button takes the 19th place";
    EXPECT_EQ(button_origin(19).y, 85);
}
