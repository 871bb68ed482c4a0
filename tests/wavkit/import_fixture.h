// Fixtures for the background open: a frame that answers what the open asks
// (the MDI client, destroying a window), a runner that fills a new document
// the way the frame starts the open, and signal comparisons for decoded data.
#pragma once

#include <string>
#include <vector>

#include "document_fixture.h"
#include "test_support.h"

namespace importtest {

using wavtest::Bytes;

struct Opened {
    DWORD exitCode = 0;
    HWND doc = nullptr;                 // the document the open filled
    bool alive = false;                 // the document window still exists
    std::vector<std::string> messages;  // the texts of the message boxes shown
};

// A frame with its MDI client; the open runs on a thread of its own, started
// as the frame starts it, while this thread serves it.
struct OpenFrame : wavtest::Frame {
    testing_support::QuestionRecorder rec;
    OpenFrame();
    // Stores path in "Sonrel\NewFile\FileOpen", makes an empty document and
    // runs OpenCompressedWAV until it ends.
    Opened open(const std::string& path);
    // Runs the open on the document that is active now (as revert does).
    Opened reopen(HWND doc, const std::string& path);
};

// 16-bit samples of raw little-endian bytes, and 8-bit (unsigned) ones.
std::vector<int> s16(const Bytes& b);
std::vector<int> u8(const Bytes& b);
// Raw signed 16-bit little-endian samples of a sound file as sox reads it.
std::vector<int> sox_samples(const std::string& file);
// The same as ffmpeg decodes the first audio stream.
std::vector<int> ffmpeg_samples(const std::string& file);

// The largest difference over the samples both hold; the lengths may differ
// by at most `padding` samples (a codec's padding at the end).
void expect_same_signal(const std::vector<int>& got, const std::vector<int>& want, size_t padding,
                        int tolerance);

// Runs a shell command; fails the test when it does not exit with 0.
void must_run(const std::string& command);
// A shell word holding s unchanged (single quotes).
std::string shell_word(const std::string& s);

}  // namespace importtest
