// Accelerator tables: copies of ACCEL arrays behind handles, and their
// translation of key presses into WM_COMMAND. A virtual-key entry matches a
// WM_KEYDOWN / WM_SYSKEYDOWN of its key when Ctrl, Shift and Alt are down
// exactly as the entry says (Ctrl+Shift+Insert is not Ctrl+Insert); a
// character entry matches WM_CHAR / WM_SYSCHAR of its character.
#include <platform/platform.h>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace plat {

namespace {

std::mutex& accel_mutex() {
    static std::mutex m;
    return m;
}

// Handles count up from 1 and are never reused.
std::map<uintptr_t, std::vector<ACCEL>>& tables() {
    static std::map<uintptr_t, std::vector<ACCEL>> t;
    return t;
}

HACCEL add_table(std::vector<ACCEL> entries) {
    static uintptr_t next = 0;
    std::lock_guard lock(accel_mutex());
    uintptr_t h = ++next;
    tables()[h] = std::move(entries);
    return reinterpret_cast<HACCEL>(h);
}

bool down(int vk) {
    return GetKeyState(vk) & 0x8000;
}

bool matches(const ACCEL& a, const MSG& m) {
    bool alt = down(VK_MENU);
    if (a.fVirt & FVIRTKEY) {
        if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return false;
        return a.key == m.wParam && bool(a.fVirt & FCONTROL) == down(VK_CONTROL) &&
               bool(a.fVirt & FSHIFT) == down(VK_SHIFT) && bool(a.fVirt & FALT) == alt;
    }
    if (m.message != WM_CHAR && m.message != WM_SYSCHAR) return false;
    return a.key == m.wParam && bool(a.fVirt & FALT) == (m.message == WM_SYSCHAR);
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

HACCEL LoadAccelerators(HINSTANCE inst, LPCSTR name) {
    DWORD size = 0;
    const void* data = PlatformFindData(inst, "ACCELERATORS", name, &size);
    if (!data || size < sizeof(ACCEL)) return nullptr;
    const auto* first = static_cast<const ACCEL*>(data);
    return add_table(std::vector<ACCEL>(first, first + size / sizeof(ACCEL)));
}

HACCEL CreateAcceleratorTable(const ACCEL* table, int n) {
    if (!table || n <= 0) return nullptr;
    return add_table(std::vector<ACCEL>(table, table + n));
}

BOOL DestroyAcceleratorTable(HACCEL accel) {
    std::lock_guard lock(accel_mutex());
    return tables().erase(reinterpret_cast<uintptr_t>(accel)) ? TRUE : FALSE;
}

int TranslateAccelerator(HWND hwnd, HACCEL accel, MSG* msg) {
    if (!msg || !IsWindow(hwnd)) return 0;
    WORD cmd = 0;
    bool found = false;
    {
        std::lock_guard lock(accel_mutex());
        auto t = tables().find(reinterpret_cast<uintptr_t>(accel));
        if (t == tables().end()) return 0;
        for (const ACCEL& a : t->second)
            if (matches(a, *msg)) {
                cmd = a.cmd;
                found = true;
                break;
            }
    }
    if (!found) return 0;
    if (HMENU menu = GetMenu(hwnd)) SendMessage(hwnd, WM_INITMENU, WPARAM(menu), 0);
    SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(cmd, 1), 0);
    return 1;
}
}
