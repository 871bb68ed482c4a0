// Input state: mouse capture, keyboard focus, key states, the cursor position,
// and timers that post WM_TIMER.
#include <QCursor>
#include <QTimer>
#include <QWidget>
#include <atomic>

#include "input_private.h"
#include "windows/windows_private.h"

namespace plat {

namespace {

HWND g_capture = nullptr;
HWND g_focus = nullptr;
std::atomic<uint8_t> g_keys[256];  // bit 0: down, bit 1: toggled
std::atomic<bool> g_cursor_simulated{false};
std::atomic<int> g_cursor_x{0}, g_cursor_y{0};

std::map<UINT_PTR, TimerState> g_thread_timers;
UINT_PTR g_next_thread_timer = 1;

constexpr uint8_t kDown = 1, kToggled = 2;

TimerState* timer_slot(HWND hwnd, UINT_PTR id, bool create) {
    if (!hwnd) {
        auto it = g_thread_timers.find(id);
        if (it != g_thread_timers.end()) return &it->second;
        return create ? &g_thread_timers[id] : nullptr;
    }
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    auto it = w->timers.find(id);
    if (it != w->timers.end()) return &it->second;
    return create ? &w->timers[id] : nullptr;
}

void fire_timer(HWND hwnd, UINT_PTR id) {
    TIMERPROC fn;
    {
        std::lock_guard lock(table_mutex());
        if (hwnd && !find_window(hwnd)) return;
        TimerState* t = timer_slot(hwnd, id, false);
        if (!t) return;
        fn = t->fn;
    }
    post_timer(hwnd, id, fn);
}

UINT_PTR set_timer_ui(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC fn) {
    QTimer* timer;
    {
        std::lock_guard lock(table_mutex());
        if (hwnd && !find_window(hwnd)) return 0;
        if (!hwnd) id = g_next_thread_timer++;
        TimerState* t = timer_slot(hwnd, id, true);
        t->fn = fn;
        if (!t->timer) {
            t->timer = new QTimer(layer_object());
            QObject::connect(t->timer, &QTimer::timeout, [hwnd, id] { fire_timer(hwnd, id); });
        }
        timer = t->timer;
    }
    timer->start(int(std::max(ms, 10u)));
    return id;
}

BOOL kill_timer_ui(HWND hwnd, UINT_PTR id) {
    QTimer* timer;
    {
        std::lock_guard lock(table_mutex());
        TimerState* t = timer_slot(hwnd, id, false);
        if (!t) return FALSE;
        timer = t->timer;
        if (hwnd)
            find_window(hwnd)->timers.erase(id);
        else
            g_thread_timers.erase(id);
    }
    if (timer) {
        timer->stop();
        timer->deleteLater();
    }
    return TRUE;
}

}  // namespace

HWND capture_window() {
    std::lock_guard lock(table_mutex());
    return find_window(g_capture) ? g_capture : nullptr;
}

void set_focus_window(HWND hwnd) {
    HWND old;
    {
        std::lock_guard lock(table_mutex());
        old = find_window(g_focus) ? g_focus : nullptr;
        if (old == hwnd) return;
        g_focus = hwnd;
    }
    if (old) SendMessage(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
    if (hwnd) SendMessage(hwnd, WM_SETFOCUS, WPARAM(old), 0);
}

void forget_input_of(HWND hwnd) {
    HWND lost_capture = nullptr;
    {
        std::lock_guard lock(table_mutex());
        if (g_focus == hwnd) g_focus = nullptr;
        if (g_capture == hwnd) {
            g_capture = nullptr;
            lost_capture = hwnd;
        }
    }
    if (lost_capture) SendMessage(lost_capture, WM_CAPTURECHANGED, 0, 0);
}

void note_key(int vk, bool down) {
    if (vk < 0 || vk > 255) return;
    uint8_t old = g_keys[vk].load();
    uint8_t next = down ? uint8_t(old | kDown) : uint8_t(old & ~kDown);
    if (down && !(old & kDown)) next ^= kToggled;
    g_keys[vk] = next;
}

bool key_down(int vk) {
    if (vk < 0 || vk > 255) return false;
    return g_keys[vk].load() & kDown;
}

void note_input_state(bool ctrl, bool shift, bool alt, bool left, bool right) {
    const std::pair<int, bool> keys[] = {{VK_CONTROL, ctrl},
                                         {VK_SHIFT, shift},
                                         {VK_MENU, alt},
                                         {VK_LBUTTON, left},
                                         {VK_RBUTTON, right}};
    for (auto [vk, down] : keys)
        if (bool(g_keys[vk].load() & kDown) != down) note_key(vk, down);
}

void note_cursor(int x, int y, bool simulated) {
    g_cursor_x = x;
    g_cursor_y = y;
    if (simulated) g_cursor_simulated = true;
}

POINT cursor_pos() {
    if (g_cursor_simulated || !PlatformIsUiThread()) return POINT{g_cursor_x, g_cursor_y};
    QPoint p = QCursor::pos();
    return POINT{p.x(), p.y()};
}

void kill_all_timers(HWND hwnd) {
    std::vector<UINT_PTR> ids;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w) return;
        for (auto& [id, t] : w->timers) ids.push_back(id);
    }
    for (UINT_PTR id : ids) kill_timer_ui(hwnd, id);
}

}  // namespace plat

using namespace plat;

extern "C" {

HWND SetCapture(HWND hwnd) {
    HWND old;
    {
        std::lock_guard lock(table_mutex());
        if (!find_window(hwnd)) return nullptr;
        old = find_window(g_capture) ? g_capture : nullptr;
        g_capture = hwnd;
    }
    if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(hwnd));
    return old;
}

BOOL ReleaseCapture(void) {
    HWND old;
    {
        std::lock_guard lock(table_mutex());
        old = find_window(g_capture) ? g_capture : nullptr;
        g_capture = nullptr;
    }
    if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture(void) {
    return capture_window();
}

HWND SetFocus(HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) return nullptr;
    return reinterpret_cast<HWND>(run_on_ui([hwnd] {
        HWND old = GetFocus();
        set_focus_window(hwnd);
        if (QWidget* c = client_widget_of(hwnd)) c->setFocus(Qt::OtherFocusReason);
        return reinterpret_cast<LRESULT>(old);
    }));
}

HWND GetFocus(void) {
    std::lock_guard lock(table_mutex());
    return find_window(g_focus) ? g_focus : nullptr;
}

SHORT GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    uint8_t k = g_keys[vk].load();
    return SHORT(((k & kDown) ? 0xFF80 : 0) | ((k & kToggled) ? 1 : 0));
}

SHORT GetAsyncKeyState(int vk) {
    return key_down(vk) ? SHORT(0x8000) : 0;
}

BOOL GetCursorPos(POINT* pt) {
    if (!pt) return FALSE;
    *pt = cursor_pos();
    return TRUE;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC fn) {
    if (hwnd && !IsWindow(hwnd)) return 0;
    return UINT_PTR(run_on_ui([=] { return LRESULT(set_timer_ui(hwnd, id, elapseMs, fn)); }));
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    return BOOL(run_on_ui([=] { return LRESULT(kill_timer_ui(hwnd, id)); }));
}
}
