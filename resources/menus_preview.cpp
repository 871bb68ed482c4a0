#include "menus_preview.h"

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
    ITEM("&New\tCtrl + N", 101),
    ITEM("&Open...\tCtrl + O", 102),
    SEP,
    ITEM("&Save\tCtrl + S", 103),
    LAST("Save &as...", 104),
    POPUP("&Edit"),
    ITEM("C&ut\tCtrl + X", 301),
    ITEM("&Copy\tCtrl + C", 302),
    ITEM("&Paste\tCtrl + V", 303),
    ITEM("&Mix", 304),
    SEP,
    ITEM("&Delete\tDel", 305),
    LAST("C&rop\tShift + Del", 306),
    POPUP("&Mark"),
    ITEM("Mark &all\tCtrl + A", 225),
    LAST("&Destroy Mark\tCtrl + M", 221),
    SEP,
    ITEM("&Play\tCtrl + P", 501),
    ITEM("P&ause", 503),
    ITEM("S&top\tCtrl + T", 502),
    SEP,
    ITEM("&Settings...", 510),
    SEP,
    LAST("&Rebuild Preview\tCtrl + R", 742),
};

#undef ITEM
#undef LAST
#undef SEP
#undef POPUP

}  // namespace

void RegisterPreviewMenu(HINSTANCE inst) {
    PlatformAddData(inst, "MENU", "PREVIEWMENU", kPreviewMenu, sizeof(kPreviewMenu));
}
