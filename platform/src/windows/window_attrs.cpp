// Attributes of windows (parent, id, title, class, the GetWindowLongPtr
// values and the extra window bytes) and the searches over the window tree.
// All of them read the record under the table lock, so any thread may call them.
#include <QMdiSubWindow>
#include <QWidget>
#include <cstring>

#include "windows_private.h"

namespace plat {

namespace {

int copy_text(const std::string& s, LPSTR buf, int size) {
    if (!buf || size <= 0) return 0;
    int n = std::min(int(s.size()), size - 1);
    std::memcpy(buf, s.data(), size_t(n));
    buf[n] = 0;
    return n;
}

bool extra_slot(Window* w, int index, size_t width) {
    return index >= 0 && size_t(index) + width <= w->extra.size();
}

LONG_PTR exchange(Window* w, int index, const LONG_PTR* set) {
    LONG_PTR old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(w->proc);
            if (set) w->proc = reinterpret_cast<WNDPROC>(*set);
            return old;
        case GWLP_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(w->inst);
            if (set) w->inst = reinterpret_cast<HINSTANCE>(*set);
            return old;
        case GWLP_HWNDPARENT:
            old = reinterpret_cast<LONG_PTR>(w->parent);
            if (set && w->kind == Kind::TopLevel) w->parent = reinterpret_cast<HWND>(*set);
            return old;
        case GWLP_USERDATA:
            old = w->user;
            if (set) w->user = *set;
            return old;
        case GWLP_ID:
            old = w->id;
            if (set) w->id = *set;
            return old;
        case GWL_STYLE:
            old = LONG_PTR(LONG(w->style));
            if (set) w->style = DWORD(*set);
            return old;
        case GWL_EXSTYLE:
            old = LONG_PTR(LONG(w->exstyle));
            if (set) w->exstyle = DWORD(*set);
            return old;
        default:
            if (!extra_slot(w, index, sizeof(LONG_PTR))) return 0;
            std::memcpy(&old, w->extra.data() + index, sizeof(LONG_PTR));
            if (set) std::memcpy(w->extra.data() + index, set, sizeof(LONG_PTR));
            return old;
    }
}

bool title_matches(const Window* w, LPCSTR title) {
    return !title || same_name(w->title, title);
}

bool class_matches(const Window* w, LPCSTR cls) {
    return !cls || (w->cls && same_name(w->cls->name, cls));
}

void descendants(HWND hwnd, std::vector<HWND>& out) {
    Window* w = find_window(hwnd);
    if (!w) return;
    for (HWND k : w->children) {
        out.push_back(k);
        descendants(k, out);
    }
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

HWND GetParent(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    if (w->kind == Kind::TopLevel && !(w->style & WS_POPUP)) return nullptr;
    return find_window(w->parent) ? w->parent : nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w && w->kind != Kind::TopLevel ? int(w->id) : 0;
}

HWND GetDlgItem(HWND parent, int id) {
    std::lock_guard lock(table_mutex());
    Window* p = find_window(parent);
    if (!p) return nullptr;
    for (HWND k : p->children)
        if (Window* c = find_window(k); c && int(c->id) == id) return k;
    return nullptr;
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w ? exchange(w, index, nullptr) : 0;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w ? exchange(w, index, &value) : 0;
}

LONG GetWindowLong(HWND hwnd, int index) {
    if (index < 0) return LONG(GetWindowLongPtr(hwnd, index));
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    LONG v = 0;
    if (w && extra_slot(w, index, sizeof(LONG))) std::memcpy(&v, w->extra.data() + index, 4);
    return v;
}

LONG SetWindowLong(HWND hwnd, int index, LONG value) {
    if (index < 0) return LONG(SetWindowLongPtr(hwnd, index, value));
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    LONG old = 0;
    if (!w || !extra_slot(w, index, sizeof(LONG))) return 0;
    std::memcpy(&old, w->extra.data() + index, 4);
    std::memcpy(w->extra.data() + index, &value, 4);
    return old;
}

BOOL SetWindowText(HWND hwnd, LPCSTR text) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(SendMessage(hwnd, WM_SETTEXT, 0, LPARAM(text ? text : "")));
}

int GetWindowText(HWND hwnd, LPSTR buf, int size) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) {
        if (buf && size > 0) buf[0] = 0;
        return 0;
    }
    return copy_text(w->title, buf, size);
}

int GetWindowTextLength(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w ? int(w->title.size()) : 0;
}

int GetClassName(HWND hwnd, LPSTR buf, int size) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return 0;
    return copy_text(w->kind == Kind::Desktop ? "#32769" : (w->cls ? w->cls->name : ""), buf, size);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC fn, LPARAM lp) {
    if (!fn) return FALSE;
    std::vector<HWND> all;
    {
        std::lock_guard lock(table_mutex());
        if (parent) {
            descendants(parent, all);
        } else {
            for (Window* w : live_windows())
                if (w->kind == Kind::TopLevel) all.push_back(w->hwnd);
        }
    }
    for (HWND h : all) {
        if (!IsWindow(h)) continue;
        if (!fn(h, lp)) break;
    }
    return TRUE;
}

HWND FindWindow(LPCSTR className, LPCSTR title) {
    return FindWindowEx(nullptr, nullptr, className, title);
}

HWND FindWindowEx(HWND parent, HWND after, LPCSTR className, LPCSTR title) {
    std::lock_guard lock(table_mutex());
    std::vector<HWND> candidates;
    if (parent) {
        Window* p = find_window(parent);
        if (!p) return nullptr;
        candidates = p->children;
    } else {
        for (Window* w : live_windows())
            if (w->kind == Kind::TopLevel) candidates.push_back(w->hwnd);
    }
    bool passed = after == nullptr;
    for (HWND h : candidates) {
        if (!passed) {
            passed = h == after;
            continue;
        }
        Window* w = find_window(h);
        if (w && !w->destroying && class_matches(w, className) && title_matches(w, title)) return h;
    }
    return nullptr;
}
}

namespace plat {

// WM_SETTEXT's default handling: the stored title and the Qt caption.
void set_title(HWND hwnd, LPCSTR text) {
    QWidget* caption = nullptr;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w) return;
        w->title = text ? text : "";
        if (w->kind == Kind::TopLevel) caption = w->frame;
        if (w->kind == Kind::MdiChild) caption = w->sub;
    }
    if (caption && PlatformIsUiThread())
        caption->setWindowTitle(QString::fromUtf8(text ? text : ""));
}

}  // namespace plat
