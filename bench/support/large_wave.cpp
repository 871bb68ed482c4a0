#include "large_wave.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace benchfiles {

namespace {

void put32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

std::string start_bench_folder() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const char* base = std::getenv("SONREL_BENCH_DIR");
    std::string tmpl = std::string(base ? base : "/tmp") + "/sonrel-bench-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    if (!mkdtemp(buf.data())) return {};
    setenv("SONREL_HOME", buf.data(), 1);
    return buf.data();
}

bool write_ramp_wave(const std::string& path, uint32_t dataBytes) {
    if (access(path.c_str(), R_OK) == 0) return true;
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0, 0, 0,  0, 'W', 'A', 'V',  'E',  'f', 'm',
                           't', ' ', 16,  0,   0, 0, 1,  0, 2,   0,   0x44, 0xAC, 0,   0,
                           0,   0,   0,   0,   4, 0, 16, 0, 'd', 'a', 't',  'a'};
    put32(h + 4, dataBytes + 36);
    put32(h + 28, 44100 * 4);
    put32(h + 40, dataBytes);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(h, 1, 44, f);
    std::vector<unsigned char> chunk(1 << 20);
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<unsigned char>(i * 31);
    for (uint32_t done = 0; done < dataBytes; done += chunk.size())
        std::fwrite(chunk.data(), 1, chunk.size(), f);
    return std::fclose(f) == 0;
}

size_t read_plain(const std::string& path, std::vector<char>& buffer) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    size_t got = 0;
    while (got < buffer.size()) {
        ssize_t n = read(fd, buffer.data() + got, buffer.size() - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    return got;
}

double resident_mb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

}  // namespace benchfiles
