// The menu handle table: creating, destroying and validating menus, and
// finding items by command or by position.
// A handle is (generation << 20) | (slot + 1) with a mark bit above, so a
// destroyed menu's handle never reaches the record that reuses its slot.
#include <memory>

#include "menus_private.h"

namespace plat {

namespace {

constexpr uintptr_t kSlotBits = 20;
constexpr uintptr_t kSlotMask = (uintptr_t(1) << kSlotBits) - 1;
constexpr uintptr_t kMark = uintptr_t(1) << 30;
constexpr uintptr_t kGenerationMask = (uintptr_t(1) << 10) - 1;

std::vector<std::unique_ptr<Menu>>& slots() {
    static std::vector<std::unique_ptr<Menu>> s;
    return s;
}

std::vector<size_t>& free_slots() {
    static std::vector<size_t> f;
    return f;
}

HMENU handle_of(size_t index, uint32_t generation) {
    uintptr_t v = kMark | ((uintptr_t(generation) & kGenerationMask) << kSlotBits) | (index + 1);
    return reinterpret_cast<HMENU>(v);
}

int find_by_command(HMENU menu, UINT id, HMENU* owner, int depth) {
    Menu* m = find_menu(menu);
    if (!m || depth > 32) return -1;
    for (size_t i = 0; i < m->items.size(); ++i) {
        const MenuItem& it = m->items[i];
        if (!(it.flags & (MF_POPUP | MF_SEPARATOR)) && it.id == id) {
            *owner = menu;
            return int(i);
        }
        if (it.flags & MF_POPUP) {
            int found = find_by_command(it.sub, id, owner, depth + 1);
            if (found >= 0) return found;
        }
    }
    return -1;
}

bool contains(HMENU outer, HMENU inner, int depth) {
    if (outer == inner) return true;
    Menu* m = find_menu(outer);
    if (!m || depth > 32) return false;
    for (const MenuItem& it : m->items)
        if ((it.flags & MF_POPUP) && contains(it.sub, inner, depth + 1)) return true;
    return false;
}

void destroy_menu(HMENU menu, int depth) {
    Menu* m = find_menu(menu);
    if (!m || depth > 32) return;
    std::vector<MenuItem> items;
    items.swap(m->items);
    m->alive = false;
    size_t index = (reinterpret_cast<uintptr_t>(menu) & kSlotMask) - 1;
    free_slots().push_back(index);
    for (const MenuItem& it : items)
        if (it.flags & MF_POPUP) destroy_menu(it.sub, depth + 1);
}

}  // namespace

std::recursive_mutex& menu_mutex() {
    static std::recursive_mutex m;
    return m;
}

Menu* find_menu(HMENU menu) {
    auto v = reinterpret_cast<uintptr_t>(menu);
    if (!(v & kMark)) return nullptr;
    uintptr_t index = v & kSlotMask;
    if (index == 0 || index > slots().size()) return nullptr;
    Menu* m = slots()[index - 1].get();
    if (!m->alive || handle_of(index - 1, m->generation) != menu) return nullptr;
    return m;
}

HMENU new_menu(bool popup) {
    size_t index;
    if (!free_slots().empty()) {
        index = free_slots().back();
        free_slots().pop_back();
    } else {
        if (slots().size() >= kSlotMask) return nullptr;
        slots().push_back(std::make_unique<Menu>());
        index = slots().size() - 1;
    }
    Menu* m = slots()[index].get();
    m->generation = (m->generation + 1) & kGenerationMask;
    m->alive = true;
    m->popup = popup;
    m->items.clear();
    return handle_of(index, m->generation);
}

int locate_item(HMENU menu, UINT item, UINT flags, HMENU* owner) {
    Menu* m = find_menu(menu);
    if (!m) return -1;
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size()) return -1;
        *owner = menu;
        return int(item);
    }
    return find_by_command(menu, item, owner, 0);
}

bool menu_contains(HMENU outer, HMENU inner) {
    std::lock_guard lock(menu_mutex());
    return contains(outer, inner, 0);
}

}  // namespace plat

using namespace plat;

extern "C" {

HMENU CreateMenu(void) {
    std::lock_guard lock(menu_mutex());
    return new_menu(false);
}

HMENU CreatePopupMenu(void) {
    std::lock_guard lock(menu_mutex());
    return new_menu(true);
}

BOOL DestroyMenu(HMENU menu) {
    {
        std::lock_guard lock(menu_mutex());
        if (!find_menu(menu)) return FALSE;
        destroy_menu(menu, 0);
    }
    menu_changed(menu);
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    std::lock_guard lock(menu_mutex());
    return find_menu(menu) != nullptr;
}
}
