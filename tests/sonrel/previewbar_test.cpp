// The preview bar on the real frame: its picture (read from the backing image
// and checked against points computed with PixelCalculate), the mark outline,
// new marks set with the mouse, the play position marker, sizing, the menu
// and the drop of a dragged mark.
#include "previewbar.h"

#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/blocks.h>
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "shell_fixture.h"
#include "test_support.h"
#include "waveview_fixture.h"

using namespace shelltest;
using testing_support::QuestionRecorder;
using wvtest::Bytes;

namespace {

constexpr int kW = 426;  // graph width G = 400
constexpr int kH = 100;
const uint32_t kBlue = 0x0000FF;  // 0x00RRGGBB
const uint32_t kRed = 0xFF0000;
const uint32_t kYellow = 0xFFFF00;
const uint32_t kBlack = 0x000000;

struct Picture {
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    uint32_t at(int x, int y) const { return px[size_t(y) * w + x]; }
};

Picture picture(HWND bar) {
    wvtest::paint(bar);
    Picture p;
    p.px = wvtest::pixels(bar, &p.w, &p.h);
    return p;
}

// What the position bar was told: the value is lParam, or the command id.
std::vector<std::pair<UINT, LPARAM>> g_posBar;
WNDPROC g_posBarProc = nullptr;
LRESULT CALLBACK pos_bar_spy(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == UM_MOUSEPOS || msg == UM_MARKUPDATE) g_posBar.push_back({msg, lp});
    if (msg == WM_COMMAND) g_posBar.push_back({msg, LPARAM(LOWORD(wp))});
    return CallWindowProc(g_posBarProc, w, msg, wp, lp);
}

HGLOBAL block_with(const void* bytes, size_t n) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n);
    void* p = GlobalLock(h);
    if (p && bytes) std::memcpy(p, bytes, n);
    GlobalUnlock(h);
    return h;
}

// An active document of the given format and data; no mark outline in view
// (the mark starts at the data's end).
HWND make_doc(WORD channels, WORD bits, const Bytes& data) {
    HWND doc = CreateMDIWindow("Child Window", "/tmp/preview.wav", WS_HSCROLL, 0, 0, 300, 200,
                               g_shell.mdiClient, g_shell.instance, 0);
    HeaderBlock hd{};
    std::memcpy(hd.riffTag, "RIFF", 4);
    std::memcpy(hd.waveTag, "WAVEfmt ", 8);
    hd.formatLength = 16;
    hd.formatCode = 1;
    hd.channels = channels;
    hd.samplesPerSec = 8000;
    hd.blockAlign = WORD(channels * bits / 8);
    hd.bytesPerSec = 8000u * hd.blockAlign;
    hd.bitsPerSample = bits;
    std::memcpy(hd.dataTag, "data", 4);
    hd.dataSize = DWORD(data.size());
    hd.fileLength = data.empty() ? 0 : hd.dataSize + 44;
    SetProp(doc, PROP_HEADER, block_with(&hd, sizeof hd));
    if (!data.empty()) SetProp(doc, PROP_WAVE, block_with(data.data(), data.size()));
    PositionBlock pos{};
    pos.zoom = 1;
    pos.markStart = hd.dataSize;
    SetProp(doc, PROP_POSITION, block_with(&pos, sizeof pos));
    InfoBlock info{};
    info.saved = 1;
    info.sourceFormat = SOURCE_PCM_WAVE;
    SetProp(doc, PROP_INFO, block_with(&info, sizeof info));
    SetProp(doc, PROP_UNDO, block_with(nullptr, sizeof(UndoBlock)));
    SetProp(doc, PROP_FILEINFO, block_with(nullptr, sizeof(FileInfoBlock)));
    SetWindowLongPtr(doc, GWLP_USERDATA, DOCUMENT_USERDATA);
    ShowWindow(doc, SW_SHOW);
    return doc;
}

int value_at(const Bytes& d, int bits, long long i) {
    if (bits == 16) return int16_t(d[size_t(2 * i)] | (d[size_t(2 * i + 1)] << 8));
    return d[size_t(i)];
}

struct Point {
    int x, y;
};

