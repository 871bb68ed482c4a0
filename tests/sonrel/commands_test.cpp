// The frame's commands: files, editing on the frame's thread, refusals, the
// undo item and the window commands.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <string>

#include "operations.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

std::string title_of(HWND w) {
    char text[300] = {};
    GetWindowText(w, text, sizeof text);
    return text;
}

std::string item_text(HMENU menu, UINT id) {
    char text[128] = {};
    GetMenuString(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

const std::vector<short> kRamp = {100, 200, 300, 400, 500, 600, 700, 800};

}  // namespace

TEST(Commands, OpenPathMakesAnActiveDocumentWithTheFilesSamples) {
    Shell s;
    std::string path = write_wave("ramp.wav", kRamp);
    HWND doc = open_document(s.frame, path);
    ASSERT_TRUE(doc);
    EXPECT_EQ(wave_bytes(doc).size(), kRamp.size() * 2);
    EXPECT_EQ(SendMessage(s.frame, UM_GETACTIVEDOC, 0, 0), reinterpret_cast<LRESULT>(doc));
    command(s.frame, IDM_OPENPATH, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(ActiveDocument(), doc) << "an empty path opens nothing";
}

TEST(Commands, NewNumbersEachDocumentOneHigher) {
    Shell s;
    command(s.frame, IDM_NEW);
    HWND first = ActiveDocument();
    command(s.frame, IDM_NEW);
    HWND second = ActiveDocument();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(title_of(first), "Unnamed -1-.WAV");
    EXPECT_EQ(title_of(second), "Unnamed -2-.WAV");
    EXPECT_EQ(g_shell.newDocumentCounter, 2);
}

TEST(Commands, FileCommandsDoNothingWithoutADocument) {
    Shell s;
    QuestionRecorder rec;
    for (int id :
         {IDM_SAVE, IDM_SAVEAS, IDM_CLOSE, IDM_RESTORE, IDM_UNDO, IDM_REVERSE, IDM_FADELEFTTORIGHT,
          IDM_MAXVOLUME, IDM_FADERIGHTTOLEFT, IDM_ZEROIZE, IDM_DELETE, IDM_CROP})
        command(s.frame, id);
    EXPECT_TRUE(rec.asked.empty()) << "no save dialog or question";
    EXPECT_EQ(ActiveDocument(), nullptr);
    EXPECT_EQ(live_operations(), 0);
}

TEST(Commands, RefusedIfBusyCommandsDoNothingWhileTheDocumentLoads) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("busy.wav", kRamp));
    ASSERT_TRUE(doc);
    set_mark(doc, 2, 8);
    auto before = wave_bytes(doc);
    SetFileWorking(doc);
    for (int id : {IDM_REVERSE, IDM_FADELEFTTORIGHT, IDM_MAXVOLUME, IDM_FADERIGHTTOLEFT,
                   IDM_ZEROIZE, IDM_DELETE, IDM_CROP, IDM_UNDO})
        command(s.frame, id);
    EXPECT_EQ(live_operations(), 0);
    EXPECT_EQ(wave_bytes(doc), before);
    EXPECT_FALSE(IsUndoPossible(doc));
    SetFileNotWorking(doc);
    command(s.frame, IDM_DELETE);
    EXPECT_EQ(wave_bytes(doc).size(), before.size() - 8) << "once loaded, Delete works";
}

