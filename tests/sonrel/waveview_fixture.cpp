#include "waveview_fixture.h"

#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <cstring>

#include "waveview.h"

namespace wvtest {

namespace {

ViewFrame* g_frame = nullptr;

LRESULT bar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_frame && msg >= WM_USER) g_frame->sent.push_back(Sent{hwnd, msg, wp, lp});
    return DefWindowProc(hwnd, msg, wp, lp);
}

bool answer(ViewFrame& f, UINT msg, WPARAM wp, LRESULT* result) {
    HWND w = nullptr;
    HMENU m = nullptr;
    switch (msg) {
        case UM_GETPOSBAR:
            w = f.posBar;
            break;
        case UM_GETSELECTBAR:
            w = f.selectBar;
            break;
        case UM_GETSTATUSBAR:
            w = f.statusBar;
            break;
        case UM_GETPREVIEW:
            w = f.preview;
            break;
        case UM_GETPLAYINGDOC:
            w = f.playing;
            break;
        case UM_GETMDICLIENT:
            w = f.client;
            break;
        case UM_GETWINDOWPOPUP:
            m = f.windowPopup;
            break;
        case UM_GETSTARTMENU:
            m = f.startMenu;
            break;
        case WM_COMMAND:
            f.commands.push_back(wp);
            break;
        default:
            return false;
    }
    *result = m ? reinterpret_cast<LRESULT>(m) : reinterpret_cast<LRESULT>(w);
    return true;
}

void register_bar_class() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandle(nullptr);
    wc.lpfnWndProc = bar_proc;
    wc.lpszClassName = "WaveViewTestBar";
    RegisterClassEx(&wc);
}

HWND bar(HWND parent) {
    return CreateWindowEx(0, "WaveViewTestBar", "", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                          GetModuleHandle(nullptr), nullptr);
}

template <typename T, typename F>
void change_block(HWND doc, const char* name, F change) {
    HGLOBAL h = GetProp(doc, name);
    ASSERT_NE(h, nullptr) << name;
    auto* p = static_cast<T*>(GlobalLock(h));
    change(*p);
    GlobalUnlock(h);
}

}  // namespace

ViewFrame::ViewFrame() : fixtures::MdiFrame(1400, 1000) {
    register_bar_class();
    EXPECT_EQ(fixtures::register_document_class(WaveWindowProc), &WaveWindowProc)
        << "documents must run the wave view";
    g_frame = this;
    answer = [this](UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
        return wvtest::answer(*this, msg, wp, result);
    };
    posBar = bar(frame);
    selectBar = bar(frame);
    statusBar = bar(frame);
    preview = bar(frame);
    startMenu = CreateMenu();
    windowPopup = CreatePopupMenu();
}

// The documents go while the frame still answers, and before the menus.
ViewFrame::~ViewFrame() {
    DestroyWindow(frame);
    DestroyMenu(startMenu);
    DestroyMenu(windowPopup);
    g_frame = nullptr;
}

std::vector<Sent> ViewFrame::to(HWND barWindow, UINT msg) const {
    std::vector<Sent> out;
    for (const Sent& s : sent)
        if (s.to == barWindow && s.msg == msg) out.push_back(s);
    return out;
}