// The polyline's points as the bar describes them.
std::vector<Point> points(const Bytes& d, int bits, int parity, int centre, int lift, int height,
                          float step) {
    const long long n = bits == 16 ? d.size() / 2 : d.size();
    const long long per = n / (kW - 26);
    std::vector<Point> out;
    for (float x = 20.0f; x < float(kW - 6); x += step) {
        long long i = static_cast<long long>(double(x - 20.0f) * per);
        if (parity == 0 && (i & 1)) ++i;
        if (parity == 1 && !(i & 1)) ++i;
        if (i >= n) break;
        out.push_back({int(x), centre - PixelCalculate(value_at(d, bits, i), bits, height) + lift});
    }
    return out;
}

// Every point but the last is drawn in the colour (the polyline leaves out its end point).
void expect_points(const Picture& p, const std::vector<Point>& pts, uint32_t colour) {
    ASSERT_GT(pts.size(), 100u);
    int wrong = 0;
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        if (p.at(pts[i].x, pts[i].y) != colour && ++wrong < 5)
            ADD_FAILURE() << "point " << i << " at (" << pts[i].x << ", " << pts[i].y << ") is "
                          << std::hex << p.at(pts[i].x, pts[i].y);
    EXPECT_EQ(wrong, 0);
}

class PreviewBar : public ::testing::Test {
protected:
    void SetUp() override {
        bar = g_shell.preview;
        ASSERT_TRUE(bar);
        RECT rc = child_rect(bar);
        MoveWindow(bar, rc.left, rc.top, kW, kH, TRUE);
        g_posBar.clear();
        g_posBarProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
            g_shell.posBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pos_bar_spy)));
    }
    PositionBlock mark_of(HWND doc) { return wvtest::position_of(doc); }
    void press(int x) { SendMessage(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 40)); }
    void move(int x) { SendMessage(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 40)); }
    void release(int x) { SendMessage(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, 40)); }
    void drag(int from, int to) {
        press(from);
        move((from + to) / 2);
        move(to);
        release(to);
    }
    Shell s;
    HWND bar = nullptr;
};

}  // namespace

