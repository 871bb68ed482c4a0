#include "register.h"

#include "artwork.h"
#include "artwork_bars.h"
#include "artwork_cd.h"
#include "artwork_curve.h"
#include "artwork_preview.h"
#include "artwork_status.h"
#include "artwork_threads.h"
#include "dialogs_curve.h"
#include "dialogs_devices.h"
#include "dialogs_files.h"
#include "dialogs_loader.h"
#include "dialogs_options.h"
#include "dialogs_params.h"
#include "dialogs_posbar.h"
#include "dialogs_record.h"
#include "dialogs_start.h"
#include "menus.h"
#include "menus_preview.h"
#include "menus_threads.h"
#include "string_table.h"

void RegisterProgramResources(HINSTANCE inst) {
    RegisterStringTable(inst);
    RegisterMenus(inst);
    RegisterFileDialogTemplates(inst);
    RegisterParamDialogTemplates(inst);
    RegisterStartDialogTemplates(inst);
    RegisterDeviceDialogTemplates(inst);
    RegisterOptionsDialogTemplates(inst);
    RegisterRecordDialogTemplates(inst);
    RegisterLoaderDialogTemplates(inst);
    RegisterArtwork(inst);
    RegisterPreviewArtwork(inst);
    RegisterPreviewMenu(inst);
    RegisterThreadArtwork(inst);
    RegisterThreadMenu(inst);
    RegisterCurveDialogTemplates(inst);
    RegisterCurveArtwork(inst);
    RegisterPosBarDialogTemplate(inst);
    RegisterStatusArtwork(inst);
    RegisterBarArtwork(inst);
    RegisterCdArtwork(inst);
}
