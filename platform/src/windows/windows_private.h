// The window area: the handle table, window classes and windows, messages,
// the backing images and MDI. The records are shared with the areas that
// build on windows (input, painting, controls, dialogs, menus).
//
// Locking: every field of a Window except the Qt widget pointers is guarded by
// table_mutex(), so the record can be read from any thread (properties, user
// data, invalid area, cached client size). Widgets are touched only on the
// user-interface thread. Window procedures are never called with the table
// mutex held. Slots are never freed, so a Window* and its image lock stay
// valid for the life of the process; a destroyed window's slot gets a new
// generation and is reused.
#pragma once

#include <platform/platform.h>

#include <QImage>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QScrollBar;
class QTimer;
class QWidget;

namespace plat {

class ClientWidget;  // input area

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int wnd_extra = 0;
    HINSTANCE inst = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::string menu_name;
};

enum class Kind { TopLevel, Child, MdiChild, MdiClient, Desktop };

struct ScrollState {
    int min = 0, max = 100, pos = 0;
    bool enabled = true;
    bool shown = false;
    QScrollBar* bar = nullptr;
};

struct TimerState {
    QTimer* timer = nullptr;
    TIMERPROC fn = nullptr;
};

struct MdiState {
    HWND active = nullptr;
    HMENU frame_menu = nullptr;
    HMENU window_menu = nullptr;
    UINT first_child_id = 0;
    bool activating = false;
};

struct Window {
    uint64_t serial = 0;  // creation order
    uint32_t generation = 0;
    bool alive = false;
    bool created = false;     // WM_CREATE has returned
    bool destroying = false;  // DestroyWindow has begun
    HWND hwnd = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    LONG_PTR user = 0;
    HINSTANCE inst = nullptr;
    LONG_PTR id = 0;  // child id, or the menu of a top-level window
    DWORD style = 0, exstyle = 0;
    HWND parent = nullptr;  // parent of a child, owner of a top-level window
    std::vector<HWND> children;
    std::string title;
    std::map<std::string, HANDLE> props;
    std::vector<unsigned char> extra;
    Kind kind = Kind::TopLevel;

    // Widgets (user-interface thread only). frame is what moves and resizes,
    // body holds the client and the scroll bars, client shows the image.
    QPointer<QWidget> frame, body, client;
    ClientWidget* view = nullptr;
    QMdiSubWindow* sub = nullptr;
    QMdiArea* area = nullptr;

    int client_w = 0, client_h = 0;
    int sent_w = -1, sent_h = -1, sent_kind = -1;
    int sent_x = INT32_MIN, sent_y = INT32_MIN;
    RECT normal{0, 0, 0, 0};
    bool has_normal = false;

    // The image has its own lock so that drawing threads never wait for the table.
    QImage image;
    std::recursive_mutex image_lock;
    RECT invalid{0, 0, 0, 0};
    bool has_invalid = false;
    bool erase = false;
    bool paint_taken = false;  // BeginPaint took the invalid area during WM_PAINT
    RECT shown_dirty{0, 0, 0, 0};
    bool has_shown_dirty = false;

    ScrollState hscroll, vscroll;
    std::map<UINT_PTR, TimerState> timers;
    MdiState mdi;
    POINT min_track{0, 0};
};

// --- table (window_table.cpp) ---
std::recursive_mutex& table_mutex();
// The live window of a handle, or null. Caller holds table_mutex().
Window* find_window(HWND hwnd);
// A fresh slot with a new handle; caller holds table_mutex().
Window* allocate_window();
// Marks the slot dead (new generation later); caller holds table_mutex().
void release_window(Window* w);
// Every live window in slot order; caller holds table_mutex().
std::vector<Window*> live_windows();
std::shared_ptr<WindowClass> find_class(const char* name);
void map_widget(QWidget* widget, HWND hwnd);
void unmap_widget(QWidget* widget);
// Case-insensitive comparison, as class names and properties are.
bool same_name(const std::string& a, const char* b);
// The widget that shows a window, or null for a dead handle.
QWidget* widget_of(HWND hwnd);
// The window whose widget this is, or null.
HWND hwnd_of(const QWidget* w);
// The class background brush of a window (a brush, or COLOR_x + 1), or null.
HBRUSH class_background(HWND hwnd);
// The cursor a window's class names, or null.
HCURSOR class_cursor(HWND hwnd);

