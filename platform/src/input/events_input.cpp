// The client widget: shows the backing image and turns Qt input into the
// platform's messages. Mouse messages go straight to the window procedure (to
// the capture window while one is set); key messages are posted, so that the
// program's message loop sees them and can translate accelerators.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "input_private.h"
#include "windows/windows_private.h"

namespace plat {

namespace {

struct KeyPair {
    int vk;
    int qt;
};

const KeyPair kKeys[] = {
    {VK_BACK, Qt::Key_Backspace}, {VK_TAB, Qt::Key_Tab},       {VK_RETURN, Qt::Key_Return},
    {VK_RETURN, Qt::Key_Enter},   {VK_SHIFT, Qt::Key_Shift},   {VK_CONTROL, Qt::Key_Control},
    {VK_MENU, Qt::Key_Alt},       {VK_PAUSE, Qt::Key_Pause},   {VK_ESCAPE, Qt::Key_Escape},
    {VK_SPACE, Qt::Key_Space},    {VK_PRIOR, Qt::Key_PageUp},  {VK_NEXT, Qt::Key_PageDown},
    {VK_END, Qt::Key_End},        {VK_HOME, Qt::Key_Home},     {VK_LEFT, Qt::Key_Left},
    {VK_UP, Qt::Key_Up},          {VK_RIGHT, Qt::Key_Right},   {VK_DOWN, Qt::Key_Down},
    {VK_INSERT, Qt::Key_Insert},  {VK_DELETE, Qt::Key_Delete}, {VK_TAB, Qt::Key_Backtab},
};

// Wheel turns smaller than a notch (touchpads) add up until they make one.
std::map<HWND, int> g_wheel_rest;

UINT mouse_keys(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    UINT k = 0;
    if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if ((mods & Qt::ShiftModifier) || key_down(VK_SHIFT)) k |= MK_SHIFT;
    if ((mods & Qt::ControlModifier) || key_down(VK_CONTROL)) k |= MK_CONTROL;
    return k;
}

UINT button_message(Qt::MouseButton b, QEvent::Type type) {
    UINT base = b == Qt::LeftButton     ? WM_LBUTTONDOWN
                : b == Qt::RightButton  ? WM_RBUTTONDOWN
                : b == Qt::MiddleButton ? WM_MBUTTONDOWN
                                        : 0;
    if (!base) return 0;
    if (type == QEvent::MouseButtonRelease) return base + 1;
    if (type == QEvent::MouseButtonDblClick) return base + 2;
    return base;
}

bool is_button_down(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
           msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}

bool is_dblclk(UINT msg) {
    return msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}

// A click in an MDI document activates it, as on the platform.
void activate_mdi_ancestor(HWND hwnd) {
    HWND child = nullptr, client = nullptr;
    {
        std::lock_guard lock(table_mutex());
        for (Window* w = find_window(hwnd); w; w = find_window(w->parent)) {
            if (w->kind == Kind::MdiChild) {
                child = w->hwnd;
                client = w->parent;
                break;
            }
            if (w->kind == Kind::TopLevel) break;
        }
    }
    if (child) mdi_activate(client, child);
}

// Input from the windowing system tells the true state of modifiers and
// buttons, also of presses that went to other applications.
void sync_state(const QInputEvent* e) {
    if (!e->spontaneous()) return;
    Qt::KeyboardModifiers m = e->modifiers();
    Qt::MouseButtons b;
    if (e->isPointerEvent()) b = static_cast<const QSinglePointEvent*>(e)->buttons();
    note_input_state(m & Qt::ControlModifier, m & Qt::ShiftModifier, m & Qt::AltModifier,
                     b & Qt::LeftButton, b & Qt::RightButton);
}

LPARAM point_lparam(const QPointF& p) {
    return MAKELPARAM(int(std::floor(p.x())), int(std::floor(p.y())));
}

}  // namespace

ClientWidget::ClientWidget(QWidget* parent, HWND hwnd) : QWidget(parent), hwnd_(hwnd) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ClientWidget::paintEvent(QPaintEvent* e) {
    QImage* image;
    std::recursive_mutex* lock;
    if (!backing_image(hwnd_, &image, &lock)) return;
    QPainter p(this);
    std::lock_guard guard(*lock);
    QRect r = e->rect();
    p.drawImage(r.topLeft(), *image, r);
}

void deliver_mouse(HWND target, UINT msg, const QPointF& local, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers mods) {
    QWidget* from = client_widget_of(target);
    if (!from || !msg) return;
    QPointF global = from->mapToGlobal(local);
    note_cursor(int(global.x()), int(global.y()), false);
    if (handle_border_mouse(target, msg, global.toPoint())) return;
    HWND cap = capture_window();
    HWND to = target;
    QPointF pos = local;
    if (cap && cap != target) {
        QWidget* c = client_widget_of(cap);
        if (c) {
            pos = c->mapFromGlobal(global);
            to = cap;
        }
    }
    if (is_dblclk(msg)) {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(to);
        if (w && w->cls && !(w->cls->style & CS_DBLCLKS)) msg -= 2;
    }
    if (is_button_down(msg)) activate_mdi_ancestor(to);
    if (!cap && (msg == WM_MOUSEMOVE || is_button_down(msg)))
        SendMessage(to, WM_SETCURSOR, WPARAM(to), MAKELPARAM(HTCLIENT, msg));
    SendMessage(to, msg, WPARAM(mouse_keys(buttons, mods)), point_lparam(pos));
}

void deliver_key(HWND target, int qtKey, bool down, bool autoRepeat, Qt::KeyboardModifiers mods) {
    int vk = vk_from_qt(qtKey, mods);
    if (!vk || !IsWindow(target)) return;
    note_key(vk, down);
    bool alt = (mods & Qt::AltModifier) || key_down(VK_MENU);
    bool sys = (alt && vk != VK_MENU) || vk == VK_F10;
    UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lp = 1;
    if (alt) lp |= LPARAM(1) << 29;
    if (!down || autoRepeat) lp |= LPARAM(1) << 30;
    if (!down) lp |= LPARAM(1) << 31;
    PostMessage(target, msg, WPARAM(vk), LPARAM(DWORD(lp)));
}

// Keys an edit field has no use for but the program's accelerators may:
// Ctrl with a letter or digit other than the editing ones, and F1 to F12.
bool is_command_key(const QKeyEvent* k) {
    int key = k->key();
    Qt::KeyboardModifiers m = k->modifiers();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return true;
    if (!(m & Qt::ControlModifier) || (m & Qt::AltModifier)) return false;
    static const int kEditing[] = {Qt::Key_A, Qt::Key_C, Qt::Key_V,
                                   Qt::Key_X, Qt::Key_Y, Qt::Key_Z};
    for (int e : kEditing)
        if (key == e) return false;
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
}

bool forward_command_key(HWND control, const QKeyEvent* k) {
    if (k->type() != QEvent::KeyPress && k->type() != QEvent::KeyRelease) return false;
    sync_state(k);
    if (!is_command_key(k)) return false;
    deliver_key(control, k->key(), k->type() == QEvent::KeyPress, k->isAutoRepeat(),
                k->modifiers());
    return true;
}

int vk_from_qt(int key, Qt::KeyboardModifiers mods) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    // Plus and minus are the numeric-pad keys only on the pad; elsewhere they
    // are the main keyboard's keys, which accelerators for the pad must not match.
    bool pad = (mods & Qt::KeypadModifier) != 0;
    if (key == Qt::Key_Plus) return pad ? VK_ADD : VK_OEM_PLUS;
    if (key == Qt::Key_Minus) return pad ? VK_SUBTRACT : VK_OEM_MINUS;
    if (key == Qt::Key_Equal) return VK_OEM_PLUS;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + (key - Qt::Key_F1);
    for (const KeyPair& k : kKeys)
        if (k.qt == key) return k.vk;
    return 0;
}

