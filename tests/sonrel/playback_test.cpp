// Playback commands on the real frame: what plays, pausing, resuming and
// stopping, playing again while playing, the end of playback, closing the
// playing document, the volume steps and the output device dialog.
#include "playback.h"

#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

HWAVEOUT output(HWND frame) {
    return reinterpret_cast<HWAVEOUT>(SendMessage(frame, UM_GETWAVEOUT, 0, 0));
}
HWND playing(HWND frame) {
    return reinterpret_cast<HWND>(SendMessage(frame, UM_GETPLAYINGDOC, 0, 0));
}

// What the preview bar was told: UM_PLAYSTARTED (start, length) or UM_PLAYSTOPPED.
struct PreviewNote {
    UINT msg;
    WPARAM start;
    LPARAM length;
    bool operator==(const PreviewNote&) const = default;
};
std::vector<PreviewNote> g_preview;
WNDPROC g_previewProc = nullptr;

LRESULT CALLBACK preview_spy(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == UM_PLAYSTARTED || msg == UM_PLAYSTOPPED) g_preview.push_back({msg, wp, lp});
    return CallWindowProc(g_previewProc, w, msg, wp, lp);
}

// Half a second of a 16-bit mono ramp at 22050 Hz: long enough to still play
// while a test looks, short enough to end soon.
std::vector<short> ramp(size_t n) {
    std::vector<short> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<short>(i * 3);
    return v;
}

class Playback : public ::testing::Test {
protected:
    void SetUp() override {
        g_preview.clear();
        g_previewProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
            g_shell.preview, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(preview_spy)));
        waveOutSetVolume(nullptr, 0xFFFFFFFF);
    }
    void TearDown() override {
        if (g_playback.output) command(s.frame, IDM_STOP);
    }
    HWND open(const char* name, size_t values = 11025) {
        return open_document(s.frame, write_wave(name, ramp(values)));
    }
    Shell s;
};

}  // namespace

TEST_F(Playback, NothingPlaysWithoutADocumentOnAnEmptyOneOrWhileAnOperationRuns) {
    command(s.frame, IDM_PLAY);
    command(s.frame, IDM_PLAYLOOP);
    EXPECT_FALSE(output(s.frame)) << "no document";
    command(s.frame, IDM_NEW);
    ASSERT_TRUE(ActiveDocument());
    command(s.frame, IDM_PLAY);
    EXPECT_FALSE(output(s.frame)) << "an empty document";
    HWND doc = open("busy.wav");
    SetFileWorking(doc);
    command(s.frame, IDM_PLAY);
    EXPECT_FALSE(output(s.frame)) << "a document an operation works on";
    SetFileNotWorking(doc);
    command(s.frame, IDM_PLAYLOOP);
    ASSERT_TRUE(output(s.frame));
    SetFileWorking(doc);
    command(s.frame, IDM_PAUSE);
    command(s.frame, IDM_STOP);
    EXPECT_TRUE(output(s.frame)) << "pause and stop wait until the operation ends";
    EXPECT_FALSE(g_playback.paused);
    SetFileNotWorking(doc);
    EXPECT_TRUE(g_preview.size() == 1 && g_preview[0].msg == UM_PLAYSTARTED);
}

TEST_F(Playback, TheMarkOrTheWholeDataPlaysFromTheDocumentsOwnMemory) {
    HWND doc = open("mark.wav");
    set_mark(doc, 400, 800);
    command(s.frame, IDM_PLAY);
    ASSERT_TRUE(output(s.frame));
    EXPECT_EQ(playing(s.frame), doc);
    ASSERT_TRUE(g_playback.header);
    auto* data = static_cast<char*>(GlobalLock(GetProp(doc, PROP_WAVE)));
    EXPECT_EQ(g_playback.header->lpData, data + 400);
    EXPECT_EQ(g_playback.header->dwBufferLength, 800u);
    EXPECT_EQ(g_playback.header->dwLoops, 0u);
    EXPECT_EQ(g_playback.header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), 0u);
    GlobalUnlock(GetProp(doc, PROP_WAVE));
    EXPECT_EQ(g_preview, (std::vector<PreviewNote>{{UM_PLAYSTARTED, 400, 800}}));

    command(s.frame, IDM_STOP);
    EXPECT_FALSE(output(s.frame));
    EXPECT_FALSE(playing(s.frame));
    set_mark(doc, 0, 0);
    command(s.frame, IDM_PLAYLOOP);
    ASSERT_TRUE(g_playback.header);
    EXPECT_EQ(g_playback.header->dwBufferLength, 11025u * 2) << "no mark: the whole data";
    EXPECT_EQ(g_playback.header->dwLoops, 4000000000u);
    EXPECT_EQ(g_playback.header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), 12u);
}

