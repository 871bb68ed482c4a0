// The command table's dispatch: refusal rules, asking first, the argument an
// operation thread gets, what goes to the default frame handling, and the
// program's own table and menus.
#include "command_table.h"

#include <gtest/gtest.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <atomic>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "operations.h"
#include "shell_fixture.h"

using namespace shelltest;

namespace {

// What the test rows' procedures, dialogs and threads saw.
int g_called = 0;
HWND g_calledWith = nullptr;
int g_asked = 0;
BOOL g_answer = FALSE;
std::atomic<int> g_threads{0};
std::atomic<LPVOID> g_threadParam{nullptr};
std::atomic<bool> g_release{true};

void reset() {
    g_called = g_asked = 0;
    g_calledWith = nullptr;
    g_answer = FALSE;
    g_threads = 0;
    g_threadParam = nullptr;
    g_release = true;
}

void procedure(const CommandCall& call) {
    ++g_called;
    g_calledWith = call.doc;
}

BOOL ask(HWND) {
    ++g_asked;
    return g_answer;
}

// Announces itself as operations do, holds until released, then ends.
DWORD operation(LPVOID param) {
    g_threadParam = param;
    ++g_threads;
    SendMessage(g_shell.frame, UM_THREADBEGIN, 0, 0);
    while (!g_release) Sleep(2);
    SendMessage(g_shell.frame, UM_THREADEND, GetCurrentThreadId(), 0);
    return 1;
}

constexpr WORD kTestId = 4321;

enum class Doc { kNone, kBusy, kIdle };

// An active document in the given state; null for kNone.
HWND document(HWND frame, Doc state) {
    if (state == Doc::kNone) return nullptr;
    command(frame, IDM_NEW);
    HWND doc = ActiveDocument();
    if (state == Doc::kBusy) SetFileWorking(doc);
    return doc;
}

CommandCall call_for(HWND frame, HWND doc) {
    return CommandCall{frame, doc, kTestId, kTestId, 0};
}

struct RefusalCase {
    CommandRefusal refusal;
    Doc doc;
    bool runs;
};

}  // namespace

TEST(CommandTable, RefusalRulesDecideWhetherARowRuns) {
    const RefusalCase cases[] = {
        {REFUSE_NONE, Doc::kNone, true},         {REFUSE_NONE, Doc::kBusy, true},
        {REFUSE_NO_DOCUMENT, Doc::kNone, false}, {REFUSE_NO_DOCUMENT, Doc::kBusy, true},
        {REFUSE_NO_DOCUMENT, Doc::kIdle, true},  {REFUSE_BUSY, Doc::kNone, false},
        {REFUSE_BUSY, Doc::kBusy, false},        {REFUSE_BUSY, Doc::kIdle, true},
    };
    for (const RefusalCase& c : cases) {
        Shell s;
        reset();
        HWND doc = document(s.frame, c.doc);
        const CommandRow row{kTestId, HOW_FRAME, c.refusal, 0, nullptr, nullptr, procedure};
        SCOPED_TRACE(testing::Message()
                     << "refusal " << c.refusal << ", document " << static_cast<int>(c.doc));
        EXPECT_EQ(RunCommand(row, call_for(s.frame, doc)), c.runs ? TRUE : FALSE);
        EXPECT_EQ(g_called, c.runs ? 1 : 0);
        if (c.runs) EXPECT_EQ(g_calledWith, doc) << "the procedure gets the active document";
        if (doc) SetFileNotWorking(doc);
    }
}

