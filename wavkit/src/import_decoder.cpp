// Telling a file's kind, and the outside MP3 decoder.
#include <platform/process.h>

#include <cstring>

#include "import.h"

namespace import {

bool looks_like_riff(const unsigned char* first, size_t n) {
    unsigned char b[4] = {};
    std::memcpy(b, first, n < 4 ? n : 4);
    return b[0] == 'R' || b[0] == 'r' || b[2] == 'i' || b[2] == 'I';
}

bool is_mp3_name(const std::string& path) {
    return path.size() >= 3 && path.compare(path.size() - 3, 3, "mp3") == 0;
}

namespace {

bool exists(const std::string& path) {
    return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::string decoded_name(const std::string& mp3) {
    std::string stem = mp3.substr(0, mp3.size() - 3);
    std::string wav = stem + "wav";
    if (!exists(wav)) return wav;
    // "song.mp3" gives "song-1.wav", "song-2.wav", ...: the dot stays before "wav".
    std::string base = stem.size() && stem.back() == '.' ? stem.substr(0, stem.size() - 1) : stem;
    std::string dot = stem.size() && stem.back() == '.' ? "." : "";
    for (unsigned n = 1;; ++n) {
        std::string candidate = base + "-" + std::to_string(n) + dot + "wav";
        if (!exists(candidate)) return candidate;
    }
}

bool run_decoder(const std::string& mp3, const std::string& wav) {
    const char* argv[] = {"lame", "--decode", mp3.c_str(), wav.c_str(), nullptr};
    PROCESS_INFORMATION pi{};
    if (!PlatformCreateProcessArgv(argv, CREATE_NO_WINDOW, nullptr, &pi)) return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hProcess);
    return true;
}

}  // namespace import
