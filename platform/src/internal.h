// Contracts between the areas of the layer (not exported). Each function is
// owned by one area; the others call it.
#pragma once

#include <platform/platform.h>

#include <functional>
#include <mutex>

class QImage;
class QWidget;

namespace plat {

// --- window area (window.cpp, message.cpp) ---
// The widget that shows a window, or null for a dead handle.
QWidget* widget_of(HWND hwnd);
// The window whose widget this is, or null.
HWND hwnd_of(const QWidget* w);
// The window's backing image and the lock that guards it. The image is the size
// of the client area (at least 1x1) and is resized by the window area only
// under the lock. FALSE for a dead handle.
bool backing_image(HWND hwnd, QImage** image, std::recursive_mutex** lock);
// Marks a rectangle of the client area (null: all) as shown-dirty so that the
// widget shows the image again soon; callable from any thread.
void schedule_show(HWND hwnd, const RECT* rc);
// Takes the window's invalid region for BeginPaint: its bounding rectangle and
// whether it should be erased; the window becomes valid.
bool take_update(HWND hwnd, RECT* rc, bool* erase);
// The class background brush of a window (a brush, or COLOR_x + 1), or null.
HBRUSH class_background(HWND hwnd);
// The cursor a window's class names, or null.
HCURSOR class_cursor(HWND hwnd);
// Runs fn on the user-interface thread and gives its result; from another
// thread the caller blocks until it has run (served by nested Qt loops and by
// PlatformServeSentMessages), as a sent message.
LRESULT run_on_ui(const std::function<LRESULT()>& fn);

// --- thread area (thread.cpp) ---
// Ends the calling thread when a stop was requested for it (does not return then).
void checkpoint();
// Makes the layer's waits look again at once; the window area calls it when it
// hands a call to the user-interface thread, so a wait there serves it without
// delay. Callable from any thread.
void wake_waiters();

// --- memory area (memory.cpp) ---
// A device that reads a block's memory holds the allocation that contains addr,
// so freeing or moving the block leaves those bytes in place until the matching
// release_memory. FALSE when addr lies in no block.
bool hold_memory(const void* addr);
void release_memory(const void* addr);

// --- wave devices (wave_out_device.cpp) ---
// Starts SDL audio once for the process, without SDL's signal handlers (so
// SIGINT and SIGTERM still end the program). False when audio cannot start;
// a later call tries again.
bool start_audio();
// Serialises SDL's device open, pause and close for inputs and outputs alike.
// Never taken inside an audio callback.
std::mutex& sdl_device_lock();

// --- painting area (gdi.cpp) ---
// Fills a rectangle of a device context with a class background brush value
// (a brush, or COLOR_x + 1).
void fill_background(HDC hdc, const RECT& rc, HBRUSH classBrush);

// --- resources area (resource.cpp) ---
// The Qt cursor behind a cursor handle, as a const QCursor* (used by the
// window area for SetCursor); null for none. User-interface thread.
const void* cursor_data(HCURSOR cursor);

}  // namespace plat
