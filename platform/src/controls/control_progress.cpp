// "msctls_progress32": a QProgressBar over a 16-bit range, set only by
// messages.
#include <QProgressBar>
#include <algorithm>

#include "controls_private.h"
#include "platform/commctrl.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

constexpr int kDefaultMax = 100;
constexpr int kDefaultStep = 10;
const char* const kStep = "platformStep";

QProgressBar* bar_of(HWND hwnd) {
    return qobject_cast<QProgressBar*>(control_widget(hwnd));
}

QProgressBar* make_widget(HWND hwnd, DWORD style) {
    auto* b = new QProgressBar(client_widget_of(hwnd));
    b->setOrientation((style & PBS_VERTICAL) ? Qt::Vertical : Qt::Horizontal);
    b->setRange(0, kDefaultMax);
    b->setValue(0);
    b->setTextVisible(false);
    b->setProperty(kStep, kDefaultStep);
    return b;
}

LRESULT range_of(const QProgressBar* b) {
    return MAKELPARAM(b->minimum(), b->maximum());
}

// A range whose ends come in the wrong order is taken the right way round.
void set_range(QProgressBar* b, int low, int high) {
    int pos = b->value();
    b->setRange(std::min(low, high), std::max(low, high));
    b->setValue(std::clamp(pos, b->minimum(), b->maximum()));
}

LRESULT handle(HWND hwnd, QProgressBar* b, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case PBM_SETRANGE: {
            LRESULT old = range_of(b);
            set_range(b, short(LOWORD(lp)), short(HIWORD(lp)));
            return old;
        }
        case PBM_SETPOS: {
            int old = b->value();
            b->setValue(std::clamp(int(wp), b->minimum(), b->maximum()));
            return old;
        }
        case PBM_SETSTEP: {
            int old = b->property(kStep).toInt();
            b->setProperty(kStep, int(wp));
            return old;
        }
        case PBM_GETRANGE:
            if (auto* r = reinterpret_cast<PBRANGE*>(lp)) *r = PBRANGE{b->minimum(), b->maximum()};
            return wp ? b->minimum() : b->maximum();
        case PBM_GETPOS:
            return b->value();
        default:
            return control_default(hwnd, msg, wp, lp);
    }
}

}  // namespace

LRESULT CALLBACK progress_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
        adopt_widget(hwnd, make_widget(hwnd, DWORD(cs->style)));
        return 0;
    }
    QProgressBar* b = bar_of(hwnd);
    if (!b) return control_default(hwnd, msg, wp, lp);
    return handle(hwnd, b, msg, wp, lp);
}

}  // namespace plat::dlg
