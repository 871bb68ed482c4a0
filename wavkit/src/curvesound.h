// The CurveSound editors: a path of pins drawn in a 300 x 200 pixel drawing
// area over the active document (or its mark) and applied on OK, inside the
// dialog, on the user-interface thread.
//
// Pins are in drawing-area pixels (kern::CurvePin): x 0 is the range's start,
// x 300 its end; y 0 is the top (200 %), y 200 the bottom (0 %). The first pin
// always has x 0, the last x 300, and every inner pin lies strictly between
// its neighbours' x, so the path is always a function of time.
#pragma once

#include <kernels/kernels.h>
#include <platform/platform.h>
#include <sonrel/settings.h>

namespace curve {

constexpr int kMinPins = 3;
constexpr int kMaxPins = 20;
// The controls the editors share.
constexpr int kWholeFile = 10;
constexpr int kMarkedArea = 11;

struct Editor;

// One editor: its template, its pin-count setting, the client pixel where its
// drawing area starts, and what OK does.
struct Kind {
    const char* templateName;
    NumberSetting count;
    POINT origin;
    void (*apply)(HWND dlg, const Editor& e);
};

// An open editor's state, kept for the life of the dialog.
struct Editor {
    const Kind* kind;
    HWND frame;
    int count;  // pins in use, kMinPins .. kMaxPins
    kern::CurvePin pins[kMaxPins];
    int dragged;  // the pin being dragged, or -1
    bool dragging;
};

// The pin count held within kMinPins .. kMaxPins.
int clamp_count(long n);
// Writes the pin count as "%u" to the editor's setting.
void store_count(const Editor& e);
// count pins spread evenly, all at 100 % (y 100); the last at x 300.
void reset_pins(Editor& e, int count);

// OK of each editor (curvesound_apply.cpp): applies the path to the frame's
// active document; nothing without one.
void apply_volume(HWND dlg, const Editor& e);
void apply_channels(HWND dlg, const Editor& e);

}  // namespace curve
