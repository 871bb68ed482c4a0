// "SysTabControl32": a QTabBar along the top of the control over a raised
// pane that the control draws itself. A click on a tab asks the parent before
// the change (TCN_SELCHANGING) and tells it after (TCN_SELCHANGE); a press
// that reaches the control's own window (simulated input) counts the same.
#include <QSignalBlocker>
#include <QTabBar>
#include <map>

#include "controls/common_controls.h"
#include "controls/controls_private.h"
#include "dialogs/dialogs_private.h"
#include "input/input_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

std::map<HWND, int> g_current;  // the selected tab of each control; user-interface thread only

QTabBar* bar_of(HWND hwnd) {
    return qobject_cast<QTabBar*>(control_widget(hwnd));
}

void select_silently(QTabBar* bar, int index) {
    QSignalBlocker block(bar);
    bar->setCurrentIndex(index);
}

// A click chose tab index: the parent may refuse the change.
void tab_clicked(HWND hwnd, QTabBar* bar, int index) {
    if (!is_live_control(hwnd, bar)) return;
    int old = g_current[hwnd];
    if (index == old) return;
    select_silently(bar, old);
    HWND parent = GetParent(hwnd);
    NMHDR nm{hwnd, UINT_PTR(GetDlgCtrlID(hwnd)), TCN_SELCHANGING};
    if (parent && SendMessage(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm))) return;
    if (!is_live_control(hwnd, bar)) return;
    g_current[hwnd] = index;
    select_silently(bar, index);
    nm.code = TCN_SELCHANGE;
    if (parent) SendMessage(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void make(HWND hwnd) {
    auto* bar = new QTabBar(client_widget_of(hwnd));
    bar->setDrawBase(false);
    bar->setExpanding(false);
    adopt_widget(hwnd, bar);
    RECT rc{};
    GetClientRect(hwnd, &rc);
    bar->setGeometry(0, 0, rc.right, kTabRowHeight);
    g_current[hwnd] = -1;
    QObject::connect(bar, &QTabBar::currentChanged, bar,
                     [hwnd, bar](int index) { tab_clicked(hwnd, bar, index); });
}

LRESULT insert(HWND hwnd, WPARAM wp, LPARAM lp) {
    QTabBar* bar = bar_of(hwnd);
    auto* item = reinterpret_cast<const TCITEM*>(lp);
    if (!bar || !item) return -1;
    QString text = (item->mask & TCIF_TEXT) && item->pszText ? from_text(item->pszText) : QString();
    QSignalBlocker block(bar);
    int index = bar->insertTab(int(wp), text);
    if (g_current[hwnd] < 0) {
        g_current[hwnd] = 0;
        bar->setCurrentIndex(0);
    } else if (index <= g_current[hwnd]) {
        ++g_current[hwnd];
    }
    return index;
}

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc{};
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    RECT pane{0, kTabRowHeight - 1, rc.right, rc.bottom};
    DrawEdge(dc, &pane, EDGE_RAISED, BF_RECT);
    EndPaint(hwnd, &ps);
}

}  // namespace

LRESULT CALLBACK tab_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            make(hwnd);
            return 0;
        case TCM_INSERTITEM:
            return insert(hwnd, wp, lp);
        case TCM_GETITEMCOUNT: {
            QTabBar* bar = bar_of(hwnd);
            return bar ? bar->count() : 0;
        }
        case TCM_GETITEMRECT: {
            QTabBar* bar = bar_of(hwnd);
            auto* rc = reinterpret_cast<RECT*>(lp);
            if (!bar || !rc || int(wp) < 0 || int(wp) >= bar->count()) return FALSE;
            QRect r = bar->tabRect(int(wp));
            *rc = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
            return TRUE;
        }
        case WM_LBUTTONDOWN: {
            // Reaches the control when its row of tabs did not take the press.
            QTabBar* bar = bar_of(hwnd);
            int index = bar ? bar->tabAt(QPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) : -1;
            if (index >= 0) tab_clicked(hwnd, bar, index);
            return 0;
        }
        case TCM_GETCURSEL:
            return g_current.count(hwnd) ? g_current[hwnd] : -1;
        case TCM_SETCURSEL: {
            QTabBar* bar = bar_of(hwnd);
            if (!bar || int(wp) < 0 || int(wp) >= bar->count()) return -1;
            int old = g_current[hwnd];
            g_current[hwnd] = int(wp);
            select_silently(bar, int(wp));
            return old;
        }
        case TCM_ADJUSTRECT:
            if (auto* rc = reinterpret_cast<RECT*>(lp); rc && !wp) {
                rc->left += kTabPaneBorder;
                rc->top += kTabRowHeight + kTabPaneBorder;
                rc->right -= kTabPaneBorder;
                rc->bottom -= kTabPaneBorder;
            }
            return 0;
        case WM_SIZE:
            if (QTabBar* bar = bar_of(hwnd)) bar->setGeometry(0, 0, LOWORD(lp), kTabRowHeight);
            return 0;
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_DESTROY:
            g_current.erase(hwnd);
            return control_default(hwnd, msg, wp, lp);
        default:
            return control_default(hwnd, msg, wp, lp);
    }
}

}  // namespace plat::dlg