TEST_F(PreviewBar, WithoutAReadyDocumentOnlyAnEmptyFrameIsDrawn) {
    Picture p = picture(bar);
    ASSERT_EQ(p.w, kW);
    ASSERT_EQ(p.h, kH);
    const uint32_t face = wvtest::rgb(GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(p.at(2, 40), face);
    EXPECT_EQ(p.at(50, 1), wvtest::rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(p.at(50, kH - 1), wvtest::rgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(p.at(5, 40), wvtest::rgb(GetSysColor(COLOR_BTNSHADOW))) << "sunken frame";
    for (int y = 6; y < kH - 6; ++y)
        for (int x = 6; x < kW - 6; ++x) ASSERT_EQ(p.at(x, y), kBlack) << x << ", " << y;

    HWND doc = make_doc(1, 8, wvtest::wave8(4000, 20));
    SetFileWorking(doc);
    Picture loading = picture(bar);
    EXPECT_EQ(loading.px, p.px) << "a loading document shows the empty frame";
    SetFileNotWorking(doc);
    Picture ready = picture(bar);
    EXPECT_EQ(ready.at(12, kH - 8), face) << "the graph and the track are framed apart";
    EXPECT_EQ(ready.at(25, kH - 8), kBlack) << "the position track";
    EXPECT_EQ(ready.at(25, kH - 12), face) << "between graph and track";
}

TEST_F(PreviewBar, MonoWaveformIsOneBluePolylineAroundTheMiddleWithItsLabel) {
    Bytes data = wvtest::wave8(4000, 30);
    make_doc(1, 8, data);
    Picture p = picture(bar);
    const int hh = kH - 20;
    expect_points(p, points(data, 8, -1, hh / 2, 0, hh - 4, 0.2f), kBlue);
    const uint32_t face = wvtest::rgb(GetSysColor(COLOR_BTNFACE));
    int marked = 0;
    for (int y = kH / 2 - 33; y < kH / 2 + 7; ++y)
        for (int x = 6; x < 18; ++x) marked += p.at(x, y) != face;
    EXPECT_GT(marked, 10) << "the MONOCHANNEL label";
    for (int x = 20; x < kW - 6; ++x) EXPECT_NE(p.at(x, 8), kBlue) << "no point far off the line";
}

TEST_F(PreviewBar, StereoShowsTheLeftChannelInBlueAboveTheRightInRed) {
    Bytes data = wvtest::wave16(8000, 20, 3);  // 4000 frames, B = 20 sample values per pixel
    make_doc(2, 16, data);
    Picture p = picture(bar);
    const int hh = kH - 20;
    expect_points(p, points(data, 16, 0, hh / 4, 3, hh / 2, 0.2f), kBlue);
    expect_points(p, points(data, 16, 1, 3 * hh / 4, 0, hh / 2, 0.2f), kRed);
}

TEST_F(PreviewBar, QualitySettingSetsTheDrawingStepWhenReadAgain) {
    // Every tenth value lies on the zero line, all others at the top: with one
    // point per column (quality 1000) only zero-line values are sampled.
    Bytes data(4000, 255);
    for (size_t i = 0; i < data.size(); i += 10) data[i] = 128;
    make_doc(1, 8, data);
    const int centre = (kH - 20) / 2;
    auto off_centre = [&](const Picture& p) {
        int n = 0;
        for (int y = 6; y < kH - 14; ++y)
            for (int x = 21; x < kW - 7; ++x) n += y != centre && p.at(x, y) == kBlue;
        return n;
    };
    write_setting("Sonrel\\Settings\\Preview\\Quality", "1000");
    SendMessage(bar, UM_READQUALITY, 0, 0);
    EXPECT_EQ(off_centre(picture(bar)), 0);
    write_setting("Sonrel\\Settings\\Preview\\Quality", "200");
    EXPECT_EQ(off_centre(picture(bar)), 0) << "read only on UM_READQUALITY";
    SendMessage(bar, UM_READQUALITY, 0, 0);
    EXPECT_GT(off_centre(picture(bar)), 100);
}

TEST_F(PreviewBar, MarkIsAnXorOutlineThatFollowsMarkChanges) {
    Bytes data(4000, 128);  // silence: the line runs along row 40 only
    HWND doc = make_doc(1, 8, data);
    wvtest::set_mark(doc, 1000, 2000);  // P = 10: columns 120 .. 320
    Picture p = picture(bar);
    EXPECT_EQ(p.at(120, 10), kYellow);
    EXPECT_EQ(p.at(319, 10), kYellow);
    EXPECT_EQ(p.at(200, 6), kYellow);
    EXPECT_EQ(p.at(200, kH - 15), kYellow);
    EXPECT_EQ(p.at(200, 10), kBlack);
    EXPECT_EQ(p.at(320, 10), kBlack);
    EXPECT_EQ(p.at(120, 40), kYellow ^ kBlue) << "XOR over the waveform";

    wvtest::set_mark(doc, 3000, 0);
    SendMessage(bar, UM_MARKCHANGED, 0, 0);
    p.px = wvtest::pixels(bar, &p.w, &p.h);
    EXPECT_EQ(p.at(120, 10), kBlack) << "the old outline is gone";
    EXPECT_EQ(p.at(200, 6), kBlack);
    EXPECT_EQ(p.at(320, 10), kYellow) << "an empty mark is one line";
    EXPECT_EQ(p.at(321, 10), kBlack);
}

TEST_F(PreviewBar, PaintWaitsForTheOperationThatHoldsTheDocument) {
    HWND doc = make_doc(1, 8, Bytes(4000, 128));
    picture(bar);
    std::atomic<bool> holding{false}, leave{false};
    std::thread op([&] {
        DocumentLock lock(doc);
        holding = true;
        while (!leave) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (!holding) std::this_thread::yield();
    wvtest::set_mark(doc, 1000, 2000);
    EXPECT_EQ(picture(bar).at(120, 10), kBlack) << "no drawing while the guard is held";
    leave = true;
    op.join();
    EXPECT_TRUE(serve_until([&] { return PlatformWindowPixel(bar, 120, 10) == 0x00FFFF; }))
        << "the bar paints again once the operation is done";
}

TEST_F(PreviewBar, DataNoWiderThanTheGraphShowsNoWaveformAndNoMark) {
    HWND doc = make_doc(1, 8, wvtest::wave8(400, 30));
    wvtest::set_mark(doc, 0, 200);
    Picture p = picture(bar);
    for (int y = 6; y < kH - 14; ++y)
        for (int x = 20; x < kW - 6; ++x) ASSERT_EQ(p.at(x, y), kBlack) << x << ", " << y;
}

TEST_F(PreviewBar, NewMarkIsTheSameWhicheverWayItIsDrawn) {
    HWND doc = make_doc(1, 8, wvtest::wave8(2803, 30));  // P = 7 bytes per pixel
    drag(121, 223);
    PositionBlock a = mark_of(doc);
    EXPECT_EQ(a.markStart, 704u);   // 707 rounded down to a multiple of 4
    EXPECT_EQ(a.markLength, 716u);  // 1421 - 704, rounded down
    EXPECT_EQ(a.mouseMark, 0u);
    ASSERT_FALSE(g_posBar.empty());
    EXPECT_EQ(g_posBar.back().first, UINT(UM_MARKUPDATE));

    wvtest::set_mark(doc, 0, 0);
    drag(223, 121);
    PositionBlock b = mark_of(doc);
    EXPECT_EQ(b.markStart, a.markStart);
    EXPECT_EQ(b.markLength, a.markLength);
    Picture p = picture(bar);
    EXPECT_EQ(p.at(704 / 7 + 20, 10), kYellow);
}

TEST_F(PreviewBar, ClicksAreHeldWithinTheData) {
    HWND doc = make_doc(1, 8, wvtest::wave8(2803, 30));
    drag(kW + 40, kW + 40);
    EXPECT_EQ(mark_of(doc).markStart, 2800u) << "the far right stands for the data size";
    EXPECT_EQ(mark_of(doc).markLength, 0u);
    drag(5, 60);
    EXPECT_EQ(mark_of(doc).markStart, 0u);
    EXPECT_EQ(mark_of(doc).markLength, 280u);
    drag(300, -30);
    EXPECT_EQ(mark_of(doc).markStart, 0u) << "left of the graph counts as its start";
    EXPECT_EQ(mark_of(doc).markLength, 1960u);
    drag(kW + 100, 310);
    EXPECT_EQ(mark_of(doc).markStart + mark_of(doc).markLength, 2800u);
    EXPECT_EQ(mark_of(doc).markLength % 4, 0u);
}

TEST_F(PreviewBar, EmptyOrLoadingDocumentsIgnoreTheMouse) {
    HWND empty = make_doc(1, 8, {});
    drag(100, 200);
    EXPECT_EQ(mark_of(empty).markLength, 0u);
    HWND doc = make_doc(1, 8, wvtest::wave8(2803, 30));
    SetFileWorking(doc);
    g_posBar.clear();
    drag(100, 200);
    SetFileNotWorking(doc);
    EXPECT_EQ(mark_of(doc).markStart, 2803u);
    EXPECT_EQ(mark_of(doc).markLength, 0u);
    EXPECT_TRUE(g_posBar.empty());
}

TEST_F(PreviewBar, MovingOutsideTheMarkShowsTheBytePositionOnThePositionBar) {
    HWND doc = make_doc(1, 8, wvtest::wave8(2803, 30));
    wvtest::set_mark(doc, 700, 700);  // columns 120 .. 220
    picture(bar);
    SendMessage(bar, WM_MOUSEMOVE, 0, MAKELPARAM(50, 40));
    SendMessage(bar, WM_MOUSEMOVE, 0, MAKELPARAM(150, 40));
    SendMessage(bar, WM_MOUSEMOVE, 0, MAKELPARAM(2, 40));
    SendMessage(bar, WM_MOUSEMOVE, 0, MAKELPARAM(kW - 2, 40));
    std::vector<LPARAM> shown;
    for (auto& [msg, lp] : g_posBar)
        if (msg == UM_MOUSEPOS) shown.push_back(lp);
    EXPECT_EQ(shown, (std::vector<LPARAM>{210, 0, 2800}));
}

TEST_F(PreviewBar, ResizingTellsTheFrameAndIsLimitedToATrackRange) {
    RECT rc = child_rect(bar);
    MoveWindow(bar, rc.left, rc.top, kW, 120, TRUE);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\PreviewSize", 0), 120);
    MINMAXINFO mmi{};
    SendMessage(bar, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    RECT fr{};
    GetWindowRect(s.frame, &fr);
    EXPECT_EQ(mmi.ptMinTrackSize.x, fr.right);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 50);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, fr.right);
    EXPECT_EQ(mmi.ptMaxTrackSize.y, (fr.bottom - fr.top) / 3);
    POINT top{100, 3}, inside{100, 30};
    ClientToScreen(bar, &top);
    ClientToScreen(bar, &inside);
    EXPECT_EQ(SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(top.x, top.y)), HTTOP);
    EXPECT_NE(SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTTOP);
}

TEST_F(PreviewBar, MenuAndCommandsGoToTheFrame) {
    make_doc(1, 8, wvtest::wave8(2803, 30));
    QuestionRecorder rec;
    UINT def = 0;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::string(q->kind) != "PopupMenu") return 0;
        def = GetMenuDefaultItem(static_cast<HMENU>(q->data), FALSE, 0);
        return 225;
    };
    auto commands = [] {
        std::vector<LPARAM> ids;
        for (auto& [msg, id] : g_posBar)
            if (msg == WM_COMMAND) ids.push_back(id);
        return ids;
    };
    SendMessage(bar, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar), 0);
    ASSERT_TRUE(serve_until([&] { return !commands().empty(); }))
        << "Mark All chosen from the menu reaches the frame, which hands it to the position bar";
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(def, 501u);
    for (const char* item : {"101\t", "104\t", "301\t", "306\t", "225\t", "221\t", "501\t", "503\t",
                             "502\t", "510\t", "742\t"})
        EXPECT_NE(rec.asked[0].text.find(item), std::string::npos) << item;
    SendMessage(bar, WM_COMMAND, 221, 0);
    SendMessage(bar, WM_COMMAND, 999, 0);
    PlatformProcessEvents();
    EXPECT_EQ(commands(), (std::vector<LPARAM>{225, 221}));
    EXPECT_TRUE(IsWindow(s.frame)) << "ids above 998 are not passed on";
}

