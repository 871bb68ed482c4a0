// Test hooks on menu bars: choosing an item as a user would, and the texts shown.
#include <platform/testing.h>

#include <algorithm>
#include <string>

#include "menus/menus_private.h"

extern "C" {

BOOL PlatformSimulateMenuCommand(HWND hwnd, UINT id) {
    return plat::simulate_menu_command(hwnd, id) ? TRUE : FALSE;
}

BOOL PlatformSimulateMenuKeys(HWND hwnd, int pos, LPCSTR keys) {
    return plat::simulate_menu_keys(hwnd, pos, keys ? keys : "") ? TRUE : FALSE;
}

int PlatformMenuBarText(HWND hwnd, LPSTR buf, int size) {
    std::string text = plat::menu_bar_text(hwnd);
    if (!buf || size <= 0) return int(text.size());
    size_t n = std::min(text.size(), size_t(size - 1));
    text.copy(buf, n);
    buf[n] = '\0';
    return int(n);
}
}
