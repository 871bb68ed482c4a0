// Popup menus shown at a screen point (TrackPopupMenu). The popup runs its
// own loop until an item is chosen or it is dismissed; with the question hook
// installed the hook chooses instead and nothing is shown.
#include <QMenu>
#include <QPointer>

#include "menus_private.h"
#include "windows/windows_private.h"

namespace plat {

namespace {

// The command items of a menu and its popups, depth first: "id\ttext" lines.
void list_items(HMENU menu, std::string* out, int depth) {
    Menu* m = find_menu(menu);
    if (!m || depth > 16) return;
    for (const MenuItem& it : m->items) {
        if (it.flags & MF_SEPARATOR) continue;
        if (it.flags & MF_POPUP) {
            list_items(it.sub, out, depth + 1);
            continue;
        }
        if (!out->empty()) *out += '\n';
        *out += std::to_string(it.id) + '\t' + it.text;
    }
}

// Whether id names an item that can be chosen (present and not grayed).
bool choosable(HMENU menu, UINT id) {
    std::lock_guard lock(menu_mutex());
    HMENU owner = nullptr;
    int pos = locate_item(menu, id, MF_BYCOMMAND, &owner);
    return pos >= 0 && !(find_menu(owner)->items[size_t(pos)].flags & (MF_GRAYED | MF_DISABLED));
}

UINT ask_hook(HMENU menu, HWND hwnd, bool* asked) {
    std::string text;
    {
        std::lock_guard lock(menu_mutex());
        list_items(menu, &text, 0);
    }
    PlatformQuestion q{"PopupMenu", text.c_str(), "", 0, hwnd, menu};
    INT_PTR answer = 0;
    *asked = PlatformAskHook(&q, &answer) != FALSE;
    if (!*asked || answer <= 0 || !choosable(menu, UINT(answer))) return 0;
    return UINT(answer);
}

QPoint aligned(QMenu& qm, UINT flags, int x, int y) {
    QSize s = qm.sizeHint();
    if (flags & TPM_RIGHTALIGN)
        x -= s.width();
    else if (flags & TPM_CENTERALIGN)
        x -= s.width() / 2;
    if (flags & TPM_BOTTOMALIGN)
        y -= s.height();
    else if (flags & TPM_VCENTERALIGN)
        y -= s.height() / 2;
    return QPoint(x, y);
}

UINT track(HMENU menu, UINT flags, int x, int y, HWND hwnd) {
    SendMessage(hwnd, WM_INITMENUPOPUP, WPARAM(menu), MAKELPARAM(0, FALSE));
    mdi_refresh_menu_lists(menu);
    bool asked = false;
    UINT chosen = ask_hook(menu, hwnd, &asked);
    if (!asked) {
        // On the heap: the owner may go while the popup runs its loop.
        QPointer<QMenu> qm = new QMenu(frame_of(top_level_of(hwnd)));
        attach_popup(qm, menu, 0, hwnd, false, false);
        QPoint at = aligned(*qm, flags, x, y);
        QPointer<QAction> picked = qm->exec(at);
        chosen = picked ? action_command(picked) : 0;
        if (qm) qm->deleteLater();
    }
    if (!(flags & TPM_NONOTIFY)) SendMessage(hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    return chosen;
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND hwnd, const RECT*) {
    if (!IsMenu(menu) || !IsWindow(hwnd)) return FALSE;
    UINT chosen = UINT(run_on_ui([=] { return LRESULT(track(menu, flags, x, y, hwnd)); }));
    if (flags & TPM_RETURNCMD) return BOOL(chosen);
    if (chosen) PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return TRUE;
}
}
