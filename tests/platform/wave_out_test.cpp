// Wave outputs: what reaches the device (checked in child processes whose SDL
// output goes to a file), the notices to the window, queue order, loops, pause,
// reset, volume, refusals, and the memory a queued header keeps alive.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "test_support.h"
#include "window_test_log.h"

namespace {

using Bytes = std::vector<unsigned char>;

WAVEFORMATEX pcm(int bits, int channels, int rate) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = WORD(channels);
    f.nSamplesPerSec = DWORD(rate);
    f.nBlockAlign = WORD(bits / 8 * channels);
    f.nAvgBytesPerSec = DWORD(rate) * f.nBlockAlign;
    f.wBitsPerSample = WORD(bits);
    return f;
}

WAVEHDR header(Bytes& data, DWORD flags = 0, DWORD loops = 0) {
    WAVEHDR h{};
    h.lpData = reinterpret_cast<LPSTR>(data.data());
    h.dwBufferLength = DWORD(data.size());
    h.dwFlags = flags;
    h.dwLoops = loops;
    return h;
}

void put16(Bytes& b, int v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

// 8-bit mono: a ramp that wraps, never two equal neighbours.
Bytes ramp8(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(i * 7 + 3);
    return b;
}

// 16-bit stereo: left rises, right falls; every value a multiple of 4.
Bytes stereo16(int frames) {
    Bytes b;
    for (int i = 0; i < frames; ++i) {
        put16(b, i * 40 + 4);
        put16(b, -i * 36 - 8);
    }
    return b;
}

DWORD position(HWAVEOUT h, UINT type = TIME_SAMPLES) {
    MMTIME t{};
    t.wType = type;
    EXPECT_EQ(waveOutGetPosition(h, &t, sizeof(t)), MMRESULT(MMSYSERR_NOERROR));
    return t.u.sample;
}

void pump() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
}

// Pumps messages until done() holds or 5 s have passed; gives done().
bool wait_for(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < end) {
        pump();
        Sleep(2);
    }
    return done();
}

// What a child plays: headers (one per part) in one format, at one volume.
struct Case {
    WAVEFORMATEX format;
    std::vector<Bytes> parts;
    DWORD flags = 0;
    DWORD loops = 0;
    DWORD volume = 0xFFFFFFFF;
    bool free_block = false;  // play the first part from a global block freed at once
    Bytes expected;           // what the device must receive
};

Case make_case(const std::string& name) {
    Case c;
    if (name == "stereo16" || name == "volume") {
        c.format = pcm(16, 2, 22050);
        c.parts = {stereo16(700)};
        c.expected = c.parts[0];
        if (name == "volume") {
            c.volume = 0x40008000;  // right a quarter, left a half
            c.expected.clear();
            for (int i = 0; i < 700; ++i) {
                put16(c.expected, (i * 40 + 4) / 2);
                put16(c.expected, (-i * 36 - 8) / 4);
            }
        }
        return c;
    }
    c.format = pcm(8, 1, 8000);
    Bytes ramp = ramp8(1500);
    if (name == "loop3") {
        c.parts = {ramp};
        c.flags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        c.loops = 3;
        for (int i = 0; i < 3; ++i) c.expected.insert(c.expected.end(), ramp.begin(), ramp.end());
        return c;
    }
    c.free_block = name == "freed";
    c.parts = {Bytes(ramp.begin(), ramp.begin() + 1000), Bytes(ramp.begin() + 1000, ramp.end())};
    c.expected = ramp;
    return c;
}

