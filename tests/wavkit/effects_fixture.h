// Fixtures for the editing operations: a frame that answers an operation's
// questions and records every frame message it receives, a runner that starts
// a thread procedure the way the frame does, and settings set for one test.
#pragma once

#include <platform/platform.h>

#include <mutex>
#include <string>
#include <vector>

#include "document_fixture.h"

namespace fxtest {

using wavtest::Bytes;

struct Call {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// A frame window (class "EffectsTestFrame") with a preview bar and a status bar
// of its own. It answers UM_GETACTIVEDOC with `doc`, UM_GETPREVIEW and
// UM_GETSTATUSBAR with its bars, and records every message from WM_USER on, in
// order. Documents watched with watch() record the UM_DOCCHANGED they receive.
struct RecordingFrame {
    HWND frame = nullptr;
    HWND preview = nullptr;
    HWND status = nullptr;
    HWND doc = nullptr;
    RecordingFrame();
    ~RecordingFrame();
    RecordingFrame(const RecordingFrame&) = delete;
    RecordingFrame& operator=(const RecordingFrame&) = delete;
    std::vector<Call> calls() const;
    // The message numbers received, in order.
    std::vector<UINT> messages() const;
    // Counts UM_DOCCHANGED sent to the document from now on.
    void watch(HWND document);
    int doc_changes() const;
    mutable std::mutex mutex;
    std::vector<Call> log;
    int docChanged = 0;
};

struct Finished {
    DWORD exitCode;
    DWORD threadId;
};

// Starts proc on a thread of its own with the frame as argument (suspended,
// below-normal priority, then resumed) and waits for it on this thread.
Finished run_operation(LPTHREAD_START_ROUTINE proc, HWND frame);

// Starts several at once (all created suspended, then resumed together) and
// waits for all of them.
std::vector<Finished> run_together(const std::vector<LPTHREAD_START_ROUTINE>& procs,
                                   const std::vector<HWND>& frames);

// Writes a setting for the life of the scope, then writes `restore` back.
struct Setting {
    std::string path;
    std::string restore;
    Setting(const char* path, const char* value, const char* restoreTo);
    ~Setting();
};

// Whether the window has an invalid area waiting for a paint.
bool needs_paint(HWND w);

// 16-bit values as little-endian bytes, and back.
Bytes le16(const std::vector<int16_t>& values);
std::vector<int16_t> values16(const Bytes& bytes);

}  // namespace fxtest
