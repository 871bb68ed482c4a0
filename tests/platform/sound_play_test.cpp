// PlaySound: files, wave images in memory and "WAVE" resources; stopping; a
// missing sound plays nothing; and what reaches the audio device (checked in a
// child process whose SDL output goes to a file).
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::fresh_dir;
using testing_support::read_file;
using testing_support::write_file;

void put(Bytes& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A canonical PCM wave image.
Bytes wave(int bits, int channels, int rate, const Bytes& data) {
    Bytes b;
    int align = bits / 8 * channels;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put(b, uint32_t(36 + data.size()), 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(b, 16, 4);
    put(b, 1, 2);
    put(b, uint32_t(channels), 2);
    put(b, uint32_t(rate), 4);
    put(b, uint32_t(rate * align), 4);
    put(b, uint32_t(align), 2);
    put(b, uint32_t(bits), 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put(b, uint32_t(data.size()), 4);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// Half a second of an 8-bit mono ramp at 8000 Hz.
Bytes ramp_wave() {
    Bytes data(4000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7);
    return wave(8, 1, 8000, data);
}

class SoundTest : public ::testing::Test {
protected:
    void TearDown() override { PlaySound(nullptr, nullptr, 0); }
};

TEST_F(SoundTest, FilePlaysAsynchronouslyUntilStopped) {
    std::string path = fresh_dir("sound") + "/ramp.wav";
    write_file(path, ramp_wave());
    ASSERT_TRUE(PlaySound(path.c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT));
    EXPECT_TRUE(PlatformIsSoundPlaying()) << "returns while the sound plays";
    EXPECT_TRUE(PlaySound(nullptr, nullptr, SND_ASYNC));
    EXPECT_FALSE(PlatformIsSoundPlaying());
}

TEST_F(SoundTest, MissingOrUnreadableFilePlaysNothing) {
    std::string dir = fresh_dir("nosound");
    EXPECT_FALSE(PlaySound((dir + "/absent.wav").c_str(), nullptr,
                           SND_ASYNC | SND_FILENAME | SND_NODEFAULT));
    EXPECT_FALSE(PlatformIsSoundPlaying());
    write_file(dir + "/text.wav", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    EXPECT_FALSE(PlaySound((dir + "/text.wav").c_str(), nullptr, SND_ASYNC | SND_FILENAME));
    EXPECT_FALSE(PlatformIsSoundPlaying());
}

TEST_F(SoundTest, NewSoundReplacesThePlayingOneAndNoStopRefuses) {
    std::string path = fresh_dir("sound2") + "/ramp.wav";
    write_file(path, ramp_wave());
    ASSERT_TRUE(PlaySound(path.c_str(), nullptr, SND_ASYNC | SND_FILENAME));
    EXPECT_FALSE(PlaySound(path.c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NOSTOP));
    EXPECT_TRUE(PlatformIsSoundPlaying());
    EXPECT_TRUE(PlaySound(path.c_str(), nullptr, SND_ASYNC | SND_FILENAME));
    EXPECT_TRUE(PlatformIsSoundPlaying());
}

TEST_F(SoundTest, WaveImageInMemoryAndResourcePlay) {
    Bytes image = ramp_wave();
    EXPECT_TRUE(PlaySound(reinterpret_cast<LPCSTR>(image.data()), nullptr, SND_ASYNC | SND_MEMORY));
    EXPECT_TRUE(PlatformIsSoundPlaying());
    PlaySound(nullptr, nullptr, 0);

    static const Bytes resource = ramp_wave();
    HINSTANCE inst = GetModuleHandle(nullptr);
    PlatformAddData(inst, "WAVE", "signal", resource.data(), DWORD(resource.size()));
    EXPECT_TRUE(PlaySound("signal", inst, SND_ASYNC | SND_RESOURCE));
    EXPECT_TRUE(PlatformIsSoundPlaying());
    EXPECT_FALSE(PlaySound("nosuchwave", inst, SND_ASYNC | SND_RESOURCE | SND_NODEFAULT));
    EXPECT_FALSE(PlatformIsSoundPlaying()) << "a failed start stops the old sound too";
}

TEST_F(SoundTest, SynchronousPlayReturnsWhenTheSoundHasEnded) {
    Bytes data(80, 200);  // 10 ms
    std::string path = fresh_dir("short") + "/short.wav";
    write_file(path, wave(8, 1, 8000, data));
    ASSERT_TRUE(PlaySound(path.c_str(), nullptr, SND_SYNC | SND_FILENAME));
    EXPECT_FALSE(PlatformIsSoundPlaying());
}

// Child: plays argv[0] to the end through whatever driver the environment names.
const bool g_role = [] {
    testing_support::register_child_role("play-sync", [](const std::vector<std::string>& a) {
        return a.size() == 1 && PlaySound(a[0].c_str(), nullptr, SND_FILENAME) ? 0 : 1;
    });
    return true;
}();

TEST_F(SoundTest, DeviceReceivesTheSamplesOfAStereoFile) {
    std::string dir = fresh_dir("disk");
    Bytes data;  // 16-bit stereo frames: left rises, right falls
    for (int i = 0; i < 400; ++i) {
        put(data, uint32_t(uint16_t(i * 50)), 2);
        put(data, uint32_t(uint16_t(-i * 50)), 2);
    }
    write_file(dir + "/st.wav", wave(16, 2, 11025, data));
    std::string out = dir + "/device.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    int rc =
        testing_support::wait_child(testing_support::spawn_child("play-sync", {dir + "/st.wav"}));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
    ASSERT_EQ(rc, 0);
    Bytes played = read_file(out);
    // A device opened paused may play silence before the frames arrive.
    auto start = std::search(played.begin(), played.end(), data.begin(), data.end());
    ASSERT_NE(start, played.end()) << "the device got the file's frames unchanged";
    EXPECT_TRUE(std::all_of(played.begin(), start, [](auto b) { return b == 0; }))
        << "only silence comes before the file's frames";
}

}  // namespace
