#include "recent.h"

#include "file_commands.h"

#include <sonrel/ids.h>
#include <sonrel/settings.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "commands.h"

namespace {

constexpr int kMostFiles = IDM_RECENT_LAST - IDM_RECENT_FIRST + 1;

std::string entry_path(int number) {
    char path[64];
    std::snprintf(path, sizeof path, SET_RECENTFILES_FILE.path, number);
    return path;
}

bool ends_with(const std::string& s, const char* tail) {
    std::string t = tail;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

}  // namespace

int RecentFileCount(void) {
    return std::min<int>(SettingWord(SET_RECENTFILES_NUMBEROFFILES), kMostFiles);
}

std::string RecentFile(int number) {
    if (number < 1 || number > RecentFileCount()) return "";
    return RegGetString(entry_path(number).c_str(), SET_RECENTFILES_FILE.def);
}

void AddRecentFile(const char* path) {
    if (!path || !*path) return;
    std::string added = path;
    if (ends_with(added, "mp3")) added.replace(added.size() - 3, 3, "wav");
    int n = RecentFileCount();
    std::vector<std::string> list;
    for (int i = 1; i <= n; ++i) list.push_back(RecentFile(i));
    if (std::find(list.begin(), list.end(), added) != list.end()) return;
    if (n < 1) return;
    list.pop_back();
    list.insert(list.begin(), added);
    for (int i = 1; i <= n; ++i) RegWriteString(entry_path(i).c_str(), list[size_t(i - 1)].c_str());
}

HMENU BuildRecentMenu(void) {
    HMENU menu = CreatePopupMenu();
    int n = RecentFileCount();
    for (int i = 1; i <= n; ++i) {
        std::string path = RegGetString(entry_path(i).c_str(), "NO");
        if (path.empty() || path == "NO") continue;
        std::string text = "&" + std::to_string(i) + " " + path;
        AppendMenu(menu, MF_STRING, UINT_PTR(IDM_RECENT_FIRST + i - 1), text.c_str());
        if (i % 5 == 0 && i < n) AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    }
    return menu;
}

void RecentFileCommand(const CommandCall& call) {
    std::string path = RecentFile(call.id - IDM_RECENT_FIRST + 1);
    if (path.empty()) return;
    OpenInBackground(call.frame, path.c_str(), 1);
}
