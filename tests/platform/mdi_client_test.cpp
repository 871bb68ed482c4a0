// The MDI client: creating, activating and destroying documents, the default
// frame and document procedures, and a document's horizontal scroll bar.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <array>

#include "window_test_log.h"

using wtest::log;

namespace {

LRESULT CALLBACK frame_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    wtest::log().push_back({hwnd, msg, wp, lp});
    HWND client = FindWindowEx(hwnd, nullptr, "MDICLIENT", nullptr);
    return DefFrameProc(hwnd, client, msg, wp, lp);
}

LPARAM g_create_lparam = 0;

LRESULT CALLBACK doc_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
        g_create_lparam = static_cast<MDICREATESTRUCT*>(cs->lpCreateParams)->lParam;
    }
    return wtest::record_mdi_child_proc(hwnd, msg, wp, lp);
}

class MdiClient : public ::testing::Test {
protected:
    void SetUp() override {
        std::string fcls = wtest::register_class("WTestFrame", frame_proc);
        doc_class = wtest::register_class("WTestDocument", doc_proc, CS_DBLCLKS);
        frame = CreateWindowEx(0, fcls.c_str(), "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               800, 600, nullptr, nullptr, nullptr, nullptr);
        CLIENTCREATESTRUCT ccs{reinterpret_cast<HMENU>(0x99), 800};
        client = CreateWindowEx(WS_EX_CLIENTEDGE, "MDICLIENT", "WAVEDESK - MDI",
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 700, 500, frame,
                                reinterpret_cast<HMENU>(3244), nullptr, &ccs);
        PlatformProcessEvents();
        log().clear();
    }
    void TearDown() override {
        DestroyWindow(frame);
        PlatformProcessEvents();
    }
    HWND create_doc(const char* title, DWORD style = 0) {
        MDICREATESTRUCT mcs{doc_class.c_str(), title,         nullptr,
                            CW_USEDEFAULT,     CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT,     style,         0};
        return reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, LPARAM(&mcs)));
    }
    HWND active() { return reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, 0)); }
    // The WM_MDIACTIVATE messages seen, as (receiver, losing, gaining).
    std::vector<std::array<HWND, 3>> activations() {
        std::vector<std::array<HWND, 3>> out;
        for (const auto& e : wtest::of(WM_MDIACTIVATE))
            out.push_back({e.hwnd, reinterpret_cast<HWND>(e.wp), reinterpret_cast<HWND>(e.lp)});
        return out;
    }
    std::string doc_class;
    HWND frame = nullptr, client = nullptr;
};

using Act = std::array<HWND, 3>;

TEST_F(MdiClient, CreatingDocumentsActivatesEachAndTellsTheLosingOne) {
    EXPECT_EQ(active(), nullptr);
    HWND one = create_doc("one.wav");
    ASSERT_TRUE(one);
    EXPECT_EQ(GetParent(one), client);
    EXPECT_EQ(GetDlgCtrlID(one), 800);
    EXPECT_TRUE(IsWindowVisible(one));
    EXPECT_EQ(active(), one);
    HWND two = create_doc("two.wav");
    EXPECT_EQ(GetDlgCtrlID(two), 801);
    EXPECT_EQ(active(), two);
    EXPECT_EQ(activations(),
              (std::vector<Act>{{one, nullptr, one}, {one, one, two}, {two, one, two}}));
    EXPECT_EQ(wtest::of(WM_CREATE, one).size(), 1u);
    char title[32];
    GetWindowText(two, title, sizeof title);
    EXPECT_STREQ(title, "two.wav");
}

TEST_F(MdiClient, ActivatingAndDestroyingMoveTheActiveDocument) {
    HWND one = create_doc("one");
    HWND two = create_doc("two");
    HWND three = create_doc("three");
    log().clear();
    SendMessage(client, WM_MDIACTIVATE, WPARAM(one), 0);
    EXPECT_EQ(active(), one);
    EXPECT_EQ(activations(), (std::vector<Act>{{three, three, one}, {one, three, one}}));

    log().clear();
    SendMessage(client, WM_MDIDESTROY, WPARAM(one), 0);
    EXPECT_FALSE(IsWindow(one));
    HWND next = active();
    EXPECT_EQ(next, three) << "the most recently active document takes over";
    EXPECT_EQ(activations(), (std::vector<Act>{{one, one, three}, {three, one, three}}));
    EXPECT_EQ(wtest::sequence(one, {WM_MDIACTIVATE, WM_DESTROY}),
              (std::vector<UINT>{WM_MDIACTIVATE, WM_DESTROY}))
        << "the document hears of losing activation before it is destroyed";

    SendMessage(client, WM_MDIDESTROY, WPARAM(three), 0);
    EXPECT_EQ(active(), two);
    log().clear();
    SendMessage(client, WM_MDIDESTROY, WPARAM(two), 0);
    EXPECT_EQ(active(), nullptr);
    EXPECT_EQ(activations(), (std::vector<Act>{{two, two, nullptr}}))
        << "the last document learns that none follows";
}

