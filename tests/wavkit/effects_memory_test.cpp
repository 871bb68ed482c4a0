// The editing operations when memory is refused: an in-place change without
// room for its undo copy, an insertion into an empty document, a compression
// whose shrink is refused, and a stale undo record after a reload.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/effects.h>
#include <sonrel/messages.h>

#include "effects_fixture.h"
#include "test_support.h"

namespace {

using namespace fxtest;
using wavtest::data_of;
using wavtest::Format;
using wavtest::header_of;
using wavtest::info_of;
using wavtest::make_document;

const Format kMono8{1, 11025, 8};

TEST(EffectsWithoutMemory, AnInPlaceChangeGoesOnWithoutItsUndoCopy) {
    wavtest::Frame docs;
    RecordingFrame rf;
    rf.doc = make_document(docs, kMono8, Bytes{228, 28, 128, 200});
    SaveUndoInformation(rf.doc, 0, 2, UNDO_CHANGED, "Fade In");
    // The one allocation an in-place operation makes is the undo copy.
    PlatformFailNextAllocations(1);
    Finished done = run_operation(ChangeVolume, rf.frame);
    PlatformFailNextAllocations(0);
    EXPECT_EQ(done.exitCode, 1u);
    EXPECT_EQ(data_of(rf.doc), (Bytes{255, 0, 128, 255}));
    EXPECT_FALSE(IsUndoPossible(rf.doc)) << "neither the new nor the older record survives";
    EXPECT_EQ(UndoDescription(rf.doc), nullptr);
    EXPECT_EQ(info_of(rf.doc).saved, 0u);
    EXPECT_EQ(RestoreUndoInformation(rf.doc), 0);
    EXPECT_EQ(data_of(rf.doc), (Bytes{255, 0, 128, 255}));
}

TEST(EffectsWithoutMemory, AnEmptyDocumentThatCannotGetItsSilenceStaysEmpty) {
    testing_support::QuestionRecorder questions;
    wavtest::Frame docs;
    RecordingFrame rf;
    rf.doc = make_document(docs, Format{2, 22050, 16}, Bytes{});
    PlatformFailNextAllocations(1);
    Finished done = run_operation(InsertSilence, rf.frame);
    PlatformFailNextAllocations(0);
    EXPECT_EQ(done.exitCode, 0u);
    EXPECT_EQ(GetProp(rf.doc, PROP_WAVE), nullptr);
    EXPECT_EQ(header_of(rf.doc).dataSize, 0u);
    EXPECT_FALSE(IsUndoPossible(rf.doc));
    EXPECT_EQ(info_of(rf.doc).saved, 1u);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].text, "Not enough memory.");
    EXPECT_EQ(questions.asked[0].owner, rf.doc);
    std::vector<UINT> msgs = rf.messages();
    EXPECT_EQ(msgs, (std::vector<UINT>{UM_GETACTIVEDOC, UM_THREADBEGIN, UM_THREADEND}));
    EXPECT_EQ(rf.calls().back().wp, done.threadId);
}

TEST(EffectsWithoutMemory, ACompressionKeepsItsResultWhenTheBlockCannotShrink) {
    Setting plain("Sonrel\\Settings\\Filters\\VelocitySmooth", "0", "1");
    testing_support::QuestionRecorder questions;
    wavtest::Frame docs;
    RecordingFrame rf;
    Bytes data(1000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 3);
    rf.doc = make_document(docs, kMono8, data);
    // Speed 200: the values move first, then the block is asked to shrink.
    PlatformFailNextAllocations(1);
    Finished done = run_operation(Velocity, rf.frame);
    PlatformFailNextAllocations(0);
    EXPECT_EQ(done.exitCode, 1u);
    EXPECT_TRUE(questions.asked.empty());
    Bytes expect(500);
    for (size_t i = 0; i < expect.size(); ++i) expect[i] = data[2 * i];
    EXPECT_EQ(data_of(rf.doc), expect);
    EXPECT_EQ(header_of(rf.doc).fileLength, 544u);
    EXPECT_GE(GlobalSize(GetProp(rf.doc, PROP_WAVE)), 500u);
    EXPECT_EQ(info_of(rf.doc).saved, 0u);
}

TEST(EffectsStaleUndo, ARecordOlderThanAReloadStaysWithinTheNewData) {
    wavtest::Frame docs;
    RecordingFrame rf;
    const Bytes before = wavtest::pattern(4000, 21);
    rf.doc = make_document(docs, kMono8, before);
    ASSERT_EQ(run_operation(Reverse, rf.frame).exitCode, 1u);
    ASSERT_EQ(wavtest::undo_of(rf.doc).length, 4000u);
    // The recorder's take-over keeps the undo record, which now names bytes
    // past the shorter data.
    const Bytes shorter = wavtest::pattern(300, 22);
    std::string path = wavtest::file_with(wavtest::wav_file(kMono8, shorter));
    ASSERT_EQ(ReloadWAV(rf.frame, rf.doc, path.c_str()), 1);
    ASSERT_EQ(RestoreUndoInformation(rf.doc), 1);
    EXPECT_EQ(data_of(rf.doc), Bytes(before.begin(), before.begin() + 300));
    EXPECT_EQ(header_of(rf.doc).dataSize, 300u);
    EXPECT_EQ(GlobalSize(GetProp(rf.doc, PROP_WAVE)), 300u);
    EXPECT_FALSE(IsUndoPossible(rf.doc));
}

}  // namespace
