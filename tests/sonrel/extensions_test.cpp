// Extensions loaded by the real frame from a test-made registry store: the
// record as an extension writes it, the popup, the commands with their
// refusals and messages, the two sample extensions changing a document, the
// function bar's buttons, the help texts, and the release at the end.
#include "extensions.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <platform/datafolder.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "operations.h"
#include "shell_fixture.h"
#include "test_support.h"
#include "threadman.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

constexpr char kEchoDelay[] = "Sonrel\\Settings\\Extensions\\Echo\\Delay";
constexpr char kEchoLevel[] = "Sonrel\\Settings\\Extensions\\Echo\\Level";

std::string user_folder() {
    return PlatformFolder(PlatformDataPath) + "/" + EXTENSIONS_USER_FOLDER;
}

// Puts a copy of a test extension of this kind ("counting", "noinfo", ...)
// into the user's extensions folder under the file name given. A copy made
// before is kept: a loaded library's file must not change under it.
void install_fake(const std::string& kind, const std::string& fileName) {
    mkdir(user_folder().c_str(), 0700);
    std::string to = user_folder() + "/" + fileName;
    if (GetFileAttributes(to.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    std::string from = std::string(FAKE_EXTENSION_DIR) + "/fake-extension-" + kind + ".so";
    ASSERT_TRUE(CopyFile(from.c_str(), to.c_str(), TRUE)) << from;
}

// The registry store holds exactly these subkeys under the extensions key.
void register_extensions(const std::vector<std::string>& names) {
    DeleteFile((PlatformFolder(PlatformConfigPath) + "/registry.ini").c_str());
    for (const std::string& name : names) {
        HKEY key = nullptr;
        std::string sub = std::string(EXTENSIONS_KEY) + "\\" + name;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                 &key, nullptr),
                  0);
        RegCloseKey(key);
    }
}

// The registry store is removed after every test of this program, so no
// frame made by a later test loads the extensions registered here.
struct ForgetRegisteredExtensions : ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        DeleteFile((PlatformFolder(PlatformConfigPath) + "/registry.ini").c_str());
    }
};
const bool kForgetting = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetRegisteredExtensions);
    return true;
}();

std::vector<std::pair<UINT, std::string>> popup_items(HMENU popup) {
    std::vector<std::pair<UINT, std::string>> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        char text[600] = {};
        GetMenuString(popup, UINT(i), text, sizeof text, MF_BYPOSITION);
        items.emplace_back(GetMenuItemID(popup, i), text);
    }
    return items;
}

// The document menu's "F&ilters" popup: its last two items.
std::pair<UINT, std::string> filters_item_from_end(int back) {
    HMENU filters = GetSubMenu(g_shell.documentMenu, 3);
    int n = GetMenuItemCount(filters);
    char text[64] = {};
    GetMenuString(filters, UINT(n - back), text, sizeof text, MF_BYPOSITION);
    return {GetMenuState(filters, UINT(n - back), MF_BYPOSITION), text};
}

template <typename T>
T* fake_variable(int index, const char* name) {
    return reinterpret_cast<T*>(GetProcAddress(LoadedExtensions()[size_t(index)].module, name));
}

bool is_loaded(const std::string& path) {
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h) dlclose(h);
    return h != nullptr;
}

std::vector<unsigned char> bytes16(const std::vector<int>& values) {
    std::vector<unsigned char> b;
    for (int v : values) {
        b.push_back(static_cast<unsigned char>(v & 0xFF));
        b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
    }
    return b;
}

int asked_of_kind(const QuestionRecorder& q, const std::string& kind) {
    int n = 0;
    for (const auto& a : q.asked) n += a.kind == kind ? 1 : 0;
    return n;
}

}  // namespace

