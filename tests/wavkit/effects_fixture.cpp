#include "effects_fixture.h"

#include <kit/rvg32.h>
#include <sonrel/messages.h>

#include <cstring>
#include <map>

namespace fxtest {

namespace {

std::mutex g_frames_mutex;
std::map<HWND, RecordingFrame*> g_frames;

struct Watched {
    WNDPROC previous;
    RecordingFrame* frame;
};
std::map<HWND, Watched> g_watched;

RecordingFrame* frame_of(HWND w) {
    std::lock_guard<std::mutex> lock(g_frames_mutex);
    auto it = g_frames.find(w);
    return it == g_frames.end() ? nullptr : it->second;
}

LRESULT frame_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    RecordingFrame* f = msg >= WM_USER ? frame_of(hwnd) : nullptr;
    if (!f) return DefWindowProc(hwnd, msg, wp, lp);
    {
        std::lock_guard<std::mutex> lock(f->mutex);
        f->log.push_back(Call{msg, wp, lp});
    }
    switch (msg) {
        case UM_GETACTIVEDOC:
            return reinterpret_cast<LRESULT>(f->doc);
        case UM_GETPREVIEW:
            return reinterpret_cast<LRESULT>(f->preview);
        case UM_GETSTATUSBAR:
            return reinterpret_cast<LRESULT>(f->status);
        default:
            return 0;
    }
}

LRESULT watch_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Watched w{};
    {
        std::lock_guard<std::mutex> lock(g_frames_mutex);
        w = g_watched[hwnd];
    }
    if (msg == UM_DOCCHANGED && w.frame) {
        std::lock_guard<std::mutex> lock(w.frame->mutex);
        ++w.frame->docChanged;
    }
    return w.previous ? CallWindowProc(w.previous, hwnd, msg, wp, lp)
                      : DefWindowProc(hwnd, msg, wp, lp);
}

void register_class() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = frame_proc;
    wc.hInstance = GetModuleHandle(nullptr);
    wc.lpszClassName = "EffectsTestFrame";
    RegisterClassEx(&wc);
}

DWORD wait_for(HANDLE thread) {
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
}

}  // namespace

RecordingFrame::RecordingFrame() {
    register_class();
    HINSTANCE inst = GetModuleHandle(nullptr);
    frame = CreateWindowEx(0, "EffectsTestFrame", "Frame", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                           nullptr, nullptr, inst, nullptr);
    preview = CreateWindowEx(0, "EffectsTestFrame", "Preview", WS_CHILD | WS_VISIBLE, 0, 380, 640,
                             100, frame, nullptr, inst, nullptr);
    status = CreateWindowEx(0, "EffectsTestFrame", "Status", WS_CHILD | WS_VISIBLE, 0, 0, 640, 20,
                            frame, nullptr, inst, nullptr);
    std::lock_guard<std::mutex> lock(g_frames_mutex);
    g_frames[frame] = this;
}

RecordingFrame::~RecordingFrame() {
    {
        std::lock_guard<std::mutex> lock(g_frames_mutex);
        g_frames.erase(frame);
        for (auto it = g_watched.begin(); it != g_watched.end();) {
            if (it->second.frame == this) {
                SetWindowLongPtr(it->first, GWLP_WNDPROC,
                                 reinterpret_cast<LONG_PTR>(it->second.previous));
                it = g_watched.erase(it);
            } else {
                ++it;
            }
        }
    }
    DestroyWindow(frame);
}

std::vector<Call> RecordingFrame::calls() const {
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

std::vector<UINT> RecordingFrame::messages() const {
    std::vector<UINT> out;
    for (const Call& c : calls()) out.push_back(c.msg);
    return out;
}

void RecordingFrame::watch(HWND document) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtr(document, GWLP_WNDPROC));
    {
        std::lock_guard<std::mutex> lock(g_frames_mutex);
        g_watched[document] = Watched{previous, this};
    }
    SetWindowLongPtr(document, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watch_proc));
}

int RecordingFrame::doc_changes() const {
    std::lock_guard<std::mutex> lock(mutex);
    return docChanged;
}

Finished run_operation(LPTHREAD_START_ROUTINE proc, HWND frame) {
    return run_together({proc}, {frame}).front();
}

std::vector<Finished> run_together(const std::vector<LPTHREAD_START_ROUTINE>& procs,
                                   const std::vector<HWND>& frames) {
    std::vector<HANDLE> threads;
    std::vector<Finished> out;
    for (size_t i = 0; i < procs.size(); ++i) {
        DWORD id = 0;
        HANDLE h = CreateThread(nullptr, 0, procs[i], frames[i], CREATE_SUSPENDED, &id);
        SetThreadPriority(h, THREAD_PRIORITY_BELOW_NORMAL);
        threads.push_back(h);
        out.push_back(Finished{0, id});
    }
    for (HANDLE h : threads) ResumeThread(h);
    for (size_t i = 0; i < threads.size(); ++i) out[i].exitCode = wait_for(threads[i]);
    return out;
}

Setting::Setting(const char* p, const char* value, const char* restoreTo)
    : path(p), restore(restoreTo) {
    RegWriteString(p, value);
}

Setting::~Setting() {
    RegWriteString(path.c_str(), restore.c_str());
}

bool needs_paint(HWND w) {
    RECT rc{};
    return GetUpdateRect(w, &rc, FALSE) != 0;
}

Bytes le16(const std::vector<int16_t>& values) {
    Bytes b(values.size() * 2);
    std::memcpy(b.data(), values.data(), b.size());
    return b;
}

std::vector<int16_t> values16(const Bytes& bytes) {
    std::vector<int16_t> v(bytes.size() / 2);
    std::memcpy(v.data(), bytes.data(), v.size() * 2);
    return v;
}

}  // namespace fxtest
