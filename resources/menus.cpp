#include "menus.h"

namespace {

#define ITEM(text, id) {0, id, text}
#define LAST(text, id) {MF_END, id, text}
#define SEP {MF_SEPARATOR, 0, nullptr}
#define POPUP(text) {MF_POPUP, 0, text}
#define LASTPOPUP(text) {MF_POPUP | MF_END, 0, text}

const PlatformMenuItem kStartMenu[] = {
    POPUP("&File"),
    ITEM("&New\tCtrl + N", 101),
    ITEM("&Open...\tCtrl + O", 102),
    ITEM("RevaZUD &Loader...", 239),
    SEP,
    LAST("E&xit\tAlt+F4", 999),
    POPUP("&Special"),
    LAST("&Options...", 201),
    {MF_POPUP | MF_RIGHTJUSTIFY | MF_END, 0, "&Help"},
    ITEM("&Display Tips && Tricks...", 40010),
    SEP,
    ITEM("Sonrel2003 H&omepage...", 40011),
    SEP,
    ITEM("&Select Output Device..", 908),
    LAST("&About Sonrel2003...", 909),
};

const PlatformMenuItem kDocumentMenu[] = {
    POPUP("&File"),
    ITEM("&New\tCtrl + N", 101),
    ITEM("&Open...\tCtrl + O", 102),
    ITEM("RevaZUD &Loader...", 239),
    ITEM("&Close", 105),
    SEP,
    ITEM("&Settings...", 510),
    SEP,
    ITEM("&Save\tCtrl + S", 103),
    ITEM("Save &as...", 104),
    ITEM("&Revert", 238),
    SEP,
    LAST("E&xit\tAlt+F4", 999),
    POPUP("&Edit"),
    {MF_GRAYED, 229, "&Undo not possible\tCtrl + Z"},
    SEP,
    ITEM("C&ut\tCtrl + X", 301),
    ITEM("&Copy\tCtrl + C", 302),
    ITEM("&Paste\tCtrl + V", 303),
    ITEM("&Mix", 304),
    SEP,
    ITEM("C&rop\tShift + Del", 306),
    ITEM("&Delete\tDel", 305),
    SEP,
    LAST("&Options...", 201),
    POPUP("&Mark"),
    ITEM("&Destroy Mark\tCtrl + M", 221),
    ITEM("Mark &all\tCtrl + A", 225),
    SEP,
    ITEM("&Record...", 505),
    ITEM("&Play\tCtrl + P", 501),
    ITEM("P&ause", 503),
    LAST("&Stop\tCtrl + T", 502),
    POPUP("F&ilters"),
    ITEM("&Convert...", 320),
    ITEM("&Reverse", 222),
    ITEM("Insert &Silence...", 226),
    ITEM("&Zeroize", 236),
    SEP,
    ITEM("&Set Maximum Volume", 232),
    ITEM("&Volume...", 203),
    ITEM("CurveSound Volu&me...", 231),
    SEP,
    ITEM("Fade &In...", 205),
    ITEM("Fade &Out...", 206),
    ITEM("Fade &left to right channel", 228),
    ITEM("Fade r&ight to left channel", 234),
    SEP,
    ITEM("Change vel&ocity...", 207),
    LAST("Sof&ten...", 227),
    POPUP("&Window"),
    ITEM("C&ascade\tShift + F4", 701),
    ITEM("&Tile\tShift + F5", 702),
    ITEM("&Arrange Symbols", 703),
    ITEM("&Close all", 705),
    SEP,
    LAST("&Restore", 704),
    {MF_POPUP | MF_RIGHTJUSTIFY | MF_END, 0, "&Help"},
    ITEM("&Display Tips && Tricks...", 40010),
    SEP,
    ITEM("Sonrel2003 H&omepage...", 40011),
    SEP,
    ITEM("&Select Output Device...", 908),
    LAST("&About Sonrel2003...", 909),
};

const PlatformMenuItem kWaveFileMenu[] = {
    LASTPOPUP("WaveFile"),
    POPUP("&File"),
    ITEM("&New", 101),
    ITEM("&Open...", 102),
    ITEM("&Save", 103),
    LAST("Save &as...", 104),
    POPUP("&Edit"),
    ITEM("C&ut", 301),
    ITEM("&Copy", 302),
    ITEM("&Paste", 303),
    ITEM("&Mix", 304),
    SEP,
    ITEM("&Delete", 305),
    LAST("C&rop", 306),
    SEP,
    ITEM("&Play\tCtrl + P", 501),
    ITEM("P&ause", 503),
    ITEM("&Stop\tCtrl + T", 502),
    SEP,
    LAST("Se&ttings...", 510),
};

const PlatformMenuItem kEmptyWaveFileMenu[] = {
    LASTPOPUP("EmptyWaveFile"),
    ITEM("&Record...\tCtrl + R", 505),
    ITEM("&Paste\tCtrl + V", 303),
    SEP,
    ITEM("&New", 101),
    ITEM("&Open...\tCtrl + O", 102),
    SEP,
    LAST("Se&ttings...", 510),
};

// Context menus of the bars: the first popup is what is shown.
const PlatformMenuItem kBarContextMenu[] = {
    LASTPOPUP("Context"),
    POPUP("&File"),
    ITEM("&New", 101),
    ITEM("&Open...", 102),
    SEP,
    LAST("Close Sonrel2003", 999),
    SEP,
    LAST("&Options...", 201),
};

const PlatformMenuItem kDesktopMenu[] = {
    LASTPOPUP("Desktop"),
    LAST("&Options...", 201),
};

#undef ITEM
#undef LAST
#undef SEP
#undef POPUP
#undef LASTPOPUP

const ACCEL kAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'A', 225},
    {FVIRTKEY | FCONTROL, 'C', 302},
    {FVIRTKEY | FCONTROL, 'M', 221},
    {FVIRTKEY | FCONTROL, 'N', 101},
    {FVIRTKEY | FCONTROL, 'O', 102},
    {FVIRTKEY | FCONTROL, 'P', 501},
    {FVIRTKEY | FCONTROL, 'R', 742},
    {FVIRTKEY | FCONTROL, 'S', 103},
    {FVIRTKEY | FCONTROL, 'T', 502},
    {FVIRTKEY | FCONTROL, 'V', 303},
    {FVIRTKEY | FCONTROL, 'X', 301},
    {FVIRTKEY | FCONTROL, VK_INSERT, 302},
    {FVIRTKEY | FSHIFT, VK_INSERT, 303},
    {FVIRTKEY | FCONTROL | FSHIFT, VK_INSERT, 304},
    {FVIRTKEY, VK_DELETE, 305},
    {FVIRTKEY | FSHIFT, VK_DELETE, 306},
    {FVIRTKEY | FSHIFT, VK_F1, 901},
    {FVIRTKEY | FSHIFT, VK_F4, 701},
    {FVIRTKEY | FSHIFT, VK_F5, 702},
    {FVIRTKEY | FCONTROL, VK_ADD, 707},
    {FVIRTKEY | FCONTROL, VK_SUBTRACT, 708},
};

template <size_t N>
void add_menu(HINSTANCE inst, const char* name, const PlatformMenuItem (&items)[N]) {
    PlatformAddData(inst, "MENU", name, items, sizeof(items));
}

}  // namespace

void RegisterMenus(HINSTANCE inst) {
    add_menu(inst, "STARTMENU", kStartMenu);
    add_menu(inst, "MENU_1", kDocumentMenu);
    add_menu(inst, "WAVEFILEMENU", kWaveFileMenu);
    add_menu(inst, "EMPTYWAVEFILEMENU", kEmptyWaveFileMenu);
    add_menu(inst, "ROLLDOWNCONTEXTMENU", kBarContextMenu);
    add_menu(inst, "FUNCBARCONTEXTMENU", kBarContextMenu);
    add_menu(inst, "VDESKTOP", kDesktopMenu);
    PlatformAddData(inst, "ACCELERATORS", "ACCS", kAccelerators, sizeof(kAccelerators));
}