int qt_from_vk(int vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
    if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
    if (vk == VK_ADD || vk == VK_OEM_PLUS) return Qt::Key_Plus;
    if (vk == VK_SUBTRACT || vk == VK_OEM_MINUS) return Qt::Key_Minus;
    for (const KeyPair& k : kKeys)
        if (k.vk == vk) return k.qt;
    return 0;
}

namespace {

// Buttons pressed on the free space of an MDI client's viewport (it has no
// client widget of its own) reach the client's window procedure.
class ViewportMouse : public QObject {
public:
    ViewportMouse(HWND client, QWidget* viewport) : QObject(viewport), client_(client) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        const auto type = e->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
            type != QEvent::MouseButtonDblClick)
            return false;
        auto* m = static_cast<QMouseEvent*>(e);
        auto* viewport = static_cast<QWidget*>(watched);
        if (viewport->childAt(m->position().toPoint())) return false;
        sync_state(m);
        if (UINT msg = button_message(m->button(), type))
            deliver_mouse(client_, msg, m->position(), m->buttons(), m->modifiers());
        return false;
    }

private:
    HWND client_;
};

}  // namespace

void forward_viewport_mouse(HWND client, QWidget* viewport) {
    if (viewport) viewport->installEventFilter(new ViewportMouse(client, viewport));
}

