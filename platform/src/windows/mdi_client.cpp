// The MDI client class "MDICLIENT" over QMdiArea, with the default frame and
// document procedures. The layer keeps the active document itself (Qt only
// reports activation while the application is active) and sends
// WM_MDIACTIVATE to the document that loses activation, then to the one that
// gains it (wParam = losing, lParam = gaining).
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "input/input_private.h"
#include "menus/menus_private.h"
#include "windows_private.h"

namespace plat {

namespace {

QMdiArea* area_of(HWND client) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(client);
    return w && w->kind == Kind::MdiClient ? w->area : nullptr;
}

QMdiSubWindow* sub_of(HWND child) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(child);
    return w && w->kind == Kind::MdiChild ? w->sub : nullptr;
}

HWND active_of(HWND client) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(client);
    if (!w || w->kind != Kind::MdiClient) return nullptr;
    return find_window(w->mdi.active) ? w->mdi.active : nullptr;
}

HWND client_of(HWND child) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(child);
    return w && w->kind == Kind::MdiChild ? w->parent : nullptr;
}

// The documents of a client in creation order, leaving out those being destroyed.
std::vector<HWND> documents_of(HWND client) {
    std::lock_guard lock(table_mutex());
    std::vector<HWND> out;
    Window* w = find_window(client);
    if (!w) return out;
    for (HWND k : w->children)
        if (Window* c = find_window(k); c && c->kind == Kind::MdiChild && !c->destroying)
            out.push_back(k);
    return out;
}

void set_active(HWND client, HWND child, bool activating) {
    std::lock_guard lock(table_mutex());
    if (Window* w = find_window(client)) {
        w->mdi.active = child;
        w->mdi.activating = activating;
    }
}

bool is_activating(HWND client) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(client);
    return w && w->mdi.activating;
}

void on_qt_activated(HWND client, QMdiSubWindow* sub) {
    if (!sub || is_activating(client)) return;
    HWND child = hwnd_of(sub);
    if (!child) return;
    {
        std::lock_guard lock(table_mutex());
        Window* c = find_window(child);
        if (!c || c->destroying) return;
    }
    mdi_activate(client, child);
}

LRESULT create_document(HWND client, const MDICREATESTRUCT* mcs) {
    if (!mcs) return 0;
    UINT id;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(client);
        if (!w) return 0;
        id = w->mdi.first_child_id + UINT(documents_of(client).size());
    }
    HWND child = CreateWindowEx(
        WS_EX_MDICHILD, mcs->szClass, mcs->szTitle, mcs->style | WS_CHILD | WS_VISIBLE, mcs->x,
        mcs->y, mcs->cx, mcs->cy, client, reinterpret_cast<HMENU>(uintptr_t(id)),
        static_cast<HINSTANCE>(mcs->hOwner), const_cast<MDICREATESTRUCT*>(mcs));
    mdi_refresh_window_menu(client);
    return reinterpret_cast<LRESULT>(child);
}

HWND next_document(HWND client, HWND from, bool previous) {
    std::vector<HWND> docs = documents_of(client);
    if (docs.empty()) return nullptr;
    auto it = std::find(docs.begin(), docs.end(), from);
    if (it == docs.end()) return docs.front();
    size_t i = size_t(it - docs.begin()), n = docs.size();
    return docs[previous ? (i + n - 1) % n : (i + 1) % n];
}

void arrange_icons(QMdiArea* area) {
    int x = 0;
    for (QMdiSubWindow* s : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!s->isMinimized()) continue;
        s->move(x, area->viewport()->height() - s->height());
        x += s->width();
    }
}

