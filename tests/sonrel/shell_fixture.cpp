#include "shell_fixture.h"

#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/settings.h>

#include <cstring>

#include "operations.h"
#include "register.h"
#include "startup.h"
#include "test_support.h"

namespace shelltest {

namespace {

void register_once() {
    static bool done = false;
    if (done) return;
    done = true;
    g_shell.instance = GetModuleHandle(nullptr);
    RegisterProgramResources(g_shell.instance);
    RegisterShellClasses(g_shell.instance);
}

void reset_state() {
    HINSTANCE inst = g_shell.instance;
    g_shell = ShellState{};
    g_shell.instance = inst;
    g_operations = OperationState{};
}

void take_quit() {
    MSG m;
    for (int i = 0; i < 100 && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE); ++i)
        if (m.message == WM_QUIT) return;
}

}  // namespace

void clear_settings() {
    DeleteFile((PlatformFolder(PlatformConfigPath) + "/Sonrel.ini").c_str());
}

void write_setting(const char* path, const char* value) {
    RegWriteString(path, value);
}

Shell::Shell(const Settings& settings) {
    register_once();
    reset_state();
    clear_settings();
    // Quiet by default: no completion sound.
    write_setting(SET_BOOLEAN_PLAYTHREADCOMPLETE.path, "0");
    for (const auto& [path, value] : settings) write_setting(path, value);
    frame = CreateFrame();
}

Shell::~Shell() {
    if (frame && IsWindow(frame)) {
        testing_support::QuestionRecorder discard;
        discard.default_answer = IDNO;
        DestroyWindow(frame);
    }
    for (auto& e : g_operations.table)
        if (e.thread) {
            WaitForSingleObject(e.thread, INFINITE);
            CloseHandle(e.thread);
        }
    take_quit();
    reset_state();
}

std::vector<COLORREF> hint_pixels() {
    RECT rc{};
    GetClientRect(g_shell.statusBar, &rc);
    std::vector<COLORREF> px;
    for (int y = 2; y < rc.bottom - 1; ++y)
        for (int x = 2; x < 300 && x < rc.right - 76; ++x)
            px.push_back(PlatformWindowPixel(g_shell.statusBar, x, y));
    return px;
}

RECT child_rect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string write_wave(const std::string& name, const std::vector<short>& values) {
    std::vector<unsigned char> b(44 + values.size() * 2);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
    };
    auto put16 = [&](size_t at, uint16_t v) {
        b[at] = uint8_t(v);
        b[at + 1] = uint8_t(v >> 8);
    };
    uint32_t data = uint32_t(values.size() * 2);
    std::memcpy(&b[0], "RIFF", 4);
    put32(4, 36 + data);
    std::memcpy(&b[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, 8000);
    put32(28, 16000);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(&b[36], "data", 4);
    put32(40, data);
    for (size_t i = 0; i < values.size(); ++i) put16(44 + 2 * i, uint16_t(values[i]));
    std::string path = testing_support::fresh_dir("wave") + "/" + name;
    testing_support::write_file(path, b);
    return path;
}

std::vector<unsigned char> wave_bytes(HWND doc) {
    auto* h = static_cast<HeaderBlock*>(GlobalLock(GetProp(doc, PROP_HEADER)));
    auto* w = static_cast<unsigned char*>(GlobalLock(GetProp(doc, PROP_WAVE)));
    std::vector<unsigned char> bytes;
    if (h && w) bytes.assign(w, w + h->dataSize);
    if (h) GlobalUnlock(GetProp(doc, PROP_HEADER));
    if (w) GlobalUnlock(GetProp(doc, PROP_WAVE));
    return bytes;
}

HWND open_document(HWND frame, const std::string& path) {
    command(frame, IDM_OPENPATH, reinterpret_cast<LPARAM>(path.c_str()));
    return ActiveDocument();
}

namespace {

CommandSpy* g_spy = nullptr;
WNDPROC g_spiedProc = nullptr;

LRESULT CALLBACK spying_frame(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && g_spy) {
        g_spy->commands.push_back(LOWORD(wp));
        return 0;
    }
    return CallWindowProc(g_spiedProc, hwnd, msg, wp, lp);
}

}  // namespace

CommandSpy::CommandSpy(HWND frame) : frame_(frame) {
    g_spy = this;
    old_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(spying_frame)));
    g_spiedProc = old_;
}

CommandSpy::~CommandSpy() {
    SetWindowLongPtr(frame_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_));
    g_spy = nullptr;
}

int live_operations() {
    int n = 0;
    for (const auto& e : g_operations.table) n += IsOperationLive(e) ? 1 : 0;
    return n;
}

bool operations_done() {
    return live_operations() == 0 && g_operations.running == 0;
}

}  // namespace shelltest