TEST(ExtensionRecord, AnExtensionWritingByTheDocumentedOffsetsIsReadAsItMeant) {
    install_fake("counting", "layout.so");
    register_extensions({"layout.so"});
    Shell s;
    ASSERT_EQ(LoadedExtensions().size(), 1u);
    const ExtensionInfo& r = LoadedExtensions()[0];
    const auto* bytes = reinterpret_cast<const unsigned char*>(&r);
    EXPECT_EQ(r.commandId, IDM_EXTENSION_FIRST);
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), IDM_EXTENSION_FIRST) << "command id at offset 0";
    EXPECT_EQ(bytes[2], 0xAB) << "the extension's own bytes stay";
    EXPECT_STREQ(r.menuText, "Fake &Filter");
    EXPECT_STREQ(r.description, "Fake help line\rFake tip");
    EXPECT_EQ(r.threaded, 0u);
    EXPECT_EQ(r.active, 1u);
    EXPECT_EQ(bytes[624], 0xCD);
    EXPECT_TRUE(r.bitmap) << "the image handle after the module handle";
    void* module = nullptr;
    std::memcpy(&module, bytes + EXTENSION_MODULE_OFFSET, sizeof module);
    EXPECT_EQ(module, r.module);
    char path[MAX_PATH] = {};
    GetModuleFileName(r.module, path, sizeof path);
    EXPECT_EQ(std::string(path), user_folder() + "/layout.so");
}

TEST(ExtensionRecord, TextsWithoutTerminatorAreCutAtTheirFieldsEnd) {
    install_fake("longtext", "longtext.so");
    register_extensions({"longtext.so"});
    Shell s;
    ASSERT_EQ(LoadedExtensions().size(), 1u);
    auto items = popup_items(g_shell.extensionsPopup);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].second, std::string(EXTENSION_MENUTEXT_BYTES - 1, 'M'));
    EXPECT_EQ(std::string(ExtensionTooltipText(IDM_EXTENSION_FIRST)),
              std::string(EXTENSION_DESCRIPTION_BYTES - 1, 'D'))
        << "no carriage return: the whole description is the tooltip";
    EXPECT_EQ(LoadedExtensions()[0].threaded, 0u) << "the field after the text is intact";
}

TEST(ExtensionLoading, TwoSubkeysGiveCommands1001And1002InOrderAndThePopupEndsTheFilters) {
    register_extensions({"invert.so", "echo.so"});
    Shell s;
    auto items = popup_items(g_shell.extensionsPopup);
    ASSERT_EQ(items.size(), 2u);
    // The store enumerates its subkeys by name.
    EXPECT_EQ(items[0], (std::pair<UINT, std::string>{1001, "&Echo..."}));
    EXPECT_EQ(items[1], (std::pair<UINT, std::string>{1002, "&Invert Polarity"}));
    EXPECT_EQ(LoadedExtensions()[0].commandId, 1001);
    EXPECT_EQ(LoadedExtensions()[1].commandId, 1002);
    EXPECT_TRUE(filters_item_from_end(2).first & MF_SEPARATOR);
    EXPECT_EQ(filters_item_from_end(1).second, "E&xtensions");
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(s.frame, UM_GETEXTMENU, 0, 0)),
              g_shell.extensionsPopup);
}

TEST(ExtensionLoading, WithoutTheKeyThereIsNoExtensionsMenu) {
    register_extensions({});
    Shell s;
    EXPECT_TRUE(LoadedExtensions().empty());
    EXPECT_EQ(GetMenuItemCount(g_shell.extensionsPopup), 0);
    EXPECT_NE(filters_item_from_end(1).second, "E&xtensions");
    EXPECT_EQ(filters_item_from_end(1).second, "Sof&ten...");
}

TEST(ExtensionLoading, AMissingLibraryIsSkippedSilently) {
    register_extensions({"absent.so", "invert.so", "sub/invert.so"});
    QuestionRecorder q;
    Shell s;
    EXPECT_TRUE(q.asked.empty());
    ASSERT_EQ(LoadedExtensions().size(), 1u);
    EXPECT_STREQ(LoadedExtensions()[0].menuText, "&Invert Polarity");
    EXPECT_EQ(LoadedExtensions()[0].commandId, 1001) << "numbered by load, not by subkey";
}

