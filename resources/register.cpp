#include "register.h"

#include "artwork.h"
#include "dialogs_devices.h"
#include "dialogs_files.h"
#include "dialogs_start.h"
#include "menus.h"
#include "string_table.h"

void RegisterProgramResources(HINSTANCE inst) {
    RegisterStringTable(inst);
    RegisterMenus(inst);
    RegisterFileDialogTemplates(inst);
    RegisterStartDialogTemplates(inst);
    RegisterDeviceDialogTemplates(inst);
    RegisterArtwork(inst);
}