TEST(Commands, UndoItemFollowsTheActiveDocumentsUndoRecord) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("undo.wav", kRamp));
    ASSERT_TRUE(doc);
    HMENU menu = g_shell.documentMenu;
    HMENU edit = GetSubMenu(menu, 1);
    SendMessage(s.frame, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(item_text(menu, IDM_UNDO), "&Undo not possible\tCtrl + Z");
    EXPECT_TRUE(GetMenuState(menu, IDM_UNDO, MF_BYCOMMAND) & MF_GRAYED);

    command(s.frame, IDM_REVERSE);
    ASSERT_TRUE(serve_until(operations_done));
    SendMessage(s.frame, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(item_text(menu, IDM_UNDO), "&Undo: Reverse\tCtrl + Z");
    EXPECT_FALSE(GetMenuState(menu, IDM_UNDO, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(GetMenuDefaultItem(edit, FALSE, 0), UINT(IDM_UNDO));

    auto reversed = wave_bytes(doc);
    command(s.frame, IDM_UNDO);
    EXPECT_NE(wave_bytes(doc), reversed) << "undo restores the samples";
    ForbidUndo(doc);
    SendMessage(s.frame, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(item_text(menu, IDM_UNDO), "&Undo not possible\tCtrl + Z");
    EXPECT_EQ(GetMenuDefaultItem(edit, FALSE, 0), static_cast<UINT>(-1));
}

TEST(Commands, TheStartMenuIsLeftAloneByTheUndoItem) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("start.wav", kRamp));
    ASSERT_TRUE(doc);
    SendMessage(s.frame, WM_INITMENU, reinterpret_cast<WPARAM>(g_shell.startMenu), 0);
    EXPECT_EQ(GetMenuState(g_shell.startMenu, IDM_UNDO, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST(Commands, DeleteAndCropChangeTheMarkedDataOnTheFramesThread) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("edit.wav", kRamp));
    ASSERT_TRUE(doc);
    set_mark(doc, 4, 4);
    command(s.frame, IDM_DELETE);
    EXPECT_EQ(wave_bytes(doc).size(), kRamp.size() * 2 - 4);
    EXPECT_TRUE(IsUndoPossible(doc));
    set_mark(doc, 0, 6);
    command(s.frame, IDM_CROP);
    auto kept = wave_bytes(doc);
    ASSERT_EQ(kept.size(), 6u);
    EXPECT_EQ(kept[0] | (kept[1] << 8), 100);
    EXPECT_EQ(live_operations(), 0) << "neither runs on a thread";
}

TEST(Commands, SaveAsWritesTheChosenFileAndRetitlesTheDocument) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("source.wav", kRamp));
    ASSERT_TRUE(doc);
    SetFileNotSaved(doc);
    std::string target = testing_support::fresh_dir("saveas") + "/copy.wav";
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        return std::string(q->kind) == "SaveFile" ? reinterpret_cast<INT_PTR>(target.c_str()) : 0;
    };
    command(s.frame, IDM_SAVEAS);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(title_of(doc), target);
    EXPECT_TRUE(IsFileSaved(doc));
    auto written = testing_support::read_file(target);
    ASSERT_EQ(written.size(), 44 + kRamp.size() * 2);
    EXPECT_EQ(std::string(written.begin(), written.begin() + 4), "RIFF");
}

TEST(Commands, SaveAsCancelledChangesNothing) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("keep.wav", kRamp));
    ASSERT_TRUE(doc);
    SetFileNotSaved(doc);
    std::string before = title_of(doc);
    QuestionRecorder rec;
    rec.default_answer = 0;
    command(s.frame, IDM_SAVEAS);
    EXPECT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(title_of(doc), before);
    EXPECT_FALSE(IsFileSaved(doc));
}

TEST(Commands, ThreadManagerAndCdPlayerTogglesFollowTheirMenuItems) {
    Shell s;
    command(s.frame, IDM_THREADMANAGER);
    EXPECT_TRUE(g_shell.threadManShown);
    EXPECT_TRUE(IsWindowVisible(g_shell.threadMan));
    EXPECT_TRUE(GetMenuState(g_shell.windowPopup, IDM_THREADMANAGER, MF_BYCOMMAND) & MF_CHECKED);
    command(s.frame, IDM_THREADMANAGER);
    EXPECT_FALSE(g_shell.threadManShown);
    EXPECT_FALSE(IsWindowVisible(g_shell.threadMan));
    EXPECT_FALSE(GetMenuState(g_shell.windowPopup, IDM_THREADMANAGER, MF_BYCOMMAND) & MF_CHECKED);

    command(s.frame, IDM_CDPLAYER);
    EXPECT_TRUE(g_shell.cdPlayerShown);
    EXPECT_TRUE(IsWindowVisible(g_shell.cdPlayer));
    EXPECT_TRUE(GetMenuState(g_shell.windowPopup, IDM_CDPLAYER, MF_BYCOMMAND) & MF_CHECKED);
    command(s.frame, IDM_CDPLAYER);
    EXPECT_FALSE(g_shell.cdPlayerShown);
    EXPECT_FALSE(GetMenuState(g_shell.windowPopup, IDM_CDPLAYER, MF_BYCOMMAND) & MF_CHECKED);
}

