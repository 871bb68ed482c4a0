// The multimedia buttons: three children side by side that show their bitmap
// and report clicks to their parent.
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>

#include <vector>

namespace {

std::vector<WPARAM> g_commands;

LRESULT parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        g_commands.push_back(wp);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

HWND make_parent() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = parent_proc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = "ButtonHost";
        registered = RegisterClassEx(&wc) != 0;
    }
    return CreateWindowEx(0, "ButtonHost", "host", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 80,
                          nullptr, nullptr, nullptr, nullptr);
}

struct Host {
    HWND parent = make_parent();
    HBITMAP red;
    Host() {
        std::vector<DWORD> pixels(8 * 6, 0x00FF0000);
        red = PlatformCreateBitmap(8, 6, pixels.data());
        RVMULTIMEDIABUTTON button;
        SetButton(&button, RECT{10, 5, 34, 27}, 1, red, 1);
        created = CreateRVMULTIMEDIABUTTON(parent, 800, 3, &button, 1, 0);
        g_commands.clear();
    }
    ~Host() {
        DestroyWindow(parent);
        DeleteObject(red);
    }
    BOOL created;
};

TEST(KitButtons, ThreeButtonsStandSideBySideWithConsecutiveIds) {
    Host host;
    ASSERT_TRUE(host.created);
    for (int i = 0; i < 3; ++i) {
        HWND b = GetDlgItem(host.parent, 800 + i);
        ASSERT_NE(b, nullptr) << i;
        RECT rc;
        GetClientRect(b, &rc);
        EXPECT_EQ(rc.right, 24);
        EXPECT_EQ(rc.bottom, 22);
        POINT origin{0, 0};
        MapWindowPoints(b, host.parent, &origin, 1);
        EXPECT_EQ(origin.x, 10 + 24 * i);
        EXPECT_EQ(origin.y, 5);
    }
    EXPECT_EQ(GetDlgItem(host.parent, 803), nullptr);
}

TEST(KitButtons, ReleaseOverTheButtonSendsItsIdToTheParent) {
    Host host;
    HWND second = GetDlgItem(host.parent, 801);
    ASSERT_NE(second, nullptr);
    SendMessage(second, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(g_commands.empty()) << "nothing happens until release";
    SendMessage(second, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(LOWORD(g_commands[0]), 801);
    EXPECT_EQ(HIWORD(g_commands[0]), 0);

    // Dragged off before release: no command.
    SendMessage(second, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessage(second, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 5));
    SendMessage(second, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_EQ(g_commands.size(), 1u);
}

TEST(KitButtons, ButtonShowsItsBitmapInTheMiddle) {
    Host host;
    HWND first = GetDlgItem(host.parent, 800);
    ASSERT_NE(first, nullptr);
    InvalidateRect(first, nullptr, TRUE);
    UpdateWindow(first);
    PlatformProcessEvents();
    EXPECT_EQ(PlatformWindowPixel(first, 12, 11), RGB(255, 0, 0));
    EXPECT_EQ(PlatformWindowPixel(first, 2, 2), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
