// "COMBOBOX": drop-down lists (CBS_DROPDOWNLIST) and editable combo boxes
// (CBS_DROPDOWN, CBS_SIMPLE). Indexes are 0-based; CB_ERR (-1) means none.
// Only the user's choices notify the parent (CBN_SELCHANGE, CBN_EDITCHANGE);
// the CB_ messages change the box silently. The window text is the shown text
// (the edit text, or the selected item's). The window is one line high: the
// height a template gives includes the list, which Qt shows as a popup.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

#include "controls_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

QComboBox* combo_of(HWND hwnd) {
    return qobject_cast<QComboBox*>(control_widget(hwnd));
}

void sync_text(HWND hwnd, QComboBox* c) {
    store_text(hwnd, c->currentText());
}

QWidget* make_widget(HWND hwnd, const CREATESTRUCT* cs) {
    auto* c = new QComboBox(client_widget_of(hwnd));
    DWORD type = DWORD(cs->style) & 3;
    if (type == CBS_DROPDOWN || type == CBS_SIMPLE) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setEditText(from_text(cs->lpszName));
    }
    c->setMaxVisibleItems(12);
    QObject::connect(c, &QComboBox::currentIndexChanged, c, [hwnd, c](int) {
        if (!is_live_control(hwnd, c)) return;
        sync_text(hwnd, c);
        notify_parent(hwnd, CBN_SELCHANGE);
    });
    QObject::connect(c, &QComboBox::editTextChanged, c, [hwnd, c](const QString&) {
        if (!is_live_control(hwnd, c)) return;
        sync_text(hwnd, c);
        notify_parent(hwnd, CBN_EDITCHANGE);
    });
    return c;
}

// The window keeps one line's height.
void fit_height(HWND hwnd, QComboBox* c, int cx, int cy) {
    int line = std::max(20, c->sizeHint().height());
    if (cy > line) SetWindowPos(hwnd, nullptr, 0, 0, cx, line, SWP_NOMOVE | SWP_NOZORDER);
}

int insert_at(QComboBox* c, DWORD style, int index, const QString& text) {
    int n = c->count();
    if (style & CBS_SORT) {
        index = 0;
        while (index < n && QString::compare(c->itemText(index), text, Qt::CaseInsensitive) <= 0)
            ++index;
    } else if (index < 0 || index > n) {
        index = n;
    }
    // Qt selects the first item put into an empty box; the platform does not.
    int current = n == 0 ? -1 : c->currentIndex();
    QString edit = c->currentText();
    c->insertItem(index, text);
    if (current >= index) ++current;
    c->setCurrentIndex(current);
    if (c->isEditable()) c->setEditText(edit);
    return index;
}

int find(QComboBox* c, WPARAM start, const QString& text, bool exact) {
    int n = c->count();
    int from = int(INT_PTR(start));
    from = from < 0 || from >= n ? 0 : from + 1;
    for (int k = 0; k < n; ++k) {
        int i = (from + k) % n;
        QString item = c->itemText(i);
        bool hit = exact ? QString::compare(item, text, Qt::CaseInsensitive) == 0
                         : item.startsWith(text, Qt::CaseInsensitive);
        if (hit) return i;
    }
    return CB_ERR;
}

int current(QComboBox* c) {
    int i = c->currentIndex();
    // Typing into an editable box leaves no item selected.
    if (i >= 0 && c->isEditable() && c->currentText() != c->itemText(i)) return CB_ERR;
    return i;
}

LRESULT select(HWND hwnd, QComboBox* c, int index) {
    if (index < 0 || index >= c->count()) {
        c->setCurrentIndex(-1);
        if (c->isEditable()) c->setEditText(QString());
        sync_text(hwnd, c);
        return CB_ERR;
    }
    c->setCurrentIndex(index);
    if (c->isEditable()) c->setEditText(c->itemText(index));
    sync_text(hwnd, c);
    return index;
}

LRESULT get_text(QComboBox* c, WPARAM index, LPARAM buf, bool lengthOnly) {
    int i = int(INT_PTR(index));
    if (i < 0 || i >= c->count()) return CB_ERR;
    QByteArray s = c->itemText(i).toUtf8();
    if (!lengthOnly && buf)
        std::copy(s.constData(), s.constData() + s.size() + 1, reinterpret_cast<char*>(buf));
    return s.size();
}

