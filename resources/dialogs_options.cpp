#include "dialogs_options.h"

// Pages are children of their sheet: no frame, the sheet gives the caption.
namespace {

constexpr DWORD kPage = DS_CONTROL | WS_CHILD;
constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kNumber = kEdit | ES_RIGHT;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kSlider = TBS_AUTOTICKS | WS_TABSTOP;
constexpr DWORD kUpDown = UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | WS_BORDER;
constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr short kWidth = 232, kHeight = 140;

template <size_t N>
constexpr DIALOGTEMPLATE page(LPCSTR caption, const DIALOGITEM (&items)[N]) {
    return DIALOGTEMPLATE{caption, kPage,           0, 0,     0,      kWidth,
                          kHeight, "MS Sans Serif", 8, items, UINT(N)};
}

const DIALOGITEM kUserItems[] = {
    {"BUTTON", "Registered to", -1, 6, 6, 220, 62, BS_GROUPBOX, 0},
    {"STATIC", "Name:", -1, 14, 22, 50, 8, SS_LEFT, 0},
    {"EDIT", "", 101, 66, 20, 152, 12, kEdit, 0},
    {"STATIC", "Organization:", -1, 14, 42, 50, 8, SS_LEFT, 0},
    {"EDIT", "", 102, 66, 40, 152, 12, kEdit, 0},
};

// The format of the next new file: lists 101-103, the values it gives 104-105.
const DIALOGITEM kNewFilesItems[] = {
    {"BUTTON", "Format", -1, 6, 6, 220, 66, BS_GROUPBOX, 0},
    {"STATIC", "Bit:", -1, 14, 22, 50, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 101, 70, 20, 90, 60, kList | WS_GROUP, 0},
    {"STATIC", "Channels:", -1, 14, 38, 50, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 102, 70, 36, 90, 60, kList, 0},
    {"STATIC", "Frequency:", -1, 14, 54, 50, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 103, 70, 52, 90, 100, CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0},
    {"STATIC", "Hz", -1, 164, 54, 20, 8, SS_LEFT, 0},
    {"BUTTON", "Values", -1, 6, 78, 220, 44, BS_GROUPBOX, 0},
    {"STATIC", "Bytes per second:", -1, 14, 92, 80, 8, SS_LEFT, 0},
    {"STATIC", "", 104, 98, 92, 120, 8, SS_LEFT, 0},
    {"STATIC", "Bytes per sample:", -1, 14, 106, 80, 8, SS_LEFT, 0},
    {"STATIC", "", 105, 98, 106, 120, 8, SS_LEFT, 0},
};

// Start-up (102, 104, the sound 201 with 202) above the drawing (103, 203
// with 204, the peak display 105).
const DIALOGITEM kDesignItems[] = {
    {"BUTTON", "Startup", -1, 6, 4, 220, 64, BS_GROUPBOX, 0},
    {"BUTTON", "Display StartAssistant", 102, 14, 16, 140, 10, kCheck | WS_GROUP, 0},
    {"BUTTON", "Shine-Through Background", 104, 14, 30, 140, 10, kCheck, 0},
    {"STATIC", "Startup - Sound:", -1, 14, 48, 72, 8, SS_LEFT, 0},
    {"EDIT", "", 201, 88, 46, 84, 12, kEdit, 0},
    {"BUTTON", "Browse...", 202, 176, 45, 44, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "Drawing", -1, 6, 72, 220, 66, BS_GROUPBOX, 0},
    {"STATIC", "Display quality:", -1, 14, 86, 72, 8, SS_LEFT, 0},
    {"STATIC", "low", -1, 88, 86, 16, 8, SS_LEFT, 0},
    {"msctls_trackbar32", "", 103, 104, 83, 90, 16, kSlider, 0},
    {"STATIC", "high", -1, 196, 86, 24, 8, SS_LEFT, 0},
    {"STATIC", "Zoom:", -1, 14, 108, 72, 8, SS_LEFT, 0},
    {"EDIT", "", 203, 88, 106, 50, 12, kNumber, 0},
    {"msctls_updown32", "", 204, 138, 106, 10, 12, kUpDown, 0},
    {"STATIC", "x  (0: whole file)", -1, 142, 108, 80, 8, SS_LEFT, 0},
    {"BUTTON", "Show &peaks (minimum and maximum per column)", 105, 14, 124, 206, 10, kCheck, 0},
};

const DIALOGITEM kGeneralItems[] = {
    {"BUTTON", "Editing", -1, 6, 4, 220, 44, BS_GROUPBOX, 0},
    {"BUTTON", "Doubleclicking marks whole file", 101, 14, 16, 160, 10, kCheck | WS_GROUP, 0},
    {"BUTTON", "Activate Undo", 104, 14, 30, 160, 10, kCheck, 0},
    {"BUTTON", "Preview bar", -1, 6, 52, 220, 36, BS_GROUPBOX, 0},
    {"STATIC", "Previewbar quality:", -1, 14, 67, 80, 8, SS_LEFT, 0},
    {"STATIC", "low", -1, 96, 67, 16, 8, SS_LEFT, 0},
    {"msctls_trackbar32", "", 103, 112, 64, 82, 16, kSlider, 0},
    {"STATIC", "high", -1, 196, 67, 24, 8, SS_LEFT, 0},
    {"BUTTON", "Recent files", -1, 6, 92, 220, 32, BS_GROUPBOX, 0},
    {"STATIC", "Recent:", -1, 14, 106, 80, 8, SS_LEFT, 0},
    {"EDIT", "", 203, 96, 104, 36, 12, kNumber, 0},
    {"msctls_updown32", "", 204, 132, 104, 10, 12, kUpDown, 0},
    {"STATIC", "files (1 - 20)", -1, 138, 106, 80, 8, SS_LEFT, 0},
};

const DIALOGITEM kThreadsItems[] = {
    {"BUTTON", "Threads", -1, 6, 4, 220, 72, BS_GROUPBOX, 0},
    {"BUTTON", "Plays tone when thread has terminated", 101, 14, 18, 200, 10, kCheck | WS_GROUP, 0},
    {"STATIC", "Thread speed:", -1, 14, 42, 60, 8, SS_LEFT, 0},
    {"STATIC", "slow", -1, 74, 42, 18, 8, SS_LEFT, 0},
    {"msctls_trackbar32", "", 105, 92, 39, 100, 16, kSlider, 0},
    {"STATIC", "fast", -1, 194, 42, 24, 8, SS_LEFT, 0},
};

// The output device in 101-103, the input device in 201-203.
const DIALOGITEM kDevCapsItems[] = {
    {"BUTTON", "Playback", -1, 6, 4, 220, 56, BS_GROUPBOX, 0},
    {"STATIC", "Name:", -1, 14, 18, 44, 8, SS_LEFT, 0},
    {"STATIC", "", 101, 66, 18, 154, 8, SS_LEFT, 0},
    {"STATIC", "Version:", -1, 14, 30, 44, 8, SS_LEFT, 0},
    {"STATIC", "", 102, 66, 30, 154, 8, SS_LEFT, 0},
    {"STATIC", "Best format:", -1, 14, 42, 50, 8, SS_LEFT, 0},
    {"STATIC", "", 103, 66, 42, 154, 8, SS_LEFT, 0},
    {"BUTTON", "Record", -1, 6, 66, 220, 56, BS_GROUPBOX, 0},
    {"STATIC", "Name:", -1, 14, 80, 44, 8, SS_LEFT, 0},
    {"STATIC", "", 201, 66, 80, 154, 8, SS_LEFT, 0},
    {"STATIC", "Version:", -1, 14, 92, 44, 8, SS_LEFT, 0},
    {"STATIC", "", 202, 66, 92, 154, 8, SS_LEFT, 0},
    {"STATIC", "Best format:", -1, 14, 104, 50, 8, SS_LEFT, 0},
    {"STATIC", "", 203, 66, 104, 154, 8, SS_LEFT, 0},
};

const DIALOGTEMPLATE kUser = page("User", kUserItems);
const DIALOGTEMPLATE kNewFiles = page("New Files", kNewFilesItems);
const DIALOGTEMPLATE kDesign = page("Design", kDesignItems);
const DIALOGTEMPLATE kGeneral = page("General", kGeneralItems);
const DIALOGTEMPLATE kThreads = page("Threads", kThreadsItems);
const DIALOGTEMPLATE kDevCaps = page("Capabilities", kDevCapsItems);

void add(HINSTANCE inst, LPCSTR name, const DIALOGTEMPLATE& t) {
    PlatformAddData(inst, RT_DIALOG_NAME, name, &t, sizeof t);
}

}  // namespace

void RegisterOptionsDialogTemplates(HINSTANCE inst) {
    add(inst, MAKEINTRESOURCE(119), kUser);
    add(inst, MAKEINTRESOURCE(120), kNewFiles);
    add(inst, MAKEINTRESOURCE(121), kDesign);
    add(inst, MAKEINTRESOURCE(124), kGeneral);
    add(inst, MAKEINTRESOURCE(123), kThreads);
    add(inst, "DEVCAPS", kDevCaps);
}
