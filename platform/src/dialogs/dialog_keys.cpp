// The dialog keys that move the focus: Tab and Shift+Tab go through the
// controls with WS_TABSTOP in the template's order, the arrow keys go through
// the controls of one group (from a WS_GROUP control up to the next one).
// Hidden and disabled controls are passed over. Only buttons give their arrow
// keys away: edits, sliders and lists use them themselves.
#include <algorithm>
#include <vector>

#include "controls/controls_private.h"
#include "dialogs_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

// The dialog's controls in the order they were made (the template's).
std::vector<HWND> controls_of(HWND dlg) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(dlg);
    return w ? w->children : std::vector<HWND>{};
}

// The dialog's control that holds h (h itself, or the control it is part of).
HWND control_holding(HWND dlg, HWND h) {
    while (h && GetParent(h) != dlg) h = GetParent(h);
    return h;
}

DWORD style_of(HWND h) {
    return DWORD(GetWindowLong(h, GWL_STYLE));
}

bool is_class(HWND h, const char* name) {
    char cls[32] = {};
    GetClassName(h, cls, sizeof cls);
    return same_name(cls, name);
}

// A control that can have the focus: shown, enabled, and no label or frame.
bool takes_focus(HWND h) {
    DWORD s = style_of(h);
    if (!(s & WS_VISIBLE) || (s & WS_DISABLED)) return false;
    if (is_class(h, "STATIC")) return false;
    return !(is_class(h, "BUTTON") && (s & BS_TYPEMASK) == BS_GROUPBOX);
}

// The next (or previous) control after `from` in the list, going round, that
// passes `wanted`; from itself when none does.
template <typename Wanted>
HWND step(const std::vector<HWND>& list, HWND from, bool previous, Wanted wanted) {
    size_t n = list.size(), at = n;
    for (size_t i = 0; i < n; ++i)
        if (list[i] == from) at = i;
    if (n == 0) return from;
    for (size_t k = 1; k <= n; ++k) {
        size_t i = at == n ? (previous ? n - k : k - 1) : (previous ? at + n - k : at + k) % n;
        if (list[i] != from && wanted(list[i])) return list[i];
    }
    return from;
}

void focus_control(HWND h) {
    SetFocus(h);
    // An edit reached from the keyboard shows its whole text selected.
    if (is_class(h, "EDIT")) SendMessage(h, EM_SETSEL, 0, -1);
}

}  // namespace

bool dialog_key(HWND dlg, HWND focus, int vk, bool shift) {
    HWND from = control_holding(dlg, focus);
    HWND to = nullptr;
    if (vk == VK_TAB) {
        to = GetNextDlgTabItem(dlg, from, shift);
    } else if (vk == VK_LEFT || vk == VK_UP || vk == VK_RIGHT || vk == VK_DOWN) {
        if (!from || !is_class(from, "BUTTON")) return false;
        to = GetNextDlgGroupItem(dlg, from, vk == VK_LEFT || vk == VK_UP);
    } else {
        return false;
    }
    if (to && to != from) focus_control(to);
    return true;
}

}  // namespace plat::dlg

using namespace plat;
using namespace plat::dlg;

extern "C" {

HWND GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous) {
    HWND from = control_holding(dlg, ctl);
    return step(controls_of(dlg), from, previous,
                [](HWND h) { return (style_of(h) & WS_TABSTOP) && takes_focus(h); });
}

HWND GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous) {
    std::vector<HWND> all = controls_of(dlg), group;
    HWND from = control_holding(dlg, ctl);
    for (HWND h : all) {
        if (style_of(h) & WS_GROUP) {
            auto it = std::find(group.begin(), group.end(), from);
            if (it != group.end()) break;
            group.clear();
        }
        group.push_back(h);
    }
    if (std::find(group.begin(), group.end(), from) == group.end()) return from;
    return step(group, from, previous, takes_focus);
}
}
