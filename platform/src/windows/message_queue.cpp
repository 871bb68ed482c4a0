// Posted messages and the message loop. Every window belongs to the
// user-interface thread, so PostMessage queues there; other threads have a
// queue of their own only for PostThreadMessage. GetMessage runs Qt's events
// while its queue is empty; a posted message or a pending paint ends the wait.
// While the program's loop waits in GetMessage it delivers posted messages
// itself (so it can translate accelerators); inside any other Qt loop (modal
// boxes and dialogs) the wake event delivers them.
#include <QCoreApplication>
#include <condition_variable>
#include <deque>

#include "input/input_private.h"
#include "system/system_private.h"
#include "windows_private.h"

namespace plat {

namespace {

struct Queue {
    std::deque<MSG> messages;
    std::condition_variable cv;
    bool quit = false;
    int quit_code = 0;
};

std::mutex g_queue_mutex;
Queue g_ui_queue;
std::map<DWORD, Queue> g_thread_queues;
// The procedure depth at which each running GetMessage/PeekMessage waits.
std::vector<int> g_loop_depths;

Queue& queue_of_current_thread() {
    if (PlatformIsUiThread()) return g_ui_queue;
    return g_thread_queues[GetCurrentThreadId()];
}

bool is_ancestor_or_self(HWND ancestor, HWND hwnd) {
    std::lock_guard lock(table_mutex());
    for (Window* w = find_window(hwnd); w; w = find_window(w->parent)) {
        if (w->hwnd == ancestor) return true;
        if (w->kind == Kind::TopLevel) break;
    }
    return false;
}

bool matches(const MSG& m, HWND hwnd, UINT min, UINT max) {
    if (hwnd && !is_ancestor_or_self(hwnd, m.hwnd)) return false;
    if (min == 0 && max == 0) return true;
    return m.message >= min && m.message <= max;
}

// Takes the first queued message that matches; caller holds g_queue_mutex.
bool take_message(Queue& q, MSG* out, HWND hwnd, UINT min, UINT max, bool remove) {
    for (auto it = q.messages.begin(); it != q.messages.end(); ++it) {
        if (!matches(*it, hwnd, min, max)) continue;
        *out = *it;
        if (remove) q.messages.erase(it);
        return true;
    }
    return false;
}

MSG make_msg(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    MSG m{hwnd, msg, wp, lp, GetTickCount(), POINT{0, 0}};
    m.pt = cursor_pos();
    return m;
}

void push_ui(const MSG& m) {
    {
        std::lock_guard lock(g_queue_mutex);
        g_ui_queue.messages.push_back(m);
    }
    wake_ui();
}

bool loop_owns_queue() {
    return !g_loop_depths.empty() && g_loop_depths.back() == proc_depth();
}

// Runs Qt's events once while marking that this loop takes posted messages itself.
void process_qt_events(bool wait) {
    g_loop_depths.push_back(proc_depth());
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    g_loop_depths.pop_back();
}

bool ui_quit(MSG* msg) {
    std::lock_guard lock(g_queue_mutex);
    if (!g_ui_queue.quit) return false;
    g_ui_queue.quit = false;
    *msg = MSG{nullptr, WM_QUIT, WPARAM(g_ui_queue.quit_code), 0, GetTickCount(), POINT{0, 0}};
    return true;
}

bool paint_message(MSG* msg, HWND hwnd, UINT min, UINT max) {
    if (!(min == 0 && max == 0) && !(WM_PAINT >= min && WM_PAINT <= max)) return false;
    HWND p = next_window_to_paint();
    if (!p || (hwnd && !is_ancestor_or_self(hwnd, p))) return false;
    *msg = make_msg(p, WM_PAINT, 0, 0);
    return true;
}

BOOL get_message_other_thread(MSG* msg, HWND hwnd, UINT min, UINT max) {
    std::unique_lock lock(g_queue_mutex);
    Queue& q = queue_of_current_thread();
    for (;;) {
        if (take_message(q, msg, hwnd, min, max, true)) return TRUE;
        if (q.quit) {
            q.quit = false;
            *msg = MSG{nullptr, WM_QUIT, WPARAM(q.quit_code), 0, GetTickCount(), POINT{0, 0}};
            return FALSE;
        }
        q.cv.wait_for(lock, std::chrono::milliseconds(20));
        lock.unlock();
        checkpoint();
        lock.lock();
    }
}

}  // namespace

void deliver_posted() {
    size_t n;
    {
        std::lock_guard lock(g_queue_mutex);
        n = g_ui_queue.messages.size();
    }
    for (; n > 0; --n) {
        MSG m;
        {
            std::lock_guard lock(g_queue_mutex);
            if (g_ui_queue.messages.empty()) return;
            m = g_ui_queue.messages.front();
            g_ui_queue.messages.pop_front();
        }
        DispatchMessage(&m);
    }
}

void dispatch_step() {
    PlatformServeSentMessages();
    if (!loop_owns_queue()) {
        deliver_posted();
        paint_all();
    }
    flush_shown();
}

void forget_window_messages(HWND hwnd) {
    std::lock_guard lock(g_queue_mutex);
    auto& q = g_ui_queue.messages;
    for (auto it = q.begin(); it != q.end();) it = it->hwnd == hwnd ? q.erase(it) : it + 1;
}

void post_timer(HWND hwnd, UINT_PTR id, TIMERPROC fn) {
    {
        std::lock_guard lock(g_queue_mutex);
        for (const MSG& m : g_ui_queue.messages)
            if (m.hwnd == hwnd && m.message == WM_TIMER && m.wParam == id) return;
        g_ui_queue.messages.push_back(make_msg(hwnd, WM_TIMER, id, LPARAM(fn)));
    }
    wake_ui();
}

}  // namespace plat

