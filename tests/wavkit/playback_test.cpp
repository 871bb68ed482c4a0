// The playback exports: the output opened for the document's format, the
// header over the played range of the document's own memory, what a device
// refusal shows, and the document's memory going away while it plays.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::QuestionRecorder;

const char* wave_of(HWND doc) {
    HGLOBAL h = GetProp(doc, PROP_WAVE);
    auto* p = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
    return p;
}

class PlaybackExports : public ::testing::Test {
protected:
    void TearDown() override {
        if (out) CloseOutput(out, hdr);
    }
    // Opens the default device for doc and queues its range.
    void play(HWND doc, BOOL loop) {
        out = OpenOutput(WAVE_MAPPER, doc);
        ASSERT_TRUE(out);
        hdr = PlayWAV(out, doc, loop);
        ASSERT_TRUE(hdr);
    }
    void close() {
        EXPECT_EQ(CloseOutput(out, hdr), 1);
        out = nullptr;
        hdr = nullptr;
    }
    Frame f;
    HWAVEOUT out = nullptr;
    LPWAVEHDR hdr = nullptr;
};

}  // namespace

TEST_F(PlaybackExports, TheHeaderCoversTheMarkOrTheWholeDataInPlace) {
    HWND doc = make_document(f, Format{2, 22050, 16}, pattern(4000));
    play(doc, FALSE);
    EXPECT_EQ(hdr->lpData, wave_of(doc));
    EXPECT_EQ(hdr->dwBufferLength, 4000u);
    EXPECT_EQ(hdr->dwLoops, 0u);
    EXPECT_EQ(hdr->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), 0u);
    EXPECT_TRUE(hdr->dwFlags & WHDR_PREPARED);
    close();

    set_mark(doc, 400, 800);
    play(doc, TRUE);
    EXPECT_EQ(hdr->lpData, wave_of(doc) + 400);
    EXPECT_EQ(hdr->dwBufferLength, 800u);
    EXPECT_EQ(hdr->dwLoops, 4000000000u);
    EXPECT_EQ(hdr->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), 12u);
    EXPECT_TRUE(hdr->dwFlags & WHDR_INQUEUE) << "an endless header stays queued";
}

TEST_F(PlaybackExports, AMarkBeyondTheDataIsCutAtTheDataEnd) {
    HWND doc = make_document(f, Format{1, 8000, 8}, pattern(1000));
    set_mark(doc, 900, 500);
    play(doc, TRUE);
    EXPECT_EQ(hdr->lpData, wave_of(doc) + 900);
    EXPECT_EQ(hdr->dwBufferLength, 100u);
    close();
    set_mark(doc, 5000, 10);
    play(doc, TRUE);
    EXPECT_EQ(hdr->dwBufferLength, 0u);
}

TEST_F(PlaybackExports, ADeviceThatRefusesShowsItsTextOverTheDocument) {
    HWND doc = make_document(f, Format{1, 8000, 8}, pattern(100));
    QuestionRecorder rec;
    EXPECT_FALSE(OpenOutput(4000, doc));
    char expected[256] = {};
    waveOutGetErrorText(MMSYSERR_BADDEVICEID, expected, 255);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, expected);
    EXPECT_EQ(rec.asked[0].caption, "Warning...");
    EXPECT_EQ(rec.asked[0].owner, doc);
    EXPECT_NE(std::string(expected), "");
}

TEST_F(PlaybackExports, TheOutputOpensWithTheDocumentsFormatWhateverItsCodeSays) {
    for (Format fmt : {Format{1, 8000, 8}, Format{2, 44100, 16}, Format{1, 11025, 16}}) {
        HWND doc = make_document(f, fmt, pattern(fmt.blockAlign() * 100u));
        auto* h = static_cast<HeaderBlock*>(GlobalLock(GetProp(doc, PROP_HEADER)));
        h->formatCode = 2;
        GlobalUnlock(GetProp(doc, PROP_HEADER));
        play(doc, FALSE);
        close();
    }
}

TEST_F(PlaybackExports, TheDataMayBeReplacedOrFreedWhileTheDeviceReadsIt) {
    HWND doc = make_document(f, Format{2, 44100, 16}, pattern(1 << 20));
    play(doc, TRUE);
    // An operation that grows the data moves it; closing the document frees it.
    HGLOBAL data = GetProp(doc, PROP_WAVE);
    ASSERT_TRUE(GlobalReAlloc(data, 8 << 20, GMEM_MOVEABLE | GMEM_ZEROINIT));
    MMTIME before{TIME_BYTES, {}}, after{TIME_BYTES, {}};
    waveOutGetPosition(out, &before, sizeof before);
    GlobalFree(RemoveProp(doc, PROP_WAVE));
    for (int i = 0; i < 100 && after.u.cb <= before.u.cb; ++i) {
        Sleep(5);
        waveOutGetPosition(out, &after, sizeof after);
    }
    EXPECT_GT(after.u.cb, before.u.cb) << "the device went on reading the old bytes";
    close();
}
