// The menu bar of a top-level window: a QMenuBar at the top of the window's
// frame, built from the menu record the window holds. Items from the first
// one flagged MF_RIGHTJUSTIFY on are shown by a second QMenuBar set as the
// bar's top-right corner widget, so they sit at the right edge with every
// style. Opening the bar sends WM_INITMENU once per menu session, then
// WM_INITMENUPOPUP for each popup; closing it sends WM_MENUSELECT with flags
// 0xFFFF. A change to the bar's own record rebuilds the bar soon (not while
// one of its menus is open); popups refill themselves whenever they open.

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <map>
#include <set>

#include "menus_private.h"
#include "windows/windows_private.h"

namespace plat {

namespace {

struct BarState {
    HMENU menu = nullptr;
    QPointer<QMenuBar> bar, corner;
    std::vector<QPointer<QMenu>> tops;
    bool active = false;       // a menu session runs
    bool dirty = false;        // rebuild when the session ends
    std::vector<UINT> chosen;  // commands to post when the session ends
};

// User-interface thread only.
std::map<HWND, BarState>& bars() {
    static std::map<HWND, BarState> b;
    return b;
}

// Menus shown as some window's bar, and those of them changed since their
// bars were built; guarded by menu_mutex().
std::set<HMENU>& bar_menus() {
    static std::set<HMENU> s;
    return s;
}
std::set<HMENU>& changed_menus() {
    static std::set<HMENU> s;
    return s;
}

void forget_dead_bars() {
    std::lock_guard lock(menu_mutex());
    bar_menus().clear();
    for (auto it = bars().begin(); it != bars().end();) {
        if (!IsWindow(it->first)) {
            it = bars().erase(it);
            continue;
        }
        if (it->second.menu) bar_menus().insert(it->second.menu);
        ++it;
    }
}

HMENU window_menu(HWND hwnd) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    return w && w->kind == Kind::TopLevel ? reinterpret_cast<HMENU>(w->id) : nullptr;
}

void enter_session(HWND hwnd) {
    BarState& s = bars()[hwnd];
    if (s.active) return;
    s.active = true;
    SendMessage(hwnd, WM_INITMENU, WPARAM(s.menu), 0);
}

void end_session_if_closed(HWND hwnd) {
    auto found = bars().find(hwnd);
    if (found == bars().end() || !found->second.active) return;
    for (const auto& q : found->second.tops)
        if (q && q->isVisible()) return;
    found->second.active = false;
    std::vector<UINT> chosen;
    chosen.swap(found->second.chosen);
    SendMessage(hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    for (UINT id : chosen) PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    found = bars().find(hwnd);
    if (found != bars().end() && found->second.dirty && IsWindow(hwnd)) show_menu_bar(hwnd);
}

QMenuBar* new_bar(QWidget* parent, HWND hwnd) {
    auto* bar = new QMenuBar(parent);
    bar->setNativeMenuBar(false);
    QObject::connect(bar, &QMenuBar::hovered, [hwnd](QAction* a) {
        auto found = bars().find(hwnd);
        if (found != bars().end() && found->second.active) send_menu_select(hwnd, a);
    });
    return bar;
}

void add_bar_item(BarState& s, QMenuBar* target, HWND hwnd, const MenuItem& it, int pos) {
    if (it.flags & MF_SEPARATOR) return;
    QAction* a;
    if (it.flags & MF_POPUP) {
        auto* qm = new QMenu(target);
        QObject::connect(qm, &QMenu::aboutToShow, [hwnd] { enter_session(hwnd); });
        QObject::connect(qm, &QMenu::aboutToHide, [hwnd] {
            QTimer::singleShot(0, layer_object(), [hwnd] { end_session_if_closed(hwnd); });
        });
        attach_popup(qm, it.sub, pos, hwnd, true);
        a = qm->menuAction();
        target->addAction(a);
        s.tops.push_back(qm);
    } else {
        a = target->addAction(QString());
        UINT id = it.id;
        QObject::connect(a, &QAction::triggered, [hwnd, id] {
            enter_session(hwnd);
            menu_command_chosen(hwnd, id);
            QTimer::singleShot(0, layer_object(), [hwnd] { end_session_if_closed(hwnd); });
        });
    }
    describe_action(a, it, s.menu, pos);
}

void fill_bar(BarState& s, HWND hwnd) {
    for (auto& q : s.tops)
        if (q) q->deleteLater();
    s.tops.clear();
    s.bar->clear();
    if (s.corner) s.corner->clear();
    std::vector<MenuItem> items;
    {
        std::lock_guard lock(menu_mutex());
        if (Menu* m = find_menu(s.menu)) items = m->items;
    }
    QMenuBar* target = s.bar;
    for (size_t i = 0; i < items.size(); ++i) {
        if ((items[i].flags & MF_RIGHTJUSTIFY) && target == s.bar) {
            if (!s.corner) s.corner = new_bar(s.bar, hwnd);
            target = s.corner;
        }
        add_bar_item(s, target, hwnd, items[i], int(i));
    }
    bool right = target != s.bar;
    if (s.corner) {
        s.bar->setCornerWidget(right ? s.corner.data() : nullptr, Qt::TopRightCorner);
        s.corner->setVisible(right);
    }
}

// Rebuilds the bars whose menus changed since the last call.
void rebuild_changed() {
    std::set<HMENU> changed;
    {
        std::lock_guard lock(menu_mutex());
        changed.swap(changed_menus());
    }
    std::vector<HWND> due;
    for (const auto& [hwnd, s] : bars())
        if (changed.count(s.menu)) due.push_back(hwnd);
    for (HWND h : due)
        if (IsWindow(h)) show_menu_bar(h);
}

}  // namespace

void show_menu_bar(HWND hwnd) {
    QWidget* frame = frame_of(hwnd);
    HMENU menu = window_menu(hwnd);
    if (!frame) return;
    BarState& s = bars()[hwnd];
    s.menu = menu;
    forget_dead_bars();
    if (s.active) {
        s.dirty = true;
        return;
    }
    s.dirty = false;
    if (!IsMenu(menu)) {
        if (s.bar) s.bar->hide();
    } else {
        if (!s.bar) s.bar = new_bar(frame, hwnd);
        fill_bar(s, hwnd);
        s.bar->show();
        s.bar->raise();
    }
    relayout(hwnd);
}

int place_menu_bar(HWND hwnd, int width) {
    auto found = bars().find(hwnd);
    if (found == bars().end()) return 0;
    QMenuBar* bar = found->second.bar;
    if (!bar || bar->isHidden()) return 0;
    int h = bar->heightForWidth(width);
    if (h <= 0) h = bar->sizeHint().height();
    bar->setGeometry(0, 0, width, h);
    return h;
}

void menu_changed(HMENU menu) {
    {
        std::lock_guard lock(menu_mutex());
        if (!bar_menus().count(menu) || !changed_menus().insert(menu).second) return;
    }
    QObject* layer = layer_object();
    if (!layer) return;
    QMetaObject::invokeMethod(
        layer, [] { rebuild_changed(); }, Qt::QueuedConnection);
}

void menu_command_chosen(HWND owner, UINT id) {
    auto found = bars().find(owner);
    if (found != bars().end() && found->second.active)
        found->second.chosen.push_back(id);
    else
        PostMessage(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

namespace {

// Positions from the bar down to the item with command id, in the records
// (the Qt menus fill themselves only when they open); caller holds the lock.
bool record_path(HMENU menu, UINT id, std::vector<int>* path, int depth) {
    Menu* m = find_menu(menu);
    if (!m || depth > 16) return false;
    for (size_t i = 0; i < m->items.size(); ++i) {
        const MenuItem& it = m->items[i];
        path->push_back(int(i));
        if (!(it.flags & (MF_POPUP | MF_SEPARATOR)) && it.id == id) return true;
        if ((it.flags & MF_POPUP) && record_path(it.sub, id, path, depth + 1)) return true;
        path->pop_back();
    }
    return false;
}

// The action of a menu (or bar) for the item at position pos.
QAction* action_at(const QList<QAction*>& actions, int pos) {
    for (QAction* a : actions)
        if (!a->isSeparator() && action_position(a) == pos) return a;
    return nullptr;
}

// Opens the menus down to the item as a user would (their aboutToShow
// handlers run), hovers and triggers it, then closes what was opened.
BOOL simulate_command(HWND hwnd, UINT id) {
    auto found = bars().find(hwnd);
    if (found == bars().end() || !found->second.bar) return FALSE;
    if (!found->second.active) rebuild_changed();
    BarState& s = bars()[hwnd];
    std::vector<int> path;
    {
        std::lock_guard lock(menu_mutex());
        if (!record_path(s.menu, id, &path, 0)) return FALSE;
    }
    QList<QAction*> level = s.bar->actions() + (s.corner ? s.corner->actions() : QList<QAction*>());
    std::vector<QPointer<QMenu>> opened;
    QAction* hit = nullptr;
    for (size_t i = 0; i < path.size(); ++i) {
        QAction* a = action_at(level, path[i]);
        if (!a) break;
        if (i + 1 == path.size()) {
            hit = action_command(a) == id ? a : nullptr;
            break;
        }
        QPointer<QMenu> qm = action_popup(a);
        if (!qm) break;
        opened.push_back(qm);
        Q_EMIT qm->aboutToShow();
        if (!qm) break;
        level = qm->actions();
    }
    if (opened.empty() && hit) enter_session(hwnd);
    bool ok = hit && hit->isEnabled();
    if (ok) hit->hover();
    // As with a click: the menus close, then the action triggers.
    for (auto it = opened.rbegin(); it != opened.rend(); ++it)
        if (*it) Q_EMIT(*it)->aboutToHide();
    if (ok) hit->trigger();
    if (opened.empty() && hit)
        QTimer::singleShot(0, layer_object(), [hwnd] { end_session_if_closed(hwnd); });
    return ok ? TRUE : FALSE;
}

// Opens a popup of the bar as Alt and its letter do, then sends the keys to
// whichever popup is open, as typed.
BOOL type_menu_keys(HWND hwnd, int pos, const std::string& keys) {
    auto found = bars().find(hwnd);
    if (found == bars().end() || !found->second.bar) return FALSE;
    if (!found->second.active) rebuild_changed();
    BarState& s = bars()[hwnd];
    QMenuBar* holder = s.bar;
    QAction* title = action_at(s.bar->actions(), pos);
    if (!title && s.corner) {
        holder = s.corner;
        title = action_at(s.corner->actions(), pos);
    }
    QPointer<QMenu> qm = action_popup(title);
    if (!qm) return FALSE;
    holder->setActiveAction(title);
    if (qm)
        for (QAction* a : qm->actions())
            if (!a->isSeparator() && a->isEnabled()) {
                qm->setActiveAction(a);
                break;
            }
    for (char c : keys) {
        QWidget* open = QApplication::activePopupWidget();
        if (!open) break;
        bool letter = c != '\r' && c != '\x1b';
        int key = c == '\r'     ? int(Qt::Key_Return)
                  : c == '\x1b' ? int(Qt::Key_Escape)
                                : int(QChar(c).toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                        letter ? QString(QChar(c)) : QString());
        QCoreApplication::sendEvent(open, &press);
    }
    for (int i = 0; i < 16 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
    return TRUE;
}

}  // namespace

bool simulate_menu_command(HWND hwnd, UINT id) {
    if (!IsWindow(hwnd)) return false;
    return run_on_ui([hwnd, id] { return LRESULT(simulate_command(hwnd, id)); }) != 0;
}

bool simulate_menu_keys(HWND hwnd, int pos, const std::string& keys) {
    if (!IsWindow(hwnd)) return false;
    return run_on_ui([hwnd, pos, keys] { return LRESULT(type_menu_keys(hwnd, pos, keys)); }) != 0;
}

std::string menu_bar_text(HWND hwnd) {
    std::string text;
    run_on_ui([hwnd, &text] {
        auto found = bars().find(hwnd);
        if (found == bars().end() || !found->second.bar || found->second.bar->isHidden())
            return LRESULT(0);
        const BarState& s = found->second;
        for (QAction* a : s.bar->actions()) text += a->text().toStdString() + "\n";
        if (s.corner && !s.corner->isHidden())
            for (QAction* a : s.corner->actions()) text += ">" + a->text().toStdString() + "\n";
        return LRESULT(0);
    });
    return text;
}

}  // namespace plat

using namespace plat;

extern "C" {

BOOL SetMenu(HWND hwnd, HMENU menu) {
    if (menu && !IsMenu(menu)) return FALSE;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || w->kind != Kind::TopLevel) return FALSE;
        w->id = reinterpret_cast<LONG_PTR>(menu);
    }
    {
        std::lock_guard lock(menu_mutex());
        if (menu) bar_menus().insert(menu);
    }
    run_on_ui([hwnd] {
        show_menu_bar(hwnd);
        return LRESULT(0);
    });
    return TRUE;
}

HMENU GetMenu(HWND hwnd) {
    return window_menu(hwnd);
}

BOOL DrawMenuBar(HWND hwnd) {
    if (!window_menu(hwnd)) return FALSE;
    run_on_ui([hwnd] {
        show_menu_bar(hwnd);
        return LRESULT(0);
    });
    return TRUE;
}
}
