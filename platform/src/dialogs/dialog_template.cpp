// Making dialogs from templates: the dialog window at its template place, one
// child window per control (dialog units to pixels), then WM_INITDIALOG.
#include <QFont>
#include <QWidget>
#include <algorithm>
#include <mutex>

#include "dialogs_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

void register_dialog_class();
void register_control_classes();

namespace {

// Where a top-level dialog goes: its template place in the owner's client
// area, or centred over the owner (or the screen) for DS_CENTER.
POINT top_level_place(const DIALOGTEMPLATE* t, HWND owner, int cx, int cy) {
    POINT origin{0, 0};
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner) {
        ClientToScreen(owner, &origin);
        GetClientRect(owner, &area);
        area = RECT{origin.x, origin.y, origin.x + area.right, origin.y + area.bottom};
    }
    if (t->style & DS_CENTER)
        return POINT{area.left + (area.right - area.left - cx) / 2,
                     area.top + (area.bottom - area.top - cy) / 2};
    return POINT{origin.x + du_x(t->x), origin.y + du_y(t->y)};
}

HWND make_window(HINSTANCE inst, const DIALOGTEMPLATE* t, HWND owner, DLGPROC proc) {
    bool child = owner && (t->style & (DS_CONTROL | WS_CHILD));
    DWORD style = t->style & ~DWORD(WS_VISIBLE);
    style = child ? (style | WS_CHILD) & ~DWORD(WS_POPUP) : (style | WS_POPUP) & ~DWORD(WS_CHILD);
    int cx = du_x(t->cx), cy = du_y(t->cy);
    POINT at = child ? POINT{du_x(t->x), du_y(t->y)} : top_level_place(t, owner, cx, cy);
    return CreateWindowEx(t->exStyle, "#32770", t->caption ? t->caption : "", style, at.x, at.y, cx,
                          cy, owner, nullptr, inst, reinterpret_cast<LPVOID>(proc));
}

HWND make_item(HINSTANCE inst, HWND dlg, const DIALOGITEM& item) {
    return CreateWindowEx(item.exStyle, item.className, item.text ? item.text : "",
                          item.style | WS_CHILD | WS_VISIBLE, du_x(item.x), du_y(item.y),
                          du_x(item.cx), du_y(item.cy), dlg,
                          reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), inst, nullptr);
}

}  // namespace

QFont dialog_font() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);  // 8 points on a 96-dpi screen
    return f;
}

void register_classes() {
    static std::once_flag once;
    std::call_once(once, [] {
        register_dialog_class();
        register_control_classes();
    });
}

const DIALOGTEMPLATE* find_template(HINSTANCE inst, LPCSTR name) {
    if (!name) return nullptr;
    DWORD size = 0;
    const void* data = PlatformFindData(inst, RT_DIALOG_NAME, name, &size);
    if (!data && inst) data = PlatformFindData(nullptr, RT_DIALOG_NAME, name, &size);
    if (!data || size < sizeof(DIALOGTEMPLATE)) return nullptr;
    return static_cast<const DIALOGTEMPLATE*>(data);
}

HWND create_from_template(HINSTANCE inst, const DIALOGTEMPLATE* t, HWND owner, DLGPROC proc,
                          LPARAM param) {
    register_classes();
    HWND dlg = make_window(inst, t, owner, proc);
    if (!dlg) return nullptr;
    if (QWidget* frame = frame_of(dlg)) frame->setFont(dialog_font());
    HWND first_tab = nullptr;
    for (UINT i = 0; i < t->itemCount && IsWindow(dlg); ++i) {
        HWND item = make_item(inst, dlg, t->items[i]);
        if (item && !first_tab && (t->items[i].style & WS_TABSTOP)) first_tab = item;
    }
    if (!IsWindow(dlg)) return nullptr;
    LRESULT focus = SendMessage(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first_tab), param);
    if (!IsWindow(dlg)) return nullptr;
    if (focus && first_tab && IsWindow(first_tab)) SetFocus(first_tab);
    return dlg;
}

}  // namespace plat::dlg

// Classes exist from the moment the layer is loaded, so programs can make
// controls with CreateWindowEx before any dialog was shown.
namespace {
const bool g_classes_registered = (plat::dlg::register_classes(), true);
}
