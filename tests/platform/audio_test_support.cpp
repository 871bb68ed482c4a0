#include "audio_test_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "test_support.h"

namespace atest {

namespace {

void put(Bytes& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

uint32_t get(const Bytes& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= uint32_t(b[at + size_t(i)]) << (8 * i);
    return v;
}

void set_env(const char* name, const std::string& value) {
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
}

}  // namespace

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

Bytes signal8(size_t bytes) {
    Bytes b(bytes);
    uint32_t x = 12345;
    unsigned char last = 0x80;
    for (size_t i = 0; i < bytes; ++i) {
        x = x * 1103515245u + 12345u;
        unsigned char v = static_cast<unsigned char>(x >> 16);
        if (v == last) v = static_cast<unsigned char>(v + 1);
        b[i] = last = v;
    }
    return b;
}

Bytes signal16(size_t frames) {
    Bytes b;
    uint32_t x = 777;
    for (size_t i = 0; i < frames; ++i) {
        x = x * 1664525u + 1013904223u;
        int left = int(int16_t(x >> 16)) | 1;
        put(b, uint32_t(left), 2);
        put(b, uint32_t(-left / 2 - 3), 2);
    }
    return b;
}

long find(const Bytes& hay, const Bytes& needle) {
    auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
    return it == hay.end() ? -1 : long(it - hay.begin());
}

void pump() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
}

bool wait_for(const std::function<bool()>& done, int seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done() && std::chrono::steady_clock::now() < end) {
        pump();
        Sleep(2);
    }
    return done();
}

int run_with_disk_audio(const std::string& role, const std::vector<std::string>& args,
                        const DiskAudio& audio) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    set_env("SDL_DISKAUDIOFILE", audio.out);
    set_env("SDL_DISKAUDIOFILEIN", audio.in);
    setenv("SDL_DISKAUDIODELAY", std::to_string(audio.delay_ms).c_str(), 1);
    int rc = testing_support::wait_child(testing_support::spawn_child(role, args));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIOFILEIN");
    unsetenv("SDL_DISKAUDIODELAY");
    return rc;
}

Wave read_wave(const std::string& path) {
    Wave w;
    Bytes b = testing_support::read_file(path);
    auto text = [&](size_t at) {
        return std::string(b.begin() + long(at), b.begin() + long(at) + 4);
    };
    if (b.size() < 12 || text(0) != "RIFF" || text(8) != "WAVE" || get(b, 4, 4) + 8 != b.size())
        return w;
    bool fmt = false, data = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        std::string id = text(at);
        size_t size = get(b, at + 4, 4);
        if (at + 8 + size > b.size()) return w;
        if (id == "fmt " && size >= 16) {
            w.format_tag = int(get(b, at + 8, 2));
            w.channels = int(get(b, at + 10, 2));
            w.rate = int(get(b, at + 12, 4));
            w.avg = int(get(b, at + 16, 4));
            w.align = int(get(b, at + 20, 2));
            w.bits = int(get(b, at + 22, 2));
            fmt = true;
        } else if (id == "data") {
            w.data.assign(b.begin() + long(at) + 8, b.begin() + long(at + 8 + size));
            data = true;
        }
        at += 8 + size + (size & 1);
    }
    w.ok = fmt && data;
    return w;
}

Bytes wave_file(int bits, int channels, int rate, const Bytes& data) {
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

std::string make_cd_image(const std::string& folder, const std::vector<Bytes>& tracks) {
    const size_t sector = 2352;
    Bytes bin;
    std::string cue = "FILE \"disc.bin\" BINARY\n";
    char line[128];
    for (size_t t = 0; t < tracks.size(); ++t) {
        size_t frames = bin.size() / sector;
        std::snprintf(line, sizeof(line), "  TRACK %02zu AUDIO\n    INDEX 01 %02zu:%02zu:%02zu\n",
                      t + 1, frames / 4500, frames / 75 % 60, frames % 75);
        cue += line;
        bin.insert(bin.end(), tracks[t].begin(), tracks[t].end());
        bin.resize((bin.size() + sector - 1) / sector * sector, 0);
    }
    testing_support::write_file(folder + "/disc.bin", bin);
    testing_support::write_file(folder + "/disc.cue", Bytes(cue.begin(), cue.end()));
    return folder + "/disc.cue";
}

Bytes sox_tone(double seconds, int freq) {
    std::string out = testing_support::fresh_dir("tone") + "/tone.raw";
    char cmd[512];
    std::snprintf(cmd, sizeof(cmd),
                  "sox -n -r 44100 -c 2 -b 16 -e signed -L -t raw '%s' synth %.3f sine %d sine "
                  "%d vol 0.5 2>/dev/null",
                  out.c_str(), seconds, freq, freq * 3 / 2);
    if (testing_support::run(cmd) != 0) return {};
    return testing_support::read_file(out);
}

void set_cd_image(const std::string& path) {
    WritePrivateProfileString("Sonrel\\Settings\\CDPlayer", "Device", path.c_str(), "Sonrel.ini");
}

std::string mci(const std::string& command, HWND callback) {
    char answer[128] = "?";
    MCIERROR err = mciSendString(command.c_str(), answer, sizeof(answer), callback);
    if (err) return "error " + std::to_string(err);
    return answer;
}

}  // namespace atest