LRESULT client_create(HWND hwnd, LPARAM lp) {
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
    auto* ccs = cs ? static_cast<CLIENTCREATESTRUCT*>(cs->lpCreateParams) : nullptr;
    QMdiArea* area = area_of(hwnd);
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (ccs) {
            w->mdi.window_menu = ccs->hWindowMenu;
            w->mdi.first_child_id = ccs->idFirstChild;
        }
    }
    if (area) {
        COLORREF c = GetSysColor(COLOR_APPWORKSPACE);
        area->setBackground(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        forward_viewport_mouse(hwnd, area->viewport());
        QObject::connect(area, &QMdiArea::subWindowActivated,
                         [hwnd](QMdiSubWindow* s) { on_qt_activated(hwnd, s); });
    }
    return 0;
}

// WM_MDISETMENU: the frame shows the frame menu; the document list moves to
// the new window menu. Gives the previous frame menu.
LRESULT set_menus(HWND client, HMENU frameMenu, HMENU windowMenu) {
    HMENU old, old_window;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(client);
        old = w->mdi.frame_menu;
        old_window = w->mdi.window_menu;
        if (frameMenu) w->mdi.frame_menu = frameMenu;
        if (windowMenu) w->mdi.window_menu = windowMenu;
    }
    if (windowMenu && old_window != windowMenu) mdi_strip_window_menu(old_window);
    mdi_refresh_window_menu(client);
    if (frameMenu) SetMenu(top_level_of(client), frameMenu);
    return reinterpret_cast<LRESULT>(old);
}

}  // namespace

void mdi_attach_child(HWND client, HWND child, int x, int y, int w, int h) {
    QMdiArea* area = area_of(client);
    if (!area) return;
    auto* sub = new QMdiSubWindow;
    auto* body = new QWidget;
    sub->setWidget(body);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    area->addSubWindow(sub);
    sub->setGeometry(x, y, w, h);
    sub->hide();
    // The subwindow lays out its content only when shown; the client size is
    // needed before that for WM_CREATE and WM_SIZE.
    if (sub->layout()) sub->layout()->activate();
    {
        std::lock_guard lock(table_mutex());
        Window* wnd = find_window(child);
        wnd->frame = sub;
        wnd->body = body;
        wnd->sub = sub;
        sub->setWindowTitle(QString::fromUtf8(wnd->title.c_str()));
    }
    // A retitled document shows its new title in the window menu.
    QObject::connect(sub, &QWidget::windowTitleChanged,
                     [client] { mdi_refresh_window_menu(client); });
}

