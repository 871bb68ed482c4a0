#include "dialogs_params.h"

// Every parameter dialog has OK (1), Cancel (2) and the help button "&?"
// (998, no action) in a column at its right.
namespace {

constexpr DWORD kModal = DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT;
constexpr DWORD kSlider = TBS_AUTOTICKS | WS_TABSTOP;

template <size_t N>
constexpr DIALOGTEMPLATE dialog(LPCSTR caption, short x, short y, short cx, short cy,
                                const DIALOGITEM (&items)[N]) {
    return DIALOGTEMPLATE{caption, kModal, 0, x, y, cx, cy, "MS Sans Serif", 8, items, UINT(N)};
}

// Volume change in percent: edit 101 (the up-down is attached at run time).
const DIALOGITEM kVolumeItems[] = {
    {"BUTTON", "Volume", -1, 6, 4, 110, 58, BS_GROUPBOX, 0},
    {"STATIC", "Change:", -1, 14, 26, 34, 8, SS_LEFT, 0},
    {"EDIT", "", 101, 50, 24, 44, 12, kEdit, 0},
    {"STATIC", "%", -1, 98, 26, 12, 8, SS_LEFT, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&?", 998, 124, 42, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

// Fade in from the percentage in edit 101 to full volume.
const DIALOGITEM kFadeInItems[] = {
    {"BUTTON", "Fade In", -1, 6, 4, 110, 58, BS_GROUPBOX, 0},
    {"STATIC", "from", -1, 12, 26, 18, 8, SS_LEFT, 0},
    {"EDIT", "", 101, 32, 24, 40, 12, kEdit, 0},
    {"STATIC", "to 100 %", -1, 76, 26, 36, 8, SS_LEFT, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&?", 998, 124, 42, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

// Fade out from full volume to the percentage in edit 101.
const DIALOGITEM kFadeOutItems[] = {
    {"BUTTON", "Fade Out", -1, 6, 4, 110, 58, BS_GROUPBOX, 0},
    {"STATIC", "From 100 % to", -1, 10, 26, 50, 8, SS_LEFT, 0},
    {"EDIT", "", 101, 60, 24, 36, 12, kEdit, 0},
    {"STATIC", "%", -1, 100, 26, 10, 8, SS_LEFT, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&?", 998, 124, 42, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

// Velocity in percent (edit 101), smoothing on or off (102) and its strength
// (slider 201, 1..8).
const DIALOGITEM kVelocityItems[] = {
    {"BUTTON", "Velocity", -1, 6, 4, 110, 26, BS_GROUPBOX, 0},
    {"STATIC", "Change:", -1, 14, 15, 34, 8, SS_LEFT, 0},
    {"EDIT", "", 101, 50, 13, 44, 12, kEdit, 0},
    {"STATIC", "%", -1, 98, 15, 12, 8, SS_LEFT, 0},
    {"BUTTON", "Smooth transformation", 102, 10, 36, 104, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {"msctls_trackbar32", "", 201, 8, 50, 106, 16, kSlider, 0},
    {"STATIC", "Normal", -1, 10, 68, 40, 8, SS_LEFT, 0},
    {"STATIC", "Very soft", -1, 72, 68, 40, 8, SS_RIGHT, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&?", 998, 124, 42, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

// Softness of the low pass: slider 201, 1..8.
const DIALOGITEM kLowPassItems[] = {
    {"BUTTON", "Soften", -1, 6, 4, 110, 58, BS_GROUPBOX, 0},
    {"msctls_trackbar32", "", 201, 10, 18, 102, 16, kSlider, 0},
    {"STATIC", "Normal", -1, 12, 40, 40, 8, SS_LEFT, 0},
    {"STATIC", "Very soft", -1, 70, 40, 40, 8, SS_RIGHT, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&?", 998, 124, 42, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

// Length of the silence: seconds in edit 102, milliseconds in edit 101.
const DIALOGITEM kSilenceItems[] = {
    {"BUTTON", "Length", -1, 6, 4, 110, 58, BS_GROUPBOX, 0},
    {"EDIT", "", 102, 14, 18, 44, 12, kEdit, 0},
    {"STATIC", "sec", -1, 62, 20, 20, 8, SS_LEFT, 0},
    {"EDIT", "", 101, 14, 38, 44, 12, kEdit, 0},
    {"STATIC", "ms", -1, 62, 40, 20, 8, SS_LEFT, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&?", 998, 124, 42, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

// The document's zoom in sample values per pixel column: edit 101.
const DIALOGITEM kZoomByItems[] = {
    {"BUTTON", "Zoom", -1, 6, 4, 110, 40, BS_GROUPBOX, 0},
    {"STATIC", "Factor:", -1, 14, 22, 30, 8, SS_LEFT, 0},
    {"EDIT", "", 101, 46, 20, 54, 12, kEdit, 0},
    {"BUTTON", "OK", IDOK, 124, 6, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "&Close", IDCANCEL, 124, 24, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

const DIALOGITEM kAboutItems[] = {
    {"STATIC", "Sonrel2003", -1, 10, 8, 160, 10, SS_LEFT, 0},
    {"STATIC", "A sound editor for 8- and 16-bit PCM wave files.", -1, 10, 22, 160, 8, SS_LEFT, 0},
    {"STATIC", "Mark, cut, mix and shape sound; hear it as you go.", -1, 10, 34, 160, 8, SS_LEFT,
     0},
    {"STATIC", "", -1, 10, 48, 160, 1, SS_ETCHEDHORZ, 0},
    {"BUTTON", "OK", IDOK, 120, 56, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
};

// A format shown or changed: resolution 101, channels 102, rate 103, and the
// read-only values 104-107. The document's format dialog edits the first
// three; the clipboard's shows them as texts.
const DIALOGITEM kHeaderItems[] = {
    {"BUTTON", "Format", -1, 6, 4, 136, 62, BS_GROUPBOX, 0},
    {"STATIC", "Resolution:", -1, 12, 18, 46, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 101, 62, 16, 72, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0},
    {"STATIC", "Channels:", -1, 12, 33, 46, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 102, 62, 31, 72, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {"STATIC", "Frequency:", -1, 12, 48, 46, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 103, 62, 46, 72, 100, CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0},
    {"BUTTON", "Values", -1, 6, 70, 136, 62, BS_GROUPBOX, 0},
    {"STATIC", "Data rate:", -1, 12, 82, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 104, 70, 82, 66, 8, SS_LEFT, 0},
    {"STATIC", "Sample size:", -1, 12, 94, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 105, 70, 94, 66, 8, SS_LEFT, 0},
    {"STATIC", "Filelength:", -1, 12, 106, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 106, 70, 106, 66, 8, SS_LEFT, 0},
    {"STATIC", "Datalength:", -1, 12, 118, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 107, 70, 118, 66, 8, SS_LEFT, 0},
    {"BUTTON", "&Change Settings", IDOK, 150, 8, 66, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
     0},
    {"BUTTON", "C&onvert", 110, 150, 26, 66, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 150, 44, 66, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&?", 998, 150, 62, 66, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

const DIALOGITEM kClipboardHeaderItems[] = {
    {"BUTTON", "Format", -1, 6, 4, 136, 50, BS_GROUPBOX, 0},
    {"STATIC", "Resolution:", -1, 12, 16, 46, 8, SS_LEFT, 0},
    {"STATIC", "", 101, 62, 16, 72, 8, SS_LEFT, 0},
    {"STATIC", "Channels:", -1, 12, 28, 46, 8, SS_LEFT, 0},
    {"STATIC", "", 102, 62, 28, 72, 8, SS_LEFT, 0},
    {"STATIC", "Frequency:", -1, 12, 40, 46, 8, SS_LEFT, 0},
    {"STATIC", "", 103, 62, 40, 72, 8, SS_LEFT, 0},
    {"BUTTON", "Values", -1, 6, 58, 136, 62, BS_GROUPBOX, 0},
    {"STATIC", "Data rate:", -1, 12, 70, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 104, 70, 70, 66, 8, SS_LEFT, 0},
    {"STATIC", "Sample size:", -1, 12, 82, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 105, 70, 82, 66, 8, SS_LEFT, 0},
    {"STATIC", "Filelength:", -1, 12, 94, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 106, 70, 94, 66, 8, SS_LEFT, 0},
    {"STATIC", "Datalength:", -1, 12, 106, 56, 8, SS_LEFT, 0},
    {"STATIC", "", 107, 70, 106, 66, 8, SS_LEFT, 0},
    {"BUTTON", "OK", IDOK, 150, 8, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 150, 26, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&Play", 801, 150, 62, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&Stop", 802, 150, 80, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};

const DIALOGTEMPLATE kVolume = dialog("Volume", 0, 0, 180, 68, kVolumeItems);
const DIALOGTEMPLATE kFadeIn = dialog("Fade In", 0, 0, 180, 68, kFadeInItems);
const DIALOGTEMPLATE kFadeOut = dialog("Fade Out", 0, 0, 180, 68, kFadeOutItems);
const DIALOGTEMPLATE kVelocity = dialog("Velocity", 40, 30, 180, 82, kVelocityItems);
const DIALOGTEMPLATE kLowPass = dialog("Soften", 0, 0, 180, 68, kLowPassItems);
const DIALOGTEMPLATE kSilence = dialog("Insert Silence", 0, 0, 180, 68, kSilenceItems);
const DIALOGTEMPLATE kZoomBy = dialog("Zoom", 0, 0, 180, 50, kZoomByItems);
const DIALOGTEMPLATE kHeader = dialog("Settings", 0, 0, 222, 138, kHeaderItems);
const DIALOGTEMPLATE kClipboardHeader =
    dialog("Harddisk Clipboard Properties", 0, 0, 206, 126, kClipboardHeaderItems);
const DIALOGTEMPLATE kAbout = dialog("About Sonrel2003", 40, 30, 180, 76, kAboutItems);

void add(HINSTANCE inst, const char* name, const DIALOGTEMPLATE& t) {
    PlatformAddData(inst, RT_DIALOG_NAME, name, &t, sizeof t);
}

}  // namespace

void RegisterParamDialogTemplates(HINSTANCE inst) {
    add(inst, "VOLUME", kVolume);
    add(inst, "FADEIN", kFadeIn);
    add(inst, "FADEOUT", kFadeOut);
    add(inst, "VELOCITY", kVelocity);
    add(inst, "LOWPASS", kLowPass);
    add(inst, "SILENCE", kSilence);
    add(inst, "ZOOMBY", kZoomBy);
    add(inst, "HEADER", kHeader);
    add(inst, "CLIPBOARDHEADER", kClipboardHeader);
    add(inst, "ABOUT", kAbout);
}
