// Test fixture for the document window: a frame with an MDI client whose bars
// are recording windows, and documents of class "Child Window" built block by
// block with an exact client size.
#pragma once

#include <platform/platform.h>
#include <sonrel/blocks.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fixtures/document_blocks.h"
#include "fixtures/mdi_frame.h"

namespace wvtest {

using Bytes = std::vector<unsigned char>;

struct Sent {
    HWND to;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// The frame answers the bar requests with its recording windows, the window
// popup and start menu requests with its own menus, UM_GETPLAYINGDOC with
// `playing`, and records every WM_COMMAND it gets. Documents run the program's
// wave view.
struct ViewFrame : fixtures::MdiFrame {
    HWND posBar = nullptr;
    HWND selectBar = nullptr;
    HWND statusBar = nullptr;
    HWND preview = nullptr;
    HMENU startMenu = nullptr;
    HMENU windowPopup = nullptr;
    HWND playing = nullptr;
    std::vector<Sent> sent;        // messages the bars received
    std::vector<WPARAM> commands;  // WM_COMMAND wParam at the frame
    ViewFrame();
    ~ViewFrame();
    ViewFrame(const ViewFrame&) = delete;
    ViewFrame& operator=(const ViewFrame&) = delete;
    // Messages `msg` received by the bar `bar`.
    std::vector<Sent> to(HWND bar, UINT msg) const;
};

struct Format {
    WORD channels = 1;
    WORD bits = 8;
    WORD blockAlign() const { return WORD(channels * bits / 8); }
};

// A document with client size w x h, the data given (no WAVE block when
// empty), and POSITION zoom and view start as given. What the bars received
// until then is forgotten.
HWND make_view(ViewFrame& f, const Format& fmt, const Bytes& data, int w, int h, DWORD zoom,
               LONG viewStart = 0);

PositionBlock position_of(HWND doc);
void set_position(HWND doc, const PositionBlock& p);
using fixtures::set_mark;
void set_working(HWND doc, DWORD working);

// Paints the whole client now.
void paint(HWND doc);
// Pixels of the backing image, 0x00RRGGBB, row by row; w x h.
std::vector<uint32_t> pixels(HWND doc, int* w = nullptr, int* h = nullptr);
// The 0x00BBGGRR colour (as GetPixel) turned into 0x00RRGGBB.
uint32_t rgb(COLORREF c);

// Sample bytes: a triangle of amplitude amp around the zero line (8-bit
// unsigned around 128, 16-bit signed around 0), phase-shifted per seed.
Bytes wave8(size_t n, int amp, unsigned seed = 0);
Bytes wave16(size_t values, int amp, unsigned seed = 0);

// Left-button press, moves and release at client x (middle row) by messages.
void press(HWND doc, int x);
void move(HWND doc, int x);
void release(HWND doc, int x);

}  // namespace wvtest
