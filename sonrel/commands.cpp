// The frame's commands: the table of every command id the frame acts on, the
// procedures of the rows that work on the frame's thread, and the dispatch.
#include "commands.h"

#include <sonrel/blocks.h>
#include <sonrel/dialogs.h>
#include <sonrel/effects.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <string>
#include <vector>

#include "cdplayer.h"
#include "closing.h"
#include "command_table.h"
#include "extensions.h"
#include "file_commands.h"
#include "frame.h"
#include "playback.h"
#include "programs.h"
#include "recent.h"
#include "startup.h"
#include "waveview.h"

namespace {

// After a change made on this thread: the view reads the document again and
// every window that shows it repaints.
void refresh(HWND doc) {
    SendMessage(doc, UM_DOCCHANGED, 0, 0);
    InvalidateRect(doc, nullptr, TRUE);
    InvalidateRect(g_shell.preview, nullptr, TRUE);
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
}

DWORD mark_length(HWND doc) {
    HGLOBAL h = GetProp(doc, PROP_POSITION);
    auto* p = static_cast<PositionBlock*>(GlobalLock(h));
    if (!p) return 0;
    DWORD length = p->markLength;
    GlobalUnlock(h);
    return length;
}

const CommandRow& row_of(WORD id);

// The function bar's Silence: the mark is silenced at once; without one,
// silence is inserted for the time the Insert Silence row asks.
void silence(const CommandCall& call) {
    if (mark_length(call.doc))
        StartCommandThread(row_of(IDM_SILENCE), call.frame, call.doc);
    else
        RunCommand(row_of(IDM_INSERTSILENCE), call);
}

void to_position_bar(const CommandCall& call) {
    PostMessage(g_shell.posBar, WM_COMMAND, call.wp, call.lp);
}

void undo(const CommandCall& call) {
    SetMouseWait(call.frame);
    if (RestoreUndoInformation(call.doc)) {
        SendMessage(call.doc, UM_DOCCHANGED, 0, 0);
        InvalidateRect(g_shell.preview, nullptr, TRUE);
        InvalidateRect(g_shell.statusBar, nullptr, TRUE);
        InvalidateRect(call.doc, nullptr, TRUE);
    }
    SetMouseActive();
}

void edit_in_place(const CommandCall& call, int (*change)(HWND)) {
    SetMouseWait(call.frame);
    change(call.doc);
    refresh(call.doc);
    SetMouseActive();
}

void erase(const CommandCall& call) {
    edit_in_place(call, Erase);
}

void crop(const CommandCall& call) {
    edit_in_place(call, Crop);
}

void refresh_document(const CommandCall& call) {
    refresh(call.doc);
}

// After the CurveSound editors changed the samples in place.
void repaint_document(const CommandCall& call) {
    InvalidateRect(call.doc, nullptr, TRUE);
    InvalidateRect(g_shell.preview, nullptr, TRUE);
}

void clipboard_header(const CommandCall& call) {
    ShowClipboardHeader(call.frame);
}

void play(const CommandCall& call) {
    PlayCommand(call.frame, call.id);
}

void pause(const CommandCall&) {
    PauseCommand();
}

void stop(const CommandCall&) {
    StopCommand();
}

void record(const CommandCall& call) {
    ShowRecord(call.frame);
}

void volume_up(const CommandCall&) {
    StepOutputVolume(TRUE);
}

void volume_down(const CommandCall&) {
    StepOutputVolume(FALSE);
}

void output_device(const CommandCall& call) {
    SelectOutputDevice(call.frame);
}

// The track is handed on to the icon bar; the player comes up and plays it.
void cd_track(const CommandCall& call) {
    SendMessage(g_shell.iconBar, WM_COMMAND, IDM_ICONBAR_CDTRACK, call.lp);
    CdPlayerStartTrack(int(call.lp));
}

void cascade(const CommandCall&) {
    SendMessage(g_shell.mdiClient, WM_MDICASCADE, MDITILE_SKIPDISABLED, 0);
}

void tile(const CommandCall&) {
    SendMessage(g_shell.mdiClient, WM_MDITILE, MDITILE_VERTICAL | MDITILE_SKIPDISABLED, 0);
}

void arrange(const CommandCall&) {
    SendMessage(g_shell.mdiClient, WM_MDIICONARRANGE, 0, 0);
}

void restore(const CommandCall& call) {
    SendMessage(g_shell.mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(call.doc), 0);
}

void close_all(const CommandCall& call) {
    CloseAllDocuments(call.frame);
}

void toggle_thread_manager(const CommandCall&) {
    g_shell.threadManShown = !g_shell.threadManShown;
    ShowWindow(g_shell.threadMan, g_shell.threadManShown ? SW_SHOW : SW_HIDE);
    CheckMenuItem(g_shell.windowPopup, IDM_THREADMANAGER,
                  MF_BYCOMMAND | (g_shell.threadManShown ? MF_CHECKED : MF_UNCHECKED));
    InvalidateRect(g_shell.switchBar, nullptr, TRUE);
}

void toggle_cd_player(const CommandCall&) {
    g_shell.cdPlayerShown = !IsWindowVisible(g_shell.cdPlayer);
    ShowWindow(g_shell.cdPlayer, g_shell.cdPlayerShown ? SW_SHOW : SW_HIDE);
    CheckMenuItem(g_shell.windowPopup, IDM_CDPLAYER,
                  MF_BYCOMMAND | (g_shell.cdPlayerShown ? MF_CHECKED : MF_UNCHECKED));
    HWND toolbar = reinterpret_cast<HWND>(SendMessage(g_shell.iconBar, UM_GETICONTOOLBAR, 0, 0));
    SendMessage(toolbar, TB_CHECKBUTTON, IDM_CDPLAYER, g_shell.cdPlayerShown);
    if (g_shell.cdPlayerShown)
        SetWindowPos(g_shell.cdPlayer, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL CALLBACK repaint_document_window(HWND hwnd, LPARAM) {
    if (GetWindowLongPtr(hwnd, GWLP_USERDATA) == DOCUMENT_USERDATA)
        InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

// After OK the open documents and the preview bar draw with the qualities
// just chosen, and the background shows the chosen desktop.
void options(const CommandCall& call) {
    if (ShowOptionsPropertySheet(call.frame) != 1) return;
    g_waveView.lineStep = static_cast<float>(SettingWord(SET_WINDOWQUALITY)) * 0.001f;
    EnumChildWindows(call.frame, repaint_document_window, 0);
    SendMessage(g_shell.preview, UM_READQUALITY, 0, 0);
    InvalidateRect(g_shell.preview, nullptr, TRUE);
    InvalidateRect(g_shell.mdiClient, nullptr, TRUE);
}

void sound_drivers(const CommandCall& call) {
    ShowDevCaps(call.frame, 0, 0);
}

// The loader window comes and goes with the command; the window menu's item
// shows whether it is open.
void toggle_loader(const CommandCall& call) {
    if (g_shell.loader && IsWindowVisible(g_shell.loader)) {
        DestroyWindow(g_shell.loader);
        g_shell.loader = nullptr;
        CheckMenuItem(g_shell.windowPopup, IDM_LOADER, MF_BYCOMMAND | MF_UNCHECKED);
        return;
    }
    if (g_shell.loader && IsWindow(g_shell.loader)) DestroyWindow(g_shell.loader);
    g_shell.loader = ShowRevaZUD(call.frame);
    if (!g_shell.loader) return;
    CheckMenuItem(g_shell.windowPopup, IDM_LOADER, MF_BYCOMMAND | MF_CHECKED);
    SetWindowPos(g_shell.loader, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void extension(const CommandCall& call) {
    ExtensionCommand(call.frame, call.id);
}

void toggle_extension_buttons(const CommandCall&) {
    g_shell.extensionIconsShown = !g_shell.extensionIconsShown;
    ShowExtensionButtons(g_shell.extensionIconsShown);
}

void rebuild_preview(const CommandCall&) {
    InvalidateRect(g_shell.preview, nullptr, FALSE);
}

void about(const CommandCall& call) {
    ShowAbout(call.frame);
}

void volume_control(const CommandCall& call) {
    StartVolumeControl(call.frame);
}

void tonbox(const CommandCall& call) {
    StartSoundTools(call.frame);
}

void exit_program(const CommandCall& call) {
    PostMessage(call.frame, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void tips(const CommandCall& call) {
    CreateStartAssistant(call.frame);
}

void homepage(const CommandCall& call) {
    OpenDocumentation(call.frame);
}

// Shorter names for the table's columns.
constexpr CommandHow THREAD = HOW_THREAD, ASK_THREAD = HOW_ASK_THREAD, FRAME = HOW_FRAME,
                     ASK_FRAME = HOW_ASK_FRAME, SPECIAL = HOW_SPECIAL, DEFAULT = HOW_DEFAULT;
constexpr CommandRefusal ANY = REFUSE_NONE, NEEDS_DOC = REFUSE_NO_DOCUMENT, IDLE = REFUSE_BUSY,
                         QUIET = REFUSE_OPERATING;

// Looked up in this order: the ranges first, then the single commands. Ids
// the menus, accelerators or toolbars carry without a row here go to the
// default frame handling until their work exists.
// clang-format off
const CommandRow kCommands[] = {
//   id                  how         refusal    name id                    ask           thread                   procedure           last                 param
    // The window menu's document entries: activated by the default handling.
    {IDM_DOCUMENT_FIRST, DEFAULT,    ANY,       0,                         nullptr,      nullptr,                 nullptr,            IDM_DOCUMENT_LAST},
    // The extension decides with its dialog; the document is checked after it.
    {IDM_EXTENSION_FIRST, SPECIAL,   ANY,       0,                         nullptr,      nullptr,                 extension,          IDM_EXTENSION_LAST},
    {IDM_RECENT_FIRST,   FRAME,      ANY,       0,                         nullptr,      nullptr,                 RecentFileCommand,  IDM_RECENT_LAST},

    {IDM_NEW,            FRAME,      ANY,       0,                         nullptr,      nullptr,                 NewCommand},
    {IDM_OPEN,           FRAME,      ANY,       0,                         nullptr,      nullptr,                 OpenCommand},
    {IDM_SAVE,           FRAME,      NEEDS_DOC, 0,                         nullptr,      nullptr,                 SaveCommand},
    {IDM_SAVEAS,         FRAME,      NEEDS_DOC, 0,                         nullptr,      nullptr,                 SaveAsCommand},
    {IDM_CLOSE,          FRAME,      NEEDS_DOC, 0,                         nullptr,      nullptr,                 CloseCommand},
    {IDM_OPENPATH,       FRAME,      ANY,       0,                         nullptr,      nullptr,                 OpenPathCommand},
    {IDM_SETTINGS,       ASK_FRAME,  IDLE,      0,                         ShowHeader,   nullptr,                 refresh_document},
    // Reading the file again while it still loads would release what the open fills.
    {IDM_REVERT,         FRAME,      IDLE,      0,                         nullptr,      nullptr,                 RevertCommand},
    {IDM_CONVERT,        ASK_FRAME,  IDLE,      0,                         ConvertFile,  nullptr,                 refresh_document},

    {IDM_VOLUME,         ASK_THREAD, IDLE,      IDS_NAME_VOLUME,           ShowVolume,   ChangeVolume},
    {IDM_FADEIN,         ASK_THREAD, IDLE,      IDS_NAME_FADEIN,           ShowFadeIn,   FadeIn},
    {IDM_FADEOUT,        ASK_THREAD, IDLE,      IDS_NAME_FADEOUT,          ShowFadeOut,  FadeOut},
    {IDM_VELOCITY,       ASK_THREAD, IDLE,      IDS_NAME_VELOCITY,         ShowVelocity, Velocity},
    {IDM_SOFTEN,         ASK_THREAD, IDLE,      IDS_NAME_LOWPASS,          ShowLowPass,  LowPass},
    // The menu's "Insert Silence...": always asks and inserts at the cursor.
    {IDM_INSERTSILENCE,  ASK_THREAD, IDLE,      IDS_NAME_INSERTSILENCE,    ShowSilence,  InsertSilence},
    // With a mark the thread silences it; without one, Insert Silence runs.
    {IDM_SILENCE,        SPECIAL,    IDLE,      IDS_NAME_SILENCE,          nullptr,      SetSilence,              silence},
    {IDM_REVERSE,        THREAD,     IDLE,      IDS_NAME_REVERSE,          nullptr,      Reverse},
    {IDM_FADELEFTTORIGHT, THREAD,    IDLE,      IDS_NAME_FADELEFTTORIGHT,  nullptr,      FadeChannelsLeftToRight},
    {IDM_MAXVOLUME,      THREAD,     IDLE,      IDS_NAME_PEAKVOLUME,       nullptr,      SetMaxVolume},
    {IDM_FADERIGHTTOLEFT, THREAD,    IDLE,      IDS_NAME_FADERIGHTTOLEFT,  nullptr,      FadeChannelsRightToLeft},
    {IDM_ZEROIZE,        THREAD,     IDLE,      IDS_NAME_ZEROIZE,          nullptr,      Zeroize},
    // The editors apply their path themselves, on this thread.
    {IDM_CSVOLUME,       ASK_FRAME,  IDLE,      0,                         ShowCSVolume, nullptr,                 repaint_document},
    {IDM_CSFADECHANNELS, ASK_FRAME,  IDLE,      0,                         ShowCSFadeChannels, nullptr,           repaint_document},

    // The position bar checks the document itself.
    {IDM_DESTROYMARK,    FRAME,      ANY,       0,                         nullptr,      nullptr,                 to_position_bar},
    {IDM_MARKALL,        FRAME,      ANY,       0,                         nullptr,      nullptr,                 to_position_bar},
    {IDM_UNDO,           FRAME,      IDLE,      0,                         nullptr,      nullptr,                 undo},
    {IDM_COPY,           THREAD,     IDLE,      IDS_NAME_COPY,             nullptr,      CopyToClipboard,         nullptr,            0,                   PARAM_DOCUMENT},
    {IDM_PASTE,          THREAD,     IDLE,      IDS_NAME_PASTE,            nullptr,      PasteFromClipboard,      nullptr,            0,                   PARAM_DOCUMENT},
    {IDM_MIX,            THREAD,     IDLE,      IDS_NAME_MIX,              nullptr,      PasteMixFromClipboard,   nullptr,            0,                   PARAM_DOCUMENT},
    {IDM_DELETE,         FRAME,      IDLE,      0,                         nullptr,      nullptr,                 erase},
    {IDM_CROP,           FRAME,      IDLE,      0,                         nullptr,      nullptr,                 crop},
    {IDM_CLIPDELETE,     FRAME,      ANY,       0,                         nullptr,      nullptr,                 DeleteClipboardCommand},
    {IDM_CLIPEXPORT,     FRAME,      ANY,       0,                         nullptr,      nullptr,                 ExportClipboardCommand},
    {IDM_CLIPIMPORT,     FRAME,      ANY,       0,                         nullptr,      nullptr,                 ImportClipboardCommand},
    {IDM_CLIPINFO,       FRAME,      ANY,       0,                         nullptr,      nullptr,                 clipboard_header},

    // Playback checks the document itself.
    {IDM_PLAY,           FRAME,      ANY,       0,                         nullptr,      nullptr,                 play},
    {IDM_PLAYLOOP,       FRAME,      ANY,       0,                         nullptr,      nullptr,                 play},
    {IDM_PAUSE,          FRAME,      ANY,       0,                         nullptr,      nullptr,                 pause},
    {IDM_STOP,           FRAME,      ANY,       0,                         nullptr,      nullptr,                 stop},
    // Recording replaces the samples: not while an operation works on them.
    {IDM_RECORD,         FRAME,      QUIET,     0,                         nullptr,      nullptr,                 record},
    {IDM_VOLUMEUP,       FRAME,      ANY,       0,                         nullptr,      nullptr,                 volume_up},
    {IDM_VOLUMEDOWN,     FRAME,      ANY,       0,                         nullptr,      nullptr,                 volume_down},
    {IDM_OUTPUTDEVICE,   FRAME,      ANY,       0,                         nullptr,      nullptr,                 output_device},
    {IDM_CDTRACK,        FRAME,      ANY,       0,                         nullptr,      nullptr,                 cd_track},

    {IDM_CASCADE,        FRAME,      ANY,       0,                         nullptr,      nullptr,                 cascade},
    {IDM_TILE,           FRAME,      ANY,       0,                         nullptr,      nullptr,                 tile},
    {IDM_ARRANGE,        FRAME,      ANY,       0,                         nullptr,      nullptr,                 arrange},
    {IDM_RESTORE,        FRAME,      NEEDS_DOC, 0,                         nullptr,      nullptr,                 restore},
    {IDM_CLOSEALL,       FRAME,      ANY,       0,                         nullptr,      nullptr,                 close_all},
    {IDM_THREADMANAGER,  FRAME,      ANY,       0,                         nullptr,      nullptr,                 toggle_thread_manager},
    {IDM_CDPLAYER,       FRAME,      ANY,       0,                         nullptr,      nullptr,                 toggle_cd_player},
    {IDM_LOADER,         FRAME,      ANY,       0,                         nullptr,      nullptr,                 toggle_loader},
    {IDM_EXTENSIONBUTTONS, FRAME,    ANY,       0,                         nullptr,      nullptr,                 toggle_extension_buttons},
    {IDM_REBUILDPREVIEW, FRAME,      ANY,       0,                         nullptr,      nullptr,                 rebuild_preview},

    {IDM_OPTIONS,        FRAME,      ANY,       0,                         nullptr,      nullptr,                 options},
    {IDM_SOUNDDRIVERS,   FRAME,      ANY,       0,                         nullptr,      nullptr,                 sound_drivers},
    {IDM_ABOUT,          FRAME,      ANY,       0,                         nullptr,      nullptr,                 about},
    {IDM_VOLUMECONTROL,  FRAME,      ANY,       0,                         nullptr,      nullptr,                 volume_control},
    {IDM_TONBOX,         FRAME,      ANY,       0,                         nullptr,      nullptr,                 tonbox},
    {IDM_EXIT,           FRAME,      ANY,       0,                         nullptr,      nullptr,                 exit_program},
    {IDM_TIPS,           FRAME,      ANY,       0,                         nullptr,      nullptr,                 tips},
    {IDM_HOMEPAGE,       FRAME,      ANY,       0,                         nullptr,      nullptr,                 homepage},
};
// clang-format on

const CommandRow& row_of(WORD id) {
    return *FindCommand(kCommands, id);
}

}  // namespace

std::span<const CommandRow> FrameCommands() {
    return kCommands;
}

void StartPaste(HWND doc, BOOL mix) {
    if (doc) StartCommandThread(row_of(mix ? IDM_MIX : IDM_PASTE), g_shell.frame, doc);
}

LRESULT FrameCommand(HWND frame, WPARAM wp, LPARAM lp) {
    WORD id = LOWORD(wp);
    const CommandRow* row = FindCommand(kCommands, id);
    if (!row || row->how == HOW_DEFAULT)
        return DefFrameProc(frame, g_shell.mdiClient, WM_COMMAND, wp, lp);
    RunCommand(*row, CommandCall{frame, ActiveDocument(), id, wp, lp});
    return 0;
}

void OpenPath(HWND frame, const char* path) {
    if (!path || !*path) return;
    std::string copy = path;
    SetMouseWait(frame);
    if (OpenWAV(frame, g_shell.mdiClient, copy.c_str())) AddRecentFile(copy.c_str());
    InvalidateRect(g_shell.statusBar, nullptr, TRUE);
    InvalidateRect(g_shell.preview, nullptr, TRUE);
    SendMessage(ActiveDocument(), UM_DOCCHANGED, 0, 0);
    SetMouseActive();
}

void OpenCommandLineFiles(HWND frame) {
    std::vector<std::string> paths;
    paths.swap(g_shell.pendingPaths);
    g_shell.pendingOpen = FALSE;
    for (const std::string& path : paths) OpenPath(frame, path.c_str());
}

void FrameHandOver(HWND frame, const char* line) {
    if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
    SetForegroundWindow(frame);
    BringWindowToTop(frame);
    CommandLine c = ParseCommandLine(line ? line : "");
    if (c.kind == COMMANDLINE_PATH) {
        for (const std::string& path : CommandLinePaths(c.path))
            SendMessage(frame, WM_COMMAND, IDM_OPENPATH, reinterpret_cast<LPARAM>(path.c_str()));
    } else if (c.kind == COMMANDLINE_CDTRACK)
        SendMessage(frame, WM_COMMAND, IDM_CDTRACK, c.track);
}
