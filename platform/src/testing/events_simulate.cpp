// Synthetic input for tests: Qt events sent to a window's widgets, so that they
// take the same way through the layer as input from the windowing system; and
// the key states GetKeyState reports.
#include <platform/testing.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <utility>

#include "input/input_private.h"
#include "windows/windows_private.h"

namespace plat {

namespace {

Qt::KeyboardModifiers modifiers_of(UINT keys) {
    Qt::KeyboardModifiers m;
    if (keys & MK_SHIFT) m |= Qt::ShiftModifier;
    if (keys & MK_CONTROL) m |= Qt::ControlModifier;
    return m;
}

Qt::MouseButtons buttons_of(UINT keys) {
    Qt::MouseButtons b;
    if (keys & MK_LBUTTON) b |= Qt::LeftButton;
    if (keys & MK_RBUTTON) b |= Qt::RightButton;
    if (keys & MK_MBUTTON) b |= Qt::MiddleButton;
    return b;
}

struct MouseAction {
    QEvent::Type type;
    Qt::MouseButton button;
};

bool action_of(UINT msg, MouseAction* a) {
    switch (msg) {
        case WM_MOUSEMOVE:
            *a = {QEvent::MouseMove, Qt::NoButton};
            return true;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            a->type = QEvent::MouseButtonPress;
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            a->type = QEvent::MouseButtonRelease;
            break;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            a->type = QEvent::MouseButtonDblClick;
            break;
        default:
            return false;
    }
    UINT base = msg < WM_RBUTTONDOWN   ? WM_LBUTTONDOWN
                : msg < WM_MBUTTONDOWN ? WM_RBUTTONDOWN
                                       : WM_MBUTTONDOWN;
    a->button = base == WM_LBUTTONDOWN   ? Qt::LeftButton
                : base == WM_RBUTTONDOWN ? Qt::RightButton
                                         : Qt::MiddleButton;
    return true;
}

// The Qt scroll bar of a window's bar (SB_HORZ or SB_VERT), or null.
QScrollBar* scroll_bar_of(HWND hwnd, int bar) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    if (!w) return nullptr;
    if (bar == SB_HORZ) return w->hscroll.bar;
    if (bar == SB_VERT) return w->vscroll.bar;
    return nullptr;
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

BOOL PlatformSimulateMouse(HWND hwnd, UINT msg, int x, int y, UINT keys) {
    MouseAction a;
    if (!IsWindow(hwnd) || !action_of(msg, &a)) return FALSE;
    return BOOL(run_on_ui([=] {
        QWidget* c = client_widget_of(hwnd);
        if (!c) return LRESULT(FALSE);
        // An MDI client is clicked on its viewport, as the windowing system does.
        if (auto* area = qobject_cast<QMdiArea*>(c)) c = area->viewport();
        Qt::MouseButtons buttons = buttons_of(keys);
        if (a.type == QEvent::MouseButtonRelease)
            buttons &= ~Qt::MouseButtons(a.button);
        else if (a.type != QEvent::MouseMove)
            buttons |= a.button;
        QPointF local(x, y), global = c->mapToGlobal(QPointF(x, y));
        note_cursor(int(global.x()), int(global.y()), true);
        QMouseEvent e(a.type, local, global, a.button, buttons, modifiers_of(keys));
        QCoreApplication::sendEvent(c, &e);
        return LRESULT(TRUE);
    }));
}

BOOL PlatformSimulateWheel(HWND hwnd, int x, int y, int delta, UINT keys) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        QWidget* c = client_widget_of(hwnd);
        if (!c) return LRESULT(FALSE);
        QPointF local(x, y), global = c->mapToGlobal(QPointF(x, y));
        note_cursor(int(global.x()), int(global.y()), true);
        QWheelEvent e(local, global, QPoint(), QPoint(0, delta), buttons_of(keys),
                      modifiers_of(keys), Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(c, &e);
        return LRESULT(TRUE);
    }));
}

BOOL PlatformSimulateKey(HWND hwnd, int vk, BOOL down, BOOL autoRepeat) {
    int key = qt_from_vk(vk);
    if (!IsWindow(hwnd) || !key) return FALSE;
    return BOOL(run_on_ui([=] {
        QWidget* c = client_widget_of(hwnd);
        if (!c) return LRESULT(FALSE);
        // The modifiers as they are once this key has gone down or up.
        auto held = [&](int mod_vk) { return vk == mod_vk ? down != FALSE : key_down(mod_vk); };
        Qt::KeyboardModifiers m;
        if (held(VK_CONTROL)) m |= Qt::ControlModifier;
        if (held(VK_SHIFT)) m |= Qt::ShiftModifier;
        if (held(VK_MENU)) m |= Qt::AltModifier;
        if (vk == VK_ADD || vk == VK_SUBTRACT) m |= Qt::KeypadModifier;
        QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, key, m, QString(),
                    autoRepeat != FALSE);
        QCoreApplication::sendEvent(c, &e);
        return LRESULT(TRUE);
    }));
}

BOOL PlatformSimulateResize(HWND hwnd, int w, int h) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        QWidget* f = frame_of(hwnd);
        if (!f || !f->isWindow()) return LRESULT(FALSE);
        // A window manager keeps to the size hints: the widget's limits.
        f->resize(QSize(w, h).expandedTo(f->minimumSize()).boundedTo(f->maximumSize()));
        return LRESULT(TRUE);
    }));
}

BOOL PlatformSimulateClose(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        QWidget* f = frame_of(hwnd);
        if (!f) return LRESULT(FALSE);
        QCloseEvent e;
        QCoreApplication::sendEvent(f, &e);
        return LRESULT(TRUE);
    }));
}

BOOL PlatformSimulateScroll(HWND hwnd, int bar, int code, int pos) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        QScrollBar* q = scroll_bar_of(hwnd, bar);
        if (!q || !q->isEnabled()) return LRESULT(FALSE);
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
            q->setSliderDown(true);
            q->setSliderPosition(pos);
            q->setSliderDown(false);
            return LRESULT(TRUE);
        }
        static const std::pair<int, QAbstractSlider::SliderAction> actions[] = {
            {SB_LINELEFT, QAbstractSlider::SliderSingleStepSub},
            {SB_LINERIGHT, QAbstractSlider::SliderSingleStepAdd},
            {SB_PAGELEFT, QAbstractSlider::SliderPageStepSub},
            {SB_PAGERIGHT, QAbstractSlider::SliderPageStepAdd},
            {SB_LEFT, QAbstractSlider::SliderToMinimum},
            {SB_RIGHT, QAbstractSlider::SliderToMaximum},
        };
        for (auto& [c, action] : actions) {
            if (c != code) continue;
            q->triggerAction(action);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1),
                                q->mapToGlobal(QPointF(1, 1)), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QCoreApplication::sendEvent(q, &release);
            return LRESULT(TRUE);
        }
        return LRESULT(FALSE);
    }));
}

void PlatformSetKeyState(int vk, BOOL down) {
    note_key(vk, down != FALSE);
}
}
