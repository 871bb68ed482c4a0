// Wave inputs: what the device captures reaches the queued buffers (checked in
// child processes whose SDL input is read from a file), buffers come back in
// order through window and function callbacks, stop and reset give buffers
// back, and refusals: bad formats, ids and handles, and no capture device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "audio_test_support.h"
#include "test_support.h"
#include "window_test_log.h"

namespace {

using atest::Bytes;
using atest::pcm;

struct CaptureCase {
    const char* name;
    WAVEFORMATEX format;
    Bytes signal;
    DWORD buffer_bytes;
};

CaptureCase capture_case(const std::string& name) {
    if (name == "stereo16") return {"stereo16", pcm(16, 2, 22050), atest::signal16(3000), 8192};
    return {"mono8", pcm(8, 1, 8000), atest::signal8(6000), 4096};
}

constexpr size_t kCaptureBuffers = 6;

// Child: fills six buffers from the input, checks how they came back and
// writes their bytes, in order, to out.
int capture(const std::string& name, const std::string& out) {
    CaptureCase c = capture_case(name);
    HWND window = wtest::top_window();
    HWAVEIN in = nullptr;
    if (waveInOpen(&in, WAVE_MAPPER, &c.format, DWORD_PTR(window), 0, CALLBACK_WINDOW)) return 2;
    std::vector<Bytes> data(kCaptureBuffers, Bytes(c.buffer_bytes));
    std::vector<WAVEHDR> hdrs(kCaptureBuffers);
    for (size_t i = 0; i < kCaptureBuffers; ++i) {
        hdrs[i].lpData = reinterpret_cast<LPSTR>(data[i].data());
        hdrs[i].dwBufferLength = c.buffer_bytes;
        if (waveInPrepareHeader(in, &hdrs[i], sizeof(WAVEHDR)) ||
            waveInAddBuffer(in, &hdrs[i], sizeof(WAVEHDR)))
            return 3;
    }
    if (waveInStart(in)) return 3;
    if (!atest::wait_for([] { return wtest::of(MM_WIM_DATA).size() == kCaptureBuffers; })) return 4;
    auto done = wtest::of(MM_WIM_DATA, window);
    Bytes all;
    for (size_t i = 0; i < kCaptureBuffers; ++i) {
        const WAVEHDR& h = hdrs[i];
        bool right = done[i].lp == LPARAM(&h) && done[i].wp == WPARAM(in) &&
                     (h.dwFlags & WHDR_DONE) && !(h.dwFlags & WHDR_INQUEUE) &&
                     h.dwBytesRecorded == h.dwBufferLength;
        if (!right) return 5;
        all.insert(all.end(), data[i].begin(), data[i].end());
    }
    MMTIME t{TIME_BYTES, {0}};
    waveInGetPosition(in, &t, sizeof(t));
    if (t.u.cb != kCaptureBuffers * c.buffer_bytes) return 6;
    waveInReset(in);
    for (WAVEHDR& h : hdrs) waveInUnprepareHeader(in, &h, sizeof(h));
    if (waveInClose(in)) return 7;
    atest::pump();
    auto order = wtest::sequence(window, {MM_WIM_OPEN, MM_WIM_DATA, MM_WIM_CLOSE});
    if (order.front() != MM_WIM_OPEN || order.back() != MM_WIM_CLOSE) return 8;
    testing_support::write_file(out, all);
    return 0;
}

// Child with no audio driver at all: answers of the device list, the open
// and the MCI recording, one failing check per exit code.
int without_capture() {
    WAVEINCAPS caps{};
    HWAVEIN in = nullptr;
    WAVEFORMATEX f = pcm(8, 1, 8000);
    struct Check {
        bool ok;
    } checks[] = {
        {waveInGetNumDevs() == 0},
        {waveInGetDevCaps(WAVE_MAPPER, &caps, sizeof(caps)) == MMSYSERR_NODRIVER},
        {waveInOpen(&in, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL) == MMSYSERR_NODRIVER && !in},
        {waveInOpen(&in, 0, &f, 0, 0, CALLBACK_NULL) == MMSYSERR_NODRIVER && !in},
        {atest::mci("open new type waveaudio alias r") == "1"},
        {atest::mci("record r") == "error " + std::to_string(MCIERR_WAVE_INPUTSUNSUITABLE)},
        {atest::mci("status r mode") == "stopped"},
        {atest::mci("close r").empty()},
    };
    for (size_t i = 0; i < std::size(checks); ++i)
        if (!checks[i].ok) return int(10 + i);
    return 0;
}

const bool g_roles = [] {
    testing_support::register_child_role("wave-in", [](const std::vector<std::string>& a) {
        return a.size() == 2 ? capture(a[0], a[1]) : 1;
    });
    testing_support::register_child_role(
        "wave-in-none", [](const std::vector<std::string>&) { return without_capture(); });
    return true;
}();

TEST(WaveInDevice, CapturedSignalReachesTheBuffersInOrder) {
    for (const char* name : {"mono8", "stereo16"}) {
        CaptureCase c = capture_case(name);
        std::string dir = testing_support::fresh_dir(std::string("wave-in-") + name);
        atest::DiskAudio audio{dir + "/input.raw", dir + "/output.raw", 0};
        testing_support::write_file(audio.in, c.signal);
        std::string captured = dir + "/captured.raw";
        ASSERT_EQ(atest::run_with_disk_audio("wave-in", {name, captured}, audio), 0) << name;
        Bytes got = testing_support::read_file(captured);
        EXPECT_EQ(got.size(), kCaptureBuffers * c.buffer_bytes) << name;
        long at = atest::find(got, c.signal);
        EXPECT_GE(at, 0) << name << ": the input's samples arrive unchanged and in order";
        EXPECT_EQ(at % c.format.nBlockAlign, 0) << name << ": buffers hold whole frames";
    }
}

TEST(WaveInDevice, WithoutAnyAudioDriverNothingOpens) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    int rc = testing_support::wait_child(testing_support::spawn_child("wave-in-none"));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(rc, 0) << "the first failing check is number " << rc - 10;
}

