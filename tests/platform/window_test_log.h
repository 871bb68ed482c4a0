// Helpers for the window tests: a log of the messages that window procedures
// received, recording procedures and class registration.
#pragma once

#include <platform/platform.h>

#include <string>
#include <vector>

namespace wtest {

struct Entry {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// Every message the recording procedures saw, in order.
std::vector<Entry>& log();
// The entries of the log for one message number (and one window when given).
std::vector<Entry> of(UINT msg, HWND hwnd = nullptr);
// Message numbers seen by one window, in order, filtered to those listed.
std::vector<UINT> sequence(HWND hwnd, const std::vector<UINT>& wanted);

// Records, then gives default processing.
LRESULT CALLBACK record_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Records, then gives default MDI document processing.
LRESULT CALLBACK record_mdi_child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Registers a class under a name of its own (once per name) and gives the name.
std::string register_class(const std::string& name, WNDPROC proc, UINT style = 0,
                           HBRUSH background = nullptr);

// A visible top-level window of a recording class.
HWND top_window(int w = 300, int h = 200);
HWND child_window(HWND parent, int x, int y, int w, int h, int id = 0, DWORD extra = 0);

}  // namespace wtest
