// The handle table, window classes and window properties.
// A handle is (generation << 20) | (slot + 1): a slot that is reused gets a new
// generation, so an old handle never reaches the new window.
#include <QWidget>
#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "windows_private.h"

namespace plat {

namespace {

constexpr uintptr_t kSlotBits = 20;
constexpr uintptr_t kSlotMask = (uintptr_t(1) << kSlotBits) - 1;

std::vector<std::unique_ptr<Window>>& slot_table() {
    static std::vector<std::unique_ptr<Window>> s;
    return s;
}
std::vector<size_t>& free_slots() {
    static std::vector<size_t> f;
    return f;
}
std::vector<std::shared_ptr<WindowClass>>& classes() {
    static std::vector<std::shared_ptr<WindowClass>> c;
    return c;
}
std::unordered_map<const QWidget*, HWND>& widget_map() {
    static std::unordered_map<const QWidget*, HWND> m;
    return m;
}

std::string lower(const char* s) {
    std::string out;
    for (; s && *s; ++s) out += char(std::tolower(static_cast<unsigned char>(*s)));
    return out;
}

// Property names are case-insensitive; integer atoms get a name of their own.
std::string prop_key(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(uintptr_t(name));
    return lower(name);
}

}  // namespace

std::recursive_mutex& table_mutex() {
    static std::recursive_mutex m;
    return m;
}

Window* find_window(HWND hwnd) {
    auto v = reinterpret_cast<uintptr_t>(hwnd);
    uintptr_t index = v & kSlotMask;
    if (index == 0 || index > slot_table().size()) return nullptr;
    Window* w = slot_table()[index - 1].get();
    if (!w->alive || w->hwnd != hwnd) return nullptr;
    return w;
}

Window* allocate_window() {
    size_t index;
    if (!free_slots().empty()) {
        index = free_slots().back();
        free_slots().pop_back();
    } else {
        if (slot_table().size() >= kSlotMask) return nullptr;
        slot_table().push_back(std::make_unique<Window>());
        slot_table().back()->image = QImage(1, 1, QImage::Format_RGB32);
        slot_table().back()->image.fill(0);
        index = slot_table().size() - 1;
    }
    Window* w = slot_table()[index].get();
    uint32_t gen = w->generation + 1;
    {
        // Every field but the image, which release_window's caller left at
        // 1x1 and which a drawer holding the old handle's image may still lock.
        w->cls.reset();
        w->proc = nullptr;
        w->user = 0;
        w->inst = nullptr;
        w->id = 0;
        w->style = w->exstyle = 0;
        w->parent = nullptr;
        w->children.clear();
        w->title.clear();
        w->props.clear();
        w->extra.clear();
        w->kind = Kind::TopLevel;
        w->frame = w->body = w->client = nullptr;
        w->view = nullptr;
        w->sub = nullptr;
        w->area = nullptr;
        w->client_w = w->client_h = 0;
        w->sent_w = w->sent_h = w->sent_kind = -1;
        w->sent_x = w->sent_y = INT32_MIN;
        w->normal = RECT{0, 0, 0, 0};
        w->has_normal = false;
        w->invalid = RECT{0, 0, 0, 0};
        w->has_invalid = w->erase = false;
        w->shown_dirty = RECT{0, 0, 0, 0};
        w->has_shown_dirty = false;
        w->hscroll = ScrollState{};
        w->vscroll = ScrollState{};
        w->timers.clear();
        w->mdi = MdiState{};
        w->min_track = POINT{0, 0};
        w->created = w->destroying = false;
    }
    static uint64_t serial = 0;
    w->serial = ++serial;
    w->generation = gen;
    w->hwnd = reinterpret_cast<HWND>((uintptr_t(gen) << kSlotBits) | (index + 1));
    w->alive = true;
    return w;
}

void release_window(Window* w) {
    uintptr_t index = reinterpret_cast<uintptr_t>(w->hwnd) & kSlotMask;
    w->alive = false;
    w->props.clear();
    w->children.clear();
    free_slots().push_back(index - 1);
}

std::vector<Window*> live_windows() {
    std::vector<Window*> out;
    for (auto& s : slot_table())
        if (s->alive) out.push_back(s.get());
    std::sort(out.begin(), out.end(), [](Window* a, Window* b) { return a->serial < b->serial; });
    return out;
}

bool same_name(const std::string& a, const char* b) {
    if (!b) return false;
    size_t n = std::char_traits<char>::length(b);
    if (n != a.size()) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::shared_ptr<WindowClass> find_class(const char* name) {
    if (!name || IS_INTRESOURCE(name)) return nullptr;
    std::lock_guard lock(table_mutex());
    for (auto& c : classes())
        if (same_name(c->name, name)) return c;
    return nullptr;
}

void map_widget(QWidget* widget, HWND hwnd) {
    std::lock_guard lock(table_mutex());
    widget_map()[widget] = hwnd;
}

void unmap_widget(QWidget* widget) {
    std::lock_guard lock(table_mutex());
    widget_map().erase(widget);
}

QWidget* widget_of(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w ? w->client.data() : nullptr;
}

HWND hwnd_of(const QWidget* widget) {
    std::lock_guard lock(table_mutex());
    auto it = widget_map().find(widget);
    if (it == widget_map().end() || !find_window(it->second)) return nullptr;
    return it->second;
}

HBRUSH class_background(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w && w->cls ? w->cls->background : nullptr;
}

HCURSOR class_cursor(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w && w->cls ? w->cls->cursor : nullptr;
}

}  // namespace plat

using namespace plat;

extern "C" {

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
    if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !wc->lpfnWndProc)
        return 0;
    std::lock_guard lock(table_mutex());
    if (find_class(wc->lpszClassName)) return 0;
    auto c = std::make_shared<WindowClass>();
    c->name = wc->lpszClassName;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->wnd_extra = wc->cbWndExtra > 0 ? wc->cbWndExtra : 0;
    c->inst = wc->hInstance;
    c->icon = wc->hIcon;
    c->cursor = wc->hCursor;
    c->background = wc->hbrBackground;
    if (wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName)) c->menu_name = wc->lpszMenuName;
    classes().push_back(c);
    return ATOM(0xC000 + classes().size());
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE inst) {
    std::lock_guard lock(table_mutex());
    auto& all = classes();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (!same_name((*it)->name, className)) continue;
        // Windows of the class keep their copy of it.
        for (Window* w : live_windows())
            if (w->cls == *it) return FALSE;
        all.erase(it);
        return TRUE;
    }
    return FALSE;
}

BOOL GetClassInfoEx(HINSTANCE inst, LPCSTR className, WNDCLASSEX* out) {
    auto c = find_class(className);
    if (!c || !out) return FALSE;
    *out = WNDCLASSEX{};
    out->cbSize = sizeof(WNDCLASSEX);
    out->style = c->style;
    out->lpfnWndProc = c->proc;
    out->cbWndExtra = c->wnd_extra;
    out->hInstance = c->inst;
    out->hIcon = c->icon;
    out->hCursor = c->cursor;
    out->hbrBackground = c->background;
    out->lpszClassName = c->name.c_str();
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    return find_window(hwnd) != nullptr;
}

BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE value) {
    if (!name) return FALSE;
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return FALSE;
    w->props[prop_key(name)] = value;
    return TRUE;
}

HANDLE GetProp(HWND hwnd, LPCSTR name) {
    if (!name) return nullptr;
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    auto it = w->props.find(prop_key(name));
    return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemoveProp(HWND hwnd, LPCSTR name) {
    if (!name) return nullptr;
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    auto it = w->props.find(prop_key(name));
    if (it == w->props.end()) return nullptr;
    HANDLE h = it->second;
    w->props.erase(it);
    return h;
}
}