// Child: plays a case to the end through the driver the environment names.
int play_case(const std::string& name) {
    Case c = make_case(name);
    HWND window = wtest::top_window();
    HWAVEOUT h = nullptr;
    if (waveOutOpen(&h, WAVE_MAPPER, &c.format, DWORD_PTR(window), 0, CALLBACK_WINDOW)) return 2;
    waveOutSetVolume(h, c.volume);
    waveOutPause(h);
    HGLOBAL block = nullptr;
    if (c.free_block) {
        block = GlobalAlloc(GMEM_MOVEABLE, c.parts[0].size());
        std::memcpy(GlobalLock(block), c.parts[0].data(), c.parts[0].size());
    }
    std::vector<WAVEHDR> hdrs;
    for (Bytes& part : c.parts) hdrs.push_back(header(part, c.flags, c.loops));
    if (block) hdrs[0].lpData = static_cast<LPSTR>(GlobalLock(block));
    for (WAVEHDR& hdr : hdrs) {
        if (waveOutPrepareHeader(h, &hdr, sizeof(hdr)) || waveOutWrite(h, &hdr, sizeof(hdr)))
            return 3;
    }
    if (block) GlobalFree(block);
    waveOutRestart(h);
    bool done = wait_for([&] { return wtest::of(MM_WOM_DONE).size() == hdrs.size(); });
    waveOutReset(h);
    for (WAVEHDR& hdr : hdrs) waveOutUnprepareHeader(h, &hdr, sizeof(hdr));
    bool closed = waveOutClose(h) == MMSYSERR_NOERROR;
    return done && closed ? 0 : 4;
}

const bool g_role = [] {
    testing_support::register_child_role("wave-out", [](const std::vector<std::string>& a) {
        return a.size() == 1 ? play_case(a[0]) : 1;
    });
    return true;
}();

// Runs a case in a child whose device writes to a file; gives the file.
Bytes device_output(const std::string& name) {
    std::string out = testing_support::fresh_dir("wave-" + name) + "/device.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    int rc = testing_support::wait_child(testing_support::spawn_child("wave-out", {name}));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
    EXPECT_EQ(rc, 0) << name;
    return testing_support::read_file(out);
}

// The device got exactly the expected bytes, with only silence around them.
void expect_exactly(const std::string& name) {
    Case c = make_case(name);
    Bytes played = device_output(name);
    unsigned char silence = c.format.wBitsPerSample == 8 ? 0x80 : 0;
    auto start = std::search(played.begin(), played.end(), c.expected.begin(), c.expected.end());
    ASSERT_NE(start, played.end()) << name << ": the frames reached the device unchanged";
    auto quiet = [&](auto b) { return b == silence; };
    EXPECT_TRUE(std::all_of(played.begin(), start, quiet)) << name << ": silence before";
    EXPECT_TRUE(std::all_of(start + std::ptrdiff_t(c.expected.size()), played.end(), quiet))
        << name << ": silence after, nothing played twice";
}

TEST(WaveOutDevice, HeadersReachTheDeviceInPlaceAndInQueueOrder) {
    expect_exactly("mono8");
    expect_exactly("stereo16");
}

TEST(WaveOutDevice, LoopedHeaderPlaysItsDataAsOftenAsItsLoopCount) {
    expect_exactly("loop3");
}

TEST(WaveOutDevice, VolumeScalesEachChannelOnItsOwn) {
    expect_exactly("volume");
}

TEST(WaveOutDevice, BlockFreedWhileQueuedStillPlaysItsBytes) {
    expect_exactly("freed");
}

class WaveOut : public ::testing::Test {
protected:
    void SetUp() override {
        pump();
        wtest::log().clear();
    }
    void TearDown() override {
        if (out) {
            waveOutReset(out);
            for (WAVEHDR* h : prepared) waveOutUnprepareHeader(out, h, sizeof(*h));
            waveOutClose(out);
        }
        if (window) DestroyWindow(window);
        pump();
    }
    void open(const WAVEFORMATEX& f, bool notify = false) {
        if (notify) window = wtest::top_window();
        ASSERT_EQ(waveOutOpen(&out, WAVE_MAPPER, &f, DWORD_PTR(window), 0,
                              notify ? CALLBACK_WINDOW : CALLBACK_NULL),
                  MMRESULT(MMSYSERR_NOERROR));
    }
    void play(WAVEHDR* h) {
        ASSERT_EQ(waveOutPrepareHeader(out, h, sizeof(*h)), MMRESULT(MMSYSERR_NOERROR));
        prepared.push_back(h);
        ASSERT_EQ(waveOutWrite(out, h, sizeof(*h)), MMRESULT(MMSYSERR_NOERROR));
    }
    HWND window = nullptr;
    HWAVEOUT out = nullptr;
    std::vector<WAVEHDR*> prepared;
    // A header still queued when the test body ends lives here with its
    // samples, so that TearDown's reset and unprepare touch live memory.
    Bytes kept_data;
    WAVEHDR kept{};
};

