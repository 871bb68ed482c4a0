// The operation thread protocol as the frame sees it: the messages in their
// order, the exit codes, the repaints and the saved flag; the early ends
// through BreakThread that leave the data as it was.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>

#include <algorithm>

#include "effects_fixture.h"
#include "test_support.h"

namespace {

using namespace fxtest;
using wavtest::Format;
using wavtest::make_document;

struct Procedure {
    const char* name;
    LPTHREAD_START_ROUTINE proc;
    LPARAM displayId;
};

const Procedure kProcedures[] = {
    {"ChangeVolume", ChangeVolume, IDS_NAME_VOLUME},
    {"FadeIn", FadeIn, IDS_NAME_FADEIN},
    {"FadeOut", FadeOut, IDS_NAME_FADEOUT},
    {"FadeChannelsLeftToRight", FadeChannelsLeftToRight, IDS_NAME_FADELEFTTORIGHT},
    {"SetMaxVolume", SetMaxVolume, IDS_NAME_PEAKVOLUME},
    {"SetSilence", SetSilence, IDS_NAME_SILENCE},
    {"FadeChannelsRightToLeft", FadeChannelsRightToLeft, IDS_NAME_FADERIGHTTOLEFT},
    {"Zeroize", Zeroize, IDS_NAME_ZEROIZE},
    {"Reverse", Reverse, IDS_NAME_REVERSE},
    {"LowPass", LowPass, IDS_NAME_LOWPASS},
    {"Velocity", Velocity, IDS_NAME_VELOCITY},
    {"InsertSilence", InsertSilence, IDS_NAME_INSERTSILENCE},
};

bool is_question(UINT msg) {
    return msg == UM_GETACTIVEDOC || msg == UM_GETPREVIEW || msg == UM_GETSTATUSBAR;
}

TEST(OperationProtocol, InPlaceOperationSendsItsMessagesInOrder) {
    wavtest::Frame docs;
    RecordingFrame rf;
    rf.doc = make_document(docs, Format{1, 11025, 8}, Bytes{228, 28, 128, 200});
    ValidateRect(rf.preview, nullptr);
    ValidateRect(rf.doc, nullptr);
    Finished done = run_operation(ChangeVolume, rf.frame);
    EXPECT_EQ(done.exitCode, 1u);
    std::vector<Call> calls = rf.calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].msg, UM_GETACTIVEDOC);
    EXPECT_EQ(calls[0].wp, 0u);
    EXPECT_EQ(calls[0].lp, 0);
    EXPECT_EQ(calls[1].msg, UM_GETPREVIEW);
    EXPECT_EQ(calls[2].msg, UM_THREADBEGIN);
    EXPECT_EQ(calls[2].wp, reinterpret_cast<WPARAM>(rf.doc));
    EXPECT_EQ(calls[2].lp, IDS_NAME_VOLUME);
    EXPECT_EQ(calls[3].msg, UM_THREADEND);
    EXPECT_EQ(calls[3].wp, done.threadId);
    EXPECT_EQ(calls[3].lp, 0);
    // Volume 200: the samples changed, the views wait for a paint, the document is unsaved.
    EXPECT_EQ(wavtest::data_of(rf.doc), (Bytes{255, 0, 128, 255}));
    EXPECT_TRUE(needs_paint(rf.doc));
    EXPECT_TRUE(needs_paint(rf.preview));
    EXPECT_EQ(wavtest::info_of(rf.doc).saved, 0u);
    UndoBlock undo = wavtest::undo_of(rf.doc);
    EXPECT_EQ(undo.kind, UNDO_CHANGED);
    EXPECT_STREQ(undo.description, "Change Volume");
}

