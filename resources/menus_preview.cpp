#include "menus_preview.h"

#include <sonrel/ids.h>

namespace {

#define ITEM(text, id) \
    { 0, id, text }
#define LAST(text, id) \
    { MF_END, id, text }
#define SEP \
    { MF_SEPARATOR, 0, nullptr }
#define POPUP(text) \
    { MF_POPUP, 0, text }

const PlatformMenuItem kPreviewMenu[] = {
    {MF_POPUP | MF_END, 0, "Preview"},
    POPUP("&File"),
    ITEM("&New\tCtrl + N", IDM_NEW),
    ITEM("&Open...\tCtrl + O", IDM_OPEN),
    SEP,
    ITEM("&Save\tCtrl + S", IDM_SAVE),
    LAST("Save &as...", IDM_SAVEAS),
    POPUP("&Edit"),
    ITEM("C&ut\tCtrl + X", IDM_CUT),
    ITEM("&Copy\tCtrl + C", IDM_COPY),
    ITEM("&Paste\tCtrl + V", IDM_PASTE),
    ITEM("&Mix", IDM_MIX),
    SEP,
    ITEM("&Delete\tDel", IDM_DELETE),
    LAST("C&rop\tShift + Del", IDM_CROP),
    POPUP("&Mark"),
    ITEM("Mark &all\tCtrl + A", IDM_MARKALL),
    LAST("&Destroy Mark\tCtrl + M", IDM_DESTROYMARK),
    SEP,
    ITEM("&Play\tCtrl + P", IDM_PLAY),
    ITEM("P&ause", IDM_PAUSE),
    ITEM("S&top\tCtrl + T", IDM_STOP),
    SEP,
    ITEM("&Settings...", IDM_SETTINGS),
    SEP,
    LAST("&Rebuild Preview\tCtrl + R", IDM_REBUILDPREVIEW),
};

#undef ITEM
#undef LAST
#undef SEP
#undef POPUP

}  // namespace

void RegisterPreviewMenu(HINSTANCE inst) {
    PlatformAddData(inst, "MENU", "PREVIEWMENU", kPreviewMenu, sizeof(kPreviewMenu));
}
