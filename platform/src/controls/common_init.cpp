// Registration of the common control classes and the calls that ask for them.
// The classes exist from the moment the layer is loaded, so the calls only
// confirm it.
#include "controls/common_controls.h"
#include "controls/controls_private.h"
#include "dialogs/dialogs_private.h"

namespace plat::dlg {

namespace {

void register_one(const char* name, WNDPROC proc, UINT style) {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    RegisterClassEx(&wc);
}

}  // namespace

void register_common_control_classes() {
    register_one(TOOLBARCLASSNAME, toolbar_proc, CS_DBLCLKS);
    register_one(REBARCLASSNAME, rebar_proc, 0);
    register_one(TOOLTIPS_CLASS, tooltip_proc, 0);
    register_one(ANIMATE_CLASS, animate_proc, 0);
    register_one(WC_TABCONTROL, tab_proc, 0);
}

}  // namespace plat::dlg

void InitCommonControls(void) {
    plat::dlg::register_classes();
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
    if (!icc || icc->dwSize < sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    plat::dlg::register_classes();
    return TRUE;
}
