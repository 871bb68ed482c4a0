// The preview bar ("Preview"): the whole active document in a strip along the
// bottom of the frame, its mark, a new mark or a dragged copy of the mark set
// with the mouse, and the play position while the document plays.
//
// Geometry (client w x h, pixels): graph area x 20 .. w - 6 (G = w - 26
// columns), y 6 .. h - 14; position track y h - 10 .. h - 6. A column x stands
// for the byte offset P x (x - 20), P = data size / G bytes per pixel.
//
// The bar reads a document's blocks only while it holds the document's guard
// and only tries it, as the wave view does: a busy document keeps the last
// picture and is painted again a moment later. The position thread draws the
// play marker and the playing animation from its own thread through GetDC.
#pragma once

#include <platform/platform.h>

#include <atomic>

// State of the program's one preview bar. Written on the user-interface
// thread; the position thread reads the atomics.
struct PreviewBarState {
    HWND bar;
    HWND frame;
    int markStartX;  // client x of the drawn mark outline (start and end)
    int markEndX;
    BOOL overlay;                   // the outline between markStartX and markEndX is drawn now
    int newMark;                    // 1 while a new mark is drawn with the button held
    int dragging;                   // 1 while the mark is dragged
    DWORD pressByte;                // byte offset under the press of a new mark, not rounded
    float step;                     // pixels between two points of the waveform polyline
    std::atomic<int> markerX;       // x of the last drawn position marker, 0 when none
    std::atomic<DWORD> playOffset;  // mark start and length (bytes) handed over at play
    std::atomic<DWORD> playLength;
    std::atomic<int> stop;  // asks the position thread to end
    HANDLE thread;
    BOOL running;   // the position thread is resumed
    int animation;  // playing animation frame 1..9, 0 before the first
    HBITMAP marker;
    HBITMAP playing[9];
};

extern PreviewBarState g_previewBar;

// Colours (0x00BBGGRR).
#define PREVIEW_LEFT_COLOUR 0xFF0000u
#define PREVIEW_RIGHT_COLOUR 0x0000FFu
#define PREVIEW_MARK_COLOUR 0x00FFFFu

namespace previewbar {

// What the bar needs of one document, read under its guard.
struct DocInfo {
    DWORD dataSize;  // bytes
    int bits;
    int channels;
    DWORD markStart;  // bytes, held within the data
    DWORD markLength;
};

// The resources are the program's.
HINSTANCE instance();
void client_size(HWND bar, int* w, int* h);
// The active document of the frame, or null.
HWND active_document();
// A frame window asked for with a UM_GET... request.
HWND frame_window(UINT request);
// Reads the document's format and mark. FALSE when it has no usable blocks.
// Take the document's guard first.
BOOL read_doc(HWND doc, DocInfo* info);
// Bytes per pixel column; 0 when the graph has no width or the data is not
// wider than the graph (nothing is drawn then).
DWORD bytes_per_pixel(DWORD dataSize, int w);
// Column x of the byte offset (mark outline).
int x_of(DWORD offset, DWORD perPixel);

// WM_PAINT. 1 when the document's guard was taken and nothing was drawn.
LRESULT on_paint(HWND bar);
// Draws the mark outline between two columns with the XOR pen (drawing it
// again removes it), clipped to the graph area.
void xor_outline(HDC dc, int w, int h, int x1, int x2);
// The outline from the document's mark now: removes the drawn one, computes
// the columns and draws it. With doc null, only removes it.
void redraw_outline(HWND bar, HWND doc);

// Mouse messages at client (x, y).
LRESULT on_button_down(HWND bar, int x, int y);
LRESULT on_mouse_move(HWND bar, int x, int y);
LRESULT on_button_up(HWND bar, int x, int y);
// WM_SETCURSOR and the drag keys.
void set_bar_cursor(HWND bar);
void on_drag_key(HWND bar, WPARAM vk, bool down);

// The position thread: made suspended, resumed while a document plays.
void start_position_thread();
void resume_position_thread();
void suspend_position_thread();
void end_position_thread();

}  // namespace previewbar
