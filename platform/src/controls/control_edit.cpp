// "EDIT": a single-line edit field. The window text follows the field's text
// at every change, and each change (typed or set with WM_SETTEXT) sends
// EN_CHANGE to the parent.
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "controls/common_controls.h"
#include "controls_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

constexpr int kDefaultLimit = 32767;

QLineEdit* edit_of(HWND hwnd) {
    return qobject_cast<QLineEdit*>(control_widget(hwnd));
}

QWidget* make_widget(HWND hwnd, const CREATESTRUCT* cs) {
    DWORD style = DWORD(cs->style);
    auto* e = new QLineEdit(from_text(cs->lpszName), client_widget_of(hwnd));
    e->setMaxLength(kDefaultLimit);
    Qt::Alignment h = (style & ES_CENTER)  ? Qt::AlignHCenter
                      : (style & ES_RIGHT) ? Qt::AlignRight
                                           : Qt::AlignLeft;
    e->setAlignment(h | Qt::AlignVCenter);
    e->setReadOnly(style & ES_READONLY);
    if (style & ES_PASSWORD) e->setEchoMode(QLineEdit::Password);
    if (style & ES_NUMBER)
        e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
    e->setFrame(true);
    QObject::connect(e, &QLineEdit::textChanged, e, [hwnd, e](const QString& text) {
        if (!is_live_control(hwnd, e)) return;
        store_text(hwnd, text);
        notify_parent(hwnd, EN_CHANGE);
    });
    return e;
}

LRESULT get_sel(HWND hwnd, WPARAM wp, LPARAM lp) {
    QLineEdit* e = edit_of(hwnd);
    int start = e ? (e->hasSelectedText() ? e->selectionStart() : e->cursorPosition()) : 0;
    int end = e && e->hasSelectedText() ? start + int(e->selectedText().size()) : start;
    if (wp) *reinterpret_cast<DWORD*>(wp) = DWORD(start);
    if (lp) *reinterpret_cast<DWORD*>(lp) = DWORD(end);
    return MAKELRESULT(start, end);
}

LRESULT set_sel(HWND hwnd, WPARAM wp, LPARAM lp) {
    QLineEdit* e = edit_of(hwnd);
    if (!e) return 0;
    int len = int(e->text().size());
    int start = int(INT_PTR(wp)), end = int(lp);
    if (start < 0) {
        e->deselect();
        return 0;
    }
    if (end < 0 || end > len) end = len;
    start = std::min(start, len);
    e->setSelection(start, end - start);
    return 0;
}

}  // namespace

LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
            adopt_widget(hwnd, make_widget(hwnd, cs));
            return 0;
        }
        case WM_SETTEXT: {
            QString text = from_text(reinterpret_cast<LPCSTR>(lp));
            store_text(hwnd, text);
            if (QLineEdit* e = edit_of(hwnd)) e->setText(text);
            return TRUE;
        }
        case EM_SETREADONLY: {
            if (QLineEdit* e = edit_of(hwnd)) e->setReadOnly(wp != 0);
            DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
            SetWindowLong(hwnd, GWL_STYLE, LONG(wp ? style | ES_READONLY : style & ~ES_READONLY));
            InvalidateRect(hwnd, nullptr, FALSE);
            return TRUE;
        }
        case EM_LIMITTEXT:
            if (QLineEdit* e = edit_of(hwnd)) e->setMaxLength(wp ? int(wp) : kDefaultLimit);
            return 0;
        case EM_GETLIMITTEXT: {
            QLineEdit* e = edit_of(hwnd);
            return e ? e->maxLength() : 0;
        }
        case EM_GETSEL:
            return get_sel(hwnd, wp, lp);
        case WM_PAINT:
            apply_control_colours(hwnd);
            return control_default(hwnd, msg, wp, lp);
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, FALSE);
            return control_default(hwnd, msg, wp, lp);
        case EM_SETSEL:
            return set_sel(hwnd, wp, lp);
        default:
            return control_default(hwnd, msg, wp, lp);
    }
}

}  // namespace plat::dlg
