#include "file_commands.h"

#include <kit/rvg32.h>
#include <sonrel/blocks.h>
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <cstring>
#include <string>

#include "closing.h"
#include "commands.h"
#include "frame.h"
#include "operations.h"
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

namespace {

HANDLE start_open(HWND frame, HWND doc) {
    return StartOperation(OpenCompressedWAV, frame, IDS_NAME_OPENFILE, doc);
}

}  // namespace

HANDLE OpenInBackground(HWND frame, const char* path, int number) {
    if (!path || !*path) return nullptr;
    RegWriteString(SET_NEWFILE_FILEOPEN.path, path);
    HWND doc = NewFile(frame, g_shell.mdiClient, number);
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    if (!doc) return nullptr;
    return start_open(frame, doc);
}

void OpenPending(HWND frame) {
    HWND doc = NewFile(frame, g_shell.mdiClient, g_shell.newDocumentCounter);
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    if (doc) start_open(frame, doc);
}

void OpenCommand(const CommandCall& call) {
    std::string path;
    if (!chosen(OpenBox(call.frame), &path)) return;
    if (OpenInBackground(call.frame, path.c_str(), g_shell.newDocumentCounter))
        AddRecentFile(path.c_str());
}

void RevertCommand(const CommandCall& call) {
    if (IsFileSaved(call.doc) ||
        MessageBox(call.frame, "Do you really want to revert\rto the previoulsy saved version?",
                   "Confirmation", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    std::string path;
    {
        DocumentLock guard(call.doc);
        HGLOBAL info = GetProp(call.doc, PROP_INFO);
        auto* i = static_cast<InfoBlock*>(GlobalLock(info));
        if (!i) return;
        path.assign(i->path, strnlen(i->path, INFO_PATH_CHARS));
        GlobalUnlock(info);
        // A document never saved, or whose file is gone, has nothing to go
        // back to: its data stays instead of the window being closed.
        if (GetFileAttributes(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            ErrorBox(call.frame, "File not found. Please check the pathname.");
            return;
        }
        // The data goes now; until the file is read again the document is empty.
        if (HGLOBAL wave = RemoveProp(call.doc, PROP_WAVE)) GlobalFree(wave);
        HGLOBAL header = GetProp(call.doc, PROP_HEADER);
        if (auto* h = static_cast<HeaderBlock*>(GlobalLock(header))) {
            h->dataSize = 0;
            h->fileLength = HEADER_BYTES;
            GlobalUnlock(header);
        }
    }
    SendMessage(call.doc, UM_DOCCHANGED, 0, 0);
    RegWriteString(SET_NEWFILE_FILEOPEN.path, path.c_str());
    start_open(call.frame, call.doc);
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