TEST(ExtensionLoading, ALibraryWithoutInformationIsReportedAndReleased) {
    install_fake("noinfo", "noinfo.so");
    register_extensions({"echo.so", "noinfo.so"});
    QuestionRecorder q;
    Shell s;
    ASSERT_EQ(q.asked.size(), 1u);
    EXPECT_EQ(q.asked[0].text, "Basic error while attempting to open Sonrel2003 - Extension.");
    EXPECT_EQ(q.asked[0].caption, "Warning...");
    EXPECT_EQ(q.asked[0].owner, nullptr);
    EXPECT_EQ(LoadedExtensions().size(), 1u);
    EXPECT_FALSE(is_loaded(user_folder() + "/noinfo.so"));
    EXPECT_TRUE(is_loaded(FindExtensionLibrary("echo.so")));
}

TEST(ExtensionLoading, OnlyTheFirst128Load) {
    std::vector<std::string> names;
    for (int i = 0; i < EXTENSIONS_MAX + 2; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "many%03d.so", i);
        names.push_back(name);
        install_fake("counting", name);
    }
    register_extensions(names);
    Shell s;
    ASSERT_EQ(LoadedExtensions().size(), size_t(EXTENSIONS_MAX));
    EXPECT_EQ(GetMenuItemCount(g_shell.extensionsPopup), EXTENSIONS_MAX);
    EXPECT_EQ(LoadedExtensions().back().commandId, IDM_EXTENSION_LAST);
    EXPECT_FALSE(is_loaded(user_folder() + "/many128.so"));
    EXPECT_FALSE(is_loaded(user_folder() + "/many129.so"));
}

TEST(ExtensionLoading, EveryLibraryIsReleasedWhenTheFrameIsDestroyed) {
    install_fake("counting", "released.so");
    register_extensions({"echo.so", "released.so"});
    {
        Shell s;
        ASSERT_EQ(LoadedExtensions().size(), 2u);
        EXPECT_TRUE(is_loaded(user_folder() + "/released.so"));
    }
    EXPECT_TRUE(LoadedExtensions().empty());
    EXPECT_FALSE(is_loaded(user_folder() + "/released.so"));
    EXPECT_FALSE(is_loaded(FindExtensionLibrary("echo.so")));
}

// Where a subkey's file name is looked for.
struct Lookup {
    const char* name;
    const char* found;  // "user", "installed" or "" (not found)
};

class ExtensionLookup : public testing::TestWithParam<Lookup> {};

TEST_P(ExtensionLookup, OnlyTheExtensionsFoldersAreSearched) {
    install_fake("counting", "both.so");
    // A library in the working folder is never taken.
    std::string work = testing_support::fresh_dir("workfolder");
    testing_support::write_file(work + "/cwdonly.so", {1, 2, 3});
    char previous[MAX_PATH] = {};
    ASSERT_TRUE(getcwd(previous, sizeof previous));
    ASSERT_EQ(chdir(work.c_str()), 0);
    std::string path = FindExtensionLibrary(GetParam().name);
    ASSERT_EQ(chdir(previous), 0);
    std::string found = GetParam().found;
    if (found == "user")
        EXPECT_EQ(path, user_folder() + "/" + GetParam().name);
    else if (found == "installed")
        EXPECT_NE(path.find("/lib/sonrel/extensions/"), std::string::npos) << path;
    else
        EXPECT_EQ(path, "");
}

INSTANTIATE_TEST_SUITE_P(Names, ExtensionLookup,
                         testing::Values(Lookup{"both.so", "user"}, Lookup{"echo.so", "installed"},
                                         Lookup{"cwdonly.so", ""}, Lookup{"../echo.so", ""},
                                         Lookup{"extensions/both.so", ""}, Lookup{"..", ""},
                                         Lookup{"", ""}));

TEST(ExtensionCommand, TheDirectSampleNegatesEverySampleAndUndoRestores) {
    register_extensions({"invert.so"});
    Shell s;
    const std::vector<short> values = {0, 1, -1, 1234, -32768, 32767, -5000, 77};
    HWND doc = open_document(s.frame, write_wave("invert.wav", values));
    ASSERT_TRUE(doc);
    std::vector<unsigned char> before = wave_bytes(doc);
    command(s.frame, IDM_EXTENSION_FIRST);
    EXPECT_EQ(wave_bytes(doc), bytes16({0, -1, 1, -1234, 32767, -32767, 5000, -77}))
        << "-32768 has no opposite: it becomes the largest value";
    EXPECT_FALSE(IsFileSaved(doc));
    ASSERT_TRUE(IsUndoPossible(doc));
    EXPECT_STREQ(UndoDescription(doc), "Invert Polarity");
    command(s.frame, IDM_UNDO);
    EXPECT_EQ(wave_bytes(doc), before);

    set_mark(doc, 4, 6);  // values 2 to 4
    command(s.frame, IDM_EXTENSION_FIRST);
    EXPECT_EQ(wave_bytes(doc), bytes16({0, 1, 1, -1234, 32767, 32767, -5000, 77}));
    EXPECT_TRUE(operations_done()) << "a direct filter is no operation";
}

