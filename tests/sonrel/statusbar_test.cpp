// The status bar on the real frame: the active document's path, size, rate,
// format and duration in their boxes, the two resting animation frames, and
// the notice without a document. Each picture is compared with the same
// texts drawn at their places on a reference window of the bar's size.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>

#include <functional>
#include <string>
#include <vector>

#include "bars_fixture.h"
#include "shell_fixture.h"
#include "waveview_fixture.h"

using namespace shelltest;
using namespace barstest;

namespace {

std::function<void(HDC, int, int)> g_draw;

LRESULT CALLBACK reference_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProc(w, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT rc{};
    GetClientRect(w, &rc);
    FilledBox(dc, 0, 0, rc.right, rc.bottom, GetSysColor(COLOR_BTNFACE));
    FilledBox(dc, 0, 0, rc.right, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, RVGetStockObject(2));
    if (g_draw) g_draw(dc, rc.right, rc.bottom);
    EndPaint(w, &ps);
    return 0;
}

// A window of the bar's size drawn by draw over the bar's background.
std::vector<uint32_t> reference(const std::function<void(HDC, int, int)>& draw) {
    WNDCLASSEX wc{};
    if (!GetClassInfoEx(nullptr, "StatusReference", &wc)) {
        wc = WNDCLASSEX{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = reference_proc;
        wc.lpszClassName = "StatusReference";
        RegisterClassEx(&wc);
    }
    RECT rc{};
    GetClientRect(g_shell.statusBar, &rc);
    HWND w = CreateWindowEx(0, "StatusReference", "", WS_CHILD | WS_VISIBLE, 0, 0, rc.right,
                            rc.bottom, GetParent(g_shell.statusBar), nullptr, nullptr, nullptr);
    g_draw = draw;
    wvtest::paint(w);
    std::vector<uint32_t> px = wvtest::pixels(w);
    g_draw = nullptr;
    DestroyWindow(w);
    return px;
}

std::vector<uint32_t> status_picture() {
    wvtest::paint(g_shell.statusBar);
    return wvtest::pixels(g_shell.statusBar);
}

// The pixels of the rectangle [l, r) x [t, b) of a picture w pixels wide.
std::vector<uint32_t> part(const std::vector<uint32_t>& px, int w, int l, int t, int r, int b) {
    std::vector<uint32_t> out;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) out.push_back(px[size_t(y) * w + x]);
    return out;
}

struct Expected {
    std::string path, size, rate, format, duration;
};

void draw_expected(HDC dc, int w, int h, const Expected& e) {
    ExtText(dc, 8, 4, w - 356, h - 4, e.path.c_str(),
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ShowResourceBitmap(dc, g_shell.instance, "playing1", w - 70, 4);
    ShowResourceBitmap(dc, g_shell.instance, "cding1", w - 40, 4);
    const struct {
        int left, right;
        const std::string& text;
    } boxes[] = {{w - 130, w - 77, e.size},
                 {w - 190, w - 132, e.rate},
                 {w - 270, w - 192, e.format},
                 {w - 350, w - 272, e.duration}};
    for (const auto& b : boxes) {
        Down3Dbox(dc, b.left, 4, b.right, h - 1);
        ExtText(dc, b.left, 5, b.right, h - 2, b.text.c_str(),
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

}  // namespace

TEST(StatusBar, ShowsTheActiveDocumentsPathSizeRateFormatAndDuration) {
    struct Case {
        WORD channels;
        DWORD rate;
        WORD bits;
        DWORD dataSize;
        Expected shown;
    } cases[] = {
        {2,
         44100,
         16,
         352800,
         {"/tmp/status/stereo & 16.wav", "344 KB", "44100 Hz", "16 Bit, Stereo", "00 m 02.000 s"}},
        {1,
         22050,
         8,
         44100,
         {"/tmp/status/mono8.wav", "43 KB", "22050 Hz", "8 Bit, Mono", "00 m 02.000 s"}},
        {1, 8000, 8, 0, {"Untitled 1", "0 KB", "8000 Hz", "8 Bit, Mono", "00 m 00.000 s"}},
        {2,
         44100,
         16,
         2147483644u,
         {"/tmp/status/two gigabytes.wav", "2097152 KB", "44100 Hz", "16 Bit, Stereo",
          "202 m 53.943 s"}},
    };
    Shell s;
    for (const Case& c : cases) {
        // The 2 GB document's header is all the bar reads: it gets no data block.
        const DWORD wave = c.dataSize > 1000000 ? 0 : c.dataSize;
        HWND doc =
            make_document(header_of(c.channels, c.rate, c.bits, c.dataSize), wave, c.shown.path);
        const std::vector<uint32_t> got = status_picture();
        const std::vector<uint32_t> want =
            reference([&](HDC dc, int w, int h) { draw_expected(dc, w, h, c.shown); });
        const std::vector<uint32_t> blank = reference(nullptr);
        RECT rc{};
        GetClientRect(g_shell.statusBar, &rc);
        const int w = rc.right, h = rc.bottom;
        const struct {
            const char* what;
            int l, t, r, b;
        } parts[] = {{"path", 0, 0, w - 356, h},           {"size", w - 130, 0, w - 77, h},
                     {"rate", w - 190, 0, w - 132, h},     {"format", w - 270, 0, w - 192, h},
                     {"duration", w - 350, 0, w - 272, h}, {"animations", w - 75, 0, w, h}};
        for (const auto& p : parts) {
            EXPECT_EQ(part(got, w, p.l, p.t, p.r, p.b), part(want, w, p.l, p.t, p.r, p.b))
                << c.shown.path << ": " << p.what;
            EXPECT_NE(part(want, w, p.l, p.t, p.r, p.b), part(blank, w, p.l, p.t, p.r, p.b))
                << "something is drawn for the " << p.what;
        }
        EXPECT_EQ(got, want) << c.shown.path << ": nothing else";
        SendMessage(g_shell.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
        settle();
    }
}

TEST(StatusBar, WithoutADocumentItShowsANoticeWithTheProductsName) {
    Shell s;
    const std::vector<uint32_t> notice =
        reference([](HDC dc, int, int) { Text(dc, 3, 4, "Sonrel 2003 - no sound file is open"); });
    EXPECT_EQ(status_picture(), notice);
    HWND doc = make_document(header_of(1, 8000, 8, 8000), 8000, "/tmp/status/one.wav");
    EXPECT_NE(status_picture(), notice);
    SendMessage(g_shell.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
    settle();
    EXPECT_EQ(status_picture(), notice) << "again once the last document is closed";
}
