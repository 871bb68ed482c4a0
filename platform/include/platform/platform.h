// The whole platform layer: include this from the system's code.
#pragma once

#include <platform/acm.h>
#include <platform/avi.h>
#include <platform/commctrl.h>
#include <platform/consts.h>
#include <platform/dialog.h>
#include <platform/gdi.h>
#include <platform/listview.h>
#include <platform/memory.h>
#include <platform/menu.h>
#include <platform/mmio.h>
#include <platform/msgbox.h>
#include <platform/process.h>
#include <platform/resource.h>
#include <platform/shell.h>
#include <platform/sys.h>
#include <platform/thread.h>
#include <platform/types.h>
#include <platform/wave.h>
#include <platform/window.h>
