// "SysListView32": a QTreeWidget without a tree, one row per item and one
// column per sub-item. The widget holds the texts; the item's image index and
// parameter ride along as item data. A column shows the sub-item of its place.
#include <QHeaderView>
#include <QIcon>
#include <QPixmap>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "controls/common_controls.h"
#include "controls_private.h"
#include "painting/painting_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kParamRole = Qt::UserRole + 2;

struct ListState {
    HIMAGELIST images[3] = {nullptr, nullptr, nullptr};  // by LVSIL_x
    DWORD exStyle = 0;
};

std::map<HWND, ListState> g_states;  // user-interface thread only

QTreeWidget* tree_of(HWND hwnd) {
    return qobject_cast<QTreeWidget*>(control_widget(hwnd));
}

HIMAGELIST item_images(HWND hwnd) {
    const ListState& s = g_states[hwnd];
    DWORD view = DWORD(GetWindowLong(hwnd, GWL_STYLE)) & LVS_TYPEMASK;
    return view == LVS_ICON ? s.images[LVSIL_NORMAL] : s.images[LVSIL_SMALL];
}

void show_image(HWND hwnd, QTreeWidgetItem* item) {
    QImage image;
    bool found = imagelist_image(item_images(hwnd), item->data(0, kImageRole).toInt(), &image);
    item->setIcon(0, found ? QIcon(QPixmap::fromImage(image)) : QIcon());
}

