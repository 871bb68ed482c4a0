// The list of documents that an MDI client keeps at the end of its window
// menu: a separator and "&1 title", "&2 title", ... with ids from the client's
// first child id, the active document checked. The documents' ids are
// numbered to match, so that DefFrameProc finds the chosen one by its id.
#include "menus_private.h"
#include "windows/windows_private.h"

namespace plat {

namespace {

struct ListState {
    HMENU menu = nullptr;
    UINT first = 0;
    HWND active = nullptr;
    std::vector<HWND> docs;
    std::vector<std::string> titles;
};

bool read_client(HWND client, ListState* st) {
    std::lock_guard lock(table_mutex());
    Window* w = find_window(client);
    if (!w || w->kind != Kind::MdiClient) return false;
    st->menu = w->mdi.window_menu;
    st->first = w->mdi.first_child_id;
    st->active = w->mdi.active;
    for (HWND k : w->children) {
        Window* c = find_window(k);
        if (!c || c->kind != Kind::MdiChild || c->destroying) continue;
        c->id = LONG_PTR(st->first + UINT(st->docs.size()));
        st->docs.push_back(k);
        st->titles.push_back(c->title);
    }
    return true;
}

// Removes the list from a menu; caller holds menu_mutex().
void strip_list(Menu* m) {
    auto& items = m->items;
    for (size_t i = items.size(); i-- > 0;)
        if (items[i].flags & kItemMdiList) items.erase(items.begin() + long(i));
}

}  // namespace

void mdi_refresh_window_menu(HWND client) {
    ListState st;
    if (!read_client(client, &st)) return;
    {
        std::lock_guard lock(menu_mutex());
        Menu* m = find_menu(st.menu);
        if (!m) return;
        strip_list(m);
        if (!st.docs.empty()) {
            MenuItem sep;
            sep.flags = MF_SEPARATOR | kItemMdiList;
            m->items.push_back(sep);
        }
        for (size_t i = 0; i < st.docs.size(); ++i) {
            MenuItem it;
            it.flags = kItemMdiList | (st.docs[i] == st.active ? MF_CHECKED : 0);
            it.id = st.first + UINT(i);
            it.text = "&" + std::to_string(i + 1) + " " + st.titles[i];
            m->items.push_back(std::move(it));
        }
    }
    menu_changed(st.menu);
}

void mdi_strip_window_menu(HMENU menu) {
    {
        std::lock_guard lock(menu_mutex());
        Menu* m = find_menu(menu);
        if (!m) return;
        strip_list(m);
    }
    menu_changed(menu);
}

void mdi_refresh_menu_lists(HMENU menu) {
    if (!menu) return;
    std::vector<HWND> clients;
    {
        std::lock_guard lock(table_mutex());
        for (Window* w : live_windows())
            if (w->kind == Kind::MdiClient && w->mdi.window_menu == menu)
                clients.push_back(w->hwnd);
    }
    for (HWND c : clients) mdi_refresh_window_menu(c);
}

}  // namespace plat