TEST_F(Playback, PauseTwiceResumesAndPlayWhilePausedKeepsRangeAndLoop) {
    HWND doc = open("pause.wav");
    set_mark(doc, 100, 200);
    command(s.frame, IDM_PLAYLOOP);
    LPWAVEHDR header = g_playback.header;
    ASSERT_TRUE(header);
    command(s.frame, IDM_PAUSE);
    EXPECT_TRUE(g_playback.paused);
    command(s.frame, IDM_PAUSE);
    EXPECT_FALSE(g_playback.paused);
    command(s.frame, IDM_PAUSE);
    set_mark(doc, 0, 0);
    command(s.frame, IDM_PLAY);
    EXPECT_FALSE(g_playback.paused);
    EXPECT_EQ(g_playback.header, header) << "resumed, not started anew";
    EXPECT_EQ(header->dwBufferLength, 200u);
    EXPECT_EQ(header->dwLoops, 4000000000u);
    std::vector<PreviewNote> expected{{UM_PLAYSTARTED, 100, 200},
                                      {UM_PLAYSTOPPED, 0, 0},
                                      {UM_PLAYSTARTED, 100, 200},
                                      {UM_PLAYSTOPPED, 0, 0},
                                      {UM_PLAYSTARTED, 0, 0}};
    EXPECT_EQ(g_preview, expected);
}

TEST_F(Playback, StopWhilePausedLeavesNoOutputAndASecondStopDoesNothing) {
    open("stop.wav");
    command(s.frame, IDM_PLAYLOOP);
    command(s.frame, IDM_PAUSE);
    command(s.frame, IDM_STOP);
    EXPECT_FALSE(output(s.frame));
    EXPECT_FALSE(g_playback.paused);
    size_t notes = g_preview.size();
    command(s.frame, IDM_STOP);
    command(s.frame, IDM_PAUSE);
    EXPECT_EQ(g_preview.size(), notes);
}

TEST_F(Playback, PlayWhilePlayingStartsAfreshWithTheActiveDocument) {
    HWND first = open("first.wav");
    command(s.frame, IDM_PLAYLOOP);
    HWAVEOUT firstOutput = output(s.frame);
    ASSERT_TRUE(firstOutput);
    HWND second = open("second.wav", 5000);
    ASSERT_EQ(ActiveDocument(), second);
    command(s.frame, IDM_PLAYLOOP);
    EXPECT_TRUE(serve_until([&] { return playing(s.frame) == second; }));
    EXPECT_NE(output(s.frame), firstOutput);
    ASSERT_TRUE(g_playback.header);
    EXPECT_EQ(g_playback.header->dwBufferLength, 10000u);
    // The first output's header came back done when it was reset; that notice
    // must not end the new playback.
    for (int i = 0; i < 20; ++i) {
        PlatformProcessEvents();
        Sleep(5);
    }
    EXPECT_EQ(playing(s.frame), second);
    EXPECT_NE(first, second);
}

TEST_F(Playback, TheEndOfPlaybackClosesTheOutput) {
    HWND doc = open("short.wav", 64);
    command(s.frame, IDM_PLAY);
    ASSERT_TRUE(output(s.frame));
    EXPECT_TRUE(serve_until([&] { return !output(s.frame); }));
    EXPECT_FALSE(playing(s.frame));
    EXPECT_FALSE(g_playback.header);
    // A late notice for an output that is gone changes nothing.
    command(s.frame, IDM_PLAYLOOP);
    HWAVEOUT now = output(s.frame);
    SendMessage(doc, MM_WOM_DONE, static_cast<WPARAM>(0x1234), 0);
    EXPECT_EQ(output(s.frame), now);
}

