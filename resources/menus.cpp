#include "menus.h"

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
#define LASTPOPUP(text) \
    { MF_POPUP | MF_END, 0, text }

const PlatformMenuItem kStartMenu[] = {
    POPUP("&File"),
    ITEM("&New\tCtrl + N", IDM_NEW),
    ITEM("&Open...\tCtrl + O", IDM_OPEN),
    ITEM("RevaZUD &Loader...", IDM_LOADER),
    SEP,
    LAST("E&xit\tAlt+F4", IDM_EXIT),
    POPUP("&Special"),
    LAST("&Options...", IDM_OPTIONS),
    {MF_POPUP | MF_RIGHTJUSTIFY | MF_END, 0, "&Help"},
    ITEM("&Display Tips && Tricks...", IDM_TIPS),
    SEP,
    ITEM("Sonrel2003 H&omepage...", IDM_HOMEPAGE),
    SEP,
    ITEM("&Select Output Device..", IDM_OUTPUTDEVICE),
    ITEM("Sound D&rivers...", IDM_SOUNDDRIVERS),
    LAST("&About Sonrel2003...", IDM_ABOUT),
};

const PlatformMenuItem kDocumentMenu[] = {
    POPUP("&File"),
    ITEM("&New\tCtrl + N", IDM_NEW),
    ITEM("&Open...\tCtrl + O", IDM_OPEN),
    ITEM("RevaZUD &Loader...", IDM_LOADER),
    ITEM("&Close", IDM_CLOSE),
    SEP,
    ITEM("&Settings...", IDM_SETTINGS),
    SEP,
    ITEM("&Save\tCtrl + S", IDM_SAVE),
    ITEM("Save &as...", IDM_SAVEAS),
    ITEM("&Revert", IDM_REVERT),
    SEP,
    LAST("E&xit\tAlt+F4", IDM_EXIT),
    POPUP("&Edit"),
    {MF_GRAYED, IDM_UNDO, "&Undo not possible\tCtrl + Z"},
    SEP,
    ITEM("C&ut\tCtrl + X", IDM_CUT),
    ITEM("&Copy\tCtrl + C", IDM_COPY),
    ITEM("&Paste\tCtrl + V", IDM_PASTE),
    ITEM("&Mix", IDM_MIX),
    SEP,
    ITEM("C&rop\tShift + Del", IDM_CROP),
    ITEM("&Delete\tDel", IDM_DELETE),
    SEP,
    LAST("&Options...", IDM_OPTIONS),
    POPUP("&Mark"),
    ITEM("&Destroy Mark\tCtrl + M", IDM_DESTROYMARK),
    ITEM("Mark &all\tCtrl + A", IDM_MARKALL),
    SEP,
    ITEM("&Record...", IDM_RECORD),
    ITEM("&Play\tCtrl + P", IDM_PLAY),
    ITEM("P&ause", IDM_PAUSE),
    LAST("&Stop\tCtrl + T", IDM_STOP),
    POPUP("F&ilters"),
    ITEM("&Convert...", IDM_CONVERT),
    ITEM("&Reverse", IDM_REVERSE),
    ITEM("Insert &Silence...", IDM_INSERTSILENCE),
    ITEM("&Zeroize", IDM_ZEROIZE),
    SEP,
    ITEM("&Set Maximum Volume", IDM_MAXVOLUME),
    ITEM("&Volume...", IDM_VOLUME),
    ITEM("CurveSound Volu&me...", IDM_CSVOLUME),
    SEP,
    ITEM("Fade &In...", IDM_FADEIN),
    ITEM("Fade &Out...", IDM_FADEOUT),
    ITEM("Fade &left to right channel", IDM_FADELEFTTORIGHT),
    ITEM("Fade r&ight to left channel", IDM_FADERIGHTTOLEFT),
    ITEM("CurveSound Fade C&hannels...", IDM_CSFADECHANNELS),
    SEP,
    ITEM("Change vel&ocity...", IDM_VELOCITY),
    LAST("Sof&ten...", IDM_SOFTEN),
    POPUP("&Window"),
    ITEM("C&ascade\tShift + F4", IDM_CASCADE),
    ITEM("&Tile\tShift + F5", IDM_TILE),
    ITEM("&Arrange Symbols", IDM_ARRANGE),
    ITEM("&Close all", IDM_CLOSEALL),
    SEP,
    LAST("&Restore", IDM_RESTORE),
    {MF_POPUP | MF_RIGHTJUSTIFY | MF_END, 0, "&Help"},
    ITEM("&Display Tips && Tricks...", IDM_TIPS),
    SEP,
    ITEM("Sonrel2003 H&omepage...", IDM_HOMEPAGE),
    SEP,
    ITEM("&Select Output Device...", IDM_OUTPUTDEVICE),
    ITEM("Sound D&rivers...", IDM_SOUNDDRIVERS),
    LAST("&About Sonrel2003...", IDM_ABOUT),
};

