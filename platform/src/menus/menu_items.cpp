// Changing and reading the items of a menu, by command id (searching popups
// too) or by position, with the platform's return values.
#include <algorithm>
#include <cstring>

#include "menus_private.h"

namespace plat {

namespace {

// An item as AppendMenu, InsertMenu and ModifyMenu describe it.
bool make_item(UINT flags, UINT_PTR idOrPopup, LPCSTR text, MenuItem* out) {
    out->flags = flags & kItemFlagMask;
    out->id = 0;
    out->sub = nullptr;
    out->text.clear();
    if (flags & MF_SEPARATOR) {
        out->flags &= ~UINT(MF_POPUP);
        return true;
    }
    if (flags & MF_POPUP) {
        out->sub = reinterpret_cast<HMENU>(idOrPopup);
        if (!find_menu(out->sub)) return false;
    } else {
        out->id = UINT(idOrPopup);
    }
    if (text && !(flags & (MF_BITMAP | MF_OWNERDRAW))) out->text = text;
    return true;
}

// Runs fn on the item under the lock, then reports the change; FALSE when absent.
template <typename Fn>
BOOL change_item(HMENU menu, UINT item, UINT flags, Fn fn) {
    HMENU owner = nullptr;
    {
        std::lock_guard lock(menu_mutex());
        int pos = locate_item(menu, item, flags, &owner);
        if (pos < 0) return FALSE;
        if (!fn(find_menu(owner)->items, size_t(pos))) return FALSE;
    }
    menu_changed(owner);
    return TRUE;
}

UINT public_flags(const MenuItem& it) {
    return it.flags & kItemFlagMask;
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
    {
        std::lock_guard lock(menu_mutex());
        Menu* m = find_menu(menu);
        MenuItem it;
        if (!m || !make_item(flags, idOrPopup, text, &it)) return FALSE;
        m->items.push_back(std::move(it));
    }
    menu_changed(menu);
    return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT pos, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
    HMENU owner = menu;
    {
        std::lock_guard lock(menu_mutex());
        Menu* m = find_menu(menu);
        MenuItem it;
        if (!m || !make_item(flags, idOrPopup, text, &it)) return FALSE;
        size_t at;
        if (flags & MF_BYPOSITION) {
            at = std::min<size_t>(pos, m->items.size());
        } else {
            int found = locate_item(menu, pos, flags, &owner);
            if (found < 0) return FALSE;
            m = find_menu(owner);
            at = size_t(found);
        }
        m->items.insert(m->items.begin() + long(at), std::move(it));
    }
    menu_changed(owner);
    return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT pos, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
    HMENU old_popup = nullptr;
    BOOL ok = change_item(menu, pos, flags, [&](std::vector<MenuItem>& items, size_t i) {
        MenuItem it;
        if (!make_item(flags, idOrPopup, text, &it)) return false;
        it.flags |= items[i].flags & MF_DEFAULT;
        if ((items[i].flags & MF_POPUP) && items[i].sub != it.sub) old_popup = items[i].sub;
        items[i] = std::move(it);
        return true;
    });
    // A replaced popup goes with its item, as on the platform.
    if (old_popup) DestroyMenu(old_popup);
    return ok;
}

BOOL DeleteMenu(HMENU menu, UINT pos, UINT flags) {
    HMENU popup = nullptr;
    BOOL ok = change_item(menu, pos, flags, [&](std::vector<MenuItem>& items, size_t i) {
        if (items[i].flags & MF_POPUP) popup = items[i].sub;
        items.erase(items.begin() + long(i));
        return true;
    });
    if (popup) DestroyMenu(popup);
    return ok;
}

BOOL RemoveMenu(HMENU menu, UINT pos, UINT flags) {
    return change_item(menu, pos, flags, [](std::vector<MenuItem>& items, size_t i) {
        items.erase(items.begin() + long(i));
        return true;
    });
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
    DWORD previous = DWORD(-1);
    change_item(menu, item, flags, [&](std::vector<MenuItem>& items, size_t i) {
        previous = items[i].flags & MF_CHECKED;
        items[i].flags = (items[i].flags & ~UINT(MF_CHECKED)) | (flags & MF_CHECKED);
        return true;
    });
    return previous;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
    BOOL previous = -1;
    change_item(menu, item, flags, [&](std::vector<MenuItem>& items, size_t i) {
        previous = BOOL(items[i].flags & (MF_GRAYED | MF_DISABLED));
        UINT state = flags & (MF_GRAYED | MF_DISABLED);
        items[i].flags = (items[i].flags & ~UINT(MF_GRAYED | MF_DISABLED)) | state;
        return true;
    });
    return previous;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
    {
        std::lock_guard lock(menu_mutex());
        Menu* m = find_menu(menu);
        if (!m) return FALSE;
        int pos = -1;
        if (item != UINT(-1)) {
            for (size_t i = 0; i < m->items.size() && pos < 0; ++i) {
                const MenuItem& it = m->items[i];
                bool hit = byPosition ? i == item : !(it.flags & MF_POPUP) && it.id == item;
                if (hit && !(it.flags & MF_SEPARATOR)) pos = int(i);
            }
            if (pos < 0) return FALSE;
        }
        for (size_t i = 0; i < m->items.size(); ++i) {
            UINT& f = m->items[i].flags;
            f = int(i) == pos ? (f | MF_DEFAULT) : (f & ~UINT(MF_DEFAULT));
        }
    }
    menu_changed(menu);
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags) {
    constexpr UINT kUseDisabled = 0x0001;
    std::lock_guard lock(menu_mutex());
    Menu* m = find_menu(menu);
    if (!m) return UINT(-1);
    for (size_t i = 0; i < m->items.size(); ++i) {
        const MenuItem& it = m->items[i];
        if (!(it.flags & MF_DEFAULT)) continue;
        if ((it.flags & (MF_GRAYED | MF_DISABLED)) && !(flags & kUseDisabled)) return UINT(-1);
        return byPosition ? UINT(i) : it.id;
    }
    return UINT(-1);
}

HMENU GetSubMenu(HMENU menu, int pos) {
    std::lock_guard lock(menu_mutex());
    Menu* m = find_menu(menu);
    if (!m || pos < 0 || size_t(pos) >= m->items.size()) return nullptr;
    const MenuItem& it = m->items[size_t(pos)];
    return (it.flags & MF_POPUP) && find_menu(it.sub) ? it.sub : nullptr;
}

int GetMenuItemCount(HMENU menu) {
    std::lock_guard lock(menu_mutex());
    Menu* m = find_menu(menu);
    return m ? int(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int pos) {
    std::lock_guard lock(menu_mutex());
    Menu* m = find_menu(menu);
    if (!m || pos < 0 || size_t(pos) >= m->items.size()) return UINT(-1);
    const MenuItem& it = m->items[size_t(pos)];
    return (it.flags & MF_POPUP) ? UINT(-1) : it.id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    std::lock_guard lock(menu_mutex());
    HMENU owner = nullptr;
    int pos = locate_item(menu, item, flags, &owner);
    if (pos < 0) return UINT(-1);
    const MenuItem& it = find_menu(owner)->items[size_t(pos)];
    UINT state = public_flags(it);
    // A popup gives its flags in the low byte and the number of its items above.
    if (it.flags & MF_POPUP) {
        Menu* sub = find_menu(it.sub);
        size_t n = sub ? std::min<size_t>(sub->items.size(), 0xFF) : 0;
        state = (state & 0xFF) | (UINT(n) << 8);
    }
    return state;
}

int GetMenuString(HMENU menu, UINT item, LPSTR buf, int size, UINT flags) {
    std::lock_guard lock(menu_mutex());
    HMENU owner = nullptr;
    int pos = locate_item(menu, item, flags, &owner);
    if (pos < 0) return 0;
    const std::string& text = find_menu(owner)->items[size_t(pos)].text;
    if (!buf || size <= 0) return int(text.size());
    size_t n = std::min(text.size(), size_t(size - 1));
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return int(n);
}
}