HWND make_view(ViewFrame& f, const Format& fmt, const Bytes& data, int w, int h, DWORD zoom,
               LONG viewStart) {
    HWND doc = CreateMDIWindow("Child Window", "/tmp/view.wav", WS_HSCROLL, 0, 0, w + 8, h + 45,
                               f.client, GetModuleHandle(nullptr), 0);
    ShowWindow(doc, SW_SHOW);
    RECT rc{};
    GetClientRect(doc, &rc);
    RECT wr{};
    GetWindowRect(doc, &wr);
    MoveWindow(doc, 0, 0, (wr.right - wr.left) + w - rc.right, (wr.bottom - wr.top) + h - rc.bottom,
               TRUE);
    HeaderBlock hd =
        fixtures::pcm_header(fmt.channels, 8000, fmt.bits, static_cast<DWORD>(data.size()));
    if (data.empty()) hd.fileLength = 0;
    SetProp(doc, PROP_HEADER, fixtures::block_with(&hd, sizeof hd));
    if (!data.empty()) SetProp(doc, PROP_WAVE, fixtures::block_with(data.data(), data.size()));
    PositionBlock pos{};
    pos.zoom = zoom;
    pos.viewStart = viewStart;
    pos.markStart = hd.dataSize;  // no mark-start line in view unless a test sets one
    SetProp(doc, PROP_POSITION, fixtures::block_with(&pos, sizeof pos));
    InfoBlock info{};
    std::strncpy(info.path, "/tmp/view.wav", sizeof info.path - 1);
    info.saved = 1;
    info.sourceFormat = SOURCE_PCM_WAVE;
    SetProp(doc, PROP_INFO, fixtures::block_with(&info, sizeof info));
    SetProp(doc, PROP_UNDO, fixtures::block_with(nullptr, sizeof(UndoBlock)));
    SetProp(doc, PROP_FILEINFO, fixtures::block_with(nullptr, sizeof(FileInfoBlock)));
    SetWindowLongPtr(doc, GWLP_USERDATA, DOCUMENT_USERDATA);
    GetClientRect(doc, &rc);
    EXPECT_EQ(rc.right, w);
    EXPECT_EQ(rc.bottom, h);
    f.sent.clear();
    return doc;
}

PositionBlock position_of(HWND doc) {
    PositionBlock out{};
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    if (void* p = h ? GlobalLock(h) : nullptr) {
        std::memcpy(&out, p, sizeof out);
        GlobalUnlock(h);
    }
    return out;
}

void set_position(HWND doc, const PositionBlock& p) {
    change_block<PositionBlock>(doc, PROP_POSITION, [&](PositionBlock& b) { b = p; });
}

void set_working(HWND doc, DWORD working) {
    change_block<InfoBlock>(doc, PROP_INFO, [&](InfoBlock& b) { b.working = working; });
}

void paint(HWND doc) {
    InvalidateRect(doc, nullptr, FALSE);
    UpdateWindow(doc);
}

std::vector<uint32_t> pixels(HWND doc, int* w, int* h) {
    RECT rc{};
    GetClientRect(doc, &rc);
    std::vector<uint32_t> out(size_t(rc.right) * rc.bottom + 1);
    int pw = 0, ph = 0;
    EXPECT_TRUE(PlatformReadWindowPixels(doc, reinterpret_cast<DWORD*>(out.data()),
                                         static_cast<int>(out.size()), &pw, &ph));
    out.resize(size_t(pw) * ph);
    if (w) *w = pw;
    if (h) *h = ph;
    return out;
}

uint32_t rgb(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

namespace {
int triangle(size_t i, int amp, unsigned seed) {
    const int period = 4 * amp + 4;
    int k = static_cast<int>((i * 7 + seed * 13) % period);
    int v = k < period / 2 ? k : period - k;  // 0 .. period / 2
    return v - period / 4;
}
}  // namespace

Bytes wave8(size_t n, int amp, unsigned seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(128 + triangle(i, amp, seed));
    return b;
}

Bytes wave16(size_t values, int amp, unsigned seed) {
    Bytes b(values * 2);
    for (size_t i = 0; i < values; ++i) {
        auto v = static_cast<uint16_t>(static_cast<int16_t>(triangle(i, amp, seed) * 256));
        b[2 * i] = static_cast<unsigned char>(v & 0xFF);
        b[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
    return b;
}

void press(HWND doc, int x) {
    SendMessage(doc, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 20));
}
void move(HWND doc, int x) {
    SendMessage(doc, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 20));
}
void release(HWND doc, int x) {
    SendMessage(doc, WM_LBUTTONUP, 0, MAKELPARAM(x, 20));
}

}  // namespace wvtest
