// The amplitude effects on documents: the settings they read, the mark or the
// whole data, the undo record they leave, and the sample routines other parts
// of the system call.
#include <gtest/gtest.h>
#include <sonrel/effects.h>

#include "effects_fixture.h"

namespace {

using namespace fxtest;
using wavtest::data_of;
using wavtest::Format;
using wavtest::info_of;
using wavtest::make_document;
using wavtest::set_mark;
using wavtest::undo_of;

const Format kMono8{1, 11025, 8};
const Format kStereo8{2, 11025, 8};
const Format kStereo16{2, 22050, 16};

struct Session {
    wavtest::Frame docs;
    RecordingFrame rf;
    HWND doc(const Format& fmt, const Bytes& data) {
        return rf.doc = make_document(docs, fmt, data);
    }
    DWORD run(LPTHREAD_START_ROUTINE proc) { return run_operation(proc, rf.frame).exitCode; }
};

TEST(EffectsVolume, ReadsItsPercentageAndWorksOnTheMark) {
    Session r;
    HWND d = r.doc(kStereo16, le16({-3, 3, 20000, -20000, 7, 7}));
    {
        Setting half("Sonrel\\Settings\\Filters\\Volume", "50", "200");
        set_mark(d, 0, 4);
        EXPECT_EQ(r.run(ChangeVolume), 1u);
    }
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{-1, 1, 20000, -20000, 7, 7}));
    set_mark(d, 4, 4);
    EXPECT_EQ(r.run(ChangeVolume), 1u);  // the default, 200
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{-1, 1, 32767, -32768, 7, 7}));
    UndoBlock undo = undo_of(d);
    EXPECT_EQ(undo.start, 4u);
    EXPECT_EQ(undo.length, 4u);
}

TEST(EffectsFade, FadeInFromTheDefaultTenPerCentOverTheWholeData) {
    Session r;
    HWND d = r.doc(kMono8, Bytes(4, 228));
    EXPECT_EQ(r.run(FadeIn), 1u);
    EXPECT_EQ(data_of(d), (Bytes{138, 160, 183, 205}));
    EXPECT_STREQ(undo_of(d).description, "Fade In");
}

TEST(EffectsFade, FadeOutReadsItsEndLevel) {
    Session r;
    HWND d = r.doc(kMono8, Bytes(8, 228));
    Setting end("Sonrel\\Settings\\Filters\\FadeOut", "0", "10");
    EXPECT_EQ(r.run(FadeOut), 1u);
    EXPECT_EQ(data_of(d), (Bytes{228, 215, 203, 190, 178, 165, 153, 140}));
    EXPECT_STREQ(undo_of(d).description, "Fade Out");
}

TEST(EffectsPeak, ScalesOrLeavesTheSamplesButAlwaysRecordsUndo) {
    Session r;
    HWND d = r.doc(kMono8, Bytes{228, 78, 128});
    EXPECT_EQ(r.run(SetMaxVolume), 1u);
    EXPECT_EQ(data_of(d), (Bytes{254, 65, 128}));
    HWND full = r.doc(kMono8, Bytes{255, 0, 128});
    EXPECT_EQ(r.run(SetMaxVolume), 1u);
    EXPECT_EQ(data_of(full), (Bytes{255, 0, 128}));
    EXPECT_EQ(undo_of(full).kind, UNDO_CHANGED);
    EXPECT_EQ(info_of(full).saved, 0u);
    HWND below = r.doc(kStereo16, le16({-5, -32768, 0, -1}));
    EXPECT_EQ(r.run(SetMaxVolume), 1u);
    EXPECT_EQ(values16(data_of(below)), (std::vector<int16_t>{-5, -32768, 0, -1}));
}

TEST(EffectsSilence, OnlyAMarkIsSilenced) {
    Session r;
    HWND d = r.doc(kStereo16, le16({9, 9, 9, 9}));
    SaveUndoInformation(d, 0, 2, UNDO_CHANGED, "Reverse");
    EXPECT_EQ(r.run(SetSilence), 1u);
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{9, 9, 9, 9}));
    EXPECT_STREQ(undo_of(d).description, "Reverse") << "no record without a mark";
    EXPECT_EQ(info_of(d).saved, 0u);
    set_mark(d, 2, 4);
    EXPECT_EQ(r.run(SetSilence), 1u);
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{9, 0, 0, 9}));
    EXPECT_STREQ(undo_of(d).description, "Silence");
    HWND b = r.doc(kMono8, Bytes(5, 200));
    set_mark(b, 1, 3);
    EXPECT_EQ(r.run(SetSilence), 1u);
    EXPECT_EQ(data_of(b), (Bytes{200, 127, 127, 127, 200}));
}

TEST(EffectsZeroize, ReadsItsThresholdOnceTheDocumentIsKnown) {
    Session r;
    Bytes ramp;
    for (int i = 110; i <= 145; ++i) ramp.push_back(static_cast<uint8_t>(i));
    HWND d = r.doc(kMono8, ramp);
    EXPECT_EQ(r.run(Zeroize), 1u);  // the default, 30: bytes 125 .. 129
    Bytes expect = ramp;
    for (int i = 125; i <= 129; ++i) expect[i - 110] = 127;
    EXPECT_EQ(data_of(d), expect);
    Setting wider("Sonrel\\Settings\\Filters\\Zeroize\\Percent", "100", "30");  // T8 = 12
    EXPECT_EQ(r.run(Zeroize), 1u);
    for (int i = 116; i <= 138; ++i) expect[i - 110] = 127;
    EXPECT_EQ(data_of(d), expect);
}

