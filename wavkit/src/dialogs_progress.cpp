// The progress window "PERCENTAGE": modeless, driven by the work it shows.
// Its bar is held in one library-wide slot: a second window takes it over.
#include <sonrel/dialogs.h>
#include <sonrel/messages.h>

#include "dialogs_private.h"
#include "entry.h"
#include "filedialogs.h"

namespace {

constexpr int kBar = 101;
constexpr int kPercentMax = 100;

HWND g_bar = nullptr;  // the bar the messages drive; user-interface thread only

INT_PTR handle(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            filedlg::centre_over_parent(dlg, dlgs::kRaiseZoom);
            g_bar = GetDlgItem(dlg, kBar);
            SendMessage(g_bar, PBM_SETRANGE, 0, MAKELPARAM(0, kPercentMax));
            SendMessage(g_bar, PBM_SETSTEP, 1, 0);
            return TRUE;
        case UM_PROGRESSRANGE:
            SendMessage(g_bar, PBM_SETRANGE, 0, MAKELPARAM(LOWORD(wp), LOWORD(lp)));
            return TRUE;
        case UM_PROGRESSPOS:
            SendMessage(g_bar, PBM_SETPOS, wp, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) return FALSE;
            DestroyWindow(dlg);
            return TRUE;
        case WM_DESTROY:
            if (g_bar && GetParent(g_bar) == dlg) g_bar = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK percentage_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(FALSE, [&] { return handle(dlg, msg, wp, lp); });
}

}  // namespace

WAVKIT_API HWND ShowPercentage(HWND owner) {
    return entry::guarded(static_cast<HWND>(nullptr), [&] {
        auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(owner, GWLP_HINSTANCE));
        return CreateDialogParam(inst, "PERCENTAGE", owner, percentage_proc, 0);
    });
}