// --- attributes (window_attrs.cpp) ---
// Default handling of WM_SETTEXT: the stored title and the shown caption.
void set_title(HWND hwnd, LPCSTR text);

// --- messages (message_*.cpp) ---
// Depth of window procedure calls running on the user-interface thread.
int proc_depth();
// Calls the window procedure on the user-interface thread; 0 for a dead handle.
LRESULT call_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Runs fn on the user-interface thread and gives its result: directly when
// called there, else the caller blocks until it has run (served by nested Qt
// loops and by PlatformServeSentMessages), as a sent message, honouring stop
// requests.
LRESULT run_on_ui(const std::function<LRESULT()>& fn);
// Asks the user-interface thread to run its dispatch step soon; any thread.
void wake_ui();
// The dispatch step: serves sent calls, delivers posted messages and paints
// unless the program's own GetMessage loop is about to do so.
void dispatch_step();
// Delivers the posted messages queued now (not those posted meanwhile).
void deliver_posted();
// Drops posted messages and timers of a window being destroyed.
void forget_window_messages(HWND hwnd);
// Posts a WM_TIMER unless one for the same timer is already waiting.
void post_timer(HWND hwnd, UINT_PTR id, TIMERPROC fn);
// The QObject that receives the layer's wake events and widget events.
QObject* layer_object();
void create_layer_object();
// Widgets whose deletion waits for a safe point (no event handler of theirs running).
void delete_widget_later(QWidget* widget);
void delete_pending_widgets();

// Receives the layer's wake events and watches frames, bodies and MDI widgets.
class LayerObject : public QObject {
public:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
};
// The event type of the layer's wake event.
int wake_event_type();

// --- backing images and painting (window_paint.cpp) ---
// The window's backing image and the lock that guards it. The image is the size
// of the client area (at least 1x1) and is resized by the window area only
// under the lock. FALSE for a dead handle.
bool backing_image(HWND hwnd, QImage** image, std::recursive_mutex** lock);
// Marks a rectangle of the client area (null: all) as shown-dirty so that the
// widget shows the image again soon; callable from any thread.
void schedule_show(HWND hwnd, const RECT* rc);
// Takes the window's invalid region for BeginPaint: its bounding rectangle and
// whether it should be erased; the window becomes valid.
bool take_update(HWND hwnd, RECT* rc, bool* erase);
// Resizes the backing image to the client size keeping its content; the new
// area is filled with the class background and invalidated.
void resize_image(Window* w, int cw, int ch);
// Windows with an invalid area, in slot order (first one only when first).
HWND next_window_to_paint();
// Sends WM_PAINT to one window and makes sure it ends valid.
void paint_window(HWND hwnd);
void paint_all();
// Lets the widgets show what was drawn into their images.
void flush_shown();
void invalidate(HWND hwnd, const RECT* rc, bool erase);

// --- geometry (window_geometry.cpp) ---
// Places client and scroll bars inside the body, updates the cached client
// size and image, and sends WM_SIZE when the size or state changed.
void relayout(HWND hwnd);
void send_size_if_changed(HWND hwnd);
void send_move_if_changed(HWND hwnd);
// Queries WM_GETMINMAXINFO of a top-level window and applies the limits.
void apply_min_max(HWND hwnd);
QWidget* frame_of(HWND hwnd);
HWND top_level_of(HWND hwnd);
// The window rectangle in screen coordinates; null for a dead handle.
QRect window_rect_on_screen(HWND hwnd);
QRect screen_rect();
void set_style_bit(HWND hwnd, DWORD bit, bool on);
// Raises a widget among its siblings; top-level windows only where the
// windowing system can.
void raise_widget(QWidget* w);
// Records the top-level window that the user or the program activated.
void note_activated(HWND top);
QWidget* client_widget_of(HWND hwnd);

// --- MDI (mdi_client.cpp) ---
LRESULT CALLBACK mdi_client_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Builds the Qt side of an MDI child window inside its client.
void mdi_attach_child(HWND client, HWND child, int x, int y, int w, int h);
// Activates a child of an MDI client, sending WM_MDIACTIVATE to the child that
// loses and to the one that gains activation.
void mdi_activate(HWND client, HWND child);
// Called when an MDI child is about to be destroyed: activates the next one.
void mdi_child_closing(HWND child);
void register_mdi_class();

// --- scroll bars (window_scroll.cpp) ---
void create_scroll_bars(HWND hwnd);

}  // namespace plat