TEST(Commands, WindowCommandsArrangeAndRestoreTheDocuments) {
    Shell s;
    command(s.frame, IDM_NEW);
    HWND a = ActiveDocument();
    command(s.frame, IDM_NEW);
    HWND b = ActiveDocument();
    ASSERT_TRUE(a && b);
    command(s.frame, IDM_TILE);
    RECT ra = child_rect(a), rb = child_rect(b);
    EXPECT_TRUE(ra.right <= rb.left || rb.right <= ra.left) << "tiled side by side";
    SendMessage(g_shell.mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(b), 0);
    ASSERT_TRUE(IsZoomed(b));
    command(s.frame, IDM_RESTORE);
    EXPECT_FALSE(IsZoomed(b));
    command(s.frame, IDM_CASCADE);
    ra = child_rect(a);
    rb = child_rect(b);
    EXPECT_NE(ra.left, rb.left) << "cascaded windows are offset";
}

TEST(Commands, ExitAsksTheFrameToCloseThroughTheSystemCommand) {
    Shell s;
    command(s.frame, IDM_EXIT);
    ASSERT_TRUE(serve_until([&] { return !IsWindow(s.frame); }));
    EXPECT_EQ(g_shell.startMenu, nullptr) << "the menus went with the frame";
}

TEST(Commands, AcceleratorsOfTheTableReachTheFrameAsCommands) {
    Shell s;
    HACCEL acc = LoadAccelerators(g_shell.instance, "ACCS");
    ASSERT_TRUE(acc);
    PlatformSetKeyState(VK_CONTROL, TRUE);
    MSG m{s.frame, WM_KEYDOWN, 'N', 0, 0, POINT{0, 0}};
    EXPECT_TRUE(TranslateAccelerator(s.frame, acc, &m));
    PlatformSetKeyState(VK_CONTROL, FALSE);
    EXPECT_NE(ActiveDocument(), nullptr) << "Ctrl+N made a new document";
    MSG plain{s.frame, WM_KEYDOWN, 'N', 0, 0, POINT{0, 0}};
    EXPECT_FALSE(TranslateAccelerator(s.frame, acc, &plain));
    DestroyAcceleratorTable(acc);
}

TEST(Commands, OpenReadsTheFileChosenInTheOpenDialog) {
    Shell s;
    std::string path = write_wave("chosen.wav", kRamp);
    QuestionRecorder rec;
    rec.on_ask = [](const PlatformQuestion*) -> INT_PTR { return 0; };
    command(s.frame, IDM_OPEN);
    EXPECT_EQ(ActiveDocument(), nullptr) << "a cancelled dialog opens nothing";
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        return std::string(q->kind) == "OpenFile" ? reinterpret_cast<INT_PTR>(path.c_str()) : 0;
    };
    command(s.frame, IDM_OPEN);
    HWND doc = ActiveDocument();
    ASSERT_TRUE(doc);
    EXPECT_EQ(title_of(doc), path);
    EXPECT_EQ(wave_bytes(doc).size(), kRamp.size() * 2);
}

TEST(Commands, MarkAllAndDestroyMarkReachTheActiveDocumentThroughThePositionBar) {
    Shell s;
    command(s.frame, IDM_NEW);
    HWND empty = ActiveDocument();
    ASSERT_TRUE(empty);
    command(s.frame, IDM_MARKALL);
    for (int i = 0; i < 10; ++i) PlatformProcessEvents();
    auto* p = static_cast<PositionBlock*>(GlobalLock(GetProp(empty, PROP_POSITION)));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->markLength, 0u) << "an empty document has nothing to mark";
    GlobalUnlock(GetProp(empty, PROP_POSITION));
    HWND doc = open_document(s.frame, write_wave("markall.wav", kRamp));
    ASSERT_TRUE(doc);
    auto mark = [doc] {
        auto* p = static_cast<PositionBlock*>(GlobalLock(GetProp(doc, PROP_POSITION)));
        std::pair<DWORD, DWORD> m{p->markStart, p->markLength};
        GlobalUnlock(GetProp(doc, PROP_POSITION));
        return m;
    };
    set_mark(doc, 4, 2);
    command(s.frame, IDM_MARKALL);
    EXPECT_TRUE(serve_until([&] { return mark() == std::pair<DWORD, DWORD>(0, 16); }))
        << "Mark all covers the whole data";
    command(s.frame, IDM_DESTROYMARK);
    EXPECT_TRUE(serve_until([&] { return mark() == std::pair<DWORD, DWORD>(0, 0); }))
        << "Destroy mark leaves none";
    SetFileWorking(doc);
    command(s.frame, IDM_MARKALL);
    for (int i = 0; i < 10; ++i) PlatformProcessEvents();
    EXPECT_EQ(mark(), (std::pair<DWORD, DWORD>(0, 0))) << "a busy document keeps its mark";
    SetFileNotWorking(doc);
}
