// The whole platform layer: include this from the system's code.
#pragma once

#include <platform/acm.h>
#include <platform/animate.h>
#include <platform/bars.h>
#include <platform/commctrl.h>
#include <platform/consts.h>
#include <platform/dialog.h>
#include <platform/gdi.h>
#include <platform/imagelist.h>
#include <platform/library.h>
#include <platform/listview.h>
#include <platform/mci.h>
#include <platform/memory.h>
#include <platform/menu.h>
#include <platform/mmio.h>
#include <platform/msgbox.h>
#include <platform/propsheet.h>
#include <platform/resource.h>
#include <platform/shell.h>
#include <platform/sys.h>
#include <platform/thread.h>
#include <platform/types.h>
#include <platform/wave.h>
#include <platform/wavein.h>
#include <platform/window.h>
