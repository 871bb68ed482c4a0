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

TEST(Commands, SaveAsRefusesAPathTooLongForTheDocumentAndWritesNothing) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("short.wav", kRamp));
    ASSERT_TRUE(doc);
    SetFileNotSaved(doc);
    std::string before = title_of(doc);
    std::string folder = testing_support::fresh_dir("saveas-long");
    std::string target = folder + "/" + std::string(250, 'n') + ".wav";
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        return std::string(q->kind) == "SaveFile" ? reinterpret_cast<INT_PTR>(target.c_str()) : 0;
    };
    command(s.frame, IDM_SAVEAS);
    ASSERT_EQ(rec.asked.size(), 2u) << "the save dialog, then the refusal";
    EXPECT_EQ(rec.asked[1].text.rfind("Path too long.", 0), 0u) << rec.asked[1].text;
    EXPECT_EQ(title_of(doc), before);
    EXPECT_FALSE(IsFileSaved(doc));
    EXPECT_EQ(testing_support::run("test -z \"$(ls -A '" + folder + "')\""), 0)
        << "no file under a cut name";
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

TEST(Commands, TheWindowMenuListsTheDocumentsAndItsNumbersActivateThem) {
    Shell s;
    std::string one = write_wave("one.wav", kRamp), two = write_wave("two.wav", kRamp);
    HWND a = open_document(s.frame, one);
    HWND b = open_document(s.frame, two);
    ASSERT_TRUE(a && b);
    HMENU window = GetSubMenu(g_shell.documentMenu, 4);
    ASSERT_EQ(GetMenuItemID(window, 0), UINT(IDM_CASCADE));
    auto entries = [&] {
        std::string out;
        for (int i = 0; i < GetMenuItemCount(window); ++i) {
            UINT id = GetMenuItemID(window, i);
            if (id < IDM_DOCUMENT_FIRST || id > IDM_DOCUMENT_LAST) continue;
            bool checked = GetMenuState(window, UINT(i), MF_BYPOSITION) & MF_CHECKED;
            out += std::to_string(id) + (checked ? "* " : " ") + item_text(window, id) + "\n";
        }
        return out;
    };
    // Opened with the keyboard (Alt+W): the list follows "&Restore"; "1"
    // chooses the first document.
    ASSERT_TRUE(PlatformSimulateMenuKeys(s.frame, 4, "1"));
    EXPECT_EQ(entries(), "800 &1 " + one + "\n801* &2 " + two + "\n");
    EXPECT_EQ(GetMenuItemID(window, 5), UINT(IDM_RESTORE));
    EXPECT_EQ(GetMenuState(window, 6, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_TRUE(serve_until([&] { return ActiveDocument() == a; }));

    ASSERT_TRUE(PlatformSimulateMenuKeys(s.frame, 4, ""));
    EXPECT_EQ(entries(), "800* &1 " + one + "\n801 &2 " + two + "\n") << "made again, not added";
    SendMessage(g_shell.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(a), 0);
    ASSERT_TRUE(PlatformSimulateMenuKeys(s.frame, 4, ""));
    EXPECT_EQ(entries(), "800* &1 " + two + "\n") << "a closed document leaves the list";
    EXPECT_EQ(GetMenuItemCount(window), 8);
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

// Offers one key press (with Ctrl and Shift as given) to the table on the
// window; whether the table took it.
bool press(HACCEL acc, HWND w, bool ctrl, bool shift, int vk) {
    PlatformSetKeyState(VK_CONTROL, ctrl);
    PlatformSetKeyState(VK_SHIFT, shift);
    MSG m{w, WM_KEYDOWN, WPARAM(vk), 0, 0, POINT{0, 0}};
    int taken = TranslateAccelerator(w, acc, &m);
    PlatformSetKeyState(VK_CONTROL, FALSE);
    PlatformSetKeyState(VK_SHIFT, FALSE);
    return taken != 0;
}

WORD g_recorded;
LRESULT CALLBACK command_recorder(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) g_recorded = LOWORD(wp);
    return DefWindowProc(h, msg, wp, lp);
}

TEST(Commands, EveryAcceleratorOfTheTableGivesItsCommand) {
    Shell s;
    HACCEL acc = LoadAccelerators(g_shell.instance, "ACCS");
    ASSERT_TRUE(acc);
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = command_recorder;
    wc.lpszClassName = "CommandRecorder";
    RegisterClassEx(&wc);
    HWND recorder = CreateWindowEx(0, "CommandRecorder", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    struct Key {
        bool ctrl, shift;
        int vk;
        WORD id;
    };
    const Key keys[] = {
        {true, false, 'A', IDM_MARKALL},
        {true, false, 'C', IDM_COPY},
        {true, false, 'M', IDM_DESTROYMARK},
        {true, false, 'N', IDM_NEW},
        {true, false, 'O', IDM_OPEN},
        {true, false, 'P', IDM_PLAY},
        {true, false, 'R', IDM_REBUILDPREVIEW},
        {true, false, 'S', IDM_SAVE},
        {true, false, 'T', IDM_STOP},
        {true, false, 'V', IDM_PASTE},
        {true, false, 'X', IDM_CUT},
        {true, false, 'Z', IDM_UNDO},
        {true, false, VK_INSERT, IDM_COPY},
        {false, true, VK_INSERT, IDM_PASTE},
        {true, true, VK_INSERT, IDM_MIX},
        {false, false, VK_DELETE, IDM_DELETE},
        {false, true, VK_DELETE, IDM_CROP},
        {false, true, VK_F1, IDM_CONTEXTHELP},
        {false, true, VK_F4, IDM_CASCADE},
        {false, true, VK_F5, IDM_TILE},
        {true, false, VK_ADD, IDM_VOLUMEUP},
        {true, false, VK_SUBTRACT, IDM_VOLUMEDOWN},
    };
    for (const Key& k : keys) {
        g_recorded = 0;
        EXPECT_TRUE(press(acc, recorder, k.ctrl, k.shift, k.vk)) << k.vk;
        EXPECT_EQ(g_recorded, k.id) << (k.ctrl ? "Ctrl+" : "") << (k.shift ? "Shift+" : "") << k.vk;
    }
    EXPECT_FALSE(press(acc, recorder, false, false, 'Z')) << "Z alone is typing";
    DestroyWindow(recorder);

    // Ctrl+Z on the frame takes back the last change, as the undo item says.
    HWND doc = open_document(s.frame, write_wave("ctrlz.wav", kRamp));
    ASSERT_TRUE(doc);
    auto original = wave_bytes(doc);
    command(s.frame, IDM_REVERSE);
    ASSERT_TRUE(serve_until(operations_done));
    ASSERT_NE(wave_bytes(doc), original);
    EXPECT_TRUE(press(acc, s.frame, true, false, 'Z'));
    EXPECT_EQ(wave_bytes(doc), original);
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
    ASSERT_TRUE(serve_until(operations_done)) << "the file is read in the background";
    EXPECT_EQ(ActiveDocument(), doc);
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
