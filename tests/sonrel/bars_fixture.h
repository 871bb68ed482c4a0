// Documents on the program's real frame for the position and status bar
// tests: made block by block with any header, and the posted messages of the
// bars served.
#pragma once

#include <platform/platform.h>
#include <sonrel/blocks.h>

#include <string>

namespace barstest {

// A PCM header for the format; file length = data size + 44, or 0 for no data.
HeaderBlock header_of(WORD channels, DWORD rate, WORD bits, DWORD dataSize);

// An active, shown document in the real frame's MDI client with this header,
// a zeroed WAVE block of waveBytes (none for 0), no mark and the path.
HWND make_document(const HeaderBlock& header, DWORD waveBytes, const std::string& path);

// Runs the posted messages and pending painting.
void settle();

// The window text of a dialog control.
std::string item_text(HWND dlg, int id);

}  // namespace barstest