TEST_F(Playback, ClosingThePlayingDocumentStopsPlaybackFirst) {
    HWND doc = open("close.wav");
    command(s.frame, IDM_PLAYLOOP);
    ASSERT_TRUE(output(s.frame));
    SendMessage(g_shell.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
    EXPECT_FALSE(IsWindow(doc));
    EXPECT_FALSE(output(s.frame));
    EXPECT_FALSE(playing(s.frame));
    ASSERT_FALSE(g_preview.empty());
    EXPECT_EQ(g_preview.back().msg, UM_PLAYSTOPPED);
}

TEST_F(Playback, VolumeStepsAreOneSixteenthAndStopAtTheEnds) {
    auto volume = [] {
        DWORD v = 0;
        waveOutGetVolume(nullptr, &v);
        return v;
    };
    waveOutSetVolume(nullptr, 0x80008000);
    command(s.frame, IDM_VOLUMEUP);
    EXPECT_EQ(volume(), 0x90009000u);
    command(s.frame, IDM_VOLUMEDOWN);
    command(s.frame, IDM_VOLUMEDOWN);
    EXPECT_EQ(volume(), 0x70007000u);
    waveOutSetVolume(nullptr, 0x1000F000);
    command(s.frame, IDM_VOLUMEUP);
    EXPECT_EQ(volume(), 0x1000F000u) << "left at 0xF000: no step up";
    waveOutSetVolume(nullptr, 0x0FFF8000);
    command(s.frame, IDM_VOLUMEDOWN);
    EXPECT_EQ(volume(), 0x0FFF8000u) << "right below 0x1000: no step down";
    command(s.frame, IDM_VOLUMEUP);
    EXPECT_EQ(volume(), 0x1FFF9000u);
}

TEST_F(Playback, TheDeviceDialogListsTheDevicesAndStoresTheChoiceForBothDirections) {
    UINT devices = waveOutGetNumDevs();
    if (devices == 0) GTEST_SKIP() << "the audio driver lists no output device";
    QuestionRecorder rec;
    std::vector<std::string> entries;
    LRESULT selected = -5;
    int pick = 0;
    INT_PTR button = IDOK;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
        auto dlg = static_cast<HWND>(q->data);
        entries = testing_support::combo_items(dlg, 101);
        selected = SendDlgItemMessage(dlg, 101, CB_GETCURSEL, 0, 0);
        SendDlgItemMessage(dlg, 101, CB_SETCURSEL, WPARAM(pick), 0);
        return button;
    };
    g_shell.outputDevice = 0;
    pick = 0;
    command(s.frame, IDM_OUTPUTDEVICE);
    ASSERT_EQ(entries.size(), devices + 1);
    EXPECT_EQ(entries[0], "Plug & Play (Automatic recognition)");
    WAVEOUTCAPS caps{};
    waveOutGetDevCaps(0, &caps, sizeof caps);
    EXPECT_EQ(entries[1], caps.szPname);
    EXPECT_EQ(selected, 1) << "device 0 is the entry after Plug & Play";
    EXPECT_EQ(g_shell.outputDevice, 0xFFFFFFFFu);
    EXPECT_EQ(RegGetString("Sonrel\\Settings\\WaveOutID", ""), std::string("4294967295"));
    EXPECT_EQ(RegGetString("Sonrel\\Settings\\WaveInID", ""), std::string("4294967295"));

    pick = 1;
    button = IDCANCEL;
    command(s.frame, IDM_OUTPUTDEVICE);
    EXPECT_EQ(selected, 0) << "Plug & Play is preselected";
    EXPECT_EQ(g_shell.outputDevice, 0xFFFFFFFFu) << "Cancel changes nothing";
    EXPECT_EQ(RegGetString("Sonrel\\Settings\\WaveOutID", ""), std::string("4294967295"));
}
