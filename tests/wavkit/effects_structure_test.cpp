// The structural and time effects on documents: erase, crop, reverse, speed
// change, insert silence and soften, with their sizes, marks, undo records and
// the failures that leave the document as it was.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/effects.h>

#include "effects_fixture.h"
#include "test_support.h"

namespace {

using namespace fxtest;
using wavtest::data_of;
using wavtest::Format;
using wavtest::header_of;
using wavtest::info_of;
using wavtest::make_document;
using wavtest::position_of;
using wavtest::set_mark;
using wavtest::undo_of;

const Format kMono8{1, 11025, 8};
const Format kStereo16{2, 22050, 16};

Bytes counting(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i);
    return b;
}

struct Session {
    wavtest::Frame docs;
    RecordingFrame rf;
    HWND doc(const Format& fmt, const Bytes& data) {
        return rf.doc = make_document(docs, fmt, data);
    }
    DWORD run(LPTHREAD_START_ROUTINE proc) { return run_operation(proc, rf.frame).exitCode; }
};

void expect_sizes(HWND d, DWORD size) {
    HeaderBlock h = header_of(d);
    EXPECT_EQ(h.dataSize, size);
    EXPECT_EQ(h.fileLength, size + 44);
    EXPECT_EQ(GlobalSize(GetProp(d, PROP_WAVE)), size + 128u);
}

TEST(EffectsErase, RemovesTheMarkAndLeavesTheCursorWhereItBegan) {
    Session r;
    HWND d = r.doc(kMono8, counting(10));
    EXPECT_EQ(Erase(d), 0) << "no mark";
    EXPECT_FALSE(IsUndoPossible(d));
    EXPECT_EQ(data_of(d), counting(10));
    set_mark(d, 2, 3);
    EXPECT_EQ(Erase(d), 1);
    EXPECT_EQ(data_of(d), (Bytes{0, 1, 5, 6, 7, 8, 9}));
    expect_sizes(d, 7);
    EXPECT_EQ(position_of(d).markStart, 2u);
    EXPECT_EQ(position_of(d).markLength, 0u);
    EXPECT_EQ(undo_of(d).kind, UNDO_REMOVED);
    EXPECT_STREQ(undo_of(d).description, "Delete");
    EXPECT_EQ(info_of(d).saved, 0u);
    ASSERT_TRUE(RestoreUndoInformation(d));
    EXPECT_EQ(data_of(d), counting(10));
    EXPECT_EQ(Erase(nullptr), 1);
}

TEST(EffectsErase, ABlockThatCannotShrinkLeavesTheDataAsItWas) {
    testing_support::QuestionRecorder questions;
    Session r;
    const Bytes data = wavtest::pattern(1000, 3);
    for (DWORD markStart : {100u, 0u, 900u}) {
        HWND d = r.doc(kMono8, data);
        set_mark(d, markStart, 100);
        // The undo copy (100 bytes) is allowed; the block of 900 + 128 bytes is not.
        PlatformSetAllocationLimit(500);
        int result = Erase(d);
        PlatformSetAllocationLimit(0);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(data_of(d), data) << markStart;
        EXPECT_EQ(header_of(d).dataSize, 1000u);
        EXPECT_EQ(position_of(d).markLength, 100u);
        EXPECT_FALSE(IsUndoPossible(d));
        EXPECT_EQ(info_of(d).saved, 1u);
    }
    ASSERT_EQ(questions.asked.size(), 3u);
    EXPECT_EQ(questions.asked[0].text, "No success.");
    EXPECT_EQ(questions.asked[0].caption, "Warning...");
}

TEST(EffectsCrop, KeepsTheMarkAndPutsTheCursorAtTheEnd) {
    Session r;
    const Bytes data = wavtest::pattern(1000, 5);
    HWND d = r.doc(kMono8, data);
    SaveUndoInformation(d, 0, 10, UNDO_CHANGED, "Change Volume");
    set_mark(d, 100, 100);
    EXPECT_EQ(Crop(d), 1);
    EXPECT_EQ(data_of(d), Bytes(data.begin() + 100, data.begin() + 200));
    expect_sizes(d, 100);
    EXPECT_EQ(position_of(d).markStart, 100u);
    EXPECT_EQ(position_of(d).markLength, 0u);
    EXPECT_FALSE(IsUndoPossible(d)) << "the older record no longer fits";
    EXPECT_EQ(info_of(d).saved, 0u);
    // Nothing to crop: unchanged, yet unsaved.
    HWND whole = r.doc(kMono8, data);
    EXPECT_EQ(Crop(whole), 1);
    EXPECT_EQ(data_of(whole), data);
    EXPECT_EQ(info_of(whole).saved, 0u);
    EXPECT_EQ(Crop(nullptr), 1);
}