class WaveIn : public ::testing::Test {
protected:
    void SetUp() override {
        atest::pump();
        wtest::log().clear();
    }
    void TearDown() override {
        if (in) {
            waveInReset(in);
            for (WAVEHDR& h : hdrs) waveInUnprepareHeader(in, &h, sizeof(h));
            waveInClose(in);
        }
        if (window) DestroyWindow(window);
        atest::pump();
    }
    // Opens the default input (8-bit mono, 8000 Hz) telling a window, with
    // count buffers of bytes each prepared and queued.
    void open_with_buffers(size_t count, DWORD bytes) {
        window = wtest::top_window();
        WAVEFORMATEX f = pcm(8, 1, 8000);
        ASSERT_EQ(waveInOpen(&in, WAVE_MAPPER, &f, DWORD_PTR(window), 0, CALLBACK_WINDOW),
                  MMRESULT(MMSYSERR_NOERROR));
        data.assign(count, Bytes(bytes));
        hdrs.assign(count, WAVEHDR{});
        for (size_t i = 0; i < count; ++i) {
            hdrs[i].lpData = reinterpret_cast<LPSTR>(data[i].data());
            hdrs[i].dwBufferLength = bytes;
            ASSERT_EQ(waveInPrepareHeader(in, &hdrs[i], sizeof(WAVEHDR)), 0u);
            ASSERT_EQ(waveInAddBuffer(in, &hdrs[i], sizeof(WAVEHDR)), 0u);
        }
    }
    DWORD position() {
        MMTIME t{TIME_SAMPLES, {0}};
        EXPECT_EQ(waveInGetPosition(in, &t, sizeof(t)), 0u);
        return t.u.sample;
    }
    HWND window = nullptr;
    HWAVEIN in = nullptr;
    std::vector<Bytes> data;
    std::vector<WAVEHDR> hdrs;
};

