#include "dialogs_record.h"

#include <cmath>
#include <vector>

namespace {

constexpr DWORD kModal = DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kShown = WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
constexpr DWORD kNumber = kShown | ES_RIGHT;

template <size_t N>
constexpr DIALOGTEMPLATE dialog(LPCSTR caption, short cx, short cy, const DIALOGITEM (&items)[N]) {
    return DIALOGTEMPLATE{caption, kModal, 0, 0, 0, cx, cy, "MS Sans Serif", 8, items, UINT(N)};
}

// Level bars 201 (left) and 202 (right), 0..127; the document's format in 102,
// the hint 301 that the peak warning replaces; the buttons at the right.
#define LEVEL_ITEMS                                                                        \
    {"BUTTON", "Input Level", -1, 6, 4, 200, 62, BS_GROUPBOX, 0},                          \
        {"STATIC", "Left", -1, 14, 18, 24, 8, SS_LEFT, 0},                                 \
        {PROGRESS_CLASS, "", 201, 40, 17, 158, 10, PBS_SMOOTH, 0},                         \
        {"STATIC", "Right", -1, 14, 34, 24, 8, SS_LEFT, 0},                                \
        {PROGRESS_CLASS, "", 202, 40, 33, 158, 10, PBS_SMOOTH, 0},                         \
        {"STATIC", "", 102, 14, 50, 184, 8, SS_LEFT, 0},                                   \
        {"STATIC", "Set the input level with the mixer, then start the recording.",        \
         301,      6,                                                                      \
         72,       200,                                                                    \
         20,       SS_LEFT,                                                                \
         0},                                                                               \
        {"BUTTON", "&Start Recording...",                                                  \
         IDOK,     212,                                                                    \
         6,        80,                                                                     \
         14,       BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,                               \
         0},                                                                               \
        {"BUTTON", "&Cancel", IDCANCEL, 212, 24, 80, 14, BS_PUSHBUTTON | WS_TABSTOP, 0}, { \
        "BUTTON", "Windows &Mixer...", 101, 212, 52, 80, 14, BS_PUSHBUTTON | WS_TABSTOP, 0 \
    }

const DIALOGITEM kLevelItems[] = {LEVEL_ITEMS};
const DIALOGITEM kLevelCdItems[] = {
    LEVEL_ITEMS,
    {"STATIC", "CD start:", -1, 6, 98, 40, 8, SS_LEFT, 0},
    {"STATIC", "", 103, 48, 98, 158, 8, SS_LEFT, 0},
};

// Animation 101, the format 201, the document 102, the length 302, the
// kilobytes 301, the free megabytes 303, Pause 555 and Stop Recording (2).
#define RECORD_ITEMS                                                                               \
    {ANIMATE_CLASS, "", 101, 8, 8, 32, 24, ACS_CENTER | ACS_TRANSPARENT, 0},                       \
        {"STATIC", "Format:", -1, 52, 8, 72, 8, SS_LEFT, 0},                                       \
        {"STATIC", "", 201, 126, 8, 124, 8, SS_LEFT, 0},                                           \
        {"STATIC", "Document:", -1, 52, 22, 72, 8, SS_LEFT, 0},                                    \
        {"EDIT", "", 102, 126, 20, 124, 12, kShown, 0},                                            \
        {"STATIC", "Length (min:sec):", -1, 52, 38, 72, 8, SS_LEFT, 0},                            \
        {"EDIT", "00:00", 302, 126, 36, 50, 12, kNumber, 0},                                       \
        {"STATIC", "Recorded (KB):", -1, 52, 54, 72, 8, SS_LEFT, 0},                               \
        {"EDIT", "", 301, 126, 52, 50, 12, kNumber, 0},                                            \
        {"STATIC", "Free space (MB):", -1, 52, 70, 72, 8, SS_LEFT, 0},                             \
        {"EDIT", "", 303, 126, 68, 50, 12, kNumber, 0},                                            \
        {"BUTTON", "Pause", 555, 8, 104, 60, 14, BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP, 0}, { \
        "BUTTON", "Stop Recording", IDCANCEL, 180, 104, 70, 14,                                    \
            BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0                                            \
    }

const DIALOGITEM kRecordItems[] = {RECORD_ITEMS};
const DIALOGITEM kRecordCdItems[] = {
    RECORD_ITEMS,
    {"STATIC", "CD start:", -1, 52, 86, 72, 8, SS_LEFT, 0},
    {"STATIC", "", 202, 126, 86, 124, 8, SS_LEFT, 0},
};

#undef LEVEL_ITEMS
#undef RECORD_ITEMS

const DIALOGTEMPLATE kLevel = dialog("Recording Level", 298, 96, kLevelItems);
const DIALOGTEMPLATE kLevelCd = dialog("Recording Level", 298, 112, kLevelCdItems);
const DIALOGTEMPLATE kRecord = dialog("Recording...", 258, 124, kRecordItems);
const DIALOGTEMPLATE kRecordCd = dialog("Recording...", 258, 124, kRecordCdItems);

constexpr int kFrames = 8, kSize = 32;
const ANIMATECLIP kRecordClip{"RECORDFRAMES", kFrames, 125};

// A red dot that swells and fades over the clip; the corner pixel is the background.
void record_frames(HINSTANCE inst) {
    const int width = kFrames * kSize;
    std::vector<DWORD> px(size_t(width) * kSize, 0x00C0C0C0);
    for (int f = 0; f < kFrames; ++f) {
        double phase = 0.5 + 0.5 * std::cos(f * 2 * M_PI / kFrames);
        double radius = 7 + 5 * phase;
        auto red = DWORD(140 + 115 * phase);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                double dx = x - 15.5, dy = y - 15.5;
                if (dx * dx + dy * dy <= radius * radius)
                    px[size_t(y) * width + size_t(f * kSize + x)] = red << 16;
            }
    }
    PlatformAddBitmap(inst, kRecordClip.strip, width, kSize, px.data());
}

void add(HINSTANCE inst, const char* name, const DIALOGTEMPLATE& t) {
    PlatformAddData(inst, RT_DIALOG_NAME, name, &t, sizeof t);
}

}  // namespace

void RegisterRecordDialogTemplates(HINSTANCE inst) {
    add(inst, "BEFORERECORD", kLevel);
    add(inst, "BEFORERECORDCD", kLevelCd);
    add(inst, "RECORDTOFILE", kRecord);
    add(inst, "RECORDTOFILECD", kRecordCd);
    record_frames(inst);
    PlatformAddData(inst, RT_ANIMATECLIP, "RECORD", &kRecordClip, sizeof kRecordClip);
}