TEST_F(PreviewBar, PlayingDocumentMovesTheMarkerAlongTheTrack) {
    std::vector<short> values(40000);
    for (size_t i = 0; i < values.size(); ++i) values[i] = short((i % 200) * 100);
    HWND doc = open_document(s.frame, write_wave("play.wav", values));
    ASSERT_TRUE(doc);
    Picture p = picture(bar);
    auto track_lit = [&] {
        p.px = wvtest::pixels(bar, &p.w, &p.h);
        for (int x = 20; x < kW - 6; ++x)
            if (p.at(x, kH - 8) != kBlack) return true;
        return false;
    };
    EXPECT_FALSE(track_lit());
    HWND status = g_shell.statusBar;
    RECT sr{};
    GetClientRect(status, &sr);
    auto animated = [&] {
        for (int y = 4; y < 18; ++y)
            for (int x = sr.right - 70; x < sr.right - 54; ++x)
                if (PlatformWindowPixel(status, x, y) == 0x00FF00) return true;
        return false;
    };
    ASSERT_FALSE(animated());
    SendMessage(s.frame, WM_COMMAND, IDM_PLAY, 0);
    EXPECT_TRUE(serve_until(track_lit)) << "the marker appears while the document plays";
    EXPECT_TRUE(serve_until(animated)) << "the playing animation runs on the status bar";
    SendMessage(s.frame, WM_COMMAND, IDM_STOP, 0);
    EXPECT_FALSE(g_previewBar.running) << "stopping suspends the position thread";
}