TEST(OperationProtocol, EveryProcedureAnnouncesItselfUnderItsDisplayName) {
    for (const Procedure& p : kProcedures) {
        wavtest::Frame docs;
        RecordingFrame rf;
        rf.doc = make_document(docs, Format{2, 22050, 16}, le16({100, -100, 200, -200, 300, -300}));
        Finished done = run_operation(p.proc, rf.frame);
        EXPECT_EQ(done.exitCode, 1u) << p.name;
        std::vector<Call> said;
        for (const Call& c : rf.calls())
            if (!is_question(c.msg)) said.push_back(c);
        ASSERT_EQ(said.size(), 2u) << p.name;
        EXPECT_EQ(said[0].msg, UM_THREADBEGIN) << p.name;
        EXPECT_EQ(said[0].wp, reinterpret_cast<WPARAM>(rf.doc)) << p.name;
        EXPECT_EQ(said[0].lp, p.displayId) << p.name;
        EXPECT_EQ(said[1].msg, UM_THREADEND) << p.name;
        EXPECT_EQ(said[1].wp, done.threadId) << p.name;
        EXPECT_EQ(wavtest::info_of(rf.doc).saved, 0u) << p.name;
    }
}

TEST(OperationProtocol, WithoutADocumentOnlyStartAndEndAreAnnounced) {
    for (const Procedure& p : kProcedures) {
        RecordingFrame rf;
        Finished done = run_operation(p.proc, rf.frame);
        EXPECT_EQ(done.exitCode, 1u) << p.name;
        std::vector<Call> said;
        for (const Call& c : rf.calls())
            if (!is_question(c.msg)) said.push_back(c);
        ASSERT_EQ(said.size(), 2u) << p.name;
        EXPECT_EQ(said[0].msg, UM_THREADBEGIN) << p.name;
        EXPECT_EQ(said[0].wp, 0u) << p.name;
        EXPECT_EQ(said[0].lp, p.displayId) << p.name;
        EXPECT_EQ(said[1].msg, UM_THREADEND) << p.name;
        EXPECT_EQ(said[1].wp, done.threadId) << p.name;
        EXPECT_EQ(rf.calls().front().msg, UM_GETACTIVEDOC) << p.name;
    }
}

TEST(OperationProtocol, LengthChangingOperationsAskForTheStatusBarAndTellTheDocument) {
    wavtest::Frame docs;
    {
        RecordingFrame rf;
        rf.doc = make_document(docs, Format{1, 11025, 8}, wavtest::pattern(100));
        rf.watch(rf.doc);
        ValidateRect(rf.status, nullptr);
        EXPECT_EQ(run_operation(Velocity, rf.frame).exitCode, 1u);
        EXPECT_EQ(rf.messages(), (std::vector<UINT>{UM_GETACTIVEDOC, UM_GETPREVIEW, UM_GETSTATUSBAR,
                                                    UM_THREADBEGIN, UM_THREADEND}));
        EXPECT_EQ(rf.doc_changes(), 1);
        EXPECT_TRUE(needs_paint(rf.status));
    }
    {
        RecordingFrame rf;
        rf.doc = make_document(docs, Format{1, 11025, 8}, wavtest::pattern(100));
        rf.watch(rf.doc);
        ValidateRect(rf.preview, nullptr);
        ValidateRect(rf.status, nullptr);
        EXPECT_EQ(run_operation(InsertSilence, rf.frame).exitCode, 1u);
        // The bars are asked for only once the silence is in.
        EXPECT_EQ(rf.messages(), (std::vector<UINT>{UM_GETACTIVEDOC, UM_THREADBEGIN, UM_GETPREVIEW,
                                                    UM_GETSTATUSBAR, UM_THREADEND}));
        EXPECT_EQ(rf.doc_changes(), 1);
        EXPECT_TRUE(needs_paint(rf.preview));
        EXPECT_TRUE(needs_paint(rf.status));
    }
}

TEST(OperationProtocol, VelocityOfOneHundredPerCentEndsEarlyAndChangesNothing) {
    Setting speed("Sonrel\\Settings\\Filters\\Velocity", "100", "200");
    wavtest::Frame docs;
    RecordingFrame rf;
    Bytes data = wavtest::pattern(300);
    rf.doc = make_document(docs, Format{1, 11025, 8}, data);
    wavtest::set_mark(rf.doc, 10, 20);
    Finished done = run_operation(Velocity, rf.frame);
    EXPECT_EQ(done.exitCode, 0u);
    EXPECT_EQ(wavtest::data_of(rf.doc), data);
    EXPECT_EQ(wavtest::info_of(rf.doc).saved, 1u);
    EXPECT_EQ(wavtest::position_of(rf.doc).markStart, 10u);
    std::vector<UINT> msgs = rf.messages();
    ASSERT_FALSE(msgs.empty());
    EXPECT_EQ(msgs.back(), UM_THREADEND);
    EXPECT_EQ(std::count(msgs.begin(), msgs.end(), UM_THREADEND), 1);
    EXPECT_EQ(rf.calls().back().wp, done.threadId);
    // Even without a document the unchanged speed ends the same way.
    RecordingFrame empty;
    EXPECT_EQ(run_operation(Velocity, empty.frame).exitCode, 0u);
}

