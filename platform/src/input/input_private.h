// The input area: the client widget that shows a window's backing image and
// turns Qt input into the platform's messages, the input state (capture,
// focus, key states, cursor position), sizing child windows by their borders,
// and timers. The window area creates the client widgets and tells this area
// when a window goes.
#pragma once

#include <platform/platform.h>

#include <QWidget>

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

// --- translated input (events_input.cpp) ---
void deliver_mouse(HWND target, UINT msg, const QPointF& local, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers mods);
void deliver_key(HWND target, int qtKey, bool down, bool autoRepeat, Qt::KeyboardModifiers mods);
int vk_from_qt(int qtKey, Qt::KeyboardModifiers mods = {});
// Mouse buttons on the free space of an MDI client's viewport become the
// client's button messages.
void forward_viewport_mouse(HWND client, class QWidget* viewport);
// A key pressed or released in a control (an edit field, say) that the
// control has no use for but the program's accelerators may (Ctrl with a
// letter other than the editing ones, F1 to F12): posted to the control as a
// key message, so the message loop can translate it. TRUE when posted.
bool forward_command_key(HWND control, const class QKeyEvent* k);
int qt_from_vk(int vk);

// --- sizing borders (events_sizing.cpp) ---
// Mouse input over the sizing border of a child window and while it is
// dragged; TRUE when it was used there.
bool handle_border_mouse(HWND target, UINT msg, const QPoint& global);

// --- input state and timers (window_input.cpp) ---
HWND capture_window();
void set_focus_window(HWND hwnd);
// Forgets capture and focus held by a window being destroyed.
void forget_input_of(HWND hwnd);
// Key states as GetKeyState reports them: set by key messages, by the tests,
// and from the modifiers and buttons of input that came from the system.
void note_key(int vk, bool down);
void note_input_state(bool ctrl, bool shift, bool alt, bool left, bool right);
// The last mouse position in screen coordinates; simulated input makes it
// the only source (tests), else Qt's cursor position is used.
void note_cursor(int x, int y, bool simulated);
POINT cursor_pos();
bool key_down(int vk);
// Stops every timer of a window being destroyed.
void kill_all_timers(HWND hwnd);

}  // namespace plat
