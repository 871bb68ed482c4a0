#include "menus_threads.h"

#include <sonrel/ids.h>

namespace {

// One popup holding the file commands, the thread manager's own toggle and
// the playback pause and stop.
const PlatformMenuItem kListMenu[] = {
    {MF_POPUP | MF_END, 0, "List"},   {MF_POPUP, 0, "&File"},
    {0, IDM_NEW, "&New\tCtrl + N"},   {0, IDM_OPEN, "&Open...\tCtrl + O"},
    {0, IDM_SAVE, "&Save\tCtrl + S"}, {MF_END, IDM_SAVEAS, "Save &as..."},
    {MF_SEPARATOR, 0, nullptr},       {0, IDM_THREADMANAGER, "&Hide ThreadManager"},
    {0, IDM_PAUSE, "P&ause Thread"},  {MF_END, IDM_STOP, "&Stop Thread"},
};

}  // namespace

void RegisterThreadMenu(HINSTANCE inst) {
    PlatformAddData(inst, "MENU", "LISTMENU", kListMenu, sizeof(kListMenu));
}
