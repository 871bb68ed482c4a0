// The thread manager, the switch between it and the preview bar, and the
// select bar's background thread for the thread count.
#include "threadman.h"

#include <kit/rvg32.h>
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "bars.h"
#include "frame.h"
#include "operations.h"

namespace {

#define NAME_CHARS 256

struct Column {
    const char* text;
    int width;  // pixels
};

const Column kColumns[] = {{"Filter", 180}, {"State", 80}, {"Filename", 345}};

HWND list_of(HWND threadMan) {
    return GetDlgItem(threadMan, THREADMAN_LIST_ID);
}

// The thread manager's item of the window popup, with its text, checked or not.
void mark_thread_manager_item(BOOL checked) {
    ModifyMenu(g_shell.windowPopup, IDM_THREADMANAGER,
               MF_BYCOMMAND | MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), IDM_THREADMANAGER,
               "Thread Manager");
}

// The path in a document's INFO block, or "" when it has none.
void document_path(HWND doc, char* out, size_t size) {
    out[0] = '\0';
    HGLOBAL h = IsWindow(doc) ? static_cast<HGLOBAL>(GetProp(doc, PROP_INFO)) : nullptr;
    auto* info = h ? static_cast<const InfoBlock*>(GlobalLock(h)) : nullptr;
    if (!info) return;
    std::snprintf(out, size, "%.*s", int(sizeof info->path), info->path);
    GlobalUnlock(h);
}

void set_sub_item(HWND list, int item, int sub, const char* text) {
    LVITEM it{};
    it.iSubItem = sub;
    it.pszText = const_cast<LPSTR>(text);
    SendMessage(list, LVM_SETITEMTEXT, WPARAM(item), reinterpret_cast<LPARAM>(&it));
}

// Rebuilds the list from the operation table: one row per entry that has a
// thread handle.
void refresh_list(HWND threadMan) {
    HWND list = list_of(threadMan);
    if (!list) return;
    SendMessage(list, LVM_DELETEALLITEMS, 0, 0);
    for (const OperationEntry& e : g_operations.table) {
        if (!e.thread) continue;
        char name[NAME_CHARS] = "";
        LoadString(g_shell.instance, e.nameId, name, sizeof name);
        LVITEM it{};
        it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        it.iItem = int(SendMessage(list, LVM_GETITEMCOUNT, 0, 0));
        it.pszText = name;
        it.iImage = 0;
        LRESULT at = SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&it));
        if (at < 0) continue;
        char path[INFO_PATH_CHARS + 1];
        document_path(e.document, path, sizeof path);
        set_sub_item(list, int(at), 1, "Running");
        set_sub_item(list, int(at), 2, path);
    }
}

void create_list(HWND threadMan) {
    RECT rc{};
    GetClientRect(threadMan, &rc);
    HWND list = CreateWindowEx(
        WS_EX_CLIENTEDGE, WC_LISTVIEW, "",
        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE, 5,
        5, rc.right - 5, rc.bottom - 5, threadMan,
        reinterpret_cast<HMENU>(intptr_t(THREADMAN_LIST_ID)), g_shell.instance, nullptr);
    if (!list) return;
    // The item icon is the program's own "THREADS" picture.
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLORDDB, 1, 0);
    if (HBITMAP threads = LoadBitmap(g_shell.instance, "THREADS")) {
        ImageList_Add(images, threads, nullptr);
        DeleteObject(threads);
    }
    SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    int place = 0;
    for (const Column& c : kColumns) {
        LVCOLUMN col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        col.fmt = LVCFMT_LEFT;
        col.cx = c.width;
        col.pszText = const_cast<LPSTR>(c.text);
        col.iSubItem = place;
        SendMessage(list, LVM_INSERTCOLUMN, WPARAM(place++), reinterpret_cast<LPARAM>(&col));
    }
}

void show_list_menu(HWND threadMan) {
    HMENU menu = LoadMenu(g_shell.instance, "LISTMENU");
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    SetMenuDefaultItem(popup, IDM_THREADMANAGER, FALSE);
    POINT at{0, 0};
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, threadMan, nullptr);
    DestroyMenu(menu);
}

}  // namespace

LRESULT CALLBACK ThreadManProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            create_list(hwnd);
            SendMessage(hwnd, UM_REFRESHLIST, 0, 0);
            return 0;
        case UM_REFRESHLIST:
            refresh_list(hwnd);
            return 0;
        case WM_SIZE:
            MoveWindow(list_of(hwnd), 5, 5, LOWORD(lp) - 10, HIWORD(lp) - 10, TRUE);
            return 0;
        case WM_CONTEXTMENU:
            show_list_menu(hwnd);
            return 0;
        case WM_COMMAND:
            return SendMessage(GetParent(hwnd), WM_COMMAND, wp, lp);
        case WM_DESTROY:
            DestroyWindow(list_of(hwnd));
            mark_thread_manager_item(FALSE);
            g_shell.threadManShown = FALSE;
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