TEST_F(PreviewBar, DroppingTheMarkOnTheBarInsertsACopyAtThatPoint) {
    HWND doc = make_doc(1, 8, wvtest::wave8(4000, 30));
    wvtest::set_mark(doc, 1000, 400);  // columns 120 .. 160
    picture(bar);
    press(140);
    EXPECT_EQ(g_previewBar.dragging, 1);
    release(300);
    EXPECT_EQ(g_previewBar.dragging, 0);
    Bytes after = wave_bytes(doc);
    ASSERT_EQ(after.size(), 4400u);
    Bytes before = wvtest::wave8(4000, 30);
    EXPECT_TRUE(std::equal(before.begin() + 1000, before.begin() + 1400, after.begin() + 2800))
        << "the copy lands at P x (300 - 20) = 2800";

    picture(bar);  // P = 11 now: the mark spans columns 110 .. 147
    QuestionRecorder rec;
    press(130);
    release(120);
    EXPECT_EQ(wave_bytes(doc).size(), 4400u) << "a drop inside the mark inserts nothing";
}

namespace {

// Client point of another window in the bar's client coordinates.
POINT in_bar(HWND from, int x, int y, HWND bar) {
    POINT pt{x, y};
    MapWindowPoints(from, bar, &pt, 1);
    return pt;
}

std::vector<WPARAM> g_frameCommands;
WNDPROC g_frameProc = nullptr;
LRESULT CALLBACK frame_spy(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && LOWORD(wp) == 302) {
        g_frameCommands.push_back(wp);
        return 0;
    }
    return CallWindowProc(g_frameProc, w, msg, wp, lp);
}

}  // namespace

