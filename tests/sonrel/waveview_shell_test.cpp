// The document window in the shell: activation, commands, context menus,
// closing, release of the blocks, and painting under the document's guard.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <atomic>
#include <thread>

#include "frame.h"
#include "operations.h"
#include "register.h"
#include "test_support.h"
#include "waveview.h"
#include "waveview_fixture.h"

using namespace wvtest;
using testing_support::QuestionRecorder;

namespace {

class WaveViewShell : public ::testing::Test {
protected:
    ViewFrame f;
    HMENU documentMenu = CreateMenu();
    HMENU savedDocumentMenu = g_shell.documentMenu;
    void SetUp() override { g_shell.documentMenu = documentMenu; }
    void TearDown() override {
        g_shell.documentMenu = savedDocumentMenu;
        SetMenu(f.frame, nullptr);
        DestroyMenu(documentMenu);
    }
};

HWND plain_document(ViewFrame& f) {
    return CreateMDIWindow("Child Window", "doc", WS_VISIBLE, 0, 0, 300, 200, f.client,
                           GetModuleHandle(nullptr), 0);
}

bool wait_until(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
        PlatformProcessEvents();
        Sleep(2);
    }
    return done();
}

}  // namespace

TEST_F(WaveViewShell, FirstDocumentSwitchesToTheDocumentMenuAndLastBackToTheStartMenu) {
    HWND a = plain_document(f);
    EXPECT_EQ(GetMenu(f.frame), documentMenu);
    EXPECT_EQ(f.to(f.posBar, UM_DOCAVAILABLE).size(), 1u);
    EXPECT_EQ(f.to(f.posBar, UM_MARKUPDATE).size(), 1u);
    EXPECT_EQ(f.to(f.selectBar, UM_ZOOMCHANGED).size(), 1u);

    HWND b = plain_document(f);
    EXPECT_EQ(GetMenu(f.frame), documentMenu);
    EXPECT_EQ(f.to(f.posBar, UM_DOCAVAILABLE).size(), 1u) << "another document was active";
    EXPECT_EQ(f.to(f.selectBar, UM_ZOOMCHANGED).size(), 3u) << "one losing, one gaining";
    SendMessage(f.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
    EXPECT_EQ(f.to(f.selectBar, UM_ZOOMCHANGED).size(), 5u);
    EXPECT_TRUE(f.to(f.posBar, UM_NODOCUMENT).empty());
    EXPECT_EQ(f.to(f.posBar, UM_DOCAVAILABLE).size(), 1u);

    SendMessage(f.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(b), 0);
    EXPECT_TRUE(f.to(f.posBar, UM_NODOCUMENT).empty()) << "the active document stays";
    SendMessage(f.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(a), 0);
    EXPECT_EQ(GetMenu(f.frame), f.startMenu);
    EXPECT_EQ(f.to(f.posBar, UM_NODOCUMENT).size(), 1u);
}

TEST_F(WaveViewShell, CommandsOfTheMenuRangeGoToTheFrame) {
    HWND doc = make_view(f, Format{1, 8}, wave8(100, 10), 200, 100, 1);
    SendMessage(doc, WM_COMMAND, IDM_VOLUME, 0);
    SendMessage(doc, WM_COMMAND, 100, 0);
    SendMessage(doc, WM_COMMAND, 998, 0);
    SendMessage(doc, WM_COMMAND, 99, 0);
    SendMessage(doc, WM_COMMAND, 999, 0);
    EXPECT_EQ(f.commands, (std::vector<WPARAM>{IDM_VOLUME, 100, 998}));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(doc, UM_GETFRAME, 0, 0)), f.frame);
}

TEST_F(WaveViewShell, ContextMenuDependsOnWhetherTheDocumentHasData) {
    RegisterProgramResources(GetModuleHandle(nullptr));
    HWND full = make_view(f, Format{1, 8}, wave8(100, 10), 200, 100, 1);
    HWND empty = make_view(f, Format{1, 8}, {}, 200, 100, 1);
    QuestionRecorder rec;
    std::vector<UINT> defaults;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::string(q->kind) != "PopupMenu") return 0;
        defaults.push_back(GetMenuDefaultItem(static_cast<HMENU>(q->data), FALSE, 0));
        return 502;
    };
    SendMessage(full, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(full), 0);
    SendMessage(empty, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(empty), 0);
    PlatformProcessEvents();
    ASSERT_EQ(rec.asked.size(), 2u);
    EXPECT_NE(rec.asked[0].text.find("501\t&Play\tCtrl + P"), std::string::npos);
    EXPECT_NE(rec.asked[1].text.find("505\t&Record...\tCtrl + R"), std::string::npos);
    EXPECT_EQ(rec.asked[1].text.find("501\t"), std::string::npos);
    EXPECT_EQ(defaults, (std::vector<UINT>{501, 505}));
    ASSERT_FALSE(f.commands.empty());
    EXPECT_EQ(LOWORD(f.commands[0]), 502) << "the choice reaches the frame";
}

TEST_F(WaveViewShell, LoadingDocumentCannotBeClosed) {
    HWND doc = make_view(f, Format{1, 8}, wave8(100, 10), 200, 100, 1);
    set_working(doc, 1);
    SendMessage(doc, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(doc));
    set_working(doc, 0);
    SendMessage(doc, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(doc)) << "a saved, ready document closes without a question";
}