const PlatformMenuItem kWaveFileMenu[] = {
    LASTPOPUP("WaveFile"),
    POPUP("&File"),
    ITEM("&New", IDM_NEW),
    ITEM("&Open...", IDM_OPEN),
    ITEM("&Save", IDM_SAVE),
    LAST("Save &as...", IDM_SAVEAS),
    POPUP("&Edit"),
    ITEM("C&ut", IDM_CUT),
    ITEM("&Copy", IDM_COPY),
    ITEM("&Paste", IDM_PASTE),
    ITEM("&Mix", IDM_MIX),
    SEP,
    ITEM("&Delete", IDM_DELETE),
    LAST("C&rop", IDM_CROP),
    SEP,
    ITEM("&Play\tCtrl + P", IDM_PLAY),
    ITEM("P&ause", IDM_PAUSE),
    ITEM("&Stop\tCtrl + T", IDM_STOP),
    SEP,
    LAST("Se&ttings...", IDM_SETTINGS),
};

const PlatformMenuItem kEmptyWaveFileMenu[] = {
    LASTPOPUP("EmptyWaveFile"),
    ITEM("&Record...\tCtrl + R", IDM_RECORD),
    ITEM("&Paste\tCtrl + V", IDM_PASTE),
    SEP,
    ITEM("&New", IDM_NEW),
    ITEM("&Open...\tCtrl + O", IDM_OPEN),
    SEP,
    LAST("Se&ttings...", IDM_SETTINGS),
};

// Context menus of the bars: the first popup is what is shown.
const PlatformMenuItem kBarContextMenu[] = {
    LASTPOPUP("Context"),
    POPUP("&File"),
    ITEM("&New", IDM_NEW),
    ITEM("&Open...", IDM_OPEN),
    SEP,
    LAST("Close Sonrel2003", IDM_EXIT),
    SEP,
    LAST("&Options...", IDM_OPTIONS),
};

const PlatformMenuItem kDesktopMenu[] = {
    LASTPOPUP("Desktop"),
    LAST("&Options...", IDM_OPTIONS),
};

#undef ITEM
#undef LAST
#undef SEP
#undef POPUP
#undef LASTPOPUP

const ACCEL kAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'A', IDM_MARKALL},
    {FVIRTKEY | FCONTROL, 'C', IDM_COPY},
    {FVIRTKEY | FCONTROL, 'M', IDM_DESTROYMARK},
    {FVIRTKEY | FCONTROL, 'N', IDM_NEW},
    {FVIRTKEY | FCONTROL, 'O', IDM_OPEN},
    {FVIRTKEY | FCONTROL, 'P', IDM_PLAY},
    {FVIRTKEY | FCONTROL, 'R', IDM_REBUILDPREVIEW},
    {FVIRTKEY | FCONTROL, 'S', IDM_SAVE},
    {FVIRTKEY | FCONTROL, 'T', IDM_STOP},
    {FVIRTKEY | FCONTROL, 'V', IDM_PASTE},
    {FVIRTKEY | FCONTROL, 'X', IDM_CUT},
    {FVIRTKEY | FCONTROL, 'Z', IDM_UNDO},
    {FVIRTKEY | FCONTROL, VK_INSERT, IDM_COPY},
    {FVIRTKEY | FSHIFT, VK_INSERT, IDM_PASTE},
    {FVIRTKEY | FCONTROL | FSHIFT, VK_INSERT, IDM_MIX},
    {FVIRTKEY, VK_DELETE, IDM_DELETE},
    {FVIRTKEY | FSHIFT, VK_DELETE, IDM_CROP},
    {FVIRTKEY | FSHIFT, VK_F1, IDM_CONTEXTHELP},
    {FVIRTKEY | FSHIFT, VK_F4, IDM_CASCADE},
    {FVIRTKEY | FSHIFT, VK_F5, IDM_TILE},
    {FVIRTKEY | FCONTROL, VK_ADD, IDM_VOLUMEUP},
    {FVIRTKEY | FCONTROL, VK_SUBTRACT, IDM_VOLUMEDOWN},
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
