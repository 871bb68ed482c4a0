// Creating and destroying windows. Both run on the user-interface thread;
// other threads hand the call over. Creation builds the Qt widgets, sends
// WM_CREATE, then WM_SIZE and WM_MOVE, and shows the window when WS_VISIBLE is
// set. Destruction sends WM_DESTROY to the children first, then the window.
#include <QCursor>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>
#include <algorithm>

#include "input/input_private.h"
#include "menus/menus_private.h"
#include "resources/resources_private.h"
#include "windows_private.h"

namespace plat {

namespace {

int g_default_counter = 0;

void watch(QWidget* widget, HWND hwnd) {
    if (!widget) return;
    map_widget(widget, hwnd);
    widget->installEventFilter(layer_object());
}

// Qt window flags for a top-level window's styles: a popup without border or
// caption gets no decorations, a topmost window stays on top.
Qt::WindowFlags window_flags(HWND hwnd) {
    DWORD style, ex;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        style = w->style;
        ex = w->exstyle;
    }
    Qt::WindowFlags f = (ex & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
    DWORD framed = WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME | WS_BORDER;
    if ((style & WS_POPUP) && !(style & framed)) f |= Qt::FramelessWindowHint;
    if (ex & WS_EX_TOPMOST) f |= Qt::WindowStaysOnTopHint;
    return f;
}

struct Placement {
    int x, y, w, h;
};

Placement default_placement(Kind kind, QWidget* parent_client, int x, int y, int w, int h) {
    int step = 24 * (g_default_counter % 8);
    QSize room = parent_client ? parent_client->size() : QSize(1024, 768);
    if (x == CW_USEDEFAULT) {
        x = kind == Kind::Child ? 0 : step + (kind == Kind::TopLevel ? 40 : 0);
        y = kind == Kind::Child ? 0 : step + (kind == Kind::TopLevel ? 40 : 0);
        ++g_default_counter;
    }
    if (w == CW_USEDEFAULT) {
        w = kind == Kind::TopLevel ? 640 : std::max(100, room.width() * 3 / 4);
        h = kind == Kind::TopLevel ? 480 : std::max(60, room.height() * 3 / 4);
    }
    return Placement{x, y, std::max(0, w), std::max(0, h)};
}

void build_widgets(HWND hwnd, HWND parent, Kind kind, const Placement& p, const char* title) {
    QWidget* parent_client = parent ? client_widget_of(parent) : nullptr;
    QWidget *frame = nullptr, *body = nullptr;
    QMdiArea* area = nullptr;
    QMdiSubWindow* sub = nullptr;
    switch (kind) {
        case Kind::TopLevel:
            // An owned window stays above its owner (a transient window).
            frame = body = new QWidget(parent ? frame_of(parent) : nullptr, window_flags(hwnd));
            frame->setWindowTitle(QString::fromUtf8(title ? title : ""));
            frame->move(p.x, p.y);
            frame->resize(p.w, p.h);
            break;
        case Kind::Child:
            frame = body = new QWidget(parent_client);
            frame->setGeometry(p.x, p.y, p.w, p.h);
            frame->setVisible(false);
            break;
        case Kind::MdiClient:
            area = new QMdiArea(parent_client);
            frame = body = area;
            area->setGeometry(p.x, p.y, p.w, p.h);
            area->setVisible(false);
            break;
        default:
            break;
    }
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        w->frame = frame;
        w->body = body;
        w->area = area;
        w->sub = sub;
        if (area) w->client = area;
    }
    if (kind == Kind::MdiChild) mdi_attach_child(parent, hwnd, p.x, p.y, p.w, p.h);
    if (kind != Kind::MdiClient) {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        auto* view = new ClientWidget(w->body, hwnd);
        w->client = view;
        w->view = view;
        view->show();
    }
    QWidget *f, *bd, *c;
    QMdiSubWindow* s;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        f = w->frame;
        bd = w->body;
        c = w->client;
        s = w->sub;
    }
    watch(f, hwnd);
    if (bd != f) watch(bd, hwnd);
    if (c != bd) map_widget(c, hwnd);
    if (s && s != f) watch(s, hwnd);
    create_scroll_bars(hwnd);
}

// A top-level or document window shows its class icon in its title bar.
void show_class_icon(HWND hwnd, HICON icon) {
    auto* cursor = static_cast<const QCursor*>(plat::cursor_data(icon));
    if (!cursor || cursor->pixmap().isNull()) return;
    QWidget* f = nullptr;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (w) f = w->sub ? w->sub : w->frame;
    }
    if (f) f->setWindowIcon(QIcon(cursor->pixmap()));
}

