// Reading the layout of large wave files and choosing parts of them: pure
// functions over the file's chunk headers and the typed times.
#include <fcntl.h>
#include <sonrel/blocks.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "loader.h"

namespace loader {

namespace {

constexpr uint64_t k4G = 1ull << 32;
constexpr char kCannotOpen[] = "File not found or something else.";
constexpr char kNotWave[] = "File is not a wave file.";
constexpr char kNoPcm[] = "This is no wave file of 8 or 16 bit PCM, mono or stereo.";

struct File {
    int fd = -1;
    explicit File(const char* path) : fd(open(path, O_RDONLY | O_CLOEXEC)) {}
    ~File() {
        if (fd >= 0) close(fd);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool read_at(uint64_t at, void* out, size_t n) const {
        auto* p = static_cast<char*>(out);
        while (n > 0) {
            ssize_t got = pread(fd, p, n, off_t(at));
            if (got <= 0) return false;
            p += got;
            n -= size_t(got);
            at += uint64_t(got);
        }
        return true;
    }
};

uint32_t le32(const unsigned char* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}
uint16_t le16(const unsigned char* b) {
    return uint16_t(b[0] | b[1] << 8);
}
uint64_t le64(const unsigned char* b) {
    return uint64_t(le32(b)) | uint64_t(le32(b + 4)) << 32;
}

bool pcm(const BigWave& w) {
    return (w.bits == 8 || w.bits == 16) && (w.channels == 1 || w.channels == 2) && w.rate > 0;
}

// The data's length in bytes from its size field and what the file holds after it.
uint64_t data_length(uint64_t field, uint64_t offset, uint64_t fileBytes, bool last) {
    uint64_t held = fileBytes > offset ? fileBytes - offset : 0;
    if (field >= held) return held;
    if (last && held >= k4G && (field == 0xFFFFFFFFull || (held - field) % k4G == 0)) return held;
    return field;
}

}  // namespace

const char* probe(const char* path, BigWave* w) {
    *w = BigWave{};
    File f(path);
    struct stat st {};
    if (f.fd < 0 || fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) return kCannotOpen;
    uint64_t fileBytes = uint64_t(st.st_size);
    unsigned char head[12];
    if (!f.read_at(0, head, sizeof head)) return kNotWave;
    bool rf64 = std::memcmp(head, "RF64", 4) == 0;
    if ((!rf64 && std::memcmp(head, "RIFF", 4) != 0) || std::memcmp(head + 8, "WAVE", 4) != 0)
        return kNotWave;
    uint64_t ds64Data = 0;
    bool haveFormat = false;
    for (uint64_t at = 12; at + 8 <= fileBytes;) {
        unsigned char chunk[8];
        if (!f.read_at(at, chunk, sizeof chunk)) break;
        uint64_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "ds64", 4) == 0 && size >= 16) {
            unsigned char sizes[16];
            if (!f.read_at(at + 8, sizes, sizeof sizes)) break;
            ds64Data = le64(sizes + 8);
        } else if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            unsigned char fmt[16];
            if (!f.read_at(at + 8, fmt, sizeof fmt)) break;
            if (le16(fmt) != 1) return kNoPcm;
            w->channels = le16(fmt + 2);
            w->rate = le32(fmt + 4);
            w->bits = le16(fmt + 14);
            w->blockAlign = WORD(w->bits / 8 * w->channels);
            if (!pcm(*w)) return kNoPcm;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return "No format chunk before the data.";
            w->dataOffset = at + 8;
            uint64_t field = rf64 && size == 0xFFFFFFFFull ? ds64Data : size;
            uint64_t bytes = data_length(field, w->dataOffset, fileBytes, !rf64);
            w->dataBytes = bytes / w->blockAlign * w->blockAlign;
            return nullptr;
        }
        at += 8 + size + (size & 1);
    }
    return haveFormat ? "No data chunk found." : "No format chunk found.";
}

bool read_bytes(const char* path, uint64_t at, void* out, size_t n) {
    File f(path);
    return f.fd >= 0 && f.read_at(at, out, n);
}

uint64_t duration_ms(const BigWave& w) {
    if (!w.blockAlign || !w.rate) return 0;
    return w.dataBytes / w.blockAlign * 1000 / w.rate;
}

bool parse_time(const char* text, uint64_t* ms) {
    const char* p = text;
    while (*p == ' ') ++p;
    uint64_t fields[3];
    int n = 0;
    uint64_t fraction = 0;
    for (;;) {
        if (!std::isdigit(static_cast<unsigned char>(*p)) || n == 3) return false;
        uint64_t v = 0;
        for (int digits = 0; std::isdigit(static_cast<unsigned char>(*p)); ++p, ++digits) {
            if (digits == 9) return false;
            v = v * 10 + uint64_t(*p - '0');
        }
        fields[n++] = v;
        if (*p != ':') break;
        ++p;
    }
    if (*p == '.') {
        ++p;
        uint64_t scale = 100;
        if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
        for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
            fraction += uint64_t(*p - '0') * scale;
            scale /= 10;
        }
    }
    while (*p == ' ') ++p;
    if (*p) return false;
    // Minutes and seconds after a larger field stay below 60.
    for (int i = 1; i < n; ++i)
        if (fields[i] >= 60) return false;
    uint64_t seconds = 0;
    for (int i = 0; i < n; ++i) seconds = seconds * 60 + fields[i];
    *ms = seconds * 1000 + fraction;
    return true;
}

std::string time_text(uint64_t ms) {
    char text[48];
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu.%03llu",
                  static_cast<unsigned long long>(ms / 3600000),
                  static_cast<unsigned long long>(ms / 60000 % 60),
                  static_cast<unsigned long long>(ms / 1000 % 60),
                  static_cast<unsigned long long>(ms % 1000));
    return text;
}

std::string format_text(const BigWave& w) {
    char text[64];
    std::snprintf(text, sizeof text, "%d Bit, %u Hz, %s", int(w.bits), unsigned(w.rate),
                  w.channels == 1 ? "MONO" : "STEREO");
    return text;
}

const char* choose_part(const BigWave& w, uint64_t startMs, uint64_t lengthMs, Part* part) {
    if (lengthMs == 0) return "The length of the part must be more than 0.";
    uint64_t frames = w.dataBytes / w.blockAlign;
    // Frames from the time: ceil(ms * rate / 1000), in 128 bits against overflow.
    auto frame_at = [&](uint64_t ms) {
        return uint64_t((static_cast<unsigned __int128>(ms) * w.rate + 999) / 1000);
    };
    uint64_t first = frame_at(startMs);
    uint64_t end = frame_at(startMs + lengthMs);
    if (first >= frames || end > frames) return "The part does not lie within the file.";
    part->offset = first * w.blockAlign;
    part->bytes = (end - first) * w.blockAlign;
    if (part->bytes > 0xFFFFFFFFull - WAVE_SPARE_BYTES)
        return "The part is too long for one document.";
    return nullptr;
}

}  // namespace loader
