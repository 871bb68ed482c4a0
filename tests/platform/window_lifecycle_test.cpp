// Creating and destroying windows, stale handles, subclassing, properties and
// the searches over the window tree.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "window_test_log.h"

using wtest::log;

namespace {

class WindowLifecycle : public ::testing::Test {
protected:
    void SetUp() override { log().clear(); }
};

LRESULT CALLBACK refuse_create_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    wtest::log().push_back({hwnd, msg, wp, lp});
    if (msg == WM_CREATE) return -1;
    return DefWindowProc(hwnd, msg, wp, lp);
}

TEST_F(WindowLifecycle, CreationSendsCreateThenSizeWithTheClientSizeThenMove) {
    HWND top = wtest::top_window();
    HWND child = wtest::child_window(top, 5, 6, 120, 70);
    ASSERT_TRUE(child);
    EXPECT_EQ(wtest::sequence(child, {WM_CREATE, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE}));
    auto size = wtest::of(WM_SIZE, child);
    ASSERT_EQ(size.size(), 1u);
    EXPECT_EQ(size[0].wp, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(size[0].lp), 120);
    EXPECT_EQ(HIWORD(size[0].lp), 70);
    auto move = wtest::of(WM_MOVE, child);
    EXPECT_EQ(GET_X_LPARAM(move[0].lp), 5);
    EXPECT_EQ(GET_Y_LPARAM(move[0].lp), 6);
    RECT rc;
    ASSERT_TRUE(GetClientRect(child, &rc));
    EXPECT_EQ(rc.right, 120);
    EXPECT_EQ(rc.bottom, 70);
    DestroyWindow(top);
}

TEST_F(WindowLifecycle, CreateStructCarriesTheCreationArguments) {
    static CREATESTRUCT seen;
    static std::string seen_title;
    struct Local {
        static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
            if (msg == WM_CREATE) {
                seen = *reinterpret_cast<CREATESTRUCT*>(lp);
                seen_title = seen.lpszName;
            }
            return DefWindowProc(hwnd, msg, wp, lp);
        }
    };
    std::string cls = wtest::register_class("WTestCreateArgs", Local::proc);
    int cookie = 7;
    HWND top = wtest::top_window();
    HWND child = CreateWindowEx(WS_EX_CLIENTEDGE, cls.c_str(), "Named", WS_CHILD, 1, 2, 30, 40, top,
                                reinterpret_cast<HMENU>(intptr_t(55)), nullptr, &cookie);
    ASSERT_TRUE(child);
    EXPECT_EQ(seen.lpCreateParams, &cookie);
    EXPECT_EQ(seen.hwndParent, top);
    EXPECT_EQ(seen.x, 1);
    EXPECT_EQ(seen.y, 2);
    EXPECT_EQ(seen.cx, 30);
    EXPECT_EQ(seen.cy, 40);
    EXPECT_EQ(seen.dwExStyle, DWORD(WS_EX_CLIENTEDGE));
    EXPECT_EQ(seen_title, "Named");
    EXPECT_EQ(GetDlgCtrlID(child), 55);
    EXPECT_EQ(GetDlgItem(top, 55), child);
    EXPECT_FALSE(IsWindowVisible(child));
    DestroyWindow(top);
}