TEST(CommandTable, AskingRowsRunOnlyAfterOkAndARefusedRowAsksNothing) {
    for (CommandHow how : {HOW_ASK_THREAD, HOW_ASK_FRAME}) {
        SCOPED_TRACE(testing::Message() << "how " << how);
        Shell s;
        reset();
        HWND doc = document(s.frame, Doc::kIdle);
        const CommandRow row{kTestId, how, REFUSE_BUSY, IDS_NAME_VOLUME, ask, operation, procedure};
        g_answer = FALSE;
        EXPECT_FALSE(RunCommand(row, call_for(s.frame, doc)));
        EXPECT_EQ(g_asked, 1);
        EXPECT_EQ(live_operations(), 0) << "Cancel starts no thread";
        EXPECT_EQ(g_called, 0);

        SetFileWorking(doc);
        g_answer = TRUE;
        EXPECT_FALSE(RunCommand(row, call_for(s.frame, doc)));
        EXPECT_EQ(g_asked, 1) << "a busy document is refused before the dialog";
        SetFileNotWorking(doc);

        EXPECT_TRUE(RunCommand(row, call_for(s.frame, doc)));
        EXPECT_EQ(g_asked, 2);
        ASSERT_TRUE(serve_until(operations_done));
        EXPECT_EQ(g_threads, how == HOW_ASK_THREAD ? 1 : 0);
        EXPECT_EQ(g_called, how == HOW_ASK_FRAME ? 1 : 0);
    }
}

TEST(CommandTable, ThreadRowsEnterTheirOperationWithTheFrameOrTheDocumentAsArgument) {
    for (ThreadParam param : {PARAM_FRAME, PARAM_DOCUMENT}) {
        SCOPED_TRACE(testing::Message() << "param " << param);
        Shell s;
        reset();
        HWND doc = document(s.frame, Doc::kIdle);
        const CommandRow row{kTestId,   HOW_THREAD, REFUSE_BUSY, IDS_NAME_COPY, nullptr,
                             operation, nullptr,    0,           param};
        g_release = false;
        ASSERT_TRUE(RunCommand(row, call_for(s.frame, doc)));
        ASSERT_TRUE(serve_until([] { return g_threads == 1; }));
        EXPECT_EQ(g_threadParam.load(),
                  param == PARAM_FRAME ? static_cast<LPVOID>(s.frame) : static_cast<LPVOID>(doc));
        ASSERT_EQ(live_operations(), 1);
        const OperationEntry* entry = nullptr;
        for (const OperationEntry& e : g_operations.table)
            if (IsOperationLive(e)) entry = &e;
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->nameId, DWORD(IDS_NAME_COPY));
        EXPECT_EQ(entry->document, doc);
        g_release = true;
        ASSERT_TRUE(serve_until(operations_done));
    }
}

TEST(CommandTable, UnknownIdsAndTheRangesGoToTheDefaultHandling) {
    for (WORD id : {WORD(0), WORD(IDM_DOCUMENT_FIRST), WORD(IDM_DOCUMENT_LAST), WORD(12345),
                    WORD(IDM_SEPARATECHANNELS)}) {
        const CommandRow* row = FindCommand(FrameCommands(), id);
        EXPECT_TRUE(!row || row->how == HOW_DEFAULT) << "id " << id;
        if (row) EXPECT_FALSE(RunCommand(*row, call_for(nullptr, nullptr))) << "id " << id;
    }
    // The window menu's document entries activate their document there.
    Shell s;
    command(s.frame, IDM_NEW);
    HWND first = ActiveDocument();
    command(s.frame, IDM_NEW);
    ASSERT_NE(ActiveDocument(), first);
    int entry = GetDlgCtrlID(first);
    ASSERT_GE(entry, IDM_DOCUMENT_FIRST);
    ASSERT_LE(entry, IDM_DOCUMENT_LAST);
    command(s.frame, WORD(entry));
    EXPECT_EQ(ActiveDocument(), first);
}

