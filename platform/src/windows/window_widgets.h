// The Qt widgets of the window area: the client widget that shows a window's
// backing image and turns Qt input into messages, and the layer object that
// receives wake events and watches frames, bodies and MDI widgets.
#pragma once

#include <QObject>
#include <QWidget>

#include "window_private.h"

namespace plat {

class ClientWidget : public QWidget {
public:
    ClientWidget(QWidget* parent, HWND hwnd);
    HWND hwnd() const { return hwnd_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    HWND hwnd_;
};

class LayerObject : public QObject {
public:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// The event type of the layer's wake event.
int wake_event_type();

// Delivery of translated input (events_input.cpp).
void deliver_mouse(HWND target, UINT msg, const QPointF& local, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers mods);
void deliver_key(HWND target, int qtKey, bool down, bool autoRepeat, Qt::KeyboardModifiers mods);
int vk_from_qt(int qtKey, Qt::KeyboardModifiers mods = {});
// Mouse input over the sizing border of a child window and while it is dragged
// (events_sizing.cpp); TRUE when it was used there.
bool handle_border_mouse(HWND target, UINT msg, const QPoint& global);
int qt_from_vk(int vk);

}  // namespace plat
