// The modeless windows of long work: the progress window "PERCENTAGE",
// driven by the work it shows (its bar is held in one library-wide slot: a
// second window takes it over), and the busy window "WAIT".
#include <sonrel/dialogs.h>
#include <sonrel/messages.h>

#include "dialogs_private.h"
#include "entry.h"
#include "filedialogs.h"

namespace {

constexpr int kBar = 101;
constexpr int kPercentMax = 100;
constexpr int kAnimation = 110;

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

namespace {

INT_PTR CALLBACK wait_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    return entry::guarded(FALSE, [&]() -> INT_PTR {
        switch (msg) {
            case WM_INITDIALOG: {
                filedlg::centre_over_parent(dlg, dlgs::kRaiseZoom);
                HWND clip = GetDlgItem(dlg, kAnimation);
                SendMessage(clip, ACM_OPEN, 0, reinterpret_cast<LPARAM>("WAIT"));
                SendMessage(clip, ACM_PLAY, WPARAM(-1), MAKELPARAM(0, 0xFFFF));
                return TRUE;
            }
            case WM_COMMAND:
                if (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) return FALSE;
                DestroyWindow(dlg);
                return TRUE;
            case WM_DESTROY:
                SendMessage(GetDlgItem(dlg, kAnimation), ACM_OPEN, 0, 0);
                return FALSE;
            default:
                return FALSE;
        }
    });
}

}  // namespace

WAVKIT_API HWND ShowWait(HWND owner) {
    return entry::guarded(static_cast<HWND>(nullptr), [&] {
        auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(owner, GWLP_HINSTANCE));
        return CreateDialogParam(inst, "WAIT", owner, wait_proc, 0);
    });
}