TEST_F(WaveIn, ResetGivesEveryQueuedBufferBackInOrder) {
    open_with_buffers(3, 16000);  // two seconds each: none fills during the test
    ASSERT_EQ(waveInStart(in), 0u);
    EXPECT_EQ(waveInClose(in), MMRESULT(WAVERR_STILLPLAYING));
    EXPECT_EQ(waveInUnprepareHeader(in, &hdrs[0], sizeof(WAVEHDR)), MMRESULT(WAVERR_STILLPLAYING));
    ASSERT_EQ(waveInReset(in), 0u);
    for (WAVEHDR& h : hdrs) {
        EXPECT_TRUE(h.dwFlags & WHDR_DONE);
        EXPECT_FALSE(h.dwFlags & WHDR_INQUEUE);
        EXPECT_LT(h.dwBytesRecorded, h.dwBufferLength);
    }
    EXPECT_EQ(position(), 0u) << "a reset input starts counting again";
    atest::pump();
    auto done = wtest::of(MM_WIM_DATA, window);
    ASSERT_EQ(done.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(done[i].lp, LPARAM(&hdrs[i]));
    for (WAVEHDR& h : hdrs) EXPECT_EQ(waveInUnprepareHeader(in, &h, sizeof(h)), 0u);
    EXPECT_EQ(waveInClose(in), 0u);
    in = nullptr;
}

TEST_F(WaveIn, StopGivesBackThePartlyFilledBufferAndKeepsTheRest) {
    open_with_buffers(2, 16000);
    ASSERT_EQ(waveInStart(in), 0u);
    ASSERT_TRUE(atest::wait_for([&] { return position() > 0; }));
    ASSERT_EQ(waveInStop(in), 0u);
    DWORD held = position();
    EXPECT_TRUE(hdrs[0].dwFlags & WHDR_DONE);
    EXPECT_GT(hdrs[0].dwBytesRecorded, 0u);
    EXPECT_EQ(hdrs[0].dwBytesRecorded, held) << "8-bit mono: one byte a frame";
    EXPECT_TRUE(hdrs[1].dwFlags & WHDR_INQUEUE) << "an empty buffer stays queued";
    Sleep(60);
    EXPECT_EQ(position(), held) << "a stopped input takes nothing in";
    ASSERT_EQ(waveInStart(in), 0u);
    ASSERT_TRUE(atest::wait_for([&] { return position() > held; }));
    EXPECT_GT(hdrs[1].dwBytesRecorded, 0u) << "recording goes on in the next buffer";
}

// What a function callback heard; it runs on the audio thread.
struct FunctionLog {
    std::mutex m;
    std::vector<UINT> messages;
    std::vector<DWORD_PTR> params;
    DWORD_PTR instance = 0;
    int requeue = 0;  // buffers still to queue again from the callback
    size_t count(UINT msg) {
        std::lock_guard lock(m);
        return size_t(std::count(messages.begin(), messages.end(), msg));
    }
};

void on_input(HWAVEIN in, UINT msg, DWORD_PTR instance, DWORD_PTR param, DWORD_PTR) {
    auto* log = reinterpret_cast<FunctionLog*>(instance);
    std::lock_guard lock(log->m);
    log->messages.push_back(msg);
    log->params.push_back(param);
    log->instance = instance;
    if (msg == WIM_DATA && log->requeue > 0) {
        --log->requeue;
        waveInAddBuffer(in, reinterpret_cast<WAVEHDR*>(param), sizeof(WAVEHDR));
    }
}

TEST_F(WaveIn, FunctionCallbackHearsOpenDataAndCloseAndMayQueueAgain) {
    FunctionLog log;
    log.requeue = 3;
    WAVEFORMATEX f = pcm(16, 2, 8000);
    ASSERT_EQ(
        waveInOpen(&in, WAVE_MAPPER, &f, DWORD_PTR(on_input), DWORD_PTR(&log), CALLBACK_FUNCTION),
        0u);
    data.assign(1, Bytes(640));  // 20 ms
    hdrs.assign(1, WAVEHDR{});
    hdrs[0].lpData = reinterpret_cast<LPSTR>(data[0].data());
    hdrs[0].dwBufferLength = 640;
    ASSERT_EQ(waveInPrepareHeader(in, &hdrs[0], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInAddBuffer(in, &hdrs[0], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInStart(in), 0u);
    ASSERT_TRUE(atest::wait_for([&] { return log.count(WIM_DATA) == 4; }));
    ASSERT_EQ(waveInReset(in), 0u);
    ASSERT_EQ(waveInUnprepareHeader(in, &hdrs[0], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInClose(in), 0u);
    in = nullptr;
    std::vector<UINT> expected = {WIM_OPEN, WIM_DATA, WIM_DATA, WIM_DATA, WIM_DATA, WIM_CLOSE};
    EXPECT_EQ(log.messages, expected) << "the buffer came back once per queueing";
    EXPECT_EQ(log.instance, DWORD_PTR(&log));
    EXPECT_EQ(log.params[1], DWORD_PTR(&hdrs[0]));
    EXPECT_EQ(hdrs[0].dwBytesRecorded, 640u);
}

TEST(WaveInRefusals, BadFormatsIdsHeadersAndHandlesAreRefused) {
    struct Open {
        WAVEFORMATEX f;
        UINT id;
        MMRESULT expected;
    };
    WAVEFORMATEX adpcm = pcm(16, 2, 44100);
    adpcm.wFormatTag = 2;
    UINT count = waveInGetNumDevs();
    ASSERT_GE(count, 1u) << "the dummy driver offers one capture device";
    const Open opens[] = {
        {adpcm, WAVE_MAPPER, WAVERR_BADFORMAT},
        {pcm(24, 2, 44100), WAVE_MAPPER, WAVERR_BADFORMAT},
        {pcm(16, 3, 44100), WAVE_MAPPER, WAVERR_BADFORMAT},
        {pcm(8, 1, 0), WAVE_MAPPER, WAVERR_BADFORMAT},
        {pcm(8, 1, 400000), WAVE_MAPPER, WAVERR_BADFORMAT},
        {pcm(8, 1, 8000), count + 3, MMSYSERR_BADDEVICEID},
    };
    for (const Open& o : opens) {
        HWAVEIN h = nullptr;
        EXPECT_EQ(waveInOpen(&h, o.id, &o.f, 0, 0, CALLBACK_NULL), o.expected);
        EXPECT_EQ(h, nullptr);
    }
    WAVEFORMATEX ok = pcm(16, 1, 11025);
    EXPECT_EQ(waveInOpen(nullptr, 0, &ok, 0, 0, WAVE_FORMAT_QUERY), 0u);

    HWAVEIN h = nullptr;
    ASSERT_EQ(waveInOpen(&h, 0, &ok, 0, 0, CALLBACK_NULL), 0u);
    Bytes buf(100);
    WAVEHDR hdr{};
    hdr.lpData = reinterpret_cast<LPSTR>(buf.data());
    hdr.dwBufferLength = 100;
    EXPECT_EQ(waveInAddBuffer(h, &hdr, sizeof(hdr)), MMRESULT(WAVERR_UNPREPARED));
    EXPECT_EQ(waveInAddBuffer(h, &hdr, sizeof(hdr) - 1), MMRESULT(MMSYSERR_INVALPARAM));
    ASSERT_EQ(waveInClose(h), 0u);
    MMTIME t{TIME_BYTES, {0}};
    for (HWAVEIN bad : {h, reinterpret_cast<HWAVEIN>(uintptr_t(0x5555))}) {
        EXPECT_EQ(waveInClose(bad), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveInPrepareHeader(bad, &hdr, sizeof(hdr)), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveInAddBuffer(bad, &hdr, sizeof(hdr)), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveInStart(bad), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveInStop(bad), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveInReset(bad), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveInGetPosition(bad, &t, sizeof(t)), MMRESULT(MMSYSERR_INVALHANDLE));
    }
}

TEST(WaveInInfo, DevicesHaveNamesAndErrorTextsAreTheOutputs) {
    WAVEINCAPS caps{};
    ASSERT_EQ(waveInGetDevCaps(WAVE_MAPPER, &caps, sizeof(caps)), 0u);
    EXPECT_GT(std::strlen(caps.szPname), 0u);
    UINT n = waveInGetNumDevs();
    for (UINT id = 0; id < n; ++id) {
        WAVEINCAPS c{};
        EXPECT_EQ(waveInGetDevCaps(id, &c, sizeof(c)), 0u);
        EXPECT_LT(std::strlen(c.szPname), size_t(MAXPNAMELEN));
        EXPECT_EQ(c.wChannels, 2);
    }
    EXPECT_EQ(waveInGetDevCaps(n, &caps, sizeof(caps)), MMRESULT(MMSYSERR_BADDEVICEID));
    char in_text[MAXERRORLENGTH], out_text[MAXERRORLENGTH];
    ASSERT_EQ(waveInGetErrorText(WAVERR_STILLPLAYING, in_text, sizeof(in_text)), 0u);
    waveOutGetErrorText(WAVERR_STILLPLAYING, out_text, sizeof(out_text));
    EXPECT_STREQ(in_text, out_text);
}

}  // namespace
