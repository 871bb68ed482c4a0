// Helpers for the wave input and MCI tests: known signals, child processes
// whose SDL audio reads from and writes to files, messages pumped while
// waiting, wave files taken apart, and CD images built from tracks.
#pragma once

#include <platform/platform.h>

#include <functional>
#include <string>
#include <vector>

namespace atest {

using Bytes = std::vector<unsigned char>;

WAVEFORMATEX pcm(int bits, int channels, int rate);
// A signal of the given length in which no run of 16 bytes repeats and no two
// neighbouring frames are equal: 8-bit mono, or 16-bit stereo whose left and
// right differ (frames counts stereo frames).
Bytes signal8(size_t bytes);
Bytes signal16(size_t frames);
// Where needle starts in hay, or -1.
long find(const Bytes& hay, const Bytes& needle);

// Pumps messages until done() holds or seconds have passed; gives done().
bool wait_for(const std::function<bool()>& done, int seconds = 10);
void pump();

// SDL's disk driver for a child: input read from in, output written to out,
// delay_ms between device buffers (0: as fast as it goes).
struct DiskAudio {
    std::string in, out;
    int delay_ms = 0;
};
// Runs the registered child role with the disk driver; gives its exit code.
int run_with_disk_audio(const std::string& role, const std::vector<std::string>& args,
                        const DiskAudio& audio);

// A PCM wave file taken apart; ok is false when it is not one.
struct Wave {
    bool ok = false;
    int format_tag = 0, channels = 0, rate = 0, avg = 0, align = 0, bits = 0;
    Bytes data;
};
Wave read_wave(const std::string& path);
Bytes wave_file(int bits, int channels, int rate, const Bytes& data);

// A CD image in folder: "disc.bin" (the tracks one after the other, each
// padded with silence to whole sectors) and "disc.cue". Gives the cue path.
std::string make_cd_image(const std::string& folder, const std::vector<Bytes>& tracks);
// 16-bit little-endian stereo at 44100 Hz made by SoX: a tone of freq Hz on
// the left and 1.5 x freq on the right.
Bytes sox_tone(double seconds, int freq);
// The setting that names the CD device's image.
void set_cd_image(const std::string& path);

// mciSendString with a 128-character answer; gives the answer, or
// "error <code>" when it fails.
std::string mci(const std::string& command, HWND callback = nullptr);

}  // namespace atest
