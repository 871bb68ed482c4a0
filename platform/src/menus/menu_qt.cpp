// Qt menus filled from menu records; see menus_private.h.
#include <QAction>
#include <QCoreApplication>
#include <QFont>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>

#include "menus_private.h"

namespace plat {

namespace {

const char* const kItem = "platItem";        // command id, or position of a popup
const char* const kFlags = "platFlags";      // flags for WM_MENUSELECT
const char* const kHolder = "platMenu";      // the menu holding the item
const char* const kPopup = "platPopup";      // the item is a popup
const char* const kPos = "platPos";          // position in the holding menu
const char* const kDefault = "platDefault";  // the menu's default item (MF_DEFAULT)

std::vector<MenuItem> items_of(HMENU menu) {
    std::lock_guard lock(menu_mutex());
    Menu* m = find_menu(menu);
    return m ? m->items : std::vector<MenuItem>{};
}

void fill(QMenu* qm, HMENU menu, HWND owner, bool sendCommands) {
    // Submenus of the previous filling go when it is safe; their actions leave now.
    for (QAction* a : qm->actions())
        if (QMenu* sub = a->menu()) sub->deleteLater();
    qm->clear();
    std::vector<MenuItem> items = items_of(menu);
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& it = items[i];
        if (it.flags & MF_SEPARATOR) {
            qm->addSeparator();
            continue;
        }
        QAction* a;
        if (it.flags & MF_POPUP) {
            auto* sub = new QMenu(qm);
            attach_popup(sub, it.sub, int(i), owner, sendCommands);
            a = sub->menuAction();
            qm->addAction(a);
        } else {
            a = qm->addAction(QString());
            if (sendCommands) {
                UINT id = it.id;
                QObject::connect(a, &QAction::triggered,
                                 [owner, id] { menu_command_chosen(owner, id); });
            }
        }
        describe_action(a, it, menu, int(i));
    }
}

// A mnemonic letter that several items of one menu share only moves the
// highlight on (Qt's rule, and the platform's); when the menu's default item
// is one of them and can be chosen, the letter chooses it, as Return would.
// This keeps "&Undo" reachable beside "C&ut" while the frame makes it the
// default item.
struct DefaultMnemonic : QObject {
    bool eventFilter(QObject* watched, QEvent* e) override {
        auto* qm = qobject_cast<QMenu*>(watched);
        if (!qm || e->type() != QEvent::KeyPress) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->modifiers() & ~(Qt::ShiftModifier | Qt::AltModifier)) || k->text().size() != 1)
            return false;
        const int letter = k->text().at(0).toUpper().unicode();
        int sharing = 0;
        QAction* chosen = nullptr;
        for (QAction* a : qm->actions()) {
            if (a->isSeparator() || !a->isVisible()) continue;
            QKeySequence mnemonic = QKeySequence::mnemonic(a->text());
            if (mnemonic.isEmpty() || (mnemonic[0].toCombined() & 0xFFFF) != letter) continue;
            ++sharing;
            if (a->property(kDefault).toBool() && a->isEnabled()) chosen = a;
        }
        if (sharing < 2 || !chosen) return false;
        qm->setActiveAction(chosen);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(qm, &enter);
        return true;
    }
};

QObject* default_mnemonic() {
    static auto* filter = new DefaultMnemonic;  // lives to the process end
    return filter;
}

}  // namespace

QString qt_menu_text(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

void describe_action(QAction* a, const MenuItem& it, HMENU holder, int pos) {
    bool popup = it.flags & MF_POPUP;
    a->setText(qt_menu_text(it.text));
    a->setEnabled(!(it.flags & (MF_GRAYED | MF_DISABLED)));
    a->setCheckable(!popup && (it.flags & MF_CHECKED));
    a->setChecked(!popup && (it.flags & MF_CHECKED));
    QFont f = a->font();
    f.setBold(it.flags & MF_DEFAULT);
    a->setFont(f);
    a->setProperty(kItem, popup ? uint(pos) : uint(it.id));
    a->setProperty(
        kFlags, popup ? uint(MF_POPUP) : uint(it.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED)));
    a->setProperty(kHolder, quintptr(holder));
    a->setProperty(kPopup, popup);
    a->setProperty(kPos, pos);
    a->setProperty(kDefault, !popup && (it.flags & MF_DEFAULT));
}

void attach_popup(QMenu* qm, HMENU menu, int pos, HWND owner, bool sendCommands, bool initOnShow) {
    QPointer<QMenu> guard(qm);
    qm->installEventFilter(default_mnemonic());
    QObject::connect(qm, &QMenu::aboutToShow, [guard, menu, pos, owner, sendCommands, initOnShow] {
        if (!guard) return;
        if (initOnShow) {
            SendMessage(owner, WM_INITMENUPOPUP, WPARAM(menu), MAKELPARAM(pos, FALSE));
            mdi_refresh_menu_lists(menu);
        }
        if (guard) fill(guard, menu, owner, sendCommands);
    });
    QObject::connect(qm, &QMenu::hovered, [owner](QAction* a) { send_menu_select(owner, a); });
    fill(qm, menu, owner, sendCommands);
}

void send_menu_select(HWND owner, QAction* a) {
    if (!a || a->isSeparator() || !a->property(kHolder).isValid()) return;
    UINT item = a->property(kItem).toUInt();
    UINT flags = a->property(kFlags).toUInt();
    auto holder = LPARAM(a->property(kHolder).value<quintptr>());
    SendMessage(owner, WM_MENUSELECT, MAKEWPARAM(item, flags), holder);
}

int action_position(const QAction* a) {
    return a && a->property(kPos).isValid() ? a->property(kPos).toInt() : -1;
}

UINT action_command(const QAction* a) {
    if (!a || a->property(kPopup).toBool()) return 0;
    return a->property(kItem).toUInt();
}

QMenu* action_popup(const QAction* a) {
    return a && a->property(kPopup).toBool() ? a->menu() : nullptr;
}

}  // namespace plat
