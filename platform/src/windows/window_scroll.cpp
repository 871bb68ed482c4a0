// The scroll bars of a window (WS_HSCROLL, WS_VSCROLL): Qt scroll bars along
// the bottom and right edge of the body, outside the client area. Using one
// sends WM_HSCROLL / WM_VSCROLL with the SB_ code (and the thumb position in
// the high word for SB_THUMBTRACK and SB_THUMBPOSITION); the bar itself moves
// only when the program sets the position, as on the platform. The high word
// holds 16 bits only, so the full thumb position of a drag is kept for
// GetScrollInfo while its messages are sent.
#include <QEvent>
#include <QScrollBar>
#include <map>
#include <mutex>

#include "windows_private.h"

namespace plat {

namespace {

ScrollState* state_of(Window* w, int bar) {
    if (bar == SB_HORZ) return &w->hscroll;
    if (bar == SB_VERT) return &w->vscroll;
    return nullptr;
}

UINT message_of(int bar) {
    return bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
}

int code_of(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            return SB_LINERIGHT;
        case QAbstractSlider::SliderSingleStepSub:
            return SB_LINELEFT;
        case QAbstractSlider::SliderPageStepAdd:
            return SB_PAGERIGHT;
        case QAbstractSlider::SliderPageStepSub:
            return SB_PAGELEFT;
        case QAbstractSlider::SliderToMinimum:
            return SB_LEFT;
        case QAbstractSlider::SliderToMaximum:
            return SB_RIGHT;
        case QAbstractSlider::SliderMove:
            return SB_THUMBTRACK;
        default:
            return -1;
    }
}

int stored_pos(HWND hwnd, int bar) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    ScrollState* s = w ? state_of(w, bar) : nullptr;
    return s ? s->pos : 0;
}

// Thumb positions of the drags under way, by window and bar.
std::mutex g_track_mutex;
std::map<std::pair<HWND, int>, int> g_tracks;

void set_track(HWND hwnd, int bar, int pos) {
    std::lock_guard lock(g_track_mutex);
    g_tracks[{hwnd, bar}] = pos;
}

void end_track(HWND hwnd, int bar) {
    std::lock_guard lock(g_track_mutex);
    g_tracks.erase({hwnd, bar});
}

bool track_of(HWND hwnd, int bar, int* pos) {
    std::lock_guard lock(g_track_mutex);
    auto it = g_tracks.find({hwnd, bar});
    if (it == g_tracks.end()) return false;
    *pos = it->second;
    return true;
}

void send_scroll(HWND hwnd, int bar, int code, int pos) {
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) set_track(hwnd, bar, pos);
    SendMessage(hwnd, message_of(bar), MAKEWPARAM(code, pos), 0);
}

void on_action(HWND hwnd, int bar, QScrollBar* qbar, int action) {
    int code = code_of(action);
    if (code < 0) return;
    send_scroll(hwnd, bar, code, code == SB_THUMBTRACK ? qbar->sliderPosition() : 0);
    // The program moves the bar with SetScrollPos; Qt must not move it on its own.
    if (code != SB_THUMBTRACK && IsWindow(hwnd)) qbar->setSliderPosition(stored_pos(hwnd, bar));
}

void on_released(HWND hwnd, int bar, QScrollBar* qbar) {
    send_scroll(hwnd, bar, SB_THUMBPOSITION, qbar->sliderPosition());
    end_track(hwnd, bar);
    send_scroll(hwnd, bar, SB_ENDSCROLL, 0);
    if (IsWindow(hwnd)) qbar->setValue(stored_pos(hwnd, bar));
}

// Arrow and page clicks end with SB_ENDSCROLL when the button is released.
class ReleaseWatcher : public QObject {
public:
    ReleaseWatcher(QObject* parent, HWND hwnd, int bar) : QObject(parent), hwnd_(hwnd), bar_(bar) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonRelease) return false;
        auto* qbar = static_cast<QScrollBar*>(watched);
        if (!qbar->isSliderDown()) send_scroll(hwnd_, bar_, SB_ENDSCROLL, 0);
        return false;
    }

private:
    HWND hwnd_;
    int bar_;
};

QScrollBar* make_bar(HWND hwnd, int bar, QWidget* body) {
    auto* q = new QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, body);
    q->setRange(0, 100);
    q->setFocusPolicy(Qt::NoFocus);
    QObject::connect(q, &QAbstractSlider::actionTriggered,
                     [hwnd, bar, q](int action) { on_action(hwnd, bar, q, action); });
    QObject::connect(q, &QAbstractSlider::sliderReleased,
                     [hwnd, bar, q] { on_released(hwnd, bar, q); });
    q->installEventFilter(new ReleaseWatcher(q, hwnd, bar));
    return q;
}

