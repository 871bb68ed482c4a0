// The document's peak summary: made, kept current by the work on the
// document, and never read when it no longer fits the data.
#include <gtest/gtest.h>
#include <sonrel/effects.h>

#include <algorithm>
#include <functional>

#include "effects_fixture.h"

namespace {

using namespace fxtest;
using wavtest::data_of;
using wavtest::Format;
using wavtest::header_of;
using wavtest::set_mark;

// Long enough that a whole-file read without a summary is refused.
constexpr size_t kFrames = 1500000;

// Quiet data with a few loud single values, a different one per channel.
Bytes quiet_with_spikes(const Format& fmt, size_t frames) {
    Bytes b(frames * fmt.blockAlign(), fmt.bits == 8 ? 128 : 0);
    auto put = [&](size_t frame, int channel, int value) {
        size_t i = frame * fmt.channels + channel;
        if (fmt.bits == 8) {
            b[i] = static_cast<uint8_t>(value + 128);
        } else {
            b[2 * i] = static_cast<uint8_t>(value & 0xFF);
            b[2 * i + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
        }
    };
    const int scale = fmt.bits == 8 ? 1 : 256;
    for (size_t k = 1; k < 40; ++k)
        put(frames * k / 40 + k, int(k % fmt.channels), int(k) * 3 * scale);
    put(frames / 2, fmt.channels - 1, -100 * scale);
    return b;
}

// The extremes of each channel of each column, read byte by byte.
std::vector<ValueRange> plain_columns(const Bytes& b, const Format& fmt, long long first,
                                      long long perColumn, int columns) {
    const long long values = fmt.bits == 8 ? b.size() : b.size() / 2;
    const long long frames = values / fmt.channels;
    std::vector<ValueRange> out;
    for (int i = 0; i < columns; ++i) {
        long long a = (first + i * perColumn) / fmt.channels;
        if (a >= frames) break;
        long long e =
            std::min(frames, std::max(a + 1, (first + (i + 1) * perColumn) / fmt.channels));
        for (int c = 0; c < 2; ++c) {
            int lo = 1 << 20, hi = -(1 << 20);
            for (long long f = a; c < fmt.channels && f < e; ++f) {
                size_t at = size_t(f * fmt.channels + c);
                int v = fmt.bits == 8 ? b[at] : int16_t(uint16_t(b[2 * at] | (b[2 * at + 1] << 8)));
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
            out.push_back(c < fmt.channels ? ValueRange{short(lo), short(hi)} : ValueRange{});
        }
    }
    return out;
}

// ColumnPeaks over the whole data in `columns` columns equals a plain scan.
void expect_columns_match(HWND d, const Format& fmt, int columns) {
    Bytes data = data_of(d);
    long long values = fmt.bits == 8 ? data.size() : data.size() / 2;
    long long per = std::max(1LL, values / columns);
    std::vector<ValueRange> got(size_t(columns) * 2);
    int filled = ColumnPeaks(d, 0, per, columns, got.data());
    std::vector<ValueRange> want = plain_columns(data, fmt, 0, per, columns);
    ASSERT_EQ(filled, int(want.size() / 2)) << "a current summary answers whole-file reads";
    for (int i = 0; i < filled; ++i)
        for (int c = 0; c < fmt.channels; ++c) {
            ASSERT_EQ(got[2 * i + c].min, want[2 * i + c].min)
                << "column " << i << " channel " << c;
            ASSERT_EQ(got[2 * i + c].max, want[2 * i + c].max)
                << "column " << i << " channel " << c;
        }
}

struct Session {
    wavtest::Frame docs;
    RecordingFrame rf;
    HWND doc(const Format& fmt, const Bytes& data) {
        return rf.doc = wavtest::make_document(docs, fmt, data);
    }
    DWORD run(LPTHREAD_START_ROUTINE proc) { return run_operation(proc, rf.frame).exitCode; }
};

struct Change {
    const char* name;
    std::function<void(Session&, HWND)> run;
};

const Format kFormats[] = {{1, 22050, 8}, {2, 22050, 8}, {1, 44100, 16}, {2, 44100, 16}};

const Change kChanges[] = {
    {"volume on a mark",
     [](Session& s, HWND d) {
         Setting loud("Sonrel\\Settings\\Filters\\Volume", "300", "200");
         set_mark(d, 1000, 200000);
         EXPECT_EQ(s.run(ChangeVolume), 1u);
     }},
    {"reverse of the whole data", [](Session& s, HWND) { EXPECT_EQ(s.run(Reverse), 1u); }},
    {"silence inserted at the cursor",
     [](Session& s, HWND d) {
         Setting sec("Sonrel\\Settings\\Filters\\Silence\\Sec", "1", "1");
         set_mark(d, 4000, 0);
         EXPECT_EQ(s.run(InsertSilence), 1u);
     }},
    {"erase of a mark",
     [](Session&, HWND d) {
         set_mark(d, 3000, 900000);
         EXPECT_EQ(Erase(d), 1);
     }},
    {"crop to a mark",
     [](Session&, HWND d) {
         set_mark(d, 800, 2400000);
         EXPECT_EQ(Crop(d), 1);
     }},
    {"undo of a volume change",
     [](Session& s, HWND d) {
         set_mark(d, 0, 0);
         EXPECT_EQ(s.run(SetMaxVolume), 1u);
         EXPECT_TRUE(RestoreUndoInformation(d));
     }},
};

TEST(DocumentPeaks, TheSummaryFollowsEveryKindOfChange) {
    for (const Format& fmt : kFormats)
        for (const Change& change : kChanges) {
            SCOPED_TRACE(testing::Message()
                         << change.name << ", " << fmt.channels << " x " << fmt.bits << " bit");
            Session s;
            HWND d = s.doc(fmt, quiet_with_spikes(fmt, kFrames));
            ASSERT_TRUE(UpdatePeakSummary(d));
            expect_columns_match(d, fmt, 1594);
            change.run(s, d);
            expect_columns_match(d, fmt, 1594);
            expect_columns_match(d, fmt, 37);
        }
}

TEST(DocumentPeaks, AChangedDocumentIsNeverReadFromAnOldSummary) {
    const Format fmt{2, 44100, 16};
    Session s;
    HWND d = s.doc(fmt, quiet_with_spikes(fmt, kFrames));
    std::vector<ValueRange> out(2 * 100);
    EXPECT_EQ(ColumnPeaks(d, 0, 2 * kFrames / 100, 100, out.data()), -1)
        << "no summary yet: a whole-file read is refused";
    ASSERT_TRUE(UpdatePeakSummary(d));
    EXPECT_EQ(ColumnPeaks(d, 0, 2 * kFrames / 100, 100, out.data()), 100);
    // A change announced by its undo record but not yet followed by the end of the work.
    SaveUndoInformation(d, 40, 4, UNDO_CHANGED, "Test");
    {
        HGLOBAL h = GetProp(d, PROP_WAVE);
        auto* p = static_cast<int16_t*>(GlobalLock(h));
        p[20] = 32000;
        GlobalUnlock(h);
    }
    EXPECT_EQ(ColumnPeaks(d, 0, 2 * kFrames / 100, 100, out.data()), -1);
    // Short stretches are read from the samples meanwhile.
    ASSERT_EQ(ColumnPeaks(d, 0, 40, 2, out.data()), 2);
    EXPECT_EQ(out[0].max, 32000);
    ASSERT_TRUE(UpdatePeakSummary(d));
    expect_columns_match(d, fmt, 100);
    // A summary made for another data size is not read either.
    {
        HGLOBAL h = GetProp(d, PROP_HEADER);
        auto* hb = static_cast<HeaderBlock*>(GlobalLock(h));
        hb->dataSize -= 4000;
        GlobalUnlock(h);
    }
    EXPECT_EQ(ColumnPeaks(d, 0, 2 * kFrames / 100, 100, out.data()), -1);
}

TEST(DocumentPeaks, ReadsStopAtTheDataAndTheSummaryGoesWithIt) {
    const Format fmt{1, 22050, 8};
    Session s;
    HWND d = s.doc(fmt, quiet_with_spikes(fmt, 10000));
    ASSERT_TRUE(UpdatePeakSummary(d));
    std::vector<ValueRange> out(2 * 50);
    EXPECT_EQ(ColumnPeaks(d, 9000, 100, 50, out.data()), 10) << "columns past the end are left";
    EXPECT_EQ(ColumnPeaks(d, 20000, 100, 50, out.data()), 0);
    EXPECT_NE(GetProp(d, PROP_PEAKS), nullptr);
    ReleaseDocumentBlocks(d);
    EXPECT_EQ(GetProp(d, PROP_PEAKS), nullptr);
    EXPECT_EQ(ColumnPeaks(d, 0, 100, 50, out.data()), 0) << "no data: nothing to read";
}

}  // namespace
