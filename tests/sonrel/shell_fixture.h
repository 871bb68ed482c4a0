// A running shell inside the test program: the program's resources and
// classes, a frame made as the program makes it (with fresh settings), and
// helpers to serve the operation threads and to read the frame's children.
#pragma once

#include <platform/platform.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fixtures/commands.h"
#include "fixtures/document_blocks.h"
#include "frame.h"

namespace shelltest {

// Registers the resources and classes once, removes the settings file, then
// creates the frame. The destructor destroys the frame if it still exists,
// takes the quit message it posts, and clears the shell state.
using Settings = std::vector<std::pair<const char*, const char*>>;

struct Shell {
    HWND frame = nullptr;
    // Settings written after the old ones are removed, before the frame is made.
    explicit Shell(const Settings& settings = {});
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;
};

// Deletes every stored setting.
void clear_settings();
void write_setting(const char* path, const char* value);

using fixtures::command;
using fixtures::serve_until;
using fixtures::set_mark;

// The pixels of the status bar's left part, where the hint is drawn.
std::vector<COLORREF> hint_pixels();

// A child's rectangle in its parent's client coordinates.
RECT child_rect(HWND child);

// A 16-bit mono wave file of the given values; gives its path.
std::string write_wave(const std::string& name, const std::vector<short>& values);
// The document's sample bytes.
std::vector<unsigned char> wave_bytes(HWND doc);
// Opens the file as command 106 does and gives the new active document.
HWND open_document(HWND frame, const std::string& path);

// While it lives, the frame notes the id of every WM_COMMAND it gets and
// acts on none. One at a time.
struct CommandSpy {
    std::vector<UINT> commands;
    explicit CommandSpy(HWND frame);
    ~CommandSpy();
    CommandSpy(const CommandSpy&) = delete;
    CommandSpy& operator=(const CommandSpy&) = delete;

private:
    HWND frame_;
    WNDPROC old_;
};

// Number of live entries in the operation table.
int live_operations();
// No live entry in the operation table and no operation counted as running.
bool operations_done();

}  // namespace shelltest
