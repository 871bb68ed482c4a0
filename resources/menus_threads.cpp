#include "menus_threads.h"

namespace {

// One popup holding the file commands, the thread manager's own toggle and
// the playback pause and stop.
const PlatformMenuItem kListMenu[] = {
    {MF_POPUP | MF_END, 0, "List"}, {MF_POPUP, 0, "&File"},          {0, 101, "&New\tCtrl + N"},
    {0, 102, "&Open...\tCtrl + O"}, {0, 103, "&Save\tCtrl + S"},     {MF_END, 104, "Save &as..."},
    {MF_SEPARATOR, 0, nullptr},     {0, 754, "&Hide ThreadManager"}, {0, 503, "P&ause Thread"},
    {MF_END, 502, "&Stop Thread"},
};

}  // namespace

void RegisterThreadMenu(HINSTANCE inst) {
    PlatformAddData(inst, "MENU", "LISTMENU", kListMenu, sizeof(kListMenu));
}
