#include "closing.h"

#include <sonrel/blocks.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "extensions.h"
#include "frame.h"
#include "operations.h"
#include "recent.h"

BOOL ConfirmClose(HWND frame) {
    bool live = false;
    for (const auto& e : g_operations.table) live = live || IsOperationLive(e);
    if (!live) return TRUE;
    int answer = MessageBox(frame,
                            "Not all running actions have been terminated.\rNevertheless, do you "
                            "want to close Sonrel2003?",
                            "Close Sonrel2003", MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return FALSE;
    TerminateAllOperations();
    return TRUE;
}

namespace {

void write_number(const char* path, const char* format, long value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    RegWriteString(path, text);
}

void write_left_top(HWND hwnd, const char* x, const char* y) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!hwnd || !GetWindowPlacement(hwnd, &wp)) return;
    write_number(x, "%ld", wp.rcNormalPosition.left);
    write_number(y, "%ld", wp.rcNormalPosition.top);
}

}  // namespace

void SavePlacement(HWND frame, HWND funcBar) {
    long state = 5;
    if (IsZoomed(frame)) state = 3;
    if (IsIconic(frame)) state = 2;
    write_number(SET_MAIN_SHOWSTATE.path, "%lu", state);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (GetWindowPlacement(frame, &wp)) {
        const RECT& r = wp.rcNormalPosition;
        write_number(SET_MAIN_X.path, "%ld", r.left);
        write_number(SET_MAIN_Y.path, "%ld", r.top);
        write_number(SET_MAIN_WIDTH.path, "%ld", r.right - r.left);
        write_number(SET_MAIN_HEIGHT.path, "%ld", r.bottom - r.top);
    }
    write_left_top(funcBar, SET_FUNCBAR_X.path, SET_FUNCBAR_Y.path);
    write_left_top(g_shell.cdPlayer, SET_CDPLAYER_X.path, SET_CDPLAYER_Y.path);
}

namespace {

// Saves the document under a chosen path; INFO is locked by the caller.
void save_as(HWND doc, HGLOBAL infoHandle, InfoBlock* info, const char* path) {
    SetMouseWait(g_shell.frame);
    info->saved = 1;
    std::strncpy(info->path, path, INFO_PATH_CHARS - 1);
    info->path[INFO_PATH_CHARS - 1] = 0;
    std::string saved = info->path;
    BOOL written = SaveWAV(g_shell.frame, info->path);
    GlobalUnlock(infoHandle);
    SetProp(doc, PROP_INFO, infoHandle);
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    if (written) AddRecentFile(saved.c_str());
    SetMouseActive();
}

}  // namespace

BOOL CloseDocumentPrompt(HWND doc) {
    if (IsFileSaved(doc)) return TRUE;
    HGLOBAL h = GetProp(doc, PROP_INFO);
    auto* info = static_cast<InfoBlock*>(GlobalLock(h));
    if (!info) return TRUE;
    std::string text = "The file " + std::string(info->path) +
                       " has not been saved yet.\rDo you want to save the changes before quitting?";
    int answer = MessageBox(doc, text.c_str(), "Close File", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) {
        GlobalUnlock(h);
        return FALSE;
    }
    if (answer != IDYES) {
        GlobalUnlock(h);
        return TRUE;
    }
    const char* chosen = SaveBox(g_shell.frame);
    if (!chosen || std::strcmp(chosen, "FALSE") == 0) {
        GlobalUnlock(h);
        return TRUE;
    }
    std::string path = chosen;
    save_as(doc, h, info, path.c_str());
    return TRUE;
}

namespace {

BOOL CALLBACK collect_documents(HWND hwnd, LPARAM lp) {
    if (GetWindowLongPtr(hwnd, GWLP_USERDATA) == DOCUMENT_USERDATA)
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

}  // namespace

BOOL CloseAllDocuments(HWND frame) {
    std::vector<HWND> docs;
    EnumChildWindows(frame, collect_documents, reinterpret_cast<LPARAM>(&docs));
    for (HWND doc : docs) {
        if (!IsWindow(doc) || GetWindowLongPtr(doc, GWLP_USERDATA) != DOCUMENT_USERDATA) continue;
        if (!CloseDocumentPrompt(doc)) return FALSE;
        SendMessage(g_shell.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
    }
    return TRUE;
}

namespace {

void destroy_menu_unless_shown(HMENU menu, HMENU shown) {
    if (menu && menu != shown) DestroyMenu(menu);
}

}  // namespace

void DeleteTemporaryFile(const char* name) {
    DeleteFile((PlatformFolder(GetTempPath) + name).c_str());
}

void FrameDestroyed(HWND frame) {
    DeleteTemporaryFile("SnrTemp.WAV");
    if (SettingBool(SET_BOOLEAN_DELETETEMPCLIPBOARD)) DeleteTemporaryFile("SnrCLIP.WAV");
    if (g_shell.startAssistant && IsWindow(g_shell.startAssistant))
        DestroyWindow(g_shell.startAssistant);
    g_shell.startAssistant = nullptr;
    if (g_shell.cdPlayer) DestroyWindow(g_shell.cdPlayer);
    RegWriteString(SET_BOOLEAN_SHOWEXTENSIONS.path, g_shell.extensionIconsShown ? "1" : "0");
    RegWriteString(SET_BOOLEAN_CDPLAYERVISIBLE.path, g_shell.cdPlayerShown ? "1" : "0");
    HMENU shown = GetMenu(frame);
    if (g_shell.windowPopup) DestroyMenu(g_shell.windowPopup);
    // Once in the document menu, the extensions popup goes with it.
    if (g_shell.extensionsPopup && LoadedExtensions().empty()) DestroyMenu(g_shell.extensionsPopup);
    destroy_menu_unless_shown(g_shell.documentMenu, shown);
    destroy_menu_unless_shown(g_shell.startMenu, shown);
    ReleaseExtensions();
    g_shell.windowPopup = g_shell.extensionsPopup = nullptr;
    g_shell.documentMenu = g_shell.startMenu = nullptr;
    PostQuitMessage(0);
}

void RememberLogonStart(void) {
    char path[MAX_PATH] = {};
    GetModuleFileName(nullptr, path, sizeof path);
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                       0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    RegSetValueEx(key, "Sonrel", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                  static_cast<DWORD>(std::strlen(path) + 1));
    RegCloseKey(key);
}
