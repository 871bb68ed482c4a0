// Qt events of the widgets around a client area: resizing and moving frames,
// state changes, activation, and the close button, which asks the window
// procedure (WM_SYSCOMMAND SC_CLOSE) instead of closing.
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "windows_private.h"

namespace plat {

bool LayerObject::eventFilter(QObject* watched, QEvent* e) {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    HWND hwnd = hwnd_of(widget);
    if (!hwnd) return false;
    QWidget *frame, *body;
    Kind kind;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w) return false;
        frame = w->frame;
        body = w->body;
        kind = w->kind;
    }
    switch (e->type()) {
        case QEvent::Resize:
            if (widget == body) relayout(hwnd);
            return false;
        case QEvent::Move:
            if (widget == frame) send_move_if_changed(hwnd);
            return false;
        case QEvent::WindowStateChange:
            if (widget == frame) {
                relayout(hwnd);
                send_size_if_changed(hwnd);
            }
            return false;
        case QEvent::WindowActivate:
            if (widget == frame && kind == Kind::TopLevel) note_activated(hwnd);
            return false;
        case QEvent::Close:
            if (widget != frame) return false;
            e->ignore();
            SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        default:
            return false;
    }
}

void delete_widget_later(QWidget* widget) {
    if (widget) widget->deleteLater();
}

void delete_pending_widgets() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace plat
