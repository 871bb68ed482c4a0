// Menus from templates registered as "MENU" data, and the system menu of a
// window. A template is a flat list of PlatformMenuItem in which a popup's
// items follow it and MF_END marks the last item of each level.
#include <map>

#include "menus_private.h"

namespace plat {

namespace {

// Builds the items of one level into menu from items[*at]; gives false when
// the template ends before the level's MF_END.
bool parse_level(HMENU menu, const PlatformMenuItem* items, size_t count, size_t* at, int depth) {
    if (depth > 16) return false;
    while (*at < count) {
        const PlatformMenuItem& src = items[(*at)++];
        UINT flags = src.flags & kItemFlagMask;
        MenuItem it;
        it.flags = flags;
        if (src.text && !(flags & MF_SEPARATOR)) it.text = src.text;
        if (flags & MF_POPUP) {
            it.sub = new_menu(true);
            if (!it.sub || !parse_level(it.sub, items, count, at, depth + 1)) return false;
        } else if (!(flags & MF_SEPARATOR)) {
            it.id = src.id;
        }
        find_menu(menu)->items.push_back(std::move(it));
        if (src.flags & MF_END) return true;
    }
    return depth == 0;
}

struct SystemItem {
    UINT flags;
    UINT id;
    const char* text;
};

const SystemItem kSystemItems[] = {
    {MF_STRING, SC_RESTORE, "&Restore"},     {MF_STRING, SC_MOVE, "&Move"},
    {MF_STRING, SC_SIZE, "&Size"},           {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
    {MF_STRING, SC_MAXIMIZE, "Ma&ximize"},   {MF_SEPARATOR, 0, nullptr},
    {MF_STRING, SC_CLOSE, "&Close\tAlt+F4"},
};

// The system menus handed out, by window; a record outlives a dead window
// until the handle is asked for again.
std::map<HWND, HMENU>& system_menus() {
    static std::map<HWND, HMENU> m;
    return m;
}

HMENU make_system_menu() {
    HMENU menu = new_menu(true);
    if (!menu) return nullptr;
    for (const SystemItem& s : kSystemItems) {
        MenuItem it;
        it.flags = s.flags;
        it.id = s.id;
        if (s.text) it.text = s.text;
        find_menu(menu)->items.push_back(std::move(it));
    }
    return menu;
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

HMENU LoadMenu(HINSTANCE inst, LPCSTR name) {
    DWORD size = 0;
    const void* data = PlatformFindData(inst, "MENU", name, &size);
    if (!data || size < sizeof(PlatformMenuItem)) return nullptr;
    const auto* items = static_cast<const PlatformMenuItem*>(data);
    size_t count = size / sizeof(PlatformMenuItem), at = 0;
    std::lock_guard lock(menu_mutex());
    HMENU menu = new_menu(false);
    if (!menu) return nullptr;
    if (!parse_level(menu, items, count, &at, 0)) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    if (!IsWindow(hwnd)) return nullptr;
    std::lock_guard lock(menu_mutex());
    for (auto it = system_menus().begin(); it != system_menus().end();) {
        if (!IsWindow(it->first)) {
            DestroyMenu(it->second);
            it = system_menus().erase(it);
        } else {
            ++it;
        }
    }
    auto found = system_menus().find(hwnd);
    if (revert) {
        if (found != system_menus().end()) {
            DestroyMenu(found->second);
            system_menus().erase(found);
        }
        return nullptr;
    }
    if (found != system_menus().end() && find_menu(found->second)) return found->second;
    HMENU menu = make_system_menu();
    if (menu) system_menus()[hwnd] = menu;
    return menu;
}
}