TEST_F(MdiClient, DestroyingTheActiveDocumentOfAHiddenFrameActivatesTheNext) {
    ShowWindow(frame, SW_HIDE);
    PlatformProcessEvents();
    HWND one = create_doc("one");
    HWND two = create_doc("two");
    ASSERT_EQ(active(), two);
    SendMessage(client, WM_MDIDESTROY, WPARAM(two), 0);
    EXPECT_EQ(active(), one);
    HWND three = create_doc("three", WS_VISIBLE);
    ShowWindow(three, SW_HIDE);
    SendMessage(client, WM_MDIACTIVATE, WPARAM(one), 0);
    SendMessage(client, WM_MDIDESTROY, WPARAM(one), 0);
    EXPECT_EQ(active(), nullptr) << "a hidden document is not activated";
}

TEST_F(MdiClient, AClickActivatesAnInactiveDocument) {
    HWND one = create_doc("one");
    HWND two = create_doc("two");
    PlatformSimulateMouse(one, WM_LBUTTONDOWN, 5, 5, 0);
    EXPECT_EQ(active(), one);
    EXPECT_EQ(wtest::of(WM_LBUTTONDOWN, one).size(), 1u);
    PlatformSimulateMouse(two, WM_LBUTTONDOWN, 5, 5, 0);
    EXPECT_EQ(active(), two);
}

WNDPROC g_client_proc = nullptr;

LRESULT CALLBACK client_spy(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) log().push_back({hwnd, msg, wp, lp});
    return CallWindowProc(g_client_proc, hwnd, msg, wp, lp);
}

TEST_F(MdiClient, ButtonsOnTheFreeSpaceReachTheClientNotThoseOverADocument) {
    g_client_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(client_spy)));
    HWND doc = create_doc("one");
    MoveWindow(doc, 0, 0, 200, 150, TRUE);
    PlatformProcessEvents();
    log().clear();

    PlatformSimulateMouse(client, WM_RBUTTONDOWN, 600, 400, 0);
    PlatformSimulateMouse(client, WM_RBUTTONUP, 600, 400, 0);
    auto up = wtest::of(WM_RBUTTONUP, client);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].lp, MAKELPARAM(600, 400));
    EXPECT_EQ(wtest::of(WM_RBUTTONDOWN, client).size(), 1u);

    log().clear();
    PlatformSimulateMouse(client, WM_RBUTTONUP, 50, 50, 0);
    EXPECT_TRUE(wtest::of(WM_RBUTTONUP, client).empty()) << "the document is under the pointer";
    SetWindowLongPtr(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_client_proc));
}

TEST_F(MdiClient, TheCloseButtonDestroysTheDocumentThroughTheClient) {
    HWND one = create_doc("one");
    PlatformSimulateClose(one);
    EXPECT_EQ(wtest::sequence(one, {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(one));
    EXPECT_EQ(active(), nullptr);
}

TEST_F(MdiClient, CreateMdiWindowAndMaximizedState) {
    HWND doc = CreateMDIWindow(doc_class.c_str(), "max", WS_MAXIMIZE, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, client, nullptr, 5);
    ASSERT_TRUE(doc);
    EXPECT_EQ(g_create_lparam, 5) << "the document sees the creation record in WM_CREATE";
    PlatformProcessEvents();
    BOOL maximized = FALSE;
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, LPARAM(&maximized))),
              doc);
    EXPECT_TRUE(maximized);
    SendMessage(client, WM_MDIRESTORE, WPARAM(doc), 0);
    PlatformProcessEvents();
    EXPECT_FALSE(IsZoomed(doc));
    EXPECT_EQ(wtest::of(WM_SIZE, doc).back().wp, WPARAM(SIZE_RESTORED));
}

TEST_F(MdiClient, TilingPlacesDocumentsSideBySide) {
    HWND one = create_doc("one");
    HWND two = create_doc("two");
    EXPECT_TRUE(SendMessage(client, WM_MDITILE, 0, 0));
    PlatformProcessEvents();
    RECT a, b;
    GetWindowRect(one, &a);
    GetWindowRect(two, &b);
    bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
    EXPECT_TRUE(apart);
    EXPECT_TRUE(SendMessage(client, WM_MDICASCADE, 0, 0));
    PlatformProcessEvents();
    GetWindowRect(one, &a);
    GetWindowRect(two, &b);
    EXPECT_NE(a.left, b.left) << "cascaded documents are offset";
}

