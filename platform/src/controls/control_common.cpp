// What every control shares: its class registration, the Qt widget that fills
// its client area, the notifications to its parent, and Escape and Enter,
// which a control with the focus passes to its dialog.
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <map>

#include "controls/common_controls.h"
#include "controls_private.h"
#include "dialogs/dialogs_private.h"
#include "input/input_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

std::map<HWND, QPointer<QWidget>> g_widgets;  // user-interface thread only

const char* const kHwndProperty = "platformHwnd";

HWND hwnd_of_widget(QObject* o) {
    for (; o; o = o->parent()) {
        QVariant v = o->property(kHwndProperty);
        if (v.isValid()) return reinterpret_cast<HWND>(v.value<quintptr>());
    }
    return nullptr;
}

// The dialog that takes a control's Escape and Enter: the nearest dialog
// above it that is no panel inside another window.
HWND owning_dialog(HWND control) {
    for (HWND h = GetParent(control); h; h = GetParent(h)) {
        if (!is_dialog(h)) return nullptr;
        if (!(GetWindowLong(h, GWL_STYLE) & (DS_CONTROL | WS_CHILD))) return h;
    }
    return nullptr;
}

bool is_push_button(HWND hwnd) {
    char cls[16];
    GetClassName(hwnd, cls, sizeof cls);
    DWORD type = DWORD(GetWindowLong(hwnd, GWL_STYLE)) & BS_TYPEMASK;
    return same_name(cls, "BUTTON") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// The key of a press that may move the focus in a dialog (Tab, Shift+Tab as
// VK_TAB, the arrows), or 0. With Ctrl or Alt held it is no dialog key.
int focus_key(const QKeyEvent* k) {
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return 0;
    switch (k->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Down:
            return VK_DOWN;
        default:
            return 0;
    }
}

class ControlFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::FocusIn) {
            if (HWND h = hwnd_of_widget(watched)) set_focus_window(h);
            return false;
        }
        if (e->type() == QEvent::KeyRelease) {
            HWND control = hwnd_of_widget(watched);
            return control && forward_command_key(control, static_cast<QKeyEvent*>(e));
        }
        if (e->type() != QEvent::KeyPress) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if (HWND control = hwnd_of_widget(watched); control && forward_command_key(control, k))
            return true;
        int key = k->key();
        if (int vk = focus_key(k)) {
            HWND control = hwnd_of_widget(watched);
            HWND dlg = control ? owning_dialog(control) : nullptr;
            return dlg && dialog_key(dlg, control, vk, key == Qt::Key_Backtab);
        }
        if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        HWND control = hwnd_of_widget(watched);
        HWND dlg = control ? owning_dialog(control) : nullptr;
        if (!dlg) return false;
        if (key == Qt::Key_Escape)
            press(dlg, IDCANCEL);
        else
            press(dlg, is_push_button(control) ? GetDlgCtrlID(control) : default_id(dlg));
        return true;
    }
};

ControlFilter* filter() {
    static ControlFilter* f = new ControlFilter;
    return f;
}

void register_one(const char* name, WNDPROC proc) {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    RegisterClassEx(&wc);
}

}  // namespace

void register_control_classes() {
    register_one("BUTTON", button_proc);
    register_one("STATIC", static_proc);
    register_one("EDIT", edit_proc);
    register_one("COMBOBOX", combo_proc);
    register_one("SysListView32", listview_proc);
    register_one("msctls_updown32", updown_proc);
    register_one("msctls_trackbar32", trackbar_proc);
    register_one("msctls_progress32", progress_proc);
    register_common_control_classes();
}

void adopt_widget(HWND hwnd, QWidget* widget) {
    QWidget* client = client_widget_of(hwnd);
    RECT rc{0, 0, 0, 0};
    GetClientRect(hwnd, &rc);
    widget->setProperty(kHwndProperty, QVariant::fromValue(reinterpret_cast<quintptr>(hwnd)));
    widget->setFont(dialog_font());
    widget->setGeometry(0, 0, rc.right, rc.bottom);
    widget->installEventFilter(filter());
    for (QWidget* w : widget->findChildren<QWidget*>()) w->installEventFilter(filter());
    if (client) client->setFocusProxy(widget);
    widget->show();
    g_widgets[hwnd] = widget;
}

bool is_live_control(HWND hwnd, const QWidget* widget) {
    return widget && control_widget(hwnd) == widget;
}

QWidget* control_widget(HWND hwnd) {
    auto it = g_widgets.find(hwnd);
    return it == g_widgets.end() ? nullptr : it->second.data();
}

void forget_control(HWND hwnd) {
    if (QWidget* w = control_widget(hwnd)) w->setProperty(kHwndProperty, QVariant());
    g_widgets.erase(hwnd);
}

void notify_parent(HWND hwnd, int code) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                reinterpret_cast<LPARAM>(hwnd));
}

QString from_text(LPCSTR text) {
    return QString::fromUtf8(text ? text : "");
}

void store_text(HWND hwnd, const QString& text) {
    set_title(hwnd, text.toUtf8().constData());
}

// Default handling shared by the control procedures.
LRESULT control_default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            if (QWidget* w = control_widget(hwnd)) w->resize(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_DESTROY:
            forget_control(hwnd);
            return 0;
        case WM_SETFONT:
        case WM_GETFONT:
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

}  // namespace plat::dlg