namespace {

void paint_switch(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc{};
    GetClientRect(hwnd, &rc);
    LineEx(dc, 0, 1, rc.right, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    LineEx(dc, 0, rc.bottom - 1, rc.right, rc.bottom - 1, GetSysColor(COLOR_BTNSHADOW));
    ShowResourceBitmap(dc, g_shell.instance,
                       g_shell.threadManShown ? "SWITCHTHREADS" : "SWITCHPREVIEW", 0, 5);
    EndPaint(hwnd, &ps);
}

void switch_clicked(HWND hwnd, int y) {
    BOOL threads = y > SWITCH_PREVIEW_PART;
    ShowWindow(g_shell.threadMan, threads ? SW_SHOW : SW_HIDE);
    mark_thread_manager_item(threads);
    g_shell.threadManShown = threads;
    InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace

LRESULT CALLBACK SwitchBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            paint_switch(hwnd);
            return 0;
        case WM_LBUTTONDOWN:
            switch_clicked(hwnd, GET_Y_LPARAM(lp));
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wp, lp);
    }
}

namespace {

#define NO_MINUTE 61

struct CountState {
    HANDLE thread = nullptr;  // user-interface thread only
    std::atomic<bool> stop{false};
    std::atomic<bool> repainted{false};
    std::atomic<int> alive{0};
    std::atomic<bool> entered{false};  // the thread reached its procedure
};

CountState g_count;

// What the background thread keeps between cycles.
struct Stopwatch {
    BOOL busy = FALSE;
    DWORD start = 0;  // tick count (ms) when the busy period began
    int minute = NO_MINUTE;
};

// The device context and font of the background thread; released however
// the thread ends (a termination unwinds through here too).
struct CountCanvas {
    HWND bar;
    HDC dc;
    HFONT font;
    HGDIOBJ oldFont;
    explicit CountCanvas(HWND selectBar)
        : bar(selectBar),
          dc(GetDC(selectBar)),
          font(RVGetStockObject(2)),
          oldFont(SelectObject(dc, font)) {
        SetBkMode(dc, TRANSPARENT);
    }
    ~CountCanvas() {
        SelectObject(dc, oldFont);
        DeleteObject(font);
        ReleaseDC(bar, dc);
    }
    CountCanvas(const CountCanvas&) = delete;
    CountCanvas& operator=(const CountCanvas&) = delete;
};

void draw_count(const CountCanvas& c, const char* text) {
    RECT rc{};
    GetClientRect(c.bar, &rc);
    RECT box{rc.right - 99, 2, rc.right - 16, rc.bottom - 1};
    FillRect(c.dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    TextOut(c.dc, rc.right - 98, 3, text, int(std::strlen(text)));
}

void count_cycle(const CountCanvas& c, Stopwatch& w) {
    HWND frame = GetParent(c.bar);
    LONG n = LONG(SendMessage(frame, UM_GETTHREADCOUNT, 0, 0));
    char text[32];
    if (n > 0) {
        if (!w.busy) w.start = GetTickCount();
        w.busy = TRUE;
        unsigned s = (GetTickCount() - w.start) / 1000;
        if (n == 1)
            std::snprintf(text, sizeof text, "1 Thread :%02u s", s);
        else
            std::snprintf(text, sizeof text, "%2d Threads :%02u s", int(n), s);
        draw_count(c, text);
    } else {
        // The busy text must not stand until the next minute.
        if (w.busy || g_count.repainted.exchange(false)) w.minute = NO_MINUTE;
        w.busy = FALSE;
        SYSTEMTIME now{};
        GetLocalTime(&now);
        if (now.wMinute != w.minute) {
            draw_count(c, "Threads");
            w.minute = now.wMinute;
        }
    }
    SendMessage(reinterpret_cast<HWND>(SendMessage(frame, UM_GETTHREADMAN, 0, 0)), UM_REFRESHLIST,
                0, 0);
}

// Counts the thread as ended however it ends, once it has started.
struct AliveGuard {
    AliveGuard() { g_count.entered = true; }
    ~AliveGuard() { --g_count.alive; }
};

DWORD thread_count_proc(LPVOID param) {
    AliveGuard alive;
    CountCanvas canvas(static_cast<HWND>(param));
    Stopwatch watch;
    while (!g_count.stop) {
        Sleep(400);
        if (g_count.stop) break;
        count_cycle(canvas, watch);
    }
    return 0;
}

}  // namespace

BOOL StartThreadCount(HWND selectBar) {
    if (g_count.thread) return FALSE;
    g_count.stop = false;
    g_count.repainted = false;
    g_count.entered = false;
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, thread_count_proc, selectBar, CREATE_SUSPENDED, &id);
    if (!t) return FALSE;
    ++g_count.alive;
    SetThreadPriority(t, THREAD_PRIORITY_LOWEST);
    g_count.thread = t;
    ResumeThread(t);
    return TRUE;
}

void StopThreadCount(void) {
    if (!g_count.thread) return;
    g_count.stop = true;
    TerminateThread(g_count.thread, 0);
    // Stopped before it ever ran: nothing of it counted itself out.
    if (!g_count.entered) --g_count.alive;
    CloseHandle(g_count.thread);
    g_count.thread = nullptr;
}

void ThreadCountRepainted(void) {
    g_count.repainted = true;
}

int ThreadCountThreads(void) {
    return g_count.alive;
}
