// Test fixtures for the sound document: a frame window with its MDI client that
// answers the frame messages, documents built block by block, wave files built
// byte by byte, and readers for a document's blocks.
#pragma once

#include <sonrel/blocks.h>
#include <sonrel/wavkit.h>

#include <mutex>
#include <string>
#include <vector>

#include "fixtures/document_blocks.h"
#include "fixtures/mdi_frame.h"

namespace wavtest {

using Bytes = std::vector<unsigned char>;

// The shared frame with its MDI client (UM_GETACTIVEDOC gives `active` when
// set, else the client's active child) that also records every UM_THREADEND
// it receives. Documents are MDI children of class "Child Window", registered
// here with a plain procedure.
struct Frame : fixtures::MdiFrame {
    std::mutex mutex;
    std::vector<WPARAM> threadEnds;  // wParam of each UM_THREADEND
    Frame();
    ~Frame();  // releases the blocks of every document and destroys the windows
};

// The format part of a header.
struct Format {
    WORD channels = 1;
    DWORD rate = 22050;
    WORD bits = 8;
    WORD blockAlign() const { return WORD(channels * bits / 8); }
    DWORD bytesPerSec() const { return rate * blockAlign(); }
};

// A document window made directly from blocks (HEADER, WAVE when data is not
// empty, POSITION with zoom 100, INFO, UNDO, FILEINFO), for tests that need a
// document without reading a file.
HWND make_document(Frame& f, const Format& fmt, const Bytes& data,
                   WORD sourceFormat = SOURCE_PCM_WAVE, const char* path = "/tmp/doc.wav");

HeaderBlock header_of(HWND doc);
PositionBlock position_of(HWND doc);
InfoBlock info_of(HWND doc);
UndoBlock undo_of(HWND doc);
// The undo record's saved copy (a packed field: read it by value, never by reference).
HGLOBAL undo_copy_of(HWND doc);
FileInfoBlock fileinfo_of(HWND doc);
// The first data size bytes of the WAVE block (empty without one).
Bytes data_of(HWND doc);
using fixtures::set_mark;

// Byte builders for RIFF files.
void put16(Bytes& b, uint16_t v);
void put32(Bytes& b, uint32_t v);
void put_tag(Bytes& b, const char* tag);
// A chunk: header, body and a pad byte when the body's size is odd. `claimed`
// replaces the size field when not negative.
void put_chunk(Bytes& b, const char* id, const Bytes& body, int64_t claimed = -1);
// A "fmt " body: code, channels, rate, bytes/s, align, bits, then `extra` bytes.
Bytes fmt_body(WORD code, const Format& fmt, size_t extra = 0);
// "RIFF" <size of what follows> <type> + inner.
Bytes riff(const char* type, const Bytes& inner);
// A canonical file: RIFF, fmt (16), data with its pad byte.
Bytes wav_file(const Format& fmt, const Bytes& data);
// Deterministic sample bytes.
Bytes pattern(size_t n, unsigned seed = 1);

// A file under a fresh folder with these bytes; its path.
std::string file_with(const Bytes& bytes, const char* name = "in.wav");

}  // namespace wavtest