TEST(ExtensionCommand, TheThreadedSampleAsksRunsAsAListedOperationAndCanBeUndone) {
    register_extensions({"echo.so"});
    // 8000 Hz: 1 ms is 8 values; half of each value 8 values earlier is added.
    Shell s(Settings{{kEchoDelay, "1"}, {kEchoLevel, "50"}});
    std::vector<short> values;
    for (int i = 0; i < 24; ++i) values.push_back(short(i % 3 == 0 ? 30000 : -1000 * i));
    HWND doc = open_document(s.frame, write_wave("echo.wav", values));
    ASSERT_TRUE(doc);
    std::vector<unsigned char> before = wave_bytes(doc);

    QuestionRecorder q;  // OK in the echo's dialog
    ASSERT_TRUE(DocumentLockEnter(doc));
    command(s.frame, IDM_EXTENSION_FIRST);
    EXPECT_EQ(asked_of_kind(q, "Dialog"), 1);
    ASSERT_TRUE(serve_until([] { return g_operations.running == 1; }));
    ASSERT_EQ(live_operations(), 1);
    const OperationEntry* entry = nullptr;
    for (const auto& e : g_operations.table)
        if (IsOperationLive(e)) entry = &e;
    EXPECT_EQ(entry->nameId, DWORD(IDS_NAME_EXTENSION));
    EXPECT_EQ(entry->document, doc);
    SendMessage(g_shell.threadMan, UM_REFRESHLIST, 0, 0);
    HWND list = GetDlgItem(g_shell.threadMan, THREADMAN_LIST_ID);
    char text[64] = {};
    LVITEM it{};
    it.pszText = text;
    it.cchTextMax = sizeof text;
    SendMessage(list, LVM_GETITEMTEXT, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_STREQ(text, "Sonrel2003 Extension Filter");
    EXPECT_EQ(wave_bytes(doc), before) << "nothing changes while the guard is held";
    DocumentLockLeave(doc);
    ASSERT_TRUE(serve_until(operations_done));

    std::vector<int> expected;
    for (size_t i = 0; i < values.size(); ++i) {
        int v = values[i] + (i >= 8 ? values[i - 8] / 2 : 0);
        expected.push_back(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
    }
    EXPECT_EQ(wave_bytes(doc), bytes16(expected));
    EXPECT_STREQ(UndoDescription(doc), "Echo");
    command(s.frame, IDM_UNDO);
    EXPECT_EQ(wave_bytes(doc), before);
}

TEST(ExtensionCommand, CancelInTheDialogRunsNothing) {
    register_extensions({"echo.so"});
    Shell s;
    HWND doc = open_document(s.frame, write_wave("cancel.wav", {100, 200, 300}));
    std::vector<unsigned char> before = wave_bytes(doc);
    QuestionRecorder q;
    q.default_answer = IDCANCEL;
    command(s.frame, IDM_EXTENSION_FIRST);
    EXPECT_EQ(asked_of_kind(q, "Dialog"), 1);
    EXPECT_EQ(live_operations(), 0);
    EXPECT_EQ(wave_bytes(doc), before);
}

// How one extension command goes for each kind of library and document.
struct CommandCase {
    const char* kind;
    bool workingDocument;
    DWORD dialogAnswer;
    int dialogCalls, filterCalls;
    const char* message;  // "" for none
};

class ExtensionCommandCases : public testing::TestWithParam<CommandCase> {};

TEST_P(ExtensionCommandCases, CallsWhatTheLibraryAndTheDocumentAllow) {
    const CommandCase& c = GetParam();
    install_fake(c.kind, std::string(c.kind) + ".so");
    register_extensions({std::string(c.kind) + ".so"});
    Shell s;
    ASSERT_EQ(LoadedExtensions().size(), 1u);
    HWND doc = open_document(s.frame, write_wave("case.wav", {1, 2, 3, 4}));
    ASSERT_TRUE(doc);
    if (c.workingDocument) SetFileWorking(doc);
    if (auto* answer = fake_variable<DWORD>(0, "fake_dialog_answer")) *answer = c.dialogAnswer;
    QuestionRecorder q;
    for (int round = 0; round < 2; ++round) command(s.frame, IDM_EXTENSION_FIRST);
    ASSERT_TRUE(serve_until(operations_done));
    auto* dialogs = fake_variable<int>(0, "fake_dialog_calls");
    auto* filters = fake_variable<int>(0, "fake_filter_calls");
    EXPECT_EQ(dialogs ? *dialogs : 0, c.dialogCalls);
    EXPECT_EQ(filters ? *filters : 0, c.filterCalls);
    std::string message = c.message;
    if (message.empty()) {
        EXPECT_TRUE(q.asked.empty()) << q.asked[0].text;
    } else {
        ASSERT_EQ(q.asked.size(), 2u) << "once per use";
        EXPECT_NE(q.asked[0].text.find(message), std::string::npos) << q.asked[0].text;
        EXPECT_EQ(q.asked[0].owner, s.frame);
    }
    if (c.workingDocument) SetFileNotWorking(doc);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ExtensionCommandCases,
    testing::Values(
        CommandCase{"counting", false, 1, 2, 2, ""}, CommandCase{"counting", false, 0, 2, 0, ""},
        CommandCase{"counting", true, 1, 2, 0, ""},  // the dialog, then nothing
        CommandCase{"inactive", false, 1, 0, 0, ""}, CommandCase{"nofilter", false, 1, 2, 0, ""},
        CommandCase{"nodialog", false, 1, 0, 0, "Could not display dialog box."},
        CommandCase{"throws_direct", false, 1, 2, 2, "function Filter (throws_direct.so)"},
        CommandCase{"throws_threaded", false, 1, 2, 2, "function Filter (throws_threaded.so)"}));

TEST(ExtensionCommand, IdsWithoutAnExtensionDoNothing) {
    register_extensions({"invert.so"});
    Shell s;
    HWND doc = open_document(s.frame, write_wave("none.wav", {5, 6}));
    std::vector<unsigned char> before = wave_bytes(doc);
    QuestionRecorder q;
    EXPECT_EQ(command(s.frame, IDM_EXTENSION_FIRST + 1), 0);
    EXPECT_EQ(command(s.frame, IDM_EXTENSION_LAST), 0);
    EXPECT_EQ(wave_bytes(doc), before);
    EXPECT_TRUE(q.asked.empty());
}

namespace {

HWND g_toolbar;
WNDPROC g_funcBarProc;

LRESULT CALLBACK func_bar_with_toolbar(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == UM_GETFUNCTOOLBAR) return reinterpret_cast<LRESULT>(g_toolbar);
    return CallWindowProc(g_funcBarProc, hwnd, msg, wp, lp);
}

std::vector<int> button_ids() {
    std::vector<int> ids;
    int n = int(SendMessage(g_toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        TBBUTTON b{};
        SendMessage(g_toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&b));
        ids.push_back(b.idCommand);
    }
    return ids;
}

}  // namespace

TEST(ExtensionButtons, Command755RemovesAndAddsExactlyTheExtensionButtons) {
    register_extensions({"echo.so", "invert.so"});
    Shell s(Settings{{"Sonrel\\Settings\\Boolean\\ShowExtensions", "0"}});
    // The function bar's own sixteen buttons, 755 a check button among them.
    const int own[16] = {755, 923, 205, 206, 203, 227, 228, 234,
                         232, 207, 231, 235, 208, 222, 236, 237};
    TBBUTTON buttons[16] = {};
    for (int i = 0; i < 16; ++i)
        buttons[i] =
            TBBUTTON{i, own[i], TBSTATE_ENABLED, BYTE(i == 0 ? BTNS_CHECK : BTNS_BUTTON), {}, 0, 0};
    g_toolbar = CreateToolbarEx(g_shell.funcBar, WS_CHILD | WS_VISIBLE, 1001, 0, nullptr, 0,
                                buttons, 16, 17, 17, 17, 17, sizeof(TBBUTTON));
    ASSERT_TRUE(g_toolbar);
    g_funcBarProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
        g_shell.funcBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(func_bar_with_toolbar)));
    std::vector<int> ownIds(own, own + 16), withExtensions = ownIds;
    withExtensions.push_back(1001);
    withExtensions.push_back(1002);

    command(s.frame, IDM_EXTENSIONBUTTONS);
    EXPECT_EQ(button_ids(), withExtensions);
    EXPECT_TRUE(SendMessage(g_toolbar, TB_ISBUTTONCHECKED, IDM_EXTENSIONBUTTONS, 0));
    EXPECT_TRUE(g_shell.extensionIconsShown);
    TBBUTTON added{};
    SendMessage(g_toolbar, TB_GETBUTTON, 16, reinterpret_cast<LPARAM>(&added));
    EXPECT_EQ(added.fsState & TBSTATE_ENABLED, TBSTATE_ENABLED);
    EXPECT_GE(added.iBitmap, 0) << "the extension's image was added";

    command(s.frame, IDM_EXTENSIONBUTTONS);
    EXPECT_EQ(button_ids(), ownIds);
    EXPECT_FALSE(SendMessage(g_toolbar, TB_ISBUTTONCHECKED, IDM_EXTENSIONBUTTONS, 0));
    EXPECT_FALSE(g_shell.extensionIconsShown);

    command(s.frame, IDM_EXTENSIONBUTTONS);
    EXPECT_EQ(button_ids(), withExtensions);
    SetWindowLongPtr(g_shell.funcBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_funcBarProc));
}