// The bar of a window, made on first use; null for a dead handle or no body.
QScrollBar* ensure_bar(HWND hwnd, int bar) {
    QWidget* body;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        ScrollState* s = w ? state_of(w, bar) : nullptr;
        if (!s || w->kind == Kind::MdiClient || w->kind == Kind::Desktop) return nullptr;
        if (s->bar) return s->bar;
        body = w->body;
    }
    if (!body) return nullptr;
    QScrollBar* q = make_bar(hwnd, bar, body);
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    state_of(w, bar)->bar = q;
    return q;
}

void apply(HWND hwnd, int bar) {
    ScrollState s;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || !state_of(w, bar)) return;
        s = *state_of(w, bar);
    }
    if (!s.bar) return;
    s.bar->setRange(s.min, s.max);
    s.bar->setValue(s.pos);
    s.bar->setEnabled(s.enabled);
}

void set_shown(HWND hwnd, int bar, bool shown) {
    bool changed;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || !state_of(w, bar)) return;
        changed = state_of(w, bar)->shown != shown;
        state_of(w, bar)->shown = shown;
    }
    if (changed) relayout(hwnd);
}

template <class F>
LRESULT with_bar(HWND hwnd, int bar, F fn) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(hwnd);
    ScrollState* s = w ? state_of(w, bar) : nullptr;
    return s ? fn(*s) : 0;
}

}  // namespace

void create_scroll_bars(HWND hwnd) {
    DWORD style;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        if (!w || w->kind == Kind::MdiClient) return;
        style = w->style;
    }
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (!(style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL))) continue;
        ensure_bar(hwnd, bar);
        with_bar(hwnd, bar, [](ScrollState& s) { return LRESULT(s.shown = true); });
    }
}

}  // namespace plat

using namespace plat;

extern "C" {

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
    if (!IsWindow(hwnd) || (bar != SB_HORZ && bar != SB_VERT)) return FALSE;
    return BOOL(run_on_ui([=] {
        ensure_bar(hwnd, bar);
        with_bar(hwnd, bar, [=](ScrollState& s) {
            s.min = min;
            s.max = max;
            s.pos = std::clamp(s.pos, std::min(min, max), std::max(min, max));
            return LRESULT(1);
        });
        apply(hwnd, bar);
        // An empty range hides a window's scroll bar.
        set_shown(hwnd, bar, min != max);
        return LRESULT(TRUE);
    }));
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
    return BOOL(with_bar(hwnd, bar, [=](ScrollState& s) {
        if (min) *min = s.min;
        if (max) *max = s.max;
        return LRESULT(TRUE);
    }));
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (!IsWindow(hwnd)) return 0;
    return int(run_on_ui([=] {
        LRESULT old = with_bar(hwnd, bar, [=](ScrollState& s) {
            int before = s.pos;
            s.pos = std::clamp(pos, std::min(s.min, s.max), std::max(s.min, s.max));
            return LRESULT(before);
        });
        apply(hwnd, bar);
        return old;
    }));
}

int GetScrollPos(HWND hwnd, int bar) {
    return int(with_bar(hwnd, bar, [](ScrollState& s) { return LRESULT(s.pos); }));
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    if (!info) return FALSE;
    int track = 0;
    bool tracking = track_of(hwnd, bar, &track);
    return BOOL(with_bar(hwnd, bar, [&](ScrollState& s) {
        if (info->fMask & SIF_RANGE) {
            info->nMin = s.min;
            info->nMax = s.max;
        }
        if (info->fMask & SIF_PAGE) info->nPage = 0;
        if (info->fMask & SIF_POS) info->nPos = s.pos;
        if (info->fMask & SIF_TRACKPOS) info->nTrackPos = tracking ? track : s.pos;
        return LRESULT(TRUE);
    }));
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        for (int b : {SB_HORZ, SB_VERT}) {
            if (bar != UINT(b) && bar != SB_BOTH) continue;
            ensure_bar(hwnd, b);
            with_bar(hwnd, b, [=](ScrollState& s) {
                return LRESULT(s.enabled = arrows == ESB_ENABLE_BOTH);
            });
            apply(hwnd, b);
        }
        return LRESULT(TRUE);
    }));
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    if (!IsWindow(hwnd)) return FALSE;
    return BOOL(run_on_ui([=] {
        for (int b : {SB_HORZ, SB_VERT}) {
            if (bar != b && bar != SB_BOTH) continue;
            ensure_bar(hwnd, b);
            apply(hwnd, b);
            set_shown(hwnd, b, show);
        }
        return LRESULT(TRUE);
    }));
}
}