HWND create_window(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int cx,
                   int cy, HWND parent, HMENU menuOrId, HINSTANCE inst, LPVOID param) {
    auto cls = find_class(className);
    if (!cls) return nullptr;
    bool is_client = same_name(cls->name, "MDICLIENT");
    Kind kind = Kind::TopLevel;
    HWND hwnd;
    {
        std::lock_guard lock(table_mutex());
        Window* pw = parent ? find_window(parent) : nullptr;
        if ((style & WS_CHILD) && !pw) return nullptr;
        if (style & WS_CHILD)
            kind = is_client ? Kind::MdiClient
                             : (pw->kind == Kind::MdiClient ? Kind::MdiChild : Kind::Child);
        Window* w = allocate_window();
        if (!w) return nullptr;
        w->cls = cls;
        w->proc = cls->proc;
        w->inst = inst;
        w->id = LONG_PTR(menuOrId);
        w->style = style & ~DWORD(WS_VISIBLE);
        w->exstyle = exStyle | (kind == Kind::MdiChild ? WS_EX_MDICHILD : 0);
        w->parent = pw ? pw->hwnd : nullptr;
        w->title = title ? title : "";
        w->extra.assign(size_t(cls->wnd_extra), 0);
        w->kind = kind;
        if (pw && (style & WS_CHILD)) pw->children.push_back(w->hwnd);
        hwnd = w->hwnd;
    }
    QWidget* parent_client = parent ? client_widget_of(parent) : nullptr;
    Placement p = default_placement(kind, parent_client, x, y, cx, cy);
    build_widgets(hwnd, parent, kind, p, title);
    if (kind == Kind::TopLevel || kind == Kind::MdiChild) show_class_icon(hwnd, cls->icon);
    if (kind == Kind::TopLevel) {
        if (IsMenu(menuOrId)) show_menu_bar(hwnd);
        apply_min_max(hwnd);
    }
    relayout(hwnd);

    CREATESTRUCT cs{param, inst, menuOrId,    parent, p.h,       p.w,
                    p.y,   p.x,  LONG(style), title,  className, exStyle};
    LRESULT r = call_proc(hwnd, WM_CREATE, 0, LPARAM(&cs));
    if (!IsWindow(hwnd)) return nullptr;
    if (r == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    {
        std::lock_guard lock(table_mutex());
        find_window(hwnd)->created = true;
    }
    send_size_if_changed(hwnd);
    send_move_if_changed(hwnd);
    if ((style & WS_VISIBLE) && IsWindow(hwnd)) {
        int cmd = (style & WS_MAXIMIZE)   ? SW_SHOWMAXIMIZED
                  : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                          : SW_SHOW;
        ShowWindow(hwnd, cmd);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

// The window and everything it owns, children before their parent.
void collect_for_destroy(HWND hwnd, std::vector<HWND>& order) {
    std::vector<HWND> kids;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w) return;
        w->destroying = true;
        kids = w->children;
        for (Window* o : live_windows())
            if (o->kind == Kind::TopLevel && o->parent == hwnd && !o->destroying)
                kids.push_back(o->hwnd);
    }
    for (HWND k : kids) collect_for_destroy(k, order);
    order.push_back(hwnd);
}

void finish_window(HWND hwnd, HWND root) {
    kill_all_timers(hwnd);
    forget_input_of(hwnd);
    forget_window_messages(hwnd);
    QWidget *frame, *body, *client, *sub;
    Kind kind;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w) return;
        frame = w->frame;
        body = w->body;
        client = w->client;
        sub = w->sub;
        kind = w->kind;
        if (Window* pw = find_window(w->parent)) {
            auto& kids = pw->children;
            kids.erase(std::remove(kids.begin(), kids.end(), hwnd), kids.end());
        }
    }
    for (QWidget* q : {frame, body, client, sub})
        if (q) unmap_widget(q);
    // Widgets of children go with their parent's; owned windows go on their own.
    if (hwnd == root || kind == Kind::TopLevel) {
        if (frame) frame->hide();
        delete_widget_later(frame);
    }
    Window* w;
    {
        std::lock_guard lock(table_mutex());
        w = find_window(hwnd);
    }
    if (!w) return;
    // The image shrinks without the table lock: a drawer may hold the image
    // lock while it asks the table for something.
    {
        std::lock_guard image_guard(w->image_lock);
        w->image = QImage(1, 1, QImage::Format_RGB32);
        w->image.fill(0);
    }
    std::lock_guard lock(table_mutex());
    if (find_window(hwnd) == w) release_window(w);
}

BOOL destroy_window(HWND hwnd) {
    Kind kind;
    QWidget* frame;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || w->destroying || w->kind == Kind::Desktop) return FALSE;
        kind = w->kind;
        frame = w->frame;
    }
    if (kind == Kind::MdiChild) mdi_child_closing(hwnd);
    std::vector<HWND> order;
    collect_for_destroy(hwnd, order);
    if (frame) frame->hide();
    for (HWND h : order) call_proc(h, WM_DESTROY, 0, 0);
    for (HWND h : order) call_proc(h, WM_NCDESTROY, 0, 0);
    HWND client = kind == Kind::MdiChild ? GetParent(hwnd) : nullptr;
    // A top-level window's menu goes with it, as on the platform.
    std::vector<HMENU> menus;
    for (HWND h : order)
        if (HMENU m = GetMenu(h)) menus.push_back(m);
    for (HWND h : order) finish_window(h, hwnd);
    for (HMENU m : menus) DestroyMenu(m);
    // The client's window menu no longer lists the document.
    if (client) mdi_refresh_window_menu(client);
    return TRUE;
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int w,
                    int h, HWND parent, HMENU menuOrId, HINSTANCE inst, LPVOID param) {
    return reinterpret_cast<HWND>(run_on_ui([=] {
        return reinterpret_cast<LRESULT>(create_window(exStyle, className, title, style, x, y, w, h,
                                                       parent, menuOrId, inst, param));
    }));
}

BOOL DestroyWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([hwnd] { return LRESULT(destroy_window(hwnd)); }));
}
}
