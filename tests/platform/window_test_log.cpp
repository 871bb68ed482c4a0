#include "window_test_log.h"

#include <algorithm>
#include <set>

namespace wtest {

std::vector<Entry>& log() {
    static std::vector<Entry> entries;
    return entries;
}

std::vector<Entry> of(UINT msg, HWND hwnd) {
    std::vector<Entry> out;
    for (const Entry& e : log())
        if (e.msg == msg && (!hwnd || e.hwnd == hwnd)) out.push_back(e);
    return out;
}

std::vector<UINT> sequence(HWND hwnd, const std::vector<UINT>& wanted) {
    std::vector<UINT> out;
    for (const Entry& e : log())
        if (e.hwnd == hwnd && std::find(wanted.begin(), wanted.end(), e.msg) != wanted.end())
            out.push_back(e.msg);
    return out;
}

LRESULT CALLBACK record_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    log().push_back(Entry{hwnd, msg, wp, lp});
    return DefWindowProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK record_mdi_child_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    log().push_back(Entry{hwnd, msg, wp, lp});
    return DefMDIChildProc(hwnd, msg, wp, lp);
}

std::string register_class(const std::string& name, WNDPROC proc, UINT style, HBRUSH background) {
    static std::set<std::string> done;
    if (done.insert(name).second) {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof(wc);
        wc.style = style;
        wc.lpfnWndProc = proc;
        wc.hbrBackground = background;
        wc.lpszClassName = name.c_str();
        RegisterClassEx(&wc);
    }
    return name;
}

HWND top_window(int w, int h) {
    static std::string cls = register_class("WTestTop", record_proc);
    return CreateWindowEx(0, cls.c_str(), "Top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, w, h,
                          nullptr, nullptr, nullptr, nullptr);
}

HWND child_window(HWND parent, int x, int y, int w, int h, int id, DWORD extra) {
    static std::string cls = register_class("WTestChild", record_proc);
    return CreateWindowEx(0, cls.c_str(), "", WS_CHILD | WS_VISIBLE | extra, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
}

}  // namespace wtest