TEST_F(MdiClient, ArrangingIconsLinesMinimizedDocumentsUpAlongTheBottom) {
    HWND one = create_doc("one");
    HWND open = create_doc("open");
    HWND two = create_doc("two");
    ShowWindow(one, SW_MINIMIZE);
    ShowWindow(two, SW_MINIMIZE);
    PlatformProcessEvents();
    ASSERT_TRUE(IsIconic(one));
    ASSERT_TRUE(IsIconic(two));
    SetWindowPos(one, nullptr, 300, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(two, nullptr, 10, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before;
    GetWindowRect(open, &before);
    SendMessage(client, WM_MDIICONARRANGE, 0, 0);
    PlatformProcessEvents();
    RECT area, a, b, after;
    GetClientRect(client, &area);
    GetWindowRect(one, &a);
    GetWindowRect(two, &b);
    GetWindowRect(open, &after);
    POINT pa{a.left, a.bottom}, pb{b.left, b.bottom};
    ScreenToClient(client, &pa);
    ScreenToClient(client, &pb);
    EXPECT_EQ(pa.x, 0) << "the first made stands first";
    EXPECT_EQ(pb.x, a.right - a.left) << "the next one beside it";
    EXPECT_EQ(pa.y, area.bottom);
    EXPECT_EQ(pb.y, area.bottom);
    EXPECT_EQ(after.left, before.left) << "an open document stays where it was";
    EXPECT_EQ(after.top, before.top);
}

TEST_F(MdiClient, MenusAreStoredAndWindowMenuCommandsActivate) {
    HMENU frame_menu = reinterpret_cast<HMENU>(0x10), window_menu = reinterpret_cast<HMENU>(0x20);
    EXPECT_EQ(SendMessage(client, WM_MDISETMENU, WPARAM(frame_menu), LPARAM(window_menu)), 0);
    EXPECT_EQ(SendMessage(client, WM_MDISETMENU, WPARAM(0x30), 0), LRESULT(frame_menu));
    EXPECT_EQ(SendMessage(client, WM_MDIREFRESHMENU, 0, 0), LRESULT(0x30));
    HWND one = create_doc("one");
    create_doc("two");
    SendMessage(frame, WM_COMMAND, 800, 0);
    EXPECT_EQ(active(), one);
}

TEST_F(MdiClient, ControlF4AndF6AreTranslatedForTheActiveDocument) {
    HWND one = create_doc("one");
    HWND two = create_doc("two");
    PlatformSetKeyState(VK_CONTROL, TRUE);
    MSG m{two, WM_KEYDOWN, VK_F6, 0, 0, {0, 0}};
    EXPECT_TRUE(TranslateMDISysAccel(client, &m));
    EXPECT_EQ(active(), one);
    m.wParam = VK_F4;
    EXPECT_TRUE(TranslateMDISysAccel(client, &m));
    EXPECT_FALSE(IsWindow(one));
    m.wParam = 'A';
    EXPECT_FALSE(TranslateMDISysAccel(client, &m));
    PlatformSetKeyState(VK_CONTROL, FALSE);
    EXPECT_FALSE(TranslateMDISysAccel(client, &m));
}

class MdiScroll : public MdiClient {
protected:
    void SetUp() override {
        MdiClient::SetUp();
        doc = create_doc("scroll", WS_HSCROLL);
        PlatformProcessEvents();
        log().clear();
    }
    std::vector<std::pair<int, int>> scrolls() {
        std::vector<std::pair<int, int>> out;
        for (const auto& e : wtest::of(WM_HSCROLL, doc))
            out.push_back({LOWORD(e.wp), HIWORD(e.wp)});
        return out;
    }
    HWND doc = nullptr;
};

TEST_F(MdiScroll, TheBarSitsBelowTheClientArea) {
    RECT rc, wr;
    GetClientRect(doc, &rc);
    SetScrollRange(doc, SB_HORZ, 0, 0, TRUE);
    RECT without;
    GetClientRect(doc, &without);
    EXPECT_EQ(without.bottom - rc.bottom, GetSystemMetrics(SM_CYHSCROLL))
        << "an empty range hides the bar and gives its room to the client";
    EXPECT_EQ(without.right, rc.right);
    auto sizes = wtest::of(WM_SIZE, doc);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(HIWORD(sizes.back().lp), without.bottom);
    GetWindowRect(doc, &wr);
    EXPECT_GT(wr.bottom - wr.top, without.bottom);
}

TEST_F(MdiScroll, RangeAndPositionAreKeptAndClamped) {
    SetScrollRange(doc, SB_HORZ, 0, 1000, TRUE);
    int lo = -1, hi = -1;
    GetScrollRange(doc, SB_HORZ, &lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 1000);
    EXPECT_EQ(SetScrollPos(doc, SB_HORZ, 300, TRUE), 0);
    EXPECT_EQ(SetScrollPos(doc, SB_HORZ, 5000, TRUE), 300);
    EXPECT_EQ(GetScrollPos(doc, SB_HORZ), 1000);
    SetScrollRange(doc, SB_HORZ, 0, 500, TRUE);
    EXPECT_EQ(GetScrollPos(doc, SB_HORZ), 500);
}

TEST_F(MdiScroll, ClicksSendScrollCodesAndLeaveTheBarToTheProgram) {
    SetScrollRange(doc, SB_HORZ, 0, 1000, TRUE);
    SetScrollPos(doc, SB_HORZ, 100, TRUE);
    ASSERT_TRUE(PlatformSimulateScroll(doc, SB_HORZ, SB_LINERIGHT, 0));
    ASSERT_TRUE(PlatformSimulateScroll(doc, SB_HORZ, SB_PAGELEFT, 0));
    EXPECT_EQ(scrolls(),
              (std::vector<std::pair<int, int>>{
                  {SB_LINERIGHT, 0}, {SB_ENDSCROLL, 0}, {SB_PAGELEFT, 0}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetScrollPos(doc, SB_HORZ), 100) << "only SetScrollPos moves the bar";
    EXPECT_EQ(wtest::of(WM_HSCROLL, doc)[0].lp, 0);
}

TEST_F(MdiScroll, DraggingTheThumbReportsItsPosition) {
    SetScrollRange(doc, SB_HORZ, 0, 1000, TRUE);
    ASSERT_TRUE(PlatformSimulateScroll(doc, SB_HORZ, SB_THUMBTRACK, 640));
    EXPECT_EQ(scrolls(), (std::vector<std::pair<int, int>>{
                             {SB_THUMBTRACK, 640}, {SB_THUMBPOSITION, 640}, {SB_ENDSCROLL, 0}}));
}

// The thumb positions GetScrollInfo gave during each WM_HSCROLL, as (code, track).
std::vector<std::pair<int, int>> g_tracked;

LRESULT CALLBACK track_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HSCROLL) {
        SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, -1};
        EXPECT_TRUE(GetScrollInfo(hwnd, SB_HORZ, &si));
        g_tracked.push_back({LOWORD(wp), si.nTrackPos});
    }
    return wtest::record_mdi_child_proc(hwnd, msg, wp, lp);
}

TEST_F(MdiScroll, ScrollInfoKeepsTheFullThumbPositionOfADrag) {
    SetScrollRange(doc, SB_HORZ, 0, 300000, TRUE);
    SetScrollPos(doc, SB_HORZ, 1234, TRUE);
    g_tracked.clear();
    SetWindowLongPtr(doc, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&track_proc));
    ASSERT_TRUE(PlatformSimulateScroll(doc, SB_HORZ, SB_THUMBTRACK, 150000));
    EXPECT_EQ(scrolls()[0], (std::pair<int, int>{SB_THUMBTRACK, 150000 & 0xFFFF}))
        << "the message carries only the low 16 bits";
    EXPECT_EQ(g_tracked,
              (std::vector<std::pair<int, int>>{
                  {SB_THUMBTRACK, 150000}, {SB_THUMBPOSITION, 150000}, {SB_ENDSCROLL, 1234}}));
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS | SIF_TRACKPOS, -1, -1, 0, -1, -1};
    ASSERT_TRUE(GetScrollInfo(doc, SB_HORZ, &si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 300000);
    EXPECT_EQ(si.nPos, 1234);
    EXPECT_EQ(si.nTrackPos, 1234) << "after the drag the track is the position";
    SCROLLINFO none{sizeof none, SIF_POS, 0, 0, 0, 77, 0};
    EXPECT_FALSE(GetScrollInfo(nullptr, SB_HORZ, &none));
    EXPECT_FALSE(GetScrollInfo(doc, SB_HORZ, nullptr));
    EXPECT_EQ(none.nPos, 77);
}

TEST_F(MdiScroll, ADisabledBarSendsNothing) {
    EXPECT_TRUE(EnableScrollBar(doc, SB_HORZ, ESB_DISABLE_BOTH));
    EXPECT_FALSE(PlatformSimulateScroll(doc, SB_HORZ, SB_LINERIGHT, 0));
    EXPECT_TRUE(scrolls().empty());
    EnableScrollBar(doc, SB_HORZ, ESB_ENABLE_BOTH);
    EXPECT_TRUE(PlatformSimulateScroll(doc, SB_HORZ, SB_LINERIGHT, 0));
    EXPECT_EQ(scrolls().size(), 2u);
}

}  // namespace