TEST_F(WaveViewShell, UnsavedDocumentClosesOnlyPastTheSaveQuestion) {
    HWND doc = make_view(f, Format{1, 8}, wave8(100, 10), 200, 100, 1);
    SetFileNotSaved(doc);
    QuestionRecorder rec;
    rec.answers = {IDCANCEL, IDNO};
    SendMessage(doc, WM_CLOSE, 0, 0);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].caption, "Close File");
    EXPECT_TRUE(IsWindow(doc)) << "Cancel keeps the document";
    SendMessage(doc, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(doc)) << "No closes it unsaved";
}

TEST_F(WaveViewShell, ReleaseFreesEveryBlockAndTheScrollWindow) {
    HWND doc = make_view(f, Format{1, 8}, wave8(100, 10), 200, 100, 1);
    SaveUndoInformation(doc, 0, 10, UNDO_CHANGED, "Test");
    HWND strip = CreateWindowEx(0, "WaveViewTestBar", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, doc,
                                nullptr, GetModuleHandle(nullptr), nullptr);
    SetProp(doc, PROP_SCROLLHWND, strip);
    SendMessage(doc, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 240));
    RECT sr{};
    GetWindowRect(strip, &sr);
    POINT corner{sr.left, sr.top};
    ScreenToClient(doc, &corner);
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 240 - 22);
    EXPECT_EQ(sr.bottom - sr.top, 22);
    EXPECT_EQ(sr.right - sr.left, 300);

    std::vector<HGLOBAL> blocks;
    for (const char* name :
         {PROP_HEADER, PROP_WAVE, PROP_POSITION, PROP_INFO, PROP_UNDO, PROP_FILEINFO})
        blocks.push_back(static_cast<HGLOBAL>(GetProp(doc, name)));
    auto* undo = static_cast<UndoBlock*>(GlobalLock(blocks[4]));
    HGLOBAL copy = undo->copy;
    GlobalUnlock(blocks[4]);
    ASSERT_NE(copy, nullptr);
    blocks.push_back(copy);

    SendMessage(f.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
    for (HGLOBAL h : blocks) EXPECT_EQ(GlobalFlags(h), UINT(GMEM_INVALID_HANDLE));
    EXPECT_FALSE(IsWindow(strip));
}

namespace {
std::atomic<int> g_worker_holds{0};
DWORD guard_holder(LPVOID doc) {
    DocumentLock lock(static_cast<HWND>(doc));
    g_worker_holds = 1;
    for (;;) Sleep(5);
}
}  // namespace

TEST_F(WaveViewShell, ReleaseEndsTheDocumentsOperationsAndStopsItsPlayback) {
    HWND doc = make_view(f, Format{1, 8}, wave8(100, 10), 200, 100, 1);
    HWND other = make_view(f, Format{1, 8}, wave8(100, 10), 200, 100, 1);
    struct Restore {
        OperationState saved = g_operations;
        ~Restore() { g_operations = saved; }
    } restore;
    g_operations = OperationState{};
    g_worker_holds = 0;
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, guard_holder, doc, CREATE_SUSPENDED, &id);
    g_operations.table[3] = OperationEntry{t, id, IDS_NAME_VOLUME, doc, -1};
    g_operations.table[5] =
        OperationEntry{reinterpret_cast<HANDLE>(1), 77, IDS_NAME_FADEIN, other, -1};
    g_operations.running = 2;
    ResumeThread(t);
    ASSERT_TRUE(wait_until([] { return g_worker_holds == 1; }));
    f.playing = doc;

    SendMessage(f.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
    EXPECT_FALSE(IsWindow(doc));
    EXPECT_EQ(g_operations.table[3].thread, nullptr);
    EXPECT_EQ(g_operations.table[3].document, nullptr);
    EXPECT_EQ(g_operations.table[5].threadId, 77u) << "another document's entry stays";
    EXPECT_EQ(g_operations.running, 1);
    EXPECT_EQ(f.to(f.preview, UM_PLAYSTOPPED).size(), 1u);
}

TEST_F(WaveViewShell, PaintWaitsForTheOperationThatHoldsTheDocument) {
    HWND doc = make_view(f, Format{1, 8}, Bytes(400, 128), 200, 100, 1);
    paint(doc);
    const COLORREF before = PlatformWindowPixel(doc, 60, 30);
    std::atomic<bool> holding{false}, leave{false};
    std::thread op([&] {
        DocumentLock lock(doc);
        holding = true;
        while (!leave) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (!holding) std::this_thread::yield();
    set_mark(doc, 40, 40);
    paint(doc);
    EXPECT_EQ(PlatformWindowPixel(doc, 60, 30), before) << "no drawing while the guard is held";
    leave = true;
    op.join();
    EXPECT_TRUE(wait_until([&] { return PlatformWindowPixel(doc, 60, 30) != before; }))
        << "the view paints again once the operation is done";
    EXPECT_EQ(PlatformWindowPixel(doc, 60, 30), ~before & 0xFFFFFFu);
}