TEST(ExtensionButtons, AnInactiveExtensionsButtonDoesNothing) {
    install_fake("inactive", "inactive.so");
    register_extensions({"inactive.so"});
    Shell s;
    ASSERT_EQ(GetMenuItemCount(g_shell.extensionsPopup), 1) << "the item is there";
    QuestionRecorder q;
    command(s.frame, IDM_EXTENSION_FIRST);
    EXPECT_EQ(*fake_variable<int>(0, "fake_dialog_calls"), 0);
    EXPECT_TRUE(q.asked.empty());
}

namespace {

std::vector<COLORREF> after_select(HWND frame, WORD id) {
    SendMessage(frame, WM_MENUSELECT, MAKEWPARAM(id, 0), 0);
    return hint_pixels();
}

}  // namespace

TEST(ExtensionHelp, MenuHelpAndTooltipAreTheDescriptionsTwoParts) {
    register_extensions({"echo.so", "invert.so"});
    Shell s;
    std::vector<COLORREF> echo = after_select(s.frame, 1001);
    std::vector<COLORREF> invert = after_select(s.frame, 1002);
    std::vector<COLORREF> none = after_select(s.frame, 1000);
    EXPECT_NE(echo, invert);
    EXPECT_NE(echo, none);
    EXPECT_EQ(after_select(s.frame, 1128), none) << "ids without an extension show no text";
    EXPECT_EQ(after_select(s.frame, 1001), echo);

    EXPECT_STREQ(ExtensionTooltipText(1001), "Echo");
    EXPECT_STREQ(ExtensionTooltipText(1002), "Invert Polarity");
    EXPECT_STREQ(ExtensionTooltipText(1000), "");
    EXPECT_STREQ(ExtensionTooltipText(1003), "");

    // The function bar's button of an extension shows the same text.
    HWND tb = reinterpret_cast<HWND>(SendMessage(g_shell.funcBar, UM_GETFUNCTOOLBAR, 0, 0));
    RECT r{};
    ASSERT_TRUE(SendMessage(tb, TB_GETRECT, 1002, reinterpret_cast<LPARAM>(&r)));
    char tip[128] = {};
    ASSERT_TRUE(PlatformShowToolTip(tb, (r.left + r.right) / 2, (r.top + r.bottom) / 2, tip,
                                    sizeof tip));
    EXPECT_STREQ(tip, "Invert Polarity");
}
