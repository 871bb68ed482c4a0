// The recent-files list: what an addition does to the stored entries, the
// rolldown built from them, the commands that open them, and the frame's
// additions after opening and saving.
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <string>
#include <vector>

#include "recent.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

std::string entry_key(int n) {
    return "Sonrel\\RecentFiles\\File" + std::to_string(n);
}

void store_list(int number, const std::vector<std::string>& entries) {
    clear_settings();
    write_setting(SET_RECENTFILES_NUMBEROFFILES.path, std::to_string(number).c_str());
    for (size_t i = 0; i < entries.size(); ++i)
        write_setting(entry_key(int(i) + 1).c_str(), entries[i].c_str());
}

std::vector<std::string> stored(int count) {
    std::vector<std::string> out;
    for (int i = 1; i <= count; ++i) out.push_back(RegGetString(entry_key(i).c_str(), ""));
    return out;
}

std::vector<std::string> numbered(const char* stem, int count) {
    std::vector<std::string> out;
    for (int i = 1; i <= count; ++i) out.push_back("/" + std::string(stem) + std::to_string(i));
    return out;
}

struct AddCase {
    const char* what;
    int number;
    std::vector<std::string> before;
    const char* added;
    std::vector<std::string> after;  // entries 1 .. after.size() once added
};

class RecentAdd : public ::testing::TestWithParam<AddCase> {};

TEST_P(RecentAdd, StoresTheListItShould) {
    const AddCase& c = GetParam();
    store_list(c.number, c.before);
    AddRecentFile(c.added);
    EXPECT_EQ(stored(int(c.after.size())), c.after) << c.what;
}

std::vector<std::string> pushed_into_twenty() {
    std::vector<std::string> v = numbered("x", 20);
    v.insert(v.begin(), "/new.wav");
    v.back() = "/x21";  // entry 21 lies beyond the list and stays as it was
    return v;
}

std::vector<std::string> twenty_one() {
    return numbered("x", 21);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentAdd,
    ::testing::Values(
        AddCase{"a new path goes on top and the oldest drops out",
                3,
                {"/a", "/b", "/c"},
                "/d",
                {"/d", "/a", "/b"}},
        AddCase{"a listed path leaves the order as it is",
                3,
                {"/a", "/b", "/c"},
                "/c",
                {"/a", "/b", "/c"}},
        AddCase{"an empty list fills from the top", 3, {}, "/a", {"/a", "", ""}},
        AddCase{"an mp3 path is stored as the wav the decoder wrote",
                3,
                {"/a"},
                "/m/song.mp3",
                {"/m/song.wav", "/a", ""}},
        AddCase{"an mp3 whose wav is listed leaves the order",
                3,
                {"/a", "/m/s.wav"},
                "/m/s.mp3",
                {"/a", "/m/s.wav", ""}},
        AddCase{
            "an upper-case MP3 ending stays as it is", 2, {}, "/m/LOUD.MP3", {"/m/LOUD.MP3", ""}},
        AddCase{"paths that differ in case are two files",
                2,
                {"/a/take.wav"},
                "/a/Take.wav",
                {"/a/Take.wav", "/a/take.wav"}},
        AddCase{"an empty path is not stored", 2, {"/a", "/b"}, "", {"/a", "/b"}},
        AddCase{"more than twenty files are held at twenty", 25, twenty_one(), "/new.wav",
                pushed_into_twenty()}));

struct Item {
    UINT id;  // 0: a separator
    std::string text;
};

std::vector<Item> menu_items(HMENU m) {
    std::vector<Item> out;
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
        char text[300] = {};
        GetMenuString(m, UINT(i), text, sizeof text, MF_BYPOSITION);
        bool sep = GetMenuState(m, UINT(i), MF_BYPOSITION) & MF_SEPARATOR;
        out.push_back({sep ? 0 : GetMenuItemID(m, i), text});
    }
    return out;
}

std::vector<UINT> ids_of(const std::vector<Item>& items) {
    std::vector<UINT> out;
    for (const Item& i : items) out.push_back(i.id);
    return out;
}

struct MenuCase {
    const char* what;
    int number;
    std::vector<std::string> entries;
    std::vector<UINT> ids;  // 0 for a separator
};

class RecentMenu : public ::testing::TestWithParam<MenuCase> {};

TEST_P(RecentMenu, ListsTheStoredEntries) {
    const MenuCase& c = GetParam();
    store_list(c.number, c.entries);
    HMENU m = BuildRecentMenu();
    EXPECT_EQ(ids_of(menu_items(m)), c.ids) << c.what;
    DestroyMenu(m);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentMenu,
    ::testing::Values(MenuCase{"twelve entries: separators after the fifth and the tenth",
                               12,
                               numbered("f", 12),
                               {3001, 3002, 3003, 3004, 3005, 0, 3006, 3007, 3008, 3009, 3010, 0,
                                3011, 3012}},
                      MenuCase{"ten entries: no separator after the last",
                               10,
                               numbered("f", 10),
                               {3001, 3002, 3003, 3004, 3005, 0, 3006, 3007, 3008, 3009, 3010}},
                      MenuCase{"empty entries are left out, with the separator of a missing fifth",
                               7,
                               {"/a", "", "/c", "NO", "", "/f"},
                               {3001, 3003, 3006}},
                      MenuCase{"nothing stored: an empty menu", 10, {}, {}}));