TEST(EffectsCrop, ABlockThatCannotShrinkLeavesTheDataAsItWas) {
    testing_support::QuestionRecorder questions;
    Session r;
    const Bytes data = wavtest::pattern(1000, 7);
    for (DWORD markStart : {100u, 800u, 0u, 450u}) {
        HWND d = r.doc(kMono8, data);
        set_mark(d, markStart, 150);
        PlatformSetAllocationLimit(200);  // below the 150 + 128 bytes crop needs
        int result = Crop(d);
        PlatformSetAllocationLimit(0);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(data_of(d), data) << markStart;
        EXPECT_EQ(position_of(d).markStart, markStart);
        EXPECT_EQ(info_of(d).saved, 1u);
    }
    ASSERT_EQ(questions.asked.size(), 4u);
    EXPECT_EQ(questions.asked[3].text, "No success.");
}

TEST(EffectsReverse, KeepsTheFirstValueAndEachChannelSlot) {
    Session r;
    HWND b = r.doc(kMono8, Bytes{9, 1, 2, 3, 4, 5, 9});
    set_mark(b, 1, 5);
    EXPECT_EQ(r.run(Reverse), 1u);
    EXPECT_EQ(data_of(b), (Bytes{9, 1, 5, 4, 3, 2, 9}));
    EXPECT_STREQ(undo_of(b).description, "Reverse");
    HWND w = r.doc(kStereo16, le16({10, 20, 11, 21}));
    EXPECT_EQ(r.run(Reverse), 1u);
    EXPECT_EQ(values16(data_of(w)), (std::vector<int16_t>{10, 21, 11, 20}));
}

TEST(EffectsVelocity, DoublingAndHalvingTheSpeed) {
    Setting plain("Sonrel\\Settings\\Filters\\VelocitySmooth", "0", "1");
    Session r;
    HWND d = r.doc(kMono8, counting(2000));
    set_mark(d, 1000, 400);
    SaveUndoInformation(d, 0, 10, UNDO_CHANGED, "Change Volume");
    EXPECT_EQ(r.run(Velocity), 1u);  // the default, 200
    Bytes half(1000);
    for (size_t i = 0; i < half.size(); ++i) half[i] = static_cast<uint8_t>(2 * i);
    EXPECT_EQ(data_of(d), half);
    expect_sizes(d, 1000);
    EXPECT_EQ(position_of(d).markStart, 500u);
    EXPECT_EQ(position_of(d).markLength, 200u);
    EXPECT_FALSE(IsUndoPossible(d));
    EXPECT_EQ(info_of(d).saved, 0u);
    Setting slow("Sonrel\\Settings\\Filters\\Velocity", "50", "200");
    HWND w = r.doc(kStereo16, le16({1, -2, 3, -4}));
    EXPECT_EQ(r.run(Velocity), 1u);
    EXPECT_EQ(values16(data_of(w)), (std::vector<int16_t>{1, 1, -2, -2, 3, 3, -4, -4}));
    expect_sizes(w, 16);
}

TEST(EffectsVelocity, SmoothingAveragesAndIsCappedAtTwenty) {
    Session r;
    HWND d = r.doc(kMono8, counting(20));
    EXPECT_EQ(r.run(Velocity), 1u);  // 200 %, then the default width 3 + 2 = 5
    EXPECT_EQ(data_of(d), (Bytes{4, 6, 8, 10, 12, 10, 12, 14, 16, 18}));
    // Width 30 + 2 is held at 20: 30 values still get ten averages.
    Setting wide("Sonrel\\Settings\\Filters\\VelocitySmoothValue", "30", "3");
    HWND e = r.doc(kMono8, counting(60));
    EXPECT_EQ(r.run(Velocity), 1u);
    Bytes data = data_of(e);
    ASSERT_EQ(data.size(), 30u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(data[i], 2 * i + 19) << i;
    for (int i = 10; i < 30; ++i) EXPECT_EQ(data[i], 2 * i) << i;
}

TEST(EffectsVelocity, AnEmptyDocumentStaysEmpty) {
    Session r;
    HWND d = r.doc(kMono8, Bytes{});
    EXPECT_EQ(r.run(Velocity), 1u);
    EXPECT_EQ(header_of(d).dataSize, 0u);
    EXPECT_EQ(header_of(d).fileLength, 44u);
}

TEST(EffectsInsertSilence, OneSecondAtTheCursor) {
    Session r;
    HWND d = r.doc(kMono8, counting(100));  // 11025 bytes per second: 11 per millisecond
    set_mark(d, 40, 0);
    EXPECT_EQ(r.run(InsertSilence), 1u);
    Bytes data = data_of(d);
    ASSERT_EQ(data.size(), 11100u);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 40), Bytes(counting(40)));
    EXPECT_EQ(Bytes(data.begin() + 40, data.begin() + 11040), Bytes(11000, 127));
    for (int i = 40; i < 100; ++i) ASSERT_EQ(data[11000 + i], i);
    expect_sizes(d, 11100);
    EXPECT_EQ(position_of(d).markStart, 40u);
    UndoBlock undo = undo_of(d);
    EXPECT_EQ(undo.kind, UNDO_INSERTED);
    EXPECT_EQ(undo.start, 40u);
    EXPECT_EQ(undo.length, 11000u);
    EXPECT_STREQ(undo.description, "Insert Silence");
    ASSERT_TRUE(RestoreUndoInformation(d));
    EXPECT_EQ(data_of(d), counting(100));
}

