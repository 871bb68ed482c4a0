// The background open: reading a file of any kind the editor knows into
// blocks that a document then takes over, and the MP3 decoder around it.
//
// The loaders do not touch a document: each fills a Loaded record (HEADER
// image and WAVE block) or gives the message the user is shown. A Loaded
// record releases its block unless it was taken.
#pragma once

#include <string>
#include <vector>

#include "document.h"

namespace import {

// What the first bytes of a file say it is: RIFF when byte 0 is "R" or "r",
// or byte 2 is "i" or "I"; RAW sample data otherwise. Fewer than 4 bytes
// count as zero bytes.
bool looks_like_riff(const unsigned char* first, size_t n);

// True for a path that ends in the three lower-case characters "mp3".
bool is_mp3_name(const std::string& path);
// The wave file an MP3 file decodes to: the path with "mp3" replaced by "wav",
// or, when a file of that name exists, "<stem>-<n>.wav" for the smallest n
// from 1 whose file does not exist. An existing file is never a target.
std::string decoded_name(const std::string& mp3);
// Starts "lame --decode <mp3> <wav>" (found on PATH, no shell: the paths
// reach it unchanged) and waits for it to end. False when it could not start.
bool run_decoder(const std::string& mp3, const std::string& wav);

struct Loaded {
    HeaderBlock header{};
    HGLOBAL wave = nullptr;  // data size bytes (at least 1)
    WORD source = SOURCE_PCM_WAVE;
    Loaded() = default;
    ~Loaded() { doc::free_block(wave); }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;
    HGLOBAL take() {
        HGLOBAL h = wave;
        wave = nullptr;
        return h;
    }
};

// A loader's outcome: done, a message to show, or the user's Cancel.
struct Outcome {
    const char* message = nullptr;  // null: done (unless cancelled)
    bool cancelled = false;
};

// A RIFF file: PCM wave as the wave reader reads it, a compressed wave file
// or the first audio stream of an AVI file decoded to PCM of "CompressBits"
// bits. Messages of the AVI reader's read errors are shown on owner and the
// load goes on.
Outcome load_riff(HWND owner, const char* path, Loaded* out);
// RAW sample data: the whole file in the format the RAW dialog (over owner)
// gives, header bytes included.
Outcome load_raw(HWND owner, const char* path, Loaded* out);

// Decodes data (bytes of the coded format record fmt, which holds its extra
// bytes) into PCM of the source's channels and rate and `bits` bits. frames
// is the "fact" count, 0 when unknown. A message, or null.
const char* decode(const std::vector<BYTE>& fmt, const BYTE* data, DWORD bytes, DWORD frames,
                   WORD bits, Loaded* out);

// The fixed messages.
extern const char kNotFound[];          // the file vanished or cannot be read
extern const char kCannotDecompress[];  // no conversion to PCM exists
extern const char kNotRiffSound[];      // a RIFF form that is neither wave nor AVI
extern const char kNoAudioStream[];     // an AVI file without sound

}  // namespace import