TEST(EffectsChannelFade, MonoAndEmptyDocumentsChangeNothingButRecordUndo) {
    Session r;
    HWND mono = r.doc(kMono8, Bytes(8, 228));
    EXPECT_EQ(r.run(FadeChannelsLeftToRight), 1u);
    EXPECT_EQ(data_of(mono), Bytes(8, 228));
    EXPECT_EQ(undo_of(mono).kind, UNDO_CHANGED);
    EXPECT_STREQ(undo_of(mono).description, "Fade Channels Left To Right");
    EXPECT_EQ(info_of(mono).saved, 0u);
    HWND empty = r.doc(kStereo16, Bytes{});
    EXPECT_EQ(r.run(FadeChannelsRightToLeft), 1u);
    EXPECT_TRUE(IsUndoPossible(empty));
    EXPECT_STREQ(UndoDescription(empty), "Fade Channels Right To Left");
    EXPECT_EQ(info_of(empty).saved, 0u);
    EXPECT_EQ(wavtest::header_of(empty).dataSize, 0u);
}

TEST(EffectsChannelFade, StereoDataMovesBetweenTheChannels) {
    Session r;
    HWND d = r.doc(kStereo8, Bytes(8, 228));
    EXPECT_EQ(r.run(FadeChannelsLeftToRight), 1u);
    EXPECT_EQ(data_of(d), (Bytes{228, 128, 203, 153, 178, 178, 153, 203}));
    HWND e = r.doc(kStereo8, Bytes(8, 228));
    EXPECT_EQ(r.run(FadeChannelsRightToLeft), 1u);
    EXPECT_EQ(data_of(e), (Bytes{128, 228, 153, 203, 178, 178, 203, 153}));
}

TEST(EffectsChannelFade, AnUnalignedMarkAtTheEndNeverReachesPastTheData) {
    Session r;
    // Four 16-bit stereo frames; the mark 10 .. 16 moves to 12 and keeps its
    // length, so its second frame would lie past the data: only one is walked.
    const std::vector<int16_t> values{1, 2, 3, 4, 5, 6, 1000, 1000};
    HWND d = r.doc(kStereo16, le16(values));
    set_mark(d, 10, 6);
    EXPECT_EQ(r.run(FadeChannelsLeftToRight), 1u);
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 1000, 0}));
    ASSERT_TRUE(RestoreUndoInformation(d));
    EXPECT_EQ(values16(data_of(d)), values);
}

TEST(EffectsSampleRoutines, ChannelOfAByteOffset) {
    Session r;
    HWND stereo16 = r.doc(kStereo16, le16({0, 0, 0, 0}));
    EXPECT_EQ(IsLeftChannel(stereo16, 0), 1);
    EXPECT_EQ(IsLeftChannel(stereo16, 4), 1);
    for (DWORD offset : {1u, 2u, 3u}) {
        EXPECT_EQ(IsLeftChannel(stereo16, offset), 0) << offset;
        EXPECT_EQ(IsRightChannel(stereo16, offset), 1) << offset;
    }
    EXPECT_EQ(IsRightChannel(stereo16, 8), 0);
    // The channel count is not looked at: in mono every aligned offset is left.
    HWND mono8 = r.doc(kMono8, Bytes(4, 0));
    EXPECT_EQ(IsLeftChannel(mono8, 3), 1);
    EXPECT_EQ(IsRightChannel(mono8, 3), 0);
    HWND mono16 = r.doc(Format{1, 8000, 16}, Bytes(4, 0));
    EXPECT_EQ(IsRightChannel(mono16, 1), 1);
    EXPECT_EQ(IsLeftChannel(nullptr, 0), 0);
    EXPECT_EQ(IsRightChannel(nullptr, 1), 0);
}

TEST(EffectsSampleRoutines, SingleValuesAndPixels) {
    EXPECT_EQ(ChangeSampleVolume(200, 8, 2.0f), 255);
    EXPECT_EQ(ChangeSampleVolume(20000, 16, 2.0f), 32767);
    EXPECT_EQ(ChangeSampleVolume(-3, 16, 0.5f), -1);
    EXPECT_EQ(PixelCalculate(32767, 16, 100), 49);
    EXPECT_EQ(PixelCalculate(0, 8, 100), -50);
}

TEST(EffectsSampleRoutines, PlainChannelFadesRecordNothingAndKeepTheSavedFlag) {
    Session r;
    HWND d = r.doc(kStereo8, Bytes(10, 228));
    EXPECT_EQ(FadeLeftToRight(d, 1, 8, 1.0f), 1);  // start 1 moves to frame 2
    EXPECT_EQ(data_of(d), (Bytes{228, 228, 228, 128, 203, 153, 178, 178, 153, 203}));
    EXPECT_EQ(FadeRightToLeft(d, 0, 2, 5.0f), 1);  // a start gain above 1 counts as 1
    EXPECT_EQ(data_of(d), (Bytes{128, 228, 228, 128, 203, 153, 178, 178, 153, 203}));
    EXPECT_FALSE(IsUndoPossible(d));
    EXPECT_EQ(info_of(d).saved, 1u);
    // A range beyond the data changes nothing.
    EXPECT_EQ(FadeLeftToRight(d, 100, 50, 1.0f), 1);
    EXPECT_EQ(data_of(d), (Bytes{128, 228, 228, 128, 203, 153, 178, 178, 153, 203}));
    EXPECT_EQ(FadeLeftToRight(nullptr, 0, 8, 1.0f), 1);
}

}  // namespace
