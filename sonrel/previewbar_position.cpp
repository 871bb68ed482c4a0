// The preview bar's position thread: while the active document plays, it
// moves the position marker along the track under the graph, and while
// anything plays it runs the playing animation on the status bar.
//
// The thread is made suspended when the bar is created, resumed when playback
// starts, suspended when it stops and while the bar paints, and ended
// (cooperatively, through the layer's Sleep) when the bar is destroyed.
#include <kit/rvg32.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <algorithm>

#include "previewbar.h"
#include "waveview.h"

using namespace previewbar;

namespace {

void animate() {
    HWND status = frame_window(UM_GETSTATUSBAR);
    g_previewBar.animation = g_previewBar.animation % 9 + 1;
    HBITMAP frame = g_previewBar.playing[g_previewBar.animation - 1];
    int w = 0, h = 0;
    client_size(status, &w, &h);
    HDC dc = status ? GetDC(status) : nullptr;
    if (!dc) return;
    ShowBitmap(dc, w - 70, 4, frame);
    ReleaseDC(status, dc);
}

// The played frame within the data: the device counts every loop, so the
// count is taken modulo the frames that play (the mark, or the whole data).
long long played_frame(HWAVEOUT out, const DocInfo& d) {
    MMTIME t{};
    t.wType = TIME_SAMPLES;
    if (waveOutGetPosition(out, &t, sizeof t) != MMSYSERR_NOERROR) return -1;
    const DWORD align = std::max(1, d.channels * d.bits / 8);
    const DWORD length = g_previewBar.playLength;
    const long long total = length ? length / align : d.dataSize / align;
    long long frame = total > 0 ? t.u.sample % total : 0;
    if (length) frame += g_previewBar.playOffset / align;
    return frame;
}

void draw_marker(int x, int w, int h) {
    HWND bar = g_previewBar.bar;
    HDC dc = bar ? GetDC(bar) : nullptr;
    if (!dc) return;
    IntersectClipRect(dc, 20, h - 10, w - 6, h - 6);
    FilledBox(dc, 20, h - 10, 30, h - 6, 0x000000);
    const int last = g_previewBar.markerX;
    if (last) FilledBox(dc, last - 4, h - 10, last + 23, h - 6, 0x000000);
    // The layer's windows are always 32 bits per pixel: the deep-colour marker.
    ShowBitmap(dc, x - 4, h - 10, g_previewBar.marker);
    g_previewBar.markerX = x;
    ReleaseDC(bar, dc);
}

void show_position(HWND doc) {
    HWAVEOUT out = reinterpret_cast<HWAVEOUT>(SendMessage(g_previewBar.frame, UM_GETWAVEOUT, 0, 0));
    if (!out) return;
    DocInfo d{};
    {
        waveview::TryGuard guard(doc);
        if (!guard.held || !read_doc(doc, &d) || d.dataSize == 0) return;
    }
    int w = 0, h = 0;
    client_size(g_previewBar.bar, &w, &h);
    const int g = w - 26;
    if (g <= 0) return;
    long long frames = d.bits == 16 ? d.dataSize / 2 : d.dataSize;
    if (d.channels == 2) frames /= 2;
    const long long perPixel = std::max<long long>(1, frames / g);
    const long long played = played_frame(out, d);
    if (played < 0) return;
    const int x = static_cast<int>(std::min<long long>(played / perPixel, g)) + 20;
    draw_marker(x, w, h);
}

void one_pass() {
    HWND doc = active_document();
    HWND playing = frame_window(UM_GETPLAYINGDOC);
    if (playing) animate();
    Sleep(50);
    if (doc && doc == playing) show_position(doc);
    Sleep(20);
}

DWORD position_thread(LPVOID) {
    while (!g_previewBar.stop) {
        try {
            one_pass();
        }
        PLATFORM_RETHROW_THREAD_EXIT catch (...) {
            ExceptionBox(g_previewBar.bar, "PreviewBar (ShowTimePosition)");
        }
    }
    return 0;
}

}  // namespace

namespace previewbar {

void start_position_thread() {
    if (g_previewBar.thread) return;
    g_previewBar.stop = 0;
    g_previewBar.running = FALSE;
    DWORD id = 0;
    g_previewBar.thread = CreateThread(nullptr, 0, position_thread, nullptr, CREATE_SUSPENDED, &id);
    if (g_previewBar.thread) SetThreadPriority(g_previewBar.thread, THREAD_PRIORITY_BELOW_NORMAL);
}

void resume_position_thread() {
    start_position_thread();
    if (!g_previewBar.thread || g_previewBar.running) return;
    ResumeThread(g_previewBar.thread);
    g_previewBar.running = TRUE;
}

void suspend_position_thread() {
    if (!g_previewBar.thread || !g_previewBar.running) return;
    SuspendThread(g_previewBar.thread);
    g_previewBar.running = FALSE;
}

void end_position_thread() {
    if (!g_previewBar.thread) return;
    g_previewBar.stop = 1;
    TerminateThread(g_previewBar.thread, 0);
    CloseHandle(g_previewBar.thread);
    g_previewBar.thread = nullptr;
    g_previewBar.running = FALSE;
}

}  // namespace previewbar
