#include "dialogs_posbar.h"

#include <sonrel/posbar.h>

namespace {

constexpr DWORD kField = WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_CENTER;
constexpr DWORD kSpin = UDS_SETBUDDYINT | UDS_ARROWKEYS;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
// The units between the fields fill the row, so the fields read as one box.
constexpr DWORD kUnit = SS_CENTER | SS_CENTERIMAGE;

// Labels sit 2 units lower than the fields so their text lines up.
const DIALOGITEM kItems[] = {
    {"STATIC", "Start:", IDC_POSBAR_STARTLABEL, 0, 3, 24, 8, SS_LEFT, 0},
    {"EDIT", "00", IDC_POSBAR_STARTMIN, 24, 1, 14, 12, kField, 0},
    {"STATIC", "m", IDC_POSBAR_STARTUNIT_M, 38, 1, 7, 12, kUnit, 0},
    {"EDIT", "00", IDC_POSBAR_STARTSEC, 45, 1, 14, 12, kField, 0},
    {"STATIC", ".", IDC_POSBAR_STARTUNIT_DOT, 59, 1, 4, 12, kUnit, 0},
    {"EDIT", "000", IDC_POSBAR_STARTMS, 63, 1, 18, 12, kField, 0},
    {"STATIC", "s", IDC_POSBAR_STARTUNIT_S, 81, 1, 6, 12, kUnit, 0},
    {UPDOWN_CLASS, "", IDC_POSBAR_STARTSPIN, 87, 1, 8, 12, kSpin, 0},
    {"STATIC", "Length:", IDC_POSBAR_LENGTHLABEL, 99, 3, 29, 8, SS_LEFT, 0},
    {"EDIT", "00", IDC_POSBAR_LENGTHMIN, 128, 1, 14, 12, kField, 0},
    {"STATIC", "m", IDC_POSBAR_LENGTHUNIT_M, 142, 1, 7, 12, kUnit, 0},
    {"EDIT", "00", IDC_POSBAR_LENGTHSEC, 149, 1, 14, 12, kField, 0},
    {"STATIC", ".", IDC_POSBAR_LENGTHUNIT_DOT, 163, 1, 4, 12, kUnit, 0},
    {"EDIT", "000", IDC_POSBAR_LENGTHMS, 167, 1, 18, 12, kField, 0},
    {"STATIC", "s", IDC_POSBAR_LENGTHUNIT_S, 185, 1, 6, 12, kUnit, 0},
    {UPDOWN_CLASS, "", IDC_POSBAR_LENGTHSPIN, 191, 1, 8, 12, kSpin, 0},
    {"STATIC", "Position:", IDC_POSBAR_POSITIONLABEL, 203, 3, 36, 8, SS_LEFT, 0},
    {"EDIT", "", IDC_POSBAR_POSITION, 239, 1, 58, 12, WS_BORDER | ES_READONLY | ES_CENTER, 0},
    {"BUTTON", "Update mark", IDC_POSBAR_UPDATEMARK, 301, 1, 51, 12, kButton, 0},
    {"BUTTON", "Mark all", IDC_POSBAR_MARKALL, 355, 1, 36, 12, kButton, 0},
    {"BUTTON", "Destroy mark", IDC_POSBAR_DESTROYMARK, 394, 1, 55, 12, kButton, 0},
};

// A child panel 449 x 13 units, placed by the bar.
constexpr DWORD kPanel = DS_CONTROL | DS_3DLOOK | WS_CHILD;
constexpr UINT kItemCount = UINT(sizeof kItems / sizeof kItems[0]);
const DIALOGTEMPLATE kPosBar{nullptr, kPanel,          0, 0,      0,         449,
                             13,      "MS Sans Serif", 8, kItems, kItemCount};

}  // namespace

void RegisterPosBarDialogTemplate(HINSTANCE inst) {
    PlatformAddData(inst, RT_DIALOG_NAME, POSBAR_TEMPLATE, &kPosBar, sizeof kPosBar);
}
