#include "dialogs_devices.h"

namespace {

// The output devices in a drop-down list 101, "Plug & Play" first.
const DIALOGITEM kSelectWaveOutItems[] = {
    {"STATIC", "Play sound through this device:", -1, 8, 8, 180, 8, SS_LEFT, 0},
    {"COMBOBOX", "", 101, 8, 20, 180, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0},
    {"STATIC", "It is used from the next time you play.", -1, 8, 40, 180, 8, SS_LEFT, 0},
    {"BUTTON", "OK", IDOK, 84, 56, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 138, 56, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const DIALOGTEMPLATE kSelectWaveOut{"Select Output Device",
                                    DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                    0,
                                    0,
                                    0,
                                    196,
                                    76,
                                    "MS Sans Serif",
                                    8,
                                    kSelectWaveOutItems,
                                    sizeof kSelectWaveOutItems / sizeof kSelectWaveOutItems[0]};

}  // namespace

void RegisterDeviceDialogTemplates(HINSTANCE inst) {
    PlatformAddData(inst, RT_DIALOG_NAME, "SELECTWAVEOUT", &kSelectWaveOut, sizeof kSelectWaveOut);
}