using namespace plat;

extern "C" {

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!hwnd) return PostThreadMessage(GetCurrentThreadId(), msg, wp, lp);
    if (!IsWindow(hwnd)) return FALSE;
    push_ui(make_msg(hwnd, msg, wp, lp));
    return TRUE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wp, LPARAM lp) {
    if (threadId == ui_thread_id()) {
        push_ui(make_msg(nullptr, msg, wp, lp));
        return TRUE;
    }
    std::lock_guard lock(g_queue_mutex);
    Queue& q = g_thread_queues[threadId];
    q.messages.push_back(MSG{nullptr, msg, wp, lp, GetTickCount(), POINT{0, 0}});
    q.cv.notify_all();
    return TRUE;
}

void PostQuitMessage(int code) {
    {
        std::lock_guard lock(g_queue_mutex);
        Queue& q = queue_of_current_thread();
        q.quit = true;
        q.quit_code = code;
        q.cv.notify_all();
    }
    if (PlatformIsUiThread()) wake_ui();
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max) {
    if (!msg) return -1;
    if (!PlatformIsUiThread()) return get_message_other_thread(msg, hwnd, min, max);
    for (;;) {
        if (proc_depth() == 0) delete_pending_widgets();
        PlatformServeSentMessages();
        {
            std::lock_guard lock(g_queue_mutex);
            if (take_message(g_ui_queue, msg, hwnd, min, max, true)) return TRUE;
        }
        if (ui_quit(msg)) return FALSE;
        if (paint_message(msg, hwnd, min, max)) return TRUE;
        flush_shown();
        process_qt_events(true);
    }
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove) {
    if (!msg) return FALSE;
    if (!PlatformIsUiThread()) {
        std::lock_guard lock(g_queue_mutex);
        return take_message(queue_of_current_thread(), msg, hwnd, min, max, remove & PM_REMOVE);
    }
    process_qt_events(false);
    PlatformServeSentMessages();
    {
        std::lock_guard lock(g_queue_mutex);
        if (take_message(g_ui_queue, msg, hwnd, min, max, remove & PM_REMOVE)) return TRUE;
    }
    if (remove & PM_REMOVE) {
        if (ui_quit(msg)) return TRUE;
    } else {
        std::lock_guard lock(g_queue_mutex);
        if (g_ui_queue.quit) {
            *msg = MSG{nullptr, WM_QUIT, WPARAM(g_ui_queue.quit_code), 0, 0, POINT{0, 0}};
            return TRUE;
        }
    }
    return paint_message(msg, hwnd, min, max);
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    int vk = int(msg->wParam);
    bool shift = key_down(VK_SHIFT), ctrl = key_down(VK_CONTROL);
    int ch = 0;
    if (vk >= 'A' && vk <= 'Z')
        ch = ctrl ? vk - 'A' + 1 : (shift ? vk : vk + 32);
    else if (vk >= '0' && vk <= '9' && !ctrl)
        ch = vk;
    else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK || vk == VK_ESCAPE || vk == VK_TAB)
        ch = vk == VK_RETURN ? '\r' : vk;
    if (ch == 0 || msg->message == WM_SYSKEYDOWN) return TRUE;
    // The character comes before anything posted after the key.
    std::lock_guard lock(g_queue_mutex);
    MSG c = *msg;
    c.message = WM_CHAR;
    c.wParam = WPARAM(ch);
    g_ui_queue.messages.push_front(c);
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto fn = reinterpret_cast<TIMERPROC>(msg->lParam);
        if (msg->hwnd && !IsWindow(msg->hwnd)) return 0;
        fn(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    if (msg->message == WM_PAINT && PlatformIsUiThread()) {
        paint_window(msg->hwnd);
        return 0;
    }
    return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
}