void ClientWidget::mousePressEvent(QMouseEvent* e) {
    sync_state(e);
    deliver_mouse(hwnd_, button_message(e->button(), e->type()), e->position(), e->buttons(),
                  e->modifiers());
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* e) {
    sync_state(e);
    deliver_mouse(hwnd_, button_message(e->button(), e->type()), e->position(), e->buttons(),
                  e->modifiers());
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    sync_state(e);
    deliver_mouse(hwnd_, button_message(e->button(), e->type()), e->position(), e->buttons(),
                  e->modifiers());
}

void ClientWidget::mouseMoveEvent(QMouseEvent* e) {
    sync_state(e);
    deliver_mouse(hwnd_, WM_MOUSEMOVE, e->position(), e->buttons(), e->modifiers());
}

void ClientWidget::wheelEvent(QWheelEvent* e) {
    e->accept();
    sync_state(e);
    HWND to = capture_window() ? capture_window() : hwnd_;
    int& rest = g_wheel_rest[to];
    rest += e->angleDelta().y();
    int delta = rest / WHEEL_DELTA * WHEEL_DELTA;
    if (delta == 0) return;
    rest -= delta;
    QPointF g = e->globalPosition();
    note_cursor(int(g.x()), int(g.y()), false);
    UINT keys = mouse_keys(e->buttons(), e->modifiers());
    SendMessage(to, WM_MOUSEWHEEL, MAKEWPARAM(keys, delta),
                MAKELPARAM(int(std::floor(g.x())), int(std::floor(g.y()))));
}

void ClientWidget::keyPressEvent(QKeyEvent* e) {
    sync_state(e);
    if (!vk_from_qt(e->key(), e->modifiers())) return QWidget::keyPressEvent(e);
    deliver_key(hwnd_, e->key(), true, e->isAutoRepeat(), e->modifiers());
}

void ClientWidget::keyReleaseEvent(QKeyEvent* e) {
    sync_state(e);
    if (!vk_from_qt(e->key(), e->modifiers())) return QWidget::keyReleaseEvent(e);
    deliver_key(hwnd_, e->key(), false, e->isAutoRepeat(), e->modifiers());
}

void ClientWidget::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    set_focus_window(hwnd_);
}

void ClientWidget::contextMenuEvent(QContextMenuEvent* e) {
    // A right click already becomes WM_CONTEXTMENU through WM_RBUTTONUP.
    e->accept();
    if (e->reason() == QContextMenuEvent::Keyboard)
        SendMessage(hwnd_, WM_CONTEXTMENU, WPARAM(hwnd_), MAKELPARAM(-1, -1));
}

bool ClientWidget::focusNextPrevChild(bool) {
    return false;
}

}  // namespace plat
