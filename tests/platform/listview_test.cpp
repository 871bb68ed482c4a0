// The list view control: columns and items set and read through the LVM_
// messages, selection state, image lists and what the list view does with
// them, and the context menu a right click asks its parent for.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

std::vector<std::pair<HWND, LPARAM>> g_menus;

LRESULT CALLBACK parent_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CONTEXTMENU) {
        g_menus.push_back({reinterpret_cast<HWND>(wp), lp});
        return 0;
    }
    return DefWindowProc(hwnd, msg, wp, lp);
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_menus.clear();
        parent = testing_support::make_parent_window("ListParent", parent_proc, 640, 300);
        ASSERT_NE(parent, nullptr);
        list = make(LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS);
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    HWND make(DWORD style) {
        return CreateWindowEx(WS_EX_CLIENTEDGE, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | style, 5,
                              5, 600, 200, parent, reinterpret_cast<HMENU>(intptr_t(1001)), nullptr,
                              nullptr);
    }
    LRESULT column(int place, const char* text, int width, int fmt = LVCFMT_LEFT) {
        LVCOLUMN c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = const_cast<LPSTR>(text);
        c.cx = width;
        c.fmt = fmt;
        return SendMessage(list, LVM_INSERTCOLUMN, WPARAM(place), reinterpret_cast<LPARAM>(&c));
    }
    LRESULT insert(int at, const char* text, int image = 0, LPARAM param = 0) {
        LVITEM it{};
        it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        it.iItem = at;
        it.pszText = const_cast<LPSTR>(text);
        it.iImage = image;
        it.lParam = param;
        return SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it));
    }
    BOOL set_text(int item, int sub, const char* text) {
        LVITEM it{};
        it.iSubItem = sub;
        it.pszText = const_cast<LPSTR>(text);
        return BOOL(
            SendMessage(list, LVM_SETITEMTEXT, WPARAM(item), reinterpret_cast<LPARAM>(&it)));
    }
    std::string text(int item, int sub, int size = 256) {
        std::vector<char> buf(size_t(size) + 1, 'x');
        LVITEM it{};
        it.iSubItem = sub;
        it.pszText = buf.data();
        it.cchTextMax = size;
        LRESULT n = SendMessage(list, LVM_GETITEMTEXT, WPARAM(item), reinterpret_cast<LPARAM>(&it));
        EXPECT_EQ(size_t(n), std::string(buf.data()).size());
        return buf.data();
    }
    std::string column_text(int col) {
        char buf[64] = "unset";
        LVCOLUMN c{};
        c.mask = LVCF_TEXT;
        c.pszText = buf;
        c.cchTextMax = sizeof buf;
        if (!SendMessage(list, LVM_GETCOLUMN, WPARAM(col), reinterpret_cast<LPARAM>(&c)))
            return "none";
        return buf;
    }
    LRESULT count() { return SendMessage(list, LVM_GETITEMCOUNT, 0, 0); }

    HWND parent = nullptr;
    HWND list = nullptr;
};

TEST_F(ListViewTest, ColumnsKeepTheirTextsWidthsAndPlaces) {
    EXPECT_EQ(column(0, "Filter", 180), 0);
    EXPECT_EQ(column(1, "State", 80), 1);
    EXPECT_EQ(column(9, "Filename", 345, LVCFMT_RIGHT), 2);  // past the end: appended
    EXPECT_EQ(column_text(0), "Filter");
    EXPECT_EQ(column_text(2), "Filename");
    EXPECT_EQ(column_text(3), "none");
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0), 180);
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 1, 0), 80);
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 2, 0), 345);
    LVCOLUMN c{};
    c.mask = LVCF_FMT | LVCF_WIDTH;
    ASSERT_TRUE(SendMessage(list, LVM_GETCOLUMN, 2, reinterpret_cast<LPARAM>(&c)));
    EXPECT_EQ(c.fmt, LVCFMT_RIGHT);
    EXPECT_EQ(c.cx, 345);

    // A column put in between moves the later ones, their sub-items with them.
    ASSERT_EQ(insert(0, "Volume"), 0);
    ASSERT_TRUE(set_text(0, 1, "Running"));
    EXPECT_EQ(column(1, "Extra", 40), 1);
    EXPECT_EQ(column_text(1), "Extra");
    EXPECT_EQ(column_text(2), "State");
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 2, 0), 80);
    EXPECT_EQ(text(0, 1), "");
    EXPECT_EQ(text(0, 2), "Running");
    EXPECT_TRUE(SendMessage(list, LVM_SETCOLUMNWIDTH, 0, 99));
    EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0), 99);
}

