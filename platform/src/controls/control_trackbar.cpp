// "msctls_trackbar32": a QSlider over an integer range. Moves by the user
// (mouse on the slider, or arrow, page, Home and End keys) report to the
// parent as WM_HSCROLL / WM_VSCROLL; moves by message do not.
#include <QSlider>
#include <algorithm>

#include "controls_private.h"
#include "platform/commctrl.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

constexpr int kDefaultMax = 100;
constexpr int kDefaultPage = 20;
const char* const kSilent = "platformSilent";  // set while a message moves the slider
const char* const kAction = "platformAction";  // the TB_ code of the user's last action

QSlider* slider_of(HWND hwnd) {
    return qobject_cast<QSlider*>(control_widget(hwnd));
}

int code_of(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            return TB_LINEDOWN;
        case QAbstractSlider::SliderSingleStepSub:
            return TB_LINEUP;
        case QAbstractSlider::SliderPageStepAdd:
            return TB_PAGEDOWN;
        case QAbstractSlider::SliderPageStepSub:
            return TB_PAGEUP;
        case QAbstractSlider::SliderToMinimum:
            return TB_TOP;
        case QAbstractSlider::SliderToMaximum:
            return TB_BOTTOM;
        default:
            return TB_THUMBTRACK;
    }
}

void report(HWND hwnd, int code, int pos) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    UINT msg = (GetWindowLong(hwnd, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    bool thumb = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    SendMessage(parent, msg, MAKEWPARAM(code, thumb ? pos : 0), reinterpret_cast<LPARAM>(hwnd));
}

QSlider* make_widget(HWND hwnd, DWORD style) {
    auto* s =
        new QSlider((style & TBS_VERT) ? Qt::Vertical : Qt::Horizontal, client_widget_of(hwnd));
    s->setRange(0, kDefaultMax);
    s->setPageStep(kDefaultPage);
    s->setSingleStep(1);
    s->setInvertedAppearance(style & TBS_VERT);
    if (style & TBS_NOTICKS)
        s->setTickPosition(QSlider::NoTicks);
    else if (style & TBS_BOTH)
        s->setTickPosition(QSlider::TicksBothSides);
    else
        s->setTickPosition((style & TBS_TOP) ? QSlider::TicksAbove : QSlider::TicksBelow);
    s->setTickInterval(1);
    QObject::connect(s, &QSlider::actionTriggered, s,
                     [s](int action) { s->setProperty(kAction, code_of(action)); });
    QObject::connect(s, &QSlider::valueChanged, s, [hwnd, s](int pos) {
        if (!is_live_control(hwnd, s) || s->property(kSilent).toBool()) return;
        int code = s->property(kAction).isValid() ? s->property(kAction).toInt() : TB_THUMBTRACK;
        report(hwnd, code, pos);
        if (code != TB_THUMBTRACK && is_live_control(hwnd, s)) report(hwnd, TB_ENDTRACK, pos);
    });
    QObject::connect(s, &QSlider::sliderReleased, s, [hwnd, s] {
        if (!is_live_control(hwnd, s)) return;
        report(hwnd, TB_THUMBPOSITION, s->value());
        if (is_live_control(hwnd, s)) report(hwnd, TB_ENDTRACK, s->value());
    });
    return s;
}

// The keys a trackbar answers, as the slider's actions.
bool key_action(WPARAM vk, QAbstractSlider::SliderAction* action) {
    switch (vk) {
        case VK_LEFT:
        case VK_UP:
            *action = QAbstractSlider::SliderSingleStepSub;
            return true;
        case VK_RIGHT:
        case VK_DOWN:
            *action = QAbstractSlider::SliderSingleStepAdd;
            return true;
        case VK_PRIOR:
            *action = QAbstractSlider::SliderPageStepSub;
            return true;
        case VK_NEXT:
            *action = QAbstractSlider::SliderPageStepAdd;
            return true;
        case VK_HOME:
            *action = QAbstractSlider::SliderToMinimum;
            return true;
        case VK_END:
            *action = QAbstractSlider::SliderToMaximum;
            return true;
        default:
            return false;
    }
}

// Applies a change by message without telling the parent.
template <typename F>
void quietly(QSlider* s, F change) {
    s->setProperty(kSilent, true);
    change();
    s->setProperty(kSilent, false);
}

LRESULT handle(HWND hwnd, QSlider* s, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case TBM_GETPOS:
            return s->value();
        case TBM_GETRANGEMIN:
            return s->minimum();
        case TBM_GETRANGEMAX:
            return s->maximum();
        case TBM_SETPOS:
            quietly(s, [&] { s->setValue(int(lp)); });
            return 0;
        case TBM_SETRANGE:
            quietly(s, [&] { s->setRange(short(LOWORD(lp)), short(HIWORD(lp))); });
            return 0;
        case TBM_SETRANGEMIN:
            quietly(s, [&] { s->setMinimum(int(lp)); });
            return 0;
        case TBM_SETRANGEMAX:
            quietly(s, [&] { s->setMaximum(int(lp)); });
            return 0;
        case TBM_SETTICFREQ:
            s->setTickInterval(std::max(1, int(wp)));
            return 0;
        case TBM_SETPAGESIZE: {
            int old = s->pageStep();
            s->setPageStep(int(lp));
            return old;
        }
        case TBM_GETPAGESIZE:
            return s->pageStep();
        case TBM_SETLINESIZE: {
            int old = s->singleStep();
            s->setSingleStep(int(lp));
            return old;
        }
        case TBM_GETLINESIZE:
            return s->singleStep();
        case WM_KEYDOWN: {
            QAbstractSlider::SliderAction action;
            if (!key_action(wp, &action)) return control_default(hwnd, msg, wp, lp);
            if (IsWindowEnabled(hwnd)) s->triggerAction(action);
            return 0;
        }
        default:
            return control_default(hwnd, msg, wp, lp);
    }
}

}  // namespace

LRESULT CALLBACK trackbar_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
        adopt_widget(hwnd, make_widget(hwnd, DWORD(cs->style)));
        return 0;
    }
    QSlider* s = slider_of(hwnd);
    if (!s) return control_default(hwnd, msg, wp, lp);
    return handle(hwnd, s, msg, wp, lp);
}

}  // namespace plat::dlg
