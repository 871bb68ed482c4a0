#include "file_commands.h"

#include <sonrel/blocks.h>
#include <sonrel/effects.h>
#include <sonrel/wavkit.h>

#include <cstring>
#include <string>

#include "closing.h"
#include "commands.h"
#include "frame.h"
#include "recent.h"

namespace {

// False for a file dialog's Cancel ("FALSE"); else the chosen path, copied at
// once because the dialog's buffer is reused by the next call.
bool chosen(LPCSTR answer, std::string* path) {
    if (!answer || std::strcmp(answer, "FALSE") == 0) return false;
    *path = answer;
    return true;
}

}  // namespace

void NewCommand(const CommandCall& call) {
    NewFile(call.frame, g_shell.mdiClient, ++g_shell.newDocumentCounter);
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
}

// Until the background open exists, a chosen file is read at once, as a path
// handed over on the command line is.
void OpenCommand(const CommandCall& call) {
    std::string path;
    if (chosen(OpenBox(call.frame), &path)) OpenPath(call.frame, path.c_str());
}

void OpenPathCommand(const CommandCall& call) {
    OpenPath(call.frame, reinterpret_cast<const char*>(call.lp));
}

void SaveCommand(const CommandCall& call) {
    HGLOBAL h = GetProp(call.doc, PROP_INFO);
    auto* info = static_cast<InfoBlock*>(GlobalLock(h));
    if (!info) return;
    SetMouseWait(call.frame);
    info->saved = 1;
    std::string path = info->path;
    BOOL saved = SaveWAV(call.frame, info->path);
    GlobalUnlock(h);
    if (saved) AddRecentFile(path.c_str());
    SetMouseActive();
}

void SaveAsCommand(const CommandCall& call) {
    std::string path;
    if (!chosen(SaveBox(call.frame), &path)) return;
    HGLOBAL h = GetProp(call.doc, PROP_INFO);
    auto* info = static_cast<InfoBlock*>(GlobalLock(h));
    if (!info) return;
    SetMouseWait(call.frame);
    info->saved = 1;
    std::strncpy(info->path, path.c_str(), INFO_PATH_CHARS - 1);
    info->path[INFO_PATH_CHARS - 1] = 0;
    BOOL saved = SaveWAV(call.frame, info->path);
    path = info->path;
    GlobalUnlock(h);
    if (saved) AddRecentFile(path.c_str());
    SetProp(call.doc, PROP_INFO, h);
    SetWindowText(call.doc, path.c_str());
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    SetMouseActive();
}

void CloseCommand(const CommandCall& call) {
    if (CloseDocumentPrompt(call.doc))
        SendMessage(g_shell.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(call.doc), 0);
}

void DeleteClipboardCommand(const CommandCall& call) {
    if (MessageBox(call.frame, "Are you sure?", "Delete Clipboard", MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return;
    DeleteTemporaryFile("SnrCLIP.WAV");
    InvalidateRect(g_shell.selectBar, nullptr, TRUE);
}

void ExportClipboardCommand(const CommandCall& call) {
    std::string path;
    if (!chosen(SaveBox(call.frame), &path)) return;
    SetMouseWait(call.frame);
    ClipboardToFile(call.frame, path.c_str());
    SetMouseActive();
}

void ImportClipboardCommand(const CommandCall& call) {
    std::string path;
    if (!chosen(OpenBox(call.frame), &path)) return;
    SetMouseWait(call.frame);
    FileToClipboard(call.frame, path.c_str());
    InvalidateRect(g_shell.selectBar, nullptr, TRUE);
    SetMouseActive();
}
