// Sample extension "Echo": adds the sound of the mark (or of the whole
// document) to itself, later by a delay and weaker by a level, both asked in
// a dialog of its own. The filter runs on a thread of its own as an editing
// operation: it announces its start and end to the frame, works under the
// document's guard and can be undone.
#include <kit/rvg32.h>
#include <sonrel/extension.h>
#include <sonrel/ids.h>

#include <cstdio>
#include <cstring>

#include "sample_document.h"

namespace {

constexpr char kUndoText[] = "Echo";
constexpr char kDelaySetting[] = "Sonrel\\Settings\\Extensions\\Echo\\Delay";
constexpr char kLevelSetting[] = "Sonrel\\Settings\\Extensions\\Echo\\Level";
constexpr WORD kDefaultDelayMs = 250, kDefaultLevel = 50;
constexpr UINT kMaxDelayMs = 5000;

constexpr int IDC_DELAY = 101, IDC_LEVEL = 102;
constexpr DWORD kModal = DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT;

const DIALOGITEM kItems[] = {
    {"BUTTON", "Echo", -1, 6, 4, 110, 58, BS_GROUPBOX, 0},
    {"STATIC", "Delay:", -1, 14, 22, 34, 8, SS_LEFT, 0},
    {"EDIT", "", IDC_DELAY, 50, 20, 40, 12, kEdit, 0},
    {"STATIC", "ms", -1, 94, 22, 16, 8, SS_LEFT, 0},
    {"STATIC", "Level:", -1, 14, 40, 34, 8, SS_LEFT, 0},
    {"EDIT", "", IDC_LEVEL, 50, 38, 40, 12, kEdit, 0},
    {"STATIC", "%", -1, 94, 40, 16, 8, SS_LEFT, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const DIALOGTEMPLATE kDialog{"Echo",
                             kModal,
                             0,
                             0,
                             0,
                             180,
                             68,
                             "MS Sans Serif",
                             8,
                             kItems,
                             UINT(sizeof kItems / sizeof kItems[0])};

void write_number(const char* path, UINT value) {
    char text[16];
    std::snprintf(text, sizeof text, "%u", value);
    RegWriteString(path, text);
}

// As the editor's own dialogs: centred over the frame's client area, 30
// pixels above its middle.
void centre_over_owner(HWND dlg) {
    HWND owner = GetParent(dlg);
    RECT oc{}, dc{};
    if (!owner || !GetClientRect(owner, &oc) || !GetClientRect(dlg, &dc)) return;
    POINT at{oc.right / 2 - dc.right / 2, oc.bottom / 2 - dc.bottom / 2 - 30};
    ClientToScreen(owner, &at);
    SetWindowPos(dlg, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK dialog_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        centre_over_owner(dlg);
        SetDlgItemInt(dlg, IDC_DELAY, RegGetWord(kDelaySetting, kDefaultDelayMs), FALSE);
        SetDlgItemInt(dlg, IDC_LEVEL, RegGetWord(kLevelSetting, kDefaultLevel), FALSE);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wp) == IDOK) {
        BOOL delayOk = FALSE, levelOk = FALSE;
        UINT delay = GetDlgItemInt(dlg, IDC_DELAY, &delayOk, FALSE);
        UINT level = GetDlgItemInt(dlg, IDC_LEVEL, &levelOk, FALSE);
        if (!delayOk || !levelOk || delay < 1 || delay > kMaxDelayMs || level < 1 || level > 100) {
            MessageBox(dlg,
                       "The delay must lie between 1 and 5000 ms, the level between 1 and 100 %.",
                       "Echo", MB_OK | MB_ICONEXCLAMATION);
            return TRUE;
        }
        write_number(kDelaySetting, delay);
        write_number(kLevelSetting, level);
        EndDialog(dlg, 1);
        return TRUE;
    }
    if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, 0);
        return TRUE;
    }
    return FALSE;
}

// Bars that grow weaker to the right.
DWORD image_pixel(int x, int y) {
    static const int kTop[4] = {2, 5, 8, 11};
    int bar = x / 4, inBar = x % 4;
    if (bar < 4 && inBar > 0 && y >= kTop[bar] && y <= 16 - kTop[bar] / 2 - 1) return 0x206020;
    return 0xC0C0C0;
}

// The echo over the range: value i gains level percent of value i - delay of
// the same channel, as it was before the change. Going from the end backwards
// reads every earlier value before it is changed.
void add_echo(const sample::Samples& s, DWORD delayValues, int level) {
    DWORD n = s.values();
    for (DWORD i = n; i-- > delayValues;) {
        s.put(i, s.get(i) + s.get(i - delayValues) * level / 100);
        if ((i & 0xFFFF) == 0) PlatformCheckpoint();
    }
}

}  // namespace

EXTENSION_EXPORT void GetExtensionInformation(ExtensionInfo* info) {
    std::strcpy(info->menuText, "&Echo...");
    std::strcpy(info->description, "Adds an echo of the chosen delay and level\rEcho");
    info->threaded = 1;
    info->active = 1;
    info->bitmap = sample::button_image(image_pixel);
}

EXTENSION_EXPORT DWORD ShowDialogBox(HWND frame) {
    HINSTANCE self = PlatformModuleOfAddress(reinterpret_cast<const void*>(&dialog_proc));
    return DialogBoxIndirectParam(self, &kDialog, frame, dialog_proc, 0) == 1 ? 1 : 0;
}

EXTENSION_EXPORT DWORD Filter(HWND frame) {
    HWND doc = reinterpret_cast<HWND>(SendMessage(frame, UM_GETACTIVEDOC, 0, 0));
    UINT delayMs = RegGetWord(kDelaySetting, kDefaultDelayMs);
    int level = RegGetWord(kLevelSetting, kDefaultLevel);
    if (delayMs > kMaxDelayMs) delayMs = kMaxDelayMs;
    if (level > 100) level = 100;
    SendMessage(frame, UM_THREADBEGIN, reinterpret_cast<WPARAM>(doc), IDS_NAME_EXTENSION);
    bool done = false;
    if (doc) {
        DocumentLock lock(doc);
        sample::Samples s(doc);
        auto* h = static_cast<HeaderBlock*>(GlobalLock(GetProp(doc, PROP_HEADER)));
        DWORD rate = h ? h->samplesPerSec : 0;
        if (h) GlobalUnlock(GetProp(doc, PROP_HEADER));
        DWORD delayValues = DWORD(ULONGLONG(rate) * delayMs / 1000) * s.channels;
        if (!s.empty() && delayValues > 0 && delayValues < s.values()) {
            SaveUndoInformation(doc, s.start, s.length, UNDO_CHANGED, kUndoText);
            add_echo(s, delayValues, level);
            done = true;
        }
    }
    if (done) sample::changed(frame, doc);
    SendMessage(frame, UM_THREADEND, GetCurrentThreadId(), 0);
    return done ? 1 : 0;
}
