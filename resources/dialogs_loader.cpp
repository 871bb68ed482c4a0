#include "dialogs_loader.h"

namespace {

constexpr DWORD kShown = WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
constexpr DWORD kTime = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT;
constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;

// The file in 101 with Browse (102); its format 103 and length 104; the part's
// start 201 and length 202; Play Part (105), Load (1) and Cancel (2).
const DIALOGITEM kHugeItems[] = {
    {"STATIC", "Loads a part of a large wave file into a new document.", -1, 6, 6, 268, 8, SS_LEFT,
     0},
    {"BUTTON", "Wave file", -1, 6, 18, 268, 56, BS_GROUPBOX, 0},
    {"EDIT", "", 101, 12, 30, 196, 12, kShown, 0},
    {"BUTTON", "&Browse...", 102, 214, 29, 54, 14, kPush | WS_GROUP, 0},
    {"STATIC", "Format:", -1, 12, 48, 40, 8, SS_LEFT, 0},
    {"STATIC", "", 103, 54, 48, 150, 8, SS_LEFT, 0},
    {"STATIC", "Length:", -1, 12, 60, 40, 8, SS_LEFT, 0},
    {"STATIC", "", 104, 54, 60, 150, 8, SS_LEFT, 0},
    {"BUTTON", "Part (h:mm:ss.fff)", -1, 6, 80, 268, 34, BS_GROUPBOX, 0},
    {"STATIC", "Start:", -1, 12, 95, 28, 8, SS_LEFT, 0},
    {"EDIT", "", 201, 42, 93, 70, 12, kTime | WS_GROUP, 0},
    {"STATIC", "Length:", -1, 124, 95, 30, 8, SS_LEFT, 0},
    {"EDIT", "", 202, 156, 93, 70, 12, kTime, 0},
    {"BUTTON", "&Play Part", 105, 6, 122, 60, 14, kPush, 0},
    {"BUTTON", "&Load", IDOK, 150, 122, 60, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&Cancel", IDCANCEL, 214, 122, 60, 14, kPush, 0},
};

const DIALOGTEMPLATE kHuge{
    "RevaZUD Loader",
    DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
    0,
    0,
    0,
    280,
    142,
    "MS Sans Serif",
    8,
    kHugeItems,
    sizeof kHugeItems / sizeof kHugeItems[0]};

}  // namespace

void RegisterLoaderDialogTemplates(HINSTANCE inst) {
    PlatformAddData(inst, RT_DIALOG_NAME, "HUGE", &kHuge, sizeof kHuge);
}