TEST_F(WaveOut, WindowHearsOpenDoneInOrderAndClose) {
    open(pcm(16, 2, 22050), true);
    Bytes a = stereo16(400), b = stereo16(100);
    WAVEHDR ha = header(a), hb = header(b);
    play(&ha);
    play(&hb);
    ASSERT_TRUE(wait_for([] { return wtest::of(MM_WOM_DONE).size() == 2; }));
    auto opened = wtest::of(MM_WOM_OPEN, window);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].wp, WPARAM(out));
    auto done = wtest::of(MM_WOM_DONE, window);
    EXPECT_EQ(done[0].wp, WPARAM(out));
    EXPECT_EQ(done[0].lp, LPARAM(&ha)) << "headers finish in the order they were queued";
    EXPECT_EQ(done[1].lp, LPARAM(&hb));
    for (WAVEHDR* h : {&ha, &hb}) {
        EXPECT_TRUE(h->dwFlags & WHDR_DONE);
        EXPECT_FALSE(h->dwFlags & WHDR_INQUEUE);
    }
    EXPECT_EQ(position(out, TIME_SAMPLES), 500u) << "frames";
    EXPECT_EQ(position(out, TIME_BYTES), 2000u);
    MMTIME t{TIME_MS, {0}};
    ASSERT_EQ(waveOutGetPosition(out, &t, sizeof(t)), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_EQ(t.wType, UINT(TIME_BYTES)) << "an unsupported type falls back to bytes";
    EXPECT_EQ(t.u.cb, 2000u);

    for (WAVEHDR* h : {&ha, &hb}) EXPECT_EQ(waveOutUnprepareHeader(out, h, sizeof(*h)), 0u);
    prepared.clear();
    HWAVEOUT closed = out;
    ASSERT_EQ(waveOutClose(out), MMRESULT(MMSYSERR_NOERROR));
    out = nullptr;
    pump();
    auto closing = wtest::of(MM_WOM_CLOSE, window);
    ASSERT_EQ(closing.size(), 1u);
    EXPECT_EQ(closing[0].wp, WPARAM(closed));
}

TEST_F(WaveOut, EndlessLoopGrowsPastItsLengthAndResetReturnsItAtOnce) {
    open(pcm(8, 1, 11025), true);
    Bytes& data = kept_data = ramp8(300);
    WAVEHDR& h = kept = header(data, WHDR_BEGINLOOP | WHDR_ENDLOOP, 4000000000u);
    play(&h);
    ASSERT_TRUE(wait_for([&] { return position(out) > 3 * data.size(); }))
        << "the position counts every pass of the loop";
    EXPECT_TRUE(h.dwFlags & WHDR_INQUEUE);
    EXPECT_EQ(waveOutUnprepareHeader(out, &h, sizeof(h)), MMRESULT(WAVERR_STILLPLAYING));
    EXPECT_EQ(waveOutClose(out), MMRESULT(WAVERR_STILLPLAYING));

    ASSERT_EQ(waveOutReset(out), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_TRUE(h.dwFlags & WHDR_DONE);
    EXPECT_FALSE(h.dwFlags & WHDR_INQUEUE);
    EXPECT_EQ(position(out), 0u);
    pump();
    auto done = wtest::of(MM_WOM_DONE, window);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].lp, LPARAM(&h));
    EXPECT_EQ(waveOutUnprepareHeader(out, &h, sizeof(h)), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_FALSE(h.dwFlags & WHDR_PREPARED);
}

