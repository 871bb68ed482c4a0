// The document window ("Child Window"): the wave view of one sound document.
//
// The view keeps no state per document: it reads and writes the document's
// POSITION block (mark in bytes; view start, view end and zoom in sample-value
// indices) and reads HEADER and WAVE only while it holds the document's guard,
// so an operation that resizes the data while the view paints never leaves it
// reading freed memory. The guard is only tried, never waited for: while an
// operation holds it, the view keeps its last picture (and paints again a
// moment later) and the mouse and scrolling leave the document alone, so the
// user-interface thread stays free during long operations. Destroying the
// window ends the operations on the document, stops its playback and releases
// every block.
#pragma once

#include <platform/platform.h>
#include <sonrel/blocks.h>

#include <cstdint>

// Window procedure of the class "Child Window". Runs on the user-interface thread.
LRESULT CALLBACK WaveWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Process-wide view values shared by every document window.
struct WaveViewState {
    float lineStep;  // pixels between two points of the line drawing; WindowQuality x 0.001
    int dragging;    // 1 while the left button is held after a press in a window with data
    int anchorX;     // client x of the press
    int currentX;    // client x of the rubber band's moving edge
};
extern WaveViewState g_waveView;

// Colours of the waveform (0x00BBGGRR).
#define WAVE_LEFT_COLOUR 0x600000u
#define WAVE_RIGHT_COLOUR 0x000055u

namespace waveview {

// HEADER, POSITION and (when asked for) WAVE of a document, pinned for a
// scope. Take it only while holding the document's guard.
struct Blocks {
    HGLOBAL headerBlock = nullptr;
    HGLOBAL positionBlock = nullptr;
    HGLOBAL waveBlock = nullptr;
    HeaderBlock* header = nullptr;
    PositionBlock* pos = nullptr;
    const uint8_t* wave = nullptr;  // null when the document has no data
    Blocks(HWND doc, bool withWave);
    ~Blocks();
    Blocks(const Blocks&) = delete;
    Blocks& operator=(const Blocks&) = delete;
    bool ok() const { return header && pos; }
    // Sample values in the data (0 when there is no WAVE block or it is short).
    long long values() const;
};

// Holds the document's guard for a scope when it is free now.
struct TryGuard {
    HWND doc;
    BOOL held;
    explicit TryGuard(HWND w);
    ~TryGuard();
    TryGuard(const TryGuard&) = delete;
    TryGuard& operator=(const TryGuard&) = delete;
};

// Client width and height in pixels.
void client_size(HWND hwnd, int* w, int* h);
// Sample values per pixel column: zoom, or values / (width - 6) at zoom 0;
// never below 1.
long long values_per_column(DWORD zoom, long long values, int width);
// The value at a sample-value index: a byte for 8-bit data, a signed word for 16-bit.
int sample_at(const uint8_t* wave, int bits, long long index);

// The frame window (the MDI client's parent) and the bars it names.
HWND frame_of(HWND doc);
HWND frame_window(HWND frame, UINT request);
// Invalidates the whole window; a null window is left alone.
void repaint(HWND w);

// Draws the whole view into dc (client size w x h). Caller paints the
// working state itself and handles faults.
void draw_view(HWND doc, HDC dc, int w, int h);
LRESULT on_paint(HWND doc);
// Frees the window's off-screen picture (kept between paints); on WM_DESTROY.
void free_back_buffer(HWND doc);

LRESULT on_button_down(HWND doc, int x);
LRESULT on_mouse_move(HWND doc, int x);
LRESULT on_button_up(HWND doc, int x);
// Cursor "PREVIEWMOVE" while dragging, else "PREVIEWCURSOR".
void show_view_cursor(bool dragging);

LRESULT on_hscroll(HWND doc, WPARAM wp);
LRESULT on_wheel(HWND doc, int delta, bool ctrl);
// Scroll range 0 .. number of sample values; both arrows disabled when 0.
// 1 when an operation held the guard and nothing was done.
LRESULT update_scroll_range(HWND doc);

void on_activate(HWND doc, HWND losing, HWND gaining);
// Ends the document's operations, stops its playback and frees its blocks.
void release_document(HWND doc);
// Terminates every operation of the frame's table that works on doc.
void terminate_document_operations(HWND doc);

}  // namespace waveview
