// The status bar: the active document's path, size, rate, format and
// duration, the resting frames of the play and CD animations, or a notice
// when no document is open. It paints only when invalidated.
#include <kit/rvg32.h>
#include <sonrel/blocks.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <cstdio>

#include "bar_time.h"
#include "bars.h"
#include "frame.h"
#include "waveview.h"

namespace {

constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr UINT kPathFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
constexpr char kNoDocument[] = FRAME_TITLE " - no sound file is open";

// What the boxes show, read under the document's guard.
struct Shown {
    bool read = false;
    DWORD fileLength = 0;
    DWORD dataSize = 0;
    DWORD bytesPerSec = 0;
    DWORD samplesPerSec = 0;
    WORD channels = 0;
    WORD bits = 0;
};

Shown read_header(HWND doc) {
    Shown s;
    waveview::TryGuard guard(doc);
    if (!guard.held) return s;
    waveview::Blocks b(doc, false);
    if (!b.header) return s;
    s.read = true;
    s.fileLength = b.header->fileLength;
    s.dataSize = b.header->dataSize;
    s.bytesPerSec = b.header->bytesPerSec;
    s.samplesPerSec = b.header->samplesPerSec;
    s.channels = b.header->channels;
    s.bits = b.header->bitsPerSample;
    return s;
}

// INFO is never resized or replaced, so its path is read without the guard.
void draw_path(HDC dc, HWND doc, int w, int h) {
    HGLOBAL hi = GetProp(doc, PROP_INFO);
    auto* info = static_cast<const InfoBlock*>(GlobalLock(hi));
    if (!info) return;
    char path[INFO_PATH_CHARS];
    std::snprintf(path, sizeof path, "%.*s", INFO_PATH_CHARS - 1, info->path);
    GlobalUnlock(hi);
    ExtText(dc, 8, 4, w - 356, h - 4, path, kPathFormat);
}

void box(HDC dc, int left, int right, int h, const char* text) {
    Down3Dbox(dc, left, 4, right, h - 1);
    ExtText(dc, left, 5, right, h - 2, text, kCentred);
}

void draw_boxes(HDC dc, const Shown& s, int w, int h) {
    char text[64];
    std::snprintf(text, sizeof text, "%lu KB", (unsigned long)(s.fileLength / 1024));
    box(dc, w - 130, w - 77, h, text);
    std::snprintf(text, sizeof text, "%lu Hz", (unsigned long)s.samplesPerSec);
    box(dc, w - 190, w - 132, h, text);
    std::snprintf(text, sizeof text, s.channels == 2 ? "%d Bit, Stereo" : "%d Bit, Mono",
                  int(s.bits));
    box(dc, w - 270, w - 192, h, text);
    const DWORD ms = s.fileLength ? BytesToMs(s.dataSize, s.bytesPerSec, s.dataSize) : 0;
    FormatBarTime(text, sizeof text, ms);
    box(dc, w - 350, w - 272, h, text);
}

void paint(HWND bar) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    RECT rc{};
    GetClientRect(bar, &rc);
    const int w = rc.right, h = rc.bottom;
    FilledBox(dc, 0, 0, w, h, GetSysColor(COLOR_BTNFACE));
    FilledBox(dc, 0, 0, w, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, RVGetStockObject(2));
    auto doc = reinterpret_cast<HWND>(SendMessage(GetParent(bar), UM_GETACTIVEDOC, 0, 0));
    if (doc) {
        auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(bar, GWLP_HINSTANCE));
        draw_path(dc, doc, w, h);
        ShowResourceBitmap(dc, inst, "PLAYING1", w - 70, 4);
        ShowResourceBitmap(dc, inst, "CDING1", w - 40, 4);
        // While an operation holds the document the boxes wait for its end,
        // which invalidates the bar again.
        const Shown s = read_header(doc);
        if (s.read) draw_boxes(dc, s, w, h);
    } else {
        Text(dc, 3, 4, kNoDocument);
    }
    SelectObject(dc, oldFont);
    EndPaint(bar, &ps);
}

}  // namespace

LRESULT CALLBACK StatusBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        paint(hwnd);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}
