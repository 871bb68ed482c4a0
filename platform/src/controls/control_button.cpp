// "BUTTON": push and default push buttons, check boxes, radio buttons and
// group boxes. The check state is the layer's (Qt's own toggling is undone):
// auto check boxes and auto radio buttons change it on a click, the others
// leave it to the program. An auto radio button unchecks the other auto radio
// buttons of its group: the siblings from the nearest WS_GROUP control at or
// before it up to the next WS_GROUP control.
#include <QCheckBox>
#include <QGroupBox>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <map>
#include <vector>

#include "controls_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

QColor sys_colour(int index) {
    COLORREF c = GetSysColor(index);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A group box drawn as the platform draws it: an etched frame in the fixed
// system colours with the title standing on its top line, and no fill, so the
// controls inside show on the dialog's own background.
class EtchedGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QFontMetrics fm(font());
        QRect r = rect().adjusted(0, fm.height() / 2, -2, -2);
        p.setPen(sys_colour(COLOR_BTNSHADOW));
        p.drawRect(r);
        p.setPen(sys_colour(COLOR_BTNHIGHLIGHT));
        p.drawRect(r.translated(1, 1));
        QString text = title();
        text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        if (text.isEmpty()) return;
        QRect box(7, 0, fm.horizontalAdvance(text) + 4, fm.height());
        p.fillRect(box, sys_colour(COLOR_BTNFACE));
        p.setPen(sys_colour(isEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        p.drawText(box, Qt::AlignCenter, text);
    }
};

struct ButtonState {
    DWORD type = BS_PUSHBUTTON;
    UINT check = BST_UNCHECKED;
};

std::map<HWND, ButtonState> g_buttons;  // user-interface thread only

DWORD type_of(DWORD style) {
    return style & BS_TYPEMASK;
}
bool is_check(DWORD t) {
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
}
bool is_radio(DWORD t) {
    return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

void show_check(HWND hwnd) {
    auto* b = qobject_cast<QAbstractButton*>(control_widget(hwnd));
    if (!b) return;
    UINT check = g_buttons[hwnd].check;
    QSignalBlocker block(b);
    if (auto* box = qobject_cast<QCheckBox*>(b))
        box->setCheckState(check == BST_CHECKED         ? Qt::Checked
                           : check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                        : Qt::Unchecked);
    else if (b->isCheckable())
        b->setChecked(check == BST_CHECKED);
}

std::vector<HWND> group_of(HWND hwnd) {
    std::vector<HWND> sibs;
    {
        std::lock_guard lock(table_mutex());
        Window* w = find_window(hwnd);
        Window* p = w ? find_window(w->parent) : nullptr;
        if (p) sibs = p->children;
    }
    size_t at = 0;
    while (at < sibs.size() && sibs[at] != hwnd) ++at;
    if (at == sibs.size()) return {hwnd};
    size_t first = at;
    while (first > 0 && !(GetWindowLong(sibs[first], GWL_STYLE) & WS_GROUP)) --first;
    size_t end = at + 1;
    while (end < sibs.size() && !(GetWindowLong(sibs[end], GWL_STYLE) & WS_GROUP)) ++end;
    return std::vector<HWND>(sibs.begin() + long(first), sibs.begin() + long(end));
}

void on_click(HWND hwnd, QWidget* widget) {
    if (!is_live_control(hwnd, widget)) return;
    ButtonState& st = g_buttons[hwnd];
    if (st.type == BS_AUTOCHECKBOX)
        st.check = st.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    if (st.type == BS_AUTO3STATE) st.check = (st.check + 1) % 3;
    if (st.type == BS_AUTORADIOBUTTON) {
        st.check = BST_CHECKED;
        for (HWND other : group_of(hwnd)) {
            auto it = g_buttons.find(other);
            if (other == hwnd || it == g_buttons.end() || it->second.type != BS_AUTORADIOBUTTON)
                continue;
            it->second.check = BST_UNCHECKED;
            show_check(other);
        }
    }
    show_check(hwnd);
    notify_parent(hwnd, BN_CLICKED);
}

QWidget* make_widget(HWND hwnd, DWORD style, const QString& text) {
    QWidget* parent = client_widget_of(hwnd);
    DWORD t = type_of(style);
    if (t == BS_GROUPBOX) {
        // A group box surrounds other controls: it stays beneath them and lets
        // their clicks through.
        if (QWidget* f = frame_of(hwnd)) {
            f->lower();
            f->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
        return new EtchedGroupBox(text, parent);
    }
    QAbstractButton* b;
    if (is_check(t)) {
        auto* box = new QCheckBox(text, parent);
        box->setTristate(t == BS_3STATE || t == BS_AUTO3STATE);
        b = box;
    } else if (is_radio(t)) {
        auto* radio = new QRadioButton(text, parent);
        radio->setAutoExclusive(false);
        b = radio;
    } else {
        auto* push = new QPushButton(text, parent);
        push->setAutoDefault(false);
        push->setDefault(t == BS_DEFPUSHBUTTON);
        b = push;
    }
    // Disabled text in the fixed grey text colour, which shows on the button
    // face (the style's own disabled grey nearly matches it).
    QPalette pal = b->palette();
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        pal.setColor(QPalette::Disabled, role, sys_colour(COLOR_GRAYTEXT));
    b->setPalette(pal);
    QObject::connect(b, &QAbstractButton::clicked, b, [hwnd, b] { on_click(hwnd, b); });
    return b;
}

LRESULT set_check(HWND hwnd, WPARAM wp) {
    ButtonState& st = g_buttons[hwnd];
    if (!is_check(st.type) && !is_radio(st.type)) return 0;
    st.check = UINT(wp) > BST_INDETERMINATE ? BST_CHECKED : UINT(wp);
    show_check(hwnd);
    return 0;
}

LRESULT set_text(HWND hwnd, LPARAM lp) {
    QString text = from_text(reinterpret_cast<LPCSTR>(lp));
    store_text(hwnd, text);
    QWidget* w = control_widget(hwnd);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(text);
    if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(text);
    return TRUE;
}

}  // namespace

LRESULT CALLBACK button_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
            g_buttons[hwnd] = ButtonState{type_of(DWORD(cs->style)), BST_UNCHECKED};
            adopt_widget(hwnd, make_widget(hwnd, DWORD(cs->style), from_text(cs->lpszName)));
            return 0;
        }
        case BM_GETCHECK:
            return g_buttons[hwnd].check;
        case BM_SETCHECK:
            return set_check(hwnd, wp);
        case BM_GETSTATE: {
            auto* b = qobject_cast<QAbstractButton*>(control_widget(hwnd));
            return g_buttons[hwnd].check | (b && b->isDown() ? 0x4 : 0);
        }
        case BM_SETSTATE:
            if (auto* b = qobject_cast<QAbstractButton*>(control_widget(hwnd))) b->setDown(wp != 0);
            return 0;
        case BM_SETSTYLE: {
            DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
            SetWindowLong(hwnd, GWL_STYLE, LONG((style & ~0xFFFFu) | (DWORD(wp) & 0xFFFFu)));
            if (auto* p = qobject_cast<QPushButton*>(control_widget(hwnd)))
                p->setDefault(type_of(DWORD(wp)) == BS_DEFPUSHBUTTON);
            return 0;
        }
        case BM_CLICK:
            if (IsWindowEnabled(hwnd))
                if (auto* b = qobject_cast<QAbstractButton*>(control_widget(hwnd))) b->click();
            return 0;
        case WM_SETTEXT:
            return set_text(hwnd, lp);
        case WM_DESTROY:
            g_buttons.erase(hwnd);
            return control_default(hwnd, msg, wp, lp);
        default:
            return control_default(hwnd, msg, wp, lp);
    }
}

}  // namespace plat::dlg
