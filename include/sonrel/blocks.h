// The sound document's property blocks: the records that every part of the
// system reads and writes on a document window, by the same names and layouts.
//
// Each block is a separately allocated movable memory block (GlobalAlloc)
// attached to the document window under its property name. Look a block up by
// name whenever a piece of work starts; never keep a handle from one message
// or operation to the next (some operations replace a block). The window owns
// every block. The records are packed and little-endian, as in a wave file.
//
// Invariants every writer keeps:
// - HEADER file length = data size + 44 (0 in a new, empty document);
// - the WAVE block holds at least data size bytes; a block resized in place
//   holds data size + WAVE_SPARE_BYTES;
// - mark start + mark length stay within the data size (bytes).
#pragma once

#include <platform/types.h>

// Property names of the blocks on a document window.
#define PROP_HEADER "HEADER"
#define PROP_WAVE "WAVE"
#define PROP_POSITION "POSITION"
#define PROP_INFO "INFO"
#define PROP_UNDO "UNDO"
#define PROP_FILEINFO "FILEINFO"
#define PROP_SCROLLHWND "SCROLLHWND"
// wavkit's peak summary of the data; read only through ColumnPeaks (wavkit.h).
#define PROP_PEAKS "PEAKS"

// Window user data that marks a window as a sound document.
#define DOCUMENT_USERDATA 1

// Bytes of the canonical header image; the file length exceeds the data size by this.
#define HEADER_BYTES 44u
// Spare bytes kept after the data when the WAVE block is resized in place.
#define WAVE_SPARE_BYTES 128u

// Source format codes of the INFO block.
#define SOURCE_NEW 0
#define SOURCE_PCM_WAVE 1
#define SOURCE_AVI 2
#define SOURCE_RAW 4
#define SOURCE_COMPRESSED 256

// Undo kinds of the UNDO block.
#define UNDO_NONE 0
#define UNDO_CHANGED 1   // bytes changed in place; the copy holds them as they were
#define UNDO_INSERTED 2  // bytes inserted; no copy
#define UNDO_REMOVED 3   // bytes removed; the copy holds them

#define INFO_PATH_CHARS 256
// Shown for a path that INFO's path field cannot hold whole (more than
// INFO_PATH_CHARS - 1 characters) instead of opening or saving under a cut
// name; the path follows on a line of its own when it is known.
#define PATH_TOO_LONG_TEXT "Path too long. A document's path holds at most 255 characters."
#define UNDO_TEXT_CHARS 52
#define FILEINFO_TEXT_CHARS 128

#pragma pack(push, 1)

// "HEADER": the 44-byte canonical wave header image, byte for byte as a file
// made of this header and the data would start. The clipboard file is this
// block written unchanged.
struct HeaderBlock {
    char riffTag[4];      // 0: "RIFF"
    DWORD fileLength;     // 4: data size + 44 (not the RIFF chunk size)
    char waveTag[4];      // 8: "WAVE"
    char fmtTag[4];       // 12: "fmt "
    DWORD formatLength;   // 16: 16
    WORD formatCode;      // 20: 1 (PCM), whatever the source was
    WORD channels;        // 22: 1 mono, 2 stereo
    DWORD samplesPerSec;  // 24: sample rate in Hz
    DWORD bytesPerSec;    // 28: as the source gave it
    WORD blockAlign;      // 32: bytes per frame, all channels together
    WORD bitsPerSample;   // 34: 8 or 16
    char dataTag[4];      // 36: "data"
    DWORD dataSize;       // 40: bytes of sample data in the WAVE block
};

// "POSITION": the mark (bytes), the view (sample-value indices) and the zoom.
struct PositionBlock {
    DWORD markStart;   // byte offset where the mark begins
    DWORD markLength;  // bytes; 0: no mark, operations take the whole data
    LONG viewStart;    // sample-value index at the view's left edge (scroll position)
    LONG viewEnd;      // sample-value index the last paint reached (written by the view)
    DWORD zoom;        // sample values per pixel column; 0: whole file
    WORD mouseMark;    // set to 0 when the mouse sets a new mark; nobody reads it
};

// "INFO": the document's path and state flags.
struct InfoBlock {
    char path[INFO_PATH_CHARS];  // full path, or the name of a new document
    DWORD saved;                 // 1: unchanged since made or saved
    DWORD working;               // 1 while the background open fills the document
    WORD sourceFormat;           // SOURCE_*: what the document was made from
};

// "UNDO": the one-level undo record. Start and length are bytes of the data as
// it was when the record was taken.
struct UndoBlock {
    char description[UNDO_TEXT_CHARS];  // the operation's undo text, zero-terminated
    HGLOBAL copy;                       // saved bytes (kinds 1 and 3), or null
    DWORD start;                        // byte offset where the recorded change begins
    DWORD length;                       // bytes the change covers
    WORD kind;                          // UNDO_*
};

// "FILEINFO": the texts of the file's "LIST" information chunk.
struct FileInfoBlock {
    DWORD listFlag;                       // 1 when the file had a "LIST" chunk
    char comment[FILEINFO_TEXT_CHARS];    // "ICMT"
    char copyright[FILEINFO_TEXT_CHARS];  // "ICOP"
    char subject[FILEINFO_TEXT_CHARS];    // "ISBJ"
    char name[FILEINFO_TEXT_CHARS];       // "INAM"
    char artist[FILEINFO_TEXT_CHARS];     // "IART"
    char medium[FILEINFO_TEXT_CHARS];     // "IMED"
    char software[FILEINFO_TEXT_CHARS];   // "ISFT"
    char keywords[FILEINFO_TEXT_CHARS];   // "IKEY"
};

#pragma pack(pop)

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "block layouts are little-endian");
static_assert(sizeof(HeaderBlock) == 44, "HEADER is the 44-byte header image");
static_assert(offsetof(HeaderBlock, fileLength) == 4 && offsetof(HeaderBlock, formatCode) == 20 &&
                  offsetof(HeaderBlock, channels) == 22 &&
                  offsetof(HeaderBlock, samplesPerSec) == 24 &&
                  offsetof(HeaderBlock, bytesPerSec) == 28 &&
                  offsetof(HeaderBlock, blockAlign) == 32 &&
                  offsetof(HeaderBlock, bitsPerSample) == 34 &&
                  offsetof(HeaderBlock, dataTag) == 36 && offsetof(HeaderBlock, dataSize) == 40,
              "HEADER offsets are those of a wave file");
static_assert(sizeof(PositionBlock) == 4 + 4 + 4 + 4 + 4 + 2, "POSITION is six packed fields");
static_assert(sizeof(InfoBlock) == INFO_PATH_CHARS + 4 + 4 + 2, "INFO is four packed fields");
static_assert(sizeof(UndoBlock) == UNDO_TEXT_CHARS + sizeof(HGLOBAL) + 4 + 4 + 2,
              "UNDO is five packed fields");
static_assert(sizeof(FileInfoBlock) == 4 + 8 * FILEINFO_TEXT_CHARS, "FILEINFO is 4 + 8 x 128");

// Number of sample values (the unit of the view's position and zoom) in the data.
inline DWORD SampleValueCount(const HeaderBlock* h) {
    return h->bitsPerSample == 16 ? h->dataSize / 2 : h->dataSize;
}