TEST_F(WindowLifecycle, DestroyingSendsDestroyToChildrenBeforeTheirParent) {
    HWND top = wtest::top_window();
    HWND a = wtest::child_window(top, 0, 0, 50, 50);
    HWND a1 = wtest::child_window(a, 0, 0, 10, 10);
    HWND b = wtest::child_window(top, 60, 0, 50, 50);
    log().clear();
    ASSERT_TRUE(DestroyWindow(top));
    std::vector<HWND> order;
    for (const auto& e : wtest::of(WM_DESTROY)) order.push_back(e.hwnd);
    EXPECT_EQ(order, (std::vector<HWND>{a1, a, b, top}));
    for (HWND h : {top, a, a1, b}) EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(WindowLifecycle, CreateRefusedWithMinusOneGivesNullAndDestroysTheWindow) {
    std::string cls = wtest::register_class("WTestRefuse", refuse_create_proc);
    HWND h = CreateWindowEx(0, cls.c_str(), "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                            nullptr, nullptr);
    EXPECT_EQ(h, nullptr);
    auto created = wtest::of(WM_CREATE);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_FALSE(IsWindow(created[0].hwnd));
    EXPECT_EQ(wtest::of(WM_DESTROY, created[0].hwnd).size(), 1u);
}

TEST_F(WindowLifecycle, UnknownClassOrMissingParentGivesNull) {
    EXPECT_EQ(
        CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    std::string cls = wtest::register_class("WTestTop", wtest::record_proc);
    EXPECT_EQ(CreateWindowEx(0, cls.c_str(), "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr),
              nullptr);
}

TEST_F(WindowLifecycle, HandleOfADestroyedWindowIsRefusedEvenWhenItsSlotIsReused) {
    HWND old = wtest::top_window();
    ASSERT_TRUE(SetProp(old, "WAVE", reinterpret_cast<HANDLE>(0x1234)));
    DestroyWindow(old);
    HWND fresh = wtest::top_window();
    ASSERT_NE(fresh, old);
    SetProp(fresh, "WAVE", reinterpret_cast<HANDLE>(0x5678));
    SetWindowLongPtr(fresh, GWLP_USERDATA, 99);
    log().clear();

    EXPECT_EQ(SendMessage(old, WM_USER + 5, 1, 2), 0);
    EXPECT_TRUE(log().empty()) << "a message reached a window through a stale handle";
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(GetProp(old, "WAVE"), nullptr);
    EXPECT_FALSE(SetProp(old, "WAVE", nullptr));
    EXPECT_EQ(RemoveProp(old, "WAVE"), nullptr);
    EXPECT_EQ(SetWindowLongPtr(old, GWLP_USERDATA, 5), 0);
    EXPECT_EQ(GetWindowLongPtr(old, GWLP_USERDATA), 0);
    EXPECT_FALSE(PostMessage(old, WM_USER, 0, 0));
    EXPECT_FALSE(InvalidateRect(old, nullptr, TRUE));
    RECT rc;
    EXPECT_FALSE(GetClientRect(old, &rc));

    EXPECT_EQ(GetWindowLongPtr(fresh, GWLP_USERDATA), 99);
    EXPECT_EQ(GetProp(fresh, "WAVE"), reinterpret_cast<HANDLE>(0x5678));
    DestroyWindow(fresh);
}

LRESULT CALLBACK replacing_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
WNDPROC g_original = nullptr;

LRESULT CALLBACK replacing_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER + 1) return 111;
    return CallWindowProc(g_original, hwnd, msg, wp + 1000, lp);
}

TEST_F(WindowLifecycle, SubclassingReplacesTheProcedureAndCallWindowProcReachesTheOld) {
    HWND top = wtest::top_window();
    g_original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replacing_proc)));
    EXPECT_EQ(g_original, &wtest::record_proc);
    EXPECT_EQ(GetWindowLongPtr(top, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(replacing_proc));
    log().clear();
    EXPECT_EQ(SendMessage(top, WM_USER + 1, 0, 0), 111);
    SendMessage(top, WM_USER + 2, 5, 0);
    ASSERT_EQ(log().size(), 1u) << "only the passed-on message reaches the old procedure";
    EXPECT_EQ(log()[0].msg, UINT(WM_USER + 2));
    EXPECT_EQ(log()[0].wp, WPARAM(1005));
    DestroyWindow(top);
}

TEST_F(WindowLifecycle, PropertiesAreNamedCaseInsensitivelyAndGoWithTheWindow) {
    HWND top = wtest::top_window();
    HANDLE a = reinterpret_cast<HANDLE>(0xA), b = reinterpret_cast<HANDLE>(0xB);
    EXPECT_TRUE(SetProp(top, "HEADER", a));
    EXPECT_TRUE(SetProp(top, "Position", b));
    EXPECT_EQ(GetProp(top, "header"), a);
    EXPECT_EQ(GetProp(top, "POSITION"), b);
    EXPECT_EQ(GetProp(top, "INFO"), nullptr);
    EXPECT_TRUE(SetProp(top, "HEADER", b));
    EXPECT_EQ(GetProp(top, "HEADER"), b);
    EXPECT_EQ(RemoveProp(top, "HEADER"), b);
    EXPECT_EQ(GetProp(top, "HEADER"), nullptr);
    EXPECT_EQ(RemoveProp(top, "HEADER"), nullptr);
    HWND other = wtest::top_window();
    EXPECT_EQ(GetProp(other, "POSITION"), nullptr);
    DestroyWindow(other);
    DestroyWindow(top);
}

TEST_F(WindowLifecycle, PropertiesCanBeReadFromAnotherThread) {
    HWND top = wtest::top_window();
    SetProp(top, "WAVE", reinterpret_cast<HANDLE>(0x77));
    HANDLE seen = nullptr;
    std::thread t([&] { seen = GetProp(top, "WAVE"); });
    t.join();
    EXPECT_EQ(seen, reinterpret_cast<HANDLE>(0x77));
    DestroyWindow(top);
}