TEST_F(WaveOut, PauseHoldsThePositionAndRestartGoesOn) {
    open(pcm(16, 1, 8000));
    Bytes& data = kept_data = Bytes(2000, 0x11);
    WAVEHDR& h = kept = header(data, WHDR_BEGINLOOP | WHDR_ENDLOOP, 4000000000u);
    play(&h);
    ASSERT_TRUE(wait_for([&] { return position(out) > 0; }));
    ASSERT_EQ(waveOutPause(out), MMRESULT(MMSYSERR_NOERROR));
    DWORD held = position(out);
    Sleep(150);
    EXPECT_EQ(position(out), held) << "a paused output does not move";
    EXPECT_TRUE(h.dwFlags & WHDR_INQUEUE);
    ASSERT_EQ(waveOutRestart(out), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_TRUE(wait_for([&] { return position(out) > held; }));
}

TEST_F(WaveOut, HeadersMustBePreparedAndStayPreparedWhileQueued) {
    open(pcm(8, 2, 8000));
    Bytes data = ramp8(400);
    WAVEHDR h = header(data);
    EXPECT_EQ(waveOutWrite(out, &h, sizeof(h)), MMRESULT(WAVERR_UNPREPARED));
    EXPECT_EQ(waveOutWrite(out, &h, sizeof(h) - 1), MMRESULT(MMSYSERR_INVALPARAM));
    ASSERT_EQ(waveOutPrepareHeader(out, &h, sizeof(h)), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_TRUE(h.dwFlags & WHDR_PREPARED);
    EXPECT_EQ(waveOutUnprepareHeader(out, &h, sizeof(h)), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_FALSE(h.dwFlags & WHDR_PREPARED);
}

TEST_F(WaveOut, FreedAndMovedBlocksStayReadableUntilUnprepared) {
    open(pcm(8, 1, 48000));
    const size_t size = 4096;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    std::memset(bytes, 0x40, size);
    WAVEHDR h{};
    h.lpData = reinterpret_cast<LPSTR>(bytes);
    h.dwBufferLength = DWORD(size);
    h.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    h.dwLoops = 4000000000u;
    play(&h);
    ASSERT_NE(GlobalReAlloc(block, size * 300, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalFree(block), nullptr);
    ASSERT_TRUE(wait_for([&] { return position(out) > 3 * size; }))
        << "the device goes on reading the old bytes";
    EXPECT_EQ(waveOutReset(out), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_EQ(waveOutUnprepareHeader(out, &h, sizeof(h)), MMRESULT(MMSYSERR_NOERROR));
    prepared.clear();
}

TEST_F(WaveOut, ClosedOrForgedHandleIsRefused) {
    open(pcm(8, 1, 8000));
    HWAVEOUT dead = out;
    ASSERT_EQ(waveOutClose(out), MMRESULT(MMSYSERR_NOERROR));
    out = nullptr;
    Bytes data(100, 0x80);
    WAVEHDR h = header(data);
    DWORD volume = 0;
    MMTIME t{TIME_BYTES, {0}};
    for (HWAVEOUT bad : {dead, reinterpret_cast<HWAVEOUT>(uintptr_t(0x7777))}) {
        EXPECT_EQ(waveOutClose(bad), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveOutPrepareHeader(bad, &h, sizeof(h)), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveOutWrite(bad, &h, sizeof(h)), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveOutPause(bad), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveOutRestart(bad), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveOutReset(bad), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveOutGetPosition(bad, &t, sizeof(t)), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveOutGetVolume(bad, &volume), MMRESULT(MMSYSERR_INVALHANDLE));
        EXPECT_EQ(waveOutSetVolume(bad, 0), MMRESULT(MMSYSERR_INVALHANDLE));
    }
    EXPECT_FALSE(h.dwFlags & WHDR_PREPARED);
}

TEST_F(WaveOut, FormatsOtherThan8Or16BitPcmAreRefused) {
    auto refused = [](WAVEFORMATEX f) {
        HWAVEOUT h = nullptr;
        MMRESULT r = waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL);
        if (h) waveOutClose(h);
        return r == WAVERR_BADFORMAT && !h;
    };
    WAVEFORMATEX f = pcm(16, 2, 44100);
    f.wFormatTag = 2;
    EXPECT_TRUE(refused(f)) << "not PCM";
    EXPECT_TRUE(refused(pcm(24, 2, 44100)));
    EXPECT_TRUE(refused(pcm(16, 3, 44100)));
    EXPECT_TRUE(refused(pcm(8, 1, 0)));
    EXPECT_TRUE(refused(pcm(8, 1, 400000)));
    WAVEFORMATEX ok = pcm(8, 1, 1);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &ok, 0, 0, WAVE_FORMAT_QUERY),
              MMRESULT(MMSYSERR_NOERROR));
    HWAVEOUT h = nullptr;
    EXPECT_EQ(waveOutOpen(&h, waveOutGetNumDevs() + 5, &ok, 0, 0, CALLBACK_NULL),
              MMRESULT(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(h, nullptr);
}

TEST_F(WaveOut, FirstDeviceVolumeCarriesOverToNewOutputs) {
    DWORD v = 0;
    ASSERT_EQ(waveOutGetVolume(nullptr, &v), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_EQ(v, 0xFFFFFFFFu) << "full volume at start";
    ASSERT_EQ(waveOutSetVolume(nullptr, 0x90007000), MMRESULT(MMSYSERR_NOERROR));
    waveOutGetVolume(nullptr, &v);
    EXPECT_EQ(v, 0x90007000u);
    open(pcm(16, 2, 44100));
    waveOutGetVolume(out, &v);
    EXPECT_EQ(v, 0x90007000u);
    ASSERT_EQ(waveOutSetVolume(out, 0x1000F000), MMRESULT(MMSYSERR_NOERROR));
    waveOutGetVolume(out, &v);
    EXPECT_EQ(v, 0x1000F000u);
    waveOutGetVolume(nullptr, &v);
    EXPECT_EQ(v, 0x90007000u) << "an output's own volume leaves the first device's alone";
    waveOutSetVolume(nullptr, 0xFFFFFFFF);
}

TEST(WaveOutInfo, DevicesHaveNamesAndBadIdsAreRefused) {
    WAVEOUTCAPS caps{};
    ASSERT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof(caps)), MMRESULT(MMSYSERR_NOERROR));
    EXPECT_GT(std::strlen(caps.szPname), 0u);
    UINT n = waveOutGetNumDevs();
    for (UINT id = 0; id < n; ++id) {
        WAVEOUTCAPS c{};
        EXPECT_EQ(waveOutGetDevCaps(id, &c, sizeof(c)), MMRESULT(MMSYSERR_NOERROR));
        EXPECT_LT(std::strlen(c.szPname), size_t(MAXPNAMELEN));
    }
    EXPECT_EQ(waveOutGetDevCaps(n, &caps, sizeof(caps)), MMRESULT(MMSYSERR_BADDEVICEID));
}

TEST(WaveOutInfo, ErrorTextsAreReadableAndCutToFit) {
    char text[MAXERRORLENGTH];
    ASSERT_EQ(waveOutGetErrorText(WAVERR_BADFORMAT, text, sizeof(text)),
              MMRESULT(MMSYSERR_NOERROR));
    EXPECT_STREQ(text, "The specified format is not supported or cannot be translated.");
    ASSERT_EQ(waveOutGetErrorText(MMSYSERR_BADDEVICEID, text, sizeof(text)),
              MMRESULT(MMSYSERR_NOERROR));
    EXPECT_STREQ(text, "The specified device identifier is out of range.");
    char small[8];
    EXPECT_EQ(waveOutGetErrorText(MMSYSERR_NODRIVER, small, sizeof(small)),
              MMRESULT(MMSYSERR_NOERROR));
    EXPECT_STREQ(small, "No devi");
    EXPECT_EQ(waveOutGetErrorText(12345, text, sizeof(text)), MMRESULT(MMSYSERR_BADERRNUM));
    EXPECT_STREQ(text, "");
}

}  // namespace