TEST(CommandTable, EveryRowOfTheProgramsTableHasWhatItsWayOfRunningNeeds) {
    std::set<WORD> seen;
    for (const CommandRow& row : FrameCommands()) {
        SCOPED_TRACE(testing::Message() << "row " << row.id);
        WORD last = row.last ? row.last : row.id;
        ASSERT_LE(row.id, last);
        for (unsigned id = row.id; id <= last; ++id)
            EXPECT_TRUE(seen.insert(WORD(id)).second) << "id " << id << " has two rows";
        bool threaded = row.how == HOW_THREAD || row.how == HOW_ASK_THREAD;
        bool asks = row.how == HOW_ASK_THREAD || row.how == HOW_ASK_FRAME;
        bool calls = row.how == HOW_FRAME || row.how == HOW_ASK_FRAME || row.how == HOW_SPECIAL;
        if (threaded) EXPECT_TRUE(row.thread);
        if (!threaded && row.how != HOW_SPECIAL) EXPECT_FALSE(row.thread) << "never started";
        EXPECT_EQ(row.ask != nullptr, asks);
        EXPECT_EQ(row.procedure != nullptr, calls);
        if (threaded) EXPECT_NE(row.nameId, 0u) << "an operation needs its display name";
        if (row.how == HOW_DEFAULT) EXPECT_EQ(row.refusal, REFUSE_NONE);
    }
}

TEST(CommandTable, OperationCommandsRunUnderTheirDisplayNames) {
    Shell s;
    struct Named {
        WORD id;
        const char* text;  // "" for no text in the string table
    };
    const Named names[] = {
        {IDM_VOLUME, "Volume - Filter"},
        {IDM_FADEIN, "Fade In - Filter"},
        {IDM_FADEOUT, "Fade Out - Filter"},
        {IDM_VELOCITY, "Velocity - Filter"},
        {IDM_SOFTEN, "LowPass - Filter"},
        {IDM_INSERTSILENCE, "Insert Silence - Filter"},
        {IDM_SILENCE, "Silence - Filter"},
        {IDM_REVERSE, "Reverse - Filter"},
        {IDM_FADELEFTTORIGHT, "Fade Channels Left To Right - Filter"},
        {IDM_MAXVOLUME, "Peak Volume - Filter"},
        {IDM_FADERIGHTTOLEFT, "Fade Channels Right To Left - Filter"},
        {IDM_ZEROIZE, ""},
        {IDM_COPY, "Copy To Clipboard"},
        {IDM_PASTE, "Paste From Clipboard"},
        {IDM_MIX, "Mix from Clipboard"},
    };
    int operations = 0;
    for (const CommandRow& row : FrameCommands()) operations += row.thread ? 1 : 0;
    EXPECT_EQ(operations, int(std::size(names))) << "every operation command is listed here";
    for (const Named& n : names) {
        const CommandRow* row = FindCommand(FrameCommands(), n.id);
        ASSERT_TRUE(row) << n.id;
        char text[128] = {};
        LoadString(g_shell.instance, row->nameId, text, sizeof text);
        EXPECT_STREQ(text, n.text) << "command " << n.id;
    }
}

namespace {

void collect_items(HMENU menu, std::vector<UINT>* ids) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            collect_items(sub, ids);
            continue;
        }
        UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != UINT(-1)) ids->push_back(id);
    }
}

}  // namespace

TEST(CommandTable, EveryMenuItemOfTheProgramHasItsHelpText) {
    Shell s;
    int items = 0;
    for (const char* name :
         {"STARTMENU", "MENU_1", "WAVEFILEMENU", "EMPTYWAVEFILEMENU", "ROLLDOWNCONTEXTMENU",
          "FUNCBARCONTEXTMENU", "VDESKTOP", "PREVIEWMENU", "LISTMENU"}) {
        HMENU menu = LoadMenu(g_shell.instance, name);
        ASSERT_TRUE(menu) << name;
        std::vector<UINT> ids;
        collect_items(menu, &ids);
        DestroyMenu(menu);
        for (UINT id : ids) {
            char text[256] = {};
            EXPECT_GT(LoadString(g_shell.instance, id, text, sizeof text), 0)
                << name << " item " << id;
            EXPECT_NE(std::string(text).find('\r'), std::string::npos)
                << name << " item " << id << ": help and tooltip";
        }
        items += int(ids.size());
    }
    EXPECT_GT(items, 50);
}