TEST(RecentMenuText, NumbersEachEntryWithItsPath) {
    store_list(3, {"/one.wav", "", "/three.wav"});
    HMENU m = BuildRecentMenu();
    auto items = menu_items(m);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "&1 /one.wav");
    EXPECT_EQ(items[1].text, "&3 /three.wav");
    DestroyMenu(m);
}

std::string path_of(HWND doc) {
    auto* info = static_cast<const InfoBlock*>(GlobalLock(GetProp(doc, PROP_INFO)));
    std::string path = info ? info->path : "";
    GlobalUnlock(GetProp(doc, PROP_INFO));
    return path;
}

// Entry k of a list of numbered files opens file k; an entry that is empty or
// beyond the list opens nothing.
struct OpenCase {
    int number;  // NumberOfFiles
    int stored;  // entries 1 .. stored hold a file
    WORD id;
    int opened;  // the file number expected, 0 for none
};

class RecentCommand : public ::testing::TestWithParam<OpenCase> {};

TEST_P(RecentCommand, OpensTheEntryOfItsNumber) {
    const OpenCase& c = GetParam();
    std::vector<std::string> files;
    for (int i = 1; i <= c.stored; ++i)
        files.push_back(write_wave("recent" + std::to_string(i) + ".wav", {short(i), 0, 1, 2}));
    Shell s(Settings{{SET_RECENTFILES_NUMBEROFFILES.path, std::to_string(c.number).c_str()}});
    for (int i = 1; i <= c.stored; ++i) write_setting(entry_key(i).c_str(), files[i - 1].c_str());
    command(s.frame, c.id);
    HWND doc = ActiveDocument();
    if (c.opened == 0) {
        EXPECT_EQ(doc, nullptr) << "command " << c.id;
        return;
    }
    ASSERT_NE(doc, nullptr) << "command " << c.id;
    ASSERT_TRUE(serve_until(operations_done)) << "the background open ends";
    EXPECT_EQ(path_of(doc), files[size_t(c.opened - 1)]);
    EXPECT_EQ(std::string(SettingText(SET_NEWFILE_FILEOPEN)), files[size_t(c.opened - 1)]);
    EXPECT_EQ(stored(c.stored), files) << "opening from the list does not reorder it";
}

INSTANTIATE_TEST_SUITE_P(Cases, RecentCommand,
                         ::testing::Values(OpenCase{10, 3, 3001, 1}, OpenCase{10, 3, 3002, 2},
                                           OpenCase{10, 3, 3003, 3}, OpenCase{20, 20, 3020, 20},
                                           OpenCase{10, 2, 3003, 0}, OpenCase{2, 3, 3003, 0},
                                           OpenCase{20, 5, 3020, 0}));

TEST(RecentAdditions, OpeningAndSavingUnderANewNamePutThePathsOnTop) {
    std::string first = write_wave("first.wav", {1, 2, 3, 4});
    std::string second = write_wave("second.wav", {5, 6, 7, 8});
    Shell s;
    HWND doc = open_document(s.frame, first);
    ASSERT_TRUE(doc);
    ASSERT_TRUE(open_document(s.frame, second));
    EXPECT_EQ(stored(3), (std::vector<std::string>{second, first, ""}));
    std::string target = testing_support::fresh_dir("recent") + "/saved.wav";
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        return std::string(q->kind) == "SaveFile" ? reinterpret_cast<INT_PTR>(target.c_str()) : 0;
    };
    command(s.frame, IDM_SAVEAS);
    EXPECT_EQ(stored(3), (std::vector<std::string>{target, second, first}));
    command(s.frame, IDM_SAVE);
    EXPECT_EQ(stored(3), (std::vector<std::string>{target, second, first}))
        << "saving a listed file again keeps the order";
}

TEST(RecentAdditions, AFileThatCouldNotBeOpenedIsNotListed) {
    Shell s;
    testing_support::QuestionRecorder rec;
    command(s.frame, IDM_OPENPATH, reinterpret_cast<LPARAM>("/no/such/folder/missing.wav"));
    EXPECT_EQ(stored(1), std::vector<std::string>{""});
}

TEST(RecentAdditions, YesInTheCloseQuestionListsTheSavedFile) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("unsaved.wav", {1, 2}));
    ASSERT_TRUE(doc);
    SetFileNotSaved(doc);
    std::string target = testing_support::fresh_dir("recentclose") + "/kept.wav";
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::string(q->kind) == "SaveFile") return reinterpret_cast<INT_PTR>(target.c_str());
        return IDYES;
    };
    command(s.frame, IDM_CLOSE);
    EXPECT_FALSE(IsWindow(doc));
    EXPECT_EQ(stored(1), std::vector<std::string>{target});
}

}  // namespace