Qt::Alignment alignment(int fmt) {
    switch (fmt & 3) {
        case LVCFMT_RIGHT:
            return Qt::AlignRight | Qt::AlignVCenter;
        case LVCFMT_CENTER:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QWidget* make_widget(HWND hwnd, const CREATESTRUCT* cs) {
    auto* t = new QTreeWidget(client_widget_of(hwnd));
    DWORD style = DWORD(cs->style);
    t->setColumnCount(0);
    t->setRootIsDecorated(false);
    t->setItemsExpandable(false);
    t->setUniformRowHeights(true);
    t->setIconSize(QSize(16, 16));
    t->setHeaderHidden((style & LVS_TYPEMASK) != LVS_REPORT || (style & LVS_NOCOLUMNHEADER));
    t->header()->setStretchLastSection(false);
    t->header()->setSectionsMovable(false);
    t->setSelectionMode(style & LVS_SINGLESEL ? QAbstractItemView::SingleSelection
                                              : QAbstractItemView::ExtendedSelection);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(t, &QWidget::customContextMenuRequested, t, [hwnd, t](const QPoint& at) {
        if (!is_live_control(hwnd, t)) return;
        QPoint local = t->viewport()->mapTo(t, at);
        POINT pt{local.x(), local.y()};
        ClientToScreen(hwnd, &pt);
        SendMessage(hwnd, WM_CONTEXTMENU, WPARAM(hwnd), MAKELPARAM(pt.x, pt.y));
    });
    return t;
}

int copy_out(const QString& text, LPSTR buf, int size) {
    if (!buf || size <= 0) return 0;
    QByteArray s = text.toUtf8();
    int n = std::min(int(s.size()), size - 1);
    std::copy(s.constData(), s.constData() + n, buf);
    buf[n] = '\0';
    return n;
}

LRESULT insert_column(QTreeWidget* t, int place, const LVCOLUMN* c) {
    if (!c || place < 0) return -1;
    int n = t->columnCount();
    place = std::min(place, n);
    QTreeWidgetItem* head = t->headerItem();
    std::vector<int> widths;
    for (int i = 0; i < n; ++i) widths.push_back(t->columnWidth(i));
    t->setColumnCount(n + 1);
    for (int k = n; k > place; --k) {
        head->setText(k, head->text(k - 1));
        head->setData(k, Qt::UserRole, head->data(k - 1, Qt::UserRole));
        head->setTextAlignment(k, Qt::Alignment(head->textAlignment(k - 1)));
        t->setColumnWidth(k, widths[size_t(k - 1)]);
        for (int i = 0; i < t->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = t->topLevelItem(i);
            item->setText(k, item->text(k - 1));
            item->setTextAlignment(k, Qt::Alignment(item->textAlignment(k - 1)));
        }
    }
    int fmt = c->mask & LVCF_FMT ? c->fmt : LVCFMT_LEFT;
    head->setText(place, c->mask & LVCF_TEXT ? from_text(c->pszText) : QString());
    head->setData(place, Qt::UserRole, fmt);
    head->setTextAlignment(place, alignment(fmt));
    t->setColumnWidth(place, c->mask & LVCF_WIDTH ? c->cx : 50);
    for (int i = 0; i < t->topLevelItemCount(); ++i) {
        t->topLevelItem(i)->setText(place, QString());
        t->topLevelItem(i)->setTextAlignment(place, alignment(fmt));
    }
    return place;
}

LRESULT get_column(QTreeWidget* t, int col, LVCOLUMN* c) {
    if (!c || col < 0 || col >= t->columnCount()) return FALSE;
    QTreeWidgetItem* head = t->headerItem();
    if (c->mask & LVCF_FMT) c->fmt = head->data(col, Qt::UserRole).toInt();
    if (c->mask & LVCF_WIDTH) c->cx = t->columnWidth(col);
    if (c->mask & LVCF_TEXT) copy_out(head->text(col), c->pszText, c->cchTextMax);
    if (c->mask & LVCF_SUBITEM) c->iSubItem = col;
    return TRUE;
}

void set_state(QTreeWidgetItem* item, const LVITEM* it) {
    QTreeWidget* t = item->treeWidget();
    bool select = (it->stateMask & LVIS_SELECTED) && (it->state & LVIS_SELECTED);
    // Qt keeps several selected rows when told so by the program.
    if (select && t->selectionMode() == QAbstractItemView::SingleSelection) t->clearSelection();
    if (it->stateMask & LVIS_SELECTED) item->setSelected(select);
    if ((it->stateMask & LVIS_FOCUSED) && (it->state & LVIS_FOCUSED))
        t->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
}

UINT get_state(QTreeWidgetItem* item, UINT mask) {
    UINT s = 0;
    if (item->isSelected()) s |= LVIS_SELECTED;
    if (item->treeWidget()->currentItem() == item) s |= LVIS_FOCUSED;
    return s & mask;
}

// Applies the fields an LVITEM names to an item (sub-item texts included).
BOOL set_fields(HWND hwnd, QTreeWidgetItem* item, const LVITEM* it) {
    if (it->iSubItem < 0) return FALSE;
    if (it->mask & LVIF_TEXT) {
        item->setText(it->iSubItem, from_text(it->pszText));
        if (it->iSubItem < item->treeWidget()->columnCount())
            item->setTextAlignment(
                it->iSubItem,
                Qt::Alignment(item->treeWidget()->headerItem()->textAlignment(it->iSubItem)));
    }
    if (it->iSubItem != 0) return TRUE;
    if (it->mask & LVIF_IMAGE) {
        item->setData(0, kImageRole, it->iImage);
        show_image(hwnd, item);
    }
    if (it->mask & LVIF_PARAM)
        item->setData(0, kParamRole, QVariant::fromValue(qlonglong(it->lParam)));
    if (it->mask & LVIF_STATE) set_state(item, it);
    return TRUE;
}

LRESULT insert_item(HWND hwnd, QTreeWidget* t, const LVITEM* it) {
    if (!it || it->iSubItem != 0) return -1;
    int n = t->topLevelItemCount();
    int place = it->iItem < 0 || it->iItem > n ? n : it->iItem;
    auto* item = new QTreeWidgetItem;
    item->setData(0, kImageRole, -1);
    item->setData(0, kParamRole, QVariant::fromValue(qlonglong(0)));
    for (int c = 0; c < t->columnCount(); ++c)
        item->setTextAlignment(c, Qt::Alignment(t->headerItem()->textAlignment(c)));
    t->insertTopLevelItem(place, item);
    set_fields(hwnd, item, it);
    return place;
}

LRESULT get_item(QTreeWidget* t, LVITEM* it) {
    if (!it) return FALSE;
    QTreeWidgetItem* item = t->topLevelItem(it->iItem);
    if (!item || it->iSubItem < 0) return FALSE;
    if (it->mask & LVIF_TEXT) copy_out(item->text(it->iSubItem), it->pszText, it->cchTextMax);
    if (it->mask & LVIF_IMAGE) it->iImage = item->data(0, kImageRole).toInt();
    if (it->mask & LVIF_PARAM) it->lParam = LPARAM(item->data(0, kParamRole).toLongLong());
    if (it->mask & LVIF_STATE) it->state = get_state(item, it->stateMask);
    return TRUE;
}

LRESULT next_item(QTreeWidget* t, int start, UINT flags) {
    for (int i = start < 0 ? 0 : start + 1; i < t->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = t->topLevelItem(i);
        UINT s = get_state(item, LVIS_SELECTED | LVIS_FOCUSED);
        if ((flags & LVNI_SELECTED) && !(s & LVIS_SELECTED)) continue;
        if ((flags & LVNI_FOCUSED) && !(s & LVIS_FOCUSED)) continue;
        return i;
    }
    return -1;
}

LRESULT set_image_list(HWND hwnd, QTreeWidget* t, WPARAM which, LPARAM lp) {
    if (which > LVSIL_STATE) return 0;
    ListState& s = g_states[hwnd];
    HIMAGELIST old = s.images[which];
    s.images[which] = reinterpret_cast<HIMAGELIST>(lp);
    for (int i = 0; i < t->topLevelItemCount(); ++i) show_image(hwnd, t->topLevelItem(i));
    return reinterpret_cast<LRESULT>(old);
}

LRESULT item_message(HWND hwnd, QTreeWidget* t, UINT msg, WPARAM wp, LPARAM lp) {
    auto* it = reinterpret_cast<LVITEM*>(lp);
    QTreeWidgetItem* item = t->topLevelItem(int(INT_PTR(wp)));
    switch (msg) {
        case LVM_INSERTITEM:
            return insert_item(hwnd, t, it);
        case LVM_SETITEM:
            return it && t->topLevelItem(it->iItem)
                       ? set_fields(hwnd, t->topLevelItem(it->iItem), it)
                       : FALSE;
        case LVM_GETITEM:
            return get_item(t, it);
        case LVM_SETITEMTEXT: {
            if (!item || !it) return FALSE;
            LVITEM text = *it;
            text.mask = LVIF_TEXT;
            return set_fields(hwnd, item, &text);
        }
        case LVM_GETITEMTEXT:
            if (!item || !it || it->iSubItem < 0) return 0;
            return copy_out(item->text(it->iSubItem), it->pszText, it->cchTextMax);
        case LVM_SETITEMSTATE:
            if (!it) return FALSE;
            if (INT_PTR(wp) == -1) {
                for (int i = 0; i < t->topLevelItemCount(); ++i) set_state(t->topLevelItem(i), it);
                return TRUE;
            }
            if (!item) return FALSE;
            set_state(item, it);
            return TRUE;
        case LVM_GETITEMSTATE:
            return item ? get_state(item, UINT(lp)) : 0;
        case LVM_DELETEITEM:
            if (!item) return FALSE;
            delete item;
            return TRUE;
        default:
            return 0;
    }
}

LRESULT list_message(HWND hwnd, QTreeWidget* t, UINT msg, WPARAM wp, LPARAM lp) {
    int col = int(INT_PTR(wp));
    switch (msg) {
        case LVM_GETITEMCOUNT:
            return t->topLevelItemCount();
        case LVM_DELETEALLITEMS:
            t->clear();
            return TRUE;
        case LVM_GETNEXTITEM:
            return next_item(t, int(INT_PTR(wp)), UINT(lp));
        case LVM_GETSELECTEDCOUNT:
            return t->selectedItems().size();
        case LVM_INSERTCOLUMN:
            return insert_column(t, col, reinterpret_cast<const LVCOLUMN*>(lp));
        case LVM_GETCOLUMN:
            return get_column(t, col, reinterpret_cast<LVCOLUMN*>(lp));
        case LVM_DELETECOLUMN:
            if (col < 0 || col >= t->columnCount()) return FALSE;
            for (int k = col; k + 1 < t->columnCount(); ++k) {
                t->headerItem()->setText(k, t->headerItem()->text(k + 1));
                for (int i = 0; i < t->topLevelItemCount(); ++i)
                    t->topLevelItem(i)->setText(k, t->topLevelItem(i)->text(k + 1));
            }
            t->setColumnCount(t->columnCount() - 1);
            return TRUE;
        case LVM_GETCOLUMNWIDTH:
            return col >= 0 && col < t->columnCount() ? t->columnWidth(col) : 0;
        case LVM_SETCOLUMNWIDTH:
            if (col < 0 || col >= t->columnCount()) return FALSE;
            t->setColumnWidth(col, int(lp));
            return TRUE;
        case LVM_SETIMAGELIST:
            return set_image_list(hwnd, t, wp, lp);
        case LVM_GETIMAGELIST:
            return wp <= LVSIL_STATE ? reinterpret_cast<LRESULT>(g_states[hwnd].images[wp]) : 0;
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            DWORD& ex = g_states[hwnd].exStyle;
            DWORD old = ex;
            DWORD mask = wp ? DWORD(wp) : ~DWORD(0);
            ex = (ex & ~mask) | (DWORD(lp) & mask);
            return old;
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return g_states[hwnd].exStyle;
        default:
            return item_message(hwnd, t, msg, wp, lp);
    }
}

void destroy_list(HWND hwnd) {
    auto it = g_states.find(hwnd);
    if (it == g_states.end()) return;
    if (!(GetWindowLong(hwnd, GWL_STYLE) & LVS_SHAREIMAGELISTS))
        for (HIMAGELIST h : it->second.images)
            if (h) ImageList_Destroy(h);
    g_states.erase(it);
}

}  // namespace

LRESULT CALLBACK listview_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        g_states[hwnd] = ListState{};
        adopt_widget(hwnd, make_widget(hwnd, reinterpret_cast<CREATESTRUCT*>(lp)));
        return 0;
    }
    if (msg == WM_DESTROY) destroy_list(hwnd);
    QTreeWidget* t = msg >= LVM_FIRST && msg < LVM_FIRST + 0x100 ? tree_of(hwnd) : nullptr;
    if (!t) return control_default(hwnd, msg, wp, lp);
    QSignalBlocker block(t);
    return list_message(hwnd, t, msg, wp, lp);
}

}  // namespace plat::dlg