TEST(EffectsInsertSilence, ACursorBeyondTheDataInsertsAtTheEnd) {
    Session r;
    Setting ms("Sonrel\\Settings\\Filters\\Silence\\MS", "2", "0");
    Setting sec("Sonrel\\Settings\\Filters\\Silence\\Sec", "0", "1");
    HWND d = r.doc(kMono8, counting(10));
    set_mark(d, 500, 0);
    EXPECT_EQ(r.run(InsertSilence), 1u);
    Bytes expect = counting(10);
    expect.insert(expect.end(), 22, 127);
    EXPECT_EQ(data_of(d), expect);
    EXPECT_EQ(position_of(d).markStart, 10u);
    EXPECT_EQ(undo_of(d).start, 10u);
}

TEST(EffectsInsertSilence, AnEmptyDocumentGetsANewBlockOfSilence) {
    Session r;
    Setting ms("Sonrel\\Settings\\Filters\\Silence\\MS", "5", "0");
    Setting sec("Sonrel\\Settings\\Filters\\Silence\\Sec", "0", "1");
    HWND d = r.doc(kStereo16, Bytes{});  // 88200 bytes per second: 88 per millisecond
    ASSERT_EQ(GetProp(d, PROP_WAVE), nullptr);
    EXPECT_EQ(r.run(InsertSilence), 1u);
    EXPECT_EQ(data_of(d), Bytes(440, 0));
    expect_sizes(d, 440);
    HWND b = r.doc(kMono8, Bytes{});
    EXPECT_EQ(r.run(InsertSilence), 1u);
    EXPECT_EQ(data_of(b), Bytes(55, 127));
}

TEST(EffectsInsertSilence, SixteenBitDataGainsWholeValuesAtAValueBoundary) {
    Session r;
    Setting ms("Sonrel\\Settings\\Filters\\Silence\\MS", "3", "0");
    Setting sec("Sonrel\\Settings\\Filters\\Silence\\Sec", "0", "1");
    // 500 Hz 16-bit mono: 1000 bytes per second, 1 per millisecond, 3 bytes asked.
    HWND d = r.doc(Format{1, 500, 16}, le16({1, 2, 3, 4}));
    set_mark(d, 5, 0);
    EXPECT_EQ(r.run(InsertSilence), 1u);
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{1, 2, 0, 3, 4}));
    EXPECT_EQ(position_of(d).markStart, 4u);
    ASSERT_TRUE(RestoreUndoInformation(d));
    EXPECT_EQ(values16(data_of(d)), (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(EffectsSoften, DefaultWidthSixLeavesTheLastSixValues) {
    Session r;
    Bytes data{0, 6, 12, 18, 24, 30, 36, 42, 48, 54};
    HWND d = r.doc(kMono8, data);
    EXPECT_EQ(r.run(LowPass), 1u);
    // Value i becomes the mean of i .. i + 5: 6i + 15, rounded down.
    EXPECT_EQ(data_of(d), (Bytes{15, 21, 27, 33, 24, 30, 36, 42, 48, 54}));
    EXPECT_STREQ(undo_of(d).description, "Soften");
    Setting narrow("Sonrel\\Settings\\Filters\\LowPass", "0", "4");
    HWND w = r.doc(kStereo16, le16({-1, -2, 5, 5}));
    EXPECT_EQ(r.run(LowPass), 1u);  // width 2: -3 / 2 truncates to -1
    EXPECT_EQ(values16(data_of(w)), (std::vector<int16_t>{-1, 1, 5, 5}));
}

}  // namespace