TEST(OperationProtocol, RefusedMemoryEndsEarlyWithTheDataAsItWas) {
    testing_support::QuestionRecorder questions;
    wavtest::Frame docs;
    Bytes data = wavtest::pattern(1000);
    {
        // A stretch needs the block to grow first.
        Setting speed("Sonrel\\Settings\\Filters\\Velocity", "50", "200");
        RecordingFrame rf;
        rf.doc = make_document(docs, Format{1, 11025, 8}, data);
        SaveUndoInformation(rf.doc, 0, 10, UNDO_CHANGED, "Change Volume");
        PlatformFailNextAllocations(1);
        Finished done = run_operation(Velocity, rf.frame);
        PlatformFailNextAllocations(0);
        EXPECT_EQ(done.exitCode, 0u);
        EXPECT_EQ(wavtest::data_of(rf.doc), data);
        EXPECT_EQ(wavtest::header_of(rf.doc).dataSize, 1000u);
        EXPECT_EQ(wavtest::info_of(rf.doc).saved, 1u);
        EXPECT_TRUE(IsUndoPossible(rf.doc)) << "an unchanged document keeps its undo record";
        ASSERT_EQ(questions.asked.size(), 1u);
        EXPECT_EQ(questions.asked[0].text, "Not enough memory.");
        EXPECT_EQ(questions.asked[0].caption, "Warning...");
        EXPECT_EQ(questions.asked[0].owner, rf.frame);
        EXPECT_EQ(rf.messages().back(), UM_THREADEND);
    }
    questions.asked.clear();
    {
        RecordingFrame rf;
        rf.doc = make_document(docs, Format{1, 11025, 8}, data);
        PlatformFailNextAllocations(1);
        Finished done = run_operation(InsertSilence, rf.frame);
        PlatformFailNextAllocations(0);
        EXPECT_EQ(done.exitCode, 0u);
        EXPECT_EQ(wavtest::data_of(rf.doc), data);
        EXPECT_EQ(wavtest::header_of(rf.doc).fileLength, 1044u);
        EXPECT_FALSE(IsUndoPossible(rf.doc));
        ASSERT_EQ(questions.asked.size(), 1u);
        EXPECT_EQ(questions.asked[0].text, "Not enough memory.");
        EXPECT_EQ(questions.asked[0].owner, rf.doc);
    }
}

TEST(OperationProtocol, SpeedChangePastFourGigabytesIsRefused) {
    testing_support::QuestionRecorder questions;
    wavtest::Frame docs;
    RecordingFrame rf;
    // 1 per cent stretches 43 000 000 bytes a hundredfold, past 32 bits.
    Setting speed("Sonrel\\Settings\\Filters\\Velocity", "1", "200");
    Bytes data(43000000, 0x55);
    rf.doc = make_document(docs, Format{1, 44100, 8}, data);
    EXPECT_EQ(run_operation(Velocity, rf.frame).exitCode, 0u);
    EXPECT_EQ(wavtest::header_of(rf.doc).dataSize, 43000000u);
    EXPECT_EQ(GlobalSize(GetProp(rf.doc, PROP_WAVE)), 43000000u);
    EXPECT_EQ(wavtest::data_of(rf.doc), data);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].text, "Not enough memory.");
    // A speed of 0 would stretch without end: refused the same way.
    Setting zero("Sonrel\\Settings\\Filters\\Velocity", "0", "200");
    EXPECT_EQ(run_operation(Velocity, rf.frame).exitCode, 0u);
    EXPECT_EQ(wavtest::header_of(rf.doc).dataSize, 43000000u);
}

}  // namespace