void mdi_activate(HWND client, HWND child) {
    QMdiArea* area = area_of(client);
    if (!area) return;
    HWND old = active_of(client);
    if (old == child) return;
    if (child && client_of(child) != client) return;
    set_active(client, child, true);
    if (QMdiSubWindow* s = sub_of(child)) area->setActiveSubWindow(s);
    set_active(client, child, false);
    if (old) SendMessage(old, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
    if (child && IsWindow(child)) {
        SendMessage(child, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
        set_focus_window(child);
    }
    mdi_refresh_window_menu(client);
}

void mdi_child_closing(HWND child) {
    HWND client = client_of(child);
    if (!client || active_of(client) != child) return;
    HWND next = nullptr;
    if (QMdiArea* area = area_of(client)) {
        auto history = area->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = history.rbegin(); it != history.rend() && !next; ++it) {
            HWND h = hwnd_of(*it);
            // The document's own visibility counts: a frame not shown yet
            // (or hidden) still passes activation on.
            if (h && h != child && (GetWindowLong(h, GWL_STYLE) & WS_VISIBLE)) next = h;
        }
    }
    {
        std::lock_guard lock(table_mutex());
        if (Window* c = find_window(child)) c->destroying = true;
    }
    mdi_activate(client, next);
}

LRESULT CALLBACK mdi_client_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    QMdiArea* area = area_of(hwnd);
    HWND child = reinterpret_cast<HWND>(wp);
    switch (msg) {
        case WM_CREATE:
            return client_create(hwnd, lp);
        case WM_MDICREATE:
            return create_document(hwnd, reinterpret_cast<const MDICREATESTRUCT*>(lp));
        case WM_MDIDESTROY:
            DestroyWindow(child);
            return 0;
        case WM_MDIACTIVATE:
            mdi_activate(hwnd, child);
            return 0;
        case WM_MDIGETACTIVE: {
            HWND active = active_of(hwnd);
            if (lp) *reinterpret_cast<BOOL*>(lp) = active && IsZoomed(active);
            return reinterpret_cast<LRESULT>(active);
        }
        case WM_MDINEXT:
            mdi_activate(hwnd, next_document(hwnd, child ? child : active_of(hwnd), lp != 0));
            return 0;
        case WM_MDIMAXIMIZE:
            ShowWindow(child, SW_MAXIMIZE);
            return 0;
        case WM_MDIRESTORE:
            ShowWindow(child, SW_RESTORE);
            return 0;
        case WM_MDICASCADE:
            if (area) area->cascadeSubWindows();
            return TRUE;
        case WM_MDITILE:
            if (area) area->tileSubWindows();
            return TRUE;
        case WM_MDIICONARRANGE:
            if (area) arrange_icons(area);
            return 0;
        case WM_MDISETMENU:
            return set_menus(hwnd, reinterpret_cast<HMENU>(wp), reinterpret_cast<HMENU>(lp));
        case WM_MDIREFRESHMENU: {
            mdi_refresh_window_menu(hwnd);
            std::lock_guard lock(table_mutex());
            return reinterpret_cast<LRESULT>(find_window(hwnd)->mdi.frame_menu);
        }
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

void register_mdi_class() {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = mdi_client_proc;
    // The background is drawn relative to the right and bottom edges.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_APPWORKSPACE + 1));
    wc.lpszClassName = "MDICLIENT";
    RegisterClassEx(&wc);
}

}  // namespace plat

using namespace plat;

extern "C" {

LRESULT DefFrameProc(HWND frame, HWND client, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            if (IsWindow(client)) MoveWindow(client, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
            return 0;
        case WM_COMMAND: {
            UINT id = LOWORD(wp);
            for (HWND doc : documents_of(client))
                if (UINT(GetDlgCtrlID(doc)) == id) {
                    mdi_activate(client, doc);
                    return 0;
                }
            return DefWindowProc(frame, msg, wp, lp);
        }
        case WM_SETFOCUS:
            if (HWND active = active_of(client)) SetFocus(active);
            return 0;
        default:
            return DefWindowProc(frame, msg, wp, lp);
    }
}

LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    HWND client = client_of(hwnd);
    switch (msg) {
        case WM_CLOSE:
            if (client) SendMessage(client, WM_MDIDESTROY, WPARAM(hwnd), 0);
            return 0;
        case WM_SETFOCUS:
            if (client && active_of(client) != hwnd) mdi_activate(client, hwnd);
            return 0;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_NEXTWINDOW && client) {
                SendMessage(client, WM_MDINEXT, WPARAM(hwnd), 0);
                return 0;
            }
            return DefWindowProc(hwnd, msg, wp, lp);
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

HWND CreateMDIWindow(LPCSTR className, LPCSTR title, DWORD style, int x, int y, int w, int h,
                     HWND client, HINSTANCE inst, LPARAM lp) {
    MDICREATESTRUCT mcs{className, title, inst, x, y, w, h, style, lp};
    return reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, LPARAM(&mcs)));
}

BOOL TranslateMDISysAccel(HWND client, MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    if (!key_down(VK_CONTROL) || key_down(VK_MENU)) return FALSE;
    HWND active = active_of(client);
    if (!active) return FALSE;
    if (msg->wParam == VK_F4) {
        SendMessage(active, WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }
    if (msg->wParam == VK_F6) {
        SendMessage(client, WM_MDINEXT, WPARAM(active), key_down(VK_SHIFT) ? 1 : 0);
        return TRUE;
    }
    return FALSE;
}
}
