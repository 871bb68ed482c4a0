// Undo after every operation gives back the bytes exactly; operations started
// at once on one document run one after the other, and on two documents side
// by side, each with the right result.
#include <gtest/gtest.h>
#include <kernels/kernels.h>
#include <sonrel/effects.h>

#include <atomic>

#include "effects_fixture.h"

namespace {

using namespace fxtest;
using wavtest::data_of;
using wavtest::Format;
using wavtest::make_document;
using wavtest::set_mark;

struct Named {
    const char* name;
    LPTHREAD_START_ROUTINE proc;
};

const Named kInPlace[] = {
    {"ChangeVolume", ChangeVolume},
    {"FadeIn", FadeIn},
    {"FadeOut", FadeOut},
    {"FadeChannelsLeftToRight", FadeChannelsLeftToRight},
    {"FadeChannelsRightToLeft", FadeChannelsRightToLeft},
    {"SetMaxVolume", SetMaxVolume},
    {"SetSilence", SetSilence},
    {"Zeroize", Zeroize},
    {"Reverse", Reverse},
    {"LowPass", LowPass},
};

// Values that every in-place operation changes in any stretch of a few values:
// of both signs, small enough for zeroize, below full scale, all different.
Bytes varied(int bits, size_t values) {
    if (bits == 8) {
        Bytes b(values);
        for (size_t i = 0; i < values; ++i)
            b[i] = static_cast<uint8_t>(i % 5 == 0 ? 126 : 100 + (i * 7) % 60);
        return b;
    }
    std::vector<int16_t> v(values);
    for (size_t i = 0; i < values; ++i) {
        int magnitude = 100 + static_cast<int>(i) * 17;
        v[i] = static_cast<int16_t>(i % 2 ? magnitude : -magnitude);
    }
    return le16(v);
}

TEST(EffectsUndo, EveryInPlaceOperationIsUndoneExactly) {
    struct Layout {
        Format fmt;
        DWORD markStart, markLength;
    };
    // Marks on odd offsets and at the end, where the walks reach outside the mark.
    const Layout layouts[] = {{{2, 22050, 16}, 3, 41},  {{2, 22050, 16}, 0, 0},
                              {{2, 11025, 8}, 5, 30},   {{1, 11025, 8}, 0, 0},
                              {{2, 22050, 16}, 90, 10}, {{2, 11025, 8}, 41, 9}};
    for (const Layout& layout : layouts) {
        for (const Named& op : kInPlace) {
            wavtest::Frame docs;
            RecordingFrame rf;
            const Bytes before = varied(layout.fmt.bits, 50);
            rf.doc = make_document(docs, layout.fmt, before);
            set_mark(rf.doc, layout.markStart, layout.markLength);
            ASSERT_EQ(run_operation(op.proc, rf.frame).exitCode, 1u) << op.name;
            bool silenceWithoutMark = op.proc == SetSilence && layout.markLength == 0;
            bool monoChannelFade =
                layout.fmt.channels == 1 &&
                (op.proc == FadeChannelsLeftToRight || op.proc == FadeChannelsRightToLeft);
            // Soften keeps the last six values: a range of six or fewer keeps all.
            uint32_t rangeBytes = layout.markLength      ? layout.markLength
                                  : layout.fmt.bits == 8 ? 50
                                                         : 100;
            bool tooShortToSoften = op.proc == LowPass && rangeBytes / (layout.fmt.bits / 8) <= 6;
            if (!silenceWithoutMark && !monoChannelFade && !tooShortToSoften) {
                EXPECT_NE(data_of(rf.doc), before) << op.name << " changed nothing";
            }
            if (silenceWithoutMark) continue;
            ASSERT_TRUE(RestoreUndoInformation(rf.doc)) << op.name;
            EXPECT_EQ(data_of(rf.doc), before)
                << op.name << ", " << layout.fmt.bits << " bits, mark " << layout.markStart;
        }
    }
}

TEST(EffectsUndo, InsertionAndDeletionAreUndoneExactly) {
    wavtest::Frame docs;
    RecordingFrame rf;
    const Bytes before = varied(16, 500);
    rf.doc = make_document(docs, Format{2, 22050, 16}, before);
    set_mark(rf.doc, 200, 0);
    ASSERT_EQ(run_operation(InsertSilence, rf.frame).exitCode, 1u);
    EXPECT_EQ(data_of(rf.doc).size(), 1000u + 88000u);
    ASSERT_TRUE(RestoreUndoInformation(rf.doc));
    EXPECT_EQ(data_of(rf.doc), before);
    set_mark(rf.doc, 100, 300);
    ASSERT_EQ(Erase(rf.doc), 1);
    EXPECT_EQ(data_of(rf.doc).size(), 700u);
    ASSERT_TRUE(RestoreUndoInformation(rf.doc));
    EXPECT_EQ(data_of(rf.doc), before);
}

Bytes volume_of(Bytes data, unsigned percent) {
    kern::volume_kernel(data.data(), 16, kern::ByteRange{0, static_cast<uint32_t>(data.size())},
                        kern::volume_gain(percent), nullptr);
    return data;
}

Bytes reversed(Bytes data) {
    kern::reverse_kernel(data.data(), 16, kern::ByteRange{0, static_cast<uint32_t>(data.size())},
                         nullptr);
    return data;
}

Bytes faded_in(Bytes data, unsigned percent) {
    uint32_t n = static_cast<uint32_t>(data.size());
    kern::ramp_kernel(data.data(), 16, kern::ByteRange{0, n}, kern::fade_in_ramp(percent, n, 16),
                      true, nullptr);
    return data;
}

// Speed 150 %, as the speed change does it on 16-bit data.
Bytes sped_up(Bytes data) {
    kern::SpeedFactors f = kern::speed_factors(150);
    uint32_t size =
        static_cast<uint32_t>(kern::scaled_size(static_cast<uint32_t>(data.size()), f.length));
    kern::resample_kernel(data.data(), 16, static_cast<uint32_t>(data.size() / 2), size / 2,
                          f.speed, nullptr);
    data.resize(size);
    if (size % 2) data[size - 1] = 0;
    return data;
}

TEST(EffectsConcurrency, TwoOperationsOnOneDocumentRunOneAfterTheOther) {
    Setting half("Sonrel\\Settings\\Filters\\Volume", "50", "200");
    Setting plain("Sonrel\\Settings\\Filters\\VelocitySmooth", "0", "1");
    const Bytes data = wavtest::pattern(8u << 20, 11);
    for (int round = 0; round < 3; ++round) {
        wavtest::Frame docs;
        RecordingFrame a, b;
        a.doc = b.doc = make_document(docs, Format{2, 44100, 16}, data);
        std::vector<Finished> done = run_together({ChangeVolume, Reverse}, {a.frame, b.frame});
        EXPECT_EQ(done[0].exitCode, 1u);
        EXPECT_EQ(done[1].exitCode, 1u);
        ASSERT_EQ(data_of(a.doc), reversed(volume_of(data, 50))) << "round " << round;
    }
    // A fade and a speed change do not commute: the result is one order or the other.
    Setting faster("Sonrel\\Settings\\Filters\\Velocity", "150", "200");
    const Bytes fadeFirst = sped_up(faded_in(data, 10));
    const Bytes speedFirst = faded_in(sped_up(data), 10);
    ASSERT_NE(fadeFirst, speedFirst);
    for (int round = 0; round < 3; ++round) {
        wavtest::Frame docs;
        RecordingFrame a, b;
        a.doc = b.doc = make_document(docs, Format{2, 44100, 16}, data);
        run_together({FadeIn, Velocity}, {a.frame, b.frame});
        Bytes result = data_of(a.doc);
        EXPECT_TRUE(result == fadeFirst || result == speedFirst) << "round " << round;
    }
}

TEST(EffectsConcurrency, OperationsOnTwoDocumentsRunSideBySide) {
    Setting half("Sonrel\\Settings\\Filters\\Volume", "50", "200");
    const Bytes data = wavtest::pattern(8u << 20, 13);
    wavtest::Frame docs;
    RecordingFrame a, b;
    a.doc = make_document(docs, Format{2, 44100, 16}, data);
    b.doc = make_document(docs, Format{2, 44100, 16}, data);
    std::vector<Finished> done = run_together({ChangeVolume, Reverse}, {a.frame, b.frame});
    EXPECT_EQ(done[0].exitCode, 1u);
    EXPECT_EQ(done[1].exitCode, 1u);
    EXPECT_EQ(data_of(a.doc), volume_of(data, 50));
    EXPECT_EQ(data_of(b.doc), reversed(data));
}

TEST(EffectsConcurrency, ErasingOnTheFrameThreadWaitsForARunningOperation) {
    Setting half("Sonrel\\Settings\\Filters\\Volume", "50", "200");
    const Bytes data = wavtest::pattern(8u << 20, 17);
    const Bytes rest(data.begin() + 4, data.end());
    for (int round = 0; round < 3; ++round) {
        wavtest::Frame docs;
        RecordingFrame rf;
        rf.doc = make_document(docs, Format{2, 44100, 16}, data);
        set_mark(rf.doc, 0, 4);
        DWORD id = 0;
        HANDLE h = CreateThread(nullptr, 0, ChangeVolume, rf.frame, 0, &id);
        EXPECT_EQ(Erase(rf.doc), 1);
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
        // The volume first changes only the mark, which the erase then removes;
        // the erase first leaves no mark, and the volume takes the whole rest.
        Bytes result = data_of(rf.doc);
        EXPECT_TRUE(result == rest || result == volume_of(rest, 50)) << "round " << round;
    }
}

// A reader that holds the guard as a view does: pins HEADER and WAVE, and reads
// the first and the last byte of the data it is told about.
struct GuardedReader {
    HWND doc = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::atomic<int> faults{0};
};

DWORD read_under_guard(LPVOID arg) {
    auto* r = static_cast<GuardedReader*>(arg);
    while (!r->stop.load()) {
        DocumentLock guard(r->doc);
        HGLOBAL hh = GetProp(r->doc, PROP_HEADER), hw = GetProp(r->doc, PROP_WAVE);
        auto* h = static_cast<HeaderBlock*>(GlobalLock(hh));
        DWORD size = h->dataSize;
        if (h->fileLength != size + 44 || (size && GlobalSize(hw) < size)) ++r->faults;
        if (size && hw) {
            volatile const BYTE* p = static_cast<const BYTE*>(GlobalLock(hw));
            BYTE edges = static_cast<BYTE>(p[0] ^ p[size - 1]);
            (void)edges;
            GlobalUnlock(hw);
        }
        GlobalUnlock(hh);
        ++r->reads;
    }
    return 0;
}

TEST(EffectsConcurrency, AReaderHoldingTheGuardNeverSeesTheDataOutgrowItsBlock) {
    Setting plain("Sonrel\\Settings\\Filters\\VelocitySmooth", "0", "1");
    wavtest::Frame docs;
    RecordingFrame rf;
    const Bytes data = wavtest::pattern(2u << 20, 19);
    rf.doc = make_document(docs, Format{2, 44100, 16}, data);
    GuardedReader reader;
    reader.doc = rf.doc;
    HANDLE t = CreateThread(nullptr, 0, read_under_guard, &reader, 0, nullptr);
    for (int round = 0; round < 3; ++round) {
        {
            Setting slower("Sonrel\\Settings\\Filters\\Velocity", "50", "200");
            ASSERT_EQ(run_operation(Velocity, rf.frame).exitCode, 1u);
        }
        ASSERT_EQ(run_operation(Velocity, rf.frame).exitCode, 1u);  // back to the length
        wavtest::set_mark(rf.doc, 4000, 0);
        ASSERT_EQ(run_operation(InsertSilence, rf.frame).exitCode, 1u);
        ASSERT_EQ(RestoreUndoInformation(rf.doc), 1);
        wavtest::set_mark(rf.doc, 100, 1u << 20);
        ASSERT_EQ(Erase(rf.doc), 1);
        ASSERT_EQ(RestoreUndoInformation(rf.doc), 1);
    }
    reader.stop = true;
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    EXPECT_GT(reader.reads.load(), 0);
    EXPECT_EQ(reader.faults.load(), 0);
    // Halving the speed repeats each value, doubling it takes every second one
    // again; the insertion and the deletion were undone.
    EXPECT_EQ(data_of(rf.doc), data);
}

}  // namespace