TEST_F(ListViewTest, ItemsAndSubItemsGoInAndComeOutAsTexts) {
    column(0, "Filter", 180);
    column(1, "State", 80);
    column(2, "Filename", 345);
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(insert(0x7FFF, "Volume - Filter"), 0);  // any place past the end appends
    EXPECT_EQ(insert(1, "Reverse - Filter"), 1);
    EXPECT_EQ(insert(0, "Fade In - Filter"), 0);
    EXPECT_EQ(count(), 3);
    EXPECT_TRUE(set_text(1, 1, "Running"));
    EXPECT_TRUE(set_text(1, 2, "/tmp/a.wav"));
    EXPECT_FALSE(set_text(3, 1, "nowhere"));
    EXPECT_EQ(text(0, 0), "Fade In - Filter");
    EXPECT_EQ(text(1, 0), "Volume - Filter");
    EXPECT_EQ(text(1, 1), "Running");
    EXPECT_EQ(text(1, 2), "/tmp/a.wav");
    EXPECT_EQ(text(2, 0), "Reverse - Filter");
    EXPECT_EQ(text(2, 1), "");
    // A short buffer takes what fits and stays terminated.
    EXPECT_EQ(text(1, 0, 7), "Volume");

    LVITEM bad{};
    bad.mask = LVIF_TEXT;
    bad.iSubItem = 1;
    bad.pszText = const_cast<LPSTR>("sub");
    EXPECT_EQ(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&bad)), -1);

    EXPECT_TRUE(SendMessage(list, LVM_DELETEITEM, 0, 0));
    EXPECT_FALSE(SendMessage(list, LVM_DELETEITEM, 5, 0));
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(text(0, 1), "Running");
    EXPECT_TRUE(SendMessage(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(count(), 0);
}

TEST_F(ListViewTest, ItemImageParameterAndSingleSelectionAreKept) {
    column(0, "Filter", 180);
    insert(-1, "one", 0, 41);
    insert(-1, "two", 3, 42);
    LVITEM it{};
    it.mask = LVIF_IMAGE | LVIF_PARAM;
    it.iItem = 1;
    ASSERT_TRUE(SendMessage(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_EQ(it.iImage, 3);
    EXPECT_EQ(it.lParam, 42);

    LVITEM sel{};
    sel.state = sel.stateMask = LVIS_SELECTED;
    SendMessage(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&sel));
    EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 0);
    SendMessage(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&sel));
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(SendMessage(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED), 0);
    EXPECT_EQ(SendMessage(list, LVM_GETITEMSTATE, 1, LVIS_SELECTED), LVIS_SELECTED);
}

TEST_F(ListViewTest, ImageListsCutBitmapsAndDieWithTheirListView) {
    std::vector<DWORD> pixels(48 * 16, 0x00FF0000);
    HBITMAP strip = PlatformCreateBitmap(48, 16, pixels.data());
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 1, 1);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR, 1, 1), nullptr);
    EXPECT_EQ(ImageList_Add(images, strip, nullptr), 0);
    EXPECT_EQ(ImageList_Add(images, strip, nullptr), 3);
    EXPECT_EQ(ImageList_GetImageCount(images), 6);
    EXPECT_EQ(ImageList_Add(images, nullptr, nullptr), -1);
    DeleteObject(strip);

    EXPECT_EQ(SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)),
              0);
    EXPECT_EQ(SendMessage(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0),
              reinterpret_cast<LRESULT>(images));
    HIMAGELIST shared = ImageList_Create(16, 16, ILC_COLOR, 1, 1);
    HWND sharing = make(LVS_REPORT | LVS_SHAREIMAGELISTS);
    SendMessage(sharing, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(shared));

    DestroyWindow(list);
    DestroyWindow(sharing);
    EXPECT_FALSE(ImageList_Destroy(images));  // gone with its list view
    EXPECT_EQ(ImageList_Add(images, strip, nullptr), -1);
    EXPECT_TRUE(ImageList_Destroy(shared));
}

TEST_F(ListViewTest, RightClickAsksTheParentForAContextMenu) {
    PlatformSimulateMouse(list, WM_RBUTTONDOWN, 20, 30, 0);
    PlatformSimulateMouse(list, WM_RBUTTONUP, 20, 30, 0);
    ASSERT_EQ(g_menus.size(), 1u);
    EXPECT_EQ(g_menus[0].first, list);
    POINT pt{20, 30};
    ClientToScreen(list, &pt);
    EXPECT_EQ(GET_X_LPARAM(g_menus[0].second), pt.x);
    EXPECT_EQ(GET_Y_LPARAM(g_menus[0].second), pt.y);
}

TEST_F(ListViewTest, MessagesFromAnotherThreadAreServed) {
    column(0, "Filter", 180);
    struct Args {
        HWND list;
        LRESULT index;
    } args{list, -1};
    HANDLE t = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* a = static_cast<Args*>(p);
            LVITEM it{};
            it.mask = LVIF_TEXT;
            it.pszText = const_cast<LPSTR>("from a thread");
            a->index = SendMessage(a->list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it));
            return 0;
        },
        &args, 0, nullptr);
    ASSERT_NE(t, nullptr);
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    EXPECT_EQ(args.index, 0);
    EXPECT_EQ(text(0, 0), "from a thread");
}

}  // namespace