LRESULT set_text(HWND hwnd, QComboBox* c, LPARAM lp) {
    QString text = from_text(reinterpret_cast<LPCSTR>(lp));
    if (c->isEditable()) {
        c->setEditText(text);
        sync_text(hwnd, c);
        return TRUE;
    }
    int i = find(c, WPARAM(-1), text, true);
    if (i == CB_ERR) return CB_ERR;
    select(hwnd, c, i);
    return TRUE;
}

LRESULT combo_message(HWND hwnd, QComboBox* c, UINT msg, WPARAM wp, LPARAM lp) {
    // lParam is a text only for some of the messages.
    auto text = [lp] { return from_text(reinterpret_cast<LPCSTR>(lp)); };
    DWORD style = DWORD(GetWindowLong(hwnd, GWL_STYLE));
    switch (msg) {
        case CB_ADDSTRING:
            return insert_at(c, style, -1, text());
        case CB_INSERTSTRING:
            return insert_at(c, style & ~DWORD(CBS_SORT), int(INT_PTR(wp)), text());
        case CB_DELETESTRING:
            if (int(wp) < 0 || int(wp) >= c->count()) return CB_ERR;
            c->removeItem(int(wp));
            sync_text(hwnd, c);
            return c->count();
        case CB_RESETCONTENT:
            c->clear();
            sync_text(hwnd, c);
            return CB_OKAY;
        case CB_GETCOUNT:
            return c->count();
        case CB_GETCURSEL:
            return current(c);
        case CB_SETCURSEL:
            return select(hwnd, c, int(INT_PTR(wp)));
        case CB_GETLBTEXT:
            return get_text(c, wp, lp, false);
        case CB_GETLBTEXTLEN:
            return get_text(c, wp, 0, true);
        case CB_FINDSTRINGEXACT:
            return find(c, wp, text(), true);
        case CB_FINDSTRING:
            return find(c, wp, text(), false);
        case CB_SELECTSTRING: {
            int i = find(c, wp, text(), false);
            return i == CB_ERR ? CB_ERR : select(hwnd, c, i);
        }
        case CB_SETITEMDATA:
            if (int(wp) < 0 || int(wp) >= c->count()) return CB_ERR;
            c->setItemData(int(wp), QVariant::fromValue(qlonglong(lp)));
            return CB_OKAY;
        case CB_GETITEMDATA:
            if (int(wp) < 0 || int(wp) >= c->count()) return CB_ERR;
            return LRESULT(c->itemData(int(wp)).toLongLong());
        case CB_SHOWDROPDOWN:
            if (wp)
                c->showPopup();
            else
                c->hidePopup();
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return c->view() && c->view()->isVisible() ? TRUE : FALSE;
        case CB_LIMITTEXT:
            if (c->lineEdit()) c->lineEdit()->setMaxLength(wp ? int(wp) : 32767);
            return TRUE;
        case WM_SETTEXT:
            return set_text(hwnd, c, lp);
        default:
            return CB_ERR;
    }
}

}  // namespace

LRESULT CALLBACK combo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
        // WS_VSCROLL of a combo box means its list's scroll bar, which Qt's
        // popup has by itself: the window gets none.
        DWORD bars = DWORD(WS_VSCROLL | WS_HSCROLL);
        if (DWORD(cs->style) & bars) {
            SetWindowLong(hwnd, GWL_STYLE, LONG(DWORD(cs->style) & ~bars));
            ShowScrollBar(hwnd, SB_BOTH, FALSE);
        }
        auto* c = static_cast<QComboBox*>(make_widget(hwnd, cs));
        adopt_widget(hwnd, c);
        fit_height(hwnd, c, cs->cx, cs->cy);
        sync_text(hwnd, c);
        return 0;
    }
    bool ours = (msg >= CB_GETEDITSEL && msg <= CB_FINDSTRINGEXACT) || msg == WM_SETTEXT;
    QComboBox* c = ours ? combo_of(hwnd) : nullptr;
    if (!c) return control_default(hwnd, msg, wp, lp);
    // Changes made through messages are the program's: they notify nobody.
    QSignalBlocker block(c);
    return combo_message(hwnd, c, msg, wp, lp);
}

}  // namespace plat::dlg
