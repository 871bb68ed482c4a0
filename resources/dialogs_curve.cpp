#include "dialogs_curve.h"

#include <cmath>
#include <vector>

namespace {

constexpr DWORD kModal = DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT;
constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;

template <size_t N>
constexpr DIALOGTEMPLATE dialog(LPCSTR caption, DWORD style, short cx, short cy,
                                const DIALOGITEM (&items)[N]) {
    return DIALOGTEMPLATE{caption, style, 0, 0, 0, cx, cy, "MS Sans Serif", 8, items, UINT(N)};
}

// The drawing area takes the top left 302 x 202 pixels from (9, 9) with its
// frame (about 202 x 125 dialog units); the controls stand at its right and
// below it. No control lies over the area: the layer's controls are opaque
// windows, and the editor draws the area itself.
const DIALOGITEM kVolumeItems[] = {
    {"BUTTON", "OK", IDOK, 216, 6, 66, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 216, 24, 66, 14, kPush, 0},
    {"BUTTON", "&?", 998, 216, 42, 66, 14, kPush, 0},
    {"BUTTON", "Use with...", -1, 216, 62, 66, 38, BS_GROUPBOX, 0},
    {"BUTTON", "Whole file", 10, 221, 74, 59, 10, kRadio | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Marked area", 11, 221, 86, 59, 10, kRadio, 0},
    {"STATIC", "Current value:", -1, 216, 108, 60, 8, SS_LEFT, 0},
    {"STATIC", "100", 115, 216, 120, 30, 8, SS_RIGHT, 0},
    {"STATIC", "%", -1, 248, 120, 10, 8, SS_LEFT, 0},
    {"STATIC", "Pins:", -1, 6, 140, 22, 8, SS_LEFT, 0},
    {"EDIT", "", 113, 30, 138, 34, 12, kEdit | WS_GROUP, 0},
    {"BUTTON", "Reset Pin Positions", 114, 70, 137, 80, 14, kPush, 0},
};

// The channel editor's area starts 20 pixels further right: the pictures, 16 x
// 24 pixels, stand at its left, the right channel at the top and the left at
// the bottom (a rising segment moves the sound from left to right).
const DIALOGITEM kChannelItems[] = {
    {"STATIC", "CSRIGHT", -1, 5, 7, 11, 15, SS_BITMAP, 0},
    {"STATIC", "CSLEFT", -1, 5, 114, 11, 15, SS_BITMAP, 0},
    {"BUTTON", "OK", IDOK, 229, 6, 66, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 229, 24, 66, 14, kPush, 0},
    {"BUTTON", "&?", 998, 229, 42, 66, 14, kPush, 0},
    {"BUTTON", "Use with...", -1, 229, 62, 66, 38, BS_GROUPBOX, 0},
    {"BUTTON", "Whole file", 10, 234, 74, 59, 10, kRadio | WS_TABSTOP | WS_GROUP, 0},
    {"BUTTON", "Marked area", 11, 234, 86, 59, 10, kRadio, 0},
    {"STATIC", "Current value:", -1, 229, 108, 60, 8, SS_LEFT, 0},
    {"STATIC", "100", 115, 229, 120, 30, 8, SS_RIGHT, 0},
    {"STATIC", "%", -1, 261, 120, 10, 8, SS_LEFT, 0},
    {"STATIC", "Pins:", -1, 19, 140, 22, 8, SS_LEFT, 0},
    {"EDIT", "", 113, 43, 138, 34, 12, kEdit | WS_GROUP, 0},
    {"BUTTON", "Reset Pin Positions", 114, 83, 137, 80, 14, kPush, 0},
};

const DIALOGITEM kPercentageItems[] = {
    {"STATIC", "Please wait...", -1, 8, 8, 150, 8, SS_LEFT, 0},
    {PROGRESS_CLASS, "", 101, 8, 22, 150, 10, PBS_SMOOTH, 0},
};

const DIALOGITEM kWaitItems[] = {
    {ANIMATE_CLASS, "", 110, 8, 6, 22, 20, ACS_TRANSPARENT, 0},
    {"STATIC", "Please wait...", -1, 36, 12, 120, 8, SS_LEFT, 0},
};

const DIALOGTEMPLATE kVolume = dialog("CurveSound - Change Volume", kModal, 288, 158, kVolumeItems);
const DIALOGTEMPLATE kChannels =
    dialog("CurveSound - Fade Channels", kModal, 301, 158, kChannelItems);
const DIALOGTEMPLATE kPercentage =
    dialog("Working...", DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_VISIBLE, 166, 40,
           kPercentageItems);

const DIALOGTEMPLATE kWait =
    dialog("Working...", DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_VISIBLE, 166, 32,
           kWaitItems);

// The busy clip "WAIT": eight frames of a ring of dots whose bright dot turns
// once round per eight frames, on the button face.
constexpr int kClipSide = 30, kClipFrames = 8;
constexpr DWORD kFace = 0x00C0C0C0;
const ANIMATECLIP kWaitClip{"WAITFRAMES", kClipFrames, 100};

void add_wait_clip(HINSTANCE inst) {
    static std::vector<DWORD> px(size_t(kClipSide) * kClipSide * kClipFrames, kFace);
    const int stride = kClipSide * kClipFrames;
    for (int f = 0; f < kClipFrames; ++f) {
        for (int dot = 0; dot < kClipFrames; ++dot) {
            double a = dot * 2 * M_PI / kClipFrames;
            int cx = f * kClipSide + kClipSide / 2 + int(std::lround(10 * std::cos(a)));
            int cy = kClipSide / 2 + int(std::lround(10 * std::sin(a)));
            DWORD colour = dot == f ? 0x00000080 : 0x00808080;
            for (int y = cy - 2; y <= cy + 2; ++y)
                for (int x = cx - 2; x <= cx + 2; ++x)
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 5)
                        px[size_t(y) * stride + x] = colour;
        }
    }
    PlatformAddBitmap(inst, "WAITFRAMES", stride, kClipSide, px.data());
    PlatformAddData(inst, RT_ANIMATECLIP, "WAIT", &kWaitClip, sizeof kWaitClip);
}

void add(HINSTANCE inst, const char* name, const DIALOGTEMPLATE& t) {
    PlatformAddData(inst, RT_DIALOG_NAME, name, &t, sizeof t);
}

}  // namespace

void RegisterCurveDialogTemplates(HINSTANCE inst) {
    add(inst, "CSVOLUME", kVolume);
    add(inst, "CSFADECHANNELS", kChannels);
    add(inst, "PERCENTAGE", kPercentage);
    add(inst, "WAIT", kWait);
    add_wait_clip(inst);
}
