#include "dialogs_start.h"

namespace {

// The splash: a borderless pop-up showing bitmap 218 with the product's line
// beneath it.
const DIALOGITEM kSplashItems[] = {
    {"STATIC", "#218", -1, 0, 0, 267, 123, SS_BITMAP, 0},
    {"STATIC", "Sonrel 2003  -  sound editing for 8- and 16-bit wave files", -1, 0, 128, 267, 10,
     SS_CENTER | SS_NOPREFIX, 0},
};
const DIALOGTEMPLATE kSplash{nullptr,
                             WS_POPUP | WS_VISIBLE | DS_3DLOOK,
                             WS_EX_TOPMOST,
                             0,
                             0,
                             267,
                             148,
                             "MS Sans Serif",
                             8,
                             kSplashItems,
                             sizeof kSplashItems / sizeof kSplashItems[0]};

// The tips dialog: the picture and the tip are painted by the dialog itself
// on the left; the buttons stand on the right and at the bottom.
const DIALOGITEM kAssistantItems[] = {
    {"BUTTON", "&New document", ASSISTANT_NEW, 206, 8, 108, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&Open existing document...", ASSISTANT_OPEN, 206, 26, 108, 14,
     BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&Welcome to Sonrel2003", ASSISTANT_WELCOME, 206, 44, 108, 14,
     BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&Exit Sonrel2003", ASSISTANT_EXIT, 206, 62, 108, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "Don't display this dialog box again", ASSISTANT_DONTSHOW, 6, 120, 160, 10,
     BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {"BUTTON", "<<    &Display next tip", ASSISTANT_NEXTTIP, 6, 140, 90, 14,
     BS_PUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "&Close", IDOK, 206, 140, 108, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
};
const DIALOGTEMPLATE kAssistant{"Welcome to Sonrel2003",
                                DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                WS_EX_TOPMOST,
                                0,
                                0,
                                320,
                                166,
                                "MS Sans Serif",
                                8,
                                kAssistantItems,
                                sizeof kAssistantItems / sizeof kAssistantItems[0]};

}  // namespace

void RegisterStartDialogTemplates(HINSTANCE inst) {
    PlatformAddData(inst, RT_DIALOG_NAME, "START", &kSplash, sizeof kSplash);
    PlatformAddData(inst, RT_DIALOG_NAME, "STARTASSISTANT", &kAssistant, sizeof kAssistant);
}
