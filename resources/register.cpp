#include "register.h"

#include "dialogs_files.h"
#include "menus.h"
#include "strings.h"

void RegisterProgramResources(HINSTANCE inst) {
    RegisterStringTable(inst);
    RegisterMenus(inst);
    RegisterFileDialogTemplates(inst);
}