TEST_F(PreviewBar, DropOnTheDocumentWindowInsertsAtTheColumnUnderThePoint) {
    Bytes before = wvtest::wave8(4000, 30, 5);
    HWND other = make_doc(1, 8, wvtest::wave8(1000, 10));
    MoveWindow(other, 320, 0, 300, 200, TRUE);
    HWND doc = make_doc(1, 8, before);
    wvtest::set_mark(doc, 1000, 400);
    picture(bar);
    QuestionRecorder rec;
    press(140);
    POINT pt = in_bar(doc, 53, 20, bar);
    SendMessage(bar, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    Bytes after = wave_bytes(doc);
    ASSERT_EQ(after.size(), 4400u);
    EXPECT_TRUE(std::equal(before.begin() + 1000, before.begin() + 1400, after.begin() + 48))
        << "view start 0, zoom 1: column 53 is byte 50, rounded down to 48";

    wvtest::set_mark(doc, 1000, 400);  // columns 110 .. 147
    picture(bar);
    press(140);
    ASSERT_EQ(g_previewBar.dragging, 1);
    pt = in_bar(other, 50, 20, bar);
    SendMessage(bar, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(ActiveDocument(), other) << "another document is only activated";
    EXPECT_EQ(wave_bytes(other).size(), 1000u);
    EXPECT_EQ(wave_bytes(doc).size(), 4400u);
}

TEST_F(PreviewBar, DropOnTheSelectBarsClipboardFieldCopiesTheMark) {
    HWND doc = make_doc(1, 8, wvtest::wave8(4000, 30));
    wvtest::set_mark(doc, 1000, 400);
    picture(bar);
    g_frameCommands.clear();
    g_frameProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(s.frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(frame_spy)));
    RECT fc{};
    GetClientRect(s.frame, &fc);
    RECT sb = child_rect(g_shell.selectBar);
    for (int x : {int(fc.right) - 330, int(fc.right) - 270}) {
        press(140);
        POINT pt = in_bar(s.frame, x, sb.top + 12, bar);
        SendMessage(bar, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    }
    SetWindowLongPtr(s.frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_frameProc));
    EXPECT_EQ(g_frameCommands, (std::vector<WPARAM>{302})) << "only the clipboard field copies";
    EXPECT_EQ(wave_bytes(doc).size(), 4000u);
}

TEST_F(PreviewBar, CursorShowsWhatThePressOrTheDropWouldDo) {
    HWND doc = make_doc(1, 8, wvtest::wave8(4000, 30));
    wvtest::set_mark(doc, 1000, 400);  // columns 120 .. 160
    picture(bar);
    const HINSTANCE inst = g_shell.instance;
    auto cursor_at = [&](int x) {
        PlatformSimulateMouse(bar, WM_MOUSEMOVE, x, 40, 0);
        SendMessage(bar, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar), HTCLIENT);
        return GetCursor();
    };
    EXPECT_EQ(cursor_at(140), LoadCursor(inst, "DRAGFROMCURSOR"));
    EXPECT_EQ(cursor_at(60), LoadCursor(inst, "PREVIEWCURSOR"));
    EXPECT_EQ(cursor_at(120), LoadCursor(inst, "PREVIEWCURSOR")) << "the edge is outside";

    press(140);
    move(200);
    EXPECT_EQ(GetCursor(), LoadCursor(inst, "DRAGCURSOR"));
    PlatformSetKeyState(VK_CONTROL, TRUE);
    move(210);
    EXPECT_EQ(GetCursor(), LoadCursor(inst, "DRAGCURSORMIX"));
    PlatformSetKeyState(VK_CONTROL, FALSE);
    RECT fb = child_rect(g_shell.funcBar);
    POINT pt = in_bar(g_shell.funcBar, 10, (fb.bottom - fb.top) / 2, bar);
    SendMessage(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(GetCursor(), LoadCursor(inst, "NODROPCURSOR"));
    release(pt.x);
    EXPECT_EQ(g_previewBar.dragging, 0);

    press(300);
    SendMessage(bar, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar), HTCLIENT);
    EXPECT_EQ(GetCursor(), LoadCursor(inst, "PREVIEWMOVE"));
    release(300);
    ASSERT_NE(LoadCursor(inst, "NODROPCURSOR"), nullptr);
}