TEST_F(WindowLifecycle, WindowAttributesAreStoredAndRead) {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = wtest::record_proc;
    wc.cbWndExtra = 16;
    wc.lpszClassName = "WTestExtraBytes";
    ASSERT_NE(RegisterClassEx(&wc), 0);
    EXPECT_EQ(RegisterClassEx(&wc), 0) << "a class name is registered once";
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(0x4000);
    HWND top = CreateWindowEx(0, "wtestextrabytes", "First title", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                              100, nullptr, nullptr, inst, nullptr);
    ASSERT_TRUE(top);
    EXPECT_EQ(GetWindowLongPtr(top, GWLP_HINSTANCE), reinterpret_cast<LONG_PTR>(inst));
    EXPECT_EQ(SetWindowLongPtr(top, 8, 0x1122334455), 0);
    EXPECT_EQ(GetWindowLongPtr(top, 8), 0x1122334455);
    EXPECT_EQ(GetWindowLongPtr(top, 9), 0) << "past the extra bytes";
    EXPECT_EQ(GetWindowLong(top, GWL_STYLE) & WS_CAPTION, LONG(WS_CAPTION));

    char buf[64];
    EXPECT_EQ(GetWindowText(top, buf, sizeof buf), 11);
    EXPECT_STREQ(buf, "First title");
    EXPECT_TRUE(SetWindowText(top, "Second"));
    EXPECT_EQ(GetWindowTextLength(top), 6);
    EXPECT_EQ(GetWindowText(top, buf, 4), 3);
    EXPECT_STREQ(buf, "Sec");
    EXPECT_EQ(GetClassName(top, buf, sizeof buf), 15);
    EXPECT_STREQ(buf, "WTestExtraBytes");
    EXPECT_FALSE(UnregisterClass("WTestExtraBytes", nullptr)) << "the class is in use";
    DestroyWindow(top);
    EXPECT_TRUE(UnregisterClass("WTestExtraBytes", nullptr));
}

TEST_F(WindowLifecycle, FindWindowLooksAtTopLevelWindowsByClassAndTitle) {
    std::string cls = wtest::register_class("WTestFindMe", wtest::record_proc);
    HWND a = CreateWindowEx(0, cls.c_str(), "Alpha", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                            nullptr, nullptr);
    HWND b = CreateWindowEx(0, cls.c_str(), "Beta", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                            nullptr, nullptr);
    HWND child =
        CreateWindowEx(0, cls.c_str(), "Gamma", WS_CHILD, 0, 0, 5, 5, a, nullptr, nullptr, nullptr);
    EXPECT_EQ(FindWindow("wtestfindme", nullptr), a);
    EXPECT_EQ(FindWindow(cls.c_str(), "Beta"), b);
    EXPECT_EQ(FindWindow(nullptr, "Beta"), b);
    EXPECT_EQ(FindWindow(cls.c_str(), "Gamma"), nullptr) << "children are not top-level";
    EXPECT_EQ(FindWindowEx(a, nullptr, cls.c_str(), nullptr), child);
    EXPECT_EQ(FindWindowEx(nullptr, a, cls.c_str(), nullptr), b);
    DestroyWindow(a);
    EXPECT_EQ(FindWindow(cls.c_str(), nullptr), b);
    DestroyWindow(b);
    EXPECT_EQ(FindWindow(cls.c_str(), nullptr), nullptr);
}

TEST_F(WindowLifecycle, EnumChildWindowsVisitsEveryDescendantUntilTold) {
    HWND top = wtest::top_window();
    HWND a = wtest::child_window(top, 0, 0, 50, 50);
    HWND a1 = wtest::child_window(a, 0, 0, 10, 10);
    HWND b = wtest::child_window(top, 60, 0, 50, 50);
    struct Seen {
        std::vector<HWND> all;
        size_t stop_after;
    } seen{{}, 100};
    auto visit = [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Seen*>(lp);
        s->all.push_back(h);
        return s->all.size() < s->stop_after;
    };
    EnumChildWindows(top, visit, LPARAM(&seen));
    EXPECT_EQ(seen.all, (std::vector<HWND>{a, a1, b}));
    seen = {{}, 2};
    EnumChildWindows(top, visit, LPARAM(&seen));
    EXPECT_EQ(seen.all.size(), 2u);
    EXPECT_EQ(GetParent(a1), a);
    EXPECT_EQ(GetParent(top), nullptr);
    DestroyWindow(top);
}

}  // namespace
