#include "commands.h"

#include <sonrel/blocks.h>
#include <sonrel/dialogs.h>
#include <sonrel/effects.h>
#include <sonrel/messages.h>
#include <sonrel/wavkit.h>

#include <cstring>
#include <string>

#include "closing.h"
#include "frame.h"
#include "operations.h"
#include "playback.h"
#include "startup.h"

namespace {

#define HOMEPAGE "https://www.example.com/"

// The active document, or null when it is missing or being opened.
HWND idle_document() {
    HWND doc = ActiveDocument();
    return IsFileWorking(doc) ? nullptr : doc;
}

// After a change made on this thread: the view reads the document again and
// every window that shows it repaints.
void refresh(HWND doc) {
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    InvalidateRect(doc, nullptr, TRUE);
    InvalidateRect(g_shell.preview, nullptr, TRUE);
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
}

void start_effect(HWND frame, LPTHREAD_START_ROUTINE proc, DWORD nameId) {
    HWND doc = idle_document();
    if (doc) StartOperation(proc, frame, nameId, doc);
}

// An effect that asks for its parameter first; Cancel starts nothing.
void ask_then_start(HWND frame, BOOL (*ask)(HWND), LPTHREAD_START_ROUTINE proc, DWORD nameId) {
    HWND doc = idle_document();
    if (doc && ask(frame)) StartOperation(proc, frame, nameId, doc);
}

DWORD mark_length(HWND doc) {
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    auto* p = static_cast<PositionBlock*>(GlobalLock(h));
    if (!p) return 0;
    DWORD length = p->markLength;
    GlobalUnlock(h);
    return length;
}

// Silence: the mark is silenced at once; without one, silence is inserted
// for the time the dialog asks.
void silence(HWND frame) {
    HWND doc = idle_document();
    if (!doc) return;
    if (mark_length(doc))
        StartOperation(SetSilence, frame, 15031, doc);
    else if (ShowSilence(frame))
        StartOperation(InsertSilence, frame, 15037, doc);
}

// A clipboard thread; its argument is the document, not the frame.
void start_clipboard(LPTHREAD_START_ROUTINE proc, DWORD nameId, HWND doc) {
    if (doc) StartOperation(proc, doc, nameId, doc);
}

void delete_clipboard(HWND frame) {
    if (MessageBox(frame, "Are you sure?", "Delete Clipboard", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    DeleteTemporaryFile("SnrCLIP.WAV");
    InvalidateRect(g_shell.selectBar, nullptr, TRUE);
}

void export_clipboard(HWND frame) {
    const char* chosen = SaveBox(frame);
    if (!chosen || std::strcmp(chosen, "FALSE") == 0) return;
    std::string path = chosen;
    SetMouseWait(frame);
    ClipboardToFile(frame, path.c_str());
    SetMouseActive();
}

void import_clipboard(HWND frame) {
    const char* chosen = OpenBox(frame);
    if (!chosen || std::strcmp(chosen, "FALSE") == 0) return;
    std::string path = chosen;
    SetMouseWait(frame);
    FileToClipboard(frame, path.c_str());
    InvalidateRect(g_shell.selectBar, nullptr, TRUE);
    SetMouseActive();
}

// Until the background open exists, a chosen file is read at once, as a path
// handed over on the command line is.
void open_chosen(HWND frame) {
    const char* chosen = OpenBox(frame);
    if (!chosen || std::strcmp(chosen, "FALSE") == 0) return;
    std::string path = chosen;
    OpenPath(frame, path.c_str());
}

void save(HWND frame) {
    HWND doc = ActiveDocument();
    if (!doc) return;
    HGLOBAL h = GetProp(doc, PROP_INFO);
    auto* info = static_cast<InfoBlock*>(GlobalLock(h));
    if (!info) return;
    SetMouseWait(frame);
    info->saved = 1;
    SaveWAV(frame, info->path);
    GlobalUnlock(h);
    SetMouseActive();
}

void save_as(HWND frame) {
    HWND doc = ActiveDocument();
    if (!doc) return;
    const char* chosen = SaveBox(frame);
    if (!chosen || std::strcmp(chosen, "FALSE") == 0) return;
    std::string path = chosen;
    HGLOBAL h = GetProp(doc, PROP_INFO);
    auto* info = static_cast<InfoBlock*>(GlobalLock(h));
    if (!info) return;
    SetMouseWait(frame);
    info->saved = 1;
    std::strncpy(info->path, path.c_str(), INFO_PATH_CHARS - 1);
    info->path[INFO_PATH_CHARS - 1] = 0;
    SaveWAV(frame, info->path);
    path = info->path;
    GlobalUnlock(h);
    SetProp(doc, PROP_INFO, h);
    SetWindowText(doc, path.c_str());
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    SetMouseActive();
}

void close_active() {
    HWND doc = ActiveDocument();
    if (doc && CloseDocumentPrompt(doc))
        SendMessage(g_shell.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(doc), 0);
}

void undo(HWND frame) {
    HWND doc = idle_document();
    if (!doc) return;
    SetMouseWait(frame);
    if (RestoreUndoInformation(doc)) {
        SendMessage(doc, UM_DOCCHANGED, 0, 0);
        InvalidateRect(g_shell.preview, nullptr, TRUE);
        InvalidateRect(g_shell.statusBar, nullptr, TRUE);
        InvalidateRect(doc, nullptr, TRUE);
    }
    SetMouseActive();
}

void edit_in_place(HWND frame, int (*change)(HWND)) {
    HWND doc = idle_document();
    if (!doc) return;
    SetMouseWait(frame);
    change(doc);
    refresh(doc);
    SetMouseActive();
}

void toggle_thread_manager() {
    g_shell.threadManShown = !g_shell.threadManShown;
    ShowWindow(g_shell.threadMan, g_shell.threadManShown ? SW_SHOW : SW_HIDE);
    CheckMenuItem(g_shell.windowPopup, 754,
                  MF_BYCOMMAND | (g_shell.threadManShown ? MF_CHECKED : MF_UNCHECKED));
    InvalidateRect(g_shell.switchBar, nullptr, TRUE);
}

void toggle_cd_player() {
    g_shell.cdPlayerShown = !IsWindowVisible(g_shell.cdPlayer);
    ShowWindow(g_shell.cdPlayer, g_shell.cdPlayerShown ? SW_SHOW : SW_HIDE);
    CheckMenuItem(g_shell.windowPopup, 766,
                  MF_BYCOMMAND | (g_shell.cdPlayerShown ? MF_CHECKED : MF_UNCHECKED));
    if (g_shell.cdPlayerShown)
        SetWindowPos(g_shell.cdPlayer, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void start_program(HWND frame, const char* name, const char* fallback) {
    auto started = reinterpret_cast<INT_PTR>(
        ShellExecute(frame, "open", name, nullptr, nullptr, SW_SHOWNORMAL));
    if (started < 32 && fallback)
        ShellExecute(frame, "open", fallback, nullptr, nullptr, SW_SHOWNORMAL);
}

// Commands of the table; false when the id is not one of them.
bool run_command(HWND frame, WORD id, WPARAM wp, LPARAM lp) {
    switch (id) {
        case 101:
            NewFile(frame, g_shell.mdiClient, ++g_shell.newDocumentCounter);
            InvalidateRect(g_shell.statusBar, nullptr, TRUE);
            return true;
        case 102:
            open_chosen(frame);
            return true;
        case 103:
            save(frame);
            return true;
        case 104:
            save_as(frame);
            return true;
        case 105:
            close_active();
            return true;
        case 106:
            OpenPath(frame, reinterpret_cast<const char*>(lp));
            return true;
        case 221:
        case 225:
            PostMessage(g_shell.posBar, WM_COMMAND, wp, lp);
            return true;
        case 203:
            ask_then_start(frame, ShowVolume, ChangeVolume, 15002);
            return true;
        case 205:
            ask_then_start(frame, ShowFadeIn, FadeIn, 15003);
            return true;
        case 206:
            ask_then_start(frame, ShowFadeOut, FadeOut, 15004);
            return true;
        case 207:
            ask_then_start(frame, ShowVelocity, Velocity, 15030);
            return true;
        case 208:
            silence(frame);
            return true;
        case 226:
            // The menu's "Insert Silence...": always asks and inserts at the cursor.
            ask_then_start(frame, ShowSilence, InsertSilence, 15037);
            return true;
        case 227:
            ask_then_start(frame, ShowLowPass, LowPass, 15001);
            return true;
        case 909:
            ShowAbout(frame);
            return true;
        case 310:
            ShowClipboardHeader(frame);
            return true;
        case 510:
            if (HWND doc = idle_document(); doc && ShowHeader(frame)) refresh(doc);
            return true;
        case 222:
            start_effect(frame, Reverse, 15007);
            return true;
        case 228:
            start_effect(frame, FadeChannelsLeftToRight, 15005);
            return true;
        case 229:
            undo(frame);
            return true;
        case 232:
            start_effect(frame, SetMaxVolume, 15006);
            return true;
        case 234:
            start_effect(frame, FadeChannelsRightToLeft, 15035);
            return true;
        case 236:
            start_effect(frame, Zeroize, 15073);
            return true;
        case 302:
            start_clipboard(CopyToClipboard, 15010, idle_document());
            return true;
        case 303:
            start_clipboard(PasteFromClipboard, 15011, idle_document());
            return true;
        case 304:
            start_clipboard(PasteMixFromClipboard, 15012, idle_document());
            return true;
        case 307:
            delete_clipboard(frame);
            return true;
        case 308:
            export_clipboard(frame);
            return true;
        case 309:
            import_clipboard(frame);
            return true;
        case 305:
            edit_in_place(frame, Erase);
            return true;
        case 306:
            edit_in_place(frame, Crop);
            return true;
        case 501:
        case 502:
        case 503:
        case 507:
        case 707:
        case 708:
            PlaybackCommand(frame, id);
            return true;
        case 908:
            SelectOutputDevice(frame);
            return true;
        case 511:
            SendMessage(g_shell.iconBar, WM_COMMAND, 2020, lp);
            return true;
        case 701:
            SendMessage(g_shell.mdiClient, WM_MDICASCADE, MDITILE_SKIPDISABLED, 0);
            return true;
        case 702:
            SendMessage(g_shell.mdiClient, WM_MDITILE, MDITILE_VERTICAL | MDITILE_SKIPDISABLED, 0);
            return true;
        case 703:
            SendMessage(g_shell.mdiClient, WM_MDIICONARRANGE, 0, 0);
            return true;
        case 704:
            if (HWND doc = ActiveDocument())
                SendMessage(g_shell.mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(doc), 0);
            return true;
        case 705:
            CloseAllDocuments(frame);
            return true;
        case 754:
            toggle_thread_manager();
            return true;
        case 766:
            toggle_cd_player();
            return true;
        case 911:
            start_program(frame, "sndvol32.exe", nullptr);
            return true;
        case 931:
            start_program(frame, "TonboxCS.exe", "wavedesk.exe");
            return true;
        case 999:
            PostMessage(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        case 40010:
            CreateStartAssistant(frame);
            return true;
        case 40011:
            ShellExecute(frame, "open", HOMEPAGE, nullptr, nullptr, SW_SHOWNORMAL);
            return true;
    }
    return false;
}

}  // namespace

void StartPaste(HWND doc, BOOL mix) {
    if (mix)
        start_clipboard(PasteMixFromClipboard, 15012, doc);
    else
        start_clipboard(PasteFromClipboard, 15011, doc);
}

LRESULT FrameCommand(HWND frame, WPARAM wp, LPARAM lp) {
    WORD id = LOWORD(wp);
    bool documentEntry = id >= FIRST_DOCUMENT_ID && id <= FIRST_DOCUMENT_ID + 99;
    if (!documentEntry && run_command(frame, id, wp, lp)) return 0;
    return DefFrameProc(frame, g_shell.mdiClient, WM_COMMAND, wp, lp);
}

void OpenPath(HWND frame, const char* path) {
    if (!path || !*path) return;
    std::string copy = path;
    SetMouseWait(frame);
    OpenWAV(frame, g_shell.mdiClient, copy.c_str());
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    InvalidateRect(g_shell.preview, nullptr, TRUE);
    SendMessage(ActiveDocument(), UM_DOCCHANGED, 0, 0);
    SetMouseActive();
}

void FrameHandOver(HWND frame, const char* line) {
    if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
    SetForegroundWindow(frame);
    BringWindowToTop(frame);
    CommandLine c = ParseCommandLine(line ? line : "");
    if (c.kind == COMMANDLINE_PATH)
        SendMessage(frame, WM_COMMAND, 106, reinterpret_cast<LPARAM>(c.path));
    else if (c.kind == COMMANDLINE_CDTRACK)
        SendMessage(frame, WM_COMMAND, 511, c.track);
}
