#include "dialogs_files.h"

namespace {

// The preview panel under the open dialog's file list: what the selected wave
// holds (length 111, bits and channels 112, rate 113, size 110) and buttons to
// hear it (102, 103) and to show the panel's notice (101).
const DIALOGITEM kOpenFileItems[] = {
    {"BUTTON", "Preview", -1, 4, 0, 222, 38, BS_GROUPBOX, 0},
    {"STATIC", "Length:", -1, 10, 11, 30, 8, SS_LEFT, 0},
    {"STATIC", "00 m 00.000 s", 111, 42, 11, 70, 8, SS_LEFT, 0},
    {"STATIC", "Size:", -1, 120, 11, 24, 8, SS_LEFT, 0},
    {"STATIC", "0 KB", 110, 146, 11, 74, 8, SS_LEFT, 0},
    {"STATIC", "Format:", -1, 10, 24, 30, 8, SS_LEFT, 0},
    {"STATIC", "none", 112, 42, 24, 76, 8, SS_LEFT, 0},
    {"STATIC", "none", 113, 120, 24, 100, 8, SS_LEFT, 0},
    {"BUTTON", "&Play file", 102, 232, 4, 56, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&Stop", 103, 232, 21, 56, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&About...", 101, 292, 4, 44, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const DIALOGTEMPLATE kOpenFile{nullptr,
                               DS_CONTROL | DS_3DLOOK | WS_CHILD | WS_CLIPSIBLINGS,
                               0,
                               0,
                               0,
                               340,
                               40,
                               "MS Sans Serif",
                               8,
                               kOpenFileItems,
                               sizeof kOpenFileItems / sizeof kOpenFileItems[0]};

// The format given to a file that is no RIFF file: resolution 101, channels
// 102, rate 103 (editable), and the stored values 104-107.
const DIALOGITEM kRawItems[] = {
    {"BUTTON", "Format", -1, 6, 4, 136, 62, BS_GROUPBOX, 0},
    {"STATIC", "Resolution:", -1, 12, 18, 46, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 101, 62, 16, 72, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0},
    {"STATIC", "Channels:", -1, 12, 33, 46, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 102, 62, 31, 72, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {"STATIC", "Frequency:", -1, 12, 48, 46, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 103, 62, 46, 72, 100, CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0},
    {"BUTTON", "Stored values", -1, 6, 70, 136, 62, BS_GROUPBOX, 0},
    {"STATIC", "Data rate:", -1, 12, 82, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 104, 70, 82, 66, 8, SS_LEFT, 0},
    {"STATIC", "Sample size:", -1, 12, 94, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 105, 70, 94, 66, 8, SS_LEFT, 0},
    {"STATIC", "File length:", -1, 12, 106, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 106, 70, 106, 66, 8, SS_LEFT, 0},
    {"STATIC", "Data length:", -1, 12, 118, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 107, 70, 118, 66, 8, SS_LEFT, 0},
    {"BUTTON", "OK", IDOK, 150, 8, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 150, 26, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const DIALOGTEMPLATE kRaw{"RAW File Format Parameter Specification",
                          DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                          0,
                          0,
                          0,
                          208,
                          138,
                          "MS Sans Serif",
                          8,
                          kRawItems,
                          sizeof kRawItems / sizeof kRawItems[0]};

}  // namespace

void RegisterFileDialogTemplates(HINSTANCE inst) {
    PlatformAddData(inst, RT_DIALOG_NAME, "RV_OPENFILE", &kOpenFile, sizeof kOpenFile);
    PlatformAddData(inst, RT_DIALOG_NAME, "RAW", &kRaw, sizeof kRaw);
}
